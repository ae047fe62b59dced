// The text dialog "Text hinzufügen": the lines of a new or changed text,
// its height and its angle. A dimension's text has a height of its own.
#pragma once

#include <QDialog>

#include "platform/platform.h"

class QFormLayout;
class QPlainTextEdit;
class QSettings;

namespace vestrel {

class FloatSpinEdit;

class TAddTextForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAddTextForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards,
  // whatever closed it.
  DialogResult Run(TextDialogValues& values);

  // The two heights, kept between runs.
  static void Load(QSettings& settings, TextDialogValues& values);
  static void Save(QSettings& settings, const TextDialogValues& values);

  QPlainTextEdit* Memo1;
  FloatSpinEdit *FontSizeEd, *FontSizeDimensionEd, *WinkEd;

 private:
  void propose(const TextDialogValues& values);

  QFormLayout* form_;
};

}  // namespace vestrel
