// Snapping: every point taken from the pointer comes here first.
#pragma once

#include <span>
#include <string_view>

#include "tools/editor.h"

namespace vestrel {

// Aligns the pointer (x, y), in pixels of the drawing area as `window`
// places them, with the reference point (xx, yy) - vertically,
// horizontally or on a diagonal when it lies within 5 pixels of that
// line - and catches the nearest
// point of a shown object within 5 pixels in x and in y of the pointer
// as it came in. On a catch x, y become the point's pixel, (ex, ey) its
// drawing coordinates exactly as stored, a marker square is drawn on the
// rubber band, and the result is true; otherwise x, y keep the alignment
// and ex, ey are left alone. With Ctrl held nothing is aligned or caught.
// A caller without a previous point passes the pointer as reference.
// With object snaps switched on (ToolState::snaps), they catch instead of
// the nearest point: the closest of their candidates within 5 pixels,
// exact, marked by its kind's own marker and label and kept as
// ToolState::snapped; perpendiculars and tangents are drawn from the
// reference point.
// A segment of a snap marker, in pixels from the snapped point.
struct SnapStroke {
  int x1, y1, x2, y2;
};
// The marker of each kind of object snap, 5 pixels from its point at
// most; the snap tool bar shows them too.
std::span<const SnapStroke> SnapMarker(SnapKind k);
// The program name of each kind's switch in the menu "Fang".
inline constexpr std::string_view kSnapItems[kSnapKinds] = {
    "FangEndpunkt1", "FangMitte1", "FangZentrum1", "FangQuadrant1", "FangSchnitt1",
    "FangLot1",      "FangTangente1", "FangNaechster1", "FangBasis1"};

bool SnapPoints(Editor& e, const ScreenTransform& window, double xx, double yy, double& x, double& y, double& ex,
                double& ey, ShiftState shift);

}  // namespace vestrel
