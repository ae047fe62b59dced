#include "tools/layers.h"

#include <string>

#include "file/encoding.h"

namespace vestrel {

namespace {

// One 2-byte UTF-8 letter in upper case: Latin-1, Latin Extended-A, Greek
// and Cyrillic, the letters of the languages the program speaks.
std::uint32_t UpperLetter(std::uint32_t c) {
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F))
    return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  // Latin Extended-A: pairs of upper and lower case, the upper case first
  // (even) but between Ĺ and ň and from Ź on (odd); the Turkish i's are
  // left as they are.
  const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  const bool pairs = (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || oddUpper;
  if (pairs && (c % 2 == 1) != oddUpper) return c - 1;
  return c;
}

// A name (UTF-8) as names are compared: blanks around it left out, letters
// in upper case.
std::string NameKey(std::string_view name) {
  name = Trim(name);
  std::string key;
  key.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto b = static_cast<unsigned char>(name[i]);
    if (b >= 'a' && b <= 'z') {
      key += static_cast<char>(b - 'a' + 'A');
    } else if (b >= 0xC2 && b <= 0xDF && i + 1 < name.size() &&
               (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80) {
      const std::uint32_t c = UpperLetter(((b & 0x1Fu) << 6) | (static_cast<unsigned char>(name[++i]) & 0x3Fu));
      key += static_cast<char>(0xC0 | (c >> 6));
      key += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      key += static_cast<char>(b);
    }
  }
  return key;
}

// Characters no layer name may hold, as other CAD programs have it.
bool ForbiddenInName(unsigned char c) {
  return c < ' ' || c == 0x7F ||
         std::string_view("<>/\\\":;?*|,=`").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

void ProposeNewLayer(const Drawing& d, NewLayerDialogValues& values) {
  values.linetypes.clear();
  for (std::int32_t i = 0; i < d.anzlt; ++i) {
    const std::string& name = d.linetype[static_cast<std::size_t>(i)].name;
    // These two stand for no line type of a layer's own, whatever their case.
    const std::string key = NameKey(name);
    if (key == "BYLAYER" || key == "BYBLOCK") continue;
    values.linetypes.push_back(DecodeUnicode(name, d.dxf.encoding));
  }
  values.LineCombo = values.ColorComboBox = values.LineWeightBox = 0;
}

int NewLayerNameProblem(const Drawing& d, std::string_view name) {
  if (Trim(name).empty()) return kMsgNoLayerName;
  // The name as the drawing will hold it: a character its encoding lacks
  // becomes "?".
  const TextEncoding enc = d.dxf.encoding;
  const std::string stored = EncodeUnicode(Trim(name), enc);
  const std::string key = NameKey(DecodeUnicode(stored, enc));
  for (std::int32_t i = 0; i < d.anzlayer; ++i)
    if (NameKey(DecodeUnicode(d.layers[static_cast<std::size_t>(i)].name, enc)) == key) return kMsgLayerExists;
  for (const char c : stored)
    if (ForbiddenInName(static_cast<unsigned char>(c))) return kMsgBadLayerName;
  return 0;
}

}  // namespace vestrel
