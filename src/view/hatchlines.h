// The pattern lines of a hatch as the screen shows them, made without a
// toolkit: each family of lines clipped to the hatch's loops (loops inside
// loops are holes), cut into its dashes and dots, only as far as the part
// of the screen being painted shows them. The painter draws what this
// hands it.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "document/drawing.h"
#include "geometry/point.h"
#include "view/screentransform.h"

namespace vestrel {

// A rectangle in painter coordinates, edges included.
struct PaintRect {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// A piece of a pattern line, from a to b in painter coordinates.
struct PaintSegment {
  Point2 a, b;
};

// One per paint: what it may still spend on pattern lines, and its
// scratch space.
class HatchPattern {
 public:
  // Takes the pieces and dots made so far, in painter coordinates.
  using Draw = std::function<void(std::span<const PaintSegment>, std::span<const Point2>)>;

  // Makes the pattern lines of hatch `p` through `t` that lie in `clip`
  // (widened by lines `width` pixels wide) and hands them to `draw` in
  // batches as they are made, the last batch when all are made. False when
  // the pattern is too dense to tell its lines apart, or costs more than is
  // left for this paint: the hatch is then to be filled, over what was
  // handed on already.
  bool lines(const Drawing& d, const tpoly& p, const ScreenTransform& t, const PaintRect& clip, double width,
             const Draw& draw);
  // How much of what one paint may spend on pattern lines is spent: 1 all.
  double spent() const;

 private:
  // An edge of the loops in the frame of one family of pattern lines:
  // s along the lines, t across them; from its lower t to its higher.
  struct Edge {
    double tlo, thi, slo, slope;  // s at tlo; ds/dt
  };

  void flush(const Draw& draw);

  std::size_t work_ = 0;      // edge steps and dashes spent in this paint
  std::size_t segments_ = 0;  // pattern pieces made in this paint
  std::vector<Point2> plane_;  // the hatch's points in its own plane
  std::vector<Edge> edges_, active_;
  std::vector<double> crossings_;
  std::vector<PaintSegment> pieces_;
  std::vector<Point2> dots_;
};

}  // namespace vestrel
