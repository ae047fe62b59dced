// Painting the drawing area again after a change by redrawing only where
// the change shows.
//
// The canvas keeps the last picture. Each paint of the whole area notes,
// per display-list entry, the box of pixels it may have touched (with its
// pen, arrows, texts and grips, and what it draws through block references
// and viewports). After a parse that read only some objects again (see
// Drawing::reparsed), or after a change of the selection, the region to
// redraw is the boxes of the changed entries before (as noted) and after
// (measured by drawing them where nothing is shown), a changed member of a
// block changing every reference that draws it. On a picture of the
// canvas's size the ground and every entry whose box meets the region are
// drawn, in list order, as a whole paint draws them (without a clip, which
// would shade the edges of lines crossing it otherwise), and the region's
// pixels are copied from there. Entries are left out against the whole
// area, as a whole paint leaves them out, so the picture comes out as a
// whole paint makes it, pixel for pixel.
//
// Anything else paints it all: another view, tab, size or drawing, a parse
// of the whole text (tables, block headers, layouts), too many changed
// entries (a block drawn by many references), a region that covers much of
// the area, or a paint near the budgets of block references and hatch
// patterns (which a part could stay within where the whole does not).
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

#include "view/renderer.h"

namespace vestrel {

// The picture is taken to follow from the view, the display list as the
// last parse made it (Drawing::generation and Drawing::reparsed) and the
// entries' `selected` flags: whoever changes the display list otherwise
// calls forget() before the next paint.
class PaintCache {
 public:
  // The canvas no longer holds the last picture: the next paint is whole.
  void forget() { valid_ = false; }
  // Whether the last paint redrew a part only.
  bool partial() const { return partial_; }

  // PaintBox1Paint into `canvas`, which holds the picture of the last paint
  // through this cache unless it was forgotten since.
  bool paint(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print, const PrinterPage& page,
             int screenDpi, InView* inView = nullptr);

 private:
  // What a picture depends on besides the display list.
  struct Key {
    const Drawing* drawing = nullptr;
    int width = 0, height = 0, dpi = 0;
    int tab = 0;
    double zoom = 0;
    std::int32_t scrollx = 0, scrolly = 0;
    bool preview = false, weights = false;
    double mm = 0, units = 0, margin = 0, offsetx = 0, offsety = 0;
    int pagewidth = 0, pageheight = 0, pagedpi = 0;
    bool operator==(const Key&) const = default;
  };

  bool whole(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print, const PrinterPage& page,
             int screenDpi, const Key& key);
  // The changed part only; false, with nothing drawn, when it must be whole.
  bool part(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print, const PrinterPage& page,
            int screenDpi);

  InView* inView_ = nullptr;  // of this paint, brought up to the drawing
  bool valid_ = false, partial_ = false;
  Key key_;
  std::uint64_t generation_ = 0;
  std::vector<PixelBox> reach_;         // by entry of the painted list
  std::vector<std::int32_t> selected_;  // the entries drawn selected
  QImage scratch_;                      // what a part is drawn on first
  double spent_ = 0;                    // of the budgets, by the last whole paint and the parts since
};

}  // namespace vestrel
