// Exploding block references, dimensions and hatches on small drawings:
// what each reference (uniform, stretched, mirrored, turned, in the
// mirrored plane, an array, with attributes, nested) and each dimension
// and hatch becomes, the layer and BYBLOCK rules, what is refused, and
// that undo gives the text back; and that what an explode makes takes the
// construction tools like anything drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "document/numbers.h"
#include "edit_support.h"
#include "editing/breaking.h"
#include "editing/corners.h"
#include "editing/parallel.h"
#include "editing/reshape.h"
#include "editing/trimextend.h"
#include "editing/undo.h"
#include "support/dxf_text.h"

namespace vestrel {
namespace {

using test::Doc;
using S = ReshapeResult::Status;

// The entities of the ENTITIES section, each as its kind and the groups
// that say where it is and what it takes ("LINE 8=Ref 10=10 20=20 ..."),
// numbers to nine decimals.
std::vector<std::string> Shown(const Drawing& d) {
  static const std::set<int> kWanted = {1, 2, 6, 8, 62, 10, 20, 30, 11, 21, 31, 40, 41, 42, 50, 51, 73, 210, 220, 230};
  std::vector<std::string> out;
  bool in = false;
  for (std::size_t k = 0; k + 1 < d.dxf.size(); k += 2) {
    const std::string code(Trim(d.dxf[k])), value(Trim(d.dxf[k + 1]));
    if (code == "2" && value == "ENTITIES") in = true;
    if (!in) continue;
    if (code == "0") {
      if (value == "ENDSEC") break;
      out.push_back(value);
      continue;
    }
    const int g = std::stoi(code);
    if (out.empty() || !kWanted.count(g)) continue;
    std::string v = value;
    if (g >= 10 && g != 62 && g != 73) {
      std::ostringstream s;
      s.precision(12);
      double x = std::round(std::stod(value) * 1e9) / 1e9;
      if (x == 0) x = 0;
      s << x;
      v = s.str();
    }
    out.back() += " " + std::to_string(g) + "=" + v;
  }
  return out;
}

// Every handle of the drawing is its own, and the seed lies above them.
void ExpectHandlesUnique(const Drawing& d) {
  std::set<std::uint64_t> seen;
  std::uint64_t top = 0;
  for (std::size_t k = 0; k + 1 < d.dxf.size(); k += 2)
    if (Trim(d.dxf[k]) == "5" && static_cast<std::int32_t>(k + 1) != d.handleseedpos) {
      const auto h = ParseHandle(Trim(d.dxf[k + 1]));
      ASSERT_TRUE(h);
      EXPECT_TRUE(seen.insert(*h).second) << Trim(d.dxf[k + 1]);
      top = std::max(top, *h);
    }
  ASSERT_GE(d.handleseedpos, 0);
  EXPECT_GT(*ParseHandle(d.value(d.handleseedpos)), top) << d.value(d.handleseedpos);
}

std::vector<std::string> WithoutSeed(const Doc& doc) {
  std::vector<std::string> lines = doc.lines();
  if (doc.d.handleseedpos >= 0) lines[static_cast<std::size_t>(doc.d.handleseedpos)].clear();
  return lines;
}

// Block B, based at (1, 0): a line on layer 0 in BYBLOCK colour, a circle
// of its own layer and colour, an arc on layer 0 in the BYBLOCK line type,
// and an attribute definition. Block C holds a reference to B; *D1 draws a
// dimension.
std::string Blocks(const std::string& more = "") {
  return test::Section(
      "BLOCKS",
      "  0\nBLOCK\n  5\n20\n  8\n0\n  2\nB\n 70\n2\n 10\n1\n 20\n0\n 30\n0\n  3\nB\n"
      "  0\nLINE\n  5\n21\n  8\n0\n 62\n0\n 10\n1\n 20\n0\n 30\n0\n 11\n3\n 21\n0\n 31\n0\n"
      "  0\nCIRCLE\n  5\n22\n  8\nEigen\n 62\n3\n 10\n1\n 20\n1\n 30\n0\n 40\n1\n"
      "  0\nARC\n  5\n23\n  8\n0\n  6\nBYBLOCK\n 10\n1\n 20\n0\n 30\n0\n 40\n2\n 50\n0\n 51\n90\n"
      "  0\nATTDEF\n  5\n24\n  8\n0\n 10\n1\n 20\n0\n 30\n0\n 40\n1\n  1\n?\n  3\nNr\n  2\nNR\n 70\n0\n" +
          more +
          "  0\nENDBLK\n  5\n25\n  8\n0\n"
          "  0\nBLOCK\n  5\n26\n  8\n0\n  2\nC\n 70\n0\n 10\n0\n 20\n0\n 30\n0\n  3\nC\n"
          "  0\nINSERT\n  5\n27\n  8\n0\n  2\nB\n 10\n5\n 20\n0\n 30\n0\n"
          "  0\nENDBLK\n  5\n28\n  8\n0\n"
          "  0\nBLOCK\n  5\n29\n  8\n0\n  2\n*D1\n 70\n1\n 10\n0\n 20\n0\n 30\n0\n  3\n*D1\n"
          "  0\nLINE\n  5\n2A\n  8\n0\n 62\n0\n 10\n0\n 20\n0\n 30\n0\n 11\n10\n 21\n0\n 31\n0\n"
          "  0\nMTEXT\n  5\n2B\n  8\n0\n 10\n5\n 20\n1\n 30\n0\n 40\n1\n  1\n10\n"
          "  0\nENDBLK\n  5\n2C\n  8\n0\n"
          "  0\nBLOCK\n  5\n2D\n  8\n0\n  2\nLeer\n 70\n0\n 10\n0\n 20\n0\n 30\n0\n  3\nLeer\n"
          "  0\nENDBLK\n  5\n2E\n  8\n0\n");
}

std::string DrawingOf(const std::string& version, const std::string& entities, const std::string& blockMore = "") {
  return test::WithEof(test::Section("HEADER", "  9\n$ACADVER\n  1\n" + version + "\n  9\n$HANDSEED\n  5\n100\n") +
                       Blocks(blockMore) + test::Section("ENTITIES", entities));
}

// A reference to `block` on layer Ref in colour 5 at (10, 20), with more
// groups (scale, rotation, extrusion, array).
std::string Insert(const std::string& more, const std::string& block = "B", const std::string& after = "") {
  return "  0\nINSERT\n  5\n40\n  8\nRef\n 62\n5\n" + std::string(after.empty() ? "" : " 66\n1\n") + "  2\n" + block +
         "\n 10\n10\n 20\n20\n 30\n0\n" + more + after;
}

TEST(ExplodeObjects, TakesBlockReferencesDimensionsAndHatchesApart) {
  struct Row {
    const char* name;
    const char* version;
    std::string entities;
    S status;
    std::vector<std::string> made;  // the entities after it, as Shown() gives them
    std::string blockMore = "";
  };
  const std::string line = "LINE 8=Ref 62=5 10=10 20=20 30=0 ";
  const std::string attrib =
      "  0\nATTRIB\n  5\n41\n  8\nText\n 10\n11\n 20\n21\n 30\n0\n 40\n0.5\n  1\nA-7\n  2\nNR\n 70\n0\n 74\n2\n"
      "  0\nATTRIB\n  5\n42\n  8\nText\n 10\n11\n 20\n22\n 30\n0\n 40\n0.5\n  1\ngeheim\n  2\nGEHEIM\n 70\n1\n"
      "  0\nSEQEND\n  5\n43\n  8\nRef\n";
  const std::string dimension = "  0\nDIMENSION\n  5\n50\n  8\nMass\n 62\n1\n  2\n*D1\n 10\n10\n 20\n0\n 30\n0\n"
                                " 11\n5\n 21\n1\n 31\n0\n 70\n32\n 13\n0\n 23\n0\n 33\n0\n 14\n10\n 24\n0\n 34\n0\n";
  const std::string hatch =
      "  0\nHATCH\n  5\n60\n  8\nFlaeche\n 62\n4\n 10\n0\n 20\n0\n 30\n2\n210\n0\n220\n0\n230\n-1\n  2\nSOLID\n 70\n1\n"
      " 71\n0\n 91\n3\n"
      " 92\n2\n 72\n1\n 73\n1\n 93\n3\n 10\n0\n 20\n0\n 10\n4\n 20\n0\n 42\n1\n 10\n4\n 20\n4\n 97\n0\n"
      " 92\n1\n 93\n3\n 72\n1\n 10\n0\n 20\n0\n 11\n6\n 21\n0\n 72\n2\n 10\n6\n 20\n3\n 40\n3\n 50\n270\n 51\n90\n"
      " 73\n1\n 72\n3\n 10\n3\n 20\n6\n 11\n3\n 21\n0\n 40\n0.5\n 50\n0\n 51\n180\n 73\n1\n 97\n1\n330\n99\n"
      " 92\n1\n 93\n1\n 72\n4\n 94\n3\n 73\n0\n 74\n0\n 95\n8\n 96\n4\n 40\n0\n 40\n0\n 40\n0\n 40\n0\n"
      " 40\n1\n 40\n1\n 40\n1\n 40\n1\n 10\n0\n 20\n0\n 10\n1\n 20\n2\n 10\n3\n 20\n2\n 10\n4\n 20\n0\n 97\n0\n 97\n0\n"
      " 75\n0\n 76\n1\n 98\n0\n";
  const Row rows[] = {
      {"uniform scale 2: layer 0 and BYBLOCK take the reference's",
       "AC1015",
       Insert(" 41\n2\n 42\n2\n 43\n2\n"),
       S::Done,
       {line + "11=14 21=20 31=0", "CIRCLE 8=Eigen 62=3 10=10 20=22 30=0 40=2",
        "ARC 8=Ref 6=BYLAYER 10=10 20=20 30=0 40=4 50=0 51=90"}},
      {"stretched: circles and arcs become ellipses",
       "AC1015",
       Insert(" 41\n2\n 42\n1\n 43\n1\n"),
       S::Done,
       {line + "11=14 21=20 31=0",
        "ELLIPSE 8=Eigen 62=3 10=10 20=21 30=0 11=2 21=0 31=0 210=0 220=0 230=1 40=0.5 41=0 42=6.283185307",
        "ELLIPSE 8=Ref 6=BYLAYER 10=10 20=20 30=0 11=4 21=0 31=0 210=0 220=0 230=1 40=0.5 41=0 42=1.570796327"}},
      {"stretched upright: the long axis turns",
       "AC1015",
       Insert(" 41\n1\n 42\n3\n 43\n1\n"),
       S::Done,
       {line + "11=12 21=20 31=0",
        "ELLIPSE 8=Eigen 62=3 10=10 20=23 30=0 11=0 21=3 31=0 210=0 220=0 230=1 40=0.333333333 41=0 42=6.283185307",
        "ELLIPSE 8=Ref 6=BYLAYER 10=10 20=20 30=0 11=0 21=6 31=0 210=0 220=0 230=1 40=0.333333333 41=4.71238898 "
        "42=6.283185307"}},
      {"mirrored in x",
       "AC1015",
       Insert(" 41\n-1\n 42\n1\n 43\n1\n"),
       S::Done,
       {line + "11=8 21=20 31=0", "CIRCLE 8=Eigen 62=3 10=10 20=21 30=0 40=1",
        "ARC 8=Ref 6=BYLAYER 10=10 20=20 30=0 40=2 50=90 51=180"}},
      {"turned a quarter",
       "AC1015",
       Insert(" 50\n90\n"),
       S::Done,
       {line + "11=10 21=22 31=0", "CIRCLE 8=Eigen 62=3 10=9 20=20 30=0 40=1",
        "ARC 8=Ref 6=BYLAYER 10=10 20=20 30=0 40=2 50=90 51=180"}},
      {"in the mirrored plane",
       "AC1015",
       Insert("210\n0\n220\n0\n230\n-1\n"),
       S::Done,
       {"LINE 8=Ref 62=5 10=-10 20=20 30=0 11=-12 21=20 31=0 210=0 220=0 230=-1",
        "CIRCLE 8=Eigen 62=3 10=10 20=21 30=0 40=1 210=0 220=0 230=-1",
        "ARC 8=Ref 6=BYLAYER 10=10 20=20 30=0 40=2 50=0 51=90 210=0 220=0 230=-1"}},
      {"mirrored and turned in the mirrored plane",
       "AC1015",
       Insert(" 41\n-1.5\n 42\n1.5\n 43\n1.5\n 50\n45\n210\n0\n220\n0\n230\n-1\n"),
       S::Done,
       {"LINE 8=Ref 62=5 10=-10 20=20 30=0 11=-7.878679656 21=17.878679656 31=0 210=0 220=0 230=-1",
        "CIRCLE 8=Eigen 62=3 10=8.939339828 20=21.060660172 30=0 40=1.5 210=0 220=0 230=-1",
        "ARC 8=Ref 6=BYLAYER 10=10 20=20 30=0 40=3 50=135 51=225 210=0 220=0 230=-1"}},
      {"an array of two columns",
       "AC1015",
       Insert(" 70\n2\n 44\n10\n"),
       S::Done,
       {line + "11=12 21=20 31=0", "CIRCLE 8=Eigen 62=3 10=10 20=21 30=0 40=1",
        "ARC 8=Ref 6=BYLAYER 10=10 20=20 30=0 40=2 50=0 51=90", "LINE 8=Ref 62=5 10=20 20=20 30=0 11=22 21=20 31=0",
        "CIRCLE 8=Eigen 62=3 10=20 20=21 30=0 40=1", "ARC 8=Ref 6=BYLAYER 10=20 20=20 30=0 40=2 50=0 51=90"}},
      {"visible attributes become texts",
       "AC1015",
       Insert("", "B", attrib),
       S::Done,
       {line + "11=12 21=20 31=0", "CIRCLE 8=Eigen 62=3 10=10 20=21 30=0 40=1",
        "ARC 8=Ref 6=BYLAYER 10=10 20=20 30=0 40=2 50=0 51=90", "TEXT 8=Text 10=11 20=21 30=0 40=0.5 1=A-7 73=2"}},
      {"R12, attributes",
       "AC1009",
       Insert("", "B", attrib),
       S::Done,
       {line + "11=12 21=20 31=0", "CIRCLE 8=Eigen 62=3 10=10 20=21 30=0 40=1",
        "ARC 8=Ref 6=BYLAYER 10=10 20=20 30=0 40=2 50=0 51=90", "TEXT 8=Text 10=11 20=21 30=0 40=0.5 1=A-7 73=2"}},
      {"a nested reference stays a reference",
       "AC1015",
       Insert(" 41\n2\n 42\n2\n 43\n2\n", "C"),
       S::Done,
       {"INSERT 8=Ref 2=B 10=20 20=20 30=0 41=2 42=2"}},
      {"a dimension becomes its block's contents",
       "AC1015",
       dimension,
       S::Done,
       {"LINE 8=Mass 62=1 10=0 20=0 30=0 11=10 21=0 31=0", "MTEXT 8=Mass 10=5 20=1 30=0 40=1 1=10"}},
      {"a hatch becomes its boundary, in its plane",
       "AC1015",
       hatch,
       S::Done,
       {"LWPOLYLINE 8=Flaeche 62=4 10=0 20=0 10=4 20=0 42=1 10=4 20=4 210=0 220=0 230=-1",
        "LINE 8=Flaeche 62=4 10=0 20=0 30=-2 11=-6 21=0 31=-2",
        "ARC 8=Flaeche 62=4 10=6 20=3 30=2 40=3 210=0 220=0 230=-1 50=270 51=90",
        "ELLIPSE 8=Flaeche 62=4 10=-3 20=6 30=-2 11=-3 21=0 31=0 210=0 220=0 230=-1 40=0.5 41=0 42=3.141592654",
        "SPLINE 8=Flaeche 62=4 210=0 220=0 230=-1 73=4 40=0 40=0 40=0 40=0 40=1 40=1 40=1 40=1 10=0 20=0 30=-2 10=-1 20=2 "
        "30=-2 10=-3 20=2 30=-2 10=-4 20=0 30=-2"}},
      {"stretched and turned: a text gets its height, width factor and rotation",
       "AC1015",
       Insert(" 41\n2\n 50\n30\n"),
       S::Done,
       {line + "11=13.464101615 21=22 31=0",
        "ELLIPSE 8=Eigen 62=3 10=9.5 20=20.866025404 30=0 11=1.732050808 21=1 31=0 210=0 220=0 230=1 40=0.5 41=0 "
        "42=6.283185307",
        "ELLIPSE 8=Ref 6=BYLAYER 10=10 20=20 30=0 11=3.464101615 21=2 31=0 210=0 220=0 230=1 40=0.5 41=0 "
        "42=1.570796327",
        "TEXT 8=Ref 10=10 20=20 30=0 40=2 41=0.5 50=120 1=x"},
       "  0\nTEXT\n  5\n2F\n  8\n0\n 10\n1\n 20\n0\n 30\n0\n 40\n1\n 50\n90\n  1\nx\n"},
      {"stretched across a turned text: refused", "AC1015", Insert(" 41\n2\n"), S::Distorted, {},
       "  0\nTEXT\n  5\n2F\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n 40\n1\n 50\n30\n  1\nx\n"},
      {"a block that draws nothing: the reference goes", "AC1015", Insert("", "Leer"), S::Done, {}},
      {"a block that is not there", "AC1015", Insert("", "X"), S::NoBlock, {}},
      {"an array past what an edit may add", "AC1015", Insert(" 70\n30000\n 71\n30000\n"), S::TooLarge, {}},
      {"a zero scale", "AC1015", Insert(" 41\n0\n 42\n0\n 43\n0\n"), S::InvalidValue, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf(r.version, r.entities, r.blockMore));
    const std::vector<std::string> shownBefore = Shown(doc->d);
    const std::vector<std::string> before = doc->lines();
    doc->selectAll();
    const ReshapeResult result = ExplodeObjects(doc->c);
    EXPECT_EQ(result.status, r.status);
    if (r.status != S::Done) {
      EXPECT_EQ(doc->lines(), before);
      EXPECT_EQ(Shown(doc->d), shownBefore);
      continue;
    }
    EXPECT_EQ(Shown(doc->d), r.made);
    ExpectHandlesUnique(doc->d);
    // R12 has no subclass markers.
    if (std::string(r.version) == "AC1009") {
      EXPECT_EQ(test::LineOf(doc->d, "AcDbText"), -1);
    }
    ASSERT_TRUE(UndoLastOperation(doc->c));
    std::vector<std::string> undone = WithoutSeed(*doc), original = before;
    original[static_cast<std::size_t>(doc->d.handleseedpos)].clear();
    EXPECT_EQ(undone, original);
  }
}

// Block B at twice its size in the plan at (10, 20) (its z scale left at 1,
// as drawings have it: the arc stays an arc): its line runs from (10, 20)
// to (14, 20), its arc round (10, 20) with radius 4 from (14, 20) to
// (10, 24).
// Each tool on what the explode made gives exactly what it gives on the
// same objects drawn as they are.
TEST(ExplodeObjects, WhatAnExplodeMadeTakesTheConstructionTools) {
  using Edit = std::function<bool(DocumentContext&, std::int32_t line, std::int32_t arc)>;
  struct Row {
    const char* name;
    Edit edit;
    std::vector<std::string> has;  // in the shown entities, afterwards
  };
  const Row rows[] = {
      {"a parallel of the line, 1 below",
       [](DocumentContext& c, std::int32_t line, std::int32_t) {
         return AddParallel(c, line, {12, 19}, 1.0).status == ParallelResult::Status::Done;
       },
       {"10=10 20=19 30=0 11=14 21=19 31=0"}},
      {"the line broken between x 11 and 12",
       [](DocumentContext& c, std::int32_t line, std::int32_t) {
         return BreakObject(c, line, {11, 20}, Point2{12, 20}).status == S::Done;
       },
       {"10=10 20=20 30=0 11=11 21=20 31=0", "10=12 20=20 30=0 11=14 21=20 31=0"}},
      {"the line lengthened by 2 at its end",
       [](DocumentContext& c, std::int32_t line, std::int32_t) {
         return LengthenObject(c, line, {13.5, 20}, 2, false).status == S::Done;
       },
       {"10=10 20=20 30=0 11=16 21=20 31=0"}},
      {"the line trimmed back to an edge at x 12",
       [](DocumentContext& c, std::int32_t line, std::int32_t) {
         const std::vector<Piece> edges = {SegmentPiece({12, 15}, {12, 30})};
         return TrimObject(c, line, edges, {13, 20}).status == CutResult::Status::Done;
       },
       {"10=10 20=20 30=0 11=12 21=20 31=0"}},
      {"the arc trimmed back to the same edge",
       [](DocumentContext& c, std::int32_t, std::int32_t arc) {
         const std::vector<Piece> edges = {SegmentPiece({12, 15}, {12, 30})};
         return TrimObject(c, arc, edges, {13.5, 21.9365}).status == CutResult::Status::Done;
       },
       {"10=10 20=20 30=0 40=4 50=60 51=90"}},
      {"the line extended to a boundary at x 16",
       [](DocumentContext& c, std::int32_t line, std::int32_t) {
         const std::vector<Piece> boundaries = {SegmentPiece({16, 15}, {16, 30})};
         return ExtendObject(c, line, boundaries, {13.5, 20}).status == CutResult::Status::Done;
       },
       {"10=10 20=20 30=0 11=16 21=20 31=0"}},
      {"a fillet of radius 1 between the line and the arc",
       [](DocumentContext& c, std::int32_t line, std::int32_t arc) {
         const CornerPick first{line, {11, 20}}, second{arc, {12, 20 + 2 * std::sqrt(3.0)}};
         return MakeCorner(c, first, second, {false, 1, 0, 0}).status == CornerResult::Status::Done;
       },
       {"10=12.828427125 20=21 30=0 40=1"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf("AC1015", Insert(" 41\n2\n 42\n2\n")));
    doc->selectAll();
    ASSERT_EQ(ExplodeObjects(doc->c).status, S::Done);
    std::int32_t line = -1, arc = -1;
    for (const std::int32_t i : doc->shown()) {
      const std::string kind = doc->kind(doc->d.polys[static_cast<std::size_t>(i)]);
      if (kind == "LINE") line = i;
      if (kind == "ARC") arc = i;
    }
    ASSERT_GE(line, 0);
    ASSERT_GE(arc, 0) << ::testing::PrintToString(Shown(doc->d));
    for (tpoly& p : doc->d.polys) p.selected = false;
    ASSERT_TRUE(r.edit(doc->c, line, arc));
    const std::vector<std::string> shown = Shown(doc->d);
    for (const std::string& want : r.has) {
      const bool found =
          std::any_of(shown.begin(), shown.end(), [&](const std::string& e) { return e.find(want) != std::string::npos; });
      EXPECT_TRUE(found) << want;
    }
    ExpectHandlesUnique(doc->d);
  }
}

}  // namespace
}  // namespace vestrel
