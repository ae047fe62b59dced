// Painting the drawing: the background, the paper sheet, the origin icon
// and the display list, on screen and on the printer.
#pragma once

#include <QPainter>
#include <optional>
#include <string_view>

#include "document/drawing.h"
#include "file/platform.h"
#include "view/transform.h"

namespace vestrel {

// What Drawpolys draws and how.
struct DrawParams {
  double scrollx = 0, scrolly = 0;  // scroll offsets in pixels
  int paintbox1height = 0;          // height of the target in pixels
  bool showweight = true;           // line weights widen the pen
  int dpi1 = 96;                    // pixels per inch of the target
  std::string_view blocktodraw;     // empty: entries outside blocks; else that block's members
  double zoomit = 100;
  double baseblx = 0, basebly = 0, baseblz = 0;  // world offset of every point
  std::optional<Handle> thelayhan;  // the layout drawn; none: model or paper by flag
  bool showmodel = true;            // the space drawn is model space
  bool showmodelforcolor = true;    // black on white (true) or white on the black sheet
  bool forprint = false;            // no selection look, no grips
};

// Draws the entries of one space, and block references and viewports
// through itself. Sets `locked` of every entry it looks at.
void Drawpolys(QPainter& g, Drawing& d, const DrawParams& params);

// Anti-aliased drawing with whole coordinates on pixel centres, so that a
// one-pixel line at a whole coordinate covers one row of pixels.
void PixelCentres(QPainter& g);

// The scope of a tab: its layout's block record and the block that holds
// the layout's own objects.
struct TabScope {
  std::optional<Handle> layhan;
  bool model = true;
  std::string_view block;
};
// `anyBlockName`: any block of the layout's record (for painting), or only
// one that is not "*Paper_Space" (for printing and new viewports).
TabScope ScopeOfTab(const Drawing& d, int tab, bool anyBlockName);

// Paints the drawing area into `canvas` as the view shows it.
void PaintBox1Paint(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print,
                    const PrinterPage& page, int screenDpi);

}  // namespace vestrel
