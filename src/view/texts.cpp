#include "view/texts.h"

#include "file/encoding.h"
#include "geometry/point.h"
#include "view/textlayout.h"

namespace vestrel {

std::string DimensionText(const Drawing& d, const tpoly& p) {
  const DimensionData& m = d.dimension(p);
  std::string t = m.messuaretxt;
  if (p.addtextmode == 1) t = "\xC3\x98" + t;  // Ø
  if (p.addtextmode == 2) t = "R" + t;
  // Angles are measured in radians and shown in degrees; the sweep of the
  // dimension (reversed or not) changes nothing about that.
  const int kind = m.dimtyp & 7;
  // The measurement as read, not its four decimals: a right angle is 90°.
  if ((p.addtextmode == 3 || kind == 2 || kind == 5) && !t.empty()) {
    t = FormatFixed(m.messuare * 180 / kPi, 4) + "\xC2\xB0";  // °
  }
  if (!m.textstr.empty()) {
    std::string own = PlainText(DecodeUnicode(m.textstr, d.dxf.encoding), true);
    if (const auto at = own.find("<>"); at != std::string::npos) own.replace(at, 2, t);
    t = own;
  }
  return t;
}

}  // namespace vestrel
