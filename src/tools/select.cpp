#include "tools/select.h"

#include <cmath>

#include "editing/grips.h"
#include "editing/transforms.h"
#include "geometry/segments.h"
#include "tools/screensearch.h"
#include "tools/snap.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

using RunKind = SpatialIndex::RunKind;

// How close to a vertex a click catches it: an unselected object's, and a
// selected object's grip.
constexpr double kVertexReach = 3, kGripReach = 5;
// What the index is asked about around the pointer: more than any of the
// tests here reaches (a segment's is 3 pixels across and 3 beyond its
// ends, at most 4.25 in x or y), with the rounding to pixels.
constexpr double kSearchMargin = 8;
// The window's rounding to pixels.
constexpr double kWindowMargin = 2;

// Goes through `runs` entry by entry, in the order of the display list,
// calling visit(entry, its index, first, last) with the entry's range of
// runs in `runs`. Stops when visit returns true.
template <class Visit>
void ByEntry(const ScreenSearch& s, const std::vector<std::uint32_t>& runs, Visit visit) {
  for (std::size_t i = 0; i < runs.size();) {
    const std::int32_t entry = s.index.run(runs[i]).entry;
    std::size_t k = i + 1;
    while (k < runs.size() && s.index.run(runs[k]).entry == entry) ++k;
    if (visit(s.d.polys[static_cast<std::size_t>(entry)], entry, i, k)) return;
    i = k;
  }
}

// The first of the entry's grips (points with a line to edit) within
// `reach` pixels of the pointer in x and in y; -1 when none.
std::int32_t FirstGrip(const ScreenSearch& s, const SpatialIndex::Run& r, Point2 m, double reach) {
  if (r.kind != RunKind::Points) return -1;
  const auto pts = s.points(r);
  for (std::int32_t j = r.from; j < r.from + r.count; ++j) {
    const Tmypoi& q = pts[static_cast<std::size_t>(j)];
    if (q.linex <= 0) continue;
    const Point2 sp = s.pixel(q);
    if (std::abs(sp.x - m.x) <= reach && std::abs(sp.y - m.y) <= reach) return j;
  }
  return -1;
}

// Walks the drawn outline that a run holds, skipping points not drawn:
// calls test(previous, point, first, moveonly) in pixels for each drawn
// point, `first` when it is the entry's first (it then has no previous),
// `moveonly` when no segment leads to it. The closing run passes its one
// segment. Stops at the first test that returns true.
template <class Test>
bool WalkOutline(const ScreenSearch& s, const SpatialIndex::Run& r, Test test) {
  const auto pts = s.points(r);
  auto at = [&](std::int32_t j) { return s.pixel(pts[static_cast<std::size_t>(j)]); };
  if (r.kind == RunKind::Closing) return test(at(r.from), at(r.before), false, false);
  if (r.kind != RunKind::Points) return false;
  std::int32_t prev = r.before;
  Point2 prevAt = prev >= 0 ? at(prev) : Point2{};
  for (std::int32_t j = r.from; j < r.from + r.count; ++j) {
    const Tmypoi& q = pts[static_cast<std::size_t>(j)];
    if (q.donotdraw) continue;
    const Point2 p = s.pixel(q);
    if (test(prevAt, p, prev < 0, static_cast<bool>(q.moveonly))) return true;
    prev = j, prevAt = p;
  }
  return false;
}

// A segment of the entry's outline passes within 3 pixels of m.
bool OutlineNear(const ScreenSearch& s, const SpatialIndex::Run& r, Point2 m) {
  return WalkOutline(s, r, [&](Point2 a, Point2 b, bool first, bool moveonly) {
    return !first && !moveonly && PointNearSegment(m, a, b);
  });
}

// A drawn vertex of the entry lies in the box c1–c2: the first alone, any
// other together with the one before it, unless no segment leads to it.
bool OutlineInBox(const ScreenSearch& s, const SpatialIndex::Run& r, Point2 c1, Point2 c2) {
  return WalkOutline(s, r, [&](Point2 a, Point2 b, bool first, bool moveonly) {
    if (first) return PointInBox(b, c1, c2);
    return !moveonly && (PointInBox(b, c1, c2) || PointInBox(a, c1, c2));
  });
}

}  // namespace

void SelectAt(Editor& e, const ScreenTransform& window, double px, double py, bool deselect) {
  ToolState& t = e.tool;
  const bool keep = !deselect;
  const Point2 m{px, py};
  const ScreenSearch s(e, window);
  std::vector<std::uint32_t> runs;
  s.Runs(px, py, px, py, kSearchMargin, runs);

  bool hit = false, changed = false, grip = false, drag = false;
  auto take = [&](tpoly& p) {
    const bool was = p.selected;
    changed |= was != keep;
    p.selected = keep;
    p.massselected = false;
    hit = true;
    return was && keep;
  };

  // Grips first: a vertex of each object under the pointer; on an object
  // that was selected already, the grip to drag.
  ByEntry(s, runs, [&](tpoly& p, std::int32_t entry, std::size_t first, std::size_t last) {
    if (!s.pickable(p)) return false;
    const double reach = p.selected ? kGripReach : kVertexReach;
    for (std::size_t k = first; k < last; ++k) {
      const std::int32_t j = FirstGrip(s, s.index.run(runs[k]), m, reach);
      if (j < 0) continue;
      if (!take(p)) return false;
      const Tmypoi& q = s.d.ps(p)[static_cast<std::size_t>(j)];
      t.linesx = q.x, t.linesy = q.y;
      t.movepointnr = j, t.moveobjnr = entry;
      return grip = true;
    }
    return false;
  });

  // Then the segments; a hit on an object selected before starts a drag of
  // the selection.
  if (!grip) {
    ByEntry(s, runs, [&](tpoly& p, std::int32_t, std::size_t first, std::size_t last) {
      if (!s.pickable(p)) return false;
      for (std::size_t k = first; k < last; ++k) {
        if (!OutlineNear(s, s.index.run(runs[k]), m)) continue;
        return drag = take(p);
      }
      return false;
    });
  }

  if (grip) {
    t.inmovepoint = true;
    t.movestartx = px, t.movestarty = py;
  } else if (drag) {
    t.inmove = true;
    t.movestartx = px, t.movestarty = py;
    const Point2 w = window.toWorld(px, py);
    t.linesx = w.x, t.linesy = w.y;
  } else if (!hit) {
    t.inmassselect = true;
    const Point2 w = window.toWorld(px, py);
    t.linesx = w.x, t.linesy = w.y;
    return;
  }
  // The selection is shown as it now stands, also when a drag begins
  // with it.
  if (changed || !(grip || drag)) e.Repaint();
}

std::int32_t ObjectAt(Editor& e, const ScreenTransform& window, double px, double py) {
  const ScreenSearch s(e, window);
  std::vector<std::uint32_t> runs;
  s.Runs(px, py, px, py, kSearchMargin, runs);
  std::int32_t found = -1;
  ByEntry(s, runs, [&](tpoly& p, std::int32_t entry, std::size_t first, std::size_t last) {
    if (!s.pickable(p)) return false;
    for (std::size_t k = first; k < last; ++k)
      if (OutlineNear(s, s.index.run(runs[k]), {px, py})) {
        found = entry;
        return true;
      }
    return false;
  });
  return found;
}

bool MassSelect(Editor& e, const ScreenTransform& window, double x1, double y1, double x2, double y2, bool deselect) {
  const ScreenSearch s(e, window);
  std::vector<std::uint32_t> runs;
  s.Runs(x1, y1, x2, y2, kWindowMargin, runs);
  const Point2 c1{x1, y1}, c2{x2, y2};
  bool caught = false;
  ByEntry(s, runs, [&](tpoly& p, std::int32_t, std::size_t first, std::size_t last) {
    if (!s.pickable(p)) return false;
    for (std::size_t k = first; k < last; ++k) {
      if (!OutlineInBox(s, s.index.run(runs[k]), c1, c2)) continue;
      p.selected = !deselect;
      p.massselected = true;
      caught = true;
      break;
    }
    return false;
  });
  return caught;
}

bool Editor::IsSelected() const {
  const TabScope scope = TabScope::OfTab(drawing, view.tab);
  for (const tpoly& p : drawing.polys)
    if (p.selected && scope.inBlock(p)) return true;
  return false;
}

std::size_t Editor::SelectedCount() const {
  const TabScope scope = TabScope::OfTab(drawing, view.tab);
  std::size_t n = 0;
  for (const tpoly& p : drawing.polys) n += p.selected && scope.inBlock(p) ? 1 : 0;
  return n;
}

void Editor::AllesAuswhlen1Click() {
  const TabScope scope = TabScope::OfTab(drawing, view.tab);
  const StyleTables tables(drawing);
  for (tpoly& p : drawing.polys)
    if (scope.inSpace(p) && !tables.layer(p).locked) p.selected = true;
  Repaint();
}

void Editor::Nichtsauswhlen1Click() {
  for (tpoly& p : drawing.polys) p.selected = false;
  Repaint();
}

// The steps of the drawing area's dispatch.

void SelectClick(Editor& e, const Click& c) {
  if (c.button != MouseButton::Left) return;
  SelectAt(e, c.window, c.x, c.y, c.shift.shift);
}

void MassSelectClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  t.inmassselect = false;
  e.removeall();
  const Point2 c1 = c.window.toScreen(t.linesx, t.linesy);
  const bool caught = MassSelect(e, c.window, c1.x, c1.y, c.x, c.y, c.shift.shift);
  t.anzrem = 0;
  t.remove.resize(100);
  if (caught) e.Repaint();
}

void MassSelectBand(Editor& e, int x, int y) {
  const Point2 c = DXF2Bildschirm(e.views, e.tool.linesx, e.tool.linesy);
  e.removeall();
  const int cx = WholePixels(c.x), cy = WholePixels(c.y);
  e.AddRubberBand(cx, cy, x, cy);
  e.AddRubberBand(x, cy, x, y);
  e.AddRubberBand(x, y, cx, y);
  e.AddRubberBand(cx, y, cx, cy);
}

void DragEnd(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  const bool moved = c.x != t.movestartx || c.y != t.movestarty;
  const bool grip = t.inmovepoint;
  t.inmove = t.inmovepoint = false;
  e.removeall();
  // The properties grip of a viewport opens its dialog, also on a click.
  const bool dialog = grip && t.moveobjnr >= 0 && static_cast<std::size_t>(t.moveobjnr) < e.drawing.polys.size() &&
                      e.drawing.polys[static_cast<std::size_t>(t.moveobjnr)].isviewport() &&
                      t.movepointnr == kViewportPropertiesGrip;
  if (!moved && !dialog) return;  // a click without movement only selected
  // Where the selection or the grip lands: exactly on the point caught, or
  // placed by the grid, ortho and polar from where the drag began.
  const Point2 q = DropPoint(e, {t.linesx, t.linesy}, c);
  e.removeall();
  t.linesx2 = q.x, t.linesy2 = q.y;
  if (dialog) {
    ViewportValues v = ViewportValuesOf(e.drawing, t.moveobjnr);
    if (e.platform.ShowViewportDialog(v) == DialogResult::Ok) SetViewportValues(e.doc, t.moveobjnr, v);
  } else if (q.x == t.linesx && q.y == t.linesy) {
    return;
  } else if (grip) {
    e.Report(MovePoint(e.doc, t.moveobjnr, t.movepointnr, {q.x - t.linesx, q.y - t.linesy}, q));
  } else {
    e.Report(MoveObjects(e.doc, q.x - t.linesx, q.y - t.linesy));
  }
  e.Repaint();
}

}  // namespace vestrel
