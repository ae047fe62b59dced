// Ready to cut: each kind of finding alone and together, at the
// tolerance's border, in an object's own plane and through block
// references; the figures of parts against exact values; and a large
// hostile drawing checked in linear time.
#include "view/cutcheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "support/cut_drawings.h"
#include "support/dxf_text.h"
#include "support/sanitized.h"

namespace vestrel {
namespace {

using K = CutFinding::Kind;
using test::Circle, test::Entity, test::Line, test::N, test::Poly, test::Square;

const std::string kBlocks = test::Section(
    "BLOCKS", Entity("BLOCK", {{2, "R1"}, {70, "0"}, {10, "0"}, {20, "0"}, {3, "R1"}}) + Circle(0, 0, 1) +
                  Entity("ENDBLK", {}));

CutCheck Check(const std::string& entities, double tolerance = kCutTolerance) {
  const Drawing d = test::Parsed(kBlocks + test::Section("ENTITIES", entities) + "  0\nEOF\n");
  return CheckCut(d, 0, tolerance);
}

std::string Counts(const CutCheck& c) {
  std::string s;
  for (std::size_t k = 0; k < CutFinding::kKinds; ++k)
    if (c.counts[k]) s += std::string(FindingName(static_cast<K>(k))) + "=" + std::to_string(c.counts[k]) + " ";
  return s;
}

TEST(CutCheck, FindsEachKindAloneAndTogether) {
  const std::string triangle = Line(0, 0, 10, 0) + Line(10, 0, 0, 10);
  struct Case {
    const char* name;
    std::string entities;
    std::string counts;  // kind=count of each kind found
    double tolerance = kCutTolerance;
  } cases[] = {
      {"closed polyline", Square(0, 0, 10), ""},
      {"lines that close", Line(0, 0, 10, 0) + Line(10, 10, 10, 0) + Line(10, 10, 0, 10) + Line(0, 0, 0, 10), ""},
      {"lines and an arc that close",
       Line(0, 0, 10, 0) + Entity("ARC", {{10, "10"}, {20, "5"}, {40, "5"}, {50, "270"}, {51, "90"}}) +
           Line(10, 10, 0, 10) + Line(0, 10, 0, 0),
       ""},
      {"open contour", triangle + Line(0, 10, 0, 0.5), "open_contour=1 "},
      {"ends a tolerance apart", triangle + Line(0, 10, 0, 0.01), "open_contour=1 near_ends=1 "},
      {"ends just beyond it", triangle + Line(0, 10, 0, 0.0101), "open_contour=1 "},
      {"ends nearly meet at a larger tolerance", triangle + Line(0, 10, 0, 0.5), "open_contour=1 near_ends=1 ", 0.6},
      {"an arc whose ends nearly meet",
       Entity("ARC", {{10, "0"}, {20, "0"}, {40, "5"}, {50, "0"}, {51, "359.9"}}), "open_contour=1 near_ends=1 ",
       0.01},
      {"the same line twice, either way", Line(0, 0, 10, 0) + Line(10, 0, 0, 0), "duplicate=1 "},
      {"a square twice from another corner",
       Square(0, 0, 10) + Poly({{10, 10}, {0, 10}, {0, 0}, {10, 0}}), "duplicate=1 "},
      {"a circle twice", Circle(5, 5, 2) + Circle(5, 5, 2), "duplicate=1 "},
      {"a circle and an arc on it", Circle(5, 5, 2) + Entity("ARC", {{10, "5"}, {20, "5"}, {40, "2"}, {50, "350"},
                                                                       {51, "20"}}),
       "open_contour=1 overlap=1 "},
      {"a line on a polyline's side", Square(0, 0, 10) + Line(2, 0, 8, 0), "open_contour=1 overlap=1 "},
      {"collinear lines overlapping", Line(0, 0, 10, 0) + Line(5, 0, 15, 0), "open_contour=2 overlap=1 "},
      {"collinear lines meeting end to end", Line(0, 0, 10, 0) + Line(10, 0, 15, 0), "open_contour=1 "},
      {"a short segment", Poly({{0, 0}, {10, 0}, {10, 10}, {0.005, 10}, {0, 10}}), "short_segment=1 "},
      {"a repeated vertex", Poly({{0, 0}, {10, 0}, {10, 0}, {10, 10}}), "short_segment=1 "},
      {"a zero-length line", Line(3, 3, 3, 3), "zero_length=1 "},
      {"a circle of no radius", Circle(3, 3, 0), "zero_length=1 "},
      {"a bow tie", Poly({{0, 0}, {10, 10}, {10, 0}, {0, 10}}), "self_crossing=1 "},
      {"a figure eight of lines",
       Line(0, 0, 10, 10) + Line(10, 10, 10, 0) + Line(10, 0, 0, 10) + Line(0, 10, 0, 0), "self_crossing=1 "},
      {"texts, points, references are listed, not errors",
       Square(0, 0, 10) + Entity("TEXT", {{10, "1"}, {20, "1"}, {40, "1"}, {1, "A"}}) +
           Entity("POINT", {{10, "1"}, {20, "1"}}) + Entity("INSERT", {{2, "R1"}, {10, "5"}, {20, "5"}}),
       "not_cut=3 "},
      {"a mesh is a surface, listed, not cut",
       Entity("POLYLINE", {{66, "1"}, {70, "16"}, {71, "2"}, {72, "2"}}) +
           Entity("VERTEX", {{10, "0"}, {20, "0"}, {30, "0"}, {70, "64"}}) +
           Entity("VERTEX", {{10, "0"}, {20, "5"}, {30, "0"}, {70, "64"}}) +
           Entity("VERTEX", {{10, "5"}, {20, "0"}, {30, "1"}, {70, "64"}}) +
           Entity("VERTEX", {{10, "5"}, {20, "5"}, {30, "1"}, {70, "64"}}) + Entity("SEQEND", {}),
       "not_cut=1 "},
      {"a reference drawn twice in one place",
       Entity("INSERT", {{2, "R1"}, {10, "5"}, {20, "5"}}) + Entity("INSERT", {{2, "R1"}, {10, "5"}, {20, "5"}}),
       "duplicate=1 not_cut=2 "},
      {"an arc seen from below closes with lines where it is drawn",
       Entity("ARC", {{10, "-60"}, {20, "0"}, {40, "5"}, {210, "0"}, {220, "0"}, {230, "-1"}, {50, "0"}, {51, "90"}}) +
           Line(60, 5, 60, 0) + Line(60, 0, 55, 0),
       ""},
      {"everything at once",
       Square(100, 100, 10) + Square(100, 100, 10) + triangle + Line(0, 10, 0, 0.005) + Line(50, 50, 50, 50) +
           Poly({{20, 0}, {30, 10}, {30, 0}, {20, 10}}),
       "open_contour=1 near_ends=1 duplicate=1 zero_length=1 self_crossing=1 "},
  };
  for (const Case& c : cases) {
    const CutCheck r = Check(c.entities, c.tolerance);
    EXPECT_EQ(Counts(r), c.counts) << c.name;
    EXPECT_EQ(r.ready(), r.findings.size() == static_cast<std::size_t>(r.count(K::NotCut))) << c.name;
    for (const CutFinding& f : r.findings) EXPECT_FALSE(f.box.empty) << c.name << " " << FindingName(f.kind);
  }
}

TEST(CutCheck, FindingsSayWhereAndHowMuch) {
  // The gap of the triangle is 0.005 wide, between (0, 0) and (0, 0.005).
  const CutCheck r = Check(Line(0, 0, 10, 0) + Line(10, 0, 0, 10) + Line(0, 10, 0, 0.005) + Square(20, 0, 10) +
                           Line(22, 0, 28, 0));
  ASSERT_EQ(r.findings.size(), 4u) << Counts(r);
  const CutFinding& open = r.findings[0];
  EXPECT_EQ(open.kind, K::OpenContour);
  EXPECT_NEAR(open.width, 0.005, 1e-12);
  EXPECT_NEAR(open.at.y, 0.0025, 1e-12);
  EXPECT_EQ(open.type, "LINE");
  EXPECT_DOUBLE_EQ(open.box.maxx, 10);
  const CutFinding& near = r.findings[2];
  EXPECT_EQ(near.kind, K::NearEnds);
  EXPECT_NEAR(near.width, 0.005, 1e-12);
  const CutFinding& overlap = r.findings[3];
  EXPECT_EQ(overlap.kind, K::Overlap);
  EXPECT_NEAR(overlap.width, 6, 1e-12);
  EXPECT_NEAR(overlap.at.x, 25, 1e-12);
  EXPECT_EQ(overlap.type, "LINE");
  EXPECT_NE(overlap.other, CutFinding::kNone);
}

TEST(CutCheck, FiguresOfPartsAreExact) {
  struct Case {
    const char* name;
    std::string entities;
    std::vector<CutFigures> parts;  // length, pierces, area, and the box as minx, miny, maxx, maxy
  } cases[] = {
      {"a plate with a round hole", Square(0, 0, 100) + Circle(30, 25, 10),
       {{400 + 20 * kPi, 2, 10000 - 100 * kPi, {0, 0, 100, 100, false}}}},
      {"two plates, one of lines", Square(0, 0, 10) + Line(20, 0, 30, 0) + Line(30, 0, 30, 5) + Line(30, 5, 20, 5) +
                                       Line(20, 5, 20, 0),
       {{40, 1, 100, {0, 0, 10, 10, false}}, {30, 1, 50, {20, 0, 30, 5, false}}}},
      {"an island in a hole is a part of its own", Square(0, 0, 10) + Square(2, 2, 6) + Square(4, 4, 2),
       {{64, 2, 64, {0, 0, 10, 10, false}}, {8, 1, 4, {4, 4, 6, 6, false}}}},
      {"a hole drawn by a reference", Square(0, 0, 10) + Entity("INSERT", {{2, "R1"}, {10, "5"}, {20, "5"}}),
       {{40 + 2 * kPi, 2, 100 - kPi, {0, 0, 10, 10, false}}}},
      {"a quarter disc seen from below",
       Entity("ARC", {{10, "-60"}, {20, "0"}, {40, "5"}, {210, "0"}, {220, "0"}, {230, "-1"}, {50, "0"}, {51, "90"}}) +
           Line(60, 5, 60, 0) + Line(60, 0, 55, 0),
       {{10 + 2.5 * kPi, 1, 6.25 * kPi, {55, 0, 60, 5, false}}}},
  };
  for (const Case& c : cases) {
    const CutCheck r = Check(c.entities);
    ASSERT_EQ(r.parts.size(), c.parts.size()) << c.name;
    double length = 0, area = 0;
    int pierces = 0;
    for (std::size_t i = 0; i < c.parts.size(); ++i) {
      const CutFigures &got = r.parts[i], &want = c.parts[i];
      EXPECT_NEAR(got.length, want.length, 1e-9) << c.name << " part " << i;
      EXPECT_EQ(got.pierces, want.pierces) << c.name << " part " << i;
      EXPECT_NEAR(got.area, want.area, 1e-9) << c.name << " part " << i;
      EXPECT_NEAR(got.box.minx, want.box.minx, 1e-9) << c.name;
      EXPECT_NEAR(got.box.miny, want.box.miny, 1e-9) << c.name;
      EXPECT_NEAR(got.box.maxx, want.box.maxx, 1e-9) << c.name;
      EXPECT_NEAR(got.box.maxy, want.box.maxy, 1e-9) << c.name;
      length += want.length, area += want.area, pierces += want.pierces;
    }
    EXPECT_NEAR(r.total.length, length, 1e-9) << c.name;
    EXPECT_NEAR(r.total.area, area, 1e-9) << c.name;
    EXPECT_EQ(r.total.pierces, pierces) << c.name;
    EXPECT_EQ(r.contours, pierces) << c.name;
  }
  // An open contour is cut and pierced too, but is no part.
  const CutCheck open = Check(Square(0, 0, 10) + Line(20, 0, 30, 0));
  EXPECT_EQ(open.parts.size(), 1u);
  EXPECT_NEAR(open.total.length, 50, 1e-12);
  EXPECT_EQ(open.total.pierces, 2);
}

TEST(CutCheck, LargeHostileDrawingsStayLinear) {
  // 40,000 closed squares of four lines, 3,000 copies of one line, 3,000
  // lines from one point, and 3,000 lines side by side within the
  // tolerance (their ends crowding).
  std::string e;
  e.reserve(12'000'000);
  for (int i = 0; i < 200; ++i)
    for (int j = 0; j < 200; ++j) {
      const double x = i * 20, y = j * 20;
      e += Line(x, y, x + 10, y) + Line(x + 10, y, x + 10, y + 10) + Line(x + 10, y + 10, x, y + 10) +
           Line(x, y + 10, x, y);
    }
  for (int i = 0; i < 3000; ++i) e += Line(-100, -100, -50, -100);
  for (int i = 0; i < 3000; ++i) {
    const double a = i * 2 * kPi / 3000;
    e += Line(-200, -200, -200 + std::cos(a) * 30, -200 + std::sin(a) * 30);
  }
  for (int i = 0; i < 3000; ++i) e += Line(-300 + i * 1e-5, -300, -300 + i * 1e-5, -350);
  const Drawing d = test::Parsed(test::Section("ENTITIES", e) + "  0\nEOF\n");
  // (The processor's time, not the clock's: the machine may be busy.)
  const std::clock_t start = std::clock();
  const CutCheck r = CheckCut(d, 0);
  const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  EXPECT_EQ(r.parts.size(), 40000u);
  EXPECT_EQ(r.count(K::Duplicate), 2999 + 2999);
  EXPECT_GT(r.count(K::NearEnds), 0);
  EXPECT_EQ(r.count(K::Overlap), 0);
  EXPECT_EQ(r.count(K::OpenContour), 1 + 3000);  // the star, and each line side by side
  // Found on two cores, told in the drawing's order.
  for (std::size_t i = 1; i < r.findings.size(); ++i) {
    if (r.findings[i].kind == r.findings[i - 1].kind && r.findings[i].kind != K::SelfCrossing) {
      EXPECT_LE(r.findings[i - 1].entry, r.findings[i].entry) << i;
    }
  }
  EXPECT_LT(seconds, test::kSanitized ? 10.0 : 1.0);  // the sanitizer is several times slower
}

TEST(CutCheck, CrowdsAreCheckedWhole) {
  // What lies behind a crowd is found: the square's corner behind 10,000
  // ends at one point beside it, the second line behind 10,000 short
  // pieces on the first; and each of 10,000 staggered copies of a line.
  std::string star, shorts, staggered;
  for (int i = 0; i < 10000; ++i) {
    const double a = i * 2 * kPi / 10000;
    star += Line(0.015, 0.012, 0.015 + std::cos(a) * 30, 0.012 + std::sin(a) * 30);
    shorts += Line(i * 0.011, 0, i * 0.011 + 0.008, 0);
    staggered += Line(i * 0.02, 5, i * 0.02 + 50, 5);
  }
  struct Case {
    const char* name;
    std::string entities;
    K kind;
    int count;
  } cases[] = {
      {"a corner crowded by ends", Line(0, 0, 10, 0) + star + Line(10, 0, 10, 10) + Line(10, 10, 0, 10) + Line(0, 10, 0, 0),
       K::OpenContour, 1},
      {"a line behind short pieces", Line(0, 0, 200, 0) + shorts + Line(50, 0, 200, 0), K::Overlap, 1},
      {"staggered copies", staggered, K::Overlap, 9999},
  };
  for (const Case& c : cases) {
    const Drawing d = test::Parsed(test::Section("ENTITIES", c.entities) + "  0\nEOF\n");
    const std::clock_t start = std::clock();
    const CutCheck r = CheckCut(d, 0);
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_EQ(r.count(c.kind), c.count) << c.name << ": " << Counts(r);
    EXPECT_EQ(r.count(K::Duplicate), 0) << c.name;
    EXPECT_LT(seconds, test::kSanitized ? 10.0 : 1.0) << c.name;
  }
}

}  // namespace
}  // namespace vestrel
