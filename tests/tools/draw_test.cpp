// The drawing tools, click by click through the window's events: what each
// writes into a new R2000 and a new R12 drawing, and the rubber band that
// each leaves on the screen.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <random>
#include <tuple>
#include <string>
#include <vector>

#include "i18n/msg.h"
#include "support/editor_steps.h"
#include "tools/editor.h"
#include "view/textlayout.h"

namespace vestrel {
namespace {

using namespace test;  // the steps of a case

// What a case writes: the kind of each new entity and points each must
// have among its own (in drawing units).
struct Written {
  const char* kind;
  std::vector<Point2> points;
};

class DrawTest : public ::testing::Test {
 protected:
  // A new drawing of the version, one pixel per unit with the origin at
  // pixel (100, 500).
  void Start(bool r12) {
    screen_ = std::make_unique<EditorOnScreen>(r12);
    before_ = ed().drawing.polys.size();
  }
  Point2 Pixel(double x, double y) { return DXF2Bildschirm(ed().views, x, y); }
  void Run(const std::vector<Step>& steps) { RunSteps(ed(), steps); }
  void Expect(const std::vector<Written>& written) {
    const Drawing& d = ed().drawing;
    ASSERT_EQ(d.polys.size(), before_ + written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
      const tpoly& p = d.polys[before_ + i];
      EXPECT_EQ(d.value(p.linefrom + 1), written[i].kind) << i;
      for (const Point2 want : written[i].points) {
        bool found = false;
        for (const Tmypoi& q : d.ps(p)) found = found || (std::abs(q.x - want.x) < 1e-9 && std::abs(q.y - want.y) < 1e-9);
        EXPECT_TRUE(found) << written[i].kind << " has no point " << want.x << ", " << want.y;
      }
    }
  }

  // The value of the entry's first group `code` ("1", "40", ...), as written.
  std::string Group(const tpoly& p, std::string_view code) {
    const Drawing& d = ed().drawing;
    for (std::int32_t i = p.linefrom; i < p.linebis; i += 2)
      if (d.value(i) == code) return std::string(d.value(i + 1));
    return "(none)";
  }

  Editor& ed() { return *screen_->editor; }
  test::FakePlatform& pf() { return *screen_->platform; }

  std::unique_ptr<EditorOnScreen> screen_;
  std::size_t before_ = 0;
};

TEST_F(DrawTest, EachToolWritesWhatItsClicksSay) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<Written> r2000, r12 = {};  // r12 empty: as in R2000
    bool r12Refused = false;              // R12 has no such entities: the tool is refused
    std::size_t undoSteps = 0;            // when not one per entity
  } cases[] = {
      {"a chain of lines, ended by the right button",
       {C(&Editor::LineBtnClick), L(0, 0), L(100, 0), L(100, 50), R()},
       {{"LINE", {{0, 0}, {100, 0}}}, {"LINE", {{100, 0}, {100, 50}}}}},
      {"construction lines through one point",
       {C(&Editor::Konstruktionslinie1Click), L(0, 0), L(10, 0), L(0, 10), R()},
       {{"XLINE", {}}, {"XLINE", {}}}, {}, true},
      {"a ray", {C(&Editor::Strahl1Click), L(0, 0), L(10, 10), R()}, {{"RAY", {}}}, {}, true},
      {"a polyline finished open",
       {C(&Editor::PolyLineBtnClick), L(0, 0), L(50, 0), L(50, 50), C(&Editor::Fertig1Click)},
       {{"LWPOLYLINE", {{0, 0}, {50, 0}, {50, 50}}}},
       {{"POLYLINE", {{0, 0}, {50, 0}, {50, 50}}}}},
      {"a polyline closed",
       {C(&Editor::PolyLineBtnClick), L(0, 0), L(50, 0), L(50, 50), C(&Editor::Linienzugschlieen1Click)},
       {{"LWPOLYLINE", {{0, 0}, {50, 50}}}},
       {{"POLYLINE", {{0, 0}, {50, 50}}}}},
      {"Escape keeps the polyline drawn so far",
       {C(&Editor::PolyLineBtnClick), L(0, 0), L(50, 0), L(50, 50), Esc()},
       {{"LWPOLYLINE", {{0, 0}, {50, 50}}}},
       {{"POLYLINE", {{0, 0}, {50, 50}}}}},
      {"a polyline of one point writes nothing",
       {C(&Editor::PolyLineBtnClick), L(0, 0), C(&Editor::Fertig1Click)}, {}, {}},
      {"a free-hand stroke: press, moves, release",
       {C(&Editor::PenBtnClick), P(0, 0), M(5, 5), M(10, 0), U(10, 0)},
       {{"LWPOLYLINE", {{0, 0}, {5, 5}, {10, 0}}}},
       {{"POLYLINE", {{0, 0}, {5, 5}, {10, 0}}}}},
      {"a rectangle", {C(&Editor::RectangleBtnClick), L(0, 0), L(10, 5)},
       {{"LWPOLYLINE", {{0, 0}, {10, 0}, {10, 5}, {0, 5}}}},
       {{"POLYLINE", {{0, 0}, {10, 0}, {10, 5}, {0, 5}}}}},
      {"an arc through start, middle and end", {C(&Editor::ArcBtnClick), L(10, 0), L(0, 10), L(-10, 0)},
       {{"ARC", {{0, 0}, {10, 0}, {-10, 0}}}}},
      {"an arc from centre, start and end",
       {C(&Editor::MittelpunktStart1Click), L(0, 0), L(10, 0), L(0, 20)}, {{"ARC", {{0, 0}, {10, 0}, {0, 10}}}}},
      {"a circle by centre and radius", {C(&Editor::CircleBtnClick), L(0, 0), L(10, 0)},
       {{"CIRCLE", {{0, 0}, {10, 0}, {-10, 0}}}}},
      {"a circle by centre and diameter", {C(&Editor::MittelpunktDurchmesser1Click), L(0, 0), L(20, 0)},
       {{"CIRCLE", {{0, 0}, {10, 0}}}}},
      {"a circle by two points", {C(&Editor::N2Punkte1Click), L(0, 0), L(20, 0)},
       {{"CIRCLE", {{10, 0}, {20, 0}, {0, 0}}}}},
      {"a circle by three points", {C(&Editor::N3Punkte1Click), L(10, 0), L(0, 10), L(-10, 0)},
       {{"CIRCLE", {{0, 0}, {10, 0}}}}},
      {"a regular polygon: a corner turned a right angle from the pointer, three corners unless asked",
       {Ok(&FakePlatform::polygonDialog), C(&Editor::PolyGonClick), L(0, 0), L(10, 0)},
       {{"LWPOLYLINE", {{0, 10}, {10 * std::sin(2 * kPi / 3), 10 * std::cos(2 * kPi / 3)}}}},
       {{"POLYLINE", {{0, 10}}}}},
      {"a dimension: extension lines, the line through the third click, arrow heads and its text",
       {C(&Editor::DimensionBtnClick), L(0, 0), L(30, 0), Ok(&FakePlatform::textDialog), L(10, 10)},
       {{"LINE", {{0, 0}, {0, 10}}}, {"LINE", {{30, 0}, {30, 10}}}, {"LINE", {{0, 10}, {30, 10}}},
        {"SOLID", {{0, 10}}}, {"SOLID", {{30, 10}}}, {"MTEXT", {}}},
       {{"LINE", {{0, 0}, {0, 10}}}, {"LINE", {{30, 0}, {30, 10}}}, {"LINE", {{0, 10}, {30, 10}}},
        {"SOLID", {{0, 10}}}, {"SOLID", {{30, 10}}}, {"TEXT", {}}},
       false, 1},
      {"a text dialog cancelled writes nothing", {C(&Editor::TextBtnClick), L(0, 0)}, {}, {}},
      {"a polygon's dialog cancelled arms nothing", {C(&Editor::PolyGonClick), L(0, 0), L(10, 0)}, {}, {}},
      {"a dimension's text dialog cancelled writes nothing",
       {C(&Editor::DimensionBtnClick), L(0, 0), L(30, 0), L(10, 10)}, {}, {}},
      {"a solid of four corners", {C(&Editor::SolidBtnClick), L(0, 0), L(10, 0), L(0, 10), L(10, 10)},
       {{"SOLID", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}}}},
      {"a solid of three corners and the right button",
       {C(&Editor::SolidBtnClick), L(0, 0), L(10, 0), L(0, 10), R()}, {{"SOLID", {{0, 0}, {10, 0}, {0, 10}}}}},
      {"two corners and the right button write no solid",
       {C(&Editor::SolidBtnClick), L(0, 0), L(10, 0), R()}, {}, {}},
      {"points, one per click", {C(&Editor::PointBtnClick), L(1, 2), L(3, 4), R()},
       {{"POINT", {{1, 2}}}, {"POINT", {{3, 4}}}}},
      {"an arrow: its head on the first line only",
       {C(&Editor::ArrowBtnClick), L(0, 0), L(10, 0), L(10, 10), R()},
       {{"LINE", {{0, 0}, {10, 0}}}, {"SOLID", {{0, 0}, {0.17, 0.034}}}, {"LINE", {{10, 0}, {10, 10}}}},
       {},
       false,
       2},
      {"a spline: its points, Fertig, then the two directions",
       {C(&Editor::SplineBtnClick), L(0, 0), L(10, 10), L(20, 0), L(30, 10), C(&Editor::Fertig1Click), L(-10, 0),
        L(40, 10)},
       {{"SPLINE", {{0, 0}, {30, 10}}}}, {}, true},
      {"Escape on a spline goes on to its directions; Fertig then writes it",
       {C(&Editor::SplineBtnClick), L(0, 0), L(10, 10), L(20, 0), Esc(), L(-10, 0), C(&Editor::Fertig1Click)},
       {{"SPLINE", {{0, 0}, {20, 0}}}}, {}, true},
      {"arming another tool drops the running one",
       {C(&Editor::LineBtnClick), L(0, 0), C(&Editor::CircleBtnClick), L(5, 5), L(5, 10)},
       {{"CIRCLE", {{5, 5}, {5, 10}}}}},
  };
  for (const Case& c : cases) {
    for (const bool r12 : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (r12 ? " (R12)" : " (R2000)"));
      Start(r12);
      Run(c.steps);
      const std::vector<Written> none;
      const std::vector<Written>& want = r12 && c.r12Refused ? none : r12 && !c.r12.empty() ? c.r12 : c.r2000;
      Expect(want);
      // Every click that writes is one step.
      EXPECT_EQ(ed().undos.undos.size(), c.undoSteps && !want.empty() ? c.undoSteps : want.size());
    }
  }
}

TEST_F(DrawTest, EllipsesAndWhatOldDrawingsRefuse) {
  // Three clicks: the axis from (-20, 0) to (20, 0), the other half axis 10.
  Start(false);
  Run({C(&Editor::EllipseBtnClick), L(-20, 0), L(20, 0), L(0, 10)});
  Expect({{"ELLIPSE", {{0, 0}, {20, 0}, {0, 10}}}});
  // By the centre; then an arc: two more clicks for its ends.
  Start(false);
  Run({C(&Editor::EllipsenbogenMittelpunkt1Click), L(0, 0), L(20, 0), L(0, 10), L(20, 0), M(0, 10), L(0, 10)});
  Expect({{"ELLIPSE", {{20, 0}, {0, 10}}}});
  // R12 has no ellipses, construction lines, rays or splines: the tool is
  // refused with its message and no button stays down.
  struct Refused {
    Handler arm;
    int message;
  } refused[] = {{&Editor::EllipseBtnClick, msg::NoEllipses},
                 {&Editor::Konstruktionslinie1Click, msg::NoXLines},
                 {&Editor::Strahl1Click, msg::NoRays},
                 {&Editor::SplineBtnClick, msg::NoSplines}};
  for (const Refused& r : refused) {
    Start(true);
    pf().messages.clear();
    (ed().*r.arm)();
    ASSERT_EQ(pf().messages.size(), 1u);
    EXPECT_EQ(pf().messages[0].nr, r.message);
    EXPECT_EQ(ed().tool.down, ToolButton::None);
  }
  // The ellipse tool ends the running tool even when it is refused; the
  // spline tool leaves it running.
  Start(true);
  Run({C(&Editor::LineBtnClick), L(0, 0), C(&Editor::SplineBtnClick)});
  EXPECT_TRUE(ed().tool.inlin);
  Run({C(&Editor::EllipseBtnClick)});
  EXPECT_FALSE(ed().tool.inlin);
}

TEST_F(DrawTest, TextsAndDimensionsAreWhatTheTextDialogSays) {
  // Two lines at (5, 5), 2.5 high, turned 30 degrees: R12 keeps the first
  // line and says so.
  for (const bool r12 : {false, true}) {
    Start(r12);
    pf().textDialog.answers.push_back({[](TextDialogValues& v) {
      v.Memo1 = "Hallo\nWelt";
      v.FontSizeEd = 2.5;
      v.WinkEd = 30;
    }});
    Run({C(&Editor::TextBtnClick), L(5, 5)});
    Expect({{r12 ? "TEXT" : "MTEXT", {{5, 5}}}});
    const tpoly& t = ed().drawing.polys.back();
    EXPECT_EQ(Group(t, "1"), r12 ? "Hallo" : "Hallo\\PWelt");
    EXPECT_EQ(Group(t, "40"), "2.5");
    EXPECT_EQ(Group(t, "50"), "30");
    ASSERT_EQ(pf().textDialog.shown.size(), 1u);
    EXPECT_EQ(pf().textDialog.shown[0].Memo1, "");  // the memo starts empty
    EXPECT_EQ(pf().messages.size(), r12 ? 1u : 0u);
    if (r12) {
      EXPECT_EQ(pf().messages[0].nr, msg::FirstLineOnly);
    }
    EXPECT_EQ(ed().tool.down, ToolButton::None);
  }
  // A dimension proposes its length and centres the text above its line:
  // the baseline of a multi-line text's (R2000) only line half its height
  // (2) above the line, as the single-line text's (R12).
  for (const bool r12 : {false, true}) {
    Start(r12);
    ed().dialogs.text.FontSizeDimensionEd = 2;
    Run({C(&Editor::DimensionBtnClick), L(0, 0), L(0, 40), Ok(&FakePlatform::textDialog), L(-10, 20)});
    ASSERT_EQ(pf().textDialog.shown.size(), 1u);
    EXPECT_EQ(pf().textDialog.shown[0].Memo1, "40.00");
    EXPECT_TRUE(pf().textDialog.shown[0].dimension);
    EXPECT_FALSE(ed().dialogs.text.dimension);
    const tpoly& t = ed().drawing.polys.back();
    EXPECT_EQ(Group(t, "1"), "40.00");
    EXPECT_EQ(Group(t, "40"), "2");
    EXPECT_NEAR(std::stod(Group(t, "10")) + TextWidth("40.00") * 2 / 2, -10, 1e-9);
    EXPECT_NEAR(std::stod(Group(t, "20")), r12 ? 20 + 1 : 20 + 1 + 2, 1e-9);
    EXPECT_EQ(ed().undos.undos.size(), 1u);
  }
  // A dimension whose text cannot be written leaves no lines either.
  Start(false);
  pf().textDialog.answers.push_back({[](TextDialogValues& v) { v.Memo1 = "40\x7F"; }});
  Run({C(&Editor::DimensionBtnClick), L(0, 0), L(0, 40), L(-10, 20)});
  Expect({});
  ASSERT_EQ(pf().messages.size(), 1u);
  EXPECT_EQ(pf().messages[0].nr, msg::ControlCharacter);
}

TEST_F(DrawTest, RedoGivesBackTheTextExactlyAndANewObjectNeverTakesAnOldHandle) {
  Start(false);
  Run({C(&Editor::LineBtnClick), L(0, 0), L(10, 0), L(10, 10), R()});
  const std::string drawn = ed().drawing.dxf.join("\n");
  const Handle line = ed().drawing.polys.back().han;
  ed().Rckgngig1Click();
  ed().Rckgngig1Click();
  EXPECT_EQ(ed().undos.redos.size(), 2u);
  ed().Wiederherstellen1Click();
  ed().Wiederherstellen1Click();
  EXPECT_EQ(ed().drawing.dxf.join("\n"), drawn);  // $HANDSEED included
  EXPECT_TRUE(ed().undos.redos.empty());
  ed().Wiederherstellen1Click();  // nothing left to redo
  EXPECT_EQ(ed().drawing.dxf.join("\n"), drawn);
  // Taken back, the line's handle is not given out again; the new object
  // forgets what could be redone.
  ed().Rckgngig1Click();
  Run({C(&Editor::CircleBtnClick), L(0, 0), L(5, 0)});
  EXPECT_GT(ed().drawing.polys.back().han, line);
  EXPECT_TRUE(ed().undos.redos.empty());
}

TEST_F(DrawTest, EscapeEndsToolsAndOtherwiseClearsTheSelection) {
  Start(false);
  Run({C(&Editor::LineBtnClick), L(0, 0), L(10, 0), C(&Editor::LineBtnClick), L(0, 5)});
  EXPECT_TRUE(ed().tool.inlin);
  ed().drawing.polys[before_].selected = true;
  Run({Esc()});  // a running tool ends; the selection stays
  EXPECT_FALSE(ed().tool.inlin);
  EXPECT_EQ(ed().tool.down, ToolButton::None);
  EXPECT_TRUE(ed().drawing.polys[before_].selected);
  Run({Esc()});  // nothing runs: the selection goes
  EXPECT_FALSE(ed().drawing.polys[before_].selected);
}

TEST_F(DrawTest, ArcSegmentsOfPolylinesLeaveTheLastOneTangentially) {
  // The last segment points right; "Kreisbogen", and the pointer straight
  // above the last vertex: a half circle, bulge 1 in the drawing.
  Start(false);
  Run({C(&Editor::PolyLineBtnClick), L(0, 0), L(20, 0), C(&Editor::Kreisbogen2Click), M(20, 20)});
  EXPECT_NEAR(ed().tool.lastcalcbulge, -kPi / 2, 1e-12);
  EXPECT_NEAR(ed().tool.polyline0.back().bulge, -1, 1e-12);
  Run({L(20, 20), C(&Editor::Linie2Click), L(0, 20), C(&Editor::Fertig1Click)});
  const Drawing& d = ed().drawing;
  ASSERT_EQ(d.polys.size(), before_ + 1);
  // The half circle bulges out to the right: its middle is at (30, 10).
  bool middle = false;
  for (const Tmypoi& q : d.ps(d.polys[before_])) middle = middle || (std::abs(q.x - 30) < 1e-6 && std::abs(q.y - 10) < 1e-6);
  EXPECT_TRUE(middle);
}

TEST_F(DrawTest, TangentArcsHaveTheBulgeOfHalfTheirTurn) {
  // A line to the right, or a line and a half circle that arrives at (20, 20)
  // going left; then an arc to a typed point at the angle `turn` from that
  // direction (counter-clockwise), the pointer last shown elsewhere.
  struct Case {
    bool afterArc;
    double turn;  // degrees
  };
  for (const Case c : {Case{false, 30}, {false, 90}, {false, 135}, {false, -45}, {false, -170},
                       {true, 20}, {true, 90}, {true, -60}, {true, 150}}) {
    SCOPED_TRACE(std::to_string(c.afterArc) + " " + std::to_string(c.turn));
    Start(false);
    Run({C(&Editor::PolyLineBtnClick), L(0, 0), L(20, 0), C(&Editor::Kreisbogen2Click)});
    Point2 from{20, 0}, direction{1, 0};
    if (c.afterArc) {
      ed().BenutzenBtnClick(20, 20);
      from = {20, 20}, direction = {-1, 0};
    }
    Run({M(-50, -70)});
    const double a = std::atan2(direction.y, direction.x) + c.turn * kPi / 180;
    ed().BenutzenBtnClick(from.x + 10 * std::cos(a), from.y + 10 * std::sin(a));
    Run({C(&Editor::Fertig1Click)});
    const Drawing& d = ed().drawing;
    ASSERT_EQ(d.polys.size(), before_ + 1);
    std::vector<double> bulges;
    for (std::int32_t i = d.polys.back().linefrom; i < d.polys.back().linebis; i += 2)
      if (d.value(i) == "42") bulges.push_back(std::stod(std::string(d.value(i + 1))));
    ASSERT_EQ(bulges.size(), c.afterArc ? 2u : 1u);
    EXPECT_NEAR(bulges.back(), std::tan(c.turn * kPi / 360), 1e-9);
  }
}

TEST_F(DrawTest, TypedPointsAreClickedWhereTheySayWithoutTheMouse) {
  Start(false);
  Run({C(&Editor::LineBtnClick)});
  ed().BenutzenBtnClick(10.25, 20.5);
  ed().BenutzenBtnClick(30, 20.125);
  Run({R()});
  Expect({{"LINE", {{10.25, 20.5}, {30, 20.125}}}});
}

TEST_F(DrawTest, TypedPointsLandExactlyAtEveryZoom) {
  // Three-decimal coordinates typed at zooms and scroll offsets where a
  // way through the screen's pixels would miss them in the last place: the
  // line writes back the very numbers typed.
  struct View {
    double zoom;
    std::int32_t horz, vert;
  };
  const View views[] = {{100, -5000000, 4000000}, {3.3, -10000, 9900}, {0.7, 123457, -98765}, {12.5, -10000, 9900}};
  const std::array<const char*, 4> typed[] = {{"1234.567", "-987.654", "-4321.089", "2468.013"},
                                              {"0.125", "3.003", "-17.351", "4999.999"},
                                              {"-2500.005", "77.777", "612.308", "-0.003"},
                                              {"74.357", "-663.543", "-754.808", "771.029"}};
  for (const View& v : views) {
    for (const auto& t : typed) {
      SCOPED_TRACE(::testing::Message() << "zoom " << v.zoom << " at " << v.horz << ", " << v.vert << ": " << t[0]);
      Start(false);
      ed().view.zoomedvalue = v.zoom;
      ed().view.HorzScrollbarPosition = v.horz, ed().view.VertScrollbarPosition = v.vert;
      Run({C(&Editor::LineBtnClick)});
      ed().BenutzenBtnClick(std::stod(t[0]), std::stod(t[1]));
      ed().BenutzenBtnClick(std::stod(t[2]), std::stod(t[3]));
      Run({R()});
      ASSERT_EQ(ed().drawing.polys.size(), before_ + 1);
      const tpoly& line = ed().drawing.polys.back();
      EXPECT_EQ(Group(line, "10"), t[0]);
      EXPECT_EQ(Group(line, "20"), t[1]);
      EXPECT_EQ(Group(line, "11"), t[2]);
      EXPECT_EQ(Group(line, "21"), t[3]);
    }
  }
}

TEST_F(DrawTest, TheRubberBandIsErasedExactlyByDrawingItAgain) {
  // Random pointer paths over every tool; whatever the band drew, erasing
  // it draws again, so each segment ends up drawn an even number of times.
  const std::vector<std::vector<Step>> tools = {
      {C(&Editor::LineBtnClick), L(0, 0)},
      {C(&Editor::Konstruktionslinie1Click), L(0, 0)},
      {C(&Editor::PolyLineBtnClick), L(0, 0), L(30, 0), C(&Editor::Kreisbogen2Click)},
      {C(&Editor::RectangleBtnClick), L(0, 0)},
      {C(&Editor::ArcBtnClick), L(0, 0), L(20, 30)},
      {C(&Editor::MittelpunktStart1Click), L(0, 0), L(20, 0)},
      {C(&Editor::CircleBtnClick), L(0, 0)},
      {C(&Editor::PolyGonClick), L(0, 0)},
      {C(&Editor::DimensionBtnClick), L(0, 0), L(30, 20)},
      {C(&Editor::N3Punkte1Click), L(0, 0), L(30, 10)},
      {C(&Editor::Ellipsenbogen1Click), L(-20, 0), L(20, 0), L(0, 10), L(20, 0)},
      {C(&Editor::SolidBtnClick), L(0, 0), L(10, 0)},
      {C(&Editor::SplineBtnClick), L(0, 0), L(10, 10), L(20, 0)},
      {C(&Editor::SplineBtnClick), L(0, 0), L(10, 10), L(20, 0), C(&Editor::Fertig1Click), L(-10, 0)},
  };
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-150, 150);
  for (std::size_t k = 0; k < tools.size(); ++k) {
    SCOPED_TRACE(k);
    Start(false);
    Run(tools[k]);
    pf().xor_.clear();
    for (int i = 0; i < 40; ++i) Run({M(coordinate(random), coordinate(random))});
    EXPECT_GT(pf().xor_.size(), 0u);
    ed().removeall();
    std::map<std::tuple<int, int, int, int>, int> times;
    for (const tremove& r : pf().xor_) ++times[{r.x1, r.y1, r.x2, r.y2}];
    for (const auto& [segment, n] : times) EXPECT_EQ(n % 2, 0);
    EXPECT_EQ(ed().tool.anzrem, 0);
  }
}

TEST_F(DrawTest, ObjectSnapsTakeTheExactPointAndMarkItsKind) {
  // A line from the middle of another, clicked 0.3 and 0.4 pixels off it:
  // with the midpoint snap on the click takes the exact middle, with
  // every snap off (or F3's switch off) the pixel, as without them.
  struct Case {
    SnapModes snaps;
    bool off;
    Point2 start;
  } cases[] = {
      {SnapBit(SnapKind::Midpoint), false, {16.5, 0}},
      {SnapBit(SnapKind::Midpoint), true, {16, 0}},
      {0, false, {16, 0}},
  };
  for (const Case& c : cases) {
    Start(false);
    Run({C(&Editor::LineBtnClick), L(0, 0), L(33, 0), R()});
    before_ = ed().drawing.polys.size();
    ed().tool.snaps = c.snaps;
    ed().tool.snapsoff = c.off;
    pf().xor_.clear();
    Run({C(&Editor::LineBtnClick)});
    const Point2 at = Pixel(16.3, 0.4);
    ed().PaintBox1MouseDown(MouseButton::Left, {}, WholePixels(at.x), WholePixels(at.y));
    ed().PaintBox1MouseUp(MouseButton::Left, {}, WholePixels(at.x), WholePixels(at.y));
    Run({L(40, 30), R()});
    Expect({{"LINE", {c.start, {40, 30}}}});
    EXPECT_EQ(ed().tool.snapped.has_value(), c.start.x == 16.5);
    if (!ed().tool.snapped) continue;
    EXPECT_EQ(ed().tool.snapped->kind, SnapKind::Midpoint);
    // The marker, a triangle, stands on the snapped pixel.
    const Point2 mid = Pixel(16.5, 0);
    const int sx = WholePixels(mid.x), sy = WholePixels(mid.y);
    bool triangle = false;
    for (const tremove& r : pf().xor_) triangle = triangle || (r.x1 == sx - 5 && r.y1 == sy + 5 && r.x2 == sx + 5 && r.y2 == sy + 5);
    EXPECT_TRUE(triangle);
  }
}

TEST_F(DrawTest, SnapMarkersAreErasedLikeTheRubberBand) {
  // Every snap on, the pointer wandering over lines, a circle and their
  // crossings: whatever marker and label were drawn, erasing draws them
  // again.
  Start(false);
  Run({C(&Editor::LineBtnClick), L(0, 0), L(60, 0), R(), C(&Editor::LineBtnClick), L(30, -30), L(30, 30), R(),
       C(&Editor::CircleBtnClick), L(30, 0), L(50, 0)});
  ed().tool.snaps = kAllSnaps;
  Run({C(&Editor::LineBtnClick), L(-20, 40)});
  pf().xor_.clear();
  std::mt19937 random(3);
  std::uniform_real_distribution<double> coordinate(-25, 65);
  for (int i = 0; i < 200; ++i) {
    const Point2 at = Pixel(coordinate(random), coordinate(random) - 20);
    ed().PaintBox1MouseMove({}, WholePixels(at.x), WholePixels(at.y));
  }
  EXPECT_TRUE(ed().tool.snapped.has_value());
  ed().removeall();
  std::map<std::tuple<int, int, int, int>, int> times;
  for (const tremove& r : pf().xor_) ++times[{r.x1, r.y1, r.x2, r.y2}];
  for (const auto& [segment, n] : times) EXPECT_EQ(n % 2, 0);
}

// What the status bar tells of the pointer: the band from the tool's last
// fixed point (its length and angle), and the point the pointer is caught
// at, with the object snap that caught it.
TEST_F(DrawTest, ThePointerReportsItsBandAndWhatCaughtIt) {
  using Measure = ToolState::Measure;
  const std::vector<Step> line{C(&Editor::LineBtnClick), L(0, 0), L(60, 0), R()};
  auto with = [&](std::vector<Step> more) {
    std::vector<Step> steps = line;
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
  };
  struct Case {
    const char* what;
    SnapModes snaps;
    std::vector<Step> steps;
    Point2 pointer;
    std::optional<Measure> band;
    std::optional<Point2> caught = {};
    std::optional<SnapKind> kind = {};
  };
  const Case cases[] = {
      {"armed, nothing fixed yet", 0, {C(&Editor::LineBtnClick)}, {30, 40}, {}},
      {"a line from its first point", 0, {C(&Editor::LineBtnClick), L(0, 0)}, {30, 40}, Measure{50, 53.13010235415598}},
      {"down and to the left", 0, {C(&Editor::LineBtnClick), L(0, 0)}, {-30, -40}, Measure{50, 233.13010235415598}},
      {"a circle's radius", 0, {C(&Editor::CircleBtnClick), L(10, 10)}, {10, 30}, Measure{20, 90}},
      {"an arc from its second point", 0, {C(&Editor::ArcBtnClick), L(0, 0), L(10, 10)}, {10, 30}, Measure{20, 90}},
      {"a solid from its third corner", 0, {C(&Editor::SolidBtnClick), L(0, 0), L(40, 0), L(40, 30)}, {10, 60},
       Measure{42.42640687119285, 135}},
      {"the nearest drawn point", 0, with({C(&Editor::LineBtnClick), L(0, 50)}), {61, 1},
       Measure{78.10249675906654, 320.1944289077348}, Point2{60, 0}},
      {"the midpoint snap", SnapBit(SnapKind::Midpoint), with({C(&Editor::LineBtnClick), L(0, 50)}), {31, 1},
       Measure{58.309518948453004, 300.9637565320735}, Point2{30, 0}, SnapKind::Midpoint},
      {"caught with nothing fixed", SnapBit(SnapKind::Endpoint), with({C(&Editor::LineBtnClick)}), {59, 1}, {},
       Point2{60, 0}, SnapKind::Endpoint},
      {"the tool ended", 0, {C(&Editor::LineBtnClick), L(0, 0), Esc()}, {30, 40}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(false);
    Run(c.steps);
    ed().tool.snaps = c.snaps;
    const Point2 at = Pixel(c.pointer.x, c.pointer.y);
    ed().PaintBox1MouseMove({}, WholePixels(at.x), WholePixels(at.y));
    const ToolState& t = ed().tool;
    const auto m = t.measure();
    ASSERT_EQ(m.has_value(), c.band.has_value());
    if (m) {
      EXPECT_NEAR(m->length, c.band->length, 1e-9);
      EXPECT_NEAR(m->angle, c.band->angle, 1e-9);
    }
    ASSERT_EQ(t.caught.has_value(), c.caught.has_value());
    if (t.caught) {
      EXPECT_EQ(t.caught->x, c.caught->x);
      EXPECT_EQ(t.caught->y, c.caught->y);
    }
    EXPECT_EQ(t.caughtKind, c.kind);
    // A click takes the band off the screen, and so from the status bar.
    Run({L(c.pointer.x + 7, c.pointer.y + 3)});
    EXPECT_FALSE(ed().tool.band.has_value());
  }
}

TEST_F(DrawTest, TheSelectedCountIsTheShownTabs) {
  Start(false);
  Run({C(&Editor::LineBtnClick), L(0, 0), L(60, 0), L(60, 30), R()});
  EXPECT_EQ(ed().SelectedCount(), 0u);
  ed().AllesAuswhlen1Click();
  EXPECT_EQ(ed().SelectedCount(), 2u);
  ed().TabControl1Change(1);  // a layout shows none of the model's
  EXPECT_EQ(ed().SelectedCount(), 0u);
}

}  // namespace
}  // namespace vestrel
