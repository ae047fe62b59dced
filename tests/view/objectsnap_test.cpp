// Object snaps against the exact geometry of every kind of object: in
// their own planes, inside scaled, turned and arrayed block references,
// at the aperture's border, on ties, and never on what is not drawn.
#include "view/objectsnap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <initializer_list>
#include <string>
#include <utility>

#include "support/dxf_text.h"

namespace vestrel {
namespace {

using K = SnapKind;

std::string Entity(const std::string& kind, std::initializer_list<std::pair<int, std::string>> groups) {
  std::string s = "  0\n" + kind + "\n";
  for (const auto& [g, v] : groups) s += std::to_string(g) + "\n" + v + "\n";
  return s;
}

std::string Line(double x1, double y1, double x2, double y2, const std::string& layer = "0") {
  return Entity("LINE", {{8, layer}, {10, std::to_string(x1)}, {20, std::to_string(y1)}, {11, std::to_string(x2)},
                         {21, std::to_string(y2)}});
}

// Every kind the snaps know, at places of their own (see the cases).
Drawing SnapDrawing() {
  const std::string layers = Entity("TABLE", {{2, "LAYER"}}) + Entity("LAYER", {{2, "0"}, {62, "7"}}) +
                             Entity("LAYER", {{2, "OFF"}, {62, "-1"}}) + Entity("LAYER", {{2, "FROZEN"}, {62, "1"}, {70, "1"}}) +
                             "  0\nENDTAB\n";
  const std::string block = Entity("BLOCK", {{8, "0"}, {2, "B"}, {70, "0"}, {10, "0"}, {20, "0"}, {3, "B"}}) +
                            Line(1, 0, 3, 0) + Entity("CIRCLE", {{8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}}) +
                            Entity("ENDBLK", {{8, "0"}}) +
                            Entity("BLOCK", {{8, "0"}, {2, "A"}, {70, "0"}, {10, "0"}, {20, "0"}, {3, "A"}}) +
                            Entity("ARC", {{8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "0"}, {51, "180"}}) +
                            Entity("ENDBLK", {{8, "0"}});
  const std::string entities =
      Line(0, 0, 10, 0) + Line(7, -5, 7, 5) +                                     // crossing at (7, 0)
      Entity("CIRCLE", {{8, "0"}, {10, "20"}, {20, "0"}, {40, "5"}}) +             // C1
      Entity("CIRCLE", {{8, "0"}, {10, "28"}, {20, "0"}, {40, "5"}}) +             // crosses C1 at (24, +-3)
      Line(15, 5, 25, 5) +                                                        // touches C1 at (20, 5)
      Entity("ARC", {{8, "0"}, {10, "-60"}, {20, "0"}, {40, "5"}, {210, "0"}, {220, "0"}, {230, "-1"},
                     {50, "0"}, {51, "90"}}) +  // seen from below: from (55, 0) to (60, 5)
      Entity("LWPOLYLINE", {{8, "0"}, {90, "2"}, {70, "0"}, {10, "0"}, {20, "20"}, {42, "1"}, {10, "10"}, {20, "20"}}) +
      Entity("ELLIPSE", {{8, "0"}, {10, "100"}, {20, "0"}, {30, "0"}, {11, "10"}, {21, "0"}, {31, "0"}, {40, "0.5"},
                         {41, "0"}, {42, "6.283185307179586"}}) +
      Line(100, -10, 100, 10) +  // through the ellipse's quadrants (100, +-5)
      Entity("CIRCLE", {{8, "0"}, {10, "110"}, {20, "0"}, {40, "2"}}) +  // across the ellipse's end
      Line(5, 10, 5, 30) +  // across the bulge at (5, 15), past its other half
      // A straight spline from (700, 10) to (720, 10), and a line across it.
      Entity("SPLINE", {{8, "0"}, {70, "8"}, {71, "1"}, {72, "4"}, {73, "2"}, {74, "0"}, {40, "0"}, {40, "0"},
                        {40, "1"}, {40, "1"}, {10, "700"}, {20, "10"}, {30, "0"}, {10, "720"}, {20, "10"}, {30, "0"}}) +
      Line(710, 0, 710, 20) +
      // A parabola from (800, 0) to (820, 0), its apex at (810, 10).
      Entity("SPLINE", {{8, "0"}, {70, "8"}, {71, "2"}, {72, "6"}, {73, "3"}, {74, "0"}, {40, "0"}, {40, "0"},
                        {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"}, {10, "800"}, {20, "0"}, {30, "0"}, {10, "810"},
                        {20, "20"}, {30, "0"}, {10, "820"}, {20, "0"}, {30, "0"}}) +
      Entity("TEXT", {{8, "0"}, {10, "200"}, {20, "0"}, {40, "2"}, {1, "T"}}) +
      Entity("POINT", {{8, "0"}, {10, "210"}, {20, "0"}}) +
      // B twice as large and turned a quarter: its line from (300, 2) to
      // (300, 6), its circle around (300, 0) with radius 2.
      Entity("INSERT", {{8, "0"}, {2, "B"}, {10, "300"}, {20, "0"}, {41, "2"}, {42, "2"}, {50, "90"}}) +
      // B in three columns 10 apart: lines from (401, 0), (411, 0), (421, 0).
      Entity("INSERT", {{8, "0"}, {2, "B"}, {10, "400"}, {20, "0"}, {70, "3"}, {44, "10"}}) +
      // A's half circle stretched into half an ellipse from (904, 0) over
      // (900, 2) to (896, 0).
      Entity("INSERT", {{8, "0"}, {2, "A"}, {10, "900"}, {20, "0"}, {41, "4"}, {42, "2"}}) +
      Line(500, 0, 510, 0, "OFF") + Line(520, 0, 530, 0, "FROZEN") +
      Entity("INSERT", {{8, "OFF"}, {2, "B"}, {10, "540"}, {20, "0"}}) +
      Line(600, 0, 700, 0) + Line(600, -0.001, 700, 0.001);  // nearly parallel, crossing at (650, 0)
  return test::Parsed(test::WithEof(test::Section("TABLES", layers) + test::Section("BLOCKS", block) +
                                    test::Section("ENTITIES", entities)));
}

TEST(ObjectSnap, EachKindFindsTheExactPointOfEveryKindOfObject) {
  Drawing d = SnapDrawing();
  SpatialIndex index;
  index.Refresh(d);
  const TabScope scope = TabScope::OfTab(d, 0);
  const double r2 = std::sqrt(0.5), h3 = 5 * std::sqrt(3.0) / 2;
  struct Case {
    const char* what;
    Point2 pointer;
    SnapModes modes;
    std::optional<Point2> from;
    bool hit;
    Point2 expected;
    K kind;
    double aperture = 1;
    double tolerance = 1e-9;
  } cases[] = {
      {"end of a line", {10.3, 0.2}, SnapBit(K::Endpoint), {}, true, {10, 0}, K::Endpoint},
      {"middle of a line", {5.2, 0.3}, SnapBit(K::Midpoint), {}, true, {5, 0}, K::Midpoint},
      {"two lines crossing", {7.3, 0.4}, SnapBit(K::Intersection), {}, true, {7, 0}, K::Intersection},
      {"centre of a circle", {20.5, 0.5}, SnapBit(K::Centre), {}, true, {20, 0}, K::Centre},
      {"quadrant of a circle", {19.7, 5.4}, SnapBit(K::Quadrant), {}, true, {20, 5}, K::Quadrant},
      {"tangent to a circle", {22.6, 4.2}, SnapBit(K::Tangent), Point2{30, 0}, true, {22.5, h3}, K::Tangent},
      {"no tangent without a fixed point", {22.6, 4.2}, SnapBit(K::Tangent), {}, false, {}, K::Tangent},
      {"foot on a line", {3.2, 0.3}, SnapBit(K::Perpendicular), Point2{3, 10}, true, {3, 0}, K::Perpendicular},
      {"foot on a circle", {15.6, 0.3}, SnapBit(K::Perpendicular), Point2{0, 0}, true, {15, 0}, K::Perpendicular},
      {"nearest on a circle", {20 + 5.3 * std::cos(0.3), -5.3 * std::sin(0.3)}, SnapBit(K::Nearest), {}, true,
       {20 + 5 * std::cos(0.3), -5 * std::sin(0.3)}, K::Nearest},
      {"two circles crossing", {24.2, 3.1}, SnapBit(K::Intersection), {}, true, {24, 3}, K::Intersection},
      {"a line touching a circle", {20.2, 5.3}, SnapBit(K::Intersection), {}, true, {20, 5}, K::Intersection},
      {"end of an arc seen from below", {55.2, 0.3}, SnapBit(K::Endpoint), {}, true, {55, 0}, K::Endpoint},
      {"middle of an arc seen from below", {60 - 3.4, 3.6}, SnapBit(K::Midpoint), {}, true, {60 - 5 * r2, 5 * r2},
       K::Midpoint},
      {"quadrant on an arc seen from below", {60.2, 5.1}, SnapBit(K::Quadrant), {}, true, {60, 5}, K::Quadrant},
      {"no quadrant off the arc", {65.2, 0.1}, SnapBit(K::Quadrant), {}, false, {}, K::Quadrant},
      {"middle of a bulge", {5.2, 15.3}, SnapBit(K::Midpoint), {}, true, {5, 15}, K::Midpoint},
      {"centre of a bulge", {5.3, 19.8}, SnapBit(K::Centre), {}, true, {5, 20}, K::Centre},
      {"vertex of a polyline", {9.6, 20.3}, SnapBit(K::Endpoint), {}, true, {10, 20}, K::Endpoint},
      {"nearest on a bulge", {5 + 5.4 * r2, 20 - 5.4 * r2}, SnapBit(K::Nearest), {}, true, {5 + 5 * r2, 20 - 5 * r2},
       K::Nearest},
      {"quadrant of an ellipse", {100.4, 5.3}, SnapBit(K::Quadrant), {}, true, {100, 5}, K::Quadrant},
      {"end of its major axis", {109.6, 0.3}, SnapBit(K::Quadrant), {}, true, {110, 0}, K::Quadrant},
      {"foot on an ellipse", {100.3, 5.2}, SnapBit(K::Perpendicular), Point2{100, 20}, true, {100, 5},
       K::Perpendicular},
      {"tangent to an ellipse", {109.5, 1.4}, SnapBit(K::Tangent), Point2{100, 20}, true,
       {100 + 10 * std::sqrt(0.9375), 1.25}, K::Tangent},
      {"centre of an ellipse", {100.3, 0.4}, SnapBit(K::Centre), {}, true, {100, 0}, K::Centre},
      {"a line across an ellipse", {100.3, -4.8}, SnapBit(K::Intersection), {}, true, {100, -5}, K::Intersection},
      {"a line across a bulge", {5.2, 15.2}, SnapBit(K::Intersection), {}, true, {5, 15}, K::Intersection},
      {"nor where it misses it", {5.1, 25.2}, SnapBit(K::Intersection), {}, false, {}, K::Intersection},
      {"an ellipse and a circle, through the ellipse's flattening", {109.3, 1.9}, SnapBit(K::Intersection), {},
       true, {109.278158, 1.865193}, K::Intersection, 1, 1e-3},
      {"a spline and a line", {710.3, 10.2}, SnapBit(K::Intersection), {}, true, {710, 10}, K::Intersection},
      {"nearest on a curved spline: on the curve, not its flattening", {810, 10.4}, SnapBit(K::Nearest), {}, true,
       {810, 10}, K::Nearest},
      {"foot on a curved spline", {810.2, 10.3}, SnapBit(K::Perpendicular), Point2{810, 30}, true, {810, 10},
       K::Perpendicular},
      {"end of a spline", {719.7, 10.4}, SnapBit(K::Endpoint), {}, true, {720, 10}, K::Endpoint},
      {"text", {200.3, 0.3}, SnapBit(K::Base), {}, true, {200, 0}, K::Base},
      {"point", {209.8, -0.3}, SnapBit(K::Base), {}, true, {210, 0}, K::Base},
      {"insertion point", {300.3, 0.3}, SnapBit(K::Base), {}, true, {300, 0}, K::Base},
      {"end inside a turned, scaled reference", {300.2, 6.3}, SnapBit(K::Endpoint), {}, true, {300, 6}, K::Endpoint},
      {"middle inside it", {299.7, 4.2}, SnapBit(K::Midpoint), {}, true, {300, 4}, K::Midpoint},
      {"centre inside it", {300.3, -0.2}, SnapBit(K::Centre), {}, true, {300, 0}, K::Centre},
      {"quadrant inside it: turned with it", {298.2, 0.3}, SnapBit(K::Quadrant), {}, true, {298, 0}, K::Quadrant},
      {"its line crossing its circle", {300.3, 1.8}, SnapBit(K::Intersection), {}, true, {300, 2}, K::Intersection},
      {"middle of an arc in a stretched reference", {900.2, 2.3}, SnapBit(K::Midpoint), {}, true, {900, 2},
       K::Midpoint},
      {"tangent to it", {903.7, 0.6}, SnapBit(K::Tangent), Point2{900, 10}, true, {900 + 4 * std::sqrt(0.96), 0.4},
       K::Tangent},
      {"end in the last cell of an array", {423.2, 0.1}, SnapBit(K::Endpoint), {}, true, {423, 0}, K::Endpoint},
      {"nearly parallel lines", {650.3, 0.2}, SnapBit(K::Intersection), {}, true, {650, 0}, K::Intersection},
      {"a layer switched off", {510.2, 0}, kAllSnaps, Point2{0, 50}, false, {}, K::Endpoint},
      {"a frozen layer", {530.2, 0}, kAllSnaps, Point2{0, 50}, false, {}, K::Endpoint},
      {"a reference on a layer switched off", {543, 0.1}, kAllSnaps, Point2{0, 50}, false, {}, K::Endpoint},
      {"on the aperture's border", {10, 1}, SnapBit(K::Endpoint), {}, true, {10, 0}, K::Endpoint},
      {"just beyond it", {10, 1.000001}, SnapBit(K::Endpoint), {}, false, {}, K::Endpoint},
      {"a larger aperture", {10, 1.5}, SnapBit(K::Endpoint), {}, true, {10, 0}, K::Endpoint, 2},
      // Ties: the earlier kind wins; else the closer.
      {"end and quadrant in one point", {300.3, 2.2}, SnapBit(K::Endpoint) | SnapBit(K::Quadrant), {}, true, {300, 2},
       K::Endpoint},
      {"crossing before the foot in the same point", {7.3, 0.4},
       SnapBit(K::Endpoint) | SnapBit(K::Intersection) | SnapBit(K::Perpendicular), Point2{7, 30}, true, {7, 0},
       K::Intersection},
      {"nearest when closer than an end", {9.5, 0.1}, SnapBit(K::Endpoint) | SnapBit(K::Nearest), {}, true, {9.5, 0},
       K::Nearest},
      {"nothing switched on", {10.3, 0.2}, 0, {}, false, {}, K::Endpoint},
  };
  ObjectSnap snap;
  for (const Case& c : cases) {
    const auto hit = snap.find(d, index, scope, 0, {c.pointer, c.aperture, c.modes, c.from});
    ASSERT_EQ(hit.has_value(), c.hit) << c.what;
    if (!hit) continue;
    EXPECT_EQ(hit->kind, c.kind) << c.what;
    EXPECT_NEAR(hit->point.x, c.expected.x, c.tolerance) << c.what;
    EXPECT_NEAR(hit->point.y, c.expected.y, c.tolerance) << c.what;
  }
}

TEST(ObjectSnap, OnALayoutOnlyWhatItShows) {
  // A drawing without layouts: tab 1 shows the objects on paper.
  Drawing d = test::Parsed(test::WithEof(test::Section(
      "ENTITIES", Line(0, 0, 10, 0) + Entity("LINE", {{8, "0"}, {67, "1"}, {10, "0"}, {20, "5"}, {11, "10"}, {21, "5"}}))));
  SpatialIndex index;
  index.Refresh(d);
  ObjectSnap snap;
  struct Case {
    int tab;
    Point2 pointer;
    bool hit;
  } cases[] = {{0, {10.2, 0.1}, true}, {0, {10.2, 5.1}, false}, {1, {10.2, 5.1}, true}, {1, {10.2, 0.1}, false}};
  for (const Case& c : cases) {
    const auto hit = snap.find(d, index, TabScope::OfTab(d, c.tab), c.tab, {c.pointer, 1, kAllSnaps, {}});
    ASSERT_EQ(hit.has_value(), c.hit) << c.tab << " " << c.pointer.y;
    if (hit) {
      EXPECT_EQ(hit->point.y, c.pointer.y > 1 ? 5 : 0);
    }
  }
}

TEST(ObjectSnap, AHostileDrawingKeepsAMoveQuickAndStillSnapsToWhatLiesOnTop) {
  const std::string blockOf = Entity("BLOCK", {{8, "0"}, {2, "B"}, {70, "0"}, {10, "0"}, {20, "0"}, {3, "B"}}) +
                              Line(0, 0, 1, 0) + Entity("CIRCLE", {{8, "0"}, {10, "0.5"}, {20, "0.5"}, {40, "0.3"}});
  // The references lie under the pointer, their points farther than the
  // end of the line on top. The lines all cross at (-2.9, 0), below the
  // pointer; their ends and middles lie far off.
  std::string manyLines;
  for (int i = 0; i < 3000; ++i) {
    const double slope = 1 + i * 1e-4;
    manyLines += Line(-3.9, -slope, 0.1, 3 * slope);
  }
  struct Case {
    const char* what;
    std::string blocks, entities;
    SnapKind kind = K::Endpoint;
    Point2 point = {-3, 0};
  } cases[] = {
      {"an array of 900 million cells under the pointer", blockOf + Entity("ENDBLK", {{8, "0"}}),
       Entity("INSERT", {{8, "0"}, {2, "B"}, {10, "-3.5"}, {20, "0"}, {70, "30000"}, {71, "30000"}, {44, "0"}, {45, "0"}})},
      {"a block that refers to itself in an array", blockOf +
           Entity("INSERT", {{8, "0"}, {2, "B"}, {10, "0"}, {20, "0"}, {70, "100"}, {71, "100"}}) +
           Entity("ENDBLK", {{8, "0"}}),
       Entity("INSERT", {{8, "0"}, {2, "B"}, {10, "-3.5"}, {20, "0"}})},
      {"thousands of lines through one point", "", manyLines, K::Intersection, {-2.9, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string blocks = c.blocks.empty() ? "" : test::Section("BLOCKS", c.blocks);
    Drawing d = test::Parsed(test::WithEof(blocks + test::Section("ENTITIES", Line(-3, 0, 3, 0) + c.entities)));
    SpatialIndex index;
    index.Refresh(d);
    ObjectSnap snap;
    const auto start = std::clock();
    // Every snap but the nearest point, which would win on the line.
    const SnapModes modes = kAllSnaps & ~SnapBit(K::Nearest);
    const auto hit = snap.find(d, index, TabScope::OfTab(d, 0), 0, {{-2.9, 0.05}, 0.5, modes, {}});
    EXPECT_LT(double(std::clock() - start) / CLOCKS_PER_SEC, 2.0);
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->kind, c.kind);
    EXPECT_NEAR(hit->point.x, c.point.x, 1e-9);
    EXPECT_NEAR(hit->point.y, c.point.y, 1e-9);
  }
}

}  // namespace
}  // namespace vestrel
