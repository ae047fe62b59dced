// The renderer, checked on the canvas pixel by pixel.
#include "view/renderer.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <ctime>

#include "support/dxf_text.h"
#include "support/qt_app.h"
#include "support/sanitized.h"
#include "view/extents.h"

namespace vestrel {
namespace {

class RendererTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApp<QGuiApplication>(); }

  void load(const std::string& sections) {
    d.dxf.assign(test::WithEof(sections));
    processdxf(d);
  }
  void loadEntities(const std::string& entities, const std::string& tables = "") {
    load((tables.empty() ? "" : test::Section("TABLES", tables)) + test::Section("ENTITIES", entities));
  }

  // World (x, y) is pixel (x, 299 - y): one pixel per unit, no scrolling.
  QImage paint() {
    QImage canvas(400, 300, QImage::Format_RGB32);
    canvas.fill(Qt::magenta);
    PaintBox1Paint(canvas, d, v, print, page, 96);
    return canvas;
  }

  // The darkest grey value (0 black .. 255 white) in the rectangle.
  static int Darkest(const QImage& img, int x0, int y0, int x1, int y1) {
    int best = 255;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) best = std::min(best, qGray(img.pixel(x, y)));
    return best;
  }
  static int Brightest(const QImage& img, int x0, int y0, int x1, int y1) {
    int best = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) best = std::max(best, qGray(img.pixel(x, y)));
    return best;
  }

  // The box of the pixels darker than mid grey in a rectangle; left > right
  // when there are none.
  struct Ink {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  };
  static Ink InkOf(const QImage& img, int x0, int y0, int x1, int y1) {
    Ink k;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (qGray(img.pixel(x, y)) < 128)
          k.left = std::min(k.left, x), k.right = std::max(k.right, x), k.top = std::min(k.top, y),
          k.bottom = std::max(k.bottom, y);
    return k;
  }

  Drawing d;
  ViewState v = [] {
    ViewState s;
    s.HorzScrollbarPosition = s.VertScrollbarPosition = 0;
    return s;
  }();
  PrintSetup print;
  PrinterPage page{4960, 7016, 600};
};

const char* const kLine = "  0\nLINE\n  8\n0\n 10\n100\n 20\n150\n 11\n300\n 21\n150\n";

TEST_F(RendererTest, ALineWhereTheTransformPutsIt) {
  loadEntities(kLine);
  const QImage img = paint();
  EXPECT_LT(Darkest(img, 150, 148, 250, 150), 100);  // along row 149
  EXPECT_EQ(Darkest(img, 150, 100, 250, 140), 255);  // white above
  EXPECT_EQ(Darkest(img, 320, 148, 390, 150), 255);  // and nothing past its end
  EXPECT_EQ(img.pixel(200, 20), qRgb(255, 255, 255));
}

TEST_F(RendererTest, CutMarksStandOutOnBothGroundsAndDrawnTwiceChangeNothing) {
  const std::vector<CutMark> marks = {{.x = 50, .y = 50}, {.x = 150, .y = 50, .boxed = true, .x0 = 120, .y0 = 40,
                                                           .x1 = 180, .y1 = 60, .error = false}};
  for (const QColor ground : {QColor(Qt::white), QColor(Qt::black)}) {
    QImage once(200, 100, QImage::Format_RGB32);
    once.fill(ground);
    {
      QPainter g(&once);
      g.setRenderHint(QPainter::Antialiasing);  // as the paint leaves it
      DrawCutMarks(g, marks);
    }
    QImage twice = once.copy();
    {
      QPainter g(&twice);
      DrawCutMarks(g, marks);
    }
    EXPECT_EQ(once, twice) << "a paint of a part draws the marks over those it kept";
    // The ring at its radius, in the colour of its kind; the box's edge.
    EXPECT_EQ(once.pixelColor(50 + kCutMarkRadius, 50), QColor(255, 0, 144));
    EXPECT_EQ(once.pixelColor(150 - kCutMarkRadius, 50), QColor(0, 144, 255));
    EXPECT_EQ(once.pixelColor(120 - 3, 50), QColor(0, 144, 255)) << "the frame, off the box's edge";
    EXPECT_EQ(once.pixelColor(120, 50), ground);
    EXPECT_EQ(once.pixelColor(50, 50), ground) << "the place itself stays visible";
  }
}

TEST_F(RendererTest, ALayerWithANegativeColourDrawsNothing) {
  loadEntities("  0\nLINE\n  8\nOFF\n 10\n100\n 20\n150\n 11\n300\n 21\n150\n",
               "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\nOFF\n 70\n0\n 62\n-7\n  0\nENDTAB\n");
  d.polys[0].selected = true;  // not even its grips
  EXPECT_EQ(Darkest(paint(), 90, 140, 310, 160), 255);
}

TEST_F(RendererTest, ColourSevenIsBlackInModelAndWhiteOnTheSheet) {
  loadEntities(std::string(kLine) + "  0\nLINE\n 67\n1\n  8\n0\n 10\n100\n 20\n150\n 11\n300\n 21\n150\n");
  QImage img = paint();
  EXPECT_LT(Darkest(img, 150, 148, 250, 150), 100);
  // The layout tab: the paper entry only, white on the black sheet.
  v.tab = 1;
  img = paint();
  EXPECT_GT(Brightest(img, 150, 148, 250, 150), 200);
  EXPECT_EQ(qGray(img.pixel(200, 120)), 0);  // the sheet
}

TEST_F(RendererTest, PrintPreviewClipsToThePrintableArea) {
  print.mmEd = 1, print.UnitsEd = 1;
  print.XOffsetEd = 150;  // the sheet and its printable area begin 150 units left of the origin
  loadEntities("  0\nLINE\n 10\n-140\n 20\n100\n 11\n-80\n 21\n100\n"
               "  0\nLINE\n 10\n-300\n 20\n100\n 11\n-200\n 21\n100\n");
  v.HorzScrollbarPosition = -40000;  // world x -400 at pixel 0
  v.Druckvorschau = true;
  const QImage img = paint();
  EXPECT_LT(Darkest(img, 270, 198, 310, 200), 100);  // inside the printable area
  EXPECT_EQ(Darkest(img, 110, 190, 190, 210), 0xC0);  // outside: clipped, the grey around the sheet
  EXPECT_EQ(img.pixel(300, 150), qRgb(255, 255, 255));  // the sheet is white in the preview
}

TEST_F(RendererTest, BlockReferencesAndBlocksThatReferToThemselves) {
  load(test::Section("BLOCKS",
                     "  0\nBLOCK\n  2\nLOOP\n  3\nLOOP\n 10\n0\n 20\n0\n"
                     "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n50\n 21\n0\n"
                     "  0\nINSERT\n  2\nLOOP\n 10\n10\n 20\n10\n  0\nENDBLK\n") +
       test::Section("ENTITIES", "  0\nINSERT\n  8\n0\n  2\nLOOP\n 10\n100\n 20\n100\n"));
  const QImage img = paint();
  EXPECT_LT(Darkest(img, 110, 198, 140, 200), 100);  // the block's line at the insertion point
  EXPECT_EQ(Darkest(img, 120, 185, 150, 193), 255);  // drawn once: the reference to itself stops
}

TEST_F(RendererTest, AReferencePlacesItsBlockScaledTurnedMirroredAndInAnArray) {
  // A bar from the block's base point (10, 0) 40 units to the right.
  const std::string block = "  0\nBLOCK\n  2\nBAR\n  3\nBAR\n 10\n10\n 20\n0\n"
                            "  0\nLINE\n  8\n0\n 10\n10\n 20\n0\n 11\n50\n 21\n0\n  0\nENDBLK\n";
  struct Case {
    const char* what;
    std::string insert;  // after the block name
    int x0, y0, x1, y1;  // where the bar lands, in pixels (y down)
  };
  const Case cases[] = {
      {"moved", " 10\n100\n 20\n100\n", 100, 199, 140, 199},
      {"scaled twice", " 10\n100\n 20\n100\n 41\n2\n", 100, 199, 180, 199},
      {"turned a quarter", " 10\n100\n 20\n100\n 50\n90\n", 100, 159, 100, 199},
      {"mirrored", " 10\n200\n 20\n100\n 41\n-1\n", 160, 199, 200, 199},
      {"seen from below", "210\n0\n220\n0\n230\n-1\n 10\n-200\n 20\n100\n", 160, 199, 200, 199},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    load(test::Section("BLOCKS", block) + test::Section("ENTITIES", "  0\nINSERT\n  8\n0\n  2\nBAR\n" + c.insert));
    const QImage img = paint();
    EXPECT_LT(Darkest(img, c.x0, c.y0, c.x0, c.y0), 128);
    EXPECT_LT(Darkest(img, c.x1, c.y1, c.x1, c.y1), 128);
    EXPECT_LT(Darkest(img, (c.x0 + c.x1) / 2, (c.y0 + c.y1) / 2, (c.x0 + c.x1) / 2, (c.y0 + c.y1) / 2), 128);
  }
  // Three columns 50 apart and two rows 20 apart: six bars.
  load(test::Section("BLOCKS", block) +
       test::Section("ENTITIES", "  0\nINSERT\n  8\n0\n  2\nBAR\n 10\n50\n 20\n100\n 70\n3\n 71\n2\n 44\n50\n 45\n20\n"));
  const QImage img = paint();
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 2; ++r) EXPECT_LT(Darkest(img, 70 + 50 * c, 199 - 20 * r, 70 + 50 * c, 199 - 20 * r), 128);
}

TEST_F(RendererTest, BlocksThatInsertEachOtherManyTimesOverAreBounded) {
  // 34 levels, each block inserting the next twice (or ten times); a chain
  // of 100,000 blocks, each inserting the next once.
  for (const auto& [levels, refs] : {std::pair{34, 2}, std::pair{34, 10}, std::pair{100000, 1}}) {
    std::string blocks;
    for (int k = 0; k < levels; ++k) {
      blocks += "  0\nBLOCK\n  2\nB" + std::to_string(k) + "\n  3\nB" + std::to_string(k) + "\n 10\n0\n 20\n0\n";
      for (int r = 0; k + 1 < levels && r < refs; ++r)
        blocks += "  0\nINSERT\n  2\nB" + std::to_string(k + 1) + "\n 10\n" + std::to_string(r) + "\n 20\n0\n";
      if (k + 1 == levels) blocks += "  0\nLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n";
      blocks += "  0\nENDBLK\n";
    }
    load(test::Section("BLOCKS", blocks) + test::Section("ENTITIES", "  0\nINSERT\n  2\nB0\n 10\n0\n 20\n0\n"));
    const auto start = std::chrono::steady_clock::now();
    const auto e = DrawnExtents(d, 0);
    ASSERT_TRUE(e) << levels;
    EXPECT_EQ(e->maxx, (levels - 1) * (refs - 1) + 1);  // each level shifts up to refs - 1 further
    QImage canvas(400, 300, QImage::Format_RGB32);
    EXPECT_FALSE(PaintBox1Paint(canvas, d, v, print, page, 96));  // not all: says so
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30);
  }
}

TEST_F(RendererTest, AViewportShowsAModelLargerThanTheBudgetWholeButManyViewportsAreBounded) {
  // A model polyline of more pieces than references may draw in a paint:
  // its own, seen through one viewport, is drawn whole; through twenty
  // viewports the paint stops at the budget and says so.
  if (test::kSanitized) GTEST_SKIP() << "two million vertices take too long under the sanitizer";
  std::string model = "  0\nLWPOLYLINE\n 90\n2100000\n";
  model.reserve(2100000 * 24);
  for (int i = 0; i < 2100000; ++i) model += " 10\n" + std::to_string(i % 1000) + "\n 20\n" + std::to_string(i / 1000 % 100) + "\n";
  auto viewports = [](int n) {
    std::string s;
    for (int k = 0; k < n; ++k)
      s += "  0\nVIEWPORT\n 67\n1\n 10\n" + std::to_string(20 + 18 * k) + "\n 20\n150\n 40\n16\n 41\n100\n"
           " 12\n500\n 22\n50\n 45\n100\n 68\n1\n 69\n" + std::to_string(k + 2) + "\n";
    return s;
  };
  v.tab = 1;
  for (const auto& [n, whole] : {std::pair{1, true}, std::pair{20, false}}) {
    loadEntities(model + viewports(n));
    QImage canvas(400, 300, QImage::Format_RGB32);
    EXPECT_EQ(PaintBox1Paint(canvas, d, v, print, page, 96), whole) << n;
  }
}

// Blocks B0 .. B(levels - 1), each inserting the next five times over, the
// last holding `leaf`; the drawing inserts B0 once at (50, 50).
std::string FanOut(int levels, const std::string& leaf) {
  std::string blocks;
  for (int k = 0; k < levels; ++k) {
    const std::string name = std::string("B").append(std::to_string(k));
    blocks += "  0\nBLOCK\n  2\n" + name + "\n  3\n" + name + "\n 10\n0\n 20\n0\n";
    for (int r = 0; k + 1 < levels && r < 5; ++r)
      blocks += "  0\nINSERT\n  8\n0\n  2\nB" + std::to_string(k + 1) + "\n 10\n" + std::to_string(r * 3) + "\n 20\n" +
                std::to_string(r * 2) + "\n";
    if (k + 1 == levels) blocks += leaf;
    blocks += "  0\nENDBLK\n";
  }
  return test::Section("BLOCKS", blocks) + test::Section("ENTITIES", "  0\nINSERT\n  8\n0\n  2\nB0\n 10\n50\n 20\n50\n");
}

TEST_F(RendererTest, APaintThatReachesTheBudgetOfReferencesIsQuick) {
  const std::string line = "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n100\n 21\n100\n";
  auto timed = [&](int levels, const std::string& leaf, bool complete) {
    load(FanOut(levels, leaf));
    QImage canvas(400, 300, QImage::Format_RGB32);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PaintBox1Paint(canvas, d, v, print, page, 96), complete) << levels;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(Darkest(canvas, 50, 230, 70, 249), 128) << levels;  // the first leaf drawn starts at (50, 50)
    return seconds;
  };
  // 78,125 lines are drawn whole; of nearly ten million, what the screen
  // can afford, in less time than those.
  const double ordinary = timed(8, line, true);
  EXPECT_LT(timed(10, line, false), 2 * ordinary + 0.05);
  // Texts cost more to draw than lines: a paint leaves out more of them.
  EXPECT_LT(timed(10, "  0\nTEXT\n  8\n0\n 10\n0\n 20\n0\n 40\n20\n  1\nHallo Welt\n", false), 2 * ordinary + 1);

  // An array of 900 million cells, each smaller than a pixel: the cells
  // looked at count too.
  std::string block = "  0\nBLOCK\n  2\nB\n 70\n0\n 10\n0\n 20\n0\n";
  block += line;
  block += "  0\nENDBLK\n";
  load(test::Section("BLOCKS", block) +
       test::Section("ENTITIES", "  0\nINSERT\n  8\n0\n  2\nB\n 10\n0\n 20\n0\n 41\n0.001\n 42\n0.001\n"
                                 " 70\n30000\n 71\n30000\n 44\n0.2\n 45\n0.2\n"));
  QImage canvas(400, 300, QImage::Format_RGB32);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(PaintBox1Paint(canvas, d, v, print, page, 96));
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2 * ordinary + 1);
}

TEST_F(RendererTest, ADimensionIsDrawnByItsBlockWhenTheDrawingHasIt) {
  // The block draws a line from (50, 50) to (150, 50), moved up by the
  // dimension's own offset (12/22); the dimension's defining points lie
  // elsewhere. A dimension that names no block of the drawing is built from
  // its points.
  const std::string dimension =
      "  0\nDIMENSION\n  8\n0\n  2\n%s\n 10\n300\n 20\n250\n 11\n300\n 21\n260\n 12\n0\n 22\n100\n"
      " 70\n1\n 13\n300\n 23\n200\n 14\n380\n 24\n200\n 42\n80\n";
  auto with = [&](const char* name) {
    std::string e = dimension;
    e.replace(e.find("%s"), 2, name);
    return e;
  };
  load(test::Section("BLOCKS", "  0\nBLOCK\n  2\n*D1\n  3\n*D1\n 10\n0\n 20\n0\n"
                               "  0\nLINE\n  8\n0\n 10\n50\n 20\n50\n 11\n150\n 21\n50\n  0\nENDBLK\n") +
       test::Section("ENTITIES", with("*D1")));
  QImage img = paint();
  EXPECT_LT(Darkest(img, 60, 148, 140, 150), 100);   // the block's line at y 150
  EXPECT_EQ(Darkest(img, 290, 40, 390, 110), 255);  // nothing of the construction
  const auto e = DrawnExtents(d, 0);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->minx, 50);
  EXPECT_EQ(e->maxy, 150);
  load(test::Section("ENTITIES", with("*D9")));
  img = paint();
  EXPECT_EQ(Darkest(img, 60, 140, 140, 160), 255);
  EXPECT_LT(Darkest(img, 300, 48, 380, 52), 100);  // the dimension line through (10, 20)
}

TEST_F(RendererTest, APolylineSegmentNarrowsFromItsStartWidthToItsEndWidth) {
  // From (100, 150) 40 units wide to (300, 150) a point.
  loadEntities("  0\nLWPOLYLINE\n  8\n0\n 10\n100\n 20\n150\n 40\n40\n 41\n0\n 10\n300\n 20\n150\n");
  const QImage img = paint();
  EXPECT_LT(Darkest(img, 110, 149 - 17, 110, 149 - 17), 100);  // near the start: 17 of 19 above the axis
  EXPECT_EQ(Darkest(img, 290, 149 - 5, 290, 149 - 3), 255);     // near the end: 1 of 2
  EXPECT_LT(Darkest(img, 200, 149 - 9, 200, 149 + 9), 100);     // half way: 10 to either side
  EXPECT_EQ(Darkest(img, 200, 149 - 14, 200, 149 - 12), 255);

  // Thirty units below the picture, 80 wide: its upper ten units show.
  loadEntities("  0\nLWPOLYLINE\n  8\n0\n 10\n100\n 20\n-30\n 40\n80\n 41\n80\n 10\n300\n 20\n-30\n");
  EXPECT_LT(Darkest(paint(), 150, 292, 250, 298), 100);
}

TEST_F(RendererTest, AViewportThatIsSwitchedOffShowsNothingOfTheModel) {
  // The model's line from (0, 0) to (100, 0), seen through a viewport on
  // the sheet whose centre (200, 150) shows the model's (50, 0).
  auto sheet = [&](const char* status) {
    loadEntities(std::string("  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n100\n 21\n0\n"
                             "  0\nVIEWPORT\n 67\n1\n  8\n0\n 10\n200\n 20\n150\n 40\n200\n 41\n100\n"
                             " 12\n50\n 22\n0\n 45\n100\n 69\n2\n") +
                 status);
    v.tab = 1;
    return paint();
  };
  const QImage on = sheet(" 68\n1\n"), off = sheet(" 68\n0\n");
  EXPECT_NE(on.pixel(200, 149), off.pixel(200, 149));
  EXPECT_EQ(on.pixel(200, 170), off.pixel(200, 170));
  EXPECT_EQ(on.pixel(100, 199), off.pixel(100, 199));  // the frame stays
}

TEST_F(RendererTest, BlockMembersByBlockOrOnLayerZeroLookLikeTheirReference) {
  // A red reference on the green layer L draws its block: a line "by
  // block" at y 100, a line on layer 0 at y 150, a blue line at y 200.
  load(test::Section("TABLES", "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n0\n 70\n0\n 62\n7\n"
                               "  0\nLAYER\n  2\nL\n 70\n0\n 62\n3\n  0\nENDTAB\n") +
       test::Section("BLOCKS", "  0\nBLOCK\n  2\nB\n  3\nB\n 10\n0\n 20\n0\n"
                               "  0\nLINE\n  8\n0\n 62\n0\n 10\n0\n 20\n100\n 11\n200\n 21\n100\n"
                               "  0\nLINE\n  8\n0\n 10\n0\n 20\n150\n 11\n200\n 21\n150\n"
                               "  0\nLINE\n  8\n0\n 62\n5\n 10\n0\n 20\n200\n 11\n200\n 21\n200\n  0\nENDBLK\n") +
       test::Section("ENTITIES", "  0\nINSERT\n  8\nL\n 62\n1\n  2\nB\n 10\n50\n 20\n0\n"));
  const QImage img = paint();
  EXPECT_EQ(img.pixel(150, 199), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(150, 149), qRgb(0, 255, 0));
  EXPECT_EQ(img.pixel(150, 99), qRgb(0, 0, 255));
}

TEST_F(RendererTest, AttributesFollowTheirReference) {
  // A reference on the green layer L whose attribute on layer 0 turns
  // green; a reference on the layer Off (switched off) hides its
  // attributes, on layer 0 and on L alike.
  auto attrib = [](int x, const char* layer) {
    return "  0\nATTRIB\n  8\n" + std::string(layer) + "\n 10\n" + std::to_string(x) +
           "\n 20\n150\n 40\n20\n  1\nXX\n  2\nTAG\n 70\n0\n";
  };
  load(test::Section("TABLES", "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n0\n 70\n0\n 62\n7\n"
                               "  0\nLAYER\n  2\nL\n 70\n0\n 62\n3\n  0\nLAYER\n  2\nOff\n 70\n0\n 62\n-1\n  0\nENDTAB\n") +
       test::Section("BLOCKS", "  0\nBLOCK\n  2\nB\n  3\nB\n 10\n0\n 20\n0\n  0\nENDBLK\n") +
       test::Section("ENTITIES", "  0\nINSERT\n  8\nL\n 66\n1\n  2\nB\n 10\n0\n 20\n0\n" + attrib(100, "0") +
                                     "  0\nSEQEND\n  0\nINSERT\n  8\nOff\n 66\n1\n  2\nB\n 10\n0\n 20\n0\n" +
                                     attrib(200, "0") + attrib(300, "L") + "  0\nSEQEND\n"));
  const QImage img = paint();
  auto inks = [&](int x0, QRgb colour) {
    int n = 0;
    for (int y = 299 - 180; y <= 299 - 140; ++y)
      for (int x = x0 - 5; x <= x0 + 60; ++x) n += img.pixel(x, y) == colour;
    return n;
  };
  EXPECT_GT(inks(100, qRgb(0, 255, 0)), 10);
  EXPECT_EQ(inks(100, qRgb(0, 0, 0)), 0);
  EXPECT_EQ(inks(200, qRgb(255, 255, 255)), 66 * 41);
  EXPECT_EQ(inks(300, qRgb(255, 255, 255)), 66 * 41);
}

// --- hatches: a ring from (100, 50) to (200, 150) around a hole from (130, 80) to (170, 120) ---------

std::string Ring(const std::string& fill, const std::string& pattern, int dx = 0) { return test::HatchRing(fill, pattern, dx); }
std::string Lines(double angle, double spacing) { return test::HatchLines(angle, spacing); }

TEST_F(RendererTest, SolidGradientAndDenseHatchesFillTheRingAndLeaveTheHole) {
  struct Case {
    const char* what;
    std::string hatch;
    QRgb ring;
  } cases[] = {
      {"solid", Ring(" 62\n1\n  2\nSOLID\n 70\n1\n", ""), qRgb(255, 0, 0)},
      {"gradient: its first colour", Ring("  2\nSOLID\n 70\n1\n", "450\n1\n453\n2\n463\n0\n421\n65280\n463\n1\n421\n255\n"),
       qRgb(0, 255, 0)},
      {"lines closer than a pixel", Ring(" 62\n5\n  2\nANSI31\n 70\n0\n", Lines(45, 0.5)), qRgb(0, 0, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    loadEntities(c.hatch);
    const QImage img = paint();
    EXPECT_EQ(img.pixel(115, 199), c.ring);
    EXPECT_EQ(img.pixel(185, 160), c.ring);
    EXPECT_EQ(img.pixel(150, 199), qRgb(255, 255, 255));  // the hole
    EXPECT_EQ(img.pixel(90, 199), qRgb(255, 255, 255));   // outside
  }
}

// How often a dark pixel in the rectangle has a dark pixel (dx, dy) from it too.
double Along(const QImage& img, int x0, int y0, int x1, int y1, int dx, int dy) {
  int dark = 0, both = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (qGray(img.pixel(x, y)) < 128) {
        ++dark;
        both += qGray(img.pixel(x + dx, y + dy)) < 192;
      }
  return dark > 0 ? static_cast<double>(both) / dark : 0;
}

TEST_F(RendererTest, PatternLinesAreClippedToTheRingAtTheirAngleWhereverTheHatchIsPlaced) {
  struct Case {
    const char* what;
    std::string sections;
    int dx, dy;  // the way the lines go on the screen
  } cases[] = {
      {"at 45 degrees", test::Section("ENTITIES", Ring("  2\nANSI31\n 70\n0\n", Lines(45, 10))), 4, -4},
      // Seen from below, x runs the other way: the ring drawn at -200 .. -100 lands on it, its lines at 135 degrees.
      {"seen from below", test::Section("ENTITIES", Ring("210\n0\n220\n0\n230\n-1\n  2\nANSI31\n 70\n0\n", Lines(45, 10), -300)),
       4, 4},
      // Level lines in a block turned a quarter: the block's (x, y) lands on (200 - y, 50 + x).
      {"in a turned block",
       test::Section("BLOCKS", "  0\nBLOCK\n  2\nHB\n  3\nHB\n 10\n0\n 20\n0\n" +
                                   Ring("  2\nUSER\n 70\n0\n", Lines(0, 10), -100) + "  0\nENDBLK\n") +
           test::Section("ENTITIES", "  0\nINSERT\n  8\n0\n  2\nHB\n 10\n250\n 20\n50\n 50\n90\n"),
       0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    load(c.sections);
    QImage img = paint();
    EXPECT_LT(Darkest(img, 103, 152, 127, 246), 128);     // ink in the ring
    EXPECT_EQ(Darkest(img, 134, 183, 166, 215), 255);     // none in the hole
    EXPECT_EQ(Darkest(img, 80, 140, 96, 260), 255);       // nor outside
    EXPECT_EQ(Darkest(img, 204, 140, 220, 260), 255);
    EXPECT_GT(Along(img, 104, 155, 124, 245, c.dx, c.dy), 0.9);  // lines, at their angle
    EXPECT_LT(Along(img, 104, 155, 124, 245, c.dy, -c.dx), 0.3);
    // The boundary is not drawn: along the ring's left edge only where lines meet it.
    int edge = 0;
    for (int y = 152; y <= 246; ++y) edge += qGray(img.pixel(100, y)) < 128;
    EXPECT_LT(edge, 40);
  }
  // Selected, its outline shows.
  load(cases[0].sections);
  d.polys[0].selected = true;
  const QImage img = paint();
  int edge = 0;
  for (int y = 152; y <= 246; ++y) edge += qGray(img.pixel(100, y)) < 128;
  EXPECT_GT(edge, 45);
}

TEST_F(RendererTest, HostilePatternsPaintInBoundedTime) {
  std::string dashes = " 79\n100000\n";
  for (int i = 0; i < 100000; ++i) dashes += i % 2 ? " 49\n-0.001\n" : " 49\n0.001\n";
  std::string families = " 78\n10000\n";
  for (int i = 0; i < 10000; ++i) families += " 53\n" + std::to_string(i * 0.01) + "\n 43\n0\n 44\n0\n 45\n0\n 46\n3\n 79\n0\n";
  // A comb of 20,000 teeth that every line crosses.
  std::string comb = " 92\n2\n 72\n0\n 73\n1\n 93\n40000\n";
  for (int i = 0; i < 20000; ++i)
    comb += " 10\n" + std::to_string(100 + i * 0.005) + "\n 20\n50\n 10\n" + std::to_string(100.0025 + i * 0.005) +
            "\n 20\n150\n";
  struct Case {
    const char* what;
    std::string hatch;
  } cases[] = {
      {"lines 1e-300 apart", Ring("  2\nX\n 70\n0\n", Lines(45, 1e-300))},
      {"lines 1e300 apart", Ring("  2\nX\n 70\n0\n", Lines(45, 1e300))},
      {"lines along their own offset", Ring("  2\nX\n 70\n0\n", " 78\n1\n 53\n0\n 43\n0\n 44\n0\n 45\n5\n 46\n0\n")},
      {"100000 dashes a line", Ring("  2\nX\n 70\n0\n", Lines(0, 3) + dashes)},
      {"10000 families", Ring("  2\nX\n 70\n0\n", families)},
      {"a base point far away", Ring("  2\nX\n 70\n0\n", " 78\n1\n 53\n30\n 43\n1e300\n 44\n-1e300\n 45\n0\n 46\n3\n 79\n2\n 49\n1\n 49\n-1e-300\n")},
      {"a comb crossed by every line",
       "  0\nHATCH\n  8\n0\n  2\nX\n 70\n0\n 91\n1\n" + comb + " 75\n0\n 76\n1\n" + Lines(0, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    loadEntities(c.hatch);
    // The processor time the paint takes, whatever else the machine runs.
    const std::clock_t start = std::clock();
    paint();
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_LT(seconds, test::kSanitized ? 20 : 5);  // bounded, not minutes; the sanitizer is several times slower
  }
}

TEST_F(RendererTest, SelectedEntriesShowGripsOnTheirOwnPoints) {
  loadEntities(kLine);
  d.polys[0].selected = true;
  const QImage img = paint();
  EXPECT_EQ(img.pixel(100, 149 - 3), qRgb(0, 0, 255));  // the grip square at (100, 150)
  EXPECT_EQ(img.pixel(300, 149 + 3), qRgb(0, 0, 255));
}

TEST_F(RendererTest, TheOriginIconMovesAsideWhenTheOriginIsOffScreen) {
  loadEntities("");
  v.HorzScrollbarPosition = 100000;  // the origin far to the left
  const QImage img = paint();
  EXPECT_LT(Darkest(img, 10, 283, 20, 285), 100);  // the detached icon's square at (15, 284)
}

TEST_F(RendererTest, TextsAreAsHighAsTheirCapitalsAndStandWhereTheirAlignmentSays) {
  // A capital 10 units high is 10 pixels high at one pixel a unit, on the
  // baseline through its insertion point (row 299 - 150).
  loadEntities("  0\nTEXT\n  8\n0\n 10\n100\n 20\n150\n 40\n10\n  1\nH\n");
  const Ink h = InkOf(paint(), 80, 110, 140, 170);
  EXPECT_NEAR(h.bottom - h.top + 1, 10, 1);
  EXPECT_NEAR(h.bottom, 149, 1);
  EXPECT_NEAR(h.left, 101, 1);  // the letter's side bearing

  // Centred in the middle of its second point: the ink around (200, 150),
  // drawn as wide as measured (nine advances of "H" more than one "H").
  auto centred = [&](int height, const char* text) {
    loadEntities("  0\nTEXT\n  8\n0\n 10\n0\n 20\n0\n 40\n" + std::to_string(height) +
                 "\n 72\n1\n 73\n2\n 11\n200\n 21\n150\n  1\n" + text + "\n");
    return InkOf(paint(), 20, 100, 380, 200);
  };
  for (const int height : {7, 20}) {
    SCOPED_TRACE(height);
    const Ink one = centred(height, "H"), ten = centred(height, "HHHHHHHHHH");
    EXPECT_NEAR((ten.left + ten.right) / 2.0, 200, 1);
    EXPECT_NEAR((ten.top + ten.bottom) / 2.0, 149, 1);
    EXPECT_NEAR(ten.bottom - ten.top + 1, height, 1);
    EXPECT_NEAR((ten.right - ten.left) - (one.right - one.left), 9 * 1479.0 / 1409 * height, 1.5);
  }
  const Ink ten = centred(20, "HHHHHHHHHH");

  // Selected: its outline in the selection pen, where the letters are.
  d.polys[0].selected = true;
  const QImage selected = paint();
  const Ink outline = InkOf(selected, 20, 100, 380, 200);
  EXPECT_NEAR(outline.left, ten.left, 2);
  EXPECT_NEAR(outline.right, ten.right, 2);
}

TEST_F(RendererTest, TextsFarLargerThanTheScreenAreDrawnQuickly) {
  // The left stem of an "H" 100000 units high covers the whole window.
  loadEntities("  0\nTEXT\n  8\n0\n 10\n-15000\n 20\n-1000\n 40\n100000\n  1\nHH\n");
  const auto start = std::chrono::steady_clock::now();
  const QImage img = paint();
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5);
  EXPECT_LT(Brightest(img, 0, 0, 399, 299), 64);

  // Heights and codes beyond all measure: drawn or left out, quickly.
  loadEntities("  0\nTEXT\n  8\n0\n 10\n0\n 20\n0\n 40\n1e300\n 41\n1e300\n  1\n%%uHH\n"
               "  0\nMTEXT\n  8\n0\n 10\n100\n 20\n100\n 40\n1\n  1\n\\H1e300;\\LH\\H1e-300;H\\W1e300;H\n"
               "  0\nMTEXT\n  8\n0\n 10\n100\n 20\n100\n 40\n1e-300\n 41\n1e-300\n  1\nx x x\n"
               "  0\nTEXT\n  8\n0\n 10\n0\n 20\n100\n 40\n10\n  1\n" + std::string(10 << 20, 'x') + "\n"
               "  0\nMTEXT\n  8\n0\n 10\n0\n 20\n200\n 40\n10\n 41\n300\n  1\n" + [] {
                 std::string words;
                 while (words.size() < (10 << 20)) words += "ab ";
                 return words;
               }() + "\n");
  const auto again = std::chrono::steady_clock::now();
  paint();
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - again).count(), 5);
}

}  // namespace
}  // namespace vestrel
