// The cut repair: each repair alone and together, at the tolerance's
// border and in an object's own plane; what it does not touch stays byte
// for byte, undo takes it back whole, and a check afterwards finds nothing
// the repair could have mended. Hostile drawings in bounded time.
#include "view/cutrepair.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "editing/edit_support.h"
#include "editing/undo.h"
#include "support/cut_drawings.h"
#include "support/dxf_text.h"
#include "support/sanitized.h"

namespace vestrel {
namespace {

using K = CutFinding::Kind;
using test::Circle, test::Entity, test::Line, test::N, test::Poly, test::Square;

std::string Dxf(const std::string& entities) { return test::Section("ENTITIES", entities) + "  0\nEOF\n"; }

std::string Counts(const CutCheck& c) {
  std::string s;
  for (std::size_t k = 0; k < CutFinding::kKinds; ++k)
    if (c.counts[k]) s += std::string(FindingName(static_cast<K>(k))) + "=" + std::to_string(c.counts[k]) + " ";
  return s;
}

std::string Report(const CutRepair& r) {
  if (r.status != CutRepair::Status::Done) return "nothing";
  return "dup=" + std::to_string(r.duplicates) + " over=" + std::to_string(r.overlaps) +
         " ends=" + std::to_string(r.ends) + " closed=" + std::to_string(r.contours) +
         " gaps=" + std::to_string(r.gaps);
}

std::string OnLayer(const std::string& entity, const std::string& layer) {
  std::string s = entity;
  s.replace(s.find("\n  8\n0\n"), 7, "\n  8\n" + layer + "\n");
  return s;
}

TEST(CutRepair, MendsEachFaultAloneAndTogether) {
  const std::string triangle = Line(0, 0, 10, 0) + Line(10, 0, 0, 10);
  const std::string arcBelow =
      Entity("ARC", {{10, "-60"}, {20, "0"}, {40, "5"}, {210, "0"}, {220, "0"}, {230, "-1"}, {50, "0"}, {51, "90"}});
  struct Case {
    const char* name;
    std::string entities;
    std::string report;  // what the repair says it did
    std::string after;   // what a check finds afterwards ("as before": what it found before)
    double gaps = 0;
  } cases[] = {
      {"nothing wrong", Square(0, 0, 10) + Circle(30, 5, 2), "nothing", ""},
      {"the same line twice, either way", Line(0, 0, 10, 0) + Line(10, 0, 0, 0),
       "dup=1 over=0 ends=0 closed=0 gaps=0", "open_contour=1 "},
      {"a square twice from another corner", Square(0, 0, 10) + Poly({{10, 10}, {0, 10}, {0, 0}, {10, 0}}),
       "dup=1 over=0 ends=0 closed=0 gaps=0", ""},
      {"a circle twice, and an arc on it",
       Circle(5, 5, 2) + Circle(5, 5, 2) + Entity("ARC", {{10, "5"}, {20, "5"}, {40, "2"}, {50, "350"}, {51, "20"}}),
       "dup=2 over=0 ends=0 closed=0 gaps=0", ""},
      {"a line on a polyline's side", Square(0, 0, 10) + Line(2, 0, 8, 0), "dup=1 over=0 ends=0 closed=0 gaps=0",
       ""},
      {"a line a tolerance beside the side", Square(0, 0, 10) + Line(2, 0.01, 8, 0.01),
       "dup=1 over=0 ends=0 closed=0 gaps=0", ""},
      {"a line just beyond it", Square(0, 0, 10) + Line(2, 0.0101, 8, 0.0101), "nothing", "open_contour=1 "},
      {"collinear lines overlapping", Line(0, 0, 10, 0) + Line(5, 0, 15, 0), "dup=0 over=1 ends=0 closed=0 gaps=0",
       "open_contour=1 "},
      {"a line running on from a side", Square(0, 0, 10) + Line(5, 0, 15, 0), "dup=0 over=1 ends=0 closed=0 gaps=0",
       "open_contour=1 "},
      {"an open polyline doubling back on itself", Poly({{0, 0}, {10, 0}, {4, 0}}, false),
       "dup=0 over=1 ends=0 closed=0 gaps=0", "open_contour=1 "},
      {"lines that close", Line(0, 0, 10, 0) + Line(10, 10, 10, 0) + Line(10, 10, 0, 10) + Line(0, 0, 0, 10),
       "dup=0 over=0 ends=0 closed=1 gaps=0", ""},
      {"ends a tolerance apart", triangle + Line(0, 10, 0, 0.01), "dup=0 over=0 ends=1 closed=1 gaps=0", ""},
      {"ends just beyond it", triangle + Line(0, 10, 0, 0.0101), "nothing", "open_contour=1 "},
      {"an arc that nearly closes", Entity("ARC", {{10, "0"}, {20, "0"}, {40, "5"}, {50, "0"}, {51, "359.9"}}),
       "dup=0 over=0 ends=1 closed=1 gaps=0", ""},
      {"an open polyline whose ends nearly meet", Poly({{0, 0}, {10, 0}, {10, 10}, {0, 0.005}}, false),
       "dup=0 over=0 ends=1 closed=1 gaps=0", ""},
      {"a gap closed at the second tolerance", triangle + Line(0, 10, 0, 0.5), "dup=0 over=0 ends=0 closed=1 gaps=1",
       "", 0.5},
      {"a gap beyond it", triangle + Line(0, 10, 0, 0.5), "nothing", "open_contour=1 ", 0.49},
      {"a lone line is not closed on itself", Line(0, 0, 0.3, 0), "nothing", "open_contour=1 ", 0.5},
      {"an arc seen from below closes with lines", arcBelow + Line(60, 5, 60, 0) + Line(60, 0, 55.004, 0),
       "dup=0 over=0 ends=1 closed=1 gaps=0", ""},
      {"an arc in a plane of its own is left alone",
       Entity("ARC", {{10, "0"}, {20, "0"}, {40, "5"}, {210, "0"}, {220, "0.6"}, {230, "0.8"}, {50, "0"}, {51, "90"}}) +
           Entity("ARC", {{10, "0"}, {20, "0"}, {40, "5"}, {210, "0"}, {220, "0.6"}, {230, "0.8"}, {50, "0"}, {51, "90"}}),
       "nothing", "as before"},
      {"a chain of two layers keeps its parts",
       Line(0, 0, 10, 0) + Line(10, 0, 10, 10) + OnLayer(Line(10, 10, 0, 0.005), "CUT"),
       "dup=0 over=0 ends=1 closed=0 gaps=0", ""},
      {"texts and references stay", Square(0, 0, 10) + Entity("TEXT", {{10, "1"}, {20, "1"}, {40, "1"}, {1, "A"}}),
       "nothing", "not_cut=1 "},
      {"everything at once",
       Square(100, 100, 10) + Square(100, 100, 10) + triangle + Line(0, 10, 0, 0.005) + Line(2, 0, 8, 0) +
           Line(50, 50, 60, 50) + Line(55, 50, 70, 50) + Line(20, 0, 30, 0) + Line(30, 0, 20, 0.8),
       "dup=2 over=1 ends=1 closed=2 gaps=1", "open_contour=1 ", 1},
  };
  for (const Case& c : cases) {
    auto doc = test::Doc::Of(Dxf(c.entities));
    const std::vector<std::string> before = doc->lines();
    const std::string was = Counts(CheckCut(doc->d, 0));
    const CutRepair r = RepairCut(doc->c, kCutTolerance, c.gaps);
    EXPECT_EQ(Report(r), c.report) << c.name;
    const CutCheck after = CheckCut(doc->d, 0);
    EXPECT_EQ(Counts(after), c.after == "as before" ? was : c.after) << c.name << " (before: " << was << ")";
    if (r.status != CutRepair::Status::Done) {
      EXPECT_EQ(doc->lines(), before) << c.name;
      EXPECT_TRUE(doc->j.undos.empty()) << c.name;
      continue;
    }
    // One step, taken back whole.
    EXPECT_EQ(doc->j.undos.size(), 1u) << c.name;
    ASSERT_TRUE(UndoLastOperation(doc->c)) << c.name;
    EXPECT_EQ(doc->lines(), before) << c.name;
  }
}

TEST(CutRepair, KeepsWhatItDoesNotTouchAndItsProperties) {
  // A square on a layer of its own stays byte for byte; the lines that
  // close become one polyline with the first line's layer and colour.
  const std::string square = OnLayer(Square(50, 0, 10), "KEEP");
  const std::string first = OnLayer(Entity("LINE", {{62, "1"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}}), "CUT");
  const std::string rest = OnLayer(Entity("LINE", {{62, "1"}, {10, "10"}, {20, "0"}, {11, "0"}, {21, "10"}}), "CUT") +
                           OnLayer(Entity("LINE", {{62, "1"}, {10, "0"}, {20, "10"}, {11, "0"}, {21, "0.004"}}), "CUT");
  auto doc = test::Doc::Of(Dxf(square + first + rest));
  const CutRepair r = RepairCut(doc->c);
  ASSERT_EQ(r.status, CutRepair::Status::Done);
  EXPECT_EQ(r.contours, 1);
  ASSERT_EQ(doc->d.polys.size(), 2u);
  std::string text;
  for (const std::string& l : doc->lines()) text += l + "\n";
  EXPECT_NE(text.find(square), std::string::npos);
  const tpoly& joined = doc->d.polys[1];
  EXPECT_TRUE(joined.isclosed);
  EXPECT_EQ(doc->d.value(joined.linefrom + 1), "POLYLINE");  // no header: an R12 drawing
  std::string own;
  for (std::int32_t k = joined.linefrom; k <= joined.linebis; ++k) own += std::string(doc->d.value(k)) + "\n";
  EXPECT_NE(own.find("8\nCUT\n"), std::string::npos);
  EXPECT_NE(own.find("62\n1\n"), std::string::npos);
  // A tolerance that is no number changes nothing.
  EXPECT_EQ(RepairCut(doc->c, -1).status, CutRepair::Status::InvalidValue);
  EXPECT_EQ(RepairCut(doc->c, 0.01, std::nan("")).status, CutRepair::Status::InvalidValue);
}

TEST(CutRepair, HostileDrawingsInBoundedTime) {
  struct Case {
    const char* name;
    std::string entities;
    std::string report;
  };
  std::string copies, chain;
  copies.reserve(6'000'000), chain.reserve(8'000'000);
  for (int i = 0; i < 100000; ++i) copies += Line(0, 0, 10, 0);
  // A zigzag of 100,000 segments, each starting a little beside where the
  // one before it ends.
  for (int i = 0; i < 100000; ++i) chain += Line(i, i % 2, i + 1 + 1e-3, (i + 1) % 2);
  const Case cases[] = {
      {"100,000 copies of one line", copies, "dup=99999 over=0 ends=0 closed=0 gaps=0"},
      {"100,000 segments with gaps", chain, "dup=0 over=0 ends=99999 closed=0 gaps=0"},
  };
  for (const Case& c : cases) {
    auto doc = test::Doc::Of(Dxf(c.entities));
    const std::clock_t start = std::clock();
    const CutRepair r = RepairCut(doc->c);
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_EQ(Report(r), c.report) << c.name;
    EXPECT_LT(seconds, test::kSanitized ? 20.0 : 2.0) << c.name;
    EXPECT_EQ(CheckCut(doc->d, 0).count(K::NearEnds), 0) << c.name;
  }
}

}  // namespace
}  // namespace vestrel
