// The rotation dialog "Rotationswinkel eingeben": the angle of a rotation
// typed instead of clicked.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class FloatSpinEdit;

class TRotationsForm : public QDialog {
  Q_OBJECT
 public:
  explicit TRotationsForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(RotationDialogValues& values);

  FloatSpinEdit* RotEd;
};

}  // namespace vestrel
