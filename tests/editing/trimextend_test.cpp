// Trim and extend on small drawings, kind against kind: what is left of
// the clicked object (read back as drawn in the plan), that it keeps its
// handle and plane, that the second part of a cut gets a handle of its
// own, that what cannot be done changes nothing, and that undo gives the
// text back.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "edit_support.h"
#include "editing/trimextend.h"
#include "editing/undo.h"
#include "support/dxf_text.h"

namespace vestrel {
namespace {

using test::Doc;
using S = CutResult::Status;

std::string DrawingOf(const std::string& acadver, const std::string& entities) {
  return test::WithEof(test::Section("HEADER", "  9\n$ACADVER\n  1\n" + acadver + "\n  9\n$HANDSEED\n  5\n100\n") +
                       test::Section("ENTITIES", entities));
}

std::string N(double v) { return std::to_string(v); }
std::string Line(double x0, double y0, double x1, double y1) {
  return "  0\nLINE\n  5\n20\n  8\nKontur\n 62\n1\n 10\n" + N(x0) + "\n 20\n" + N(y0) + "\n 30\n0\n 11\n" + N(x1) +
         "\n 21\n" + N(y1) + "\n 31\n0\n";
}
std::string Arc(double cx, double cy, double r, double a0, double a1, const std::string& more = "") {
  return "  0\nARC\n  5\n21\n  8\nBogen\n 10\n" + N(cx) + "\n 20\n" + N(cy) + "\n 30\n0\n 40\n" + N(r) + "\n" + more +
         " 50\n" + N(a0) + "\n 51\n" + N(a1) + "\n";
}
const std::string kMinusZ = "210\n0\n220\n0\n230\n-1\n";
std::string Circle(double cx, double cy, double r) {
  return "  0\nCIRCLE\n  5\n22\n  8\nBogen\n100\nAcDbEntity\n100\nAcDbCircle\n 10\n" + N(cx) + "\n 20\n" + N(cy) +
         "\n 30\n0\n 40\n" + N(r) + "\n";
}
std::string LwPolyline(const std::string& vertices, int flags) {
  return "  0\nLWPOLYLINE\n  5\n23\n  8\nKontur\n 90\n4\n 70\n" + std::to_string(flags) + "\n" + vertices;
}
std::string Vertex(double x, double y, double bulge = 0) {
  return "  0\nVERTEX\n  8\nKontur\n 10\n" + N(x) + "\n 20\n" + N(y) + "\n 30\n0\n" +
         (bulge != 0 ? " 42\n" + N(bulge) + "\n" : "");
}

Piece Seg(double x0, double y0, double x1, double y1) { return SegmentPiece({x0, y0}, {x1, y1}); }
Piece Round(double cx, double cy, double r) { return ConicPiece(Conic{{cx, cy}, {r, 0}, {0, r}}); }

// What a part is drawn as: its ends and length in the plan.
struct Part {
  double ax, ay, bx, by, length;
};

enum class Op { Trim, Extend };

struct Row {
  const char* name;
  const char* version;
  std::string entities;
  Op op;
  std::vector<Piece> edges;
  Point2 picked;
  S status;
  std::string kind;          // the kind refused
  std::vector<Part> parts;   // the objects afterwards, in the order of the drawing
  std::string after;         // the kinds afterwards, in order
};

std::string Kinds(const Doc& doc) {
  std::string s;
  for (const tpoly& p : doc.d.polys) s += doc.kind(p) + " ";
  return s;
}

// The values of group `code` of every object (and vertex) in the drawing.
std::vector<std::string> Values(const Doc& doc, std::string_view code) {
  std::vector<std::string> out;
  for (std::size_t k = 0; k + 1 < doc.d.dxf.size(); k += 2)
    if (Trim(doc.d.dxf[k]) == code) out.emplace_back(Trim(doc.d.dxf[k + 1]));
  return out;
}

std::vector<std::string> WithoutSeed(const Doc& doc) {
  std::vector<std::string> lines = doc.lines();
  if (doc.d.handleseedpos >= 0) lines[static_cast<std::size_t>(doc.d.handleseedpos)].clear();
  return lines;
}

TEST(TrimExtend, KindAgainstKind) {
  const double q = 5 * std::sqrt(0.75);  // where circles of radius 5 through each other's centres cross
  const double toY3 = std::asin(-3.0 / 5);  // the angle where a circle of 5 meets y = -3
  const Row rows[] = {
      {"line cut in the middle becomes two", "AC1015", Line(0, 0, 10, 0), Op::Trim, {Seg(3, -1, 3, 1), Seg(6, -1, 6, 1)},
       {4, 0.1}, S::Done, "", {{0, 0, 3, 0, 3}, {6, 0, 10, 0, 4}}, "LINE LINE "},
      {"line by a circle", "AC1015", Line(0, 0, 10, 0), Op::Trim, {Round(10, 0, 4)}, {9, 0}, S::Done, "",
       {{0, 0, 6, 0, 6}}, "LINE "},
      {"arc by a circle, in the middle", "AC1015", Arc(0, 0, 5, 0, 180), Op::Trim, {Round(0, 5, 5)}, {0, 5}, S::Done, "",
       {{5, 0, q, 2.5, 5 * kPi / 6}, {-q, 2.5, -5, 0, 5 * kPi / 6}}, "ARC ARC "},
      {"circle becomes an arc", "AC1015", Circle(0, 0, 5), Op::Trim, {Seg(0, -10, 0, 10)}, {5, 0}, S::Done, "",
       {{0, 5, 0, -5, 5 * kPi}}, "ARC "},
      {"circle in R12", "AC1009", Circle(0, 0, 5), Op::Trim, {Seg(0, -10, 0, 10)}, {-5, 0}, S::Done, "",
       {{0, -5, 0, 5, 5 * kPi}}, "ARC "},
      {"closed polyline with a bulge opened", "AC1015",
       LwPolyline(" 10\n0\n 20\n0\n 10\n10\n 20\n0\n 42\n1\n 10\n10\n 20\n10\n 10\n0\n 20\n10\n", 1), Op::Trim,
       {Seg(5, -1, 5, 11)}, {0, 5}, S::Done, "", {{5, 0, 5, 10, 10 + 5 * kPi}}, "LWPOLYLINE "},
      {"arc of a CAM program (-Z) keeps its plane", "AC1015", Arc(-10, 0, 5, 0, 180, kMinusZ), Op::Trim,
       {Seg(10, -1, 10, 9)}, {10 - 5 * std::sqrt(0.5), 5 * std::sqrt(0.5)}, S::Done, "",
       {{10, 5, 15, 0, 5 * kPi / 2}}, "ARC "},
      {"R12 polyline", "AC1009",
       "  0\nPOLYLINE\n  8\nKontur\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n 70\n0\n" + Vertex(0, 0) + Vertex(10, 0) +
           Vertex(10, 10) + "  0\nSEQEND\n  8\nKontur\n",
       Op::Trim, {Seg(0, 5, 20, 5)}, {10, 8}, S::Done, "", {{0, 0, 10, 5, 15}}, "POLYLINE "},
      {"full ellipse becomes an elliptic arc", "AC1015",
       "  0\nELLIPSE\n  5\n24\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n 11\n10\n 21\n0\n 31\n0\n 40\n0.5\n 41\n0\n 42\n6.283185307179586\n",
       Op::Trim, {Seg(0, -10, 0, 10)}, {10, 0}, S::Done, "", {{0, 5, 0, -5, -1}}, "ELLIPSE "},
      {"nothing crosses", "AC1015", Line(0, 0, 10, 0), Op::Trim, {Seg(20, -1, 20, 1)}, {5, 0}, S::NoCut, "", {}, ""},
      {"the one crossing at its end", "AC1015", Line(0, 0, 10, 0), Op::Trim, {Seg(10, -1, 10, 1)}, {5, 0}, S::NoCut, "",
       {}, ""},
      {"a spline", "AC1015", "  0\nSPLINE\n  5\n25\n 70\n8\n 71\n3\n", Op::Trim, {Seg(0, 0, 1, 1)}, {0, 0},
       S::NotThisKind, "SPLINE", {}, ""},
      {"line on to a line", "AC1015", Line(0, 0, 5, 0), Op::Extend, {Seg(10, -1, 10, 1)}, {4, 0}, S::Done, "",
       {{0, 0, 10, 0, 10}}, "LINE "},
      {"arc start back to a line", "AC1015", Arc(0, 0, 5, 0, 90), Op::Extend, {Seg(-10, -3, 10, -3)}, {4.9, 0.8},
       S::Done, "", {{4, -3, 0, 5, 5 * (kPi / 2 - toY3)}}, "ARC "},
      {"open polyline on to a line", "AC1015",
       LwPolyline(" 10\n0\n 20\n0\n 10\n5\n 20\n0\n 10\n5\n 20\n5\n", 0), Op::Extend, {Seg(0, 8, 10, 8)}, {5, 4},
       S::Done, "", {{0, 0, 5, 8, 13}}, "LWPOLYLINE "},
      {"nothing ahead", "AC1015", Line(0, 0, 5, 0), Op::Extend, {Seg(-10, 5, 10, 5)}, {4, 0}, S::NoBoundary, "", {}, ""},
      {"a circle has no end", "AC1015", Circle(0, 0, 5), Op::Extend, {Seg(10, -1, 10, 1)}, {5, 0}, S::NotThisKind,
       "CIRCLE", {}, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf(r.version, r.entities));
    const std::vector<std::string> before = WithoutSeed(*doc);
    const CutResult result = r.op == Op::Trim ? TrimObject(doc->c, doc->shown().at(0), r.edges, r.picked)
                                              : ExtendObject(doc->c, doc->shown().at(0), r.edges, r.picked);
    EXPECT_EQ(result.status, r.status);
    EXPECT_EQ(result.kind, r.kind);
    if (r.status != S::Done) {
      EXPECT_EQ(WithoutSeed(*doc), before);
      EXPECT_TRUE(doc->j.undos.empty());
      continue;
    }
    EXPECT_EQ(Kinds(*doc), r.after);
    const std::vector<std::int32_t> shown = doc->shown();
    ASSERT_EQ(shown.size(), r.parts.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      std::string kind;
      const std::optional<Path> p = CuttablePath(doc->d, shown[i], kind);
      ASSERT_TRUE(p);
      const Part& e = r.parts[i];
      EXPECT_NEAR(p->pieces.front().a.x, e.ax, 1e-9);
      EXPECT_NEAR(p->pieces.front().a.y, e.ay, 1e-9);
      EXPECT_NEAR(p->pieces.back().b.x, e.bx, 1e-9);
      EXPECT_NEAR(p->pieces.back().b.y, e.by, 1e-9);
      if (e.length > 0) {
        EXPECT_NEAR(Length(*p), e.length, 1e-9);
      }
      EXPECT_FALSE(p->closed);
    }
    // The object keeps its handle and properties; a second part has its own.
    const std::vector<std::string> handles = Values(*doc, "5");
    EXPECT_EQ(std::set<std::string>(handles.begin(), handles.end()).size(), handles.size());
    for (const std::string& layer : Values(*doc, "8")) EXPECT_NE(layer, "");
    if (r.entities.find("230\n-1") != std::string::npos) {
      EXPECT_EQ(Values(*doc, "230"), std::vector<std::string>{"-1"});
    }
    ASSERT_TRUE(UndoLastOperation(doc->c));
    EXPECT_EQ(WithoutSeed(*doc), before);
  }
}

// The widths of a polyline go with the part of it that stays.
TEST(TrimExtend, WidthsFollowTheCut) {
  auto doc = Doc::Of(DrawingOf(
      "AC1015", LwPolyline(" 10\n0\n 20\n0\n 40\n0\n 41\n2\n 10\n10\n 20\n0\n 40\n2\n 41\n2\n 10\n20\n 20\n0\n", 0)));
  ASSERT_EQ(TrimObject(doc->c, doc->shown().at(0), {Seg(5, -1, 5, 1)}, {1, 0}).status, S::Done);
  EXPECT_EQ(Values(*doc, "40"), (std::vector<std::string>{"1", "2", "2"}));
  EXPECT_EQ(Values(*doc, "41"), (std::vector<std::string>{"2", "2", "2"}));
  EXPECT_EQ(Values(*doc, "90"), std::vector<std::string>{"3"});
}

}  // namespace
}  // namespace vestrel
