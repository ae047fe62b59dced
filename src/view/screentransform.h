// The one conversion between drawing units and pixels: the drawing area,
// a printed page, the inside of a viewport and the inside of a block
// reference are each one of these.
//
// A drawing point p lands at
//   sx = w.x * zoom / 100 - scrollx
//   sy = height - 1 - (w.y * zoom / 100 + scrolly)
// where w is p placed in the world: moved by a drawing offset (a block's
// base point on its insertion point, the model under a viewport), and for
// the contents of a scaled, rotated or extruded block reference also
// turned and scaled. Zoom is in percent (100: one pixel per unit), the
// scroll offsets are in pixels.
//
// Whole pixels: each of the two distances, w.x * zoom / 100 - scrollx and
// w.y * zoom / 100 + scrolly, is rounded to the nearest integer, halves to
// the even neighbour; the row is then counted from the bottom. Hit
// testing, grips, the sheet and the paint's vertices all use this one rule.
#pragma once

#include <cmath>

#include "geometry/placement.h"
#include "geometry/point.h"
#include "platform/dialogs.h"

namespace vestrel {

// A pixel coordinate or size as an int: rounded, and kept within what the
// painting and the window systems can take (a drawing of the largest
// numbers there are lands far off the screen, not beyond integers).
inline int WholePixels(double v) {
  constexpr double kFar = 1 << 30;
  if (!(v > -kFar)) return -(1 << 30);
  if (!(v < kFar)) return 1 << 30;
  return static_cast<int>(std::nearbyint(v));
}

class ScreenTransform {
 public:
  ScreenTransform(double zoom, double scrollx, double scrolly, int height)
      : zoom_(zoom), scrollx_(scrollx), scrolly_(scrolly), height_(height) {}
  // A printed page `height` pixels high at `dpi`: world (0, 0) lies margin
  // plus offset from the left and bottom edges, `print.q()` millimetres of
  // paper per drawing unit.
  static ScreenTransform OfPage(const PrintSetup& print, double dpi, int height);

  // Zoom in percent: pixels per drawing unit, times 100.
  double zoom() const { return zoom_; }
  double scrollx() const { return scrollx_; }
  double scrolly() const { return scrolly_; }
  int height() const { return height_; }
  // Whether points are turned or scaled on their way, not only moved; and
  // whether, turned or not, their height leaves them where they are.
  bool turned() const { return turned_; }
  bool level() const { return !turned_ || (place_.m[0][2] == 0 && place_.m[1][2] == 0); }
  // A length in drawing units, in pixels.
  double pixels(double units) const { return units * zoom_ / 100; }

  // The same transform with (dx, dy) added to every point first.
  ScreenTransform shifted(double dx, double dy) const;
  // The transform of points that `inner` places first: a block's contents.
  ScreenTransform placed(const Placement& inner) const;
  // The transform of the model seen through a viewport of this transform's
  // space: (panx, pany) of the model at the viewport's centre (cx, cy), and
  // viewheight model units filling its height widy. `scaled` false keeps
  // the zoom and only moves the model (drawings without layouts).
  ScreenTransform insideViewport(double cx, double cy, double widy, double viewheight, double panx, double pany,
                                 bool scaled) const;

  // Exact, both ways (toWorld for points of the drawing itself).
  Point2 toScreen(double x, double y, double z = 0) const {
    const Point2 w = world(x, y, z);
    return {column(w.x), height_ - 1 - rowFromBottom(w.y)};
  }
  Point2 toWorld(double sx, double sy) const {
    return {(scrollx_ + sx) * 100 / zoom_ - place_.offset.x, (height_ - 1 - (scrolly_ + sy)) * 100 / zoom_ - place_.offset.y};
  }
  // Whole pixels.
  Point2 toPixel(double x, double y, double z = 0) const {
    const Point2 w = world(x, y, z);
    return {std::nearbyint(column(w.x)), height_ - 1 - std::nearbyint(rowFromBottom(w.y))};
  }
  // Where painting puts a vertex: its x exact, its y on a whole pixel row,
  // so that horizontal lines stay sharp.
  Point2 toPaint(double x, double y, double z = 0) const {
    const Point2 w = world(x, y, z);
    return {column(w.x), height_ - 1 - std::nearbyint(rowFromBottom(w.y))};
  }

  // The scroll offsets in pixels that put drawing point `world` at pixel
  // `screen` with zoom `zoom` in a target `height` pixels high.
  static Point2 ScrollPlacing(Point2 world, Point2 screen, double zoom, int height);

 private:
  Point2 world(double x, double y, double z) const {
    if (!turned_) return {x + place_.offset.x, y + place_.offset.y};
    const Point3 w = place_.apply({x, y, z});
    return {w.x, w.y};
  }
  double column(double wx) const { return wx * zoom_ / 100 - scrollx_; }
  double rowFromBottom(double wy) const { return wy * zoom_ / 100 + scrolly_; }

  double zoom_, scrollx_, scrolly_;
  int height_;
  Placement place_;      // drawing point to world
  bool turned_ = false;  // the placement is more than an offset
};

}  // namespace vestrel
