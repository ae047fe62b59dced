// The windows and the dictionary: every text shown has its English
// translation in the dictionary shipped with the program, the windows are
// put into English as a whole, and the translation editor keeps what is
// typed into it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <filesystem>

#include "app/MainUnit.h"
#include "app/windowtexts.h"
#include "dialogs/AddNewLayerFUnit.h"
#include "dialogs/TranslateFUnit.h"
#include "i18n/translateforms.h"
#include "support/corpus.h"
#include "support/dialog_driver.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

class TranslateTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureWindowApp(); }
  // A copy of the dictionary shipped with the program.
  std::string Shipped() {
    std::filesystem::copy_file(VESTREL_DICTIONARY, tmp.path("translate.dat"));
    return tmp.path("translate.dat");
  }
  static Dictionary Read(const std::string& path) {
    Dictionary d;
    d.Assign(ReadTranslateBytes(test::ReadFile(path)).entries);
    return d;
  }

  test::TempDir tmp;
};

TEST_F(TranslateTest, EveryTextShownHasItsEnglishTranslation) {
  const Dictionary shipped = Read(Shipped());
  TMainForm form;
  form.show();
  form.FormShow({test::OwnDrawing("gear.dxf")});
  const std::vector<std::string> texts = ShownTexts(form);
  EXPECT_GT(texts.size(), 200u);
  std::vector<std::string> missing;
  for (const std::string& t : texts) {
    const auto entry = shipped.Find(t);
    if (!entry || TrimBlanks(shipped.Slot(*entry, 1)).empty()) missing.push_back(t);
  }
  EXPECT_TRUE(missing.empty()) << missing.size() << " texts lack an English translation, the first: \""
                               << (missing.empty() ? "" : missing[0])
                               << "\"; add them to translations/english.tsv and run scripts/make_translate.py";
  // No name of the drawing is taken for a text of the program.
  for (const char* name : {"Model", "Layout1", "Continuous", "ByLayer"})
    EXPECT_EQ(std::count(texts.begin(), texts.end(), name), 0) << name;
}

TEST_F(TranslateTest, TheWindowsInEnglishButTheNamesOfTheDrawing) {
  LanguageState english;
  english.dictionary = Read(Shipped());
  english.language = 1;
  TMainForm form;
  form.show();
  form.FormShow({});
  const std::size_t before = english.dictionary.size();
  TranslateAllForms({&form}, [&](std::string_view t) { return english.Translate(t); });
  EXPECT_EQ(english.dictionary.size(), before);  // nothing shown was unknown

  QStringList menus;
  for (const QAction* a : form.menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"File", "Edit", "Modify", "View", "Draw", "Format", "Tools", "Options", "Snap", "Language"}));
  EXPECT_EQ(form.findChild<QAction*>("Speichernunter1")->text(), "Save as...");
  EXPECT_EQ(form.findChild<QAction*>("English1")->text(), "English");
  EXPECT_EQ(form.findChild<QAction*>("Franais1")->text(), "Français");
  EXPECT_EQ(form.findChild<QAction*>("UndoBtn")->toolTip(), "Undo");
  EXPECT_EQ(form.findChild<QAction*>("PreviewBtn")->toolTip(), "Print preview  on/off");
  EXPECT_EQ(form.LayerCombo->toolTip(), "Layer");
  EXPECT_EQ(form.LayerCombo->itemText(0), "0");
  EXPECT_EQ(form.LineCombo->itemText(2), "Continuous");
  EXPECT_EQ(form.TabControl1->tabText(0), "Model");
  EXPECT_EQ(form.windowTitle(), "Vestrel - [unbenannt.dxf]");  // the caption is made anew, not translated
  EXPECT_EQ(form.AddNewLayerForm->windowTitle(), "Add new layer");
  EXPECT_EQ(form.AddNewLayerForm->ColorComboBox->itemText(2), "Green");
  EXPECT_EQ(form.TranslateForm->DeleteRowBtn->text(), "Delete row");
  EXPECT_EQ(form.findChild<QPushButton*>("BenutzenBtn")->text(), "Click at this point (instead of a mouse click)");
  bool labelled = false;
  for (const QLabel* l : form.AddNewLayerForm->findChildren<QLabel*>()) labelled |= l->text() == "Line type:";
  EXPECT_TRUE(labelled);
}

// Answers the next message box that opens with `button`, and counts it.
void AnswerNextMessage(QMessageBox::StandardButton button, int& asked) {
  QTimer::singleShot(0, [button, &asked] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        ++asked;
        box->button(button)->click();
        return;
      }
    AnswerNextMessage(button, asked);
  });
}

TEST_F(TranslateTest, TheLanguageMenuIsOneRadioGroup) {
  TMainForm form;
  form.show();
  form.FormShow({});
  const QStringList names{"Deutsch1",  "English1",  "Italiano1",   "Franais1",    "Espaol1",
                          "N13",       "Portugus1", "Nederlands1", "Jzykpolski1", "esky1"};
  auto checked = [&] {
    QStringList on;
    for (const QString& n : names)
      if (form.findChild<QAction*>(n)->isChecked()) on << n;
    return on;
  };
  EXPECT_EQ(checked(), QStringList{"Deutsch1"});
  int told = 0;
  AnswerNextMessage(QMessageBox::Ok, told);
  form.findChild<QAction*>("esky1")->trigger();
  EXPECT_EQ(told, 1);
  EXPECT_EQ(checked(), QStringList{"esky1"});
  form.editor().languages.language = 12;  // from an options file: no item of its own
  form.ShowState();
  EXPECT_EQ(checked(), QStringList{});
}

TEST_F(TranslateTest, TheEditorWritesASecondAfterTheLastChangeAndAsksBeforeDeleting) {
  LanguageState s;
  s.file.programFile = Shipped();
  LoadDictionary(s.file, s.dictionary);
  const std::string before = test::ReadFile(s.file.programFile);
  TTranslateForm form;
  QTableView* grid = form.StringGrid1;
  QTimer::singleShot(0, &form, [&] {
    const auto datei = *s.dictionary.Find("Datei");
    grid->setCurrentIndex(grid->model()->index(static_cast<int>(datei), 3));
    grid->model()->setData(grid->currentIndex(), "Fichier");
    EXPECT_EQ(test::ReadFile(s.file.programFile), before);  // not yet
    QTimer::singleShot(1300, &form, [&] {
      EXPECT_EQ(Read(s.file.programFile).Translate("Datei", 3), "Fichier");
      // Deleting, answered No: written all the same, the grid as it was.
      const std::size_t entries = s.dictionary.size();
      std::filesystem::remove(s.file.programFile);
      int asked = 0;
      AnswerNextMessage(QMessageBox::No, asked);
      form.DeleteRowBtn->click();
      EXPECT_EQ(asked, 1);
      EXPECT_EQ(Read(s.file.programFile).size(), entries);
      EXPECT_EQ(grid->model()->rowCount(), static_cast<int>(entries));
      // Searching asks once for each cell found, until No.
      form.FilterEdit->setText("DATEI");
      asked = 0;
      AnswerNextMessage(QMessageBox::Yes, asked);
      QTimer::singleShot(50, [&] { AnswerNextMessage(QMessageBox::No, asked); });
      form.FilterBtn->click();
      EXPECT_EQ(asked, 2);
      EXPECT_TRUE(grid->currentIndex().data().toString().toUpper().contains("DATEI"));
      // Escape presses "Zeile löchen" (Cancel keeps the row), the Delete key
      // on the grid too (Yes takes it out).
      const QString found = grid->model()->index(grid->currentIndex().row(), 0).data().toString();
      asked = 0;
      AnswerNextMessage(QMessageBox::Cancel, asked);
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(&form, &escape);
      EXPECT_EQ(asked, 1);
      EXPECT_TRUE(form.isVisible());
      EXPECT_TRUE(s.dictionary.Find(found.toStdString()));
      AnswerNextMessage(QMessageBox::Yes, asked);
      QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
      QApplication::sendEvent(grid, &del);
      EXPECT_EQ(asked, 2);
      EXPECT_FALSE(s.dictionary.Find(found.toStdString()));
      EXPECT_FALSE(Read(s.file.programFile).Find(found.toStdString()));
      EXPECT_EQ(grid->model()->rowCount(), static_cast<int>(entries) - 1);
      form.BackBtn->click();
    });
  });
  form.Run(s);
  EXPECT_EQ(s.dictionary.Translate("Datei", 3), "Fichier");
}

TEST_F(TranslateTest, QtsOwnTextsFollowTheLanguage) {
  // The buttons of a question, as the German, English and French window
  // show them.
  struct Case {
    int language;
    const char* yes;
    const char* cancel;
  } cases[] = {{0, "&Ja", "Abbrechen"}, {1, "&Yes", "Cancel"}, {3, "&Oui", "Annuler"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    EXPECT_TRUE(InstallQtTranslations(c.language));
    QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), c.yes);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), c.cancel);
  }
  EXPECT_FALSE(InstallQtTranslations(-1));  // Qt's own English again
}

}  // namespace
}  // namespace vestrel
