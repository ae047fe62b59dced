// The scale dialog "Skalierungsfaktor eingeben": the factor of a scaling
// typed instead of clicked, in percent.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class FloatSpinEdit;

class TSkalierungForm : public QDialog {
  Q_OBJECT
 public:
  explicit TSkalierungForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(ScaleDialogValues& values);

  FloatSpinEdit* SkalEd;
};

}  // namespace vestrel
