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

}  // namespace vestrel::test
