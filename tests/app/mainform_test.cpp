// The real window, offscreen: a drawing opened in it shows in the caption,
// the tabs and the property boxes.
#include "app/MainUnit.h"
#include "app/paintbox.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <fstream>
#include <random>

#include "app/macro.h"
#include "dialogs/AddTextFUnit.h"
#include "dialogs/numberforms.h"
#include "dialogs/fields.h"
#include "file/lifecycle.h"
#include "i18n/msg.h"
#include "support/corpus.h"
#include "support/dialog_driver.h"
#include "support/temp_dir.h"
#include "view/renderer.h"

namespace vestrel {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureWindowApp(); }
  // Each test keeps its settings (window place, recent files, dialogs) to
  // itself.
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(settings_.dir().string()));
  }
  test::TempDir settings_;
};

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

TEST_F(MainFormTest, StartsWithANewDrawing) {
  TMainForm form;
  form.show();
  form.FormShow({});
  EXPECT_EQ(form.windowTitle(), "Vestrel - [unbenannt.dxf]");
  EXPECT_EQ(form.TabControl1->count(), 2);
  EXPECT_EQ(form.TabControl1->tabText(0), "Model");
  EXPECT_EQ(form.TabControl1->tabText(1), "Layout1");
  EXPECT_EQ(Items(form.LayerCombo), QStringList{"0"});
  EXPECT_EQ(Items(form.LineCombo), (QStringList{"ByBlock", "ByLayer", "Continuous"}));
  EXPECT_EQ(form.ColorComboBox->currentText(), "Wie Ebene");
  EXPECT_EQ(form.LineWeightBox->count(), 23);
  // The bars show the editor's view, zoomed to the new drawing's extents.
  EXPECT_EQ(form.HorzScrollbar->value(), form.editor().view.HorzScrollbarPosition);
  EXPECT_EQ(form.VertScrollbar->value(), form.editor().view.VertScrollbarPosition);
  EXPECT_TRUE(form.ToolBar2->isVisible());  // the drawing tools
}

// A file's name is bytes: one that is no UTF-8 (Latin-1 here) stays in the
// recent files as it is, and those kept as texts before still load.
TEST_F(MainFormTest, TheRecentFilesKeepTheBytesOfTheirNames) {
  QSettings().setValue("RecentFiles", QStringList{"/plans/alt.dxf", "/plans/W\u00e4nde.dxf"});
  const std::vector<std::string> names{"/plans/lat\xE9.dxf", "/plans/W\xC3\xA4nde.dxf"};
  {
    TMainForm form;
    EXPECT_EQ(form.RecentFiles(), (std::vector<std::string>{"/plans/alt.dxf", names[1]}));
    form.KeepRecentFiles(names);
  }
  TMainForm again;
  EXPECT_EQ(again.RecentFiles(), names);
  // The menu shows it as well as it can.
  const QAction* first = again.findChild<QAction*>("RecentFile1");
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->text().startsWith("&1 /plans/lat") && first->text().endsWith(".dxf")) << first->text().toStdString();
}

// A message box and a dialog left without an answer: each fails the test
// within its patience, named with its text, and is closed.
TEST_F(MainFormTest, TheWatchdogFailsATestThatLeavesADialogWithoutAnAnswer) {
  test::DialogWatchdog& watchdog = test::EnsureWindowApp();
  const auto patience = std::exchange(watchdog.patience, std::chrono::milliseconds(100));
  TMainForm form;
  form.show();
  EXPECT_NONFATAL_FAILURE(form.FormShow({"/nowhere/plan.dxf"}),
                          "QMessageBox \"Konnte folgende Datei nicht öffnen: /nowhere/plan.dxf");
  EXPECT_EQ(form.windowTitle(), "Vestrel - [unbenannt.dxf]");
  EXPECT_NONFATAL_FAILURE(form.ShowPolygonDialog(form.editor().dialogs.polygon),
                          "PolygonForm (vestrel::TPolygonForm) \"");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  watchdog.patience = patience;
}

TEST_F(MainFormTest, TheRubberBandLeavesTheCanvasAsItWasWhenItIsErased) {
  TMainForm form;
  form.show();
  form.FormShow({test::OwnDrawing("fingerprint.dxf")});  // a version with every tool
  Editor& e = form.editor();
  std::mt19937 random(11);
  std::uniform_int_distribution<int> x(0, form.PaintBox1->width() - 1), y(0, form.PaintBox1->height() - 1);
  // Each tool with the clicks that it takes without writing yet.
  const std::pair<void (Editor::*)(), int> tools[] = {{&Editor::LineBtnClick, 1},    {&Editor::PolyLineBtnClick, 3},
                                                      {&Editor::N3Punkte1Click, 2},  {&Editor::EllipseBtnClick, 2},
                                                      {&Editor::SplineBtnClick, 3},  {&Editor::ArcBtnClick, 2}};
  for (const auto& [arm, clicks] : tools) {
    (e.*arm)();
    const QImage before = form.PaintBox1->canvas().copy();
    for (int click = 0; click < clicks; ++click) {
      e.PaintBox1MouseDown(MouseButton::Left, {}, x(random), y(random));
      for (int move = 0; move < 20; ++move) e.PaintBox1MouseMove({}, x(random), y(random));
    }
    ASSERT_GT(e.tool.anzrem, 0);
    EXPECT_NE(form.PaintBox1->canvas(), before);  // the band is on the canvas
    e.SetAlltoFalse();                          // ends the tool, erases the band
    EXPECT_EQ(form.PaintBox1->canvas(), before);
  }
}

// Lines drawn and taken back, with the rubber band on the canvas between:
// each change is redrawn where it shows, and the canvas is what a whole
// paint of the drawing makes of it.
TEST_F(MainFormTest, ChangesRedrawnInPartLookAsAWholePaint) {
  TMainForm form;
  form.show();
  form.FormShow({test::OwnDrawing("fingerprint.dxf")});
  Editor& e = form.editor();
  auto whole = [&] {
    QImage canvas(form.PaintBox1->canvas().size(), QImage::Format_RGB32);
    PaintBox1Paint(canvas, e.drawing, e.view, e.print, form.PrinterPageSize(), form.PaintBox1->logicalDpiX());
    return canvas;
  };
  std::mt19937 random(5);
  std::uniform_int_distribution<int> x(0, form.PaintBox1->width() - 1), y(0, form.PaintBox1->height() - 1);
  int parts = 0;
  std::uniform_int_distribution<int> near(-40, 40);
  for (int round = 0; round < 6; ++round) {
    e.LineBtnClick();
    const int x0 = x(random), y0 = y(random);
    e.PaintBox1MouseDown(MouseButton::Left, {}, x0, y0);
    for (int move = 0; move < 5; ++move) e.PaintBox1MouseMove({}, x(random), y(random));
    form.PaintBox1->canvas();  // the band drawn into the canvas, as the window shows it
    e.PaintBox1MouseDown(MouseButton::Left, {}, x0 + near(random), y0 + near(random));  // the line; the band goes on
    parts += form.PaintBox1->paintCache().partial();
    e.PaintBox1MouseMove({}, x(random), y(random));
    e.SetAlltoFalse();
    ASSERT_EQ(form.PaintBox1->canvas(), whole()) << "round " << round;
    if (round % 2) {
      e.Rckgngig1Click();
      parts += form.PaintBox1->paintCache().partial();
      ASSERT_EQ(form.PaintBox1->canvas(), whole()) << "undo, round " << round;
    }
  }
  EXPECT_GE(parts, 6);
}

TEST_F(MainFormTest, OpensADrawing) {
  TMainForm form;
  form.show();
  form.FormShow({test::OwnDrawing("gear.dxf")});  // layers of every state
  EXPECT_EQ(form.windowTitle(), "Vestrel - [gear.dxf]");
  const Drawing& d = form.editor().drawing;
  // The picture shows before the spatial index is built, which follows.
  form.PaintBox1->render();
  EXPECT_FALSE(form.editor().spatialindex.current(d));
  for (int k = 0; k < 20 && !form.editor().spatialindex.current(d); ++k) QCoreApplication::processEvents();
  EXPECT_TRUE(form.editor().spatialindex.current(d));
  ASSERT_GT(d.anzlayer, 1);
  ASSERT_EQ(form.LayerCombo->count(), d.anzlayer);
  for (int i = 0; i < d.anzlayer; ++i)
    EXPECT_EQ(form.LayerCombo->itemText(i).toStdString(), d.layers[static_cast<std::size_t>(i)].name);
  EXPECT_EQ(form.LayerCombo->currentIndex(), 0);
  ASSERT_EQ(form.TabControl1->count(), static_cast<int>(form.editor().bar.TabControl1.size()));
  EXPECT_EQ(form.TabControl1->tabText(0), "Model");
  EXPECT_EQ(form.TabControl1->currentIndex(), 0);

  // Choosing a tab is the drawing's shown tab.
  form.TabControl1->setCurrentIndex(1);
  EXPECT_EQ(form.editor().view.tab, 1);

  // After an edit the caption carries the mark.
  SetChanged(form.editor().doc);
  form.editor().ShowCaption();
  EXPECT_EQ(form.windowTitle(), "Vestrel - [gear.dxf*]");
}

TEST_F(MainFormTest, MenusAndButtonsComeFromTheCommandTableAndShowTheEditorsState) {
  TMainForm form;
  form.show();
  form.FormShow({});
  auto action = [&](std::string_view name) { return form.findChild<QAction*>(QString::fromUtf8(name.data(), name.size())); };
  for (const Command& c : Commands()) {
    if (!c.button.empty()) {
      ASSERT_NE(action(c.button), nullptr) << c.button;
      EXPECT_EQ(action(c.button)->toolTip().toStdString(), c.hint);
    }
    if (!c.menu.empty() && c.handler) {
      ASSERT_NE(action(c.name), nullptr) << c.name;
      EXPECT_EQ(action(c.name)->text().toStdString(), c.caption);
    }
    if (!c.name.empty() && !c.handler) {
      EXPECT_NE(form.findChild<QMenu*>(QString::fromUtf8(c.name.data(), c.name.size())), nullptr) << c.name;
    }
  }
  // The preview: from the menu, and the button shows it.
  action("Druckvorschau1")->trigger();
  EXPECT_TRUE(form.editor().view.Druckvorschau);
  EXPECT_TRUE(action("PreviewBtn")->isChecked());
  action("PreviewBtn")->trigger();
  EXPECT_FALSE(form.editor().view.Druckvorschau);
  EXPECT_FALSE(action("Druckvorschau1")->isChecked());
  // Undo can be used exactly when there is something to take back.
  EXPECT_FALSE(action("UndoBtn")->isEnabled());
  EXPECT_FALSE(action("Rckgngig1")->isEnabled());
  form.TabControl1->setCurrentIndex(1);  // the layout gets its viewport
  EXPECT_TRUE(action("UndoBtn")->isEnabled());
  EXPECT_TRUE(action("Rckgngig1")->isEnabled());
  action("UndoBtn")->trigger();
  EXPECT_FALSE(action("UndoBtn")->isEnabled());
  // A drawing tool's button is down while it is armed, and one only.
  action("LineBtn")->trigger();
  EXPECT_TRUE(action("LineBtn")->isChecked());
  action("StartMitteEnde1")->trigger();
  EXPECT_TRUE(action("ArcBtn")->isChecked());
  EXPECT_FALSE(action("LineBtn")->isChecked());
  action("ArcBtn")->trigger();  // pressed again: it stays down
  EXPECT_TRUE(action("ArcBtn")->isChecked());
}

TEST_F(MainFormTest, TheDialogsProposeTheirLastValuesAndTheTextHeightsSurviveARestart) {
  QSettings settings;
  settings.setValue("AddTextForm/FontSizeEd", 0.35);
  settings.setValue("AddTextForm/FontSizeDimensionEd", 1.5);
  settings.sync();

  TMainForm form;
  TextDialogValues& text = form.editor().dialogs.text;
  EXPECT_EQ(text.FontSizeEd, 0.35);
  EXPECT_EQ(text.FontSizeDimensionEd, 1.5);
  // Cancelled: nothing of what was typed is taken or stored.
  auto showText = [&](const char* height, const char* button) {
    return test::WhileShown(
        *form.AddTextForm,
        [&] {
          test::Type(form.AddTextForm->FontSizeEd, height);
          test::Press(*form.AddTextForm, button);
        },
        [&] { return form.ShowTextDialog(text); });
  };
  EXPECT_EQ(showText("0.8", "AbbrechenBtn"), DialogResult::Cancel);
  EXPECT_EQ(text.FontSizeEd, 0.35);
  settings.sync();
  EXPECT_EQ(settings.value("AddTextForm/FontSizeEd").toDouble(), 0.35);
  EXPECT_EQ(showText("0.9", "OKBtn"), DialogResult::Ok);
  settings.sync();
  EXPECT_EQ(settings.value("AddTextForm/FontSizeEd").toDouble(), 0.9);
  EXPECT_EQ(settings.value("AddTextForm/FontSizeDimensionEd").toDouble(), 1.5);

  // A spin edit keeps its value from one use to the next.
  PolygonDialogValues& polygon = form.editor().dialogs.polygon;
  auto* corners = form.PolygonForm->findChild<QSpinBox*>("EckenEd");
  test::WhileShown(
      *form.PolygonForm, [&] { test::Type(corners, "6\n"); },
      [&] { form.ShowPolygonDialog(polygon); });
  int proposed = 0;
  test::WhileShown(
      *form.PolygonForm,
      [&] {
        proposed = corners->value();
        test::Press(*form.PolygonForm, "OKBtn");
      },
      [&] { form.ShowPolygonDialog(polygon); });
  EXPECT_EQ(proposed, 6);

  TMainForm restarted;
  EXPECT_EQ(restarted.editor().dialogs.text.FontSizeEd, 0.9);
  EXPECT_EQ(restarted.editor().dialogs.text.FontSizeDimensionEd, 1.5);
  EXPECT_EQ(restarted.editor().dialogs.polygon.EckenEd, 3);  // only the heights are stored
}

// The object snaps and aids switched on are there at the next start; a
// form that keeps no switches (a replayed script's) starts with none and
// keeps none.
TEST_F(MainFormTest, TheSnapsAndAidsSurviveARestartButNotIntoAScript) {
  auto started = [](bool keep) {
    auto form = std::make_unique<TMainForm>();
    if (!keep) form->KeepNoSwitches();
    form->FormShow({});
    return form;
  };
  auto trigger = [](TMainForm& form, const char* name) { form.findChild<QAction*>(name)->trigger(); };
  {
    auto form = started(true);
    trigger(*form, "FangMitte1");
    trigger(*form, "FangSchnitt1");
    trigger(*form, "Ortho1");
  }
  {
    auto script = started(false);
    EXPECT_EQ(script->editor().tool.snaps, 0u);
    EXPECT_EQ(script->editor().tool.aids, DraftAids{});
    trigger(*script, "FangLot1");
    trigger(*script, "Polar1");
  }
  const auto kept = started(true);
  EXPECT_EQ(kept->editor().tool.snaps, SnapBit(SnapKind::Midpoint) | SnapBit(SnapKind::Intersection));
  EXPECT_TRUE(kept->editor().tool.aids.ortho);
  EXPECT_FALSE(kept->editor().tool.aids.polar);
}

TEST_F(MainFormTest, TheMouseSelectsAndOpensAWindowInTheDrawingArea) {
  const test::TempDir tmp;
  const std::string file = tmp.write(
      "line.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n100\n 21\n100\n  0\nENDSEC\n  0\nEOF\n");
  TMainForm form;
  form.show();
  form.FormShow({file});
  const Editor& e = form.editor();
  auto mouse = [&](QEvent::Type type, Point2 at, Qt::MouseButton button) {
    QMouseEvent ev(type, QPointF(at.x, at.y), form.PaintBox1->mapToGlobal(QPointF(at.x, at.y)), button,
                   type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(form.PaintBox1, &ev);
  };
  const Point2 middle = WindowTransform(e.view, form.PaintBox1->height()).toPixel(50, 50);
  mouse(QEvent::MouseButtonPress, middle, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, middle, Qt::LeftButton);
  ASSERT_EQ(e.drawing.polys.size(), 1u);
  EXPECT_TRUE(e.drawing.polys[0].selected);

  // Empty ground: a window, drawn in XOR as the pointer moves.
  const Point2 corner{middle.x + 40, middle.y - 60}, to{middle.x + 80, middle.y - 20};
  mouse(QEvent::MouseButtonPress, corner, Qt::LeftButton);
  EXPECT_TRUE(e.tool.inmassselect);
  const QImage before = form.PaintBox1->canvas().copy();
  mouse(QEvent::MouseMove, to, Qt::NoButton);
  const QPoint onTopSide(static_cast<int>(corner.x) + 20, static_cast<int>(corner.y));
  EXPECT_NE(form.PaintBox1->canvas().pixel(onTopSide), before.pixel(onTopSide));
  mouse(QEvent::MouseButtonPress, to, Qt::LeftButton);
  EXPECT_FALSE(e.tool.inmassselect);
  EXPECT_EQ(form.PaintBox1->canvas().pixel(onTopSide), before.pixel(onTopSide));  // erased

  auto action = [&](const char* name) { return form.findChild<QAction*>(name); };
  action("Nichtsauswhlen1")->trigger();
  EXPECT_FALSE(e.drawing.polys[0].selected);
  EXPECT_EQ(action("AllesAuswhlen1")->shortcut(), QKeySequence("Ctrl+A"));
  action("AllesAuswhlen1")->trigger();
  EXPECT_TRUE(e.drawing.polys[0].selected);
}

TEST_F(MainFormTest, ADroppedDrawingOpensAndTheWindowKeepsItsSizeAndBars) {
  const QString drawing = QString::fromStdString(test::OwnDrawing("arc.dxf"));
  {
    TMainForm form;
    form.show();
    form.FormShow({});
    auto takes = [&](const QList<QUrl>& urls) {
      QMimeData data;
      data.setUrls(urls);
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      enter.ignore();
      QApplication::sendEvent(&form, &enter);
      return enter.isAccepted();
    };
    EXPECT_TRUE(takes({QUrl::fromLocalFile(drawing)}));
    EXPECT_TRUE(takes({QUrl::fromLocalFile("/somewhere/PLAN.DXF")}));
    EXPECT_FALSE(takes({QUrl::fromLocalFile("/somewhere/plan.png")}));
    EXPECT_FALSE(takes({QUrl::fromLocalFile(drawing), QUrl::fromLocalFile(drawing)}));
    EXPECT_FALSE(takes({QUrl("https://example.com/plan.dxf")}));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(drawing)});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    EXPECT_EQ(form.windowTitle(), "Vestrel - [arc.dxf]");
    // The drawing is the latest of the recent files.
    EXPECT_NE(form.findChild<QAction*>("RecentFile1"), nullptr);
    form.removeToolBar(form.ToolBar2);
    form.addToolBar(Qt::RightToolBarArea, form.ToolBar2);
    form.ToolBar2->show();
    form.resize(1000, 700);
    form.close();
  }
  TMainForm again;
  EXPECT_EQ(again.size(), QSize(1000, 700));
  EXPECT_EQ(again.toolBarArea(again.ToolBar2), Qt::RightToolBarArea);
}

// The drawing's text without its handles and the handle seed.
std::string WithoutHandles(const Drawing& d) {
  std::string text;
  for (std::size_t i = 0; i + 1 < d.dxf.size(); i += 2) {
    const std::string_view code = Trim(d.dxf[i]);
    const bool handle = code == "5" || code == "330" || code == "$HANDSEED";
    text += std::string(code) + "=" + (handle ? std::string("h") : std::string(Trim(d.dxf[i + 1]))) + "\n";
    if (code == "$HANDSEED") i += 2;  // its value pair
  }
  return text;
}

TEST_F(MainFormTest, AMacroRecordedPlaysBackTheSameDrawing) {
  TMainForm form;
  form.show();
  form.FormShow({});
  auto click = [&](int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent e(type, QPointF(x, y), form.PaintBox1->mapToGlobal(QPointF(x, y)), button,
                    type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::ControlModifier);
      QApplication::sendEvent(form.PaintBox1, &e);
    }
  };
  auto trigger = [&](const char* name) { form.findChild<QAction*>(name)->trigger(); };
  const std::string empty = WithoutHandles(form.editor().drawing);

  MacroRecorder recorder(form);
  recorder.start();
  // A line chain, a circle and a text.
  trigger("LineBtn");
  click(100, 400);
  click(300, 400);
  click(300, 200);
  click(300, 200, Qt::RightButton);
  trigger("CircleBtn");
  click(500, 300);
  click(560, 300);
  trigger("TextBtn");
  test::WhileShown(
      *form.AddTextForm,
      [&] {
        form.AddTextForm->Memo1->setPlainText("Zwei\nZeilen");
        test::Press(*form.AddTextForm, "OKBtn");
      },
      [&] { click(150, 150); });
  // A line typed into the command field, ortho switched on and off.
  trigger("Ortho1");
  trigger("LineBtn");
  for (const char* entry : {"10,20", "@2,5<30"}) {
    form.KoordEd->setText(entry);
    Q_EMIT form.KoordEd->returnPressed();
  }
  click(300, 200, Qt::RightButton);
  trigger("Ortho1");
  const std::vector<std::string> lines = recorder.stop();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "input @2,5<30"), lines.end());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "trigger Ortho1"), 2);
  const std::string byHand = WithoutHandles(form.editor().drawing);
  ASSERT_NE(byHand, empty);

  const test::TempDir tmp;
  const std::string macro = tmp.path("drawing.replay");
  {
    std::ofstream out(macro);
    for (const std::string& l : lines) out << l << '\n';
  }
  // Into a new drawing seen as the first was: the same objects. (At
  // another zoom each click lands on the pixel nearest to its point.)
  const ViewState seen = form.editor().view;
  form.editor().file.changed = false;  // no question before the new drawing
  form.editor().NeueDXFDatei1Click();
  form.editor().view.zoomedvalue = seen.zoomedvalue;
  form.editor().view.HorzScrollbarPosition = seen.HorzScrollbarPosition;
  form.editor().view.VertScrollbarPosition = seen.VertScrollbarPosition;
  form.editor().Repaint();
  const MacroPlay played = PlayMacro(form, macro);
  ASSERT_EQ(played.unreadable, FileError::None);
  ASSERT_EQ(played.stopped, "");
  EXPECT_EQ(WithoutHandles(form.editor().drawing), byHand);
  // Each object played is taken back on its own, as drawn by hand.
  EXPECT_EQ(form.editor().undos.undos.size(), 5u);
}

// The window becoming active again asks about its drawing's file changed
// meanwhile: once for each change, not while one of its own dialogs is up,
// and with buttons of its own, which the macro recorder writes by name.
TEST_F(MainFormTest, BecomingActiveAsksAboutTheFileChangedMeanwhile) {
  const test::TempDir tmp;
  const std::string file = tmp.write("plan.dxf", test::ReadFile(test::OwnDrawing("arc.dxf")));
  TMainForm form;
  form.show();
  form.FormShow({file});
  form.activateWindow();
  QApplication::processEvents();
  ASSERT_TRUE(form.isActiveWindow());
  // The window made active, as the window system does when a dialog
  // closed or the user comes back from another program.
  auto activate = [&] {
    form.activateWindow();
    QApplication::processEvents();
    QEvent e(QEvent::ActivationChange);
    QApplication::sendEvent(&form, &e);
  };
  std::vector<int> asked;
  // The next message box to show is answered with `button`.
  auto answer = [&](const char* button) {
    auto* wait = new QTimer(&form);
    QObject::connect(wait, &QTimer::timeout, [&asked, button, wait] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      wait->stop();
      wait->deleteLater();
      asked.push_back(box->property(kMessageNumber).toInt());
      test::Press(*box, button);
    });
    wait->start(5);
  };
  MacroRecorder recorder(form);
  recorder.start();

  tmp.write("plan.dxf", test::ReadFile(test::OwnDrawing("gear.dxf")));
  // Not while a dialog is up; when it has closed, the window asks.
  test::WhileShown(
      *form.PolygonForm,
      [&] {
        activate();
        test::Press(*form.PolygonForm, "AbbrechenBtn");
      },
      [&] { return form.ShowPolygonDialog(form.editor().dialogs.polygon); });
  EXPECT_TRUE(asked.empty());
  answer("ReloadBtn");
  activate();
  EXPECT_EQ(asked, std::vector<int>{msg::ChangedOnDisk});
  EXPECT_GT(form.editor().drawing.anzlayer, 1);  // the drawing written meanwhile
  EXPECT_EQ(form.windowTitle(), "Vestrel - [plan.dxf]");
  activate();  // nothing new to ask about

  tmp.write("plan.dxf", test::ReadFile(test::OwnDrawing("arc.dxf")));
  answer("KeepEditingBtn");
  activate();
  activate();
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_GT(form.editor().drawing.anzlayer, 1);
  const std::vector<std::string> lines = recorder.stop();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "answer message ReloadBtn"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "answer message cancel"), 1);
}

}  // namespace
}  // namespace vestrel
