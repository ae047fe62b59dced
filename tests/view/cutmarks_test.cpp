// Where the findings of the cut check are marked in the drawing area, at
// any zoom, and the window a finding is zoomed to.
#include "view/cutmarks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vestrel {
namespace {

using K = CutFinding::Kind;

CutFinding Found(K kind, Point2 at, CutBox box = {}) {
  CutFinding f;
  f.kind = kind;
  f.at = at;
  f.box = box;
  return f;
}

CutBox Box(double x0, double y0, double x1, double y1) {
  CutBox b;
  b.add(Point2{x0, y0}), b.add(Point2{x1, y1});
  return b;
}

TEST(CutMarks, FollowTheViewAtAFixedSizeAndLeaveOutWhatIsNotShown) {
  CutCheck c;
  c.findings = {Found(K::NearEnds, {1, 1}, Box(1, 1, 1.05, 1)), Found(K::Duplicate, {5, 2}, Box(0, 2, 10, 2)),
                Found(K::NotCut, {2, 3}), Found(K::OpenContour, {5000, 5000}),
                Found(K::ZeroLength, {std::nan(""), 0})};
  struct Case {
    const char* name;
    double zoom;
    std::vector<int> xs;        // the symbols' columns, of the marks shown
    std::vector<bool> boxed;    // the box drawn too
  } cases[] = {
      // 100 %: a pixel per unit; the duplicate's box 10 pixels wide is
      // smaller than the symbol.
      {"a pixel per unit", 100, {1, 5, 2}, {false, false, false}},
      // 1000 %: 100 pixels wide; the near ends half a pixel apart still are not.
      {"ten pixels per unit", 1000, {10, 50, 20}, {false, true, false}},
      // 100000 %: the near ends 50 pixels apart; the others off the area.
      {"a thousand pixels per unit", 100000, {1000}, {true}},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    const ScreenTransform t(cs.zoom, 0, 0, 1200);
    const std::vector<CutMark> marks = CutMarks(c, t, 1600, 1200);
    ASSERT_EQ(marks.size(), cs.xs.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
      EXPECT_EQ(marks[i].x, cs.xs[i]);
      EXPECT_EQ(marks[i].boxed, cs.boxed[i]);
    }
  }
  const std::vector<CutMark> marks = CutMarks(c, ScreenTransform(100, 0, 0, 1200), 1600, 1200);
  EXPECT_EQ(marks[0].y, 1198);
  EXPECT_TRUE(marks[0].error);
  EXPECT_FALSE(marks[2].error) << "a kind the machines do not take";
  // A box reaching far beyond the area is kept just beyond its edges.
  const std::vector<CutMark> close = CutMarks(c, ScreenTransform(100000, 4000, -1400, 1200), 1600, 1200);
  ASSERT_EQ(close.size(), 1u);
  EXPECT_TRUE(close[0].boxed);
  EXPECT_EQ(close[0].x0, -8);
  EXPECT_EQ(close[0].x1, 1608);
  EXPECT_EQ(close[0].y0, 599);
}

TEST(CutMarks, AFindingIsZoomedToWithAMargin) {
  const CutBox whole = Box(0, 0, 100, 50);
  struct Case {
    const char* name;
    CutFinding f;
    CutBox whole;
    Point2 lo, hi;
  } cases[] = {
      {"a fifth of a large box", Found(K::Duplicate, {20, 5}, Box(10, 5, 30, 5)), whole, {6, 1}, {34, 9}},
      {"a fiftieth of the whole round a small one", Found(K::NearEnds, {1, 1}, Box(1, 1, 1.01, 1)), whole, {-1, -1},
       {3.01, 3}},
      {"a point", Found(K::SelfCrossing, {7, 7}), whole, {5, 5}, {9, 9}},
      {"a point in nothing else: only centred", Found(K::ZeroLength, {7, 7}), CutBox{}, {7, 7}, {7, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto [lo, hi] = CutZoomWindow(c.f, c.whole);
    EXPECT_NEAR(lo.x, c.lo.x, 1e-12);
    EXPECT_NEAR(lo.y, c.lo.y, 1e-12);
    EXPECT_NEAR(hi.x, c.hi.x, 1e-12);
    EXPECT_NEAR(hi.y, c.hi.y, 1e-12);
  }
}

}  // namespace
}  // namespace vestrel
