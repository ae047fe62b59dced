// How finely arcs are flattened, and the cosine and sine of evenly spaced
// angles along them: one sincos for the start and one for the step, then a
// rotation per point.
#pragma once

#include <algorithm>
#include <cmath>

#include "geometry/point.h"

namespace vestrel {

// The pieces an arc of `sweep` radians is drawn in: steps of at most a
// tenth of a radian, so that no chord leaves the arc by more than 1/800 of
// its radius, and 64 for a full turn; at least one.
inline int ArcSegments(double sweep) {
  const double steps = std::ceil(std::abs(sweep) / (2 * kPi) * 64 - 1e-9);
  return steps >= 1 ? static_cast<int>(std::min(steps, 64.0)) : 1;
}

class AngleSteps {
 public:
  AngleSteps(double start, double step) : c_(std::cos(start)), s_(std::sin(start)), dc_(std::cos(step)), ds_(std::sin(step)) {}
  double cos() const { return c_; }
  double sin() const { return s_; }
  void next() {
    const double c = c_ * dc_ - s_ * ds_;
    s_ = s_ * dc_ + c_ * ds_;
    c_ = c;
  }

 private:
  double c_, s_, dc_, ds_;
};

}  // namespace vestrel
