#include "view/texts.h"

#include "file/encoding.h"
#include "geometry/point.h"

namespace vestrel {

std::string CleanText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  bool code = false;
  for (const char c : s) {
    if (!code) {
      if (c == '{' || c == '}') continue;
      if (c == '\\') {
        code = true;
        continue;
      }
      out += c;
      continue;
    }
    switch (c) {
      case ';': code = false; break;
      case 'P': out += "\r\n", code = false; break;
      case '~': out += ' ', code = false; break;
      case '\\':
      case '{':
      case '}': out += c, code = false; break;
      default: break;
    }
  }
  return out;
}

std::vector<std::string> TextLines(const Drawing& d, const tpoly& p) {
  const std::string text = DecodeUnicode(CleanText(d.text(p).textstr), d.dxf.encoding);
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
    lines.push_back(text.substr(from, at - from));
  lines.push_back(text.substr(from));
  return lines;
}

std::string DimensionText(const Drawing& d, const tpoly& p) {
  const DimensionData& m = d.dimension(p);
  std::string t = m.messuaretxt;
  if (p.addtextmode == 1) t = "\xC3\x98" + t;  // Ø
  if (p.addtextmode == 2) t = "R" + t;
  // Angles are measured in radians and shown in degrees; the sweep of the
  // dimension (reversed or not) changes nothing about that.
  const int kind = p.dimtyp & 7;
  // The measurement as read, not its four decimals: a right angle is 90°.
  if ((p.addtextmode == 3 || kind == 2 || kind == 5) && !t.empty()) {
    t = FormatFixed(m.messuare * 180 / kPi, 4) + "\xC2\xB0";  // °
  }
  if (!m.textstr.empty()) {
    std::string own = DecodeUnicode(CleanText(m.textstr), d.dxf.encoding);
    if (const auto at = own.find("<>"); at != std::string::npos) own.replace(at, 2, t);
    t = own;
  }
  return t;
}

}  // namespace vestrel
