// The array dialog "Array erstellen": columns and rows of copies, their
// spacing and the rotation of the whole array.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class FloatSpinEdit;
class IntSpinEdit;

class TArrayForm : public QDialog {
  Q_OBJECT
 public:
  explicit TArrayForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards,
  // whatever closed it.
  DialogResult Run(ArrayDialogValues& values);

  IntSpinEdit *SpaltenEd, *ZeilenEd;
  FloatSpinEdit *SpaltenAbstandEd, *ZeilenAbstandEd, *RotierenEd;

 private:
  void propose(const ArrayDialogValues& values);
};

}  // namespace vestrel
