// Small drawings for the cut check and its repair: lines, polylines,
// squares and circles as entity text.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

namespace vestrel::test {

inline std::string Entity(const std::string& kind, std::initializer_list<std::pair<int, std::string>> groups) {
  std::string s = "  0\n" + kind + "\n  8\n0\n";
  for (const auto& [g, v] : groups) s += std::to_string(g) + "\n" + v + "\n";
  return s;
}

inline std::string N(double v) {
  char t[32];
  std::snprintf(t, sizeof t, "%.17g", v);
  return t;
}

inline std::string Line(double x0, double y0, double x1, double y1) {
  return Entity("LINE", {{10, N(x0)}, {20, N(y0)}, {11, N(x1)}, {21, N(y1)}});
}

// A polyline through the points, closed or not.
inline std::string Poly(std::initializer_list<std::pair<double, double>> pts, bool closed = true) {
  std::string s = "  0\nLWPOLYLINE\n  8\n0\n 90\n" + std::to_string(pts.size()) + "\n 70\n" + (closed ? "1" : "0") + "\n";
  for (const auto& [x, y] : pts) s += " 10\n" + N(x) + "\n 20\n" + N(y) + "\n";
  return s;
}

inline std::string Square(double x, double y, double side) {
  return Poly({{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}});
}

inline std::string Circle(double x, double y, double r) { return Entity("CIRCLE", {{10, N(x)}, {20, N(y)}, {40, N(r)}}); }

}  // namespace vestrel::test
