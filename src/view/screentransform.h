// The one conversion between drawing units and pixels: the drawing area,
// a printer page, and the inside of a viewport are each one of these.
//
// A drawing point (x, y) lands at
//   sx = (x + basex) * zoom / 100 - scrollx
//   sy = height - 1 - ((y + basey) * zoom / 100 + scrolly)
// with zoom in percent (100: one pixel per unit), the scroll offsets in
// pixels, and a drawing offset (basex, basey) that puts a block's base
// point on its insertion point or the model under a viewport.
//
// Whole pixels: each of the two distances, (x + basex) * zoom / 100 -
// scrollx and (y + basey) * zoom / 100 + scrolly, is rounded to the nearest
// integer, halves to the even neighbour; the row is then counted from the
// bottom. Hit testing, grips, the sheet and the paint's vertices all use
// this one rule.
#pragma once

#include <cmath>

#include "geometry/point.h"
#include "platform/dialogs.h"

namespace vestrel {

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

  // The same transform with (dx, dy) added to the drawing offset.
  ScreenTransform shifted(double dx, double dy) const;
  // The transform of the model seen through a viewport of this transform's
  // space: (panx, pany) of the model at the viewport's centre (cx, cy), and
  // viewheight model units filling its height widy. `scaled` false keeps
  // the zoom and only moves the model (drawings without layouts).
  ScreenTransform insideViewport(double cx, double cy, double widy, double viewheight, double panx, double pany,
                                 bool scaled) const;

  // A length in drawing units, in pixels.
  double pixels(double units) const { return units * zoom_ / 100; }

  // Exact, both ways.
  Point2 toScreen(double x, double y) const { return {column(x), height_ - 1 - rowFromBottom(y)}; }
  Point2 toWorld(double sx, double sy) const {
    return {(scrollx_ + sx) * 100 / zoom_ - basex_, (height_ - 1 - (scrolly_ + sy)) * 100 / zoom_ - basey_};
  }
  // Whole pixels.
  Point2 toPixel(double x, double y) const {
    return {std::nearbyint(column(x)), height_ - 1 - std::nearbyint(rowFromBottom(y))};
  }
  // Where painting puts a vertex: its x exact, its y on a whole pixel row,
  // so that horizontal lines stay sharp.
  Point2 toPaint(double x, double y) const { return {column(x), height_ - 1 - std::nearbyint(rowFromBottom(y))}; }

  // The scroll offsets in pixels that put drawing point `world` at pixel
  // `screen` with zoom `zoom` in a target `height` pixels high.
  static Point2 ScrollPlacing(Point2 world, Point2 screen, double zoom, int height);

 private:
  double column(double x) const { return (x + basex_) * zoom_ / 100 - scrollx_; }
  double rowFromBottom(double y) const { return (y + basey_) * zoom_ / 100 + scrolly_; }

  double zoom_, scrollx_, scrolly_;
  int height_;
  double basex_ = 0, basey_ = 0;
};

}  // namespace vestrel
