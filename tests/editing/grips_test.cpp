// Dragging single grips: the value lines behind each kind of grip, in the
// object's own plane, and the viewport's grips.
#include "editing/grips.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "document/grammar.h"
#include "edit_support.h"
#include "editing/objectmap.h"
#include "editing/objectplane.h"
#include "support/dxf_text.h"

namespace vestrel {
namespace {

struct GripCase {
  const char* what;
  std::string entity;
  Point2 grip;  // where the grip is drawn
  int mode;     // and what it stands for
  Point2 d, at;
  std::vector<std::pair<const char*, const char*>> written;  // group code, its value after the drag
};

int GripAt(const Drawing& d, Point2 at, int mode) {
  const auto pts = d.ps(d.polys[0]);
  for (std::size_t i = 0; i < pts.size(); ++i)
    if (std::abs(pts[i].x - at.x) < 1e-9 && std::abs(pts[i].y - at.y) < 1e-9 && pts[i].mode == mode &&
        pts[i].linex > 0)
      return static_cast<int>(i);
  return -1;
}

TEST(MovePoint, WritesTheLinesBehindTheGrip) {
  const std::string mirroredArc = "  0\nARC\n 10\n-5\n 20\n0\n 30\n0\n 40\n2\n 50\n0\n 51\n90\n 230\n-1\n";
  // Round (0, 0), its major axis (4, 0), its minor axis 2 long.
  const std::string halfEllipse = "  0\nELLIPSE\n 10\n0\n 20\n0\n 11\n4\n 21\n0\n 31\n0\n 40\n0.5\n 41\n0\n 42\n3.141592653589793\n";
  const GripCase cases[] = {
      {"the end of a line", "  0\nLINE\n 10\n0\n 20\n0\n 11\n10\n 21\n5\n", {10, 5}, 0, {2, 3}, {12, 8},
       {{"11", "12"}, {"21", "8"}, {"10", "0"}}},
      {"the radius of a circle", "  0\nCIRCLE\n 10\n0\n 20\n0\n 40\n1\n", {1, 0}, 1, {2, 4}, {3, 4}, {{"40", "5"}}},
      {"the start angle of an arc", "  0\nARC\n 10\n0\n 20\n0\n 40\n1\n 50\n0\n 51\n90\n", {1, 0}, 3, {-1, -1},
       {0, -1}, {{"50", "-90"}, {"51", "90"}}},
      {"the minor axis of an ellipse",
       "  0\nELLIPSE\n 10\n0\n 20\n0\n 11\n4\n 21\n0\n 40\n0.5\n 41\n0\n 42\n6.283185307179586\n", {0, 2}, 2,
       {0, 1}, {0, 3}, {{"40", "0.75"}}},
      // Past the major axis the axes swap: the ratio stays at most 1, and
      // an arc's parameters go back a quarter turn, its ends staying put.
      {"the minor axis of an ellipse past the major one",
       "  0\nELLIPSE\n 10\n0\n 20\n0\n 11\n4\n 21\n0\n 40\n0.5\n 41\n0\n 42\n6.283185307179586\n", {0, 2}, 2,
       {0, 6}, {0, 8}, {{"11", "0"}, {"21", "8"}, {"40", "0.5"}, {"41", "0"}, {"42", "6.283185307179586"}}},
      {"the minor axis of an elliptical arc past the major one", halfEllipse, {0, 2}, 2, {0, 6}, {0, 8},
       {{"11", "0"}, {"21", "8"}, {"31", "0"}, {"40", "0.5"}, {"41", "4.71238898038469"}, {"42", "1.5707963267949"}}},
      {"the minor axis of a mirrored ellipse past the major one", halfEllipse + " 230\n-1\n", {0, -2}, 2, {0, -6},
       {0, -8}, {{"11", "0"}, {"21", "-8"}, {"40", "0.5"}}},
      // A mirrored arc keeps its points with the x axis along -x.
      {"the centre of a mirrored arc", mirroredArc, {5, 0}, 0, {1, 2}, {6, 2}, {{"10", "-6"}, {"20", "2"}}},
      {"the start angle of a mirrored arc", mirroredArc, {3, 0}, 3, {0, 0}, {6, 0}, {{"50", "180"}, {"51", "90"}}},
      {"a vertex of a mirrored polyline", "  0\nLWPOLYLINE\n 90\n2\n 10\n1\n 20\n1\n 10\n3\n 20\n1\n 230\n-1\n",
       {-3, 1}, 0, {-2, 0.5}, {-5, 1.5}, {{"10", "5"}, {"20", "1.5"}}},
  };
  for (const GripCase& c : cases) {
    SCOPED_TRACE(c.what);
    Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", c.entity)));
    Journal j;
    FileState f;
    const int tab = 0;
    DocumentContext ctx{d, j, f, tab};
    const int grip = GripAt(d, c.grip, c.mode);
    ASSERT_GE(grip, 0);
    const std::string before = d.dxf.join("\n");
    MovePoint(ctx, 0, grip, c.d, c.at);
    for (const auto& [code, value] : c.written) {
      // The last pair of that code, as a polyline's second vertex is the one dragged.
      int line = -1;
      for (int n = 0; test::GroupLine(d, code, n) >= 0; ++n) line = test::GroupLine(d, code, n);
      ASSERT_GE(line, 0) << code;
      EXPECT_EQ(d.value(line), value) << code;
    }
    EXPECT_TRUE(f.changed);
    ASSERT_EQ(j.undos.size(), 1u);
    UndoLastStep(j, d.dxf);
    EXPECT_EQ(d.dxf.join("\n"), before);
  }
  // An ellipse left without a minor axis, or one too short for other
  // programs: refused, nothing done.
  for (const Point2 at : {Point2{0, 0}, Point2{0, 1e-7}, Point2{0, 1e7}}) {
    SCOPED_TRACE(at.y);
    const auto doc = test::Doc::Of(test::WithEof(test::Section("ENTITIES", halfEllipse)));
    const auto before = doc->lines();
    EXPECT_EQ(MovePoint(doc->c, 0, GripAt(doc->d, {0, 2}, 2), {at.x, at.y - 2}, at), EditResult::ZeroAxis);
    EXPECT_EQ(doc->lines(), before);
    EXPECT_TRUE(doc->j.undos.empty());
    EXPECT_FALSE(doc->f.changed);
  }
}

TEST(MovePoint, ViewportGripsChangeItsFrameAndItsView) {
  // A viewport 8 wide and 4 high round (10, 10), showing 20 model units
  // round (100, 50).
  const std::string viewport =
      "  0\nVIEWPORT\n 67\n1\n 10\n10\n 20\n10\n 40\n8\n 41\n4\n 68\n1\n 69\n2\n 12\n100\n 22\n50\n 45\n20\n";
  struct Case {
    const char* what;
    int grip;
    Point2 d;
    std::vector<std::pair<const char*, const char*>> written;
  } cases[] = {
      {"the lower left corner", 0, {1, 1}, {{"10", "10.5"}, {"20", "10.5"}, {"40", "7"}, {"41", "3"}, {"45", "20"}}},
      {"the upper right corner", 2, {2, -1}, {{"10", "11"}, {"20", "9.5"}, {"40", "10"}, {"41", "3"}}},
      {"a corner past the opposite one", 0, {9, 0}, {{"10", "10"}, {"40", "8"}}},
      {"the pan grip", 5, {2, 1}, {{"12", "110"}, {"22", "55"}, {"10", "10"}}},
      // The zoom grip a quarter of the height above the centre, dragged to
      // two units from it: the view shows half as much.
      {"the zoom grip", 6, {0, 1}, {{"45", "10"}, {"40", "8"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", viewport)));
    Journal j;
    FileState f;
    const int tab = 0;
    DocumentContext ctx{d, j, f, tab};
    ASSERT_TRUE(d.polys[0].isviewport());
    MovePoint(ctx, 0, c.grip, c.d, {0, 0});
    for (const auto& [code, value] : c.written) EXPECT_EQ(d.value(test::GroupLine(d, code)), value) << code;
  }
  // The dialog's values, all seven written back.
  Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", viewport)));
  Journal j;
  FileState f;
  const int tab = 0;
  DocumentContext ctx{d, j, f, tab};
  ViewportValues v = ViewportValuesOf(d, 0);
  EXPECT_EQ(v.Breite, 8);
  EXPECT_EQ(v.HoeheInhalt, 20);
  v.MitteX = 12, v.HoeheInhalt = 40, v.InhaltY = 60;
  SetViewportValues(ctx, 0, v);
  EXPECT_EQ(d.value(test::GroupLine(d, "10")), "12");
  EXPECT_EQ(d.value(test::GroupLine(d, "45")), "40");
  EXPECT_EQ(d.value(test::GroupLine(d, "22")), "60");
  EXPECT_EQ(j.undos.size(), 1u);
}

// Which kinds keep their points in the plane of their extrusion is said
// once: the grips drag them there and an edit of the whole object maps them
// there, and both agree with what the reader draws. Each object lies at
// x = 5 in its own coordinates, its extrusion (0, 0, -1): in the plan at
// x = -5 when it has a plane.
TEST(ObjectPlane, GripsEditsAndTheReaderAgreeOnTheKindsWithAPlane) {
  struct Case {
    const char* kind;
    std::string groups;
    bool planar;
  };
  const Case cases[] = {
      {"CIRCLE", " 10\n5\n 20\n0\n 40\n1\n", true},
      {"ARC", " 10\n5\n 20\n0\n 40\n1\n 50\n0\n 51\n90\n", true},
      {"TEXT", " 10\n5\n 20\n0\n 40\n1\n  1\nA\n", true},
      {"ATTDEF", " 10\n5\n 20\n0\n 40\n1\n  1\nA\n  2\nTAG\n", true},
      {"INSERT", "  2\nB\n 10\n5\n 20\n0\n", true},
      {"SOLID", " 10\n5\n 20\n0\n 11\n6\n 21\n0\n 12\n5\n 22\n1\n", true},
      {"TRACE", " 10\n5\n 20\n0\n 11\n6\n 21\n0\n 12\n5\n 22\n1\n", true},
      {"LINE", " 10\n5\n 20\n0\n 11\n6\n 21\n0\n", false},
      {"MTEXT", " 10\n5\n 20\n0\n 40\n1\n  1\nA\n", false},
      {"POINT", " 10\n5\n 20\n0\n", false},
      {"ELLIPSE", " 10\n5\n 20\n0\n 11\n1\n 21\n0\n 40\n0.5\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    const std::string object = "  0\n" + std::string(c.kind) + "\n" + c.groups + "210\n0\n220\n0\n230\n-1\n";
    Drawing d;
    d.dxf.assign(object);
    const auto last = static_cast<std::int32_t>(d.dxf.size()) - 1;
    const ObjectPlane plane = ObjectPlaneOf(d.dxf, 0, last);
    EXPECT_EQ(plane.planar, c.planar);
    EXPECT_EQ(plane.xaxis.x, c.planar ? -1 : 1);
    // Moved one to the right in the plan: x goes one down in a plane
    // seen from below.
    LineEdits edits;
    MapObject(d.dxf, 0, last, EditMap::Move(1, 0), edits);
    std::string x10;
    for (const auto& [line, text] : edits.overwrite)
      if (Trim(d.dxf[static_cast<std::size_t>(line) - 1]) == "10") x10 = text;
    EXPECT_EQ(x10, c.planar ? "4" : "6");
    // The reader puts what it draws where the plane says.
    const Drawing read = test::Parsed(test::Section("ENTITIES", object));
    if (GrammarOf(c.kind)->kind == Kind::None) continue;
    ASSERT_EQ(read.polys.size(), 1u);
    EXPECT_EQ(read.polys[0].kind, GrammarOf(c.kind)->kind);
    const tpoly& p = read.polys[0];
    const bool centred = p.kind == Kind::CIRCLE || p.kind == Kind::ARC || p.kind == Kind::ELLIPSE;
    const double x = centred ? p.cx : read.ps(p)[0].x;
    EXPECT_EQ(x, c.planar ? -5 : 5);
  }
}

}  // namespace
}  // namespace vestrel
