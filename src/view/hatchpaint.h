// Painting hatches: a solid or gradient hatch is filled with its colour, a
// pattern hatch is drawn as its pattern lines clipped to its loops (made by
// HatchPattern). Loops inside loops are holes (even-odd). The boundary
// itself is not drawn: in a drawing it is an object of its own.
#pragma once

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <vector>

#include "document/drawing.h"
#include "view/hatchlines.h"
#include "view/screentransform.h"

namespace vestrel {

// One per paint: what it may still spend on pattern lines, and its
// scratch space.
class HatchPainter {
 public:
  // Paints hatch `p` through `t` as far as it lies in `clip` (painter
  // coordinates): in `color`, pattern lines `width` pixels wide.
  // `showmodel`: black on white rather than white on the black sheet.
  void draw(QPainter& g, const Drawing& d, const tpoly& p, const ScreenTransform& t, const QRectF& clip, QColor color,
            double width, bool showmodel);
  // How much of what one paint may spend on pattern lines is spent: 1 all.
  double spent() const { return pattern_.spent(); }

 private:
  void fill(QPainter& g, const Drawing& d, const tpoly& p, const ScreenTransform& t, QColor color);
  // The pattern lines (HatchPattern); false when the hatch is to be
  // filled instead.
  bool pattern(QPainter& g, const Drawing& d, const tpoly& p, const ScreenTransform& t, const QRectF& clip, QColor color,
               double width);

  HatchPattern pattern_;
  std::vector<QLineF> lines_;
  std::vector<QPointF> dots_;
};

}  // namespace vestrel
