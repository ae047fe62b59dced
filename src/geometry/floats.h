// Doubles held in floats where a float's room is enough to narrow a search
// down: each rounded the way that keeps what it stands for inside.
#pragma once

#include <cmath>
#include <limits>

namespace vestrel {

// The largest float not above v (the lowest float for what lies below all
// floats).
inline float FloatBelow(double v) {
  constexpr float kLargest = std::numeric_limits<float>::max();
  if (v >= kLargest) return kLargest;
  if (v < -static_cast<double>(kLargest)) return -std::numeric_limits<float>::infinity();
  const auto f = static_cast<float>(v);
  return f > v ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}

// The smallest float not below v.
inline float FloatAbove(double v) { return -FloatBelow(-v); }

}  // namespace vestrel
