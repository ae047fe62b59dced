// What the objects measure, against exact values: lengths and areas of
// every kind of curve, in their own planes and through block references,
// holes subtracted; and the distance and angle of clicked points.
#include "view/measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "support/dxf_text.h"

namespace vestrel {
namespace {

std::string Entity(const std::string& kind, std::initializer_list<std::pair<int, std::string>> groups) {
  std::string s = "  0\n" + kind + "\n";
  for (const auto& [g, v] : groups) s += std::to_string(g) + "\n" + v + "\n";
  return s;
}

std::string Square(double x, double y, double side) {
  const std::string X0 = std::to_string(x), Y0 = std::to_string(y), X1 = std::to_string(x + side),
                    Y1 = std::to_string(y + side);
  return Entity("LWPOLYLINE", {{8, "0"}, {90, "4"}, {70, "1"}, {10, X0}, {20, Y0}, {10, X1}, {20, Y0}, {10, X1},
                               {20, Y1}, {10, X0}, {20, Y1}});
}

const std::string kBlocks = test::Section(
    "BLOCKS", Entity("BLOCK", {{8, "0"}, {2, "R1"}, {70, "0"}, {10, "0"}, {20, "0"}, {3, "R1"}}) +
                  Entity("CIRCLE", {{8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}}) + Entity("ENDBLK", {{8, "0"}}));

struct Measured {
  Surface surface;
  bool measurable = true;
};

Measured Measure(const std::string& entities) {
  const Drawing d = test::Parsed(kBlocks + test::Section("ENTITIES", entities) + "  0\nEOF\n");
  Blocks blocks(d);
  std::vector<Contour> contours, lengths;
  Measured m;
  for (std::size_t i = 0; i < d.polys.size(); ++i)
    if (!d.polys[i].isblock) {
      m.measurable = AddContours(d, blocks, i, contours, true) && m.measurable;
      AddContours(d, blocks, i, lengths, false);
    }
  m.surface = AreaOf(contours);
  // Without their paths, the same lengths.
  auto total = [](const std::vector<Contour>& c) {
    double sum = 0;
    for (const Contour& k : c) sum += k.length;
    return sum;
  };
  EXPECT_EQ(total(contours), total(lengths));
  return m;
}

TEST(Measure, ObjectsHaveTheirExactLengthsAndAreas) {
  const double parabola = (std::sqrt(20.0) + std::log((4 + std::sqrt(20.0)) / 2)) / 2;
  struct Case {
    const char* name;
    std::string entities;
    double perimeter, area;
  } cases[] = {
      {"circle r=2", Entity("CIRCLE", {{8, "0"}, {10, "3"}, {20, "4"}, {40, "2"}}), 4 * kPi, 4 * kPi},
      {"line", Entity("LINE", {{8, "0"}, {10, "1"}, {20, "1"}, {11, "4"}, {21, "5"}}), 5, 0},
      {"stadium of bulges",
       Entity("LWPOLYLINE", {{8, "0"}, {90, "4"}, {70, "1"}, {10, "0"}, {20, "0"}, {10, "4"}, {20, "0"}, {42, "1"},
                             {10, "4"}, {20, "2"}, {10, "0"}, {20, "2"}, {42, "1"}}),
       8 + 2 * kPi, 8 + kPi},
      {"clockwise bulges", Entity("LWPOLYLINE", {{8, "0"}, {90, "2"}, {70, "1"}, {10, "0"}, {20, "0"}, {42, "-1"},
                                                 {10, "2"}, {20, "0"}, {42, "-1"}}),
       2 * kPi, kPi},
      {"arc in the plane seen from below",
       Entity("ARC", {{8, "0"}, {10, "-60"}, {20, "0"}, {40, "5"}, {210, "0"}, {220, "0"}, {230, "-1"}, {50, "0"},
                      {51, "90"}}),
       5 * kPi / 2, 0},
      {"ellipse", Entity("ELLIPSE", {{8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "0"}, {21, "3"}, {31, "0"},
                                     {40, "0.5"}, {41, "0"}, {42, "6.283185307179586"}}),
       9.688448220547675 * 1.5, 4.5 * kPi},
      {"parabola spline", Entity("SPLINE", {{8, "0"}, {70, "8"}, {71, "2"}, {72, "6"}, {73, "3"}, {74, "0"}, {40, "0"},
                                            {40, "0"}, {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"}, {10, "0"},
                                            {20, "0"}, {30, "0"}, {10, "1"}, {20, "2"}, {30, "0"}, {10, "2"},
                                            {20, "0"}, {30, "0"}}),
       parabola, 0},
      {"square with a square hole", Square(0, 0, 10) + Square(4, 4, 2), 48, 96},
      {"island in the hole", Square(0, 0, 10) + Square(2, 2, 6) + Square(4, 4, 2), 72, 100 - 36 + 4},
      {"two squares apart", Square(0, 0, 1) + Square(5, 0, 2), 12, 5},
      {"circle in a reference scaled 2",
       Entity("INSERT", {{8, "0"}, {2, "R1"}, {10, "5"}, {20, "5"}, {41, "2"}, {42, "2"}, {50, "30"}}), 4 * kPi,
       4 * kPi},
      {"reference stretched into an ellipse, in an array of 2",
       Entity("INSERT", {{8, "0"}, {2, "R1"}, {10, "0"}, {20, "0"}, {41, "4"}, {42, "2"}, {70, "2"}, {44, "20"}}),
       2 * 9.688448220547675 * 2, 2 * 8 * kPi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Measured m = Measure(c.entities);
    EXPECT_TRUE(m.measurable);
    EXPECT_NEAR(m.surface.perimeter, c.perimeter, 1e-9 * c.perimeter);
    EXPECT_NEAR(m.surface.area, c.area, 1e-9 * std::max(1.0, c.area));
  }
  EXPECT_FALSE(Measure(Entity("TEXT", {{8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, "T"}})).measurable);
  // An array of ten billion cells is measured as far as is reasonable.
  const Measured huge = Measure(Entity(
      "INSERT", {{8, "0"}, {2, "R1"}, {10, "0"}, {20, "0"}, {70, "100000"}, {71, "100000"}, {44, "3"}, {45, "3"}}));
  EXPECT_GT(huge.surface.perimeter, 0);
  EXPECT_LE(huge.surface.perimeter, 2 * kPi * 1000001);
}

TEST(Measure, DistancesAndAnglesOfPoints) {
  const Distance d = DistanceOf({1, 1}, {4, 5});
  EXPECT_EQ(d.distance, 5);
  EXPECT_EQ(d.dx, 3);
  EXPECT_EQ(d.dy, 4);
  EXPECT_NEAR(d.angle, std::atan2(4.0, 3.0) * 180 / kPi, 1e-12);
  EXPECT_NEAR(DistanceOf({0, 0}, {0, -1}).angle, 270, 1e-12) << "counted up from 0 to 360";
  struct Case {
    Point2 a, vertex, b;
    double degrees;
  } angles[] = {
      {{1, 0}, {0, 0}, {0, 1}, 90},   {{0, 1}, {0, 0}, {1, 0}, 90},     {{2, 0}, {1, 0}, {0, 0}, 180},
      {{5, 5}, {0, 0}, {3, 3}, 0},    {{1, 0}, {0, 0}, {-1, 1}, 135},  {{1, 0}, {0, 0}, {1, -1e-9}, 1e-9 * 180 / kPi},
  };
  for (const Case& c : angles) EXPECT_NEAR(AngleAt(c.a, c.vertex, c.b), c.degrees, 1e-12);
  EXPECT_TRUE(std::isnan(AngleAt({0, 0}, {0, 0}, {1, 1}))) << "a leg of no length has no angle";
  // Clicked points: a right triangle and an L.
  const Point2 triangle[] = {{0, 0}, {4, 0}, {4, 3}};
  const Surface t = AreaOf(std::vector{ContourOf(PolygonPath(triangle))});
  EXPECT_EQ(t.area, 6);
  EXPECT_EQ(t.perimeter, 12);
}

}  // namespace
}  // namespace vestrel
