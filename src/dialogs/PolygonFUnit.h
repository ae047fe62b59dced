// The polygon dialog "Vieleck": how many corners a regular polygon has.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class IntSpinEdit;

class TPolygonForm : public QDialog {
  Q_OBJECT
 public:
  explicit TPolygonForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(PolygonDialogValues& values);

  IntSpinEdit* EckenEd;
};

}  // namespace vestrel
