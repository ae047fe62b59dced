// The line-style dialog "Linienstil hinzufügen": a new line type's name,
// description and pattern, one length a line, with five patterns to start
// from. Whether they will do is decided by its caller.
#pragma once

#include <QDialog>

#include "platform/platform.h"

class QLineEdit;
class QPlainTextEdit;

namespace vestrel {

class TLinienstilForm : public QDialog {
  Q_OBJECT
 public:
  explicit TLinienstilForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(LineStyleDialogValues& values);

  QLineEdit *Edit1, *Edit2;
  QPlainTextEdit* Memo1;
};

}  // namespace vestrel
