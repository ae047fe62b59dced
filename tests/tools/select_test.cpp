// Snapping and selection with the mouse, through the editor's handlers.
// The view is one pixel per drawing unit without scrolling, so drawing
// point (x, y) is pixel (x, 599 - y) of the 800 x 600 drawing area.
#include "tools/select.h"

#include <gtest/gtest.h>

#include <charconv>
#include <vector>

#include "i18n/msg.h"
#include "support/dxf_text.h"
#include "support/fake_platform.h"
#include "tools/editor.h"
#include "tools/snap.h"

namespace vestrel {
namespace {

const char* const kLayers =
    "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n0\n 70\n0\n 62\n7\n"
    "  0\nLAYER\n  2\nLOCKED\n 70\n4\n 62\n1\n  0\nLAYER\n  2\nOFF\n 70\n0\n 62\n-5\n  0\nENDTAB\n";

// The shortest text that reads back as v.
std::string Num(double v) {
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

std::string Line(double x1, double y1, double x2, double y2, const char* layer = "0") {
  return "  0\nLINE\n  8\n" + std::string(layer) + "\n 10\n" + Num(x1) + "\n 20\n" + Num(y1) + "\n 11\n" + Num(x2) +
         "\n 21\n" + Num(y2) + "\n";
}

std::string Polyline(const std::vector<Point2>& pts, bool closed = false) {
  std::string s = "  0\nLWPOLYLINE\n  8\n0\n 70\n" + std::string(closed ? "1" : "0") + "\n";
  for (const Point2& p : pts) s += " 10\n" + Num(p.x) + "\n 20\n" + Num(p.y) + "\n";
  return s;
}

// Pixel row of drawing y.
constexpr double Row(double y) { return 599 - y; }

class SelectTest : public ::testing::Test {
 protected:
  void Load(const std::string& entities) {
    editor.drawing.dxf.assign(test::WithEof(test::Section("TABLES", kLayers) + test::Section("ENTITIES", entities)));
    processdxf(editor.drawing);
    editor.view.zoomedvalue = 100;
    editor.view.HorzScrollbarPosition = editor.view.VertScrollbarPosition = 0;
    editor.tool = {};
    platform.repaints = 0;
  }
  std::vector<bool> Selected() const {
    std::vector<bool> s;
    for (const tpoly& p : editor.drawing.polys) s.push_back(p.selected);
    return s;
  }
  // The drawing area's transform, as a click makes it.
  ScreenTransform Transform() const { return WindowTransform(editor.views); }
  test::FakePlatform platform;
  Editor editor{platform};
};

TEST_F(SelectTest, AClickCatchesVerticesAndSegmentsOrGrabsTheSelection) {
  enum Outcome { Shown, Window, Drag, Grip };
  struct Case {
    const char* what;
    bool before;  // the line is selected
    double px, py;
    bool shift;
    bool after;
    Outcome outcome;
  } cases[] = {
      {"3 pixels off a vertex in x and y", false, 103, Row(103), false, true, Shown},
      {"4 pixels off a vertex", false, 104, Row(104), false, false, Window},
      {"a selected object's grip 5 pixels off", true, 105, Row(105), false, true, Grip},
      {"6 pixels off a selected object's vertex", true, 106, Row(106), false, true, Window},
      {"2.9 pixels from the middle", false, 200, Row(102.9), false, true, Shown},
      {"3.0 pixels from the middle", false, 200, Row(103), false, false, Window},
      {"on the segment", false, 200, Row(100), false, true, Shown},
      {"on a selected object's segment", true, 200, Row(100), false, true, Drag},
      {"Shift on a selected object's segment", true, 200, Row(100), true, false, Shown},
      {"Shift on a selected object's grip", true, 300, Row(100), true, false, Shown},
      {"Shift on an unselected vertex", false, 300, Row(100), true, false, Shown},
      // Caught by its vertex first, then by the segment as a selected
      // object: the drag begins, and the new selection is shown.
      {"3 beyond the end, on the line", false, 303, Row(100), false, true, Drag},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(Line(100, 100, 300, 100));
    editor.drawing.polys[0].selected = c.before;
    editor.tool = {};
    SelectAt(editor, Transform(), c.px, c.py, c.shift);
    const ToolState& t = editor.tool;
    EXPECT_EQ(editor.drawing.polys[0].selected, c.after);
    EXPECT_EQ(t.inmassselect, c.outcome == Window);
    EXPECT_EQ(t.inmove, c.outcome == Drag);
    EXPECT_EQ(t.inmovepoint, c.outcome == Grip);
    EXPECT_EQ(platform.repaints, c.before != c.after || c.outcome == Shown ? 1 : 0);
    if (c.outcome == Grip) {
      EXPECT_EQ(t.moveobjnr, 0);
      EXPECT_EQ(t.movepointnr, 0);
      EXPECT_EQ(t.linesx, 100);
      EXPECT_EQ(t.linesy, 100);
    }
    if (c.outcome != Shown && c.outcome != Grip) {
      EXPECT_DOUBLE_EQ(t.linesx, c.px);  // the pointer in drawing units
      EXPECT_DOUBLE_EQ(t.linesy, 599 - c.py);
    }
    if (c.outcome == Drag || c.outcome == Grip) {
      EXPECT_EQ(t.movestartx, c.px);
    }
  }
}

TEST_F(SelectTest, OneClickOnASharedVertexCatchesEveryObjectThere) {
  Load(Line(100, 100, 200, 100) + Line(100, 100, 100, 200) + Line(0, 100, 100, 100) + Line(300, 300, 400, 300));
  editor.PaintBox1MouseDown(MouseButton::Left, {}, 100, Row(100));
  EXPECT_EQ(Selected(), (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(platform.repaints, 1);
  // The right and middle buttons select nothing.
  editor.tool = {};
  editor.PaintBox1MouseDown(MouseButton::Right, {}, 300, Row(300));
  editor.PaintBox1MouseDown(MouseButton::Middle, {}, 300, Row(300));
  EXPECT_FALSE(editor.drawing.polys[3].selected);
  EXPECT_FALSE(editor.tool.inmassselect);
}

TEST_F(SelectTest, APressAndReleaseOnTheSelectionChangesNothing) {
  Load(Line(100, 100, 300, 100));
  editor.drawing.polys[0].selected = true;
  const std::string before = editor.drawing.dxf.join("\n");
  for (const double px : {200.0, 100.0}) {  // a segment: a drag; a vertex: a grip
    editor.PaintBox1MouseDown(MouseButton::Left, {}, static_cast<int>(px), Row(100));
    EXPECT_TRUE(editor.tool.inmove || editor.tool.inmovepoint);
    editor.PaintBox1MouseUp(MouseButton::Left, {}, static_cast<int>(px), Row(100));
    EXPECT_FALSE(editor.tool.inmove || editor.tool.inmovepoint);
  }
  EXPECT_EQ(editor.drawing.dxf.join("\n"), before);
  EXPECT_TRUE(editor.drawing.polys[0].selected);
  EXPECT_TRUE(editor.undos.undos.empty());
}

TEST_F(SelectTest, TheSelectionDraggedMovesByThePointersWay) {
  Load(Line(100, 100, 300, 100) + Line(100, 300, 300, 300));
  editor.drawing.polys[0].selected = true;
  editor.PaintBox1MouseDown(MouseButton::Left, {}, 200, Row(100));
  ASSERT_TRUE(editor.tool.inmove);
  const ShiftState noSnap{false, true};
  editor.PaintBox1MouseMove(noSnap, 250, static_cast<int>(Row(130)));
  editor.PaintBox1MouseUp(MouseButton::Left, noSnap, 250, static_cast<int>(Row(130)));
  EXPECT_FALSE(editor.tool.inmove);
  const Drawing& d = editor.drawing;
  EXPECT_EQ(d.value(d.polys[0].linefrom + 5), "150");
  EXPECT_EQ(d.value(d.polys[0].linefrom + 7), "130");
  EXPECT_EQ(d.value(d.polys[1].linefrom + 5), "100");  // not selected: it stays
  EXPECT_EQ(editor.undos.undos.size(), 1u);
}

TEST_F(SelectTest, AGripDraggedOntoAPointLandsExactlyThere) {
  Load(Line(100, 100, 300, 100) + Line(350.25, 200.5, 400, 200));
  editor.drawing.polys[0].selected = true;
  editor.PaintBox1MouseDown(MouseButton::Left, {}, 300, Row(100));
  ASSERT_TRUE(editor.tool.inmovepoint);
  editor.PaintBox1MouseMove({}, 352, static_cast<int>(Row(199)));
  editor.PaintBox1MouseUp(MouseButton::Left, {}, 352, static_cast<int>(Row(199)));
  EXPECT_FALSE(editor.tool.inmovepoint);
  const Drawing& d = editor.drawing;
  EXPECT_EQ(d.value(d.polys[0].linefrom + 9), "350.25");
  EXPECT_EQ(d.value(d.polys[0].linefrom + 11), "200.5");
  EXPECT_EQ(d.value(d.polys[0].linefrom + 5), "100");  // the other end stays
  EXPECT_EQ(editor.undos.undos.size(), 1u);
  EXPECT_EQ(editor.tool.anzrem, 0);
}

TEST_F(SelectTest, TheBoxesApplyToTheSelectionAndADoubleClickEditsItsText) {
  Load(Line(100, 100, 200, 100) + Line(100, 200, 200, 200) + "  0\nMTEXT\n  8\n0\n 10\n300\n 20\n300\n 40\n5\n  1\nalt\n");
  Drawing& d = editor.drawing;
  d.polys[0].selected = true;
  editor.ColorComboBoxChange(2);  // "Rot"
  EXPECT_FALSE(d.polys[0].selected);  // a parse ends the selection
  d.polys[0].selected = true;
  editor.LayerComboChange(1);  // the table's second layer
  EXPECT_EQ(d.polys[0].colornr, 1);
  EXPECT_EQ(d.layer(d.polys[0]), "LOCKED");
  EXPECT_FALSE(d.polys[1].colorispresent);
  EXPECT_EQ(editor.undos.undos.size(), 2u);
  // A drawing without a version holds no line weights.
  editor.LineWeightBoxChange(7);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].nr, msg::NoLineWeights);
  // A double click on the selected text's insertion point.
  d.polys[2].selected = true;
  platform.messages.clear();
  platform.textDialog.answers.push_back({[](TextDialogValues& v) { v.Memo1 = "neu"; }});
  editor.tool.lastmousex = 302, editor.tool.lastmousey = static_cast<int>(Row(296));
  editor.PaintBox1DblClick();
  ASSERT_EQ(platform.textDialog.shown.size(), 1u);
  EXPECT_EQ(platform.textDialog.shown[0].Memo1, "alt");
  EXPECT_TRUE(platform.textDialog.shown[0].textChange);
  EXPECT_FALSE(editor.dialogs.text.textChange);
  EXPECT_EQ(d.text(d.polys[2]).textstr, "neu");
  // Farther than 5 pixels nothing opens.
  editor.tool.lastmousex = 306;
  editor.PaintBox1DblClick();
  EXPECT_EQ(platform.textDialog.shown.size(), 1u);
}

TEST_F(SelectTest, AWindowCatchesObjectsWithAVertexInside) {
  // A long polyline, a line crossing the window without a vertex in it, and
  // a line on a locked layer with its vertex inside.
  const std::string drawing = Polyline({{0, 0}, {150, 150}, {700, 0}}) + Line(120, 0, 120, 500) +
                              Line(140, 140, 300, 300, "LOCKED");
  struct Case {
    const char* what;
    Point2 from, to;  // pixels
    bool shift;
    std::vector<bool> selected;
    bool repaint;
  } cases[] = {
      {"one vertex of the polyline inside", {140, Row(160)}, {160, Row(140)}, false, {true, false, false}, true},
      {"corners the other way round", {160, Row(140)}, {140, Row(160)}, false, {true, false, false}, true},
      {"the vertex on the window's edge", {170, Row(170)}, {150, Row(150)}, false, {true, false, false}, true},
      {"with Shift: taken out", {140, Row(160)}, {160, Row(140)}, true, {false, true, true}, true},
      {"segments crossing, no vertex inside", {110, Row(20)}, {130, Row(40)}, false, {false, false, false}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(drawing);
    for (tpoly& p : editor.drawing.polys) p.selected = c.shift;
    platform.xor_.clear();
    // Press on empty ground, move, press again.
    editor.PaintBox1MouseDown(MouseButton::Left, {}, static_cast<int>(c.from.x), static_cast<int>(c.from.y));
    ASSERT_TRUE(editor.tool.inmassselect);
    editor.PaintBox1MouseMove({}, 400, 400);
    editor.PaintBox1MouseMove({}, static_cast<int>(c.to.x), static_cast<int>(c.to.y));
    EXPECT_EQ(editor.tool.anzrem, 4);  // the window's four sides, the first ones erased
    ASSERT_EQ(platform.xor_.size(), 12u);
    const tremove& side = platform.xor_[8];
    EXPECT_EQ(side.x1, c.from.x);
    EXPECT_EQ(side.y1, c.from.y);
    EXPECT_EQ(side.x2, c.to.x);
    EXPECT_EQ(side.y2, c.from.y);
    editor.PaintBox1MouseDown(MouseButton::Left, {.shift = c.shift}, static_cast<int>(c.to.x),
                              static_cast<int>(c.to.y));
    EXPECT_FALSE(editor.tool.inmassselect);
    EXPECT_EQ(platform.xor_.size(), 16u);  // erased
    EXPECT_EQ(editor.tool.anzrem, 0);
    EXPECT_EQ(Selected(), c.selected);
    EXPECT_EQ(editor.drawing.polys[0].massselected, c.repaint);
    EXPECT_EQ(platform.repaints, c.repaint ? 1 : 0);
  }
}

TEST_F(SelectTest, LockedAndSwitchedOffLayers) {
  Load(Line(100, 100, 300, 100, "LOCKED") + Line(100, 200, 300, 200, "OFF") + Line(100, 300, 300, 300));
  // Neither is caught by a click or a window; what is not drawn is not
  // caught either.
  for (const double y : {100.0, 200.0}) {
    editor.tool = {};
    SelectAt(editor, Transform(), 200, Row(y), false);
    EXPECT_TRUE(editor.tool.inmassselect) << y;
  }
  EXPECT_FALSE(MassSelect(editor, Transform(), 0, Row(0), 799, Row(250), false));
  EXPECT_EQ(Selected(), (std::vector<bool>{false, false, false}));
  // "Alles Auswählen" leaves the locked layer out; "Nichts auswählen" takes
  // everything out.
  editor.AllesAuswhlen1Click();
  EXPECT_EQ(Selected(), (std::vector<bool>{false, true, true}));
  EXPECT_TRUE(editor.IsSelected());
  editor.drawing.polys[0].selected = true;
  editor.Nichtsauswhlen1Click();
  EXPECT_EQ(Selected(), (std::vector<bool>{false, false, false}));
  EXPECT_FALSE(editor.IsSelected());
  EXPECT_EQ(platform.repaints, 2);
  // The locked line can be snapped to, the one switched off not.
  double x = 303, y = Row(102), ex = 0, ey = 0;
  EXPECT_TRUE(SnapPoints(editor, Transform(), x, y, x, y, ex, ey, {}));
  EXPECT_EQ(ex, 300);
  x = 303, y = Row(202);
  EXPECT_FALSE(SnapPoints(editor, Transform(), x, y, x, y, ex, ey, {}));
}

TEST_F(SelectTest, OnlyWhatIsDrawnIsHit) {
  // A hatch of two squares: no segment joins them, though their points
  // follow one another; a closed polyline's closing side is there.
  Load("  0\nHATCH\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n  2\nSOLID\n 70\n1\n 91\n2\n"
       " 92\n2\n 72\n0\n 73\n1\n 93\n4\n 10\n100\n 20\n100\n 10\n200\n 20\n100\n 10\n200\n 20\n200\n 10\n100\n 20\n200\n"
       " 92\n2\n 72\n0\n 73\n1\n 93\n4\n 10\n300\n 20\n300\n 10\n400\n 20\n300\n 10\n400\n 20\n400\n 10\n300\n 20\n400\n"
       " 97\n0\n 75\n0\n 76\n1\n 98\n0\n" +
       Polyline({{500, 100}, {600, 100}, {600, 200}}, true));
  struct Case {
    const char* what;
    Point2 at;  // drawing units
    std::vector<bool> selected;
  } cases[] = {
      // The second square starts at (300, 300): from the end of the first,
      // (100, 100), no segment leads there.
      {"between the squares", {250, 250}, {false, false}},
      {"inside the first square", {150, 150}, {false, false}},
      {"a side of the second", {350, 300}, {true, false}},
      {"the closing side", {550, 150}, {false, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (tpoly& p : editor.drawing.polys) p.selected = false;
    SelectAt(editor, Transform(), c.at.x, Row(c.at.y), false);
    EXPECT_EQ(Selected(), c.selected);
  }
}

TEST_F(SelectTest, SnappingAlignsWithTheReferenceOrCatchesTheNearestPoint) {
  struct Case {
    const char* what;
    std::string drawing;
    Point2 ref, pointer;  // pixels
    bool ctrl;
    bool caught;
    Point2 result;  // pixels
    Point2 world;   // what was caught
  } cases[] = {
      {"5 to the right of the reference: its x", "", {400, 300}, {405, 340}, false, false, {400, 340}, {}},
      {"6 to the right: unchanged", "", {400, 300}, {406, 340}, false, false, {406, 340}, {}},
      {"the diagonal", "", {400, 300}, {420, 318}, false, false, {420, 320}, {}},
      {"above left on the diagonal", "", {400, 300}, {380, 283}, false, false, {380, 280}, {}},
      {"vertical, not diagonal", "", {400, 300}, {403, 340}, false, false, {400, 340}, {}},
      {"horizontal", "", {400, 300}, {440, 296}, false, false, {440, 300}, {}},
      {"the nearer of two vertices", Line(104, 100, 0, 0) + Line(97, 100, 0, 0), {200, 200}, {100, Row(100)}, false,
       true, {97, Row(100)}, {97, 100}},
      {"equal distances: the first", Line(103, 100, 0, 0) + Line(97, 100, 0, 0), {200, 200}, {100, Row(100)}, false,
       true, {103, Row(100)}, {103, 100}},
      {"equal distances: the first, other order", Line(97, 100, 0, 0) + Line(103, 100, 0, 0), {200, 200},
       {100, Row(100)}, false, true, {97, Row(100)}, {97, 100}},
      {"5 off in x and in y", Line(105, 105, 0, 0), {200, 200}, {100, Row(100)}, false, true, {105, Row(105)}, {105, 105}},
      {"6 off in x", Line(106, 100, 0, 0), {200, 200}, {100, Row(100)}, false, false, {100, Row(100)}, {}},
      {"Ctrl: exactly the pointer", Line(101, 100, 0, 0), {100, Row(100)}, {100, Row(100)}, true, false,
       {100, Row(100)}, {}},
      {"the exact coordinates", Line(100.123456789, 99.987654321, 0, 0), {200, 200}, {102, Row(100)}, false, true,
       {100, Row(100)}, {100.123456789, 99.987654321}},
      // A half circle from (100,100) to (120,100) below its chord: its
      // middle vertex (110,90) and its centre (110,100), a snap point, lie
      // 5 from (110,95).
      {"an entry's points before its snap points",
       "  0\nLWPOLYLINE\n  8\n0\n 70\n0\n 10\n100\n 20\n100\n 42\n1\n 10\n120\n 20\n100\n", {200, 200},
       {110, Row(95)}, false, true, {110, Row(90)}, {110, 90}},
      {"a centre", "  0\nCIRCLE\n  8\n0\n 10\n300\n 20\n300\n 40\n50\n", {200, 200}, {302, Row(299)}, false, true,
       {300, Row(300)}, {300, 300}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(c.drawing);
    platform.xor_.clear();
    double x = c.pointer.x, y = c.pointer.y, ex = -1, ey = -1;
    EXPECT_EQ(SnapPoints(editor, Transform(), c.ref.x, c.ref.y, x, y, ex, ey, {.ctrl = c.ctrl}), c.caught);
    EXPECT_EQ(x, c.result.x);
    EXPECT_EQ(y, c.result.y);
    if (!c.caught) {
      EXPECT_EQ(ex, -1);  // untouched
      EXPECT_TRUE(platform.xor_.empty());
      continue;
    }
    EXPECT_NEAR(ex, c.world.x, 1e-9);
    EXPECT_NEAR(ey, c.world.y, 1e-9);
    // The marker: a square 10 pixels wide round the caught point, kept for
    // erasing.
    ASSERT_EQ(platform.xor_.size(), 4u);
    EXPECT_EQ(editor.tool.anzrem, 4);
    const int sx = static_cast<int>(c.result.x), sy = static_cast<int>(c.result.y);
    const tremove& top = platform.xor_[0];
    EXPECT_EQ(std::vector<int>({top.x1, top.y1, top.x2, top.y2}), std::vector<int>({sx - 5, sy - 5, sx + 5, sy - 5}));
    const tremove& left = platform.xor_[3];
    EXPECT_EQ(std::vector<int>({left.x1, left.y1, left.x2, left.y2}), std::vector<int>({sx - 5, sy + 5, sx - 5, sy - 5}));
  }
}

TEST_F(SelectTest, LinesDrawnToACaughtVertexMeetExactly) {
  Load(Line(0.1, 0.2, 123.456789012345, 98.7654321098765));
  double ex1 = 0, ey1 = 0, ex2 = 1, ey2 = 1;
  double x = 124, y = Row(99);
  ASSERT_TRUE(SnapPoints(editor, Transform(), x, y, x, y, ex1, ey1, {}));
  x = 120, y = Row(97);
  ASSERT_TRUE(SnapPoints(editor, Transform(), 300, 300, x, y, ex2, ey2, {}));
  EXPECT_EQ(ex1, ex2);
  EXPECT_EQ(ey1, ey2);
  EXPECT_EQ(ex1, 123.456789012345);
  EXPECT_EQ(ey1, 98.7654321098765);
}

}  // namespace
}  // namespace vestrel
