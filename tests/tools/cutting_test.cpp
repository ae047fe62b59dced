// "Zuschnitt prüfen" as the user runs it: the findings listed apart by
// whether they are errors, the check again at another tolerance, the view
// zoomed to a finding, and the marks kept while they still tell the truth.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "i18n/msg.h"
#include "support/editor_steps.h"

namespace vestrel {
namespace {

using namespace test;
using E = Editor;

// A square of four lines whose last end stops 0.005 short of its start, a
// circle of radius 2 and a point (a kind the machines do not take).
void DrawNearlyClosedSquare(Editor& e) {
  RunSteps(e, {C(&E::LineBtnClick)});
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}, {0.0, 10.0}, {0.005, 0.0}})
    e.BenutzenBtnClick(x, y);
  RunSteps(e, {R(), C(&E::CircleBtnClick), L(50, 5), L(52, 5), C(&E::PointBtnClick)});
  e.BenutzenBtnClick(30, 30);
  RunSteps(e, {Esc()});
}

std::vector<std::string> Kinds(const std::vector<CutFindingRow>& rows) {
  std::vector<std::string> kinds;
  for (const CutFindingRow& r : rows) kinds.push_back(r.kind + " " + r.width);
  return kinds;
}

TEST(CutCheckDialog, ListsAndChecksAgainAtTheToleranceTyped) {
  EditorOnScreen screen;
  Editor& e = *screen.editor;
  FakePlatform& p = *screen.platform;
  DrawNearlyClosedSquare(e);
  std::vector<CutCheckDialogValues> seen;
  p.cutCheckUser = [&](CutCheckDialogValues& v, CutCheckSteps& steps) {
    seen.push_back(v);
    v.ToleranzEd = 0.001;
    steps.Check(v);
  };
  e.ZuschnittPruefen1Click();
  ASSERT_EQ(seen.size(), 1u);
  const CutCheckDialogValues& first = seen[0];
  EXPECT_EQ(first.ToleranzEd, 0.01);
  // Ends that nearly meet leave the contour open.
  EXPECT_EQ(Kinds(first.errors), (std::vector<std::string>{"Offene Kontur 0.0050", "Fast treffende Enden 0.0050"}));
  EXPECT_EQ(Kinds(first.notCut), std::vector<std::string>{"Nicht schneidbar "});
  EXPECT_EQ(first.notCut[0].object, "POINT");
  EXPECT_EQ(first.summary, GermanMessage(msg::NotReadyToCut));
  // One part (the circle), then the total with the open square.
  ASSERT_EQ(first.figures.size(), 2u);
  EXPECT_EQ(first.figures[0].part, "Teil 1");
  EXPECT_EQ(first.figures[0].length, "12.5664");
  EXPECT_EQ(first.figures[0].pierces, "1");
  EXPECT_EQ(first.figures[0].area, "12.5664");
  EXPECT_EQ(first.figures[0].box, "48.0000, 3.0000 – 52.0000, 7.0000");
  EXPECT_EQ(first.figures[1].part, "Gesamt");
  EXPECT_EQ(first.figures[1].pierces, "2");
  // Closer than the tolerance no more: the gap of an open contour.
  const CutCheckDialogValues& last = p.cutCheckClosed.back();
  EXPECT_EQ(Kinds(last.errors), std::vector<std::string>{"Offene Kontur 0.0050"});
  EXPECT_EQ(e.dialogs.cutTolerance, 0.001) << "proposed next time";
  ASSERT_TRUE(e.cutchecked);
  EXPECT_EQ(e.cutchecked->check.count(CutFinding::Kind::OpenContour), 1);
  // Each row finds its finding again.
  for (const CutFindingRow& r : last.errors)
    EXPECT_NE(e.cutchecked->check.findings.at(r.finding).kind, CutFinding::Kind::NotCut);
}

TEST(CutCheckDialog, ADoubleClickZoomsToTheFindingThroughTheView) {
  EditorOnScreen screen;
  Editor& e = *screen.editor;
  DrawNearlyClosedSquare(e);
  const double before = e.view.zoomedvalue;
  screen.platform->cutCheckUser = [&](CutCheckDialogValues& v, CutCheckSteps& steps) {
    steps.ShowFinding(v.errors.at(1).finding);  // the near ends
  };
  e.ZuschnittPruefen1Click();
  // The near ends at (0, 0) and (0.005, 0), with a fiftieth of what the
  // contours span (52 across) around them: 2.08 units fill the 600 pixels'
  // height.
  const ScreenTransform t = WindowTransform(e.views);
  const PixelSize area = e.platform.PaintBoxSize();
  const Point2 lo = t.toWorld(0, area.height - 1), hi = t.toWorld(area.width - 1, 0);
  const double pixel = 2.08 / area.height;
  EXPECT_NEAR(hi.y - lo.y, 2.08, 2 * pixel);
  EXPECT_NEAR((lo.y + hi.y) / 2, 0, 2 * pixel);
  EXPECT_NEAR((lo.x + hi.x) / 2, 0.0025, 2 * pixel);
  EXPECT_GT(e.view.zoomedvalue, 100 * before) << "zoomed in";
  EXPECT_TRUE(HasPreviousView(e.view)) << "\"Vorherige Ansicht\" goes back";
}

TEST(CutCheckDialog, BereinigenRepairsInOneStepAndChecksAgain) {
  EditorOnScreen screen;
  Editor& e = *screen.editor;
  DrawNearlyClosedSquare(e);
  RunSteps(e, {C(&E::CircleBtnClick), L(50, 5), L(52, 5)});  // the circle twice
  // The text from the objects on (undo leaves the handle seed naming the
  // next handle).
  auto objects = [&e] {
    const std::string text = e.drawing.dxf.join("\n");
    return text.substr(text.find("ENTITIES"));
  };
  const std::string before = objects();
  const std::size_t steps = e.undos.undos.size();
  std::vector<CutCheckDialogValues> seen;
  screen.platform->cutCheckUser = [&](CutCheckDialogValues& v, CutCheckSteps& s) {
    s.Repair(v);
    seen.push_back(v);
    s.Repair(v);  // nothing left to do
  };
  e.ZuschnittPruefen1Click();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].repaired, "Bereinigt: 1 doppelte Objekte gelöscht, 0 überlappende gekürzt, 1 Enden "
                              "zusammengeführt, 1 Konturen geschlossen, 0 Lücken überbrückt.");
  EXPECT_TRUE(seen[0].errors.empty()) << "checked again: ready";
  EXPECT_EQ(seen[0].summary, GermanMessage(msg::ReadyToCut));
  const CutCheckDialogValues& last = screen.platform->cutCheckClosed.back();
  EXPECT_EQ(last.repaired, GermanMessage(msg::NothingToRepair));
  EXPECT_EQ(e.undos.undos.size(), steps + 1) << "one step";
  ASSERT_NE(e.CutMarksShown(), nullptr) << "the marks of the check after the repair";
  e.Rckgngig1Click();
  EXPECT_EQ(objects(), before) << "the undo takes it back whole";
}

TEST(CutCheckDialog, TheMarksStayUntilTheDrawingChanges) {
  EditorOnScreen screen;
  Editor& e = *screen.editor;
  DrawNearlyClosedSquare(e);
  e.ZuschnittPruefen1Click();
  const CutCheck* marked = e.CutMarksShown();
  ASSERT_NE(marked, nullptr);
  EXPECT_EQ(marked->findings.size(), 3u);
  e.ZoomAllClick();
  EXPECT_EQ(e.CutMarksShown(), marked) << "the view alone changed";
  e.TabControl1Change(1);
  EXPECT_EQ(e.CutMarksShown(), nullptr) << "another tab";
  e.TabControl1Change(0);
  e.ZuschnittPruefen1Click();
  ASSERT_NE(e.CutMarksShown(), nullptr);
  RunSteps(e, {C(&E::LineBtnClick), L(50, 50), L(60, 50), R()});
  EXPECT_EQ(e.CutMarksShown(), nullptr) << "the drawing changed";
  ASSERT_TRUE(e.cutchecked) << "the counts of the last check stay";
}

}  // namespace
}  // namespace vestrel
