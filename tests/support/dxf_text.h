// Small drawings written inline in tests.
#pragma once

#include <string>
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

// A section around `body`.
inline std::string Section(std::string_view name, std::string_view body) {
  return "  0\nSECTION\n  2\n" + std::string(name) + "\n" + std::string(body) + "  0\nENDSEC\n";
}

inline std::string WithEof(std::string_view body) { return std::string(body) + "  0\nEOF\n"; }

}  // namespace vestrel::test
