// The real window, offscreen: a drawing opened in it shows in the caption,
// the tabs and the property boxes.
#include "app/MainUnit.h"
#include "app/paintbox.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>

#include "file/lifecycle.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApp<QApplication>(); }
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
  EXPECT_FALSE(form.ToolBar2->isVisible());  // no drawing tools yet
}

TEST_F(MainFormTest, OpensACorpusDrawing) {
  TMainForm form;
  form.show();
  const std::string file = std::string(VESTREL_CORPUS_DIR) + "/tables.dxf";
  form.FormShow({file});
  EXPECT_EQ(form.windowTitle(), "Vestrel - [tables.dxf]");
  const Drawing& d = form.editor().drawing;
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
  EXPECT_EQ(form.windowTitle(), "Vestrel - [tables.dxf*]");
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
    if (!c.menu.empty()) {
      ASSERT_NE(action(c.name), nullptr) << c.name;
      EXPECT_EQ(action(c.name)->text().toStdString(), c.caption);
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

}  // namespace
}  // namespace vestrel
