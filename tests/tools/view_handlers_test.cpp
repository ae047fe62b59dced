// The view's handlers in the editor: the zoom and pan tools with the mouse,
// the status bar, printing, and what opening a file does to the view.
#include <gtest/gtest.h>

#include "support/dxf_text.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "tools/editor.h"

namespace vestrel {
namespace {

class ViewHandlersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    editor.FormCreate(VESTREL_TEMPLATE_DIR);
    editor.FormShow({});
  }
  test::FakePlatform platform;
  Editor editor{platform};
};

TEST_F(ViewHandlersTest, TheZoomToolZoomsWhileTheButtonIsDown) {
  editor.ZoomBtnClick();
  EXPECT_EQ(platform.cursor, Cursor::Magnifier);
  const double before = editor.view.zoomedvalue;
  editor.PaintBox1MouseDown(MouseButton::Left, {}, 400, 300);
  editor.PaintBox1MouseMove({}, 400, 200);  // up: in
  EXPECT_GT(editor.view.zoomedvalue, before);
  editor.PaintBox1MouseUp(MouseButton::Left, {}, 400, 200);
  const double after = editor.view.zoomedvalue;
  editor.PaintBox1MouseMove({}, 400, 100);  // the button is up: nothing
  EXPECT_EQ(editor.view.zoomedvalue, after);
  EXPECT_TRUE(editor.tool.inzoom);  // the tool stays armed
  editor.PaintBox1MouseDown(MouseButton::Right, {}, 400, 100);
  EXPECT_FALSE(editor.tool.inzoom);
  EXPECT_EQ(platform.cursor, Cursor::CrossHair);
}

TEST_F(ViewHandlersTest, TheHandMovesTheDrawingWithThePointer) {
  editor.HandBtnClick();
  EXPECT_EQ(platform.cursor, Cursor::Hand);
  EXPECT_FALSE(editor.tool.inzoom);
  const auto h = editor.view.HorzScrollbarPosition, v = editor.view.VertScrollbarPosition;
  editor.PaintBox1MouseDown(MouseButton::Left, {}, 100, 100);
  editor.PaintBox1MouseMove({}, 130, 90);
  EXPECT_EQ(editor.view.HorzScrollbarPosition, h - 3000);
  EXPECT_EQ(editor.view.VertScrollbarPosition, v + 1000);
  editor.PaintBox1MouseUp(MouseButton::Left, {}, 130, 90);
  EXPECT_FALSE(editor.view.inpan);
  // Another tool ends this one.
  editor.ZoomBtnClick();
  EXPECT_FALSE(editor.tool.inhand);
}

// The middle button pans once it is dragged more than 3 pixels, in any
// mode, and leaves the tool as it was; not dragged, it clicks where it went
// down as the left button would.
TEST_F(ViewHandlersTest, TheMiddleButtonPansWhenDraggedAndClicksOtherwise) {
  struct Case {
    const char* what;
    bool armLine;
    int toX, toY;  // where the pointer moves from (300, 300) and the button comes up
    bool pans;
    std::size_t written;  // lines the press wrote
  };
  const Case cases[] = {
      {"a drag in a drawing tool", true, 340, 320, true, 0},
      {"a drag with nothing armed", false, 290, 250, true, 0},
      {"a drag of 4 pixels", true, 304, 300, true, 0},
      {"a click that moved 3 pixels", true, 303, 297, false, 1},
      {"a click with nothing armed", false, 300, 300, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Editor e{platform};
    e.FormCreate(VESTREL_TEMPLATE_DIR);
    e.FormShow({});
    if (c.armLine) {
      e.LineBtnClick();
      e.PaintBox1MouseDown(MouseButton::Left, {false, true}, 100, 100);
    }
    const ToolState before = e.tool;
    const std::size_t polys = e.drawing.polys.size();
    const auto h = e.view.HorzScrollbarPosition, v = e.view.VertScrollbarPosition;
    e.PaintBox1MouseDown(MouseButton::Middle, {false, true}, 300, 300);
    e.PaintBox1MouseMove({false, true}, c.toX, c.toY);
    e.PaintBox1MouseUp(MouseButton::Middle, {false, true}, c.toX, c.toY);
    EXPECT_EQ(e.drawing.polys.size(), polys + c.written);
    EXPECT_EQ(e.view.HorzScrollbarPosition, c.pans ? h - (c.toX - 300) * 100 : h);
    EXPECT_EQ(e.view.VertScrollbarPosition, c.pans ? v - (c.toY - 300) * 100 : v);
    EXPECT_EQ(HasPreviousView(e.view), c.pans);
    EXPECT_EQ(e.tool.inlin, c.armLine);
    EXPECT_FALSE(e.tool.inmassselect);
    if (c.pans) {
      // The tool's points are where they were in the drawing.
      EXPECT_EQ(e.tool.linesx, before.linesx);
      EXPECT_EQ(e.tool.linesy, before.linesy);
      e.ZoomVorher1Click();
      EXPECT_EQ(e.view.HorzScrollbarPosition, h);
      EXPECT_EQ(e.view.VertScrollbarPosition, v);
    }
  }
}

// "Zoom Fenster": a window dragged, or clicked corner by corner, fills the
// drawing area; a window without width or height only centres. The tool
// ends with its zoom.
TEST_F(ViewHandlersTest, ZoomWindowFitsTheWindowIntoTheArea) {
  struct Case {
    const char* what;
    int x1, y1, x2, y2;
    bool dragged;
    double factor;  // the zoom after, by the zoom before
  };
  const Case cases[] = {
      {"dragged, wider than the area", 100, 100, 300, 200, true, 4.0},
      {"dragged up and left, taller", 300, 400, 200, 100, true, 2.0},
      {"clicked corner by corner", 100, 100, 400, 400, false, 2.0},
      {"a line: only centred", 100, 100, 100, 400, false, 1.0},
  };
  const PixelSize area = platform.paintBox;
  ASSERT_EQ(area.width, 800);
  ASSERT_EQ(area.height, 600);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    editor.view.zoomedvalue = 100;
    editor.ZoomFenster1Click();
    EXPECT_TRUE(editor.tool.inzoomwindow);
    const double zoom = editor.view.zoomedvalue;
    const ScreenTransform was = WindowTransform(editor.views);
    const Point2 a = was.toWorld(c.x1, c.y1), b = was.toWorld(c.x2, c.y2);
    editor.PaintBox1MouseDown(MouseButton::Left, {}, c.x1, c.y1);
    if (c.dragged) {
      editor.PaintBox1MouseMove({}, c.x2, c.y2);
    } else {
      editor.PaintBox1MouseUp(MouseButton::Left, {}, c.x1, c.y1);
      EXPECT_TRUE(editor.tool.inzoomwindow) << "a release where it went down waits for the second corner";
      editor.PaintBox1MouseDown(MouseButton::Left, {}, c.x2, c.y2);
    }
    editor.PaintBox1MouseUp(MouseButton::Left, {}, c.x2, c.y2);
    EXPECT_FALSE(editor.tool.inzoomwindow);
    EXPECT_NEAR(editor.view.zoomedvalue, zoom * c.factor, 1e-9);
    const Point2 middle = WindowTransform(editor.views).toScreen((a.x + b.x) / 2, (a.y + b.y) / 2);
    EXPECT_NEAR(middle.x, area.width / 2.0, 0.5);
    EXPECT_NEAR(middle.y, area.height / 2.0, 0.5);
    editor.ZoomVorher1Click();
    EXPECT_EQ(editor.view.zoomedvalue, zoom);
  }
  // The right button gives up.
  editor.ZoomFenster1Click();
  editor.PaintBox1MouseDown(MouseButton::Right, {}, 10, 10);
  EXPECT_FALSE(editor.tool.inzoomwindow);
}

// "Vorherige Ansicht" goes back through the last ten views of the shown
// tab, each once; another tab has views of its own.
TEST_F(ViewHandlersTest, ThePreviousViewGoesBackTenViewsOfTheTab) {
  std::vector<double> zooms;
  for (int i = 0; i < 12; ++i) {
    zooms.push_back(editor.view.zoomedvalue);
    editor.ZoomInBtnClick();
  }
  editor.TabControl1Change(1);
  EXPECT_FALSE(HasPreviousView(editor.view));
  editor.ZoomOutBtnClick();
  editor.TabControl1Change(0);
  for (int i = 11; i >= 2; --i) {
    ASSERT_TRUE(HasPreviousView(editor.view));
    editor.ZoomVorher1Click();
    EXPECT_DOUBLE_EQ(editor.view.zoomedvalue, zooms[static_cast<std::size_t>(i)]);
  }
  EXPECT_FALSE(HasPreviousView(editor.view));
  const double now = editor.view.zoomedvalue;
  editor.ZoomVorher1Click();
  EXPECT_EQ(editor.view.zoomedvalue, now);
  editor.TabControl1Change(1);
  EXPECT_TRUE(HasPreviousView(editor.view));
  // A new drawing has no views before (the layout's viewport, added on
  // its visit, is dropped).
  platform.answers.push_back(Answer::No);
  editor.NeueDXFDatei1Click();
  EXPECT_FALSE(HasPreviousView(editor.view));
}

TEST_F(ViewHandlersTest, TheStatusBarShowsThePointersDrawingCoordinates) {
  editor.view.zoomedvalue = 100;
  editor.view.HorzScrollbarPosition = 0;
  editor.view.VertScrollbarPosition = 0;
  editor.PaintBox1MouseMove({}, 12, 599 - 7);
  EXPECT_EQ(platform.status, "12.0000, 7.0000");
  editor.view.zoomedvalue = 300;
  editor.PaintBox1MouseMove({}, 1, 599);
  EXPECT_EQ(platform.status, "0.3333, 0.0000");
  EXPECT_EQ(editor.tool.lastmousex, 1);
}

TEST_F(ViewHandlersTest, PrintingPreviewAndPrinterSetUp) {
  platform.printDialogAnswers = {DialogResult::Cancel, DialogResult::Ok, DialogResult::Preview};
  editor.Drucken1Click();
  EXPECT_EQ(platform.printed, 0);
  editor.Drucken1Click();
  EXPECT_EQ(platform.printed, 1);
  EXPECT_FALSE(editor.view.Druckvorschau);
  editor.Drucken1Click();
  EXPECT_EQ(platform.printed, 1);
  EXPECT_TRUE(editor.view.Druckvorschau);
  editor.Druckvorschau1Click();
  EXPECT_FALSE(editor.view.Druckvorschau);
  platform.printDialogAnswers = {DialogResult::Preview};
  editor.Seiteeinrichten1Click();
  EXPECT_TRUE(editor.view.Druckvorschau);
  editor.Druckereinrichten1Click();
  EXPECT_EQ(platform.printerSetups, 1);
}

TEST_F(ViewHandlersTest, ALayoutOnPaperOfItsOwnPrintsOnThatPaperAtItsScale) {
  // A 17 × 11 inch layout, its printable corner on the origin.
  const test::TempDir dir;
  const std::string file = dir.write("sheet.dxf", test::WithEof(test::Section(
      "OBJECTS", "  0\nLAYOUT\n  1\nModel\n 71\n0\n  0\nLAYOUT\n100\nAcDbPlotSettings\n 40\n12.7\n 41\n12.7\n"
                 " 42\n12.7\n 43\n12.7\n 44\n431.8\n 45\n279.4\n 72\n0\n  1\nSheet\n 71\n1\n")));
  editor.OpenDroppedFile(file);
  ASSERT_EQ(editor.file.afilename, file);
  editor.print.mmEd = 10;
  const PrintSetup model = editor.print;
  platform.printDialogAnswers = {DialogResult::Ok, DialogResult::Ok};
  editor.TabControl1Change(1);
  editor.Drucken1Click();
  ASSERT_EQ(platform.printed, 1);
  EXPECT_FALSE(platform.printDialogRemembers);
  EXPECT_NEAR(platform.printedAt.q(), 25.4, 1e-12);
  EXPECT_NEAR(platform.printedAt.XOffsetEd, 12.7, 1e-9);
  EXPECT_NEAR(platform.printedAt.YOffsetEd, 12.7, 1e-9);
  EXPECT_EQ(platform.printedAt.RandEd, 0);
  ASSERT_TRUE(platform.printedOn);
  EXPECT_NEAR(platform.printedOn->widthMm, 431.8, 1e-9);
  EXPECT_NEAR(platform.printedOn->heightMm, 279.4, 1e-9);
  EXPECT_FALSE(platform.paper);  // the printer's own page again
  EXPECT_EQ(editor.print.q(), model.q());
  // The model prints as it did, at its own page set-up, which is kept.
  editor.TabControl1Change(0);
  editor.Drucken1Click();
  EXPECT_TRUE(platform.printDialogRemembers);
  EXPECT_EQ(platform.printedAt.q(), 10);
  EXPECT_FALSE(platform.printedOn);
}

TEST_F(ViewHandlersTest, ALayoutWithoutViewportsGetsOneOnItsFirstVisit) {
  auto viewports = [&] {
    int sheet = 0, model = 0;
    for (const tpoly& p : editor.drawing.polys)
      if (p.isviewport()) ++(editor.drawing.viewport(p).id == 1 ? sheet : model);
    return std::pair{sheet, model};
  };
  // The active paper space ("*Paper_Space") gets no sheet viewport, but one
  // onto the model.
  editor.TabControl1Change(1);
  EXPECT_EQ(viewports(), (std::pair{0, 1}));
  EXPECT_TRUE(editor.drawing.polys.back().ispaperspace);
  EXPECT_EQ(editor.undos.undos.size(), 1u);
  editor.TabControl1Change(0);
  editor.TabControl1Change(1);
  EXPECT_EQ(viewports(), (std::pair{0, 1}));  // nothing more
  // "Viewport hinzufügen..." asks, then adds another; cancelled, none.
  editor.Viewporthinzufgen1Click();
  EXPECT_EQ(platform.viewportDialogs, 1);
  EXPECT_EQ(viewports(), (std::pair{0, 1}));
  platform.viewportAnswer = ViewportValues{};
  editor.Viewporthinzufgen1Click();
  EXPECT_EQ(viewports(), (std::pair{0, 2}));
  // Both come out again with undo; the journal then is empty.
  editor.Rckgngig1Click();
  editor.Rckgngig1Click();
  EXPECT_EQ(viewports(), (std::pair{0, 0}));
  EXPECT_TRUE(editor.undos.undos.empty());
  editor.Rckgngig1Click();  // nothing left: nothing happens
  EXPECT_TRUE(editor.file.changed);
}

TEST_F(ViewHandlersTest, AnOpenedFileIsShownWhole) {
  const test::TempDir tmp;
  const std::string file = tmp.write(
      "far.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n5000\n 20\n5000\n 11\n5100\n 21\n5050\n  0\nENDSEC\n  0\nEOF\n");
  editor.TabControl1Change(1);
  platform.answers = {Answer::No};  // the viewport the layout got is dropped
  platform.openNames = {file};
  editor.ffnen1Click();
  EXPECT_EQ(editor.view.tab, 0);
  const Point2 p = DXF2Bildschirm(editor.views, 5050, 5025);
  EXPECT_NEAR(p.x, 395, 2);
  EXPECT_NEAR(p.y, 304, 2);
}

}  // namespace
}  // namespace vestrel
