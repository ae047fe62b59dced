// The tools of the drawing area, once. Two tables say all there is to know
// about them: the modes (what runs, and the steps the mouse and Escape go
// to while it does) and the tools (what arms them, their variant, their
// first click, the buttons that show them). Ending every tool, Escape, the
// mouse dispatch (tools/mouse.cpp), the check marks of the command table
// and the names the replay prints are all derived from these tables.
//
// Adding a tool: a row of Tools() (and of Modes() when it runs in a mode of
// its own, with a flag in ToolState), its steps in one file of tools/draw/
// or tools/modify/ declared in tools/steps.h, its command in
// tools/commands.cpp, a row of the table test, and its texts in the
// dictionary.
#pragma once

#include <span>
#include <string_view>

#include "tools/editor.h"

namespace vestrel {

struct Click;
struct Move;

// The variants of the tools of one family, kept in ToolState::arcmode while
// the tool is armed and runs (the writers take the same numbers).
enum LineVariant : int { kLineSegment = 0, kConstructionLine = 1, kRay = 2 };
enum PolyVariant : int { kPolyline = 0, kFreeHand = 1, kSpline = 2 };
enum ArcVariant : int { kArcStartMiddleEnd = 0, kArcCentreStartEnd = 1, kArcStartEndMiddle = 3 };
enum CircleVariant : int {
  kCircleCentreRadius = 0, kCircleThreePoints = 1, kCircleCentreDiameter = 2, kCircleTwoPoints = 3, kPolygon = 5,
};
enum EllipseVariant : int { kEllipseAxes = 0, kEllipseArcAxes = 1, kEllipseCentre = 2, kEllipseArcCentre = 3 };
enum MeasureVariant : int { kMeasureDistance = 0, kMeasureAngle = 1, kMeasureArea = 2 };
// A tool without variants: arming it leaves arcmode as it was.
inline constexpr int kAnyVariant = -1;

// A mode of the drawing area: while its flag is on, the mouse goes to its
// steps. The modes are listed in the order the replay prints them; the
// first mode that is on and has the step takes the event.
struct Mode {
  std::string_view name = {};  // the flag's name, as the replay prints it ("inlin")
  bool ToolState::*on = nullptr;
  // A press of a mouse button; with `rightOnly` the right button only (it
  // ends a picking, the left one goes on to the window it may open).
  void (*click)(Editor&, const Click&) = nullptr;
  bool rightOnly = false;
  void (*preview)(Editor&, const Move&) = nullptr;  // the rubber band of a move
  void (*drag)(Editor&, int x, int y) = nullptr;    // a move, instead of the rubber band
  void (*release)(Editor&, const Click&) = nullptr;
  // What Escape finishes of it (a polyline keeps what is drawn); without
  // one, Escape ends every mode and nothing is written.
  void (*finish)(Editor&) = nullptr;
  // What the status bar asks for while it runs without a tool of the
  // table (the selection's window and drags).
  std::string_view prompt = {};
};

// How a tool's button (and its menu item) shows it.
enum class ButtonShows {
  Armed,    // down while the tool is armed, up again after its first click (the drawing tools)
  Running,  // pressed while the tool picks objects or waits for its points (the editing tools)
  Never,    // not at all: the zoom and pan tools
};

struct Tool {
  std::string_view menu = {};    // program name of its menu item; empty for a button only
  std::string_view button = {};  // program name of the tool button that shows it; empty for none
  ButtonShows shows = ButtonShows::Armed;
  // The button that is down while it is armed (None for the editing, zoom
  // and pan tools), and its variant.
  ToolButton down = ToolButton::None;
  int variant = kAnyVariant;
  bool ToolState::*picking = nullptr;  // the mode in which it picks objects first
  bool ToolState::*mode = nullptr;     // the mode its points run in; none for a tool of one click
  void (*first)(Editor&, const Click&) = nullptr;  // the first click of the armed tool
  // What the status bar asks for at each of its steps: the first while it
  // is armed (or picks objects), then one for each point it has taken, the
  // last standing for all that follow.
  std::span<const std::string_view> prompts = {};
  // Which prompt its points are at while its mode runs; without one, the
  // second and then one further for each point it stored after its first
  // (ellipsemode).
  int (*step)(const ToolState&) = nullptr;
  // The flag that tells this tool runs, where its mode's flag and variant
  // do not tell it from another (the arrow runs as a line).
  bool ToolState::*running = nullptr;
};

std::span<const Mode> Modes();
std::span<const Tool> Tools();

// The drawing tool that is armed (by the button that is down and the
// variant), none when no button is down.
const Tool* ArmedTool(const ToolState& t);
// Whether any mode is on.
bool AnyModeOn(const ToolState& t);
// What the status bar asks the user for now: the prompt of the tool that
// picks or runs at its step, else of the armed tool, else of the mode that
// is on, else what a click with nothing armed does.
std::string_view Prompt(const ToolState& t);
// With nothing armed a click selects.
inline constexpr std::string_view kSelectPrompt = "Objekt wählen oder Fenster aufziehen";
// Whether the tool button or menu item `button` shows its tool as armed or
// running now; false for a name that is no tool's.
bool ToolShown(const Editor& e, std::string_view button);
// Whether `button` is the button of a tool that shows itself.
bool ShowsTool(std::string_view button);
// The program name of a tool button, as the replay prints it.
std::string_view ButtonName(ToolButton b);

}  // namespace vestrel
