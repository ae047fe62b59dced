#include "view/screentransform.h"

namespace vestrel {

ScreenTransform ScreenTransform::OfPage(const PrintSetup& print, double dpi, int height) {
  return {dpi * 100 / kMmPerInch * print.q(), -(print.RandEd + print.XOffsetEd) * dpi / kMmPerInch,
          (print.RandEd + print.YOffsetEd) * dpi / kMmPerInch, height};
}

ScreenTransform ScreenTransform::shifted(double dx, double dy) const {
  ScreenTransform t = *this;
  t.basex_ += dx;
  t.basey_ += dy;
  return t;
}

ScreenTransform ScreenTransform::insideViewport(double cx, double cy, double widy, double viewheight, double panx,
                                                double pany, bool scaled) const {
  ScreenTransform t = *this;
  if (scaled) {
    const double s = viewheight / widy;
    t.zoom_ = zoom_ * widy / viewheight;
    t.basex_ = (cx + basex_) * s - panx;
    t.basey_ = (cy + basey_) * s - pany;
  } else {
    t.basex_ = cx + basex_ - panx;
    t.basey_ = cy + basey_ - pany;
  }
  return t;
}

Point2 ScreenTransform::ScrollPlacing(Point2 world, Point2 screen, double zoom, int height) {
  return {world.x * zoom / 100 - screen.x, height - 1 - world.y * zoom / 100 - screen.y};
}

}  // namespace vestrel
