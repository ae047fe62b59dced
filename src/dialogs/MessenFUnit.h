// The dialog "Messen": what was measured, and a button that puts it on the
// clipboard.
#pragma once

#include <QDialog>
#include <string_view>

class QLabel;

namespace vestrel {

class TMessenForm : public QDialog {
  Q_OBJECT
 public:
  explicit TMessenForm(QWidget* parent = nullptr);

  // Shows `text` (already in the language) until OK.
  void Run(std::string_view text);

  QLabel* ErgebnisLabel;
};

}  // namespace vestrel
