// Joining loose lines, arcs and polylines into chains.
#include "geometry/join.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vestrel {
namespace {

Path Line(Point2 a, Point2 b) { return {{SegmentPiece(a, b)}}; }

TEST(Join, ChainsOutOfOrderReversedAndBranching) {
  struct Case {
    const char* name;
    std::vector<Path> parts;
    double tolerance;
    // Per chain: its parts in order (negative: reversed, 1-based), closed.
    std::vector<std::pair<std::vector<int>, bool>> chains;
  } cases[] = {
      {"square out of order, two reversed",
       {Line({2, 0}, {2, 2}), Line({0, 0}, {2, 0}), Line({0, 0}, {0, 2}), Line({0, 2}, {2, 2})},
       1e-6,
       {{{1, -4, -3, 2}, true}}},
      {"gap just inside", {Line({0, 0}, {1, 0}), Line({1 + 0.9e-6, 0}, {2, 0})}, 1e-6, {{{1, 2}, false}}},
      {"gap just outside", {Line({0, 0}, {1, 0}), Line({1 + 1.1e-6, 0}, {2, 0})}, 1e-6, {{{1}, false}, {{2}, false}}},
      {"three ends at a point: the first two pair",
       {Line({1, 0}, {0, 0}), Line({0, 0}, {0, 1}), Line({0, 0}, {-1, 0})},
       1e-6,
       {{{1, 2}, false}, {{3}, false}}},
      {"the nearer of two ends pairs",
       {Line({1, 0}, {0, 0}), Line({0, 0.5e-6}, {0, 1}), Line({0, 0.1e-6}, {-1, 0})},
       1e-6,
       {{{1, 3}, false}, {{2}, false}}},
      {"a polyline closes on itself", {{{SegmentPiece({0, 0}, {1, 0}), SegmentPiece({1, 0}, {0, 1e-7})}}}, 1e-6,
       {{{1}, true}}},
      {"a closed part stays", {{{SegmentPiece({0, 0}, {1, 0}), SegmentPiece({1, 0}, {0, 0})}, true}, Line({0, 0}, {5, 5})},
       1e-6,
       {{{1}, true}, {{2}, false}}},
      {"tolerance of 1e-300, ends equal", {Line({0, 0}, {1, 0}), Line({1, 0}, {2, 0})}, 1e-300, {{{1, 2}, false}}},
      {"no length, not a number: left out",
       {Line({0, 0}, {0, 0}), Line({NAN, 0}, {1, 0}), Line({1, 0}, {2, 0})},
       1e-6,
       {{{3}, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = Join(c.parts, c.tolerance);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.value.size(), c.chains.size());
    for (std::size_t k = 0; k < c.chains.size(); ++k) {
      const Joined& chain = r.value[k];
      std::vector<int> got;
      for (std::size_t i = 0; i < chain.parts.size(); ++i)
        got.push_back((chain.reversed[i] ? -1 : 1) * static_cast<int>(chain.parts[i] + 1));
      EXPECT_EQ(got, c.chains[k].first);
      EXPECT_EQ(chain.path.closed, c.chains[k].second);
      // Joined ends are one point exactly.
      for (std::size_t i = 1; i < chain.path.pieces.size(); ++i) {
        EXPECT_EQ(chain.path.pieces[i].a.x, chain.path.pieces[i - 1].b.x);
        EXPECT_EQ(chain.path.pieces[i].a.y, chain.path.pieces[i - 1].b.y);
      }
      if (chain.path.closed) {
        EXPECT_EQ(chain.path.pieces.back().b.x, chain.path.pieces.front().a.x);
        EXPECT_EQ(chain.path.pieces.back().b.y, chain.path.pieces.front().a.y);
      }
    }
  }
  EXPECT_EQ(Join({}, NAN).fault, GeometryFault::NotFinite);
  EXPECT_EQ(Join({}, -1).fault, GeometryFault::NotFinite);
}

TEST(Join, ArcsStayBulgesAndTheEarlierEndWins) {
  // A half circle and its diameter, the diameter given backwards and a
  // little short.
  const auto r = Join({{{BulgePiece({1, 0}, {-1, 0}, 1)}}, Line({1 - 1e-8, 0}, {-1, 0})}, 1e-6);
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.value.size(), 1u);
  const Path& path = r.value[0].path;
  ASSERT_TRUE(path.closed);
  ASSERT_EQ(path.pieces.size(), 2u);
  EXPECT_EQ(path.pieces[0].bulge, 1);
  EXPECT_EQ(path.pieces[1].bulge, 0);
  // The diameter runs back to where the arc starts: the arc's end point.
  EXPECT_EQ(path.pieces[1].b.x, 1);
  EXPECT_NEAR(SignedArea(path), kPi / 2, 1e-12);
  // Reversed, an arc turns the other way.
  const auto back = Join({Line({-1, 0}, {1, 0}), {{BulgePiece({-1, 0}, {1, 0}, 1)}}}, 1e-6);
  ASSERT_EQ(back.value.size(), 1u);
  EXPECT_EQ(back.value[0].path.pieces[1].bulge, -1);
}

}  // namespace
}  // namespace vestrel
