// Selection with the mouse: a click catches the objects whose vertices or
// segments lie under the pointer, or grabs a selected object or one of its
// grips for dragging; a click on empty ground opens a window, and the
// window catches every object with a vertex inside it. Objects on locked
// layers are never caught.
#pragma once

#include "tools/editor.h"

namespace vestrel {

// The selection click at (px, py), in pixels of the drawing area as
// `window` places them; with Shift (`deselect`) it takes the objects out
// of the selection instead. Ends in a grip drag (inmovepoint), a drag of
// the selection (inmove), a repaint, or the first corner of a window
// (inmassselect).
void SelectAt(Editor& e, const ScreenTransform& window, double px, double py, bool deselect);

// The first shown, unlocked object (in the order of the display list)
// whose outline passes within 3 pixels of (px, py) of `window`: its entry;
// -1 when there is none.
std::int32_t ObjectAt(Editor& e, const ScreenTransform& window, double px, double py);

// The window between the screen points (x1, y1) and (x2, y2) of `window`:
// every shown, unlocked object with a drawn vertex inside is selected, or
// with `deselect` taken out of the selection. True when it caught
// anything.
bool MassSelect(Editor& e, const ScreenTransform& window, double x1, double y1, double x2, double y2, bool deselect);

}  // namespace vestrel
