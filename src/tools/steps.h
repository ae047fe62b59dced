// The steps of the tool families that the drawing area's mouse dispatch
// calls; each family defines its own in its file.
#pragma once

#include "tools/editor.h"

namespace vestrel {

// A press of a mouse button in the drawing area.
struct Click {
  MouseButton button = MouseButton::Left;
  ShiftState shift;
  int x = 0, y = 0;
};

// The zoom and pan tools (tools/zoompan.cpp): a press starts the drag,
// the right button ends the tool; moves drag; a release ends the drag.
void ZoomClick(Editor& e, const Click& c);
void HandClick(Editor& e, const Click& c);
void ZoomDrag(Editor& e, int x, int y);
void PanDrag(Editor& e, int x, int y);
void ZoomRelease(Editor& e);
void HandRelease(Editor& e);

// Selection (tools/select.cpp): the click with nothing armed, the second
// corner of a window and its rubber band, and the end of a drag.
void SelectClick(Editor& e, const Click& c);
void MassSelectClick(Editor& e, const Click& c);
void MassSelectBand(Editor& e, int x, int y);
void DragEnd(Editor& e);

}  // namespace vestrel
