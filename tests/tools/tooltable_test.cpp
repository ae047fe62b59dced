// The tool table: every tool armed through its command shows itself and
// no other, runs in its mode after its first click, and ends with Escape.
#include "tools/tooltable.h"

#include <gtest/gtest.h>

#include <set>

#include "support/editor_steps.h"
#include "tools/commands.h"
#include "writers/entitywriters.h"

namespace vestrel {
namespace {

const Command* CommandNamed(std::string_view name) {
  for (const Command& c : Commands())
    if (!name.empty() && (c.name == name || c.button == name)) return &c;
  return nullptr;
}

TEST(ToolTable, EveryToolArmsThroughItsCommandShowsItselfRunsAndEndsWithEscape) {
  for (const Tool& tool : Tools()) {
    SCOPED_TRACE(std::string(tool.menu) + " " + std::string(tool.button));
    test::EditorOnScreen screen;
    Editor& e = *screen.editor;
    screen.platform->polygonDialog.answers.push_back({});
    screen.platform->lengthenDialog.answers.push_back({});
    screen.platform->offsetDialog.answers.push_back({});
    screen.platform->filletDialog.answers.push_back({});
    screen.platform->chamferDialog.answers.push_back({});
    const Command* command = CommandNamed(tool.menu.empty() ? tool.button : tool.menu);
    ASSERT_NE(command, nullptr);
    // A tool of a menu item alone shows itself there.
    const Command* button = CommandNamed(tool.button.empty() ? tool.menu : tool.button);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(command->handler, nullptr);
    (e.*command->handler)();

    switch (tool.shows) {
      case ButtonShows::Armed: EXPECT_EQ(ArmedTool(e.tool), &tool); break;
      case ButtonShows::Running:
        // Nothing is selected: it picks, or waits for the click on its object.
        EXPECT_TRUE(tool.picking ? e.tool.*tool.picking : e.tool.*tool.mode);
        EXPECT_TRUE(e.tool.*(tool.picking ? tool.picking : tool.mode)) << "nothing is selected: it picks";
        break;
      case ButtonShows::Never: EXPECT_TRUE(e.tool.*tool.mode); break;
    }
    EXPECT_EQ(Checkable(*button), tool.shows != ButtonShows::Never);
    // One button of the tools shows its tool, and only the tool's own.
    for (const Tool& other : Tools()) {
      if (other.button.empty()) continue;
      const Command* b = CommandNamed(other.button);
      EXPECT_EQ(Checked(e, *b), tool.shows != ButtonShows::Never && other.button == tool.button) << other.button;
    }

    if (tool.shows == ButtonShows::Armed && tool.mode) {
      e.PaintBox1MouseDown(MouseButton::Left, test::kNoSnap, 300, 300);
      EXPECT_TRUE(e.tool.*tool.mode);
      EXPECT_EQ(e.tool.down, ToolButton::None) << "its first click lets the button up";
    }
    e.keyeditKeyDown(27);
    EXPECT_FALSE(AnyModeOn(e.tool));
    EXPECT_EQ(e.tool.down, ToolButton::None);
    EXPECT_FALSE(Checked(e, *button));
  }
}

TEST(ToolTable, TheRowsOfOneButtonShareTheirStepsAndEveryButtonHasItsName) {
  std::set<std::string_view> modeNames;
  for (const Mode& m : Modes()) {
    EXPECT_TRUE(modeNames.insert(m.name).second) << m.name;
    EXPECT_TRUE(!m.rightOnly || m.click) << m.name;
  }
  auto isMode = [](bool ToolState::*flag) {
    for (const Mode& m : Modes())
      if (m.on == flag) return true;
    return false;
  };
  for (const Tool& tool : Tools()) {
    SCOPED_TRACE(std::string(tool.menu) + " " + std::string(tool.button));
    EXPECT_TRUE(!tool.mode || isMode(tool.mode));
    EXPECT_TRUE(!tool.picking || isMode(tool.picking));
    EXPECT_EQ(tool.down != ToolButton::None, tool.first != nullptr);
    // The first click and the mode go by the button that is down.
    for (const Tool& other : Tools())
      if (other.down == tool.down && tool.down != ToolButton::None) {
        EXPECT_EQ(other.first, tool.first);
        EXPECT_EQ(other.mode, tool.mode);
      }
  }
  std::set<std::string_view> buttonNames;
  for (int b = static_cast<int>(ToolButton::LineBtn); b <= static_cast<int>(ToolButton::PenBtn); ++b) {
    const std::string_view name = ButtonName(static_cast<ToolButton>(b));
    EXPECT_FALSE(name.empty()) << b;
    EXPECT_TRUE(buttonNames.insert(name).second) << name;
  }
  EXPECT_TRUE(ButtonName(ToolButton::None).empty());
}

// Every tool asks for something at every step it reaches, and asks every
// prompt of its row on the way: the status bar never falls silent or
// shows another tool's step.
TEST(ToolTable, EveryToolPromptsAtEveryStepItReaches) {
  // Pixels of a walk that gives no tool a degenerate shape.
  constexpr int kWalk[][2] = {{300, 300}, {380, 270}, {420, 200}, {350, 150}, {280, 210}, {260, 320}, {330, 360}};
  for (const Tool& tool : Tools()) {
    SCOPED_TRACE(std::string(tool.menu) + " " + std::string(tool.button));
    test::EditorOnScreen screen;
    Editor& e = *screen.editor;
    screen.platform->polygonDialog.answers.push_back({});
    screen.platform->filletDialog.answers.push_back({});
    screen.platform->chamferDialog.answers.push_back({});
    screen.platform->lengthenDialog.answers.push_back({});
    // A line along the walk's first step, for the tools that take the
    // object clicked (one pixel a unit, the origin at pixel (100, 500)).
    ASSERT_EQ(Write(e.doc, AddLine, LineKind::Line, {200, 200, 0}, {280, 230, 0}), InsertResult::Inserted);
    e.tool.SkalierungsfaktorperTastatureingeben = false;  // the factor by a point
    screen.platform->offsetDialog.answers.push_back({});
    // The parallel, the fillet and the chamfer take a line under the walk's
    // first point.
    const Point2 a = Bildschirm2DXF(e.views, 250, 300), b = Bildschirm2DXF(e.views, 350, 300);
    if (tool.mode == &ToolState::inoffset || tool.mode == &ToolState::infillet ||
        tool.mode == &ToolState::inchamfer)
      ASSERT_EQ(Write(e.doc, AddLine, LineKind::Line, {a.x, a.y, 0}, {b.x, b.y, 0}), InsertResult::Inserted);
    (e.*CommandNamed(tool.menu.empty() ? tool.button : tool.menu)->handler)();
    ASSERT_FALSE(tool.prompts.empty());
    EXPECT_EQ(Prompt(e.tool), tool.prompts.front());
    std::set<std::string_view> asked;
    auto ask = [&] {
      if (!AnyModeOn(e.tool) && e.tool.down == ToolButton::None) return false;
      const std::string_view prompt = Prompt(e.tool);
      EXPECT_FALSE(prompt.empty());
      EXPECT_NE(prompt, kSelectPrompt);
      asked.insert(prompt);
      return true;
    };
    ask();
    // The editing tools pick nothing and go on to their points.
    if (tool.picking) e.PaintBox1MouseDown(MouseButton::Right, {}, 0, 0);
    for (const auto [x, y] : kWalk) {
      if (!ask()) break;
      // A spline with its points takes its end directions after "Fertig".
      if (tool.variant == kSpline && e.tool.inpoly && e.tool.splinemode == 0 && e.tool.polyline0.size() >= 3)
        e.Fertig1Click();
      else
        e.PaintBox1MouseDown(MouseButton::Left, test::kNoSnap, x, y);
      // A free-hand stroke runs while the button is held.
      if (!ask()) break;
      e.PaintBox1MouseUp(MouseButton::Left, test::kNoSnap, x, y);
    }
    for (const std::string_view prompt : tool.prompts) EXPECT_TRUE(asked.contains(prompt)) << prompt;
  }
}

TEST(ToolTable, WithNothingArmedTheSelectionPromptsForItsWindow) {
  test::EditorOnScreen screen;
  Editor& e = *screen.editor;
  EXPECT_EQ(Prompt(e.tool), kSelectPrompt);
  e.PaintBox1MouseDown(MouseButton::Left, {}, 300, 300);  // empty ground: a window opens
  ASSERT_TRUE(e.tool.inmassselect);
  EXPECT_EQ(Prompt(e.tool), "Zweite Ecke des Fensters");
  e.PaintBox1MouseDown(MouseButton::Left, {}, 400, 400);
  EXPECT_EQ(Prompt(e.tool), kSelectPrompt);
}

}  // namespace
}  // namespace vestrel
