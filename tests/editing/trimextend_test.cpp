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
#include "editing/breaking.h"
#include "editing/splineobject.h"
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
      {"a spline without a curve", "AC1015", "  0\nSPLINE\n  5\n25\n 70\n8\n 71\n3\n", Op::Trim, {Seg(0, 0, 1, 1)},
       {0, 0}, S::InvalidValue, "", {}, ""},
      {"a spline-fit R12 polyline", "AC1009",
       "  0\nPOLYLINE\n  8\nKontur\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n 70\n4\n" + Vertex(0, 0) + Vertex(10, 0) +
           Vertex(10, 10) + "  0\nSEQEND\n  8\nKontur\n",
       Op::Trim, {Seg(0, 5, 20, 5)}, {10, 8}, S::NotThisKind, "POLYLINE (SPLINE)", {}, ""},
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

// A SPLINE as a CAD program writes it, with its numbers to the last digit:
// knots, then weights, then controls, then fit points.
std::string Full(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}
std::string SplineText(const Spline& s, int flags, const std::vector<Point3>& fits = {}) {
  std::string t = "  0\nSPLINE\n  5\n25\n330\n1F\n100\nAcDbEntity\n  8\nKurve\n 62\n3\n100\nAcDbSpline\n 70\n" +
                  std::to_string(flags) + "\n 71\n" + std::to_string(s.order - 1) + "\n 72\n" +
                  std::to_string(s.knots.size()) + "\n 73\n" + std::to_string(s.controls.size()) + "\n 74\n" +
                  std::to_string(fits.size()) + "\n 42\n0.0000000001\n 43\n0.0000000001\n";
  if (!fits.empty()) t += " 44\n0.0000000001\n";
  for (const double k : s.knots) t += " 40\n" + Full(k) + "\n";
  for (const double w : s.weights) t += " 41\n" + Full(w) + "\n";
  for (const Point3& c : s.controls) t += " 10\n" + Full(c.x) + "\n 20\n" + Full(c.y) + "\n 30\n" + Full(c.z) + "\n";
  for (const Point3& f : fits) t += " 11\n" + Full(f.x) + "\n 21\n" + Full(f.y) + "\n 31\n" + Full(f.z) + "\n";
  return t;
}
// A cubic over uneven knots, the parabola y = x (2 - x) (x = 2v), a
// rational quarter of the unit circle, a closed uniform cubic round the
// square 0..4 and the line y = 2x.
const Spline kCubic{4, {0, 0, 0, 0, 0.3, 1.1, 2, 2, 2, 2}, {{0, 0, 0}, {1, 3, 0}, {3, 4, 0}, {5, 1, 0}, {6, -2, 0}, {8, 0, 0}}, {}};
const Spline kParabola{3, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {}};
const Spline kQuarter{3, {0, 0, 0, 1, 1, 1}, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {1, std::sqrt(0.5), 1}};
const Spline kLoop{4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                   {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, {}};
const Spline kStraight{2, {0, 0, 3, 3}, {{0, 0, 0}, {3, 6, 0}}, {}};

double Apart(Point3 a, Point3 b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

// Every spline of the drawing traces the curve `s` (carried on past its
// ends as its end spans go; past the end of a closed one round from its
// start) at the same parameters; the points where each begins and ends.
std::vector<Point3> Traced(const Doc& doc, const Spline& s) {
  std::vector<Point3> ends;
  const double lo = SplineStart(s), hi = SplineEnd(s);
  const bool closed = Apart(CurveAndDerivative(s, lo).at, CurveAndDerivative(s, hi).at) < 1e-12;
  for (const tpoly& p : doc.d.polys) {
    if (doc.kind(p) != "SPLINE") continue;
    const Spline part = SplineOf(doc.d, p);
    EXPECT_EQ(part.order, s.order);
    EXPECT_EQ(part.weights.size(), s.weights.empty() ? 0 : part.controls.size());
    for (int k = 0; k <= 32; ++k) {
      const double v = SplineStart(part) + (SplineEnd(part) - SplineStart(part)) * k / 32;
      const double on = closed && v > hi ? v - (hi - lo) : v;
      EXPECT_LT(Apart(CurveAndDerivative(part, v).at, CurveAndDerivative(s, on).at), 1e-9) << v;
    }
    ends.push_back(CurveAndDerivative(part, SplineStart(part)).at);
    ends.push_back(CurveAndDerivative(part, SplineEnd(part)).at);
  }
  return ends;
}

// Splines cut, broken, carried on and shortened through their exact curve,
// and as the edges that cut the other kinds; written back in the file's
// way, and undone to the text they came from.
TEST(TrimExtend, SplinesThroughTheirExactCurve) {
  enum class Do { Trim, Extend, Break, Lengthen };
  struct SplineRow {
    const char* name;
    std::string entities;
    Spline curve;  // the curve the splines left trace; none for other kinds
    Do op;
    std::vector<Piece> edges;
    std::vector<Spline> curves;
    Point2 first;
    std::optional<Point2> second;
    double value;
    std::vector<Point3> ends;  // where the parts begin and end
    std::string after;         // the kinds afterwards
    int flags;                 // the spline's group 70 afterwards
  };
  const double r = std::sqrt(0.5);
  const SplineRow rows[] = {
      {"cubic cut twice by a line", SplineText(kCubic, 8), kCubic, Do::Trim, {Seg(-1, 2, 9, 2)}, {}, {3.5, 3}, {}, 0,
       {}, "SPLINE SPLINE ", 8},
      {"quarter circle cut at 45 degrees", SplineText(kQuarter, 12), kQuarter, Do::Trim, {Seg(0, 0, 2, 2)}, {},
       {1, 0.1}, {}, 0, {{r, r, 0}, {0, 1, 0}}, "SPLINE ", 12},
      {"closed loop cut open", SplineText(kLoop, 11), kLoop, Do::Trim, {Seg(2, -1, 2, 5), Seg(-1, 2, 5, 2)}, {},
       {0.7, 0.7}, {}, 0, {}, "SPLINE ", 8},
      {"fit points dropped", SplineText(kParabola, 8, {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}}), kParabola, Do::Trim,
       {Seg(-1, 0.75, 3, 0.75)}, {}, {1, 1}, {}, 0, {{0, 0, 0}, {0.5, 0.75, 0}, {1.5, 0.75, 0}, {2, 0, 0}},
       "SPLINE SPLINE ", 8},
      {"through fit points alone", SplineText({3, {}, {}, {}}, 8, {{0, 0, 0}, {2, 3, 0}, {5, 1, 0}, {8, 2, 0}}),
       SplineOfFile(3, {}, {}, {}, std::vector<Point3>{{0, 0, 0}, {2, 3, 0}, {5, 1, 0}, {8, 2, 0}}, {}, {}), Do::Trim,
       {Seg(3.5, -5, 3.5, 5)}, {}, {7, 1.5}, {}, 0, {}, "SPLINE ", 8},
      {"cut by another spline", SplineText(kParabola, 8), kParabola, Do::Trim, {},
       {{3, {0, 0, 0, 1, 1, 1}, {{0, 1.5, 0}, {1, -0.5, 0}, {2, 1.5, 0}}, {}}}, {1, 1}, {}, 0,
       {{0, 0, 0}, {0.5, 0.75, 0}, {1.5, 0.75, 0}, {2, 0, 0}}, "SPLINE SPLINE ", 8},
      {"a line cut by a spline", Line(-1, 0.75, 3, 0.75), {}, Do::Trim, {}, {kParabola}, {1, 0.75}, {}, 0, {},
       "LINE LINE ", 0},
      {"parabola carried on to a line", SplineText(kParabola, 8), kParabola, Do::Extend, {Seg(3, -5, 3, 5)}, {},
       {1.9, 0.2}, {}, 0, {{0, 0, 0}, {3, -3, 0}}, "SPLINE ", 8},
      {"line carried on to a spline", Line(1, -2, 1, -1), {}, Do::Extend, {}, {kParabola}, {1, -1.1}, {}, 0, {},
       "LINE ", 0},
      {"straight spline back to a circle", SplineText(kStraight, 8), kStraight, Do::Extend,
       {ConicPiece(Conic{{0, 0}, {std::sqrt(5.0), 0}, {0, std::sqrt(5.0)}})}, {}, {0.2, 0.4}, {}, 0,
       {{-1, -2, 0}, {3, 6, 0}}, "SPLINE ", 8},
      {"broken between two points", SplineText(kCubic, 8), kCubic, Do::Break, {}, {}, {1, 2.5}, Point2{5, 1}, 0, {},
       "SPLINE SPLINE ", 8},
      {"closed loop broken at a point", SplineText(kLoop, 11), kLoop, Do::Break, {}, {}, {2, 0.6}, {}, 0, {},
       "SPLINE ", 8},
      {"lengthened along its end span", SplineText(kStraight, 8), kStraight, Do::Lengthen, {}, {}, {2.9, 5.8}, {},
       std::sqrt(5.0), {{0, 0, 0}, {4, 8, 0}}, "SPLINE ", 8},
      {"shortened at its start", SplineText(kQuarter, 12), kQuarter, Do::Lengthen, {}, {}, {1, 0}, {}, -kPi / 4,
       {{r, r, 0}, {0, 1, 0}}, "SPLINE ", 12},
  };
  for (const SplineRow& row : rows) {
    SCOPED_TRACE(row.name);
    auto doc = Doc::Of(DrawingOf("AC1015", row.entities));
    const std::vector<std::string> before = WithoutSeed(*doc);
    const std::int32_t entry = doc->shown().at(0);
    bool done = false;
    switch (row.op) {
      case Do::Trim: done = TrimObject(doc->c, entry, row.edges, row.first, row.curves).status == S::Done; break;
      case Do::Extend: done = ExtendObject(doc->c, entry, row.edges, row.first, row.curves).status == S::Done; break;
      case Do::Break: done = BreakObject(doc->c, entry, row.first, row.second).status == ReshapeResult::Status::Done; break;
      case Do::Lengthen:
        done = LengthenObject(doc->c, entry, row.first, row.value, false).status == ReshapeResult::Status::Done;
        break;
    }
    ASSERT_TRUE(done);
    EXPECT_EQ(Kinds(*doc), row.after);
    EXPECT_EQ(doc->j.undos.size(), 1u);
    if (!row.curve.controls.empty()) {
      const std::vector<Point3> ends = Traced(*doc, row.curve);
      if (!row.ends.empty()) {
        ASSERT_EQ(ends.size(), row.ends.size());
        for (std::size_t i = 0; i < ends.size(); ++i) EXPECT_LT(Apart(ends[i], row.ends[i]), 1e-9) << i;
      }
      for (const std::string& f : Values(*doc, "70")) EXPECT_EQ(f, std::to_string(row.flags));
      EXPECT_TRUE(Values(*doc, "11").empty());
      EXPECT_TRUE(Values(*doc, "44").empty());
      for (const std::string& n : Values(*doc, "74")) EXPECT_EQ(n, "0");
      EXPECT_EQ(Values(*doc, "72").size(), Values(*doc, "73").size());
      for (const std::string& layer : Values(*doc, "8")) EXPECT_EQ(layer, "Kurve");
    } else {
      // A line cut or carried on by the parabola ends on it exactly.
      for (const tpoly& p : doc->d.polys) {
        std::string kind;
        const Path path = *CuttablePath(doc->d, static_cast<std::int32_t>(&p - doc->d.polys.data()), kind);
        for (const Point2 q : {path.pieces.front().a, path.pieces.back().b})
          if (q.y > -0.5 && q.x > -0.5 && q.x < 2.5) EXPECT_NEAR(q.y, q.x * (2 - q.x), 1e-12);
      }
    }
    const std::vector<std::string> handles = Values(*doc, "5");
    EXPECT_EQ(std::set<std::string>(handles.begin(), handles.end()).size(), handles.size());
    ASSERT_TRUE(UndoLastOperation(doc->c));
    EXPECT_EQ(WithoutSeed(*doc), before);
  }
}

// What cannot be done to a spline is refused by name, the drawing as it was.
TEST(TrimExtend, SplinesRefused) {
  auto doc = Doc::Of(DrawingOf("AC1015", SplineText(kLoop, 11)));
  const std::vector<std::string> before = WithoutSeed(*doc);
  const std::int32_t entry = doc->shown().at(0);
  const CutResult extended = ExtendObject(doc->c, entry, {Seg(10, -1, 10, 9)}, {4, 2});
  EXPECT_EQ(extended.status, S::NotThisKind);
  EXPECT_EQ(extended.kind, "SPLINE (CLOSED)");
  const ReshapeResult lengthened = LengthenObject(doc->c, entry, {4, 2}, 1, false);
  EXPECT_EQ(lengthened.status, ReshapeResult::Status::NotThisKind);
  EXPECT_EQ(lengthened.kind, "SPLINE (CLOSED)");
  // A closed curve crossed once has no part between two cuts.
  EXPECT_EQ(TrimObject(doc->c, entry, {Seg(2, -1, 2, 2)}, {0.7, 0.7}).status, S::NoCut);
  EXPECT_EQ(BreakObject(doc->c, entry, {2, 0.6}, Point2{2, 0.6}).status, ReshapeResult::Status::Done);
  ASSERT_TRUE(UndoLastOperation(doc->c));
  EXPECT_EQ(WithoutSeed(*doc), before);
  auto open = Doc::Of(DrawingOf("AC1015", SplineText(kParabola, 8)));
  EXPECT_EQ(ExtendObject(open->c, open->shown().at(0), {Seg(-5, 5, 5, 5)}, {1.9, 0.2}).status, S::NoBoundary);
  EXPECT_EQ(BreakObject(open->c, open->shown().at(0), {0, 0}, std::nullopt).status, ReshapeResult::Status::NoBreakHere);
  EXPECT_EQ(LengthenObject(open->c, open->shown().at(0), {1.9, 0.2}, -10, false).status,
            ReshapeResult::Status::NothingLeft);
  EXPECT_TRUE(open->j.undos.empty());
  // Numbers at the end of what doubles hold: refused, nothing written.
  const Spline huge{2, {0, 0, 1, 1}, {{-1e308, 0, 0}, {1e308, 1e308, 0}}, {}};
  auto far = Doc::Of(DrawingOf("AC1015", SplineText(huge, 8) + Line(0, -1e308, 0, 1e308)));
  const std::vector<std::string> farBefore = WithoutSeed(*far);
  for (const Point2 at : {Point2{0, 5e307}, Point2{1e308, 1e308}}) {
    EXPECT_NE(ExtendObject(far->c, far->shown().at(0), {Seg(1e308, -1e308, 1e308, 1e308)}, at).status, S::Done);
    EXPECT_NE(LengthenObject(far->c, far->shown().at(0), at, 1e308, false).status, ReshapeResult::Status::Done);
  }
  EXPECT_EQ(WithoutSeed(*far), farBefore);
}

}  // namespace
}  // namespace vestrel
