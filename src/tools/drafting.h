// Drawing precisely: the point typed into the command field, and the
// snap grid, ortho and polar, which give a point taken from the pointer
// its place when no point of the drawing catches it. All in drawing units,
// exact where the numbers allow it. (The handlers of their menu items are
// in drafting.cpp too.)
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "geometry/point.h"
#include "platform/dialogs.h"
#include "view/screentransform.h"

namespace vestrel {

// The direction `degrees` counter-clockwise from the x axis; exact along
// the axes.
Point2 DirectionOf(double degrees);

// What the command field KoordEd takes: "x,y" (absolute), "@dx,dy"
// (relative to the last fixed point) and "@distance<angle" (polar, the
// angle in degrees counter-clockwise from the x axis). The numbers are
// separated by ","; "." and "," both serve as the decimal mark where that
// leaves one reading only ("1,5,2,5" is 1.5, 2.5; "1,5,2" could be either).
// Blanks around the numbers do not count.
struct PointEntry {
  bool relative = false;
  Point2 value;   // the point, or the way from the last fixed point
  int error = 0;  // the message number of what is wrong; 0 for none
};
PointEntry ParsePointEntry(std::string_view text);

// The largest coordinate a typed point may have, as the X and Y fields.
inline constexpr double kMostTyped = 1e12;

// The pointer `p` restricted to the horizontal or the vertical through
// `from`, whichever is nearer.
Point2 OrthoPoint(Point2 from, Point2 p);
// The pointer `p` moved onto the nearest ray from `from` at a multiple of
// `step` degrees; with a grid `spacing` (above 0) the distance along it in
// whole spacings.
Point2 PolarPoint(Point2 from, Point2 p, double step, double spacing = 0);
// The multiple of the grid's `spacing` nearest to `v`, as the decimal
// spacing would give it (3 x 0.1 is 0.3); `v` itself where no such
// number can stand for it.
double GridValue(double v, double spacing);

// Whether a dialog's value can be taken: a spacing above 0, a polar step
// above 0 and at most 180 degrees.
bool RasterValid(const RasterDialogValues& v);
bool PolarValid(const PolarDialogValues& v);

// What the aids make of the pointer `p` (drawing units) when nothing
// caught it: ortho (`ortho`, already inverted by Shift) or polar from the
// last fixed point `from`, and the grid. Nothing when none of them acts.
std::optional<Point2> AidedPoint(const DraftAids& aids, bool ortho, std::optional<Point2> from, Point2 p);

// The pixels of the grid's dots in a drawing area of `width` x `height`
// as `window` shows it; none while two dots would be closer than
// kGridMinPixels.
inline constexpr double kGridMinPixels = 8;
std::vector<Point2> GridDots(const ScreenTransform& window, double spacing, int width, int height);

}  // namespace vestrel
