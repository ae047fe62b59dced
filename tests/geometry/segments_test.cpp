// Points against segments and boxes, and crossing segments.
#include "geometry/segments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vestrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Segments, PerpendicularDistanceIsSignedAndUndefinedWithoutALine) {
  struct Case {
    Point2 m, a, b;
    double expected;
  } cases[] = {
      {{5, 3}, {0, 0}, {10, 0}, 3},
      {{5, -3}, {0, 0}, {10, 0}, -3},
      {{5, -3}, {10, 0}, {0, 0}, 3},  // the other way round: the other side
      {{50, 7}, {0, 0}, {10, 0}, 7},  // from the line, not the segment
      {{1, 1}, {0, 0}, {2, 2}, 0},
      {{3, 4}, {2, 2}, {2, 2}, 1000},          // no line through one point
      {{3, 4}, {0, 0}, {kInf, 5}, 1000},       // nor through a point at infinity
      {{std::nan(""), 4}, {0, 0}, {2, 0}, 1000},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(PerpendicularDistance(c.m, c.a, c.b), c.expected) << c.m.x << "," << c.m.y;
}

TEST(Segments, NearASegmentIsLessThanThreeFromItsLineAndAtMostThreeBeyondItsEnds) {
  const Point2 a{100, 100}, b{300, 100};
  struct Case {
    Point2 m;
    bool near;
  } cases[] = {
      {{200, 102.9}, true}, {{200, 103}, false}, {{200, 97.1}, true}, {{200, 97}, false},
      {{97, 100}, true},    // 3 beyond the start
      {{96.9, 100}, false}, {{303, 100}, true}, {{303.1, 100}, false},
      {{98, 102}, true},    // off the corner, within both reaches
      {{150, 101}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointNearSegment(c.m, a, b), c.near) << c.m.x << "," << c.m.y;
    EXPECT_EQ(PointNearSegment(c.m, b, a), c.near) << c.m.x << "," << c.m.y << " backwards";
  }
  EXPECT_FALSE(PointNearSegment({5, 5}, {5, 5}, {5, 5}));  // a segment without length is never near
}

TEST(Segments, PointInBoxTakesCornersInAnyOrderEdgesIncluded) {
  struct Case {
    Point2 p;
    bool in;
  } cases[] = {{{5, 5}, true}, {{0, 0}, true}, {{10, 20}, true}, {{10.001, 5}, false}, {{5, -0.001}, false},
               {{std::nan(""), 5}, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(PointInBox(c.p, {0, 0}, {10, 20}), c.in) << c.p.x << "," << c.p.y;
    EXPECT_EQ(PointInBox(c.p, {10, 0}, {0, 20}), c.in) << c.p.x << "," << c.p.y;
    EXPECT_EQ(PointInBox(c.p, {10, 20}, {0, 0}), c.in) << c.p.x << "," << c.p.y;
  }
}

TEST(Segments, IntersectionWithinBothSegmentsOnly) {
  struct Case {
    const char* what;
    Point2 a1, a2, b1, b2;
    bool crosses;
    Point2 at;
  } cases[] = {
      {"a cross", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true, {5, 5}},
      {"touching at an end", {0, 0}, {10, 0}, {10, -5}, {10, 5}, true, {10, 0}},
      {"the lines cross beyond one segment", {0, 0}, {4, 4}, {0, 10}, {10, 0}, false, {}},
      {"boxes apart", {0, 0}, {1, 1}, {5, 5}, {6, 7}, false, {}},
      {"parallel", {0, 0}, {10, 0}, {0, 0}, {10, 0}, false, {}},
      {"both shrunk to points", {3, 3}, {3, 3}, {3, 3}, {3, 3}, false, {}},
  };
  for (const Case& c : cases) {
    Point2 at{-1, -1};
    EXPECT_EQ(SegmentIntersection(c.a1, c.a2, c.b1, c.b2, at), c.crosses) << c.what;
    const Point2 expected = c.crosses ? c.at : Point2{-1, -1};  // untouched when they do not cross
    EXPECT_DOUBLE_EQ(at.x, expected.x) << c.what;
    EXPECT_DOUBLE_EQ(at.y, expected.y) << c.what;
  }
}

}  // namespace
}  // namespace vestrel
