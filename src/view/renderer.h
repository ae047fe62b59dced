// Painting the drawing: the background, the paper sheet, the origin icon
// and the display list, on screen and on the printer.
#pragma once

#include <QPainter>
#include <optional>

#include "document/drawing.h"
#include "document/tabscope.h"
#include "platform/platform.h"
#include "view/colors.h"
#include "view/screentransform.h"
#include "view/transform.h"

namespace vestrel {

// What the members of a block take from the reference that draws them:
// members on layer "0" its layer, members "by block" its colour and its
// line weight.
struct ByBlock {
  LayerLook layer;
  Argb color = kBlack;
  double width = 1;  // of its pen, in pixels
};

// What Drawpolys draws and how.
struct DrawParams {
  ScreenTransform transform;      // where the points land
  TabScope scope;                 // which entries are drawn
  bool showweight = true;         // line weights widen the pen
  int dpi1 = 96;                  // pixels per inch of the target
  bool showmodelforcolor = true;  // black on white (true) or white on the black sheet
  bool forprint = false;          // no selection look, no grips
  std::optional<ByBlock> byblock = std::nullopt;  // inside a block reference
};

// Draws the entries of one scope, and block references and viewports
// through itself. Sets `locked` of every entry of the scope's space. False
// when block references were left out: what they draw reached the budget
// of one paint, or they refer to each other deeper than can be drawn.
bool Drawpolys(QPainter& g, Drawing& d, const DrawParams& params);

// Draws a tab: the entries of `params.scope` (the tab's entries outside
// blocks), then the members of the layout's block `layoutBlock` (when there
// is one) over them. False as for Drawpolys.
bool DrawTab(QPainter& g, Drawing& d, const DrawParams& params, const tblock* layoutBlock);

// Anti-aliased drawing with whole coordinates on pixel centres, so that a
// one-pixel line at a whole coordinate covers one row of pixels.
void PixelCentres(QPainter& g);

// Paints the drawing area into `canvas` as the view shows it. False as for
// Drawpolys.
bool PaintBox1Paint(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print,
                    const PrinterPage& page, int screenDpi);

}  // namespace vestrel
