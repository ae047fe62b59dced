// The small parameter dialogs in their Qt widgets: names, captions, labels,
// limits and defaults, what typing beyond a limit gives, focus, the buttons
// and their results, and the text heights kept between runs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <memory>

#include "dialogs/AddNewLayerFUnit.h"
#include "dialogs/AddTextFUnit.h"
#include "dialogs/numberforms.h"
#include "dialogs/MessenFUnit.h"
#include "dialogs/ZuschnittFUnit.h"
#include "app/replaywidgets.h"
#include "dialogs/ViewPortFUnit.h"
#include "dialogs/fields.h"
#include "support/dialog_driver.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

class SmallDialogs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureWindowApp(); }

  // Every dialog once, by its form name.
  QDialog* form(const QString& name) {
    for (QDialog* d : dialogs_)
      if (d->objectName() == name) return d;
    return nullptr;
  }

  TAddTextForm text_;
  TArrayForm array_;
  TPolygonForm polygon_;
  TRotationsForm rotation_;
  TSkalierungForm scale_;
  TViewPortForm viewport_;
  TAddNewLayerForm newLayer_;
  TRasterForm raster_;
  TPolarForm polar_;
  TJoinForm join_;
  TOffsetForm offset_;
  TFilletForm fillet_;
  TChamferForm chamfer_;
  TLengthenForm lengthen_;
  std::vector<QDialog*> dialogs_{&text_,   &array_, &polygon_, &rotation_, &scale_,   &viewport_, &newLayer_,
                                 &raster_, &polar_, &join_,    &offset_,   &fillet_, &chamfer_,  &lengthen_};
};

QAbstractSpinBox* SpinEdit(QDialog& form, const char* name) { return form.findChild<QAbstractSpinBox*>(name); }

QString LabelOf(QWidget* field) {
  auto* form = qobject_cast<QFormLayout*>(field->parentWidget()->layout());
  auto* label = form ? qobject_cast<QLabel*>(form->labelForField(field)) : nullptr;
  return label ? label->text() : QString();
}

TEST_F(SmallDialogs, CaptionsAndButtons) {
  struct Row {
    const char* form;
    const char* caption;
  };
  const Row rows[] = {
      {"AddTextForm", "Text hinzufügen"},
      {"ArrayForm", "Array erstellen"},
      {"PolygonForm", "Vieleck"},
      {"RotationsForm", "Rotationswinkel eingeben"},
      {"SkalierungForm", "Skalierungsfaktor eingeben"},
      {"ViewPortForm", "Viewport konfigurieren"},
      {"AddNewLayerForm", "Neue Ebene hinzufügen"},
      {"RasterForm", "Raster"},
      {"PolarForm", "Polar"},
      {"JoinForm", "Verbinden"},
      {"LengthenForm", "Verlängern"},
      {"OffsetForm", "Parallele"},
      {"FilletForm", "Abrunden"},
      {"ChamferForm", "Fasen"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.form);
    QDialog* d = form(r.form);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QString::fromUtf8(r.caption));
    auto* ok = d->findChild<QPushButton*>("OKBtn");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    auto* cancel = d->findChild<QPushButton*>("AbbrechenBtn");
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Abbrechen");
  }
  bool clockwise = false;
  for (const QLabel* l : rotation_.findChildren<QLabel*>())
    clockwise |= l->text() == "Die Rotation erfolgt im Uhrzeigersinn.";
  EXPECT_TRUE(clockwise);
}

TEST_F(SmallDialogs, FieldsWithTheirLabelsLimitsAndDefaults) {
  constexpr double kNone = kUnbounded;
  struct Row {
    const char* form;
    const char* field;
    const char* label;
    double min, max, value;
  };
  const Row rows[] = {
      {"AddTextForm", "FontSizeEd", "Schriftgröße:", 0.000001, 1000000, 0.2},
      {"AddTextForm", "FontSizeDimensionEd", "Schriftgröße:", 0.000001, 1000000, 0.5},
      {"AddTextForm", "WinkEd", "Winkel:", 0, 360, 0},
      {"ArrayForm", "SpaltenEd", "Spalten:", 1, 10000, 4},
      {"ArrayForm", "ZeilenEd", "Zeilen:", 1, 10000, 4},
      {"ArrayForm", "SpaltenAbstandEd", "Spalten Abstand:", -kNone, kNone, 4},
      {"ArrayForm", "ZeilenAbstandEd", "Zeilen Abstand:", -kNone, kNone, 4},
      {"ArrayForm", "RotierenEd", "Rotieren:", -kNone, kNone, 0},
      {"PolygonForm", "EckenEd", "Anzahl der Eckpunkte:", 3, 1000, 3},
      {"RotationsForm", "RotEd", "Rotation in °:", -kNone, kNone, 0},
      {"SkalierungForm", "SkalEd", "Skalierung in %:", 0.00001, 100000, 100},
      {"ViewPortForm", "breiteEd", "Breite:", -kNone, kNone, 0},
      {"ViewPortForm", "HoeheEd", "Höhe:", -kNone, kNone, 0},
      {"ViewPortForm", "MitteXEd", "Mitte X:", -kNone, kNone, 0},
      {"ViewPortForm", "MitteYEd", "Mitte Y:", -kNone, kNone, 0},
      {"ViewPortForm", "InhaltX", "Inhalt X:", -kNone, kNone, 0},
      {"ViewPortForm", "InhaltY", "Inhalt Y:", -kNone, kNone, 0},
      {"ViewPortForm", "HeiContEd", "Höhe Inhalt:", -kNone, kNone, 0},
      {"RasterForm", "AbstandEd", "Rasterabstand:", 0.000001, 1000000000, 10},
      {"PolarForm", "WinkelEd", "Winkelschritt in °:", 0.01, 180, 15},
      {"JoinForm", "ToleranzEd", "Toleranz:", 0, 1e9, 1e-6},
      {"LengthenForm", "DeltaEd", "Länge:", -kNone, kNone, 1},
      {"OffsetForm", "AbstandEd", "Abstand:", 0, kUnbounded, 1},
      {"FilletForm", "RadiusEd", "Radius:", 0, 1e9, 10},
      {"ChamferForm", "Abstand1Ed", "Erster Abstand:", 0, 1e9, 10},
      {"ChamferForm", "Abstand2Ed", "Zweiter Abstand:", 0, 1e9, 10},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.form) + "." + r.field);
    auto* field = form(r.form)->findChild<QAbstractSpinBox*>(r.field);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(LabelOf(field), QString::fromUtf8(r.label));
    EXPECT_EQ(field->property("minimum").toDouble(), r.min);
    EXPECT_EQ(field->property("maximum").toDouble(), r.max);
    EXPECT_DOUBLE_EQ(field->property("value").toDouble(), r.value);
  }
  // The other controls.
  struct Other {
    const char* form;
    const char* name;
    const char* label;
  };
  const Other others[] = {{"AddTextForm", "Memo1", ""},
                          {"AddNewLayerForm", "Edit1", "Name:"},
                          {"AddNewLayerForm", "LineCombo", "Linienstil:"},
                          {"AddNewLayerForm", "ColorComboBox", "Linienfarbe:"},
                          {"AddNewLayerForm", "LineWeightBox", "Linienbreite:"},
                          {"LengthenForm", "ArtCombo", "Verlängern:"}};
  for (const Other& o : others) {
    auto* w = form(o.form)->findChild<QWidget*>(o.name);
    ASSERT_NE(w, nullptr) << o.name;
    EXPECT_EQ(LabelOf(w), QString::fromUtf8(o.label)) << o.name;
  }
  EXPECT_EQ(text_.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(text_.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(text_.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(SmallDialogs, TypedValuesComeBackWithinTheLimits) {
  struct Row {
    const char* form;
    const char* field;
    const char* typed;
    double value;
  };
  const Row rows[] = {
      {"PolygonForm", "EckenEd", "12", 12},
      {"PolygonForm", "EckenEd", "2", 3},
      {"PolygonForm", "EckenEd", "5000", 1000},
      {"PolygonForm", "EckenEd", "-7", 3},
      {"SkalierungForm", "SkalEd", "0", 0.00001},
      {"SkalierungForm", "SkalEd", "-3", 0.00001},
      {"SkalierungForm", "SkalEd", "250000", 100000},
      {"SkalierungForm", "SkalEd", "12.5", 12.5},
      {"SkalierungForm", "SkalEd", "12,5", 125},  // no comma: "." is the decimal separator
      {"AddTextForm", "FontSizeEd", "0", 0.000001},
      {"AddTextForm", "FontSizeEd", "0.0000001", 0.000001},
      {"AddTextForm", "FontSizeEd", "2000000", 1000000},
      {"AddTextForm", "WinkEd", "400", 360},
      {"AddTextForm", "WinkEd", "-1", 0},
      {"AddTextForm", "WinkEd", "45.25", 45.25},
      {"ArrayForm", "SpaltenEd", "0", 1},
      {"ArrayForm", "ZeilenEd", "99999999999999999999", 10000},
      {"ArrayForm", "RotierenEd", "-720.5", -720.5},
      {"ArrayForm", "SpaltenAbstandEd", "1e6", 1000000},
      {"ViewPortForm", "MitteXEd", "123.456789", 123.456789},  // all its decimals
      {"ViewPortForm", "InhaltY", "1,5", 15},                  // "." whatever the locale
      {"RotationsForm", "RotEd", "-", 0},     // nothing but a sign
      {"RotationsForm", "RotEd", "x30", 30},  // a letter is not taken
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.form) + "." + r.field + " typed " + r.typed);
    auto* field = form(r.form)->findChild<QAbstractSpinBox*>(r.field);
    ASSERT_NE(field, nullptr);
    test::Type(field, r.typed);
    field->interpretText();  // as when the field is left
    EXPECT_DOUBLE_EQ(field->property("value").toDouble(), r.value);
  }
}

// Shows `form` on `values`, expects `field` to propose `proposed` and to
// have the focus, types `typed` into it and presses OK (or Enter, ending
// `typed`).
template <class Form, class Values>
void TypeInto(Form& form, Values& values, QAbstractSpinBox* field, double proposed, const QString& typed) {
  test::WhileShown(
      form,
      [&] {
        EXPECT_EQ(form.focusWidget(), field);
        EXPECT_EQ(field->property("value").toDouble(), proposed);
        test::Type(field, typed);
        if (!typed.endsWith('\n')) test::Press(form, "OKBtn");
      },
      [&] { form.Run(values); });
}

TEST_F(SmallDialogs, EachShowsItsValuesFocusesItsFieldAndGivesBackWhatWasTyped) {
  PolygonDialogValues polygon{7};
  TypeInto(polygon_, polygon, SpinEdit(polygon_, "EckenEd"), 7, "2\n");  // Enter, without leaving the field
  EXPECT_EQ(polygon.EckenEd, 3);
  RotationDialogValues rotation{12.5};
  TypeInto(rotation_, rotation, SpinEdit(rotation_, "RotEd"), 12.5, "90");
  EXPECT_EQ(rotation.RotEd, 90);
  ScaleDialogValues scale{50};
  TypeInto(scale_, scale, SpinEdit(scale_, "SkalEd"), 50, "0");
  EXPECT_EQ(scale.SkalEd, 0.00001);

  // Cancelled, the array dialog leaves the values as they were.
  ArrayDialogValues array{2, 3, 1.5, 2.5, 30};
  const DialogResult cancelled = test::WhileShown(
      array_,
      [&] {
        EXPECT_EQ(SpinEdit(array_, "ZeilenEd")->text(), "3");
        EXPECT_EQ(SpinEdit(array_, "ZeilenAbstandEd")->text(), "2.5");
        test::Type(SpinEdit(array_, "SpaltenEd"), "6");
        test::Press(array_, "AbbrechenBtn");
      },
      [&] { return array_.Run(array); });
  EXPECT_EQ(cancelled, DialogResult::Cancel);
  EXPECT_EQ(array, (ArrayDialogValues{2, 3, 1.5, 2.5, 30}));
  const DialogResult ok = test::WhileShown(
      array_,
      [&] {
        test::Type(SpinEdit(array_, "SpaltenEd"), "6");
        test::Press(array_, "OKBtn");
      },
      [&] { return array_.Run(array); });
  EXPECT_EQ(ok, DialogResult::Ok);
  EXPECT_EQ(array, (ArrayDialogValues{6, 3, 1.5, 2.5, 30}));
}

// Something typed, then Escape: cancelled, and the values are as they were.
template <class Form, class Values>
void EscapeAfterTyping(Form& form, Values values, QWidget* field, const QString& typed) {
  SCOPED_TRACE(form.objectName().toStdString());
  const Values before = values;
  const DialogResult r = test::WhileShown(
      form,
      [&] {
        test::Type(field, typed);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(field, &escape);
      },
      [&] { return form.Run(values); });
  EXPECT_EQ(r, DialogResult::Cancel);
  EXPECT_TRUE(values == before);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(SmallDialogs, EscapeCancelsEveryOneAndKeepsItsValues) {
  EscapeAfterTyping(text_, TextDialogValues{"alt"}, text_.Memo1, "neu");
  EscapeAfterTyping(array_, ArrayDialogValues{}, SpinEdit(array_, "SpaltenEd"), "9");
  EscapeAfterTyping(polygon_, PolygonDialogValues{5}, SpinEdit(polygon_, "EckenEd"), "8");
  EscapeAfterTyping(rotation_, RotationDialogValues{12.5}, SpinEdit(rotation_, "RotEd"), "90");
  EscapeAfterTyping(scale_, ScaleDialogValues{50}, SpinEdit(scale_, "SkalEd"), "200");
  EscapeAfterTyping(viewport_, ViewportValues{10, 20, 5, 10, 0, 0, 100}, viewport_.breiteEd, "99");
  EscapeAfterTyping(newLayer_, NewLayerDialogValues{"Alt", {"Continuous"}}, newLayer_.Edit1, "Wände");
}

// A control as Tab reaches it: its name, and what a field shows.
QString Reached(const QWidget* w) {
  const QString name = w->objectName();
  if (auto* e = qobject_cast<const QAbstractSpinBox*>(w)) return name + "=" + e->text();
  if (auto* b = qobject_cast<const QComboBox*>(w)) return name + "=" + b->currentText();
  if (auto* b = qobject_cast<const QCheckBox*>(w)) return name + (b->isChecked() ? "=1" : "=0");
  return name;
}

// Shown on values other than its defaults, a form of numbers proposes each
// in its own field, Tab goes from its first number field through `tabs` in
// turn, and OK gives the values back as they were. The fractions need all
// the decimals their fields keep.
template <class Form, class Values>
void ProposeTabAndGiveBack(Form& form, Values values, const QStringList& tabs) {
  SCOPED_TRACE(form.objectName().toStdString());
  ASSERT_FALSE(values == Values{});
  const Values given = values;
  QStringList reached;
  const DialogResult r = test::WhileShown(
      form,
      [&] {
        for (qsizetype i = 0; i < tabs.size(); ++i) {
          reached << Reached(form.focusWidget());
          QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
          QApplication::sendEvent(form.focusWidget(), &tab);
        }
        test::Press(form, "OKBtn");
      },
      [&] { return form.Run(values); });
  EXPECT_EQ(reached.join(' ').toStdString(), tabs.join(' ').toStdString());
  EXPECT_EQ(r, DialogResult::Ok);
  EXPECT_TRUE(values == given);
}

TEST_F(SmallDialogs, TheFormsOfNumbersProposeTabAndGiveBack) {
  const QStringList buttons{"OKBtn", "AbbrechenBtn"};
  ProposeTabAndGiveBack(polar_, PolarDialogValues{22.5}, QStringList{"WinkelEd=22.5"} + buttons);
  ProposeTabAndGiveBack(raster_, RasterDialogValues{0.5}, QStringList{"AbstandEd=0.5"} + buttons);
  ProposeTabAndGiveBack(polygon_, PolygonDialogValues{6}, QStringList{"EckenEd=6"} + buttons);
  ProposeTabAndGiveBack(rotation_, RotationDialogValues{-45}, QStringList{"RotEd=-45"} + buttons);
  ProposeTabAndGiveBack(scale_, ScaleDialogValues{250}, QStringList{"SkalEd=250"} + buttons);
  ProposeTabAndGiveBack(join_, JoinDialogValues{1.0 / 4096}, QStringList{"ToleranzEd=0.000244140625"} + buttons);
  ProposeTabAndGiveBack(lengthen_, LengthenDialogValues{-1.0 / 1024, 1},
                        QStringList{"DeltaEd=-0.0009765625"} + buttons + QStringList{"ArtCombo=auf"});
  ProposeTabAndGiveBack(offset_, OffsetDialogValues{1.0 / 512, true},
                        QStringList{"AbstandEd=0.001953125", "DurchPunktCb=1"} + buttons);
  ProposeTabAndGiveBack(fillet_, FilletDialogValues{2.5}, QStringList{"RadiusEd=2.5"} + buttons);
  ProposeTabAndGiveBack(chamfer_, ChamferDialogValues{2, 3}, QStringList{"Abstand1Ed=2", "Abstand2Ed=3"} + buttons);
  ProposeTabAndGiveBack(array_, ArrayDialogValues{2, 3, 1.5, 2.5, 30},
                        QStringList{"SpaltenEd=2", "ZeilenEd=3", "SpaltenAbstandEd=1.5", "ZeilenAbstandEd=2.5",
                                    "RotierenEd=30"} +
                            buttons);
}

TEST_F(SmallDialogs, TheTextDialog) {
  // A new text: the memo focused, lines typed, no-break spaces and lines
  // broken with Shift kept.
  TextDialogValues v;
  v.Memo1 = "alt";
  v.FontSizeEd = 2.5;
  DialogResult r = test::WhileShown(
      text_,
      [&] {
        EXPECT_EQ(text_.focusWidget(), text_.Memo1);
        EXPECT_EQ(text_.Memo1->toPlainText(), "alt");
        EXPECT_TRUE(text_.FontSizeEd->isVisibleTo(&text_));
        EXPECT_FALSE(text_.FontSizeDimensionEd->isVisibleTo(&text_));
        EXPECT_TRUE(text_.FontSizeEd->isEnabled());
        text_.Memo1->clear();
        test::Type(text_.Memo1, QString("Erste\nZweite") + QChar(0xA0) + "Zeile");
        test::Type(text_.Memo1, "\n", Qt::ShiftModifier);
        test::Type(text_.Memo1, "Dritte");
        test::Type(text_.WinkEd, "30");
        test::Press(text_, "OKBtn");
      },
      [&] { return text_.Run(v); });
  EXPECT_EQ(r, DialogResult::Ok);
  EXPECT_EQ(v.Memo1, "Erste\nZweite\u00A0Zeile\nDritte");
  EXPECT_EQ(v.FontSizeEd, 2.5);
  EXPECT_EQ(v.WinkEd, 30);

  // A dimension's text shows its own height. Line ends of any kind are
  // lines.
  v.dimension = true;
  v.Memo1 = "12.35\r\nzwei\rdrei";
  r = test::WhileShown(
      text_,
      [&] {
        EXPECT_EQ(text_.Memo1->document()->blockCount(), 3);
        EXPECT_FALSE(text_.FontSizeEd->isVisibleTo(&text_));
        EXPECT_TRUE(text_.FontSizeDimensionEd->isVisibleTo(&text_));
        test::Type(text_.FontSizeDimensionEd, "0.75");
        test::Press(text_, "OKBtn");
      },
      [&] { return text_.Run(v); });
  EXPECT_EQ(r, DialogResult::Ok);
  EXPECT_EQ(v.Memo1, "12.35\nzwei\ndrei");
  EXPECT_EQ(v.FontSizeDimensionEd, 0.75);

  // Changing a text: height and angle cannot be changed.
  v.dimension = false;
  v.textChange = true;
  test::WhileShown(
      text_,
      [&] {
        EXPECT_TRUE(text_.FontSizeEd->isVisibleTo(&text_));
        EXPECT_FALSE(text_.FontSizeEd->isEnabled());
        EXPECT_FALSE(text_.WinkEd->isEnabled());
        EXPECT_TRUE(text_.Memo1->isEnabled());
        test::Press(text_, "OKBtn");
      },
      [&] { return text_.Run(v); });
  v.textChange = false;
  test::WhileShown(
      text_,
      [&] {
        EXPECT_TRUE(text_.FontSizeEd->isEnabled());
        EXPECT_TRUE(text_.WinkEd->isEnabled());
        test::Press(text_, "OKBtn");
      },
      [&] { return text_.Run(v); });
}

TEST_F(SmallDialogs, TheNewLayerDialogListsItsChoices) {
  const QStringList colours{"Rot", "Gelb", "Grün", "Hellblau", "Blau", "Rosa", "Schwarz", "Grau", "Hellgrau"};
  const QStringList weights{"Standard", "0.00 mm", "0.05 mm", "0.09 mm", "0.13 mm", "0.15 mm", "0.20 mm", "0.25 mm",
                            "0.30 mm",  "0.35 mm", "0.40 mm", "0.50 mm", "0.60 mm", "0.70 mm", "0.80 mm", "0.90 mm",
                            "1.00 mm",  "1.06 mm", "1.20 mm", "1.40 mm", "1.58 mm", "2.00 mm", "2.11 mm"};
  auto items = [](const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
    return list;
  };
  EXPECT_EQ(items(newLayer_.ColorComboBox), colours);
  EXPECT_EQ(items(newLayer_.LineWeightBox), weights);

  NewLayerDialogValues v;
  v.Edit1 = "Alt";
  v.linetypes = {"Continuous", "Strich·Punkt"};
  v.LineCombo = 7;  // beyond the list: its first entry
  const DialogResult r = test::WhileShown(
      newLayer_,
      [&] {
        EXPECT_EQ(newLayer_.focusWidget(), newLayer_.Edit1);
        EXPECT_EQ(newLayer_.Edit1->selectedText(), "Alt");
        EXPECT_EQ(items(newLayer_.LineCombo), (QStringList{"Continuous", "Strich·Punkt"}));
        EXPECT_EQ(newLayer_.LineCombo->currentIndex(), 0);
        test::Type(newLayer_.Edit1, "Wände");
        newLayer_.LineCombo->setCurrentIndex(1);
        newLayer_.ColorComboBox->setCurrentIndex(8);
        newLayer_.LineWeightBox->setCurrentIndex(7);
        test::Press(newLayer_, "OKBtn");
      },
      [&] { return newLayer_.Run(v); });
  EXPECT_EQ(r, DialogResult::Ok);
  EXPECT_EQ(v.Edit1, "Wände");
  EXPECT_EQ(v.LineCombo, 1);
  EXPECT_EQ(v.ColorComboBox, 8);
  EXPECT_EQ(kLayerLineWeights[v.LineWeightBox], 25);

  // No line types: nothing to choose.
  v.linetypes.clear();
  const DialogResult chosen = test::WhileShown(
      newLayer_, [&] { test::Press(newLayer_, "OKBtn"); }, [&] { return newLayer_.Run(v); });
  EXPECT_EQ(chosen, DialogResult::Ok);
  EXPECT_EQ(v.LineCombo, -1);
}

// "Messen" shows its result until OK, with "Kopieren" beside OK to put
// the result on the clipboard; there is nothing to cancel.
TEST_F(SmallDialogs, TheMeasureDialogShowsItsResultAndCopiesIt) {
  TMessenForm measure;
  QApplication::clipboard()->clear();
  test::WhileShown(
      measure,
      [&] {
        EXPECT_EQ(measure.findChild<QAbstractButton*>("AbbrechenBtn"), nullptr);
        auto* ok = measure.findChild<QPushButton*>("OKBtn");
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        test::Press(measure, "KopierenBtn");
        EXPECT_TRUE(measure.isVisible());
        test::Press(measure, "OKBtn");
      },
      [&] { measure.Run("Abstand 7.4785, Winkel 333.4349°"); });
  EXPECT_EQ(QApplication::clipboard()->text(), "Abstand 7.4785, Winkel 333.4349°");
  EXPECT_FALSE(measure.isVisible());
}

// "Zuschnitt prüfen" stays open while the tolerance typed (entered with
// Return) checks again, a double click zooms to a finding and "Bereinigen"
// repairs; "Kopieren" puts the figures on the clipboard as a table.
TEST_F(SmallDialogs, TheCutCheckDialogChecksAgainZoomsAndCopies) {
  struct Steps final : CutCheckSteps {
    std::vector<double> checked;
    std::vector<std::size_t> shown;
    void Check(CutCheckDialogValues& v) override {
      checked.push_back(v.ToleranzEd);
      v.errors = {{"Offene Kontur", "1.0000, 2.0000", "0.0050", "LINE", 7}};
      v.summary = "nicht bereit";
    }
    void ShowFinding(std::size_t finding) override { shown.push_back(finding); }
    void Repair(CutCheckDialogValues& v) override {
      repairedWith = v.LueckenEd;
      v.errors.clear();
      v.repaired = "Bereinigt: 1";
    }
    double repairedWith = -1;
  } steps;
  CutCheckDialogValues values;
  values.errors = {{"Fast treffende Enden", "0.0000, 0.0000", "0.0040", "LINE", 3},
                   {"Doppelt", "5.0000, 0.0000", "10.0000", "LINE", 4}};
  values.notCut = {{"Nicht schneidbar", "0.0000, 9.0000", "", "TEXT", 5}};
  values.figures = {{"Teil 1", "40.0000", "1", "100.0000", "0.0000, 0.0000 – 10.0000, 10.0000"},
                    {"Gesamt", "40.0000", "1", "100.0000", "0.0000, 0.0000 – 10.0000, 10.0000"}};
  values.notCutLeftOut = "Weitere 9 sind hier nicht aufgeführt.";
  TZuschnittForm check;
  QApplication::clipboard()->clear();
  test::WhileShown(
      check,
      [&] {
        EXPECT_EQ(check.ToleranzEd->value(), 0.01);
        EXPECT_EQ(check.FehlerListe->topLevelItemCount(), 2);
        EXPECT_EQ(check.HinweisListe->topLevelItemCount(), 1);
        EXPECT_FALSE(check.FehlerMehrLabel->isVisibleTo(&check));
        EXPECT_TRUE(check.HinweisMehrLabel->isVisibleTo(&check));
        check.FehlerListe->setCurrentItem(check.FehlerListe->topLevelItem(1));
        EXPECT_EQ(DoubleClickRow(*check.FehlerListe), "");
        check.HinweisListe->setCurrentItem(check.HinweisListe->topLevelItem(0));
        EXPECT_EQ(DoubleClickRow(*check.HinweisListe), "");
        test::Press(check, "KopierenBtn");
        test::Type(check.ToleranzEd, "0.5\n");
        EXPECT_TRUE(check.isVisible()) << "Return only entered the tolerance";
        EXPECT_EQ(check.FehlerListe->topLevelItemCount(), 1);
        EXPECT_EQ(check.ErgebnisLabel->text(), "nicht bereit");
        EXPECT_FALSE(check.BereinigtLabel->isVisibleTo(&check));
        test::Type(check.LueckenEd, "0.25");
        test::Press(check, "BereinigenBtn");
        EXPECT_EQ(check.FehlerListe->topLevelItemCount(), 0);
        EXPECT_EQ(check.BereinigtLabel->text(), "Bereinigt: 1");
        EXPECT_TRUE(check.BereinigtLabel->isVisibleTo(&check));
        test::Press(check, "OKBtn");
      },
      [&] { check.Run(values, steps); });
  EXPECT_EQ(steps.shown, (std::vector<std::size_t>{4, 5}));
  EXPECT_EQ(steps.checked, std::vector<double>{0.5});
  EXPECT_EQ(values.ToleranzEd, 0.5);
  EXPECT_EQ(steps.repairedWith, 0.25) << "the gap typed, not yet entered";
  EXPECT_EQ(values.LueckenEd, 0.25);
  EXPECT_EQ(QApplication::clipboard()->text(),
            "Teil\tSchnittlänge\tEinstiche\tFläche\tBox\n"
            "Teil 1\t40.0000\t1\t100.0000\t0.0000, 0.0000 – 10.0000, 10.0000\n"
            "Gesamt\t40.0000\t1\t100.0000\t0.0000, 0.0000 – 10.0000, 10.0000\n");
}

TEST(TextHeights, AreKeptBetweenRunsWithinTheirLimits) {
  const test::TempDir tmp;
  QSettings settings(QString::fromStdString(tmp.path("settings.ini")), QSettings::IniFormat);
  TextDialogValues v;
  v.FontSizeEd = 3.5, v.FontSizeDimensionEd = 0.125;
  TAddTextForm::Save(settings, v);
  TextDialogValues read;
  TAddTextForm::Load(settings, read);
  EXPECT_EQ(read.FontSizeEd, 3.5);
  EXPECT_EQ(read.FontSizeDimensionEd, 0.125);

  // What the fields could not hold is brought within their limits; what is
  // no number is not taken.
  struct Row {
    QVariant stored;
    double height;
  };
  const Row rows[] = {{0, 0.000001}, {-4, 0.000001}, {5e9, 1000000}, {"abc", 0.2},
                      {"nan", 0.2},  {"inf", 0.2},   {"7.25", 7.25}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.stored.toString().toStdString());
    settings.setValue("AddTextForm/FontSizeEd", r.stored);
    TextDialogValues fresh;
    TAddTextForm::Load(settings, fresh);
    EXPECT_EQ(fresh.FontSizeEd, r.height);
    EXPECT_EQ(fresh.FontSizeDimensionEd, 0.125);
  }
}

}  // namespace
}  // namespace vestrel
