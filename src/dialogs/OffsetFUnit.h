// The dialog "Parallele": how far from the object its parallels lie, or
// that they pass through a point.
#pragma once

#include <QDialog>

#include "platform/platform.h"

class QCheckBox;

namespace vestrel {

class FloatSpinEdit;

class TOffsetForm : public QDialog {
  Q_OBJECT
 public:
  explicit TOffsetForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(OffsetDialogValues& values);

  FloatSpinEdit* AbstandEd;
  QCheckBox* DurchPunktCb;
};

}  // namespace vestrel
