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
  void screen(double x, double y, double& sx, double& sy) { DXF2Bildschirm(s, x, y, sx, sy); }
  void world(double sx, double sy, double& x, double& y) { Bildschirm2DXF(s, sx, sy, x, y); }

  Drawing d;
  ViewState v;
  PrintSetup print;
  test::FakePlatform platform;
  ViewSession s{d, v, print, platform};
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
  ZoomInBtnClick(s);
  EXPECT_EQ(v.zoomedvalue, 1000000);
  v.zoomedvalue = 0.0000011;
  ZoomOutBtnClick(s);
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
  SetHorzScrollbar(s, 300000000);
  EXPECT_EQ(v.HorzScrollbarPosition, ViewState::kScrollMax);
  SetVertScrollbar(s, -300000000);
  EXPECT_EQ(v.VertScrollbarPosition, ViewState::kScrollMin);
}

TEST_F(ViewTest, ZoomToExtentsFitsTheDrawing) {
  load("  0\nLINE\n 10\n0\n 20\n0\n 11\n100\n 21\n50\n"
       "  0\nXLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n");  // construction lines do not count
  ZoomFullIn(s);
  EXPECT_FALSE(v.donotdrawnow);
  // 100 units wide into 800 pixels: f = 800 / 110, then 95 %.
  EXPECT_NEAR(v.zoomedvalue, 100 * 800.0 / 110 * 0.95, 1e-9);
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

TEST_F(ViewTest, TinyAndEmptyDrawings) {
  // Points within (0.2, 0.2)-(0.4, 0.4) round to one point: 10-pixel boxes.
  load("  0\nLINE\n 10\n0.2\n 20\n0.2\n 11\n0.4\n 21\n0.4\n");
  Extents e = TabExtents(d, 0);
  EXPECT_EQ(e.minx, 0);
  EXPECT_EQ(e.maxx, 0);
  ZoomFullIn(s);
  EXPECT_NEAR(v.zoomedvalue, 100 * 60 * 0.95, 1e-6);
  // Nothing at all: the box (0, 0)-(10, 10).
  load("");
  e = TabExtents(d, 0);
  EXPECT_EQ(e.maxx, 10);
  EXPECT_EQ(e.maxy, 10);
}

TEST_F(ViewTest, APaperTabShowsAtLeastThePrintablePage) {
  load("  0\nLINE\n 67\n1\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n");
  d.bar.TabControl1.itemIndex = 1;
  print.RandEd = 10;
  ZoomFullIn(s);
  // A4 less twice the margin: 190 x 277 mm at 1 mm per unit.
  const double pw = 4960 / 600.0 * kMmPerInch - 20, ph = 7016 / 600.0 * kMmPerInch - 20;
  const double z = v.zoomedvalue;
  EXPECT_NEAR(z, 100 * std::min(800 / (std::nearbyint(pw) + 10), 600 / (std::nearbyint(ph) + 10)) * 0.95, 1e-6);
  double sx, sy;
  screen(pw, ph, sx, sy);
  EXPECT_LT(sx, 800);
  EXPECT_GE(sy, 0);
}

TEST_F(ViewTest, EachTabKeepsItsView) {
  load("  0\nLINE\n 10\n0\n 20\n0\n 11\n10\n 21\n10\n");
  ZoomAllClick(s);
  ZoomInBtnClick(s);
  const double zoom = v.zoomedvalue;
  const auto h = v.HorzScrollbarPosition;
  // Another tab, seen for the first time, zooms to its own extents.
  d.bar.TabControl1.itemIndex = 1;
  RestoreZoom(s);
  EXPECT_NE(v.zoomedvalue, zoom);
  EXPECT_FALSE(v.zoomsetted1);  // a restore stores nothing
  // Back: the view exactly as it was.
  d.bar.TabControl1.itemIndex = 0;
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
