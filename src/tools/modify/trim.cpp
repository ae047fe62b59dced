// "Stutzen" and "Dehnen": the edges are picked first (none picked, every
// shown object is one), then each click cuts the object under the pointer
// back to the edges either side of it, or carries its nearer end on to the
// next edge ahead; one undo step a click, until the right button or
// Escape. The picked edges stay selected meanwhile.
#include <algorithm>
#include <cmath>

#include "editing/splineobject.h"
#include "editing/trimextend.h"
#include "i18n/msg.h"
#include "tools/modify/picking.h"
#include "tools/screensearch.h"
#include "tools/select.h"
#include "view/extents.h"
#include "view/measure.h"

namespace vestrel {

namespace {

// How near a click must come to a reference's curve to be on it, in pixels.
constexpr double kReach = 3;

void Widen(WorldBox& box, Point2 p) {
  box.minx = std::min(box.minx, p.x), box.maxx = std::max(box.maxx, p.x);
  box.miny = std::min(box.miny, p.y), box.maxy = std::max(box.maxy, p.y);
}

// A box around a piece: a segment's ends, or its whole circle or ellipse.
WorldBox BoxOf(const Piece& q) {
  WorldBox box{q.a.x, q.a.y, q.a.x, q.a.y};
  Widen(box, q.b);
  Point2 c, half;
  if (q.elliptic) {
    c = q.conic.c;
    half = {std::hypot(q.conic.u.x, q.conic.v.x), std::hypot(q.conic.u.y, q.conic.v.y)};
  } else if (const std::optional<ArcShape> arc = CircleOf(q)) {
    c = arc->c, half = {arc->r, arc->r};
  } else {
    return box;
  }
  Widen(box, {c.x - half.x, c.y - half.y});
  Widen(box, {c.x + half.x, c.y + half.y});
  return box;
}

bool Meet(const WorldBox& a, const WorldBox& b) {
  return a.minx <= b.maxx && b.minx <= a.maxx && a.miny <= b.maxy && b.miny <= a.maxy;
}

// Where the edges of a click are looked for: around the object, and for an
// end carried on, along the way its end pieces would go.
WorldBox SearchBox(const Path& path, bool extend, double reach) {
  WorldBox box = BoxOf(path.pieces.front());
  for (const Piece& q : path.pieces) {
    const WorldBox b = BoxOf(q);
    Widen(box, {b.minx, b.miny});
    Widen(box, {b.maxx, b.maxy});
  }
  if (extend)
    for (const Piece& q : {path.pieces.front(), path.pieces.back()})
      if (!q.elliptic && !CircleOf(q)) {
        const Point2 d = DirectionAt(q, 0);
        Widen(box, {q.a.x - d.x * reach, q.a.y - d.y * reach});
        Widen(box, {q.b.x + d.x * reach, q.b.y + d.y * reach});
      }
  // The rounding of the index's float boxes.
  const double slack = 1e-6 * (1 + std::max({std::abs(box.minx), std::abs(box.maxx), std::abs(box.miny), std::abs(box.maxy)}));
  return {box.minx - slack, box.miny - slack, box.maxx + slack, box.maxy + slack};
}

// Whether an object is an edge: shown, and picked unless all are.
bool IsEdge(const Editor& e, const ScreenSearch& s, std::int32_t entry) {
  const ToolState::Edges& edges = e.tool.edges;
  return s.snappable(s.d.polys[static_cast<std::size_t>(entry)]) &&
         (edges.all || std::binary_search(edges.picked.begin(), edges.picked.end(), entry));
}

// After a cut, the picked edges as the drawing now lists them: those after
// a second part the cut added move on by one, and the second part of a
// picked edge is one too. They are shown selected again.
void KeepPicked(Editor& e, std::int32_t cut, std::int32_t secondLine) {
  Drawing& d = e.drawing;
  std::vector<std::int32_t>& picked = e.tool.edges.picked;
  if (secondLine >= 0) {
    const auto second = std::lower_bound(d.polys.begin(), d.polys.end(), secondLine,
                                         [](const tpoly& p, std::int32_t line) { return p.linefrom < line; });
    const auto at = static_cast<std::int32_t>(second - d.polys.begin());
    const bool edge = std::binary_search(picked.begin(), picked.end(), cut);
    for (std::int32_t& i : picked) i += i >= at ? 1 : 0;
    if (edge && at < d.anzpoly()) {
      picked.insert(std::lower_bound(picked.begin(), picked.end(), at), at);
      std::vector<Handle>& handles = e.tool.edges.handles;
      const Handle h = d.polys[static_cast<std::size_t>(at)].han;
      handles.insert(std::lower_bound(handles.begin(), handles.end(), h), h);
    }
  }
  for (const std::int32_t i : picked)
    if (i < d.anzpoly()) d.polys[static_cast<std::size_t>(i)].selected = true;
  e.tool.edges.generation = d.generation;
}

// After a change the tool did not make (an undo meanwhile), the picked
// edges are found again by their handles.
void FindPicked(Editor& e) {
  ToolState::Edges& edges = e.tool.edges;
  Drawing& d = e.drawing;
  if (edges.all || edges.generation == d.generation) return;
  edges.picked.clear();
  for (std::int32_t i = 0; i < d.anzpoly(); ++i) {
    tpoly& p = d.polys[static_cast<std::size_t>(i)];
    if (p.han != 0 && std::binary_search(edges.handles.begin(), edges.handles.end(), p.han)) {
      edges.picked.push_back(i);
      p.selected = true;
    }
  }
  edges.generation = d.generation;
}

// The edges near entry `target`, its own curve left out: from the objects
// the spatial index finds there (splines by their exact curves, in
// `curves`), and from the references' curves.
std::vector<Piece> EdgesNear(Editor& e, const ScreenSearch& s, std::int32_t target, const Path& path, bool extend,
                             std::vector<Spline>& curves) {
  const WorldBox box = SearchBox(path, extend, e.tool.edges.reach);
  std::vector<std::uint32_t> runs;
  s.index.Find(box, runs);
  std::vector<std::int32_t> entries;
  for (const std::uint32_t r : runs) entries.push_back(s.index.run(r).entry);
  std::sort(entries.begin(), entries.end());
  entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
  std::vector<Contour> contours;
  Blocks blocks(s.d);
  for (const std::int32_t entry : entries) {
    const tpoly& p = s.d.polys[static_cast<std::size_t>(entry)];
    if (entry == target || p.kind == Kind::INSERT || !IsEdge(e, s, entry)) continue;
    if (p.kind == Kind::SPLINE) {
      if (Spline curve = SplineOf(s.d, p); Cuttable(curve)) {
        curves.push_back(std::move(curve));
        continue;
      }
    }
    AddContours(s.d, blocks, static_cast<std::size_t>(entry), contours, true);
  }
  std::vector<Piece> edges;
  for (const Contour& c : contours) edges.insert(edges.end(), c.path.pieces.begin(), c.path.pieces.end());
  for (const Piece& q : e.tool.edges.referenced)
    if (Meet(BoxOf(q), box)) edges.push_back(q);
  return edges;
}

// Whether the click lies on a curve a reference draws.
bool OnReference(const Editor& e, const Click& c) {
  for (const Piece& q : e.tool.edges.referenced) {
    const Point2 p = PointAt(q, NearestParameter(q, c.point));
    const Point2 at = c.window.toScreen(p.x, p.y);
    if (std::hypot(at.x - c.x, at.y - c.y) <= kReach) return true;
  }
  return false;
}

void Tell(Editor& e, const CutResult& r, bool extend) {
  using S = CutResult::Status;
  switch (r.status) {
    case S::Done: break;
    case S::NotThisKind:
      e.platform.ShowMessage(extend ? msg::CannotExtend : msg::CannotTrim, r.kind, MsgIcon::Error);
      break;
    case S::NoCut: e.platform.ShowMessage(msg::NothingToCut, "", MsgIcon::Information); break;
    case S::NoBoundary: e.platform.ShowMessage(msg::NoBoundaryAhead, "", MsgIcon::Information); break;
    case S::InvalidValue: e.platform.ShowMessage(msg::InvalidValue, "", MsgIcon::Error); break;
    case S::NoInsertionPoint: e.platform.ShowMessage(msg::NoInsertionPoint, "", MsgIcon::Error); break;
    case S::NoHandleLeft: e.platform.ShowMessage(msg::NoHandleLeft, "", MsgIcon::Error); break;
  }
}

void Cut(Editor& e, const Click& c, bool extend) {
  FindPicked(e);
  const ScreenSearch s(e, c.window);
  const std::int32_t entry = ObjectAt(e, c.window, c.x, c.y);
  if (entry < 0) {
    // The members of references are edges, never cut.
    if (OnReference(e, c)) return Tell(e, {CutResult::Status::NotThisKind, "INSERT"}, extend);
    return e.platform.ShowMessage(msg::NothingClicked, "", MsgIcon::Information);
  }
  std::string kind;
  std::vector<Piece> edges;
  std::vector<Spline> curves;
  if (const std::optional<Path> path = CuttablePath(e.drawing, entry, kind); path && !path->pieces.empty())
    edges = EdgesNear(e, s, entry, *path, extend, curves);
  const CutResult r = extend ? ExtendObject(e.doc, entry, edges, c.point, curves)
                             : TrimObject(e.doc, entry, edges, c.point, curves);
  Tell(e, r, extend);
  if (r.status != CutResult::Status::Done) return;
  KeepPicked(e, entry, r.second);
  e.Repaint();
}

void StartEdges(Editor& e, bool ToolState::*select) {
  EndTools(e);
  e.tool.edges = {};
  StartPicking(e, select);
}

}  // namespace

void Editor::TrimBtnClick() { StartEdges(*this, &ToolState::intrimselect); }
void Editor::ExtendBtnClick() { StartEdges(*this, &ToolState::inextendselect); }

void EdgesPicked(Editor& e) {
  ToolState& t = e.tool;
  const bool extend = t.inextendselect;
  StopPicking(e, extend ? &ToolState::inextendselect : &ToolState::intrimselect, Cursor::CrossHair);
  (extend ? t.inextend : t.intrim) = true;
  t.ellipsemode = 0;
  t.edges = {};
  const ScreenSearch s(e, WindowTransform(e.views));
  for (std::int32_t i = 0; i < e.drawing.anzpoly(); ++i)
    if (e.drawing.polys[static_cast<std::size_t>(i)].selected && s.scope.inBlock(e.drawing.polys[static_cast<std::size_t>(i)]))
      t.edges.picked.push_back(i);
  t.edges.all = t.edges.picked.empty();
  for (const std::int32_t i : t.edges.picked) t.edges.handles.push_back(e.drawing.polys[static_cast<std::size_t>(i)].han);
  std::sort(t.edges.handles.begin(), t.edges.handles.end());
  t.edges.generation = e.drawing.generation;
  // The references' curves, once: the spatial index knows only where
  // they are inserted.
  Blocks blocks(e.drawing);
  std::vector<Contour> contours;
  for (std::int32_t i = 0; i < e.drawing.anzpoly(); ++i)
    if (e.drawing.polys[static_cast<std::size_t>(i)].kind == Kind::INSERT && IsEdge(e, s, i))
      AddContours(e.drawing, blocks, static_cast<std::size_t>(i), contours, true);
  for (const Contour& c : contours)
    t.edges.referenced.insert(t.edges.referenced.end(), c.path.pieces.begin(), c.path.pieces.end());
  const Extents x = TabExtents(e.drawing, e.view.tab);
  const double size = std::hypot(x.maxx - x.minx, x.maxy - x.miny);
  t.edges.reach = std::isfinite(size) ? 2 * size + 1 : 1;
  e.platform.ShowState();
  e.Repaint();
}

void TrimPicked(Editor& e, const Click&) { EdgesPicked(e); }
void ExtendPicked(Editor& e, const Click&) { EdgesPicked(e); }

void CutEnd(Editor& e) {
  ToolState& t = e.tool;
  t.intrim = t.inextend = false;
  t.edges = {};
  e.removeall();
  // The edges are let go.
  for (tpoly& p : e.drawing.polys) p.selected = false;
  e.platform.SetCursor(Cursor::CrossHair);
  e.platform.ShowState();
  e.Repaint();
}

void TrimClick(Editor& e, const Click& c) {
  if (c.right()) return CutEnd(e);
  Cut(e, c, false);
}

void ExtendClick(Editor& e, const Click& c) {
  if (c.right()) return CutEnd(e);
  Cut(e, c, true);
}

}  // namespace vestrel
