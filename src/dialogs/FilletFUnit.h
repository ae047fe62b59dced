// The dialog "Abrunden": the radius of the fillets.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class FloatSpinEdit;

class TFilletForm : public QDialog {
  Q_OBJECT
 public:
  explicit TFilletForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(FilletDialogValues& values);

  FloatSpinEdit* RadiusEd;
};

}  // namespace vestrel
