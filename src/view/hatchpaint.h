// Painting hatches: a solid or gradient hatch is filled with its colour, a
// pattern hatch is drawn as its pattern lines clipped to its loops. Loops
// inside loops are holes (even-odd). The boundary itself is not drawn: in a
// drawing it is an object of its own.
#pragma once

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <cstddef>
#include <vector>

#include "document/drawing.h"
#include "geometry/point.h"
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
  double spent() const;

 private:
  // An edge of the loops in the frame of one family of pattern lines:
  // s along the lines, t across them; from its lower t to its higher.
  struct Edge {
    double tlo, thi, slo, slope;  // s at tlo; ds/dt
  };

  void fill(QPainter& g, const Drawing& d, const tpoly& p, const ScreenTransform& t, QColor color);
  // False when the pattern is too dense for lines (or costs more than is
  // left for this paint): the hatch is then filled.
  bool pattern(QPainter& g, const Drawing& d, const tpoly& p, const ScreenTransform& t, const QRectF& clip, QColor color,
               double width);
  void flush(QPainter& g);

  std::size_t work_ = 0;      // edge steps and dashes spent in this paint
  std::size_t segments_ = 0;  // pattern pieces drawn in this paint
  std::vector<Point2> plane_;  // the hatch's points in its own plane
  std::vector<Edge> edges_, active_;
  std::vector<double> crossings_;
  std::vector<QLineF> lines_;
  std::vector<QPointF> dots_;
};

}  // namespace vestrel
