// The renderer, checked on the canvas pixel by pixel.
#include "view/renderer.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <chrono>

#include "support/dxf_text.h"
#include "support/qt_app.h"
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
  // 34 levels, each block inserting the next twice (or ten times).
  for (const int refs : {2, 10}) {
    std::string blocks;
    for (int k = 0; k < 34; ++k) {
      blocks += "  0\nBLOCK\n  2\nB" + std::to_string(k) + "\n  3\nB" + std::to_string(k) + "\n 10\n0\n 20\n0\n";
      for (int r = 0; k + 1 < 34 && r < refs; ++r)
        blocks += "  0\nINSERT\n  2\nB" + std::to_string(k + 1) + "\n 10\n" + std::to_string(r) + "\n 20\n0\n";
      if (k + 1 == 34) blocks += "  0\nLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n";
      blocks += "  0\nENDBLK\n";
    }
    load(test::Section("BLOCKS", blocks) + test::Section("ENTITIES", "  0\nINSERT\n  2\nB0\n 10\n0\n 20\n0\n"));
    const auto start = std::chrono::steady_clock::now();
    const auto e = DrawnExtents(d, 0);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->maxx, 33 * (refs - 1) + 1);  // each level shifts up to refs - 1 further
    QImage canvas(400, 300, QImage::Format_RGB32);
    EXPECT_FALSE(PaintBox1Paint(canvas, d, v, print, page, 96));  // not all: says so
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30);
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
