// Viewports onto the model on a layout: the one "Viewport hinzufügen..."
// adds with its dialog, and those a layout is given on its first visit.
#include "document/tabscope.h"
#include "tools/editor.h"
#include "view/extents.h"
#include "writers/tablewriters.h"

namespace vestrel {

namespace {

// The model's drawn box, for the view of a new viewport.
ModelBox ModelExtents(const Drawing& d) {
  const auto e = DrawnExtents(d, 0);
  return e ? ModelBox{e->minx, e->miny, e->maxx, e->maxy} : ModelBox{};
}

// The viewport proposed on tab `tab`: on its paper, showing the model.
ViewportValues Proposed(Editor& e, int tab) {
  const ModelBox model = ModelExtents(e.drawing);
  if (const auto paper = PaperOfTab(e.drawing, tab)) return ProposedViewport(*paper, model);
  return ProposedViewport(e.platform.PrinterPageSize(), e.print, model);
}

}  // namespace

void Editor::Viewporthinzufgen1Click() {
  ViewportValues v = Proposed(*this, view.tab);
  if (platform.ShowViewportDialog(v) != DialogResult::Ok) return;
  Report(Write(doc, AddViewport, false, v));
  Repaint();
}

void Editor::AddLayoutViewports(int tab) {
  // Every layout shows the model: one without viewports gets them, the
  // sheet's own (identifier 1) where the layout keeps its objects in a
  // block of its own, and one onto the model.
  const TabScope scope = TabScope::OfTab(drawing, tab);
  bool sheetViewport = false, modelViewport = false;
  for (const tpoly& p : drawing.polys) {
    if (!p.isviewport() || !scope.shows(p)) continue;
    (p.issheet ? sheetViewport : modelViewport) = true;
  }
  const bool ownBlock = !scope.block().empty();
  // Both show the model, which neither changes.
  const ViewportValues v = Proposed(*this, tab);
  CodeLines lines(doc);
  if (ownBlock && !sheetViewport) AddViewport(lines, true, v);
  if (!modelViewport) AddViewport(lines, false, v);
  Report(InsertAndParse(doc, lines));
}

}  // namespace vestrel
