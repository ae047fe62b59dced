// The dialog "Verbinden": how near the ends of the parts to join must come.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class FloatSpinEdit;

class TJoinForm : public QDialog {
  Q_OBJECT
 public:
  explicit TJoinForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(JoinDialogValues& values);

  FloatSpinEdit* ToleranzEd;
};

}  // namespace vestrel
