// What a layout tab covers: which display-list entries it shows, and where
// its new objects go. The view, zoom to extents, painting, printing, the
// writers and every tool that picks or snaps ask this one thing.
#pragma once

#include <optional>
#include <string_view>

#include "document/drawing.h"

namespace vestrel {

class TabScope {
 public:
  // Tab `tab` of the drawing. With layouts, tab t is layout t, the model
  // first; a drawing without layouts has the two tabs "Model" and "Layout1",
  // which tell their entries apart by the paper-space flag alone.
  static TabScope OfTab(const Drawing& d, int tab);
  // The model as a viewport shows it.
  static TabScope ModelSpace(const Drawing& d);
  // The members of block `name`, drawn by a reference in model space
  // (`model`) or on paper. On paper every member counts, whatever its own
  // flag says.
  static TabScope BlockContents(const Drawing& d, std::string_view name, bool model);

  // The layout's block record; none in a drawing without layouts.
  std::optional<Handle> layhan() const { return layhan_; }
  bool model() const { return model_; }

  // The block that holds the layout's own objects: the first block of the
  // layout's record whose name is not "*Paper_Space" (the active paper
  // space keeps its objects in the entities). None for the model tab.
  const tblock* ownBlock() const { return ownBlock_; }
  // The first block of the layout's record, whatever its name ("*Model_Space"
  // and "*Paper_Space" too): painting draws its members over the layout's
  // entries.
  const tblock* recordBlock() const { return recordBlock_; }
  // The layout's entries outside blocks, which painting and printing draw
  // first, and the members of block `b` of the layout's record, which they
  // draw over them.
  TabScope outsideBlocks() const;
  TabScope membersOf(const tblock& b) const;

  // The entry lies in the scope's space (the model, or the paper of a
  // layout).
  bool inSpace(const tpoly& p) const;
  // The entry is a member of the scope's block, or of no block when the
  // scope has none.
  bool inBlock(const tpoly& p) const;
  bool shows(const tpoly& p) const { return inSpace(p) && inBlock(p); }
  // What an edit of the tab works on: the selected entries it shows.
  // (Entries selected on another tab and left selected are not touched.)
  bool edits(const tpoly& p) const { return p.selected && shows(p); }
  // The block whose members the scope holds; empty for entries outside
  // blocks.
  std::string_view block() const { return block_; }

 private:
  explicit TabScope(const Drawing& d) : d_(&d) {}

  const Drawing* d_;
  std::optional<Handle> layhan_;
  bool model_ = true;
  std::string_view block_;
  const tblock* ownBlock_ = nullptr;
  const tblock* recordBlock_ = nullptr;
};

// A sheet of paper in drawing units: the whole sheet and its printable
// area inside it.
struct Sheet {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  double px0 = 0, py0 = 0, px1 = 0, py1 = 0;
};

// The paper a layout is drawn on, as its plot settings say.
struct LayoutPaper {
  Sheet sheet;                    // in paper units
  double widthMm = 0, heightMm = 0;  // the paper as it lies on the sheet, turned by the plot rotation
  double mmPerUnit = 1;           // millimetres of paper per drawing unit when plotted (units and plot scale)
};

// The paper of tab `tab`: its layout's limits when they are set, else its
// paper size turned by the plot rotation, with the origin at the corner of
// the printable area. None for the model, for a layout without plot
// settings (or with neither limits nor a paper size) and for a drawing
// without layouts: their sheet is the printer's page.
std::optional<LayoutPaper> PaperOfTab(const Drawing& d, int tab);

}  // namespace vestrel
