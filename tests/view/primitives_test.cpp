// What the painter is handed to draw, made without it: the pattern lines
// of hatches clipped to their loops, and arrow heads.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "support/dxf_text.h"
#include "view/arrowhead.h"
#include "view/hatchlines.h"

namespace vestrel {
namespace {

// The pieces of a hatch's pattern lines, in drawing units (one pixel per
// unit, the origin at the bottom left of a 300 pixels high screen).
struct Made {
  bool lines = false;
  std::vector<PaintSegment> pieces;
  std::size_t dots = 0;
};

Made PatternOf(const std::string& hatch, PaintRect clip) {
  const Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", hatch)));
  const ScreenTransform t(100, 0, 0, 300);
  HatchPattern pattern;
  Made m;
  m.lines = pattern.lines(d, d.polys[0], t, clip, 1, [&](std::span<const PaintSegment> s, std::span<const Point2> dots) {
    for (const PaintSegment& p : s) m.pieces.push_back({{p.a.x, 299 - p.a.y}, {p.b.x, 299 - p.b.y}});
    m.dots += dots.size();
  });
  return m;
}

TEST(HatchPattern, LinesAreClippedToTheLoopsAndTheScreen) {
  const PaintRect screen{0, 0, 399, 299};
  // Level lines 10 apart across the ring: whole below and above the hole,
  // in two pieces beside it; the line along the top edge is outside.
  Made m = PatternOf(test::HatchRing("  2\nUSER\n 70\n0\n", test::HatchLines(0, 10)), screen);
  ASSERT_TRUE(m.lines);
  ASSERT_EQ(m.pieces.size(), 14u);
  const struct {
    double y, x0, x1;
  } want[] = {{50, 100, 200},  {60, 100, 200},  {70, 100, 200},  {80, 100, 130},  {80, 170, 200},
              {90, 100, 130},  {90, 170, 200},  {100, 100, 130}, {100, 170, 200}, {110, 100, 130},
              {110, 170, 200}, {120, 100, 200}, {130, 100, 200}, {140, 100, 200}};
  for (std::size_t i = 0; i < 14; ++i) {
    EXPECT_DOUBLE_EQ(m.pieces[i].a.y, want[i].y) << i;
    EXPECT_DOUBLE_EQ(m.pieces[i].b.y, want[i].y) << i;
    EXPECT_DOUBLE_EQ(m.pieces[i].a.x, want[i].x0) << i;
    EXPECT_DOUBLE_EQ(m.pieces[i].b.x, want[i].x1) << i;
  }
  // Only what the screen shows, and the width of a line beyond it.
  m = PatternOf(test::HatchRing("  2\nUSER\n 70\n0\n", test::HatchLines(0, 10)), {0, 0, 150, 299});
  ASSERT_EQ(m.pieces.size(), 10u);
  for (const PaintSegment& p : m.pieces) EXPECT_LE(p.b.x, 153);
  // Dashes of 5 with gaps of 5, counted from the base point: ten on a
  // whole line, three on each side of the hole.
  m = PatternOf(test::HatchRing("  2\nUSER\n 70\n0\n", test::HatchLines(0, 10, 2) + " 49\n5\n 49\n-5\n"), screen);
  ASSERT_TRUE(m.lines);
  EXPECT_EQ(m.pieces.size(), 6 * 10 + 4 * 2 * 3u);
  for (const PaintSegment& p : m.pieces) {
    EXPECT_DOUBLE_EQ(p.b.x - p.a.x, 5);
    EXPECT_DOUBLE_EQ(std::fmod(p.a.x, 10), 0);
  }
  // Dots every 5: 21 on a whole line from end to end, 7 on each side of
  // the hole.
  m = PatternOf(test::HatchRing("  2\nUSER\n 70\n0\n", test::HatchLines(0, 10, 2) + " 49\n0\n 49\n-5\n"), screen);
  EXPECT_TRUE(m.pieces.empty());
  EXPECT_EQ(m.dots, 6 * 21 + 4 * 2 * 7u);
  // Lines closer than a pixel are a fill: none are made.
  m = PatternOf(test::HatchRing("  2\nUSER\n 70\n0\n", test::HatchLines(45, 0.5)), screen);
  EXPECT_FALSE(m.lines);
}

TEST(ArrowHead, ATriangleFromTheTipAlongTheShaft) {
  const struct {
    Point2 tip, from;
    double length;
    std::optional<std::array<Point2, 3>> head;
  } cases[] = {
      {{0, 0}, {10, 0}, 5, std::array<Point2, 3>{Point2{0, 0}, Point2{5, -1}, Point2{5, 1}}},
      {{2, 3}, {2, -7}, 10, std::array<Point2, 3>{Point2{2, 3}, Point2{0, -7}, Point2{4, -7}}},
      {{0, 0}, {10, 0}, -5, std::array<Point2, 3>{Point2{0, 0}, Point2{-5, 1}, Point2{-5, -1}}},  // turned back
      {{1, 1}, {1, 1}, 5, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto head = ArrowHead(c.tip, c.from, c.length);
    ASSERT_EQ(head.has_value(), c.head.has_value());
    if (!head) continue;
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR((*head)[i].x, (*c.head)[i].x, 1e-12) << i;
      EXPECT_NEAR((*head)[i].y, (*c.head)[i].y, 1e-12) << i;
    }
  }
}

}  // namespace
}  // namespace vestrel
