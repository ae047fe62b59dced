#include "view/transform.h"

#include <algorithm>
#include <cmath>

#include "view/extents.h"

namespace vestrel {

namespace {

int Height(const ViewContext& c) { return c.platform.PaintBoxSize().height; }

// Scroll positions computed from extreme zooms can leave the range of the
// bars (and of any integer); the bar keeps the nearest bound.
std::int64_t Position(double v) {
  if (!(v > ViewState::kScrollMin)) return ViewState::kScrollMin;
  if (!(v < ViewState::kScrollMax)) return ViewState::kScrollMax;
  return static_cast<std::int64_t>(std::nearbyint(v));
}

std::int32_t Clamped(std::int64_t position) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(position, ViewState::kScrollMin, ViewState::kScrollMax));
}

// Scrolls so that the offsets in pixels become `scroll`.
void ScrollTo(ViewContext& c, Point2 scroll) {
  SetHorzScrollbar(c, Position(scroll.x * 100));
  SetVertScrollbar(c, Position(scroll.y * 100));
}

}  // namespace

double ClampZoom(double z) {
  if (!(z >= kZoomMin)) z = kZoomMin;  // also what an undefined zoom becomes
  if (z > kZoomMax) z = kZoomMax;
  return z;
}

ScreenTransform WindowTransform(const ViewState& view, int height) {
  return {view.zoomedvalue, view.HorzScrollbarPosition / 100.0, view.VertScrollbarPosition / 100.0, height};
}

ScreenTransform WindowTransform(const ViewContext& c) { return WindowTransform(c.view, Height(c)); }

Point2 DXF2Bildschirm(const ViewContext& c, double x, double y) { return WindowTransform(c).toScreen(x, y); }
Point2 Bildschirm2DXF(const ViewContext& c, double sx, double sy) { return WindowTransform(c).toWorld(sx, sy); }

void SetHorzScrollbar(ViewContext& c, std::int64_t position) {
  const std::int32_t p = Clamped(position);
  if (p == c.view.HorzScrollbarPosition) return;
  c.view.HorzScrollbarPosition = p;
  StoreZoom(c);
}

void SetVertScrollbar(ViewContext& c, std::int64_t position) {
  const std::int32_t p = Clamped(position);
  if (p == c.view.VertScrollbarPosition) return;
  c.view.VertScrollbarPosition = p;
  StoreZoom(c);
}

void StoreZoom(ViewContext& c) {
  ViewState& v = c.view;
  if (v.donotstorenow) return;
  const int t = v.tab;
  if (t >= 0 && t < static_cast<int>(c.drawing.layouts.size())) {
    Tlayout& l = c.drawing.layouts[static_cast<std::size_t>(t)];
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

void RestoreZoom(ViewContext& c) {
  ViewState& v = c.view;
  v.donotstorenow = true;
  const int t = v.tab;
  bool stored = false;
  double zoom = 0;
  std::int32_t x = 0, y = 0;
  if (t >= 0 && t < static_cast<int>(c.drawing.layouts.size())) {
    const Tlayout& l = c.drawing.layouts[static_cast<std::size_t>(t)];
    stored = l.zoomsetted, zoom = l.zoomvalue, x = l.scrollxvalue, y = l.scrollyvalue;
  } else if (t != 0) {
    stored = v.zoomsetted1, zoom = v.zoomvalue1, x = v.scrollxvalue1, y = v.scrollyvalue1;
  } else {
    stored = v.zoomsetted0, zoom = v.zoomvalue0, x = v.scrollxvalue0, y = v.scrollyvalue0;
  }
  if (stored) {
    v.zoomedvalue = zoom;
    SetHorzScrollbar(c, x);
    SetVertScrollbar(c, y);
  } else {
    ZoomFullIn(c);
  }
  v.donotstorenow = false;
}

void ZoomFullIn(ViewContext& c) {
  ViewState& v = c.view;
  const PixelSize box = c.platform.PaintBoxSize();
  Extents e = TabExtents(c.drawing, v.tab);
  // A paper tab shows at least its layout's whole sheet, or the printable
  // page from the origin.
  if (const auto paper = PaperOfTab(c.drawing, v.tab)) {
    const Sheet& s = paper->sheet;
    e.minx = std::min(e.minx, s.x0), e.miny = std::min(e.miny, s.y0);
    e.maxx = std::max(e.maxx, s.x1), e.maxy = std::max(e.maxy, s.y1);
  } else if (v.tab > 0) {
    const PrinterPage page = c.platform.PrinterPageSize();
    const double q = c.print.q();
    if (page.dpi > 0 && q > 0) {
      const double pw = (page.width / static_cast<double>(page.dpi) * kMmPerInch - 2 * c.print.RandEd) / q;
      const double ph = (page.height / static_cast<double>(page.dpi) * kMmPerInch - 2 * c.print.RandEd) / q;
      if (e.maxx < pw) e.maxx = pw;
      if (e.maxy < ph) e.maxy = ph;
    }
  }
  // The box, widened by 10 pixels, fills 95 % of the drawing area in the
  // direction it is tighter, whatever the zoom was before (so that a second
  // zoom to extents changes nothing); a drawing without width or height
  // keeps the zoom.
  const double w = e.maxx - e.minx, h = e.maxy - e.miny;
  auto fit = [](double area, double size) {
    const double room = 0.95 * area > 20 ? 0.95 * area - 10 : 0.95 * area;
    return size > 0 ? 100 * room / size : HUGE_VAL;
  };
  double z = std::min(fit(box.width, w), fit(box.height, h));
  // A small drawing far from the origin is zoomed no closer than the scroll
  // bars can reach.
  const double far = std::max({std::abs(e.minx), std::abs(e.maxx), std::abs(e.miny), std::abs(e.maxy)});
  const double reach = ViewState::kScrollMax / 100.0 - 2.0 * std::max(box.width, box.height);
  if (z != HUGE_VAL) v.zoomedvalue = ClampZoom(far * z / 100 > reach ? 100 * reach / far : z);
  const double zoom = v.zoomedvalue;
  // The widened box in the middle: the drawing's lower left corner A/2
  // from the left and E/2 from the bottom.
  const double A = box.width - (w * zoom / 100 + 10);
  const double E = box.height - (h * zoom / 100 + 10);
  ScrollTo(c, ScreenTransform::ScrollPlacing({e.minx, e.miny}, {A / 2, box.height - 1 - E / 2}, zoom, box.height));
}

void ZoomAbout(ViewContext& c, double px, double py, double factor) {
  ViewState& v = c.view;
  const Point2 w = Bildschirm2DXF(c, px, py);
  v.zoomedvalue = ClampZoom(factor > 0 ? v.zoomedvalue * factor : v.zoomedvalue / -factor);
  ScrollTo(c, ScreenTransform::ScrollPlacing(w, {px, py}, v.zoomedvalue, Height(c)));
}

namespace {

// Zoom in multiplies by 1.2, zoom out divides by it (a negative factor).
constexpr double kZoomIn = 1.2, kZoomOut = -1.2;

void AboutCentre(ViewContext& c, double factor) {
  const PixelSize box = c.platform.PaintBoxSize();
  ZoomAbout(c, box.width / 2, box.height / 2, factor);
}

}  // namespace

void ZoomIn(ViewContext& c) { AboutCentre(c, kZoomIn); }
void ZoomOut(ViewContext& c) { AboutCentre(c, kZoomOut); }

void MouseWheel(ViewContext& c, bool up, bool shift, bool ctrl, double px, double py) {
  if (shift)
    SetHorzScrollbar(c, c.view.HorzScrollbarPosition + (up ? -2000 : 2000));
  else if (ctrl)
    SetVertScrollbar(c, c.view.VertScrollbarPosition + (up ? -2000 : 2000));
  else
    ZoomAbout(c, px, py, up ? kZoomIn : kZoomOut);
}

void DragZoom(ViewContext& c, int x, int y) {
  ViewState& v = c.view;
  const Point2 w = Bildschirm2DXF(c, x, y);
  v.zoomedvalue = ClampZoom(v.pansy2 - (y - v.pansy) * v.zoomedvalue / Height(c));
  ScrollTo(c, ScreenTransform::ScrollPlacing(w, {static_cast<double>(x), static_cast<double>(y)}, v.zoomedvalue,
                                             Height(c)));
}

void ZoomWindow(ViewContext& c, Point2 a, Point2 b) {
  ViewState& v = c.view;
  const PixelSize box = c.platform.PaintBoxSize();
  const double w = std::abs(b.x - a.x), h = std::abs(b.y - a.y);
  if (w > 0 && h > 0) v.zoomedvalue = ClampZoom(100 * std::min(box.width / w, box.height / h));
  if (!std::isfinite(v.zoomedvalue)) return;
  const Point2 middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
  ScrollTo(c, ScreenTransform::ScrollPlacing(middle, {box.width / 2.0, box.height / 2.0}, v.zoomedvalue, box.height));
}

void RememberView(ViewContext& c) {
  const ViewState& v = c.view;
  std::vector<ViewState::Saved>& views = c.view.previous[v.tab];
  const ViewState::Saved now{v.zoomedvalue, v.HorzScrollbarPosition, v.VertScrollbarPosition};
  if (!views.empty() && views.back().zoom == now.zoom && views.back().x == now.x && views.back().y == now.y) return;
  if (views.size() == ViewState::kPreviousViews) views.erase(views.begin());
  views.push_back(now);
}

bool HasPreviousView(const ViewState& v) {
  const auto views = v.previous.find(v.tab);
  return views != v.previous.end() && !views->second.empty();
}

bool PreviousView(ViewContext& c) {
  ViewState& v = c.view;
  if (!HasPreviousView(v)) return false;
  std::vector<ViewState::Saved>& views = v.previous[v.tab];
  const ViewState::Saved back = views.back();
  views.pop_back();
  v.zoomedvalue = ClampZoom(back.zoom);
  SetHorzScrollbar(c, back.x);
  SetVertScrollbar(c, back.y);
  StoreZoom(c);  // also where only the zoom changed
  return true;
}

void Pan(ViewContext& c, int x, int y) {
  ViewState& v = c.view;
  SetHorzScrollbar(c, static_cast<std::int64_t>(v.pansx0) - static_cast<std::int64_t>(x - v.pansx) * 100);
  SetVertScrollbar(c, static_cast<std::int64_t>(v.pansy0) - static_cast<std::int64_t>(y - v.pansy) * 100);
}

Sheet TabSheet(const Drawing& d, int tab, const PrintSetup& print, const PrinterPage& page) {
  if (const auto paper = PaperOfTab(d, tab)) return paper->sheet;
  const double q = print.q();
  const double dpi = page.dpi > 0 ? page.dpi : 600;
  const double Pw = page.width / dpi * kMmPerInch, Ph = page.height / dpi * kMmPerInch;
  const double R = print.RandEd, Xo = print.XOffsetEd, Yo = print.YOffsetEd;
  return {(-Xo - R) / q, (-Yo - R) / q, (Pw - Xo - R) / q,       (Ph - Yo - R) / q,
          -Xo / q,       -Yo / q,       (Pw - Xo - 2 * R) / q, (Ph - Yo - 2 * R) / q};
}

PrintSetup PrintSetupOf(const LayoutPaper& paper) {
  PrintSetup p;
  p.mmEd = paper.mmPerUnit, p.UnitsEd = 1, p.RandEd = 0;
  p.XOffsetEd = -paper.sheet.x0 * paper.mmPerUnit, p.YOffsetEd = -paper.sheet.y0 * paper.mmPerUnit;
  return p;
}

}  // namespace vestrel
