#include "view/screentransform.h"

namespace vestrel {

ScreenTransform ScreenTransform::OfPage(const PrintSetup& print, double dpi, int height) {
  return {dpi * 100 / kMmPerInch * print.q(), -(print.RandEd + print.XOffsetEd) * dpi / kMmPerInch,
          (print.RandEd + print.YOffsetEd) * dpi / kMmPerInch, height};
}

ScreenTransform ScreenTransform::shifted(double dx, double dy) const {
  Placement move;
  move.offset = {dx, dy, 0};
  return placed(move);
}

ScreenTransform ScreenTransform::placed(const Placement& inner) const {
  ScreenTransform t = *this;
  bool identity = true;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) identity = identity && inner.m[i][j] == (i == j ? 1 : 0);
  if (identity && !turned_) {
    t.place_.offset = {place_.offset.x + inner.offset.x, place_.offset.y + inner.offset.y,
                       place_.offset.z + inner.offset.z};
  } else {
    t.place_ = place_.after(inner);
    t.turned_ = true;
  }
  return t;
}

ScreenTransform ScreenTransform::insideViewport(double cx, double cy, double widy, double viewheight, double panx,
                                                double pany, bool scaled) const {
  ScreenTransform t(zoom_, scrollx_, scrolly_, height_);
  // The viewport's centre in the world.
  const Point2 c = world(cx, cy, 0);
  if (scaled) {
    const double s = viewheight / widy;
    t.zoom_ = zoom_ * widy / viewheight;
    t.place_.offset = {c.x * s - panx, c.y * s - pany, 0};
  } else {
    t.place_.offset = {c.x - panx, c.y - pany, 0};
  }
  return t;
}

Point2 ScreenTransform::ScrollPlacing(Point2 world, Point2 screen, double zoom, int height) {
  return {world.x * zoom / 100 - screen.x, height - 1 - world.y * zoom / 100 - screen.y};
}

}  // namespace vestrel
