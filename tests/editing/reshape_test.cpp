// Join, explode, parallels, break and lengthen on small drawings: what each
// makes of lines, arcs, circles, ellipses and polylines (in R2000 and R12, in
// the plan and in the mirrored plane of CAM programs), what each refuses,
// and that undo gives the text back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "edit_support.h"
#include "editing/breaking.h"
#include "editing/corners.h"
#include "editing/parallel.h"
#include "editing/reshape.h"
#include "editing/undo.h"
#include "geometry/curves.h"
#include "geometry/path.h"
#include "geometry/spline.h"
#include "support/dxf_text.h"

namespace vestrel {
namespace {

using test::Doc;
using S = ReshapeResult::Status;

// An entity of the ENTITIES section: its kind and its groups in order.
struct Entity {
  std::string kind;
  std::vector<std::pair<int, std::string>> groups;
  double num(int code, int nth = 0) const {
    for (const auto& [g, v] : groups)
      if (g == code && nth-- == 0) return std::stod(v);
    return std::nan("");
  }
  std::string str(int code) const {
    for (const auto& [g, v] : groups)
      if (g == code) return v;
    return "(none)";
  }
};

std::vector<Entity> Entities(const Drawing& d) {
  std::vector<Entity> out;
  bool in = false;
  for (std::size_t k = 0; k + 1 < d.dxf.size(); k += 2) {
    const std::string code(Trim(d.dxf[k])), value(Trim(d.dxf[k + 1]));
    if (code == "2" && value == "ENTITIES") in = true;
    if (!in) continue;
    if (code == "0") {
      if (value == "ENDSEC") break;
      out.push_back({value, {}});
    } else if (!out.empty()) {
      out.back().groups.emplace_back(std::stoi(code), value);
    }
  }
  return out;
}

std::string Count(const std::vector<Entity>& es) {
  std::map<std::string, int> n;
  for (const Entity& e : es) ++n[e.kind];
  std::string s;
  for (const auto& [k, c] : n) s += k + "=" + std::to_string(c) + " ";
  return s;
}

// The drawing of version `acadver` with these entities.
std::string DrawingOf(const std::string& acadver, const std::string& entities) {
  return test::WithEof(test::Section("HEADER", "  9\n$ACADVER\n  1\n" + acadver + "\n  9\n$HANDSEED\n  5\n100\n") +
                       test::Section("ENTITIES", entities));
}

std::string Line(double x0, double y0, double x1, double y1, const std::string& more = "") {
  return "  0\nLINE\n  5\n" + std::to_string(static_cast<int>(x0 * 7 + y0 * 13 + x1 * 17 + y1 * 19 + 50)) +
         "\n  8\nKontur\n 62\n1\n" + more + " 10\n" + std::to_string(x0) + "\n 20\n" + std::to_string(y0) +
         "\n 30\n0\n 11\n" + std::to_string(x1) + "\n 21\n" + std::to_string(y1) + "\n 31\n0\n";
}
std::string Arc(double cx, double cy, double r, double a0, double a1, const std::string& normal = "") {
  return "  0\nARC\n  5\nA1\n  8\nBogen\n 10\n" + std::to_string(cx) + "\n 20\n" + std::to_string(cy) +
         "\n 30\n0\n 40\n" + std::to_string(r) + "\n 50\n" + std::to_string(a0) + "\n 51\n" + std::to_string(a1) +
         "\n" + normal;
}
const std::string kMinusZ = "210\n0\n220\n0\n230\n-1\n";

// The vertices of the first polyline among `es`, LWPOLYLINE or POLYLINE
// with its VERTEX entities, and whether it is closed.
Path PolylinePath(const std::vector<Entity>& es) {
  std::vector<PolyVertex> v;
  bool closed = false, in = false;
  for (const Entity& e : es) {
    if (e.kind == "LWPOLYLINE") {
      closed = static_cast<int>(e.num(70)) & 1;
      for (const auto& [g, t] : e.groups) {
        if (g == 10) v.push_back({std::stod(t), 0, 0, 0});
        if (g == 20) v.back().y = std::stod(t);
        if (g == 42) v.back().bulge = std::stod(t);
      }
      break;
    }
    if (e.kind == "POLYLINE") in = true, closed = static_cast<int>(e.num(70)) & 1;
    if (in && e.kind == "VERTEX") v.push_back({e.num(10), e.num(20), 0, std::isnan(e.num(42)) ? 0 : e.num(42)});
    if (in && e.kind == "SEQEND") break;
  }
  return PathOf(v, closed);
}

// The lines but the handle seed's, which undo leaves naming the next
// free handle.
std::vector<std::string> WithoutSeed(const Doc& doc) {
  std::vector<std::string> lines = doc.lines();
  if (doc.d.handleseedpos >= 0) lines[static_cast<std::size_t>(doc.d.handleseedpos)].clear();
  return lines;
}

void ExpectUndoGivesBack(Doc& doc, const std::vector<std::string>& before) {
  ASSERT_TRUE(UndoLastOperation(doc.c));
  std::vector<std::string> now = WithoutSeed(doc);
  EXPECT_EQ(now, before);
}

constexpr double kSquareWithArc = 100 + kPi * 25 / 2;  // a 10 x 10 square, its right side a half circle out

TEST(JoinObjects, ChainsWhatMeetsIntoOnePolyline) {
  struct Row {
    const char* name;
    const char* version;
    std::string entities;
    double tolerance;
    S status;
    std::string kinds;  // what the drawing holds afterwards
    bool closed;
    std::size_t pieces;
    double area, length;  // of the joined path (area when closed)
    int apart;
  };
  // The square's sides shuffled, two of them drawn the other way, the arc
  // among them.
  const std::string square = Line(0, 10, 10, 10) + Arc(10, 5, 5, 270, 90) + Line(0, 0, 0, 10) + Line(0, 0, 10, 0);
  const std::string mirrored = Line(0, 10, 10, 10) + Arc(-10, 5, 5, 90, 270, kMinusZ) + Line(0, 0, 0, 10) + Line(0, 0, 10, 0);
  const Row rows[] = {
      {"square out of order", "AC1015", square, 1e-6, S::Done, "LWPOLYLINE=1 ", true, 4, kSquareWithArc, 0, 0},
      {"square in R12", "AC1009", square, 1e-6, S::Done, "POLYLINE=1 SEQEND=1 VERTEX=4 ", true, 4, kSquareWithArc, 0, 0},
      {"arc of a CAM program", "AC1015", mirrored, 1e-6, S::Done, "LWPOLYLINE=1 ", true, 4, kSquareWithArc, 0, 0},
      {"gap inside", "AC1015", Line(0, 0, 10, 0) + Line(10.0009, 0, 20, 0), 1e-3, S::Done, "LWPOLYLINE=1 ", false, 2,
       0, 20, 0},
      {"two chains drawn in turn", "AC1015", Line(0, 0, 1, 0) + Line(5, 5, 6, 5) + Line(1, 0, 2, 0) + Line(6, 5, 7, 5),
       1e-6, S::Done, "LWPOLYLINE=2 ", false, 2, 0, 2, 0},
      {"an open polyline whose ends meet", "AC1015",
       "  0\nLWPOLYLINE\n  5\n40\n  8\nKontur\n 90\n5\n 70\n0\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n 10\n10\n 20\n10\n"
       " 10\n0\n 20\n10\n 10\n0\n 20\n0.0005\n",
       1e-3, S::Done, "LWPOLYLINE=1 ", true, 4, 100, 0, 0},
      {"gap outside", "AC1015", Line(0, 0, 10, 0) + Line(10.0011, 0, 20, 0), 1e-3, S::NothingToJoin, "LINE=2 ",
       false, 0, 0, 0, 0},
      {"one part off the plane", "AC1015",
       Line(0, 0, 10, 0) + Line(10, 0, 10, 10) + "  0\nLINE\n  5\nB1\n 10\n10\n 20\n10\n 30\n5\n 11\n0\n 21\n10\n 31\n5\n",
       1e-6, S::Done, "LINE=1 LWPOLYLINE=1 ", false, 2, 0, 20, 1},
      {"a circle among them", "AC1015", Line(0, 0, 10, 0) + "  0\nCIRCLE\n 10\n0\n 20\n0\n 40\n1\n", 1e-6,
       S::NotThisKind, "CIRCLE=1 LINE=1 ", false, 0, 0, 0, 0},
      {"tolerance not a number", "AC1015", square, std::nan(""), S::InvalidValue, "ARC=1 LINE=3 ", false, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf(r.version, r.entities));
    const std::vector<std::string> before = WithoutSeed(*doc);
    doc->selectAll();
    const ReshapeResult result = JoinObjects(doc->c, r.tolerance);
    EXPECT_EQ(result.status, r.status);
    EXPECT_EQ(result.apart, r.apart);
    const std::vector<Entity> es = Entities(doc->d);
    EXPECT_EQ(Count(es), r.kinds);
    if (r.status != S::Done) {
      EXPECT_EQ(WithoutSeed(*doc), before);
      EXPECT_TRUE(doc->j.undos.empty());
      continue;
    }
    const Path p = PolylinePath(es);
    EXPECT_EQ(p.closed, r.closed);
    EXPECT_EQ(p.pieces.size(), r.pieces);
    if (r.closed) {
      EXPECT_NEAR(std::abs(SignedArea(p)), r.area, 1e-9);
    } else {
      EXPECT_NEAR(Length(p), r.length, 1e-9);
    }
    // The properties of the part the chain starts with.
    for (const Entity& e : es) {
      if (e.kind == "LWPOLYLINE" || e.kind == "POLYLINE") {
        EXPECT_EQ(e.str(8), "Kontur");
      }
    }
    ExpectUndoGivesBack(*doc, before);
  }
}

TEST(JoinObjects, KeepsTheMirroredPlaneOfTheFirstArc) {
  auto doc = Doc::Of(DrawingOf("AC1015", Arc(-10, 5, 5, 90, 270, kMinusZ) + Line(10, 10, 0, 10) + Line(10, 0, 0, 0)));
  doc->selectAll();
  ASSERT_EQ(JoinObjects(doc->c, 1e-6).status, S::Done);
  const std::vector<Entity> es = Entities(doc->d);
  ASSERT_EQ(es.size(), 1u);
  EXPECT_EQ(es[0].num(230), -1);
  // In the mirrored plane the vertices have their x negated.
  for (const auto& [g, v] : es[0].groups) {
    if (g == 10) {
      EXPECT_LE(std::stod(v), 0);
    }
  }
}

TEST(ExplodeObjects, TakesPolylinesApartIntoLinesAndArcs) {
  struct Row {
    const char* name;
    const char* version;
    std::string entities;
    S status;
    std::string kinds;
    std::string arc;  // the first arc: centre, radius, angles, extrusion z
  };
  const std::string lw = "  0\nLWPOLYLINE\n  5\n40\n  8\nKontur\n 62\n3\n 90\n4\n 70\n1\n 43\n0.5\n"
                         " 10\n0\n 20\n0\n 10\n10\n 20\n0\n 42\n1\n 10\n10\n 20\n10\n 10\n0\n 20\n10\n";
  const std::string cw = "  0\nLWPOLYLINE\n  5\n41\n  8\nKontur\n 90\n2\n 70\n0\n 10\n0\n 20\n0\n 42\n-1\n 10\n10\n 20\n0\n";
  const std::string cam = "  0\nLWPOLYLINE\n  5\n42\n  8\nKontur\n 90\n2\n 70\n0\n 38\n2\n 10\n0\n 20\n0\n 42\n1\n"
                          " 10\n-10\n 20\n0\n210\n0\n220\n0\n230\n-1\n";
  const std::string r12 = "  0\nPOLYLINE\n  8\nKontur\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n 70\n0\n 40\n1\n 41\n1\n"
                          "  0\nVERTEX\n  8\nKontur\n 10\n0\n 20\n0\n 42\n1\n  0\nVERTEX\n  8\nKontur\n 10\n0\n 20\n10\n"
                          "  0\nVERTEX\n  8\nKontur\n 10\n0\n 20\n10\n  0\nVERTEX\n  8\nKontur\n 10\n5\n 20\n10\n"
                          "  0\nSEQEND\n  8\nKontur\n";
  const std::string poly3d = "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n8\n  0\nVERTEX\n  8\n0\n 10\n0\n 20\n0\n 70\n32\n"
                             "  0\nVERTEX\n  8\n0\n 10\n1\n 20\n1\n 70\n32\n  0\nSEQEND\n  8\n0\n";
  const Row rows[] = {
      {"closed, bulge out", "AC1015", lw, S::Done, "ARC=1 LINE=3 ", "10,5 r5 270..90 z(none)"},
      {"clockwise arc", "AC1015", cw, S::Done, "ARC=1 ", "5,0 r5 0..180 z(none)"},
      {"mirrored plane", "AC1015", cam, S::Done, "ARC=1 ", "-5,0 r5 0..180 z-1"},
      {"R12, widths, a repeated vertex", "AC1009", r12, S::Done, "ARC=1 LINE=1 ", "0,5 r5 270..90 z(none)"},
      {"3-D polyline", "AC1015", poly3d, S::NotThisKind, "POLYLINE=1 SEQEND=1 VERTEX=2 ", ""},
      {"a line", "AC1015", Line(0, 0, 1, 1), S::NotThisKind, "LINE=1 ", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf(r.version, r.entities));
    const std::vector<std::string> before = WithoutSeed(*doc);
    doc->selectAll();
    const ReshapeResult result = ExplodeObjects(doc->c);
    EXPECT_EQ(result.status, r.status);
    const std::vector<Entity> es = Entities(doc->d);
    EXPECT_EQ(Count(es), r.kinds);
    if (r.status != S::Done) {
      EXPECT_EQ(WithoutSeed(*doc), before);
      continue;
    }
    for (const Entity& e : es) {
      EXPECT_EQ(e.str(8), "Kontur");
      if (e.kind != "ARC") continue;
      auto n = [](double v) {
        const double r = std::round(v * 1e9) / 1e9;
        return std::to_string(static_cast<long long>(std::llround(r)));
      };
      EXPECT_EQ(n(e.num(10)) + "," + n(e.num(20)) + " r" + n(e.num(40)) + " " + n(e.num(50)) + ".." + n(e.num(51)) +
                    " z" + e.str(230),
                r.arc);
    }
    ExpectUndoGivesBack(*doc, before);
  }
}

// A number to 1e-9, as the rows below name them.
std::string N(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9f", std::round(v * 1e9) / 1e9 + 0.0);
  return std::string(text) == "-0.000000000" ? "0.000000000" : text;
}

// What the entities from `es[k]` on make: a line by its ends, an arc or
// circle by centre, radius, angles and extrusion, a polyline by how many
// pieces, whether it closes and its area (closed) or length.
std::string Made(const std::vector<Entity>& es, std::size_t k) {
  if (k >= es.size()) return "(nothing)";
  const Entity& e = es[k];
  if (e.kind == "LINE")
    return "LINE " + N(e.num(10)) + "," + N(e.num(20)) + "," + N(e.num(30)) + " " + N(e.num(11)) + "," + N(e.num(21)) +
           "," + N(e.num(31));
  if (e.kind == "ARC" || e.kind == "CIRCLE")
    return e.kind + " " + N(e.num(10)) + "," + N(e.num(20)) + " r" + N(e.num(40)) +
           (e.kind == "ARC" ? " " + N(e.num(50)) + ".." + N(e.num(51)) : "") + " z" + e.str(230);
  const Path p = PolylinePath({es.begin() + static_cast<std::ptrdiff_t>(k), es.end()});
  return e.kind + " " + std::to_string(p.pieces.size()) + (p.closed ? " area " + N(SignedArea(p)) : " length " + N(Length(p))) +
         " z" + e.str(230);
}

TEST(AddParallel, ByKindAndSide) {
  using PS = ParallelResult::Status;
  const double through = std::nan("");
  struct Row {
    const char* name;
    const char* version;
    std::string entities;
    Point2 side;
    double distance;  // NaN: through the side
    PS status;
    std::string kinds;  // what the drawing holds afterwards
    std::string made;
  };
  // A 10 x 10 square, its right side a half circle out; an L.
  const std::string closed = "  0\nLWPOLYLINE\n  5\n40\n  8\nKontur\n 62\n3\n 90\n4\n 70\n1\n 43\n0.5\n"
                             " 10\n0\n 20\n0\n 10\n10\n 20\n0\n 42\n1\n 10\n10\n 20\n10\n 10\n0\n 20\n10\n";
  const std::string r12 = "  0\nPOLYLINE\n  8\nKontur\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n 70\n1\n"
                          "  0\nVERTEX\n  8\nKontur\n 10\n0\n 20\n0\n  0\nVERTEX\n  8\nKontur\n 10\n10\n 20\n0\n 42\n1\n"
                          "  0\nVERTEX\n  8\nKontur\n 10\n10\n 20\n10\n  0\nVERTEX\n  8\nKontur\n 10\n0\n 20\n10\n"
                          "  0\nSEQEND\n  8\nKontur\n";
  const std::string ell = "  0\nLWPOLYLINE\n  5\n41\n  8\nKontur\n 90\n3\n 70\n0\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n"
                          " 10\n10\n 20\n10\n";
  // A half circle in the mirrored plane, at height 2: its centre is (5, 0).
  const std::string cam = "  0\nLWPOLYLINE\n  5\n42\n  8\nKontur\n 90\n2\n 70\n0\n 38\n2\n 10\n0\n 20\n0\n 42\n1\n"
                          " 10\n-10\n 20\n0\n210\n0\n220\n0\n230\n-1\n";
  // Two 10 x 10 squares joined by a neck 1 wide: inwards by 1 each keeps
  // 8 x 8 and a bump where the neck was, 1 - sqrt(3)/4 - pi/6 of area.
  std::string dumbbell = "  0\nLWPOLYLINE\n  5\n43\n  8\nKontur\n 90\n12\n 70\n1\n";
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{
           {0, 0}, {10, 0}, {10, 4.5}, {20, 4.5}, {20, 0}, {30, 0}, {30, 10}, {20, 10}, {20, 5.5}, {10, 5.5}, {10, 10}, {0, 10}})
    dumbbell += " 10\n" + std::to_string(x) + "\n 20\n" + std::to_string(y) + "\n";
  const std::string circle = "  0\nCIRCLE\n  5\nC1\n  8\nKontur\n 10\n0\n 20\n0\n 30\n0\n 40\n5\n";
  const std::string spline = "  0\nSPLINE\n  5\nD1\n  8\n0\n 70\n8\n 71\n1\n 72\n4\n 73\n2\n 40\n0\n 40\n0\n"
                             " 40\n1\n 40\n1\n 10\n0\n 20\n0\n 30\n0\n 10\n1\n 20\n1\n 30\n0\n";
  const Row rows[] = {
      {"line, left", "AC1015", Line(0, 0, 10, 0), {5, 5}, 2, PS::Done, "LINE=2 ", "LINE 0.000000000,2.000000000,0.000000000 10.000000000,2.000000000,0.000000000"},
      {"line, right", "AC1015", Line(0, 0, 10, 0), {50, -1}, 2, PS::Done, "LINE=2 ", "LINE 0.000000000,-2.000000000,0.000000000 10.000000000,-2.000000000,0.000000000"},
      {"line through a point", "AC1009", Line(0, 0, 10, 0), {3, 7.25}, through, PS::Done, "LINE=2 ", "LINE 0.000000000,7.250000000,0.000000000 10.000000000,7.250000000,0.000000000"},
      {"-Z arc, inside", "AC1015", Arc(-10, 5, 5, 90, 270, kMinusZ), {12, 5}, 1, PS::Done, "ARC=2 ", "ARC -10.000000000,5.000000000 r4.000000000 90.000000000..270.000000000 z-1"},
      {"-Z arc, outside", "AC1015", Arc(-10, 5, 5, 90, 270, kMinusZ), {16, 4}, 1, PS::Done, "ARC=2 ", "ARC -10.000000000,5.000000000 r6.000000000 90.000000000..270.000000000 z-1"},
      {"circle, outside", "AC1015", circle, {0, 9}, 1.5, PS::Done, "CIRCLE=2 ", "CIRCLE 0.000000000,0.000000000 r6.500000000 z(none)"},
      {"circle, inwards too far", "AC1015", circle, {0, 1}, 5, PS::Vanished, "CIRCLE=1 ", ""},
      {"closed with a bulge, outwards", "AC1015", closed, {-3, 5}, 1, PS::Done, "LWPOLYLINE=2 ", "LWPOLYLINE 6 area " + N(130 + 18.5 * kPi) + " z(none)"},
      {"closed with a bulge, inwards", "AC1015", closed, {5, 5}, 1, PS::Done, "LWPOLYLINE=2 ", "LWPOLYLINE 4 area " + N(72 + 8 * kPi) + " z(none)"},
      {"R12 contour, inwards", "AC1009", r12, {5, 5}, 1, PS::Done, "POLYLINE=2 SEQEND=2 VERTEX=8 ", "POLYLINE 4 area " + N(72 + 8 * kPi) + " z(none)"},
      {"open polyline, inside its corner", "AC1015", ell, {5, 5}, 1, PS::Done, "LWPOLYLINE=2 ", "LWPOLYLINE 2 length " + N(18) + " z(none)"},
      {"open polyline, round its corner", "AC1015", ell, {5, -3}, 1, PS::Done, "LWPOLYLINE=2 ", "LWPOLYLINE 3 length " + N(20 + kPi / 2) + " z(none)"},
      {"-Z polyline, inside", "AC1015", cam, {5, 1}, 1, PS::Done, "LWPOLYLINE=2 ", "LWPOLYLINE 1 length " + N(4 * kPi) + " z-1"},
      {"a contour that pinches apart", "AC1015", dumbbell, {5, 5}, 1, PS::Done, "LWPOLYLINE=3 ",
       "LWPOLYLINE 7 area " + N(65 - std::sqrt(3) / 4 - kPi / 6) + " z(none)"},
      {"straight spline, left", "AC1015", spline, {0, 5}, 1, PS::Done, "LWPOLYLINE=1 SPLINE=1 ",
       "LWPOLYLINE 2 length " + N(std::sqrt(2.0)) + " z(none)"},
      {"spline off its plane", "AC1015", "  0\nSPLINE\n  5\nD2\n  8\n0\n 71\n1\n 10\n0\n 20\n0\n 30\n0\n 10\n1\n 20\n1\n 30\n1\n",
       {0, 5}, 1, PS::NotThisKind, "SPLINE=1 ", ""},
      {"through a point on the line", "AC1015", Line(0, 0, 10, 0), {4, 0}, through, PS::OnTheObject, "LINE=1 ", ""},
      {"a distance of no number", "AC1015", Line(0, 0, 10, 0), {4, 1}, INFINITY, PS::InvalidValue, "LINE=1 ", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf(r.version, r.entities));
    const std::vector<std::string> before = WithoutSeed(*doc);
    const std::optional<double> distance = std::isnan(r.distance) ? std::nullopt : std::optional(r.distance);
    const ParallelResult result = AddParallel(doc->c, doc->shown().at(0), r.side, distance);
    EXPECT_EQ(result.status, r.status);
    const std::vector<Entity> es = Entities(doc->d);
    EXPECT_EQ(Count(es), r.kinds);
    if (r.status != PS::Done) {
      EXPECT_EQ(WithoutSeed(*doc), before);
      EXPECT_TRUE(doc->j.undos.empty());
      continue;
    }
    // The parallel follows its object, with its properties.
    std::size_t k = 1;
    if (es[0].kind == "POLYLINE")
      while (es[k - 1].kind != "SEQEND") ++k;
    EXPECT_EQ(Made(es, k), r.made);
    EXPECT_EQ(es[k].str(8), es[0].str(8));
    EXPECT_EQ(es[k].str(62), es[0].str(62));
    EXPECT_EQ(es[k].str(43), "(none)") << "widths are dropped";
    ExpectUndoGivesBack(*doc, before);
  }
}

// An ellipse's parallel is a closed polyline of arcs that keeps within a
// thousandth of the distance from it, at its vertices and between them, on
// the side clicked: in the plan, and in the mirrored plane (its centre at
// x = 20 in the world either way).
TEST(AddParallel, EllipseWithinAThousandthOfTheDistance) {
  for (const double mirror : {1.0, -1.0})
    for (const double side : {32.0, 21.0}) {
      SCOPED_TRACE(std::to_string(mirror) + " " + std::to_string(side));
      const std::string plane = mirror > 0 ? "" : kMinusZ;
      auto doc = Doc::Of(DrawingOf("AC1015", "  0\nELLIPSE\n  5\nE1\n  8\nKontur\n 10\n20\n 20\n0\n 30\n0\n 11\n10\n"
                                             " 21\n0\n 31\n0\n" + plane + " 40\n0.5\n 41\n0\n 42\n6.283185307179586\n"));
      ASSERT_EQ(AddParallel(doc->c, doc->shown().at(0), {side, 0}, 1).status, ParallelResult::Status::Done);
      const std::vector<Entity> es = Entities(doc->d);
      ASSERT_EQ(Count(es), "ELLIPSE=1 LWPOLYLINE=1 ");
      const Path p = PolylinePath(es);
      EXPECT_TRUE(p.closed);
      const Conic ellipse{{20, 0}, {10, 0}, {0, 5}};
      for (double u = 0; u < static_cast<double>(p.pieces.size()); u += 0.125) {
        const Point2 own = PointAt(p, u), q{mirror * own.x, own.y}, near = NearestOnConic(ellipse, q);
        EXPECT_NEAR(std::hypot(q.x - near.x, q.y - near.y), 1, 1e-3);
        EXPECT_EQ((q.x - 20) * (q.x - 20) / 100 + q.y * q.y / 25 > 1, side > 30);
      }
    }
}

// A spline's parallel is a polyline of arcs within a thousandth of the
// distance from its curve, on the side clicked: a rational quarter circle
// of radius 10 (its parallels concentric arcs), and a cubic that bends
// both ways, in the plan and in a plane from below.
TEST(AddParallel, SplineWithinAThousandthOfTheDistance) {
  const Spline quarter{3, {0, 0, 0, 1, 1, 1}, {{10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, {1, std::sqrt(0.5), 1}};
  const Spline cubic{4, {0, 0, 0, 0, 0.3, 1.1, 2, 2, 2, 2}, {{0, 0, 0}, {1, 3, 0}, {3, 4, 0}, {5, 1, 0}, {6, -2, 0}, {8, 0, 0}}, {}};
  struct Case {
    Spline s;
    Point2 side;
    double distance;
    std::string plane;
  };
  const Case cases[] = {{quarter, {1, 1}, 2, ""}, {quarter, {12, 12}, 2, ""}, {cubic, {3, 5}, 0.5, ""},
                        {cubic, {5, -1}, 0.5, ""}, {cubic, {3, 5}, 0.5, kMinusZ}};
  for (const Case& c : cases) {
    const double mirror = c.plane.empty() ? 1 : -1;
    std::string text = "  0\nSPLINE\n  5\nD1\n  8\nKontur\n" + c.plane + " 70\n" + (c.s.weights.empty() ? "8" : "12") +
                       "\n 71\n" + std::to_string(c.s.order - 1) + "\n";
    for (const double k : c.s.knots) text += " 40\n" + N(k) + "\n";
    for (const double w : c.s.weights) text += " 41\n" + N(w) + "\n";
    // Written in the world: x mirrored when the plane is seen from below.
    for (const Point3& p : c.s.controls) text += " 10\n" + N(p.x * mirror) + "\n 20\n" + N(p.y) + "\n 30\n0\n";
    auto doc = Doc::Of(DrawingOf("AC1015", text));
    ASSERT_EQ(AddParallel(doc->c, doc->shown().at(0), {c.side.x * mirror, c.side.y}, c.distance).status,
              ParallelResult::Status::Done);
    const std::vector<Entity> es = Entities(doc->d);
    ASSERT_EQ(Count(es), "LWPOLYLINE=1 SPLINE=1 ");
    EXPECT_EQ(es[1].str(230), c.plane.empty() ? "(none)" : "-1");
    const Path p = PolylinePath(es);
    ASSERT_GE(p.pieces.size(), 2u);
    for (double u = 0; u <= static_cast<double>(p.pieces.size()); u += 0.125) {
      const Point2 q = PointAt(p, u);
      const Point3 near = CurveAndDerivative(c.s, NearestSplineParameter(c.s, q)).at;
      EXPECT_NEAR(std::hypot(q.x - near.x, q.y - near.y), c.distance, c.distance / 1000) << u;
    }
    // On the side clicked: the parallel's middle is nearer the click than
    // the curve's.
    const Point2 mid = PointAt(p, p.pieces.size() / 2.0);
    const Point3 on = CurveAndDerivative(c.s, NearestSplineParameter(c.s, mid)).at;
    EXPECT_LT(std::hypot(mid.x - c.side.x, mid.y - c.side.y), std::hypot(on.x - c.side.x, on.y - c.side.y));
  }
}

// The world ends of what break and lengthen leave, "x,y>x,y" per object
// in the order of the file (only planes of +Z and -Z here), and their
// total length.
struct Left {
  std::string ends;
  double length = 0;
};
Left LeftOf(const std::vector<Entity>& es) {
  Left l;
  auto add = [&l](Point2 a, Point2 b) {
    auto n = [](double v) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.9g", std::round(v * 1e6) / 1e6 + 0.0);
      return std::string(buf);
    };
    l.ends += (l.ends.empty() ? "" : "; ") + n(a.x) + "," + n(a.y) + ">" + n(b.x) + "," + n(b.y);
  };
  for (const Entity& e : es) {
    const double nz = std::isnan(e.num(230)) ? 1 : e.num(230);
    if (e.kind == "LINE") {
      add({e.num(10), e.num(20)}, {e.num(11), e.num(21)});
      l.length += std::hypot(e.num(11) - e.num(10), e.num(21) - e.num(20));
    } else if (e.kind == "ARC") {
      const double r = e.num(40), a0 = e.num(50) * kPi / 180, a1 = e.num(51) * kPi / 180;
      add({nz * (e.num(10) + r * std::cos(a0)), e.num(20) + r * std::sin(a0)},
          {nz * (e.num(10) + r * std::cos(a1)), e.num(20) + r * std::sin(a1)});
      l.length += r * std::fmod(a1 - a0 + 4 * kPi, 2 * kPi);
    } else if (e.kind == "ELLIPSE") {
      Conic k;
      k.c = {e.num(10), e.num(20)}, k.u = {e.num(11), e.num(21)};
      k.v = {-nz * k.u.y * e.num(40), nz * k.u.x * e.num(40)};
      k.t0 = e.num(41), k.t1 = e.num(42), k.full = false;
      add(k.at(k.t0), k.at(k.t1));
      l.length += Length(ConicPiece(k));
    } else if (e.kind == "LWPOLYLINE" || e.kind == "POLYLINE") {
      const Path p = PolylinePath(es);
      add(PointAt(p, 0), PointAt(p, static_cast<double>(p.pieces.size())));
      l.length += Length(p);
    }
  }
  return l;
}

std::string Circle(double r, const std::string& normal = "") {
  return "  0\nCIRCLE\n  5\nC1\n  8\nBogen\n 10\n0\n 20\n0\n 30\n0\n 40\n" + std::to_string(r) + "\n" + normal;
}
// An ellipse round the origin, its major axis 10 along x, half as wide,
// from parameter t0 to t1.
std::string Ellipse(double t0, double t1, const std::string& normal = "") {
  auto n = [](double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return std::string(buf);
  };
  return "  0\nELLIPSE\n  5\nE1\n  8\nBogen\n100\nAcDbEntity\n100\nAcDbEllipse\n 10\n0\n 20\n0\n 30\n0\n 11\n10\n"
         " 21\n0\n 31\n0\n" + normal + " 40\n0.5\n 41\n" + n(t0) + "\n 42\n" + n(t1) + "\n";
}
// The 10 x 10 square, its right side a half circle out (counter-clockwise).
const std::string kBulgedSquare = "  0\nLWPOLYLINE\n  5\n40\n  8\nKontur\n 90\n4\n 70\n1\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n"
                                  " 42\n1\n 10\n10\n 20\n10\n 10\n0\n 20\n10\n";
const std::string kBulgedSquareR12 = "  0\nPOLYLINE\n  8\nKontur\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n 70\n1\n"
                                     "  0\nVERTEX\n  8\nKontur\n 10\n0\n 20\n0\n  0\nVERTEX\n  8\nKontur\n 10\n10\n 20\n0\n 42\n1\n"
                                     "  0\nVERTEX\n  8\nKontur\n 10\n10\n 20\n10\n  0\nVERTEX\n  8\nKontur\n 10\n0\n 20\n10\n"
                                     "  0\nSEQEND\n  8\nKontur\n";
// Open: straight along x, then a half circle up to (10, 10).
const std::string kHook = "  0\nLWPOLYLINE\n  5\n41\n  8\nKontur\n 90\n3\n 70\n0\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n"
                          " 42\n1\n 10\n10\n 20\n10\n";
const std::string kSpline = "  0\nSPLINE\n  5\n50\n  8\n0\n 70\n8\n 71\n3\n 72\n8\n 73\n4\n"
                            " 40\n0\n 40\n0\n 40\n0\n 40\n0\n 40\n1\n 40\n1\n 40\n1\n 40\n1\n"
                            " 10\n0\n 20\n0\n 10\n1\n 20\n1\n 10\n2\n 20\n1\n 10\n3\n 20\n0\n";

double HalfEllipse() {
  Conic k;
  k.u = {10, 0}, k.v = {0, 5}, k.t0 = 0, k.t1 = kPi, k.full = false;
  return Length(ConicPiece(k));
}

// What a break or a lengthen of the one object `entity` of `drawing` left:
// the kinds, their ends and total length, on the object's layer and in its
// plane, one undo step that gives the text back; when refused, nothing
// changed.
template <class Edit>
void ExpectLeft(const std::string& drawing, const std::string& entity, Edit edit, S status, const std::string& kinds,
                const std::string& ends, double length) {
  auto doc = Doc::Of(drawing);
  const std::vector<std::string> before = WithoutSeed(*doc);
  EXPECT_EQ(edit(*doc).status, status);
  const std::vector<Entity> es = Entities(doc->d);
  EXPECT_EQ(Count(es), kinds);
  if (status != S::Done) {
    EXPECT_EQ(WithoutSeed(*doc), before);
    EXPECT_TRUE(doc->j.undos.empty());
    return;
  }
  const Left left = LeftOf(es);
  EXPECT_EQ(left.ends, ends);
  EXPECT_NEAR(left.length, length, 1e-9);
  const std::size_t layer = entity.find("  8\n") + 4;
  for (const Entity& e : es)
    if (e.kind != "VERTEX" && e.kind != "SEQEND") {
      EXPECT_EQ(e.str(8), entity.substr(layer, entity.find('\n', layer) - layer));
      EXPECT_EQ(e.str(230), entity.find("230\n-1") != std::string::npos ? "-1" : "(none)");
    }
  EXPECT_EQ(doc->j.undos.size(), 1u);
  ExpectUndoGivesBack(*doc, before);
}

TEST(BreakObject, TakesOutThePartBetweenThePoints) {
  struct Row {
    const char* name;
    const char* version;
    std::string entity;
    Point2 first;
    std::optional<Point2> second;
    S status;
    std::string kinds, ends;
    double length;
  };
  const double c30 = 10 * std::cos(kPi / 6), s30 = 5, c60 = 5, s60 = 10 * std::sin(kPi / 3);
  const Row rows[] = {
      {"line", "AC1015", Line(0, 0, 10, 0), {3, 0}, Point2{6, 0}, S::Done, "LINE=2 ", "0,0>3,0; 6,0>10,0", 7},
      {"line, points the other way", "AC1015", Line(0, 0, 10, 0), {6, 0}, Point2{3, 0}, S::Done, "LINE=2 ",
       "0,0>3,0; 6,0>10,0", 7},
      {"line at one point", "AC1015", Line(0, 0, 10, 0), {4, 0}, std::nullopt, S::Done, "LINE=2 ", "0,0>4,0; 4,0>10,0",
       10},
      {"line, the second point on the first", "AC1015", Line(0, 0, 10, 0), {4, 0}, Point2{4, 0}, S::Done, "LINE=2 ",
       "0,0>4,0; 4,0>10,0", 10},
      {"line from its start", "AC1015", Line(0, 0, 10, 0), {0, 0}, Point2{4, 0}, S::Done, "LINE=1 ", "4,0>10,0", 6},
      {"arc", "AC1015", Arc(0, 0, 10, 0, 180), {c30, s30}, Point2{c60, s60}, S::Done, "ARC=2 ",
       "10,0>8.660254,5; 5,8.660254>-10,0", 10 * kPi * 5 / 6},
      {"arc in the mirrored plane", "AC1015", Arc(0, 0, 10, 0, 180, kMinusZ), {-c30, s30}, Point2{-c60, s60}, S::Done,
       "ARC=2 ", "-10,0>-8.660254,5; -5,8.660254>10,0", 10 * kPi * 5 / 6},
      {"circle: counter-clockwise from the first point goes", "AC1015", Circle(10), {10, 0}, Point2{0, 10}, S::Done,
       "ARC=1 ", "0,10>10,0", 15 * kPi},
      {"circle, points the other way", "AC1015", Circle(10), {0, 10}, Point2{10, 0}, S::Done, "ARC=1 ", "10,0>0,10",
       5 * kPi},
      {"circle in the mirrored plane, as the drawing shows it", "AC1015", Circle(10, kMinusZ), {10, 0}, Point2{0, 10},
       S::Done, "ARC=1 ", "10,0>0,10", 15 * kPi},
      {"closed polyline with a bulge", "AC1015", kBulgedSquare, {0, 5}, Point2{5, 0}, S::Done, "LWPOLYLINE=1 ",
       "5,0>0,5", 20 + 5 * kPi},
      {"closed polyline opened at one point", "AC1015", kBulgedSquare, {5, 0}, std::nullopt, S::Done, "LWPOLYLINE=1 ",
       "5,0>5,0", 30 + 5 * kPi},
      {"closed polyline in R12", "AC1009", kBulgedSquareR12, {0, 5}, Point2{5, 0}, S::Done,
       "POLYLINE=1 SEQEND=1 VERTEX=5 ", "5,0>0,5", 20 + 5 * kPi},
      {"open polyline on its arc", "AC1015", kHook, {15, 5}, Point2{10, 10}, S::Done, "LWPOLYLINE=1 ", "0,0>15,5",
       10 + 2.5 * kPi},
      {"whole ellipse", "AC1015", Ellipse(0, 2 * kPi), {10, 0}, Point2{-10, 0}, S::Done, "ELLIPSE=1 ", "-10,0>10,0",
       HalfEllipse()},
      {"whole ellipse in the mirrored plane, as the drawing shows it", "AC1015", Ellipse(0, 2 * kPi, kMinusZ), {10, 0},
       Point2{-10, 0}, S::Done, "ELLIPSE=1 ", "10,0>-10,0", HalfEllipse()},
      {"elliptic arc at one point", "AC1015", Ellipse(0, kPi), {0, 5}, std::nullopt, S::Done, "ELLIPSE=2 ",
       "10,0>0,5; 0,5>-10,0", HalfEllipse()},
      // Nothing changes.
      {"circle at one point", "AC1015", Circle(10), {10, 0}, std::nullopt, S::NoBreakHere, "CIRCLE=1 ", "", 0},
      {"line at its end", "AC1015", Line(0, 0, 10, 0), {10, 0}, std::nullopt, S::NoBreakHere, "LINE=1 ", "", 0},
      {"line from end to end", "AC1015", Line(0, 0, 10, 0), {0, 0}, Point2{10, 0}, S::NothingLeft, "LINE=1 ", "", 0},
      {"spline taken away from end to end", "AC1015", kSpline, {0, 0}, Point2{3, 0}, S::NothingLeft, "SPLINE=1 ", "", 0},
      {"second point not a number", "AC1015", Line(0, 0, 10, 0), {3, 0}, Point2{std::nan(""), 0}, S::InvalidValue,
       "LINE=1 ", "", 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ExpectLeft(DrawingOf(r.version, r.entity), r.entity,
               [&r](Doc& doc) { return BreakObject(doc.c, doc.shown().at(0), r.first, r.second); }, r.status, r.kinds,
               r.ends, r.length);
  }
}

TEST(BreakObject, KeepsThePolylinesWidths) {
  struct Row {
    const char* name;
    const char* version;
    std::string entity;
    std::string widths;  // the groups 40, 41 and 43 of what is left, in order
  };
  const std::string taper = "  0\nLWPOLYLINE\n  5\n40\n  8\n0\n 90\n2\n 70\n0\n 10\n0\n 20\n0\n 40\n0\n 41\n2\n"
                            " 10\n10\n 20\n0\n";
  const std::string constant = "  0\nLWPOLYLINE\n  5\n40\n  8\n0\n 90\n2\n 70\n0\n 43\n0.5\n 10\n0\n 20\n0\n"
                               " 10\n10\n 20\n0\n";
  const std::string r12 = "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n0\n 40\n1\n 41\n1\n  0\nVERTEX\n  8\n0\n 10\n0\n 20\n0\n"
                          "  0\nVERTEX\n  8\n0\n 10\n10\n 20\n0\n  0\nSEQEND\n  8\n0\n";
  const Row rows[] = {
      {"tapering", "AC1015", taper, "40=0 41=0.4 40=0.4 41=0.4 40=0.8 41=2 40=2 41=2 "},
      {"one width all along", "AC1015", constant, "43=0.5 43=0.5 "},
      {"R12, the widths of the polyline", "AC1009", r12, "40=1 41=1 40=1 41=1 "},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf(r.version, r.entity));
    ASSERT_EQ(BreakObject(doc->c, doc->shown().at(0), {2, 0}, Point2{4, 0}).status, S::Done);
    std::string widths;
    for (const Entity& e : Entities(doc->d))
      for (const auto& [g, v] : e.groups)
        if (g == 40 || g == 41 || g == 43) widths += std::to_string(g) + "=" + v + " ";
    EXPECT_EQ(widths, r.widths);
  }
}

TEST(LengthenObject, MovesTheEndNearerTheClick) {
  struct Row {
    const char* name;
    std::string entity;
    Point2 near;
    double value;
    bool total;
    S status;
    std::string kinds, ends;
    double length;
  };
  const Row rows[] = {
      {"line at its end", Line(0, 0, 10, 0), {9, 0}, 5, false, S::Done, "LINE=1 ", "0,0>15,0", 15},
      {"line at its start", Line(0, 0, 10, 0), {1, 0}, 5, false, S::Done, "LINE=1 ", "-5,0>10,0", 15},
      {"line shortened", Line(0, 0, 10, 0), {9, 0}, -4, false, S::Done, "LINE=1 ", "0,0>6,0", 6},
      {"line to a total", Line(0, 0, 10, 0), {9, 0}, 4, true, S::Done, "LINE=1 ", "0,0>4,0", 4},
      {"arc along its circle", Arc(0, 0, 10, 0, 90), {0, 10}, 5 * kPi, false, S::Done, "ARC=1 ", "10,0>-10,0",
       10 * kPi},
      {"arc in the mirrored plane at the end clicked", Arc(0, 0, 10, 0, 90, kMinusZ), {0, 10}, 5 * kPi, false,
       S::Done, "ARC=1 ", "-10,0>10,0", 10 * kPi},
      {"open polyline at its arc end", kHook, {10, 9}, 10 + 2.5 * kPi, true, S::Done, "LWPOLYLINE=1 ", "0,0>15,5",
       10 + 2.5 * kPi},
      {"open polyline at its straight start", kHook, {1, 0}, 2, false, S::Done, "LWPOLYLINE=1 ", "-2,0>10,10",
       12 + 5 * kPi},
      {"elliptic arc to a half", Ellipse(0, kPi / 2), {0, 5}, HalfEllipse(), true, S::Done, "ELLIPSE=1 ",
       "10,0>-10,0", HalfEllipse()},
      // Nothing changes.
      {"shortened to nothing", Line(0, 0, 10, 0), {9, 0}, -10, false, S::NothingLeft, "LINE=1 ", "", 0},
      {"a total of 0", Line(0, 0, 10, 0), {9, 0}, 0, true, S::NothingLeft, "LINE=1 ", "", 0},
      {"arc closing on itself", Arc(0, 0, 10, 0, 270), {0, -10}, 5 * kPi, false, S::WouldClose, "ARC=1 ", "", 0},
      {"closed polyline", kBulgedSquare, {0, 5}, 1, false, S::NotThisKind, "LWPOLYLINE=1 ", "", 0},
      {"circle", Circle(10), {10, 0}, 1, false, S::NotThisKind, "CIRCLE=1 ", "", 0},
      {"length not a number", Line(0, 0, 10, 0), {9, 0}, std::nan(""), false, S::InvalidValue, "LINE=1 ", "", 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ExpectLeft(DrawingOf("AC1015", r.entity), r.entity,
               [&r](Doc& doc) { return LengthenObject(doc.c, doc.shown().at(0), r.near, r.value, r.total); },
               r.status, r.kinds, r.ends, r.length);
  }
}

// --- fillet and chamfer ----------------------------------------------------

// An end of a line or arc in the world (the mirrored plane's x negated).
std::vector<Point2> Ends(const Entity& e) {
  if (e.kind == "LINE") return {{e.num(10), e.num(20)}, {e.num(11), e.num(21)}};
  const double s = e.num(230) < 0 ? -1 : 1, r = e.num(40);
  auto at = [&](double deg) {
    return Point2{s * (e.num(10) + r * std::cos(deg * kPi / 180)), e.num(20) + r * std::sin(deg * kPi / 180)};
  };
  return {at(e.num(50)), at(e.num(51))};
}
double Gap(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y); }
bool Touches(Point2 p, const Entity& e) {
  for (const Point2 q : Ends(e))
    if (Gap(p, q) < 1e-9) return true;
  return false;
}
// How far the fillet arc `f` (its centre in the world) lies from the line
// or circle of `e`, less its radius: 0 when tangent.
double Tangency(const Entity& f, const Entity& e) {
  const Point2 c{(f.num(230) < 0 ? -1 : 1) * f.num(10), f.num(20)};
  const double r = f.num(40);
  if (e.kind == "LINE") {
    const auto ends = Ends(e);
    const Point2 a = ends[0], b = ends[1];
    const double d = std::abs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / Gap(a, b);
    return d - r;
  }
  const Point2 ce{(e.num(230) < 0 ? -1 : 1) * e.num(10), e.num(20)};
  const double d = Gap(c, ce), big = e.num(40);
  return std::min(std::abs(d - (big + r)), std::abs(d - std::abs(big - r)));
}

TEST(MakeCorner, RoundsAndBevelsPairsOfObjects) {
  using CS = CornerResult::Status;
  struct Row {
    const char* name;
    const char* version;
    std::string entities;
    Point2 pick1, pick2;  // picks of the first and second entity (the same for a polyline)
    CornerSize size;
    CS status;
    std::string kinds;  // what the drawing holds afterwards
    // The new object: "c(x,y) r" of an arc, "arc" for one only checked
    // for tangency, "(x,y)-(x,y)" of a line; none for a sharp corner.
    std::string join;
  };
  const CornerSize r2{false, 2}, r0{false, 0}, c23{true, 0, 2, 3};
  const std::string corner = Line(0, 0, 12, 0) + Line(10, -2, 10, 10);
  // The corner vertex with widths, which both vertices that stand in for
  // it keep.
  const std::string lw = "  0\nLWPOLYLINE\n  5\n40\n  8\nKontur\n 90\n3\n 70\n0\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n"
                         " 40\n0.5\n 41\n0.5\n 10\n10\n 20\n10\n";
  const std::string r12 = "  0\nPOLYLINE\n  5\n41\n  8\nKontur\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n 70\n0\n"
                          "  0\nVERTEX\n  5\n42\n  8\nKontur\n 10\n0\n 20\n0\n"
                          "  0\nVERTEX\n  5\n43\n  8\nKontur\n 10\n10\n 20\n0\n"
                          "  0\nVERTEX\n  5\n44\n  8\nKontur\n 10\n10\n 20\n10\n  0\nSEQEND\n  5\n45\n  8\nKontur\n";
  const std::string circle = "  0\nCIRCLE\n  5\nC1\n  8\n0\n 10\n20\n 20\n0\n 40\n3\n";
  const Row rows[] = {
      {"line/line", "AC1015", corner, {2, 0}, {10, 8}, r2, CS::Done, "ARC=1 LINE=2 ", "c(8,2) r2"},
      {"line/line, the other corner", "AC1015", corner, {11, 0}, {10, -1}, CornerSize{false, 1}, CS::Done,
       "ARC=1 LINE=2 ", "c(11,-1) r1"},
      {"line/line, radius 0", "AC1015", corner, {2, 0}, {10, 8}, r0, CS::Done, "LINE=2 ", ""},
      {"line/line, in R12", "AC1009", corner, {2, 0}, {10, 8}, r2, CS::Done, "ARC=1 LINE=2 ", "c(8,2) r2"},
      {"line/line chamfer", "AC1015", corner, {2, 0}, {10, 8}, c23, CS::Done, "LINE=3 ", "(8,0)-(10,3)"},
      {"lines that do not reach", "AC1015", Line(0, 0, 5, 0) + Line(10, 3, 10, 10), {2, 0}, {10, 8}, r2, CS::Done,
       "ARC=1 LINE=2 ", "c(8,2) r2"},
      // The line runs through the arc's circle: the fillet is at the
      // crossing on the arc, inside the circle.
      {"line/arc", "AC1015", Line(0, 2, 20, 2) + Arc(10, 5, 5, 270, 90), {2, 2}, {13.5, 8.5}, r2, CS::Done,
       "ARC=2 LINE=1 ", "c(12.8284,4) r2"},
      {"line/arc of a CAM program", "AC1015", Line(0, 2, 20, 2) + Arc(-10, 5, 5, 90, 270, kMinusZ), {2, 2},
       {13.5, 8.5}, CornerSize{false, 1}, CS::Done, "ARC=2 LINE=1 ", "c(-13.4641,3) r1"},
      {"arc/arc", "AC1015", Arc(0, 0, 5, 0, 180) + Arc(8, 0, 5, 0, 180), {-3, 4}, {11, 4}, CornerSize{false, 1},
       CS::Done, "ARC=3 ", "arc"},
      {"polyline vertex", "AC1015", lw, {5, 0}, {10, 5}, r2, CS::Done, "LWPOLYLINE=1 ", "4 vertices"},
      {"polyline vertex in R12", "AC1009", r12, {5, 0}, {10, 5}, r2, CS::Done, "POLYLINE=1 SEQEND=1 VERTEX=4 ",
       "4 vertices"},
      {"polyline vertex chamfer", "AC1015", lw, {5, 0}, {10, 5}, c23, CS::Done, "LWPOLYLINE=1 ", "4 vertices"},
      {"parallel lines", "AC1015", Line(0, 0, 10, 0) + Line(0, 5, 10, 5), {2, 0}, {2, 5}, r2, CS::Parallel,
       "LINE=2 ", ""},
      {"tangent line and arc", "AC1015", Line(0, 0, 20, 0) + Arc(10, 5, 5, 180, 360), {2, 0}, {14, 2}, r2,
       CS::NoCorner, "ARC=1 LINE=1 ", ""},
      {"radius too large", "AC1015", Line(0, 0, 3, 0) + Line(3, 0, 3, 3), {1, 0}, {3, 1}, CornerSize{false, 50},
       CS::TooLarge, "LINE=2 ", ""},
      {"chamfer longer than the line", "AC1015", corner, {2, 0}, {10, 8}, CornerSize{true, 0, 20, 1}, CS::TooLarge,
       "LINE=2 ", ""},
      {"a circle", "AC1015", Line(0, 0, 30, 0) + circle, {2, 0}, {20, 3}, r2, CS::NotThisKind, "CIRCLE=1 LINE=1 ", ""},
      {"chamfer of an arc", "AC1015", Line(0, 2, 20, 2) + Arc(10, 5, 5, 270, 90), {2, 2}, {13.5, 8.5}, c23,
       CS::NotThisKind, "ARC=1 LINE=1 ", ""},
      {"arc off the plane", "AC1015", Line(0, 2, 20, 2) + Arc(10, 5, 5, 270, 90, "210\n0\n220\n1\n230\n0\n"),
       {2, 2}, {13.5, 8.5}, r2, CS::NoCorner, "ARC=1 LINE=1 ", ""},
      {"segments that do not meet", "AC1015",
       "  0\nLWPOLYLINE\n  5\n40\n  8\nKontur\n 90\n4\n 70\n0\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n"
       " 10\n10\n 20\n10\n 10\n20\n 20\n10\n",
       {5, 0}, {15, 10}, r2, CS::NoCorner, "LWPOLYLINE=1 ", ""},
      {"radius not a number", "AC1015", corner, {2, 0}, {10, 8}, CornerSize{false, std::nan("")}, CS::InvalidValue,
       "LINE=2 ", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf(r.version, r.entities));
    const std::vector<std::string> before = WithoutSeed(*doc);
    const std::vector<std::int32_t> shown = doc->shown();
    const bool same = r.kinds.find("POLYLINE") != std::string::npos;
    ASSERT_GE(shown.size(), same ? 1u : 2u);
    const std::vector<Entity> was = Entities(doc->d);
    const CornerResult result =
        MakeCorner(doc->c, {shown[0], r.pick1}, {shown[same ? 0 : 1], r.pick2}, r.size);
    EXPECT_EQ(result.status, r.status);
    const std::vector<Entity> es = Entities(doc->d);
    EXPECT_EQ(Count(es), r.kinds);
    if (r.status != CS::Done) {
      EXPECT_EQ(WithoutSeed(*doc), before);
      EXPECT_TRUE(doc->j.undos.empty());
      if (r.status == CS::NotThisKind) {
        EXPECT_TRUE(result.kind == "CIRCLE" || result.kind == "ARC") << result.kind;
      }
      continue;
    }
    if (same) {
      const Path p = PolylinePath(es);
      EXPECT_EQ(std::to_string(p.pieces.size() + 1) + " vertices", r.join);
      // The corner cut off: 2 along the first segment; the rest as it was.
      EXPECT_NEAR(p.pieces[0].b.x, 8, 1e-12);
      EXPECT_NEAR(p.pieces[2].a.y, r.size.chamfer ? 3 : 2, 1e-12);
      EXPECT_NEAR(p.pieces[1].bulge, r.size.chamfer ? 0 : std::tan(kPi / 8), 1e-12);
      if (es[0].kind == "LWPOLYLINE") {
        EXPECT_EQ(es[0].num(40, 1), 0.5);
        EXPECT_EQ(es[0].num(90), 4);
      }
      ExpectUndoGivesBack(*doc, before);
      continue;
    }
    // The two objects keep their handles and their order; what is new
    // follows the first.
    ASSERT_EQ(es.size(), r.join.empty() ? 2u : 3u);
    const Entity& a = es[0];
    const Entity& b = es.back();
    EXPECT_EQ(a.str(5), was[0].str(5));
    EXPECT_EQ(b.str(5), was[1].str(5));
    if (r.join.empty()) {
      // A sharp corner: the two meet.
      EXPECT_TRUE(Touches(Ends(b)[0], a) || Touches(Ends(b)[1], a));
      ExpectUndoGivesBack(*doc, before);
      continue;
    }
    const Entity& j = es[1];
    EXPECT_EQ(j.str(8), a.str(8)) << "the properties of the first";
    EXPECT_EQ(j.str(62), a.str(62));
    const std::vector<Point2> ends = Ends(j);
    EXPECT_TRUE((Touches(ends[0], a) && Touches(ends[1], b)) || (Touches(ends[1], a) && Touches(ends[0], b)));
    if (j.kind == "ARC") {
      EXPECT_NEAR(j.num(40), r.size.radius, 1e-12);
      EXPECT_NEAR(Tangency(j, a), 0, 1e-9);
      EXPECT_NEAR(Tangency(j, b), 0, 1e-9);
      EXPECT_EQ(j.str(230), b.kind == "ARC" ? b.str(230) : a.str(230)) << "the plane of the arc";
      if (r.join[0] == 'c') {
        char text[64];
        std::snprintf(text, sizeof text, "c(%g,%g) r%g", j.num(10), j.num(20), j.num(40));
        EXPECT_EQ(text, r.join);
      }
    } else {
      char text[64];
      std::snprintf(text, sizeof text, "(%g,%g)-(%g,%g)", j.num(10), j.num(20), j.num(11), j.num(21));
      EXPECT_EQ(text, r.join);
    }
    ExpectUndoGivesBack(*doc, before);
  }
}

TEST(MakeAllCorners, RoundsEveryVertexOfAPolyline) {
  const std::string square = "  0\nLWPOLYLINE\n  5\n40\n  8\nKontur\n 90\n4\n 70\n1\n 43\n0.5\n 10\n0\n 20\n0\n"
                             " 10\n10\n 20\n0\n 10\n10\n 20\n10\n 10\n0\n 20\n10\n";
  struct Row {
    const char* name;
    const char* version;
    std::string entities;
    CornerSize size;
    int made, left;
    double area;
  };
  const std::string r12 = "  0\nPOLYLINE\n  5\n41\n  8\nKontur\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n 70\n1\n"
                          "  0\nVERTEX\n  5\n42\n  8\nKontur\n 10\n0\n 20\n0\n"
                          "  0\nVERTEX\n  5\n43\n  8\nKontur\n 10\n10\n 20\n0\n"
                          "  0\nVERTEX\n  5\n44\n  8\nKontur\n 10\n10\n 20\n10\n"
                          "  0\nVERTEX\n  5\n46\n  8\nKontur\n 10\n0\n 20\n10\n  0\nSEQEND\n  5\n45\n  8\nKontur\n";
  const Row rows[] = {
      {"closed square", "AC1015", square, {false, 1}, 4, 0, 100 - 4 + kPi},
      {"closed square in R12", "AC1009", r12, {false, 1}, 4, 0, 100 - 4 + kPi},
      {"closed square bevelled", "AC1015", square, {true, 0, 1, 1}, 4, 0, 100 - 2},
      {"radius larger than the sides", "AC1015", square, {false, 11}, 0, 4, 100},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto doc = Doc::Of(DrawingOf(r.version, r.entities));
    const std::vector<std::string> before = WithoutSeed(*doc);
    const CornerResult result = MakeAllCorners(doc->c, doc->shown()[0], r.size);
    EXPECT_EQ(result.made, r.made);
    EXPECT_EQ(result.left, r.left);
    const Path p = PolylinePath(Entities(doc->d));
    EXPECT_NEAR(std::abs(SignedArea(p)), r.area, 1e-9);
    if (r.made == 0) {
      EXPECT_EQ(result.status, CornerResult::Status::NoCorner);
      EXPECT_EQ(WithoutSeed(*doc), before);
      continue;
    }
    EXPECT_EQ(p.pieces.size(), 8u);
    EXPECT_TRUE(p.closed);
    ExpectUndoGivesBack(*doc, before);
  }
}

}  // namespace
}  // namespace vestrel
