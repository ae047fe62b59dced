#include "view/transform.h"

#include <algorithm>
#include <cmath>

#include "view/extents.h"

namespace vestrel {

namespace {

// Rounds to the nearest integer, halves to the even neighbour.
std::int64_t Round(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }

int Height(const ViewSession& s) { return s.platform.PaintBoxSize().height; }

// Scroll positions computed from extreme zooms can leave the range of the
// bars (and of any integer); the bar keeps the nearest bound.
std::int64_t Position(double v) {
  if (!(v > ViewState::kScrollMin)) return ViewState::kScrollMin;
  if (!(v < ViewState::kScrollMax)) return ViewState::kScrollMax;
  return Round(v);
}

}  // namespace

double ClampZoom(double z) {
  if (!(z >= kZoomMin)) z = kZoomMin;  // also what an undefined zoom becomes
  if (z > kZoomMax) z = kZoomMax;
  return z;
}

void DXF2Bildschirm(const ViewSession& s, double x, double y, double& sx, double& sy) {
  const double z = s.view.zoomedvalue;
  sx = z * x / 100 - s.view.HorzScrollbarPosition / 100.0;
  sy = Height(s) - 1 - z * y / 100 - s.view.VertScrollbarPosition / 100.0;
}

void Bildschirm2DXF(const ViewSession& s, double sx, double sy, double& x, double& y) {
  const double z = s.view.zoomedvalue;
  x = (s.view.HorzScrollbarPosition / 100.0 + sx) * 100 / z;
  y = (Height(s) - 1 - (s.view.VertScrollbarPosition / 100.0 + sy)) * 100 / z;
}

void HorzScrollbarChange(ViewSession& s) {
  StoreZoom(s);
  s.platform.Repaint();
}

void VertScrollbarChange(ViewSession& s) {
  StoreZoom(s);
  s.platform.Repaint();
}

void SetHorzScrollbar(ViewSession& s, std::int64_t position) {
  const auto p = static_cast<std::int32_t>(std::clamp<std::int64_t>(position, ViewState::kScrollMin, ViewState::kScrollMax));
  if (p == s.view.HorzScrollbarPosition) return;
  s.view.HorzScrollbarPosition = p;
  HorzScrollbarChange(s);
}

void SetVertScrollbar(ViewSession& s, std::int64_t position) {
  const auto p = static_cast<std::int32_t>(std::clamp<std::int64_t>(position, ViewState::kScrollMin, ViewState::kScrollMax));
  if (p == s.view.VertScrollbarPosition) return;
  s.view.VertScrollbarPosition = p;
  VertScrollbarChange(s);
}

void StoreZoom(ViewSession& s) {
  ViewState& v = s.view;
  if (v.donotstorenow) return;
  const int t = s.drawing.bar.TabControl1.itemIndex;
  if (t >= 0 && t < static_cast<int>(s.drawing.layouts.size())) {
    Tlayout& l = s.drawing.layouts[static_cast<std::size_t>(t)];
    l.zoomsetted = true;
    l.zoomvalue = v.zoomedvalue;
    l.scrollxvalue = v.HorzScrollbarPosition;
    l.scrollyvalue = v.VertScrollbarPosition;
  } else if (t != 0) {
    v.zoomsetted1 = true;
    v.zoomvalue1 = v.zoomedvalue;
    v.scrollxvalue1 = v.HorzScrollbarPosition;
    v.scrollyvalue1 = v.VertScrollbarPosition;
  } else {
    v.zoomsetted0 = true;
    v.zoomvalue0 = v.zoomedvalue;
    v.scrollxvalue0 = v.HorzScrollbarPosition;
    v.scrollyvalue0 = v.VertScrollbarPosition;
  }
}

void RestoreZoom(ViewSession& s) {
  ViewState& v = s.view;
  v.donotstorenow = true;
  const int t = s.drawing.bar.TabControl1.itemIndex;
  bool stored = false;
  double zoom = 0;
  std::int32_t x = 0, y = 0;
  if (t >= 0 && t < static_cast<int>(s.drawing.layouts.size())) {
    const Tlayout& l = s.drawing.layouts[static_cast<std::size_t>(t)];
    stored = l.zoomsetted, zoom = l.zoomvalue, x = l.scrollxvalue, y = l.scrollyvalue;
  } else if (t != 0) {
    stored = v.zoomsetted1, zoom = v.zoomvalue1, x = v.scrollxvalue1, y = v.scrollyvalue1;
  } else {
    stored = v.zoomsetted0, zoom = v.zoomvalue0, x = v.scrollxvalue0, y = v.scrollyvalue0;
  }
  if (stored) {
    v.zoomedvalue = zoom;
    SetHorzScrollbar(s, x);
    SetVertScrollbar(s, y);
  } else {
    ZoomAllClick(s);
  }
  v.donotstorenow = false;
}

void ZoomFullIn(ViewSession& s) {
  ViewState& v = s.view;
  const PixelSize box = s.platform.PaintBoxSize();
  const int t = s.drawing.bar.TabControl1.itemIndex;
  Extents e = TabExtents(s.drawing, t);
  // A paper tab shows at least the printable page from the origin.
  const bool paper = t > 0;
  if (paper) {
    const PrinterPage page = s.platform.PrinterPageSize();
    const double q = s.print.q();
    if (page.dpi > 0 && q > 0) {
      const double pw = (page.width / static_cast<double>(page.dpi) * kMmPerInch - 2 * s.print.RandEd) / q;
      const double ph = (page.height / static_cast<double>(page.dpi) * kMmPerInch - 2 * s.print.RandEd) / q;
      if (e.maxx < pw) e.maxx = pw;
      if (e.maxy < ph) e.maxy = ph;
    }
  }
  double z = v.zoomedvalue;
  const double wpx = static_cast<double>(Round((e.maxx - e.minx) * z / 100) + 10);
  const double hpx = static_cast<double>(Round((e.maxy - e.miny) * z / 100) + 10);
  const double f = std::min(box.width / wpx, box.height / hpx);
  v.donotdrawnow = true;
  z = ClampZoom(z * f * 0.95);
  v.zoomedvalue = z;
  const double A = box.width - (static_cast<double>(Round((e.maxx - e.minx) * z / 100)) + 10);
  SetHorzScrollbar(s, Position((e.minx * z / 100 - A / 2) * 100));
  const double E = box.height - (static_cast<double>(Round((e.maxy - e.miny) * z / 100)) + 10);
  SetVertScrollbar(s, Position((E / 2 - e.miny * z / 100) * 100));
  v.donotdrawnow = false;
}

void ZoomAllClick(ViewSession& s) {
  ZoomFullIn(s);
  s.platform.Repaint();
}

void ZoomAbout(ViewSession& s, double px, double py, double factor) {
  ViewState& v = s.view;
  v.donotdrawnow = true;
  double wx, wy;
  Bildschirm2DXF(s, px, py, wx, wy);
  v.zoomedvalue = ClampZoom(factor > 0 ? v.zoomedvalue * factor : v.zoomedvalue / -factor);
  const double z = v.zoomedvalue;
  SetHorzScrollbar(s, Position((wx * z / 100 - px) * 100));
  SetVertScrollbar(s, Position((Height(s) - 1 - wy * z / 100 - py) * 100));
  v.donotdrawnow = false;
  s.platform.Repaint();
}

namespace {

// Zoom in multiplies by 1.2, zoom out divides by it (a negative factor).
constexpr double kZoomIn = 1.2, kZoomOut = -1.2;

void AboutCentre(ViewSession& s, double factor) {
  const PixelSize box = s.platform.PaintBoxSize();
  ZoomAbout(s, box.width / 2, box.height / 2, factor);
}

}  // namespace

void ZoomInBtnClick(ViewSession& s) { AboutCentre(s, kZoomIn); }
void ZoomOutBtnClick(ViewSession& s) { AboutCentre(s, kZoomOut); }

void MouseWheel(ViewSession& s, bool up, bool shift, bool ctrl, double px, double py) {
  if (shift)
    SetHorzScrollbar(s, s.view.HorzScrollbarPosition + (up ? -2000 : 2000));
  else if (ctrl)
    SetVertScrollbar(s, s.view.VertScrollbarPosition + (up ? -2000 : 2000));
  else
    ZoomAbout(s, px, py, up ? kZoomIn : kZoomOut);
}

void DragZoom(ViewSession& s, int x, int y) {
  ViewState& v = s.view;
  v.donotdrawnow = true;
  double wx, wy;
  Bildschirm2DXF(s, x, y, wx, wy);
  const double z = v.zoomedvalue;
  v.zoomedvalue = ClampZoom(v.pansy2 - (y - v.pansy) * z / Height(s));
  const double nz = v.zoomedvalue;
  SetHorzScrollbar(s, Position((wx * nz / 100 - x) * 100));
  SetVertScrollbar(s, Position((Height(s) - 1 - wy * nz / 100 - y) * 100));
  v.donotdrawnow = false;
  s.platform.Repaint();
}

void Pan(ViewSession& s, int x, int y) {
  ViewState& v = s.view;
  v.donotdrawnow = true;
  SetHorzScrollbar(s, static_cast<std::int64_t>(v.pansx0) - static_cast<std::int64_t>(x - v.pansx) * 100);
  SetVertScrollbar(s, static_cast<std::int64_t>(v.pansy0) - static_cast<std::int64_t>(y - v.pansy) * 100);
  v.donotdrawnow = false;
  s.platform.Repaint();
}

}  // namespace vestrel
