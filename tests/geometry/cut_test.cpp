// Trim, extend, break and lengthen on paths; and what every construction
// makes of hostile numbers.
#include "geometry/trim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "geometry/fillet.h"
#include "geometry/join.h"
#include "geometry/offset.h"

namespace vestrel {
namespace {

void ExpectAt(Point2 got, Point2 want, double eps = 1e-12) {
  EXPECT_NEAR(got.x, want.x, eps);
  EXPECT_NEAR(got.y, want.y, eps);
}

// Where each path starts and ends, and its length.
struct Span {
  Point2 from, to;
  double length;
};

void ExpectPaths(const std::vector<Path>& got, const std::vector<Span>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectAt(got[i].pieces.front().a, want[i].from, 1e-9);
    ExpectAt(got[i].pieces.back().b, want[i].to, 1e-9);
    EXPECT_NEAR(Length(got[i]), want[i].length, 1e-9);
    EXPECT_FALSE(got[i].closed);
  }
}

const Path kLine{{SegmentPiece({0, 0}, {10, 0})}};
const Path kCircle{{ConicPiece({{0, 0}, {1, 0}, {0, 1}})}, true};
const Path kSquare = PathOf({{0, 0, 0, 0}, {2, 0, 0, 0}, {2, 2, 0, 0}, {0, 2, 0, 0}}, true);
const Path kQuarter{{BulgePiece({1, 0}, {0, 1}, std::tan(kPi / 8))}};
// An elliptic arc, half-axes 2 and 1, its first quarter.
const Path kEllipseQuarter{{ConicPiece({{0, 0}, {2, 0}, {0, 1}, 0, kPi / 2, false})}};
constexpr double kEllipse21 = 9.688448220547675;  // the whole perimeter

TEST(Cut, TrimKeepsWhatLiesBeyondTheCutsAroundThePick) {
  struct Case {
    const char* name;
    Path path;
    std::vector<double> cuts;
    double picked;
    GeometryFault fault;
    std::vector<Span> kept;
  } cases[] = {
      {"line between two cuts", kLine, {0.7, 0.3}, 0.5, GeometryFault::None, {{{0, 0}, {3, 0}, 3}, {{7, 0}, {10, 0}, 3}}},
      {"line before the first cut", kLine, {0.3, 0.7}, 0.1, GeometryFault::None, {{{3, 0}, {10, 0}, 7}}},
      {"line after the last", kLine, {0.3, 0.7}, 0.9, GeometryFault::None, {{{0, 0}, {7, 0}, 7}}},
      {"no cut", kLine, {}, 0.5, GeometryFault::NoCut, {}},
      {"cuts only at the ends", kLine, {0, 1}, 0.5, GeometryFault::NoCut, {}},
      {"circle opens", kCircle, {0.25, 0.5}, 0.3, GeometryFault::None, {{{-1, 0}, {0, 1}, 1.5 * kPi}}},
      {"circle, round its start", kCircle, {0.25, 0.5}, 0.9, GeometryFault::None, {{{0, 1}, {-1, 0}, 0.5 * kPi}}},
      {"circle with one cut", kCircle, {0.25}, 0.3, GeometryFault::NoCut, {}},
      {"closed polyline", kSquare, {0.5, 2.5}, 1.5, GeometryFault::None, {{{1, 2}, {1, 0}, 4}}},
      {"pick not a number", kLine, {0.5}, NAN, GeometryFault::NotFinite, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = Trim(c.path, c.cuts, c.picked);
    EXPECT_EQ(r.fault, c.fault);
    ExpectPaths(r.value, c.kept);
  }
  // The cuts of a vertical edge across the square: midway along the
  // bottom and the top side.
  const std::vector<double> cuts = CutParameters(kSquare, {SegmentPiece({1, -1}, {1, 3})});
  ASSERT_EQ(cuts.size(), 2u);
  EXPECT_NEAR(cuts[0], 0.5, 1e-12);
  EXPECT_NEAR(cuts[1], 2.5, 1e-12);
  // An edge through a vertex cuts once.
  EXPECT_EQ(CutParameters(kSquare, {SegmentPiece({-1, -1}, {3, 3})}).size(), 2u);
}

TEST(Cut, ExtendRunsAnEndToTheNextBoundary) {
  const Path unit{{SegmentPiece({0, 0}, {1, 0})}};
  const std::vector<Piece> walls{SegmentPiece({5, -1}, {5, 1}), SegmentPiece({3, 2}, {3, 4}),
                                 SegmentPiece({-2, -1}, {-2, 1}), SegmentPiece({-0.5, 0.1}, {-0.5, 2})};
  const double h = std::sqrt(0.75);
  struct Case {
    const char* name;
    Path path;
    bool atEnd;
    std::vector<Piece> boundaries;
    GeometryFault fault;
    Span span;
  } cases[] = {
      {"line's end", unit, true, walls, GeometryFault::None, {{0, 0}, {5, 0}, 5}},
      {"line's start", unit, false, walls, GeometryFault::None, {{-2, 0}, {1, 0}, 3}},
      {"arc along its circle", kQuarter, true, walls, GeometryFault::None, {{1, 0}, {-0.5, h}, 2 * kPi / 3}},
      {"arc, most of a turn", kQuarter, true, {SegmentPiece({0.5, -2}, {0.5, 0})}, GeometryFault::None,
       {{1, 0}, {0.5, -h}, 5 * kPi / 3}},
      {"ellipse arc", kEllipseQuarter, true, {SegmentPiece({-3, 0}, {3, 0})}, GeometryFault::None,
       {{2, 0}, {-2, 0}, kEllipse21 / 2}},
      {"nothing ahead", unit, true, {SegmentPiece({3, 2}, {3, 4})},
       GeometryFault::NoBoundary, {}},
      {"closed", kSquare, true, walls, GeometryFault::ClosedPath, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = Extend(c.path, c.atEnd, c.boundaries);
    ASSERT_EQ(r.fault, c.fault);
    if (r.ok()) ExpectPaths({r.value}, {c.span});
  }
}

TEST(Cut, BreakSplitsOrRemovesAPart) {
  struct Case {
    const char* name;
    Path path;
    double u0, u1;  // u1 NaN: a break at one point
    GeometryFault fault;
    std::vector<Span> parts;
  } cases[] = {
      {"line at a point", kLine, 0.5, NAN, GeometryFault::None, {{{0, 0}, {5, 0}, 5}, {{5, 0}, {10, 0}, 5}}},
      {"line at its start", kLine, 0, NAN, GeometryFault::None, {{{0, 0}, {10, 0}, 10}}},
      {"square opens at a point", kSquare, 1.5, NAN, GeometryFault::None, {{{2, 1}, {2, 1}, 8}}},
      {"line between two points", kLine, 0.6, 0.2, GeometryFault::None, {{{0, 0}, {2, 0}, 2}, {{6, 0}, {10, 0}, 4}}},
      {"circle, the way it turns", kCircle, 0, 0.25, GeometryFault::None, {{{0, 1}, {1, 0}, 1.5 * kPi}}},
      {"circle round its start", kCircle, 0.75, 0.25, GeometryFault::None, {{{0, 1}, {0, -1}, kPi}}},
      {"all of the line", kLine, 0, 1, GeometryFault::ZeroLength, {}},
      {"not a number", kLine, INFINITY, 0.5, GeometryFault::NotFinite, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = std::isnan(c.u1) ? BreakAt(c.path, c.u0) : BreakBetween(c.path, c.u0, c.u1);
    EXPECT_EQ(r.fault, c.fault);
    ExpectPaths(r.value, c.parts);
  }
}

TEST(Cut, LengthenByADeltaOrToATotal) {
  struct Case {
    const char* name;
    Path path;
    bool atEnd;
    double delta, total;  // total NaN: by delta
    GeometryFault fault;
    Span span;
  } cases[] = {
      {"line longer", kLine, true, 5, NAN, GeometryFault::None, {{0, 0}, {15, 0}, 15}},
      {"line shorter", kLine, true, -4, NAN, GeometryFault::None, {{0, 0}, {6, 0}, 6}},
      {"line to a total, at its start", kLine, false, 0, 2, GeometryFault::None, {{8, 0}, {10, 0}, 2}},
      {"nothing left", kLine, true, -10, NAN, GeometryFault::ZeroLength, {}},
      {"total of none", kLine, true, 0, 0, GeometryFault::ZeroLength, {}},
      {"arc along its circle", kQuarter, true, kPi / 4, NAN, GeometryFault::None,
       {{1, 0}, {-std::sqrt(0.5), std::sqrt(0.5)}, 0.75 * kPi}},
      {"arc's start back", kQuarter, false, kPi / 2, NAN, GeometryFault::None, {{0, -1}, {0, 1}, kPi}},
      {"arc round a whole turn", kQuarter, true, 2 * kPi, NAN, GeometryFault::FullTurn, {}},
      {"ellipse arc to half its turn", kEllipseQuarter, true, 0, kEllipse21 / 2, GeometryFault::None,
       {{2, 0}, {-2, 0}, kEllipse21 / 2}},
      {"closed", kSquare, true, 1, NAN, GeometryFault::ClosedPath, {}},
      {"infinite", kLine, true, INFINITY, NAN, GeometryFault::NotFinite, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = std::isnan(c.total) ? Lengthen(c.path, c.atEnd, c.delta) : LengthenTo(c.path, c.atEnd, c.total);
    ASSERT_EQ(r.fault, c.fault);
    if (r.ok()) ExpectPaths({r.value}, {c.span});
  }
}

}  // namespace
}  // namespace vestrel

namespace vestrel {
namespace {

// Hostile numbers give a reason, and nothing hangs.
TEST(Cut, HostileNumbersGiveAReason) {
  const Path square = PathOf({{0, 0, 0, 0}, {2, 0, 0, 0}, {2, 2, 0, 0}, {0, 2, 0, 0}}, true);
  const Path broken{{SegmentPiece({0, 0}, {NAN, 1})}};
  const Path huge{{SegmentPiece({-1e300, 0}, {1e300, 0})}};
  const Piece line = SegmentPiece({0, 0}, {10, 0}), up = SegmentPiece({0, 0}, {0, 10});
  struct Case {
    const char* name;
    std::function<GeometryFault()> run;
    GeometryFault fault;
  } cases[] = {
      {"offset by NaN", [&] { return Offset(square, NAN).fault; }, GeometryFault::NotFinite},
      {"offset by infinity", [&] { return Offset(square, INFINITY).fault; }, GeometryFault::NotFinite},
      {"offset of NaN", [&] { return Offset(broken, 1).fault; }, GeometryFault::NotFinite},
      {"offset inwards by 1e300", [&] { return Offset(square, 1e300).fault; }, GeometryFault::Vanished},
      {"offset outwards by 1e300", [&] { return Offset(square, -1e300).fault; }, GeometryFault::None},
      {"offset of a line 2e300 long", [&] { return Offset(huge, 1).fault; }, GeometryFault::None},
      {"fillet of radius 1e300", [&] { return Fillet(line, {5, 0}, up, {0, 5}, 1e300).fault; },
       GeometryFault::RadiusTooLarge},
      {"fillet of infinite radius", [&] { return Fillet(line, {5, 0}, up, {0, 5}, INFINITY).fault; },
       GeometryFault::NotFinite},
      {"chamfer of NaN", [&] { return Chamfer(line, {5, 0}, up, {0, 5}, NAN, 1).fault; }, GeometryFault::NotFinite},
      {"trim at NaN cuts", [&] { return Trim(square, {NAN, NAN}, 0.5).fault; }, GeometryFault::NoCut},
      {"extend to a NaN boundary", [&] { return Extend(kLine, true, {SegmentPiece({NAN, 0}, {5, 5})}).fault; },
       GeometryFault::NoBoundary},
      {"break at infinity", [&] { return BreakAt(square, INFINITY).fault; }, GeometryFault::NotFinite},
      {"lengthen an ellipse arc by 1e300", [&] { return Lengthen(kEllipseQuarter, true, 1e300).fault; },
       GeometryFault::FullTurn},
      {"join at 1e300", [&] { return Join({huge, kLine}, 1e300).fault; }, GeometryFault::None},
  };
  for (const Case& c : cases) EXPECT_EQ(c.run(), c.fault) << c.name;
  // A slice asked to run on for ever stops after one turn.
  EXPECT_NEAR(Length(Slice(square, 0.5, 1e300)), 8, 1e-12);
  EXPECT_EQ(Slice(square, NAN, 1).pieces.size(), 0u);
}

}  // namespace
}  // namespace vestrel
