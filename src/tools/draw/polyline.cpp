// The polyline tools: polylines with straight and arc segments, free-hand
// strokes, and splines through their clicks; the popup menu that finishes
// them.
#include <cmath>

#include "geometry/bulge.h"
#include "geometry/clickedspline.h"
#include "i18n/msg.h"
#include "tools/steps.h"
#include "writers/annotationwriters.h"
#include "writers/entitywriters.h"

namespace vestrel {

namespace {

// A spline of three points or more: the curve the next click would make,
// and the line the next click is measured from (the last point, or the
// first and the last while the directions are clicked).
void SplineBand(Editor& e, const Move& m) {
  ToolState& t = e.tool;
  const Point2 w = m.window.toWorld(m.x, m.y);
  t.linesx4 = w.x, t.linesy4 = w.y;
  std::vector<Point2> curve;
  for (const Point3& q : SplinePreview(t.polyline0, w, t.splinemode)) curve.push_back(m.window.toScreen(q.x, q.y));
  BandPolyline(e, curve);
  const std::size_t n = t.polyline0.size();
  const PolyVertex& from = t.splinemode == 1 ? t.polyline0.front() : t.splinemode == 2 ? t.polyline0[n - 2] : t.polyline0.back();
  BandLine(e, m.window.toScreen(from.x, from.y), {static_cast<double>(m.x), static_cast<double>(m.y)});
}

// The direction, on the screen, in which the polyline drawn so far leaves
// its last vertex: that of its last segment of some length there (an arc's
// tangent) as `window` shows it, to the right before the first.
Point2 LastDirection(const Editor& e, const ScreenTransform& window) {
  const std::vector<PolyVertex>& v = e.tool.polyline0;
  for (std::size_t i = v.size(); i-- > 1;) {
    const Point2 a = window.toScreen(v[i - 1].x, v[i - 1].y), b = window.toScreen(v[i].x, v[i].y);
    if (a.x != b.x || a.y != b.y) return BulgeEndDirection(a, b, e.tool.arcmode == kSpline ? 0 : v[i - 1].bulge);
  }
  return {1, 0};
}

}  // namespace

void Editor::PolyLineBtnClick() { Arm(ToolButton::PolyLineBtn, kPolyline); }

void Editor::PenBtnClick() {
  Arm(ToolButton::PenBtn, kFreeHand);
  tool.addmode = 0;
}

void Editor::SplineBtnClick() {
  if (drawing.cadver < 1010) return platform.ShowMessage(msg::NoSplines, "", MsgIcon::Error), platform.ShowState();
  Arm(ToolButton::SplineBtn, kSpline);
  tool.splinemode = 0;
}

void PolyFirstClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (t.down == ToolButton::PenBtn && c.right()) return e.Release();
  t.inpoly = true;
  ResetRubberBand(t);
  t.polyline0.clear();
  const Point2 p = PointStep(e, std::nullopt, c);
  t.polyline0.push_back({p.x, p.y, 0, 0});
  e.Release();
}

// A click adds a vertex (an arc segment's bulge is already on the vertex
// before it, from the rubber band); a spline's two direction clicks after
// "Fertig" complete it. The right button opens the popup menu, or ends a
// free-hand stroke.
void PolyClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) {
    if (t.arcmode == kFreeHand) return e.Fertig1Click();
    return e.platform.ShowPopupMenu(c.x, c.y);
  }
  PolyVertex& last = t.polyline0.back();
  const Point2 from = c.window.toScreen(last.x, last.y);
  const Point2 p = PointStep(e, Point2{last.x, last.y}, c);
  // An arc segment leaves the last one tangentially towards the point
  // clicked (or typed), wherever the pointer was last shown.
  if (t.arcmode == kPolyline && t.addmode == 1) {
    t.lastcalcbulge = TangentTurn(LastDirection(e, c.window), from, c.window.toScreen(p.x, p.y));
    last.bulge = std::tan(t.lastcalcbulge / 2);
  }
  t.polyline0.push_back({p.x, p.y, 0, 0});
  if (t.arcmode != kSpline) return;
  if (t.splinemode == 1) {
    t.splinemode = 2;
  } else if (t.splinemode == 2) {
    // Both directions given: the spline is complete.
    t.inpoly = false;
    e.removeall();
    e.Report(Write(e.doc, AddSPLINE, t.polyline0, 2, t.splineshouldclose));
    t.splinemode = 0;
    e.Repaint();
  }
}

int SplineStep(const ToolState& t) { return 1 + t.splinemode; }

void PolyRelease(Editor& e, const Click&) {
  // A free-hand stroke ends with the button; the tool stays armed for the
  // next one.
  if (e.tool.arcmode != kFreeHand) return;
  e.Fertig1Click();
  e.tool.down = ToolButton::PenBtn;
  e.platform.ShowState();
}

namespace {

// "Fertig" and "Linienzug schließen": the polyline is written, open or
// closed; a spline of three points or more goes on to the two clicks that
// give the directions at its ends (closed: its first point again last).
void FinishPolyline(Editor& e, bool closed) {
  ToolState& t = e.tool;
  if (!t.inpoly) return;
  if (t.arcmode == kSpline && t.splinemode == 0) {
    if (t.polyline0.size() >= 3) {
      if (closed) t.polyline0.push_back(t.polyline0.front());
      t.splineshouldclose = closed;
      t.splinemode = 1;
      return;
    }
    t.inpoly = false;
  } else if (t.arcmode == kSpline) {
    // Finished while its directions are clicked: with the start's if that
    // click was made.
    t.inpoly = false;
    e.Report(Write(e.doc, AddSPLINE, t.polyline0, t.splinemode - 1, t.splineshouldclose));
    t.splinemode = 0;
  } else {
    t.inpoly = false;
    if (t.polyline0.size() >= 2) e.Report(Write(e.doc, AddPolyLine, t.polyline0, closed));
  }
  e.removeall();
  e.Repaint();
}

}  // namespace

void PolyFinish(Editor& e) {
  // A spline goes on to its two direction clicks as with "Fertig".
  ToolState& t = e.tool;
  if (t.arcmode == kSpline) return e.Fertig1Click();
  t.inpoly = false;
  e.removeall();
  if (t.polyline0.size() >= 2) e.Report(Write(e.doc, AddPolyLine, t.polyline0, false));
  e.Repaint();
}

void Editor::Fertig1Click() { FinishPolyline(*this, false); }
void Editor::Linienzugschlieen1Click() { FinishPolyline(*this, true); }

void Editor::Kreisbogen2Click() {
  tool.addmode = 1;
  tool.lastcalcbulge = 0;
  if (!tool.polyline0.empty()) tool.polyline0.back().bulge = 0;
}

void Editor::Linie2Click() {
  tool.addmode = 0;
  tool.lastcalcbulge = 0;
  if (!tool.polyline0.empty()) tool.polyline0.back().bulge = 0;
}

// The polyline drawn so far and its next segment to the pointer: straight,
// or with "Kreisbogen" an arc that leaves the last segment tangentially
// (its bulge is kept on the last vertex). A free-hand stroke takes every
// move as a vertex.
void PolyPreview(Editor& e, const Move& m) {
  ToolState& t = e.tool;
  e.removeall();
  const std::size_t n = t.polyline0.size();
  if (t.arcmode == kSpline && n >= 3) return SplineBand(e, m);
  Point2 pointer{static_cast<double>(m.x), static_cast<double>(m.y)};
  if (t.arcmode == kPolyline) {
    const PolyVertex& last = t.polyline0.back();
    pointer = PreviewPoint(e, Point2{last.x, last.y}, m);
  }
  const PolyVertex& last = t.polyline0.back();
  t.lastcalcbulge = TangentTurn(LastDirection(e, m.window), m.window.toScreen(last.x, last.y), pointer);
  if (t.addmode == 1) t.polyline0.back().bulge = std::tan(t.lastcalcbulge / 2);
  std::vector<Point2> screen;
  screen.reserve(n + 1);
  for (const PolyVertex& v : t.polyline0) screen.push_back(m.window.toScreen(v.x, v.y));
  screen.push_back(pointer);
  for (std::size_t i = 1; i <= n; ++i) {
    const Point2 a = screen[i - 1], b = screen[i];
    const double bulge = t.arcmode == kSpline ? 0 : t.polyline0[i - 1].bulge;
    const auto arc = bulge != 0 ? BulgeArcOf(a.x, a.y, b.x, b.y, bulge) : std::nullopt;
    if (!arc) {
      BandLine(e, a, b);
      continue;
    }
    Point2 from = a;
    EachInnerArcPoint(*arc, [&](double x, double y) {
      BandLine(e, from, {x, y});
      from = {x, y};
    });
    BandLine(e, from, b);
  }
  if (t.arcmode == kFreeHand) {
    const Point2 w = m.window.toWorld(m.x, m.y);
    t.polyline0.push_back({w.x, w.y, 0, 0});
  }
}

}  // namespace vestrel
