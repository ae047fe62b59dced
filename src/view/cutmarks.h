// Where the findings of the cut check show in the drawing area: a symbol
// of a fixed size in pixels at each finding's place, with its box around
// what it concerns when that is larger than the symbol; and the window the
// view zooms to for one finding.
#pragma once

#include <utility>
#include <vector>

#include "geometry/point.h"
#include "view/cutcheck.h"
#include "view/screentransform.h"

namespace vestrel {

inline constexpr int kCutMarkRadius = 6;  // pixels, at every zoom

struct CutMark {
  int x = 0, y = 0;  // the symbol's centre
  // The finding's box in pixels, when it is wider or higher than the
  // symbol (kept within a few pixels of the area).
  bool boxed = false;
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool error = true;  // false for a kind the machines do not take
};

// The marks of the findings of `c` that show in an area of width x height
// pixels seen through `t`, in the order of the findings.
std::vector<CutMark> CutMarks(const CutCheck& c, const ScreenTransform& t, int width, int height);

// The window (two opposite corners in drawing units) the view zooms to for
// finding `f`: its box with a fifth of its larger side added all round,
// and at least a fiftieth of the larger side of `whole` (what the check's
// contours span), so that a finding at a point shows among its
// neighbours. A window of no size only centres the view there.
std::pair<Point2, Point2> CutZoomWindow(const CutFinding& f, const CutBox& whole);

}  // namespace vestrel
