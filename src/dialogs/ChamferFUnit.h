// The dialog "Fasen": how far the chamfer cuts back along the first and
// along the second object.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class FloatSpinEdit;

class TChamferForm : public QDialog {
  Q_OBJECT
 public:
  explicit TChamferForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(ChamferDialogValues& values);

  FloatSpinEdit* Abstand1Ed;
  FloatSpinEdit* Abstand2Ed;
};

}  // namespace vestrel
