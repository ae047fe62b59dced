// The view transform and every way of changing it: zoom to extents, zoom
// about a point, the wheel, drag zoom, pan, the scroll bars, stored views.
#include "view/transform.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/dxf_text.h"
#include "support/fake_platform.h"
#include "view/extents.h"

namespace vestrel {
namespace {

class ViewTest : public ::testing::Test {
 protected:
  void load(const std::string& entities, const std::string& objects = "") {
    d.dxf.assign(test::WithEof(test::Section("ENTITIES", entities) + (objects.empty() ? "" : test::Section("OBJECTS", objects))));
    processdxf(d);
  }
  void screen(double x, double y, double& sx, double& sy) {
    const Point2 p = DXF2Bildschirm(s, x, y);
    sx = p.x, sy = p.y;
  }
  void world(double sx, double sy, double& x, double& y) {
    const Point2 p = Bildschirm2DXF(s, sx, sy);
    x = p.x, y = p.y;
  }

  Drawing d;
  ViewState v;
  PrintSetup print;
  test::FakePlatform platform;
  ViewContext s{d, v, print, platform};
};

TEST_F(ViewTest, TransformAndItsInverse) {
  v.HorzScrollbarPosition = v.VertScrollbarPosition = 0;
  double sx, sy;
  screen(0, 0, sx, sy);
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 599);
  screen(10, 5, sx, sy);
  EXPECT_EQ(sx, 10);
  EXPECT_EQ(sy, 594);
  for (const double z : {0.000001, 0.37, 100.0, 4321.5, 1000000.0}) {
    v.zoomedvalue = z;
    v.HorzScrollbarPosition = -12345, v.VertScrollbarPosition = 678;
    double x, y;
    screen(123.25, -45.5, sx, sy);
    world(sx, sy, x, y);
    EXPECT_NEAR(x, 123.25, 1e-9 * std::max(1.0, 100 / z));
    EXPECT_NEAR(y, -45.5, 1e-9 * std::max(1.0, 100 / z));
  }
}

TEST_F(ViewTest, ZoomAboutAPointKeepsThatPointAndIsClamped) {
  load("");
  double wx, wy, x, y;
  world(300, 200, wx, wy);
  MouseWheel(s, true, false, false, 300, 200);
  EXPECT_DOUBLE_EQ(v.zoomedvalue, 120);
  world(300, 200, x, y);
  EXPECT_NEAR(x, wx, 0.01 * 100 / v.zoomedvalue);
  EXPECT_NEAR(y, wy, 0.01 * 100 / v.zoomedvalue);
  MouseWheel(s, false, false, false, 300, 200);
  EXPECT_NEAR(v.zoomedvalue, 100, 1e-12);
  world(300, 200, x, y);
  EXPECT_NEAR(x, wx, 0.01);
  EXPECT_NEAR(y, wy, 0.01);

  v.zoomedvalue = 900000;
  ZoomIn(s);
  EXPECT_EQ(v.zoomedvalue, 1000000);
  v.zoomedvalue = 0.0000011;
  ZoomOut(s);
  EXPECT_EQ(v.zoomedvalue, 0.000001);
}

TEST_F(ViewTest, WheelWithShiftOrCtrlScrolls) {
  load("");
  const auto h = v.HorzScrollbarPosition, vv = v.VertScrollbarPosition;
  MouseWheel(s, false, true, false, 0, 0);
  EXPECT_EQ(v.HorzScrollbarPosition, h + 2000);
  MouseWheel(s, true, false, true, 0, 0);
  EXPECT_EQ(v.VertScrollbarPosition, vv - 2000);
  MouseWheel(s, true, true, true, 0, 0);  // both: horizontally
  EXPECT_EQ(v.HorzScrollbarPosition, h);
  EXPECT_EQ(v.VertScrollbarPosition, vv - 2000);
  EXPECT_EQ(v.zoomedvalue, 100);
}

TEST_F(ViewTest, ScrollBarsKeepTheirRange) {
  SetHorzScrollbar(s, 3000000000);
  EXPECT_EQ(v.HorzScrollbarPosition, ViewState::kScrollMax);
  SetVertScrollbar(s, -3000000000);
  EXPECT_EQ(v.VertScrollbarPosition, ViewState::kScrollMin);
  // A small drawing far out is zoomed to fit as far as the bars reach,
  // and shown.
  for (const char* far : {"650", "1e5"}) {
    load(std::string("  0\nLINE\n 10\n") + far + "\n 20\n0\n 11\n" + far + "\n 21\n0.2\n");
    ZoomFullIn(s);
    double sx, sy, ex, ey;
    screen(std::stod(far), 0, sx, sy);
    screen(std::stod(far), 0.2, ex, ey);
    EXPECT_GT(sx, 0) << far;
    EXPECT_LT(sx, 800) << far;
    EXPECT_GT(sy, 0) << far;
    EXPECT_LT(ey, 600) << far;
    EXPECT_GT(sy - ey, far[0] == '6' ? 500 : 1) << far;  // 650 units out: filled
  }
}

TEST_F(ViewTest, ZoomToExtentsFitsTheDrawing) {
  load("  0\nLINE\n 10\n0\n 20\n0\n 11\n100\n 21\n50\n"
       "  0\nXLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n");  // construction lines do not count
  ZoomFullIn(s);
  // 100 units and 10 pixels wide into 95 % of 800 pixels.
  EXPECT_NEAR(v.zoomedvalue, 100 * (0.95 * 800 - 10) / 100, 1e-9);
  // Again: nothing changes.
  const auto h = v.HorzScrollbarPosition;
  ZoomFullIn(s);
  EXPECT_NEAR(v.zoomedvalue, 750, 1e-9);
  EXPECT_EQ(v.HorzScrollbarPosition, h);
  double sx, sy;
  screen(0, 0, sx, sy);
  double ex, ey;
  screen(100, 50, ex, ey);
  // Centred in the box widened by 10 pixels.
  EXPECT_NEAR((sx + ex) / 2, 395, 1);
  EXPECT_NEAR((sy + ey) / 2, 304, 1);
  EXPECT_GT(sx, 0);
  EXPECT_LT(ex, 800);
}

TEST_F(ViewTest, TinyAndEmptyDrawingsAndLayersThatAreOff) {
  // A drawing a fifth of a unit wide fills the window as any other.
  load("  0\nLINE\n 10\n0.2\n 20\n0.2\n 11\n0.4\n 21\n0.3\n");
  Extents e = TabExtents(d, 0);
  EXPECT_EQ(e.minx, 0.2);
  EXPECT_EQ(e.maxx, 0.4);
  ZoomFullIn(s);
  double sx, sy, ex, ey;
  screen(0.2, 0.2, sx, sy);
  screen(0.4, 0.3, ex, ey);
  EXPECT_NEAR(ex - sx, 0.95 * 800 - 10, 1);
  // What lies on a layer that is off or frozen does not count.
  d.dxf.assign(test::WithEof(
      test::Section("TABLES", "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\nOFF\n 70\n0\n 62\n-1\n"
                              "  0\nLAYER\n  2\nFROZEN\n 70\n1\n 62\n1\n  0\nENDTAB\n") +
      test::Section("ENTITIES", "  0\nLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n"
                                "  0\nLINE\n  8\nOFF\n 10\n0\n 20\n0\n 11\n50\n 21\n1\n"
                                "  0\nLINE\n  8\nFROZEN\n 10\n0\n 20\n0\n 11\n1\n 21\n70\n")));
  processdxf(d);
  e = TabExtents(d, 0);
  EXPECT_EQ(e.maxx, 1);
  EXPECT_EQ(e.maxy, 1);
  // Nothing at all: the box (0, 0)-(10, 10).
  load("");
  e = TabExtents(d, 0);
  EXPECT_EQ(e.maxx, 10);
  EXPECT_EQ(e.maxy, 10);
}

TEST_F(ViewTest, TheLargestNumbersGiveAClampedViewNotUndefinedArithmetic) {
  load("  0\nLINE\n 10\n-1e308\n 20\n-1e308\n 11\n1e308\n 21\n1e308\n");
  ZoomFullIn(s);
  EXPECT_EQ(v.zoomedvalue, kZoomMin);
  EXPECT_GE(v.HorzScrollbarPosition, ViewState::kScrollMin);
  EXPECT_LE(v.VertScrollbarPosition, ViewState::kScrollMax);
  load("  0\nLINE\n 10\n0\n 20\n0\n 11\n1e19\n 21\n1e19\n");
  ZoomFullIn(s);
  EXPECT_TRUE(std::isfinite(v.zoomedvalue));
  EXPECT_GE(v.zoomedvalue, kZoomMin);
  EXPECT_EQ(WholePixels(1e300), 1 << 30);
  EXPECT_EQ(WholePixels(std::nan("")), -(1 << 30));
}

TEST_F(ViewTest, APaperTabShowsAtLeastThePrintablePage) {
  load("  0\nLINE\n 67\n1\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n");
  v.tab = 1;
  print.RandEd = 10;
  ZoomFullIn(s);
  // A4 less twice the margin: 190 x 277 mm at 1 mm per unit.
  const double pw = 4960 / 600.0 * kMmPerInch - 20, ph = 7016 / 600.0 * kMmPerInch - 20;
  const double z = v.zoomedvalue;
  EXPECT_NEAR(z, 100 * std::min((0.95 * 800 - 10) / pw, (0.95 * 600 - 10) / ph), 1e-6);
  double sx, sy;
  screen(pw, ph, sx, sy);
  EXPECT_LT(sx, 800);
  EXPECT_GE(sy, 0);
}

TEST_F(ViewTest, EachTabKeepsItsView) {
  load("  0\nLINE\n 10\n0\n 20\n0\n 11\n10\n 21\n10\n");
  ZoomFullIn(s);
  ZoomIn(s);
  const double zoom = v.zoomedvalue;
  const auto h = v.HorzScrollbarPosition;
  // Another tab, seen for the first time, zooms to its own extents.
  v.tab = 1;
  RestoreZoom(s);
  EXPECT_NE(v.zoomedvalue, zoom);
  EXPECT_FALSE(v.zoomsetted1);  // a restore stores nothing
  // Back: the view exactly as it was.
  v.tab = 0;
  RestoreZoom(s);
  EXPECT_EQ(v.zoomedvalue, zoom);
  EXPECT_EQ(v.HorzScrollbarPosition, h);
  EXPECT_FALSE(v.donotstorenow);
}

TEST_F(ViewTest, DragZoomAndPan) {
  load("");
  v.pansy = 100;
  v.pansy2 = 100;
  double wx, wy, x, y;
  world(300, 50, wx, wy);
  DragZoom(s, 300, 50);  // up: in
  EXPECT_GT(v.zoomedvalue, 100);
  world(300, 50, x, y);
  EXPECT_NEAR(x, wx, 0.01);
  v.pansx = 10, v.pansy = 10;
  v.pansx0 = v.HorzScrollbarPosition, v.pansy0 = v.VertScrollbarPosition;
  double before, beforeY;
  screen(0, 0, before, beforeY);
  Pan(s, 25, 3);
  double after, afterY;
  screen(0, 0, after, afterY);
  EXPECT_NEAR(after - before, 15, 1e-9);  // the drawing follows the pointer
  EXPECT_NEAR(afterY - beforeY, -7, 1e-9);
}

}  // namespace
}  // namespace vestrel

namespace vestrel {
namespace {

// The one conversion between drawing units and pixels, for the window, a
// printed page and the inside of a viewport.
TEST(ScreenTransform, WhereDrawingPointsLand) {
  const ScreenTransform window(200, -10, 20, 600);  // 2 px per unit
  struct Case {
    const char* what;
    ScreenTransform t;
    Point2 world, screen;
  };
  const double mm = 600 / kMmPerInch;  // pixels per millimetre at 600 dpi
  PrintSetup print;
  print.mmEd = 10, print.RandEd = 10, print.XOffsetEd = 5;
  const Case cases[] = {
      {"origin", window, {0, 0}, {10, 599 - 20}},
      {"a point", window, {10, 5}, {30, 599 - 30}},
      {"with a drawing offset", window.shifted(-10, -5), {10, 5}, {10, 599 - 20}},
      // The model point (100, 50) at the centre (20, 10) of a viewport 40
      // high that shows 400 units: a tenth of the size.
      {"inside a viewport", window.insideViewport(20, 10, 40, 400, 100, 50, true), {100, 50}, {50, 599 - 40}},
      {"10 model units in it", window.insideViewport(20, 10, 40, 400, 100, 50, true), {110, 50}, {52, 599 - 40}},
      {"without layouts, unscaled", window.insideViewport(20, 10, 40, 400, 100, 50, false), {110, 50}, {70, 599 - 40}},
      // 10 mm of paper per unit, origin 10 + 5 mm from the left and 10 mm
      // from the bottom.
      {"a page", ScreenTransform::OfPage(print, 600, 7016), {1, 1}, {25 * mm, 7015 - 20 * mm}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Point2 s = c.t.toScreen(c.world.x, c.world.y);
    EXPECT_NEAR(s.x, c.screen.x, 1e-9);
    EXPECT_NEAR(s.y, c.screen.y, 1e-9);
    const Point2 w = c.t.toWorld(s.x, s.y);
    EXPECT_NEAR(w.x, c.world.x, 1e-9);
    EXPECT_NEAR(w.y, c.world.y, 1e-9);
  }
}

TEST(ScreenTransform, OneRoundingRuleForWholePixels) {
  // Half a pixel off in both directions: each distance is rounded half to
  // even, then the row counted from the bottom.
  const ScreenTransform t(100, 0.5, 0.5, 600);
  struct Case {
    double x, y;
    Point2 pixel;
  };
  const Case cases[] = {
      {0, 0, {0, 599}},      // -0.5 and 0.5 both round to 0
      {1, 1, {0, 597}},      // 0.5 rounds to 0, 1.5 to 2
      {2, 2, {2, 597}},      // 1.5 rounds to 2, 2.5 to 2
      {0.3, 0.3, {0, 598}},  // -0.2 and 0.8
  };
  for (const Case& c : cases) {
    const Point2 p = t.toPixel(c.x, c.y);
    EXPECT_EQ(p.x, c.pixel.x) << c.x;
    EXPECT_EQ(p.y, c.pixel.y) << c.y;
    // Painting keeps x as it is and puts y on the same row.
    const Point2 v = t.toPaint(c.x, c.y);
    EXPECT_DOUBLE_EQ(v.x, c.x - 0.5);
    EXPECT_EQ(v.y, p.y);
  }
  // The scroll that puts a drawing point on a pixel.
  const Point2 scroll = ScreenTransform::ScrollPlacing({10, 20}, {300, 200}, 250, 600);
  const Point2 s = ScreenTransform(250, scroll.x, scroll.y, 600).toScreen(10, 20);
  EXPECT_NEAR(s.x, 300, 1e-9);
  EXPECT_NEAR(s.y, 200, 1e-9);
}

}  // namespace
}  // namespace vestrel
