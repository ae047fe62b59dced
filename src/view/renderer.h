// Painting the drawing: the background, the paper sheet, the origin icon
// and the display list, on screen and on the printer.
#pragma once

#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "document/drawing.h"
#include "document/tabscope.h"
#include "platform/platform.h"
#include "view/colors.h"
#include "view/cutmarks.h"
#include "view/inview.h"
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

// What DrawTab draws and how.
struct DrawParams {
  ScreenTransform transform;      // where the points land
  TabScope scope;                 // which entries are drawn
  bool showweight = true;         // line weights widen the pen
  int dpi1 = 96;                  // pixels per inch of the target
  bool showmodelforcolor = true;  // black on white (true) or white on the black sheet
  bool forprint = false;          // no selection look, no grips
  std::optional<ByBlock> byblock = std::nullopt;  // inside a block reference
};

// A box of pixels of the target, edges included; empty when x1 < x0.
struct PixelBox {
  std::int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  bool empty() const { return x1 < x0 || y1 < y0; }
  bool operator==(const PixelBox&) const = default;
  void add(const PixelBox& b) {
    if (b.empty()) return;
    if (empty()) {
      *this = b;
      return;
    }
    x0 = std::min(x0, b.x0), y0 = std::min(y0, b.y0), x1 = std::max(x1, b.x1), y1 = std::max(y1, b.y1);
  }
  bool meets(const PixelBox& b) const {
    return !empty() && !b.empty() && x0 <= b.x1 && b.x0 <= x1 && y0 <= b.y1 && b.y0 <= y1;
  }
};

// What a paint draws beyond everything in its scope, and what it notes.
struct PaintPass {
  // Only the entries marked here (by index into the display list) are
  // drawn, with what they draw through block references; all when null.
  const std::vector<std::uint8_t>* only = nullptr;
  // Viewports outside `only` are drawn too, for the entries of `only`
  // they show.
  bool throughViewports = false;
  // When set: for every entry drawn (of `only`, if given) the pixels it
  // may have touched are added to its box here, by index; the boxes must
  // be there.
  std::vector<PixelBox>* reach = nullptr;
  // What the target shows, in painter coordinates, when it shows more than
  // its clip: entries are left out against this, as a paint of the whole
  // target would leave them out.
  std::optional<QRectF> shown;
  // When set (and brought up to the drawing's parse), only the entries in
  // view are visited, and a large picture is painted in bands on the
  // machine's cores; the picture is the same as without.
  InView* inView = nullptr;
  // Set by the paint: how much of what one paint may spend (points drawn
  // through block references, hatch pattern work) it spent; 1 is all.
  double spent = 0;
  // Whether the grips of a large selection, and the outlines of its
  // entries, that later grips cover wholly are left out (the picture is
  // the same); and, set by the paint, how many were.
  bool coverGrips = true;
  std::size_t gripsCovered = 0, outlinesCovered = 0;
  // Whether grips are set straight into the pixels of the picture where
  // that gives the pixels QPainter draws; and, set by the paint, how many
  // were.
  bool stampGrips = true;
  std::size_t gripsStamped = 0;
};

// Draws a tab: the entries of `params.scope` (the tab's entries outside
// blocks), then the members of the layout's block `layoutBlock` (when there
// is one) over them, block references and viewports through themselves.
// Sets `locked` of every entry of the scope's space. False when block
// references were left out: what they draw reached the budget of one
// paint, or they refer to each other deeper than can be drawn. With a pass
// (the screen), a paint that would leave references out for the budget
// draws through them only what it can in a quarter of a second.
bool DrawTab(QPainter& g, Drawing& d, const DrawParams& params, const tblock* layoutBlock, PaintPass* pass = nullptr);

// Anti-aliased drawing with whole coordinates on pixel centres, so that a
// one-pixel line at a whole coordinate covers one row of pixels.
void PixelCentres(QPainter& g);

// What the drawing area shows of a tab, and how DrawTab draws it there.
struct TabPaint {
  DrawParams params;
  const tblock* layoutBlock = nullptr;
  QRectF shown;  // the area the entries are drawn in, in painter coordinates
};

// The colour of the drawing area where nothing is drawn: grey around the
// paper sheet of a layout tab and of the print preview, white in the model.
QColor GroundColor(const Drawing& d, const ViewState& view);

// The drawing area's ground: its colour, on a layout tab or in the print
// preview the paper sheet and its printable area (the preview then clips
// what follows to it), in the model the origin icon; the painter left set
// for DrawTab (anti-aliased, on pixel centres).
TabPaint PaintBackground(QPainter& g, int width, int height, Drawing& d, const ViewState& view,
                         const PrintSetup& print, const PrinterPage& page, int screenDpi);

// Paints the drawing area into `canvas` as the view shows it, visiting
// only the entries in view when `inView` is given. False as for DrawTab.
bool PaintBox1Paint(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print,
                    const PrinterPage& page, int screenDpi, InView* inView = nullptr);

// The marks of the cut check over the picture, not smoothed and opaque, so
// that drawing them twice changes no pixel.
void DrawCutMarks(QPainter& g, const std::vector<CutMark>& marks);

}  // namespace vestrel
