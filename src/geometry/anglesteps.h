// Cosine and sine of evenly spaced angles, as curves are flattened: one
// sincos for the start and one for the step, then a rotation per point.
#pragma once

#include <cmath>

namespace vestrel {

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
