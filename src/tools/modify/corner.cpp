// "Abrunden" and "Fasen": the radius or the two distances are asked (the
// last values proposed again), then the first object is clicked and the
// second; the corner between them is made on the sides clicked. Two
// clicks on segments of one polyline that meet round or bevel its vertex;
// the right button after a click on a polyline does so at each of its
// vertices.
#include "editing/corners.h"
#include "tools/modify/picking.h"
#include "tools/select.h"

namespace vestrel {

namespace {

CornerSize SizeOf(const Editor& e) {
  if (e.tool.inchamfer) return {true, 0, e.dialogs.chamfer.Abstand1Ed, e.dialogs.chamfer.Abstand2Ed};
  return {false, e.dialogs.fillet.RadiusEd, 0, 0};
}

void StartCorner(Editor& e, bool ToolState::*mode) {
  ToolState& t = e.tool;
  t.*mode = true;
  t.cornerentry = -1;
  ResetRubberBand(t);
  e.platform.SetCursor(Cursor::Arrow);
  e.platform.ShowState();
}

void EndCorner(Editor& e) {
  ToolState& t = e.tool;
  t.infillet = t.inchamfer = false;
  t.cornerentry = -1;
  e.removeall();
  ResetRubberBand(t);
  e.platform.SetCursor(Cursor::CrossHair);
}

void ReportCorner(Editor& e, const CornerResult& r, bool chamfer) {
  using S = CornerResult::Status;
  auto error = [&](int nr, std::string_view suffix = {}) { e.platform.ShowMessage(nr, suffix, MsgIcon::Error); };
  switch (r.status) {
    case S::Done: break;
    case S::NotThisKind: error(chamfer ? msg::CannotChamfer : msg::CannotFillet, r.kind); break;
    case S::InvalidValue: error(msg::InvalidValue); break;
    case S::Parallel: error(msg::ParallelLines); break;
    case S::TooLarge: error(msg::CornerTooLarge); break;
    case S::NoCorner: error(msg::NoCornerHere); break;
    case S::NoInsertionPoint: error(msg::NoInsertionPoint); break;
    case S::NoHandleLeft: error(msg::NoHandleLeft); break;
  }
  e.Repaint();
}

bool IsPolyline(const Drawing& d, std::int32_t entry) {
  if (entry < 0 || entry >= d.anzpoly()) return false;
  const std::string_view kind = d.value(d.polys[static_cast<std::size_t>(entry)].linefrom + 1);
  return kind == "LWPOLYLINE" || kind == "POLYLINE";
}

}  // namespace

void Editor::FilletBtnClick() {
  EndTools(*this);
  if (platform.ShowFilletDialog(dialogs.fillet) != DialogResult::Ok) return platform.ShowState();
  StartCorner(*this, &ToolState::infillet);
}

void Editor::ChamferBtnClick() {
  EndTools(*this);
  if (platform.ShowChamferDialog(dialogs.chamfer) != DialogResult::Ok) return platform.ShowState();
  StartCorner(*this, &ToolState::inchamfer);
}

int CornerStep(const ToolState& t) { return t.cornerentry < 0 ? 0 : 1; }

void CornerClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  const CornerSize size = SizeOf(e);
  if (c.right()) {
    const std::int32_t entry = t.cornerentry;
    EndCorner(e);
    if (IsPolyline(e.drawing, entry)) ReportCorner(e, MakeAllCorners(e.doc, entry, size), size.chamfer);
    return e.platform.ShowState();
  }
  if (c.button != MouseButton::Left) return;
  const std::int32_t entry = ObjectAt(e, c.window, c.x, c.y);
  if (entry < 0) return;  // nothing there: the tool still waits
  t.lastpoint = c.point;
  if (t.cornerentry < 0) {
    t.cornerentry = entry;
    t.cornerpick = c.point;
    return e.platform.ShowState();
  }
  const CornerPick first{t.cornerentry, t.cornerpick}, second{entry, c.point};
  EndCorner(e);
  ReportCorner(e, MakeCorner(e.doc, first, second, size), size.chamfer);
  e.platform.ShowState();
}

void CornerPreview(Editor& e, const Move& m) {
  const ToolState& t = e.tool;
  e.removeall();
  if (t.cornerentry < 0) return;
  const std::int32_t entry = ObjectAt(e, m.window, m.x, m.y);
  if (entry < 0) return;
  const CornerPick first{t.cornerentry, t.cornerpick}, second{entry, m.window.toWorld(m.x, m.y)};
  std::vector<Point2> band;
  for (const Point2 p : CornerGhost(e.drawing, e.view.tab, first, second, SizeOf(e)))
    band.push_back(m.window.toScreen(p.x, p.y));
  BandPolyline(e, band);
}

}  // namespace vestrel
