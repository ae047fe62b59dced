// The editing tools, click by click through the window's events: what
// each does to a line from (0, 0) to (10, 0), what it asks and says, and
// the ghost it shows.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "i18n/msg.h"
#include "support/editor_steps.h"
#include "tools/editor.h"
#include "tools/tooltable.h"
#include "writers/entitywriters.h"

namespace vestrel {
namespace {

using namespace test;  // the steps of a case

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Segment {
  double x1, y1, x2, y2;
};

class ModifyTest : public ::testing::Test {
 protected:
  // A new drawing with the line, one pixel per unit, the origin at pixel
  // (100, 500); the line selected or not.
  void Start(bool selected) {
    screen_ = std::make_unique<EditorOnScreen>();
    ASSERT_EQ(Write(ed().doc, AddLine, LineKind::Line, {0, 0, 0}, {10, 0, 0}), InsertResult::Inserted);
    ed().drawing.polys.back().selected = selected;
    steps_ = ed().undos.undos.size();
    pf().repaints = 0;
  }
  void Run(const std::vector<Step>& steps) { RunSteps(ed(), steps); }
  // Every line of the drawing, start and end.
  std::vector<Segment> Lines() {
    std::vector<Segment> out;
    for (const tpoly& p : ed().drawing.polys) {
      if (ed().drawing.value(p.linefrom + 1) != "LINE") continue;
      const auto pts = ed().drawing.ps(p);
      out.push_back({pts[0].x, pts[0].y, pts[1].x, pts[1].y});
    }
    return out;
  }
  void ExpectLines(const std::vector<Segment>& want) {
    const std::vector<Segment> lines = Lines();
    ASSERT_EQ(lines.size(), want.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_NEAR(lines[i].x1, want[i].x1, 1e-9);
      EXPECT_NEAR(lines[i].y1, want[i].y1, 1e-9);
      EXPECT_NEAR(lines[i].x2, want[i].x2, 1e-9);
      EXPECT_NEAR(lines[i].y2, want[i].y2, 1e-9);
    }
  }
  std::size_t NewSteps() { return ed().undos.undos.size() - steps_; }
  // The lines there are now, the undo steps taken and the one message
  // shown (none for 0).
  void ExpectOutcome(const std::vector<Segment>& want, std::size_t steps, int message) {
    ExpectLines(want);
    EXPECT_EQ(NewSteps(), steps);
    if (message) {
      ASSERT_EQ(pf().messages.size(), 1u);
      EXPECT_EQ(pf().messages[0].nr, message);
    } else {
      EXPECT_TRUE(pf().messages.empty());
    }
  }

  Editor& ed() { return *screen_->editor; }
  test::FakePlatform& pf() { return *screen_->platform; }

  std::unique_ptr<EditorOnScreen> screen_;
  std::size_t steps_ = 0;
};

TEST_F(ModifyTest, EachToolDoesWhatItsClicksSay) {
  struct Case {
    const char* what;
    bool selected;
    std::function<void(test::FakePlatform&)> answers;
    std::vector<Step> steps;
    std::vector<Segment> lines;
    std::size_t undoSteps = 1;
    int message = 0;
  } cases[] = {
      {"copy: base point and target", true, {}, {C(&Editor::CopyBtnClick), L(0, 0), L(5, 5)},
       {{0, 0, 10, 0}, {5, 5, 15, 5}}},
      {"move, the line picked first", false, {},
       {C(&Editor::MoveBtnClick), L(5, 0), R(), L(0, 0), L(0, 10)}, {{0, 10, 10, 10}}},
      {"rotate by a second point", true, {}, {C(&Editor::RotateBtnClick), L(0, 0), L(0, 10)}, {{0, 0, 0, 10}}},
      {"rotate by a typed angle, clockwise", true,
       [](test::FakePlatform& p) { p.rotationDialog.answers.push_back({[](RotationDialogValues& v) { v.RotEd = 90; }}); },
       {C(&Editor::RotationsrichtungperTastatureingeben1Click), C(&Editor::RotateBtnClick), L(0, 0)}, {{0, 0, 0, -10}}},
      {"scale by a typed percentage", true,
       [](test::FakePlatform& p) { p.scaleDialog.answers.push_back({[](ScaleDialogValues& v) { v.SkalEd = 200; }}); },
       {C(&Editor::ScaleBtnClick), L(0, 0)}, {{0, 0, 20, 0}}},
      {"scale by a second point", true, {},
       {C(&Editor::SkalierungsfaktorperTastatureingeben1Click), C(&Editor::ScaleBtnClick), L(10, 0), L(12, 0)},
       {{-10, 0, 10, 0}}},
      {"mirror across two points", true, {}, {C(&Editor::MirrorBtnClick), L(0, -5), L(0, 5)}, {{0, 0, -10, 0}}},
      {"array from its dialog", true,
       [](test::FakePlatform& p) {
         p.arrayDialog.answers.push_back({[](ArrayDialogValues& v) {
           v.SpaltenEd = 1, v.ZeilenEd = 2, v.ZeilenAbstandEd = 3, v.RotierenEd = 0;
         }});
       },
       {C(&Editor::ArrayBtnClick)}, {{0, 0, 10, 0}, {0, 3, 10, 3}}},
      {"array of what was picked", false,
       [](test::FakePlatform& p) {
         p.arrayDialog.answers.push_back({[](ArrayDialogValues& v) { v.SpaltenEd = 2, v.ZeilenEd = 1, v.SpaltenAbstandEd = 20; }});
       },
       {C(&Editor::ArrayBtnClick), L(5, 0), R()}, {{0, 0, 10, 0}, {20, 0, 30, 0}}},
      {"delete at once", true, {}, {C(&Editor::DelBtnClick)}, {}},
      {"delete what was picked", false, {}, {C(&Editor::DelBtnClick), L(5, 0), R()}, {}},
      // Giving up and refusing.
      {"the right button gives up", true, {}, {C(&Editor::RotateBtnClick), L(0, 0), R(), L(0, 10)}, {{0, 0, 10, 0}}, 0},
      {"the array dialog cancelled", true, {}, {C(&Editor::ArrayBtnClick)}, {{0, 0, 10, 0}}, 0},
      {"the array cancelled on its way", true,
       [](test::FakePlatform& p) {
         p.arrayDialog.answers.push_back({[](ArrayDialogValues& v) { v.SpaltenEd = 3, v.ZeilenEd = 1; }});
         p.stopProgressAt = 1;
       },
       {C(&Editor::ArrayBtnClick)}, {{0, 0, 10, 0}}, 0},
      {"the rotation dialog cancelled", true,
       [](test::FakePlatform& p) {
         p.rotationDialog.answers.push_back({[](RotationDialogValues& v) { v.RotEd = 90; }, DialogResult::Cancel});
       },
       {C(&Editor::RotationsrichtungperTastatureingeben1Click), C(&Editor::RotateBtnClick), L(0, 0)}, {{0, 0, 10, 0}}, 0},
      {"the scale dialog cancelled", true,
       [](test::FakePlatform& p) {
         p.scaleDialog.answers.push_back({[](ScaleDialogValues& v) { v.SkalEd = 200; }, DialogResult::Cancel});
       },
       {C(&Editor::ScaleBtnClick), L(0, 0)}, {{0, 0, 10, 0}}, 0},
      {"a scale of -50 %", true,
       [](test::FakePlatform& p) { p.scaleDialog.answers.push_back({[](ScaleDialogValues& v) { v.SkalEd = -50; }}); },
       {C(&Editor::ScaleBtnClick), L(0, 0)}, {{0, 0, 10, 0}}, 0, msg::BadFactor},
      {"a scale of 0 %", true,
       [](test::FakePlatform& p) { p.scaleDialog.answers.push_back({[](ScaleDialogValues& v) { v.SkalEd = 0; }}); },
       {C(&Editor::ScaleBtnClick), L(0, 0)}, {{0, 0, 10, 0}}, 0, msg::BadFactor},
      {"a scale of no number", true,
       [](test::FakePlatform& p) { p.scaleDialog.answers.push_back({[](ScaleDialogValues& v) { v.SkalEd = kNaN; }}); },
       {C(&Editor::ScaleBtnClick), L(0, 0)}, {{0, 0, 10, 0}}, 0, msg::NotANumber},
      {"a mirror across a line through one point", true, {}, {C(&Editor::MirrorBtnClick), L(3, 0), L(3, 0)},
       {{0, 0, 10, 0}}, 0, msg::NoMirrorAxis},
      {"a scale by the base point itself", true, {},
       {C(&Editor::SkalierungsfaktorperTastatureingeben1Click), C(&Editor::ScaleBtnClick), L(3, 0), L(3, 0)},
       {{0, 0, 10, 0}}, 0, msg::BadFactor},
      {"an angle of no number", true,
       [](test::FakePlatform& p) { p.rotationDialog.answers.push_back({[](RotationDialogValues& v) { v.RotEd = kNaN; }}); },
       {C(&Editor::RotationsrichtungperTastatureingeben1Click), C(&Editor::RotateBtnClick), L(0, 0)}, {{0, 0, 10, 0}}, 0,
       49},
      {"an array without rows", true,
       [](test::FakePlatform& p) { p.arrayDialog.answers.push_back({[](ArrayDialogValues& v) { v.ZeilenEd = 0; }}); },
       {C(&Editor::ArrayBtnClick)}, {{0, 0, 10, 0}}, 0, msg::BadArraySize},
      {"join, picked, one line alone", false, [](test::FakePlatform& p) { p.joinDialog.answers.push_back({}); },
       {C(&Editor::JoinBtnClick), L(5, 0), R()}, {{0, 0, 10, 0}}, 0, msg::NothingToJoin},
      {"join, the dialog cancelled", true, {}, {C(&Editor::JoinBtnClick)}, {{0, 0, 10, 0}}, 0},
      {"join with a tolerance of no number", true,
       [](test::FakePlatform& p) { p.joinDialog.answers.push_back({[](JoinDialogValues& v) { v.ToleranzEd = kNaN; }}); },
       {C(&Editor::JoinBtnClick)}, {{0, 0, 10, 0}}, 0, msg::InvalidValue},
      {"explode a line", true, {}, {C(&Editor::ExplodeBtnClick)}, {{0, 0, 10, 0}}, 0, msg::CannotExplode},
      {"break between two points", false, {}, {C(&Editor::BreakBtnClick), L(3, 0), L(6, 0)},
       {{0, 0, 3, 0}, {6, 0, 10, 0}}},
      {"break at one point by the right button", false, {}, {C(&Editor::BreakBtnClick), L(4, 0), R()},
       {{0, 0, 4, 0}, {4, 0, 10, 0}}},
      {"break stays on for the next", false, {},
       {C(&Editor::BreakBtnClick), L(3, 0), L(6, 0), L(8, 0), L(9, 0)}, {{0, 0, 3, 0}, {6, 0, 8, 0}, {9, 0, 10, 0}}, 2},
      {"break beside the line picks nothing", false, {}, {C(&Editor::BreakBtnClick), L(5, 20), L(6, 20)},
       {{0, 0, 10, 0}}, 0},
      {"break from end to end", false, {}, {C(&Editor::BreakBtnClick), L(0, 0), L(10, 0)}, {{0, 0, 10, 0}}, 0,
       msg::NothingWouldRemain},
      {"lengthen at the ends clicked", false, [](test::FakePlatform& p) { p.lengthenDialog.answers.push_back({[](LengthenDialogValues& v) { v.DeltaEd = 5; }}); },
       {C(&Editor::LengthenBtnClick), L(9, 0), L(1, 0)}, {{-5, 0, 15, 0}}, 2},
      {"lengthen to a total", false,
       [](test::FakePlatform& p) {
         p.lengthenDialog.answers.push_back({[](LengthenDialogValues& v) { v.DeltaEd = 4, v.ArtCombo = 1; }});
       },
       {C(&Editor::LengthenBtnClick), L(9, 0)}, {{0, 0, 4, 0}}},
      {"lengthen, shortened to nothing", false,
       [](test::FakePlatform& p) { p.lengthenDialog.answers.push_back({[](LengthenDialogValues& v) { v.DeltaEd = -10; }}); },
       {C(&Editor::LengthenBtnClick), L(9, 0)}, {{0, 0, 10, 0}}, 0, msg::NothingWouldRemain},
      {"lengthen, the dialog cancelled", false, {}, {C(&Editor::LengthenBtnClick), L(9, 0)}, {{0, 0, 10, 0}}, 0},
      {"parallels at a distance, one object after the other", false,
       [](test::FakePlatform& p) { p.offsetDialog.answers.push_back({[](OffsetDialogValues& v) { v.AbstandEd = 3; }}); },
       {C(&Editor::OffsetBtnClick), L(5, 0), L(5, 10), L(5, 3), L(5, 10), R()},
       {{0, 0, 10, 0}, {0, 3, 10, 3}, {0, 6, 10, 6}}, 2},
      {"a parallel through a point", true,
       [](test::FakePlatform& p) { p.offsetDialog.answers.push_back({[](OffsetDialogValues& v) { v.DurchPunktCb = true; }}); },
       {C(&Editor::OffsetBtnClick), L(5, 0), L(2, -4), R()}, {{0, 0, 10, 0}, {0, -4, 10, -4}}},
      {"a parallel: a click beside everything picks nothing", false, [](test::FakePlatform& p) { p.offsetDialog.answers.push_back({}); },
       {C(&Editor::OffsetBtnClick), L(5, 40), L(5, 10), R()}, {{0, 0, 10, 0}}, 0},
      {"a parallel, the dialog cancelled", false, {}, {C(&Editor::OffsetBtnClick), L(5, 0), L(5, 10)}, {{0, 0, 10, 0}}, 0},
      {"a parallel at a distance of no number", false,
       [](test::FakePlatform& p) { p.offsetDialog.answers.push_back({[](OffsetDialogValues& v) { v.AbstandEd = kNaN; }}); },
       {C(&Editor::OffsetBtnClick), L(5, 0), L(5, 10)}, {{0, 0, 10, 0}}, 0, msg::InvalidValue},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(c.selected);
    if (c.answers) c.answers(pf());
    Run(c.steps);
    ExpectOutcome(c.lines, c.undoSteps, c.message);
    const ToolState& t = ed().tool;
    EXPECT_FALSE(t.incopyline || t.inmoveline || t.inrotateline || t.inscaleline || t.inmirrorline || t.incopyselect ||
                 t.inmoveselect || t.inrotateselect || t.inscaleselect || t.inmirrorselect || t.inarrayselect ||
                 t.indelselect || t.injoinselect || t.inexplodeselect || t.inoffset)
        << "the tool has ended";
  }
}

// Trim and extend with a vertical edge through (5, 0) and a boundary at
// x = 20 beside the line: each click one step, until the right button.
TEST_F(ModifyTest, TrimAndExtendClickByClick) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<Segment> lines;
    std::size_t undoSteps;
    int message = 0;
  } cases[] = {
      {"trim, every object an edge", {C(&Editor::TrimBtnClick), R(), L(8, 0), R()},
       {{0, 0, 5, 0}, {5, -5, 5, 5}, {20, -5, 20, 5}}, 1},
      {"trim by the picked edges, Return ends the pick, two clicks",
       {C(&Editor::TrimBtnClick), L(5, 3), L(2, 0), Ret(), L(8, 0), L(5, 4), Esc()},
       {{0, 0, 5, 0}, {5, -5, 5, 0}, {20, -5, 20, 5}}, 2},
      {"trim by a picked edge alone: the line is no edge", {C(&Editor::TrimBtnClick), L(5, 3), Ret(), L(5, 4), Esc()},
       {{0, 0, 10, 0}, {5, -5, 5, 5}, {20, -5, 20, 5}}, 0, msg::NothingToCut},
      {"trim where nothing is", {C(&Editor::TrimBtnClick), R(), L(50, 50), R()},
       {{0, 0, 10, 0}, {5, -5, 5, 5}, {20, -5, 20, 5}}, 0, msg::NothingClicked},
      {"trim where nothing crosses", {C(&Editor::TrimBtnClick), R(), L(20, 3), R()},
       {{0, 0, 10, 0}, {5, -5, 5, 5}, {20, -5, 20, 5}}, 0, msg::NothingToCut},
      {"extend to the next boundary", {C(&Editor::ExtendBtnClick), R(), L(8, 0), R()},
       {{0, 0, 20, 0}, {5, -5, 5, 5}, {20, -5, 20, 5}}, 1},
      {"extend with nothing ahead", {C(&Editor::ExtendBtnClick), R(), L(20, 4), R()},
       {{0, 0, 10, 0}, {5, -5, 5, 5}, {20, -5, 20, 5}}, 0, msg::NoBoundaryAhead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(false);
    ASSERT_EQ(Write(ed().doc, AddLine, LineKind::Line, {5, -5, 0}, {5, 5, 0}), InsertResult::Inserted);
    ASSERT_EQ(Write(ed().doc, AddLine, LineKind::Line, {20, -5, 0}, {20, 5, 0}), InsertResult::Inserted);
    steps_ = ed().undos.undos.size();
    Run(c.steps);
    ExpectOutcome(c.lines, c.undoSteps, c.message);
    const ToolState& t = ed().tool;
    EXPECT_FALSE(t.intrimselect || t.intrim || t.inextendselect || t.inextend) << "the tool has ended";
    for (const tpoly& p : ed().drawing.polys) EXPECT_FALSE(p.selected) << "the edges are let go";
  }
}

// A picked edge cut in two stays an edge in both parts.
TEST_F(ModifyTest, BothPartsOfACutEdgeStayEdges) {
  Start(false);
  for (const double x : {3.0, 6.0})
    ASSERT_EQ(Write(ed().doc, AddLine, LineKind::Line, {x, -5, 0}, {x, 5, 0}), InsertResult::Inserted);
  steps_ = ed().undos.undos.size();
  ed().view.zoomedvalue = 1000;  // ten pixels a unit
  Run({C(&Editor::TrimBtnClick), L(3, 4), L(6, 4), L(1, 0), Ret(), L(4.5, 0), L(3, -4), L(6, -4)});
  ExpectOutcome({{0, 0, 3, 0}, {3, 0, 3, 5}, {6, 0, 6, 5}, {6, 0, 10, 0}}, 3, 0);
  for (const tpoly& p : ed().drawing.polys) EXPECT_TRUE(p.selected) << "every part of an edge is one";
}

TEST_F(ModifyTest, PickingShowsTheArrowAndEndsOnEscapeKeepingTheSelection) {
  Start(false);
  Run({C(&Editor::LineBtnClick), C(&Editor::CopyBtnClick)});
  EXPECT_TRUE(ed().tool.incopyselect);
  EXPECT_EQ(ed().tool.down, ToolButton::None) << "an armed drawing tool lets go";
  EXPECT_EQ(pf().cursor, Cursor::Arrow);
  Run({L(5, 0)});
  EXPECT_TRUE(ed().drawing.polys.back().selected) << "a click picks, it draws no line";
  EXPECT_EQ(Lines().size(), 1u);
  Run({Esc()});
  EXPECT_FALSE(ed().tool.incopyselect);
  EXPECT_TRUE(ed().drawing.polys.back().selected);
  // With the selection, the tool waits for its points at once.
  Run({C(&Editor::CopyBtnClick)});
  EXPECT_TRUE(ed().tool.incopyline);
}

TEST_F(ModifyTest, TheGhostFollowsThePointerAndIsErasedExactly) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    Segment ghost;  // the line's ghost, in drawing units
  } cases[] = {
      {"copy", {C(&Editor::CopyBtnClick), L(0, 0), M(0, 20)}, {0, 20, 10, 20}},
      {"move", {C(&Editor::MoveBtnClick), L(0, 0), M(5, 5)}, {5, 5, 15, 5}},
      {"rotate a quarter", {C(&Editor::RotateBtnClick), L(0, 0), M(0, 30)}, {0, 0, 0, 10}},
      {"mirror across y", {C(&Editor::MirrorBtnClick), L(0, 0), M(0, 30)}, {0, 0, -10, 0}},
      {"scale to 300 %", {C(&Editor::SkalierungsfaktorperTastatureingeben1Click), C(&Editor::ScaleBtnClick), L(0, 0), M(3, 0)},
       {0, 0, 30, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(true);
    Run(c.steps);
    // The way from the base point, then the ghost.
    ASSERT_EQ(ed().tool.anzrem, 2);
    const tremove& g = ed().tool.remove[1];
    const Point2 a = DXF2Bildschirm(ed().views, c.ghost.x1, c.ghost.y1);
    const Point2 b = DXF2Bildschirm(ed().views, c.ghost.x2, c.ghost.y2);
    EXPECT_NEAR(g.x1, a.x, 1);
    EXPECT_NEAR(g.y1, a.y, 1);
    EXPECT_NEAR(g.x2, b.x, 1);
    EXPECT_NEAR(g.y2, b.y, 1);
    // The next move first draws the same segments again, which erases them.
    const std::vector<tremove> shown(ed().tool.remove.begin(), ed().tool.remove.begin() + 2);
    pf().xor_.clear();
    Run({M(1, 1)});
    ASSERT_GE(pf().xor_.size(), 4u);
    for (std::size_t i = 0; i < 2; ++i) {
      const tremove &was = shown[i], &now = pf().xor_[i];
      EXPECT_TRUE(was.x1 == now.x1 && was.y1 == now.y1 && was.x2 == now.x2 && was.y2 == now.y2 && was.joined == now.joined);
    }
    EXPECT_EQ(pf().repaints, 0);
  }
  // A circle's ghost is one path: its segments after the first join it.
  Start(true);
  ASSERT_EQ(Write(ed().doc, AddCircle, 0, {50, 50, 0}, {60, 50, 0}), InsertResult::Inserted);
  for (tpoly& p : ed().drawing.polys) p.selected = true;
  Run({C(&Editor::MoveBtnClick), L(0, 0), M(1, 0)});
  int joined = 0, alone = 0;
  for (int i = 1; i < ed().tool.anzrem; ++i) ed().tool.remove[static_cast<std::size_t>(i)].joined ? ++joined : ++alone;
  EXPECT_EQ(alone, 2) << "the line's one segment and the circle's first";
  EXPECT_GT(joined, 20);
}

TEST_F(ModifyTest, AParallelsGhostTakesTheSideOfThePointerAndItsPromptTheStep) {
  Start(false);
  pf().offsetDialog.answers.push_back({[](OffsetDialogValues& v) { v.AbstandEd = 2; }});
  Run({C(&Editor::OffsetBtnClick)});
  EXPECT_EQ(Prompt(ed().tool), "Objekt für die Parallele wählen, Rechtsklick für Ende");
  Run({L(5, 0)});
  EXPECT_EQ(Prompt(ed().tool), "Seite der Parallele, ohne Abstand ein Punkt auf ihr");
  for (const double side : {10.0, -10.0}) {
    Run({M(5, side)});
    ASSERT_EQ(ed().tool.anzrem, 1);
    const tremove& g = ed().tool.remove[0];
    const Point2 a = DXF2Bildschirm(ed().views, 0, side / 5), b = DXF2Bildschirm(ed().views, 10, side / 5);
    EXPECT_NEAR(g.x1, a.x, 1);
    EXPECT_NEAR(g.y1, a.y, 1);
    EXPECT_NEAR(g.x2, b.x, 1);
    EXPECT_NEAR(g.y2, b.y, 1);
  }
  Run({Esc()});
  EXPECT_FALSE(ed().tool.inoffset);
  EXPECT_EQ(Lines().size(), 1u);
  EXPECT_EQ(NewSteps(), 0u);
}

TEST_F(ModifyTest, BreakAndLengthenShowWhatTheClickWouldDo) {
  auto by = [](double delta) {
    return [delta](test::FakePlatform& p) {
      p.lengthenDialog.answers.push_back({[delta](LengthenDialogValues& v) { v.DeltaEd = delta; }});
    };
  };
  struct Case {
    const char* what;
    std::function<void(test::FakePlatform&)> answers;
    std::vector<Step> steps;
    Segment ghost;  // from the start of the rubber band to its end, in drawing units
  } cases[] = {
      {"break: the part that goes", {}, {C(&Editor::BreakBtnClick), L(3, 0), M(6, 0)}, {3, 0, 6, 0}},
      {"lengthen at the end", by(5), {C(&Editor::LengthenBtnClick), M(9, 0)}, {0, 0, 15, 0}},
      {"shorten at the start", by(-2), {C(&Editor::LengthenBtnClick), M(1, 0)}, {2, 0, 10, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(false);
    if (c.answers) c.answers(pf());
    Run(c.steps);
    ASSERT_GE(ed().tool.anzrem, 1);
    const tremove& first = ed().tool.remove[0];
    const tremove& last = ed().tool.remove[static_cast<std::size_t>(ed().tool.anzrem - 1)];
    const Point2 a = DXF2Bildschirm(ed().views, c.ghost.x1, c.ghost.y1);
    const Point2 b = DXF2Bildschirm(ed().views, c.ghost.x2, c.ghost.y2);
    EXPECT_NEAR(first.x1, a.x, 1);
    EXPECT_NEAR(first.y1, a.y, 1);
    EXPECT_NEAR(last.x2, b.x, 1);
    EXPECT_NEAR(last.y2, b.y, 1);
    EXPECT_EQ(NewSteps(), 0u);
  }
}

TEST_F(ModifyTest, ACompletingClickRepaintsOnce) {
  for (const std::vector<Step>& steps : std::vector<std::vector<Step>>{
           {C(&Editor::MoveBtnClick), L(0, 0), L(1, 1)},
           {C(&Editor::CopyBtnClick), L(0, 0), L(1, 1)},
           {C(&Editor::MirrorBtnClick), L(0, 0), L(1, 1)},
           {C(&Editor::DelBtnClick)},
       }) {
    Start(true);
    Run(steps);
    EXPECT_EQ(pf().repaints, 1);
    EXPECT_EQ(NewSteps(), 1u);
  }
}

TEST_F(ModifyTest, FilletAndChamferTakeTwoClickedObjects) {
  struct Case {
    const char* what;
    std::function<void(test::FakePlatform&)> answers;
    std::vector<Step> steps;
    std::vector<Segment> lines;
    std::size_t undoSteps = 1;
    int message = 0;
  } cases[] = {
      {"fillet", [](test::FakePlatform& p) { p.filletDialog.answers.push_back({[](FilletDialogValues& v) { v.RadiusEd = 2; }}); },
       {C(&Editor::FilletBtnClick), L(2, 0), L(12, 8)}, {{0, 0, 10, 0}, {12, 2, 12, 10}}},
      {"chamfer",
       [](test::FakePlatform& p) {
         p.chamferDialog.answers.push_back({[](ChamferDialogValues& v) { v.Abstand1Ed = 1, v.Abstand2Ed = 3; }});
       },
       {C(&Editor::ChamferBtnClick), L(2, 0), L(12, 8)}, {{0, 0, 11, 0}, {11, 0, 12, 3}, {12, 3, 12, 10}}},
      {"a click on nothing waits", [](test::FakePlatform& p) { p.filletDialog.answers.push_back({}); },
       {C(&Editor::FilletBtnClick), L(2, 0), L(40, 40), L(12, 8)}, {{0, 0, 10, 0}, {12, 2, 12, 10}}},
      {"one line twice", [](test::FakePlatform& p) { p.filletDialog.answers.push_back({}); },
       {C(&Editor::FilletBtnClick), L(2, 0), L(5, 0)}, {{0, 0, 10, 0}, {12, -2, 12, 10}}, 0, msg::NoCornerHere},
      {"too large", [](test::FakePlatform& p) { p.filletDialog.answers.push_back({[](FilletDialogValues& v) { v.RadiusEd = 50; }}); },
       {C(&Editor::FilletBtnClick), L(2, 0), L(12, 8)}, {{0, 0, 10, 0}, {12, -2, 12, 10}}, 0, msg::CornerTooLarge},
      {"Escape after the first", [](test::FakePlatform& p) { p.filletDialog.answers.push_back({}); },
       {C(&Editor::FilletBtnClick), L(2, 0), Esc(), L(12, 8)}, {{0, 0, 10, 0}, {12, -2, 12, 10}}, 0},
      {"the right button after a line", [](test::FakePlatform& p) { p.filletDialog.answers.push_back({}); },
       {C(&Editor::FilletBtnClick), L(2, 0), R(), L(12, 8)}, {{0, 0, 10, 0}, {12, -2, 12, 10}}, 0},
      {"the dialog cancelled", {}, {C(&Editor::FilletBtnClick), L(2, 0), L(12, 8)}, {{0, 0, 10, 0}, {12, -2, 12, 10}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(false);
    ASSERT_EQ(Write(ed().doc, AddLine, LineKind::Line, {12, -2, 0}, {12, 10, 0}), InsertResult::Inserted);
    steps_ = ed().undos.undos.size();
    ed().dialogs.fillet.RadiusEd = 2;
    if (c.answers) c.answers(pf());
    Run(c.steps);
    ExpectLines(c.lines);
    EXPECT_EQ(NewSteps(), c.undoSteps);
    ASSERT_EQ(pf().messages.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(pf().messages[0].nr, c.message);
    }
    EXPECT_FALSE(ed().tool.infillet || ed().tool.inchamfer) << "the tool has ended";
  }
  // The ghost of the arc follows the pointer over the second object, and
  // goes where there is none.
  Start(false);
  ASSERT_EQ(Write(ed().doc, AddLine, LineKind::Line, {12, -2, 0}, {12, 10, 0}), InsertResult::Inserted);
  pf().filletDialog.answers.push_back({[](FilletDialogValues& v) { v.RadiusEd = 2; }});
  Run({C(&Editor::FilletBtnClick), L(2, 0), M(12, 8)});
  EXPECT_GT(ed().tool.anzrem, 8);
  const tremove& first = ed().tool.remove[0];
  const Point2 tangent = DXF2Bildschirm(ed().views, 10, 0);
  EXPECT_NEAR(first.x1, tangent.x, 1);
  EXPECT_NEAR(first.y1, tangent.y, 1);
  Run({M(40, 40)});
  EXPECT_EQ(ed().tool.anzrem, 0);
}

}  // namespace
}  // namespace vestrel
