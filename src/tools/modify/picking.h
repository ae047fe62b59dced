// What the editing tools share: arming with or without a selection, the
// end of the picking, giving up, and the two points most of them take.
#pragma once

#include "editing/reshape.h"
#include "i18n/msg.h"
#include "tools/steps.h"

namespace vestrel {

// Arms an editing tool: whatever ran ends and an armed drawing tool is let
// go (a click now picks objects or gives a point, it starts nothing). With
// a selection the tool waits for its points (`line`), without one objects
// are picked first (`select`).
void ArmEdit(Editor& e, bool ToolState::*select, bool ToolState::*line);
// Whatever ran ends and an armed drawing tool is let go.
void EndTools(Editor& e);
// Objects are picked for the tool of `select` (its mode on, the arrow
// cursor), until the right button stops it (its mode off, a window closed
// unfinished, the `cursor`).
void StartPicking(Editor& e, bool ToolState::*select);
void StopPicking(Editor& e, bool ToolState::*select, Cursor cursor);
// The picking ends (the right button): the tool waits for its points.
void EndPicking(Editor& e, bool ToolState::*select, bool ToolState::*line);
// The tool stops waiting for points: given up by the right button, or
// done by its last click.
void StopPoints(Editor& e, bool ToolState::*line);

// Tells the user what went wrong with a join or an explode (`refused`:
// the message for a kind it cannot take), and paints.
void ReportReshape(Editor& e, const ReshapeResult& r, msg::Nr refused);

// The click of a tool that takes a base point and then a second point,
// which it hands to `edit` (an EditResult of it). `based` runs after the
// base point (a tool that asks for its value there ends in it).
template <class Edit, class Based>
void TwoPoints(Editor& e, const Click& c, bool ToolState::*line, Edit edit, Based based) {
  ToolState& t = e.tool;
  if (c.right()) return StopPoints(e, line);
  // The base point is the first: there is no fixed point before it.
  const Point2 p = t.ellipsemode == 0 ? PointStep(e, std::nullopt, c) : PointStep(e, c);
  if (t.ellipsemode == 0) {
    t.linesx = p.x, t.linesy = p.y;
    ++t.ellipsemode;
    return based();
  }
  StopPoints(e, line);
  e.Report(edit(p));
  e.Repaint();
}

template <class Edit>
void TwoPoints(Editor& e, const Click& c, bool ToolState::*line, Edit edit) {
  TwoPoints(e, c, line, edit, [] {});
}

// A tool that asks for its value after the base point ends with it: `ask`
// shows its dialog and makes the edit.
template <class Ask>
void Asked(Editor& e, bool ToolState::*line, Ask ask) {
  StopPoints(e, line);
  e.Report(ask());
  e.Repaint();
}

}  // namespace vestrel
