// "Parallele": the distance asked once, then object after object: a click
// picks it, the next shows the side (or the point the parallel passes
// through) and adds the parallel, as one step each, until the right button
// or Escape. While the side is chosen, the parallel follows the pointer.
#include <cmath>

#include "editing/parallel.h"
#include "i18n/msg.h"
#include "tools/modify/picking.h"
#include "tools/select.h"

namespace vestrel {

namespace {

void Tell(Editor& e, const ParallelResult& r) {
  using S = ParallelResult::Status;
  switch (r.status) {
    case S::Done: break;
    case S::NotThisKind: e.platform.ShowMessage(msg::CannotOffset, r.kind, MsgIcon::Error); break;
    case S::InvalidValue: e.platform.ShowMessage(msg::InvalidValue, "", MsgIcon::Error); break;
    case S::NoLength: e.platform.ShowMessage(msg::NoLength, r.kind, MsgIcon::Error); break;
    case S::Vanished: e.platform.ShowMessage(msg::OffsetVanished, "", MsgIcon::Error); break;
    case S::OnTheObject: e.platform.ShowMessage(msg::OffsetOnObject, "", MsgIcon::Error); break;
    case S::NoInsertionPoint: e.Report(InsertResult::NoInsertionPoint); break;
    case S::NoHandleLeft: e.Report(InsertResult::NoHandleLeft); break;
  }
}

}  // namespace

void Editor::OffsetBtnClick() {
  EndTools(*this);
  OffsetDialogValues& v = dialogs.offset;
  if (platform.ShowOffsetDialog(v) != DialogResult::Ok) return platform.ShowState();
  if (!v.DurchPunktCb && !(std::isfinite(v.AbstandEd) && v.AbstandEd >= 0)) {
    platform.ShowMessage(msg::InvalidValue, "", MsgIcon::Error);
    return platform.ShowState();
  }
  ToolState& t = tool;
  t.inoffset = true;
  t.offsetentry = -1;
  // No distance (or none typed): through a point.
  t.offsetdistance = v.DurchPunktCb || v.AbstandEd == 0 ? std::nullopt : std::optional(v.AbstandEd);
  ResetRubberBand(t);
  platform.ShowState();
}

int OffsetStep(const ToolState& t) { return t.offsetentry < 0 ? 0 : 1; }

void OffsetClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  // What was picked before an undo may be another object now: it is
  // picked again.
  if (t.offsetgeneration != e.drawing.generation) t.offsetentry = -1;
  if (c.right()) {
    t.inoffset = false;
    t.offsetentry = -1;
    e.removeall();
    ResetRubberBand(t);
    return e.platform.ShowState();
  }
  if (t.offsetentry < 0) {
    const std::int32_t entry = ObjectAt(e, c.window, c.x, c.y);
    if (entry < 0) return;
    if (const std::string kind = ParallelRefused(e.drawing, entry); !kind.empty())
      return e.platform.ShowMessage(msg::CannotOffset, kind, MsgIcon::Error);
    t.offsetentry = entry;
    t.offsetgeneration = e.drawing.generation;
    return e.platform.ShowState();
  }
  const Point2 side = PointStep(e, std::nullopt, c);
  const std::int32_t entry = t.offsetentry;
  t.offsetentry = -1;  // the next object
  e.removeall();
  ResetRubberBand(t);
  Tell(e, AddParallel(e.doc, entry, side, t.offsetdistance));
  e.Repaint();
  e.platform.ShowState();
}

void OffsetPreview(Editor& e, const Move& m) {
  ToolState& t = e.tool;
  e.removeall();
  const Point2 p = PreviewPoint(e, std::nullopt, m);
  t.band.reset();  // no point is fixed
  if (t.offsetentry < 0 || t.offsetgeneration != e.drawing.generation) return;
  // The parallel of a long polyline is worked out anew on every move: past
  // about 10,000 vertices the ghost is left out, so the pointer stays quick
  // (a wobbly contour of 100,000 takes tens of seconds).
  constexpr std::int32_t kGhostLines = 80000;
  const tpoly& picked = e.drawing.polys[static_cast<std::size_t>(t.offsetentry)];
  if (picked.linebis - picked.linefrom > kGhostLines) return;
  const Point2 w = m.window.toWorld(p.x, p.y);
  std::vector<Point2> band;
  for (const std::vector<Point3>& outline : ParallelOutlines(e.drawing, t.offsetentry, w, t.offsetdistance)) {
    band.clear();
    for (const Point3& q : outline) band.push_back(m.window.toScreen(q.x, q.y, q.z));
    BandPolyline(e, band);
  }
}

}  // namespace vestrel
