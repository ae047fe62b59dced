// The dialog "Polar": the step of the polar angles, in degrees.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class FloatSpinEdit;

class TPolarForm : public QDialog {
  Q_OBJECT
 public:
  explicit TPolarForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(PolarDialogValues& values);

  FloatSpinEdit* WinkelEd;
};

}  // namespace vestrel
