// The translation editor "Übersetzen": the whole dictionary in a grid, one
// row per German text, one column per language. Edits go straight into the
// dictionary and are written a second after the last one (and when the
// editor closes).
#pragma once

#include <QDialog>
#include <QMessageBox>

#include "i18n/language.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace vestrel {

class DictionaryModel;

class TTranslateForm : public QDialog {
  Q_OBJECT
 public:
  explicit TTranslateForm(QWidget* parent = nullptr);

  // Shows the dictionary of `languages` until the editor is closed.
  void Run(LanguageState& languages);

  // The column headings, untranslated: "German" to "Czech", then
  // "language10" to "language19".
  static QString Heading(int column);

  void FillStringGrid();
  void StringGrid1SetEditText(int ACol, int ARow, const QString& Value);
  void Timer1Timer();
  void FilterBtnClick();
  void DeleteRowBtnClick();
  void FixedColCheckClick();
  void BackBtnClick();

  QPushButton* BackBtn;
  QLineEdit* FilterEdit;
  QPushButton* FilterBtn;
  QPushButton* DeleteRowBtn;
  QCheckBox* FixedColCheck;
  QTableView* StringGrid1;
  QTimer* Timer1;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void done(int result) override;

 private:
  std::string message(int nr);
  // A message box of message `nr` with the buttons given; the button pressed.
  int ask(int nr, const QString& text, int buttons, QMessageBox::Icon icon = QMessageBox::Question);

  LanguageState* languages_ = nullptr;
  DictionaryModel* model_;
};

}  // namespace vestrel
