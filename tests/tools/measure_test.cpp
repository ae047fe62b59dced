// "Messen" as the user clicks it: the results it keeps and shows, and what
// it refuses with a message, the drawing left as it was.
#include "view/measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "i18n/msg.h"
#include "support/dxf_text.h"
#include "support/editor_steps.h"

namespace vestrel {
namespace {

using namespace test;
using E = Editor;
using Values = std::vector<std::pair<std::string_view, double>>;

TEST(MeasureTool, ClicksGiveTheirResultOrAMessage) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    Values measured;
    int message = 0;
  } cases[] = {
      {"distance", {C(&E::MessenAbstand1Click), L(10, 10), L(13, 14)},
       {{"distance", 5}, {"dx", 3}, {"dy", 4}, {"angle", std::atan2(4.0, 3.0) * 180 / kPi}}},
      {"distance down", {C(&E::MessenAbstand1Click), L(0, 0), L(0, -2)},
       {{"distance", 2}, {"dx", 0}, {"dy", -2}, {"angle", 270}}},
      {"angle at the second point", {C(&E::MessenWinkel1Click), L(10, 0), L(0, 0), L(-10, 10)}, {{"angle", 135}}},
      {"angle with a leg of no length", {C(&E::MessenWinkel1Click), L(3, 3), L(3, 3), L(5, 0)}, {}, msg::NoAngle},
      {"area of clicked points, the right button ends it",
       {C(&E::MessenFlaeche1Click), L(0, 0), L(0, 3), L(4, 3), L(4, 0), R()}, {{"area", 12}, {"perimeter", 14}}},
      {"two points make no area", {C(&E::MessenFlaeche1Click), L(0, 0), L(0, 3), R()}, {}},
      {"selected rectangle with a hole",
       {C(&E::RectangleBtnClick), L(0, 0), L(10, 10), C(&E::RectangleBtnClick), L(4, 4), L(6, 6),
        C(&E::AllesAuswhlen1Click), C(&E::MessenFlaeche1Click)},
       {{"area", 96}, {"perimeter", 48}}},
      {"a selected line does not close",
       {C(&E::RectangleBtnClick), L(0, 0), L(10, 10), C(&E::LineBtnClick), L(20, 0), L(30, 0), R(),
        C(&E::AllesAuswhlen1Click), C(&E::MessenFlaeche1Click)},
       {}, msg::NoArea},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditorOnScreen screen;
    Editor& e = *screen.editor;
    RunSteps(e, c.steps);
    ASSERT_EQ(e.tool.measured.size(), c.measured.size());
    for (std::size_t k = 0; k < c.measured.size(); ++k) {
      EXPECT_EQ(e.tool.measured[k].first, c.measured[k].first);
      EXPECT_NEAR(e.tool.measured[k].second, c.measured[k].second, 1e-12);
    }
    if (!c.measured.empty()) EXPECT_FALSE(screen.platform->status.empty());
    const auto& shown = screen.platform->messages;
    EXPECT_EQ(shown.empty() ? 0 : shown.back().nr, c.message);
    if (c.message == msg::NoArea) EXPECT_EQ(shown.back().suffix, "LINE");
  }
}

TEST(MeasureTool, ReturnEndsAnAreaAndTheToolGoesOnUntilTheRightButton) {
  EditorOnScreen screen;
  Editor& e = *screen.editor;
  RunSteps(e, {C(&E::MessenFlaeche1Click), L(0, 0), L(2, 0), L(2, 2)});
  e.keyeditKeyDown(13);
  ASSERT_EQ(e.tool.measured.size(), 2u);
  EXPECT_EQ(e.tool.measured[0].second, 2);
  EXPECT_TRUE(e.tool.inmeasure) << "ready for the next area";
  EXPECT_TRUE(e.tool.measuring.empty());
  RunSteps(e, {R()});
  EXPECT_FALSE(e.tool.inmeasure);
  // The selection's length, by its exact curves.
  RunSteps(e, {C(&E::CircleBtnClick), L(0, 0), L(0, 2), C(&E::RectangleBtnClick), L(5, 5), L(6, 7),
               C(&E::AllesAuswhlen1Click)});
  EXPECT_NEAR(e.SelectedLength(), 4 * kPi + 6, 1e-12);
}

// The length of a large selection is measured on the machine's cores: the
// sum of the objects' lengths in their order, to the last bit.
TEST(MeasureTool, TheLengthOfALargeSelectionIsTheSumInOrder) {
  EditorOnScreen screen;
  Editor& e = *screen.editor;
  std::string entities;
  for (int i = 0; i < 1500; ++i) {
    const std::string y = std::to_string(i), x = std::to_string(0.1 + i * 0.0137);
    entities += i % 3 ? "  0\nLINE\n  8\n0\n 10\n0\n 20\n" + y + "\n 11\n" + x + "\n 21\n" + y + "\n"
                      : "  0\nCIRCLE\n  8\n0\n 10\n0\n 20\n" + y + "\n 40\n" + x + "\n";
  }
  e.drawing.dxf.assign(WithEof(Section("ENTITIES", entities)));
  processdxf(e.drawing);
  Blocks blocks(e.drawing);
  std::vector<Contour> contours;
  for (std::size_t i = 0; i < e.drawing.polys.size(); ++i) AddContours(e.drawing, blocks, i, contours, true);
  double sum = 0;
  for (const Contour& c : contours) sum += c.length;
  e.AllesAuswhlen1Click();
  EXPECT_EQ(e.SelectedLength(), sum);
}

}  // namespace
}  // namespace vestrel
