// Small drawings written inline in tests.
#pragma once

#include <cmath>
#include <string>
#include <utility>
#include <string_view>

#include "document/drawing.h"

namespace vestrel::test {

// A drawing whose lines are `text` (LF-separated), parsed.
inline Drawing Parsed(std::string text) {
  Drawing d;
  d.dxf.assign(std::move(text));
  processdxf(d);
  return d;
}

// Index of the `nth` (0-based) line whose trimmed text is `text`; -1 if none.
inline int LineOf(const Drawing& d, std::string_view text, int nth = 0) {
  for (std::size_t i = 0; i < d.dxf.size(); ++i)
    if (Trim(d.dxf[i]) == text && nth-- == 0) return static_cast<int>(i);
  return -1;
}

// Index of the value line of the `nth` (0-based) pair whose group code is
// `code`; -1 if none.
inline int GroupLine(const Drawing& d, std::string_view code, int nth = 0) {
  for (std::size_t i = 0; i + 1 < d.dxf.size(); i += 2)
    if (Trim(d.dxf[i]) == code && nth-- == 0) return static_cast<int>(i + 1);
  return -1;
}

// A section around `body`.
inline std::string Section(std::string_view name, std::string_view body) {
  return "  0\nSECTION\n  2\n" + std::string(name) + "\n" + std::string(body) + "  0\nENDSEC\n";
}

inline std::string WithEof(std::string_view body) { return std::string(body) + "  0\nEOF\n"; }

// A hatch path of the square from (x0, y0) to (x1, y1): four line edges.
inline std::string HatchSquare(int x0, int y0, int x1, int y1) {
  std::string s = " 92\n2\n 72\n0\n 73\n1\n 93\n4\n";
  for (const auto& [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
    s += " 10\n" + std::to_string(x) + "\n 20\n" + std::to_string(y) + "\n";
  return s;
}

// A hatch of the ring from (100, 50) to (200, 150) around a hole from
// (130, 80) to (170, 120), moved by dx: `fill` is what goes before its
// paths, `pattern` after them.
inline std::string HatchRing(const std::string& fill, const std::string& pattern, int dx = 0) {
  return "  0\nHATCH\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n" + fill + " 91\n2\n" + HatchSquare(100 + dx, 50, 200 + dx, 150) +
         HatchSquare(130 + dx, 80, 170 + dx, 120) + " 75\n0\n 76\n1\n" + pattern + " 98\n0\n";
}

// One family of hatch pattern lines `spacing` apart at `angle` degrees
// through (0, 0), solid but for the dashes that follow (" 49" pairs after
// the count `dashes`).
inline std::string HatchLines(double angle, double spacing, int dashes = 0) {
  const double a = angle * 3.14159265358979323846 / 180;
  return " 52\n0\n 41\n1\n 77\n0\n 78\n1\n 53\n" + std::to_string(angle) + "\n 43\n0\n 44\n0\n 45\n" +
         std::to_string(-std::sin(a) * spacing) + "\n 46\n" + std::to_string(std::cos(a) * spacing) + "\n 79\n" +
         std::to_string(dashes) + "\n";
}

}  // namespace vestrel::test
