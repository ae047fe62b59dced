#include "view/colors.h"

#include <algorithm>
#include <cmath>

#include "view/transform.h"

namespace vestrel {

namespace {

// Colour numbers 10 to 249: 24 hues, each in five shades, full and pale.
constexpr std::uint32_t kHues[240] = {
    0xFF0000, 0xFF7F7F, 0xA50000, 0xA55252, 0x7F0000, 0x7F3F3F, 0x4C0000, 0x4C2626, 0x260000, 0x261313,
    0xFF3F00, 0xFF9F7F, 0xA52900, 0xA56752, 0x7F1F00, 0x7F4F3F, 0x4C1300, 0x4C2F26, 0x260900, 0x261713,
    0xFF7F00, 0xFFBF7F, 0xA55200, 0xA57C52, 0x7F3F00, 0x7F5F3F, 0x4C2600, 0x4C3926, 0x261300, 0x261C13,
    0xFFBF00, 0xFFDF7F, 0xA57C00, 0xA59152, 0x7F5F00, 0x7F6F3F, 0x4C3900, 0x4C4226, 0x261C00, 0x262113,
    0xFFFF00, 0xFFFF7F, 0xA5A500, 0xA5A552, 0x7F7F00, 0x7F7F3F, 0x4C4C00, 0x4C4C26, 0x262600, 0x262613,
    0xBFFF00, 0xDFFF7F, 0x7CA500, 0x91A552, 0x5F7F00, 0x6F7F3F, 0x394C00, 0x424C26, 0x1C2600, 0x212613,
    0x7FFF00, 0xBFFF7F, 0x52A500, 0x7CA552, 0x3F7F00, 0x5F7F3F, 0x264C00, 0x394C26, 0x132600, 0x1C2613,
    0x3FFF00, 0x9FFF7F, 0x29A500, 0x67A552, 0x1F7F00, 0x4F7F3F, 0x134C00, 0x2F4C26, 0x092600, 0x172613,
    0x00FF00, 0x7FFF7F, 0x00A500, 0x52A552, 0x007F00, 0x3F7F3F, 0x004C00, 0x264C26, 0x002600, 0x132613,
    0x00FF3F, 0x7FFF9F, 0x00A529, 0x52A567, 0x007F1F, 0x3F7F4F, 0x004C13, 0x264C2F, 0x002609, 0x135817,
    0x00FF7F, 0x7FFFBF, 0x00A552, 0x52A57C, 0x007F3F, 0x3F7F5F, 0x004C26, 0x264C39, 0x002613, 0x13581C,
    0x00FFBF, 0x7FFFDF, 0x00A57C, 0x52A591, 0x007F5F, 0x3F7F6F, 0x004C39, 0x264C42, 0x00261C, 0x135858,
    0x00FFFF, 0x7FFFFF, 0x00A5A5, 0x52A5A5, 0x007F7F, 0x3F7F7F, 0x004C4C, 0x264C4C, 0x002626, 0x135858,
    0x00BFFF, 0x7FDFFF, 0x007CA5, 0x5291A5, 0x005F7F, 0x3F6F7F, 0x00394C, 0x26427E, 0x001C26, 0x135858,
    0x007FFF, 0x7FBFFF, 0x0052A5, 0x527CA5, 0x003F7F, 0x3F5F7F, 0x00264C, 0x26397E, 0x001326, 0x131C58,
    0x003FFF, 0x7F9FFF, 0x0029A5, 0x5267A5, 0x001F7F, 0x3F4F7F, 0x00134C, 0x262F7E, 0x000926, 0x131758,
    0x0000FF, 0x7F7FFF, 0x0000A5, 0x5252A5, 0x00007F, 0x3F3F7F, 0x00004C, 0x26267E, 0x000026, 0x131358,
    0x3F00FF, 0x9F7FFF, 0x2900A5, 0x6752A5, 0x1F007F, 0x4F3F7F, 0x13004C, 0x2F267E, 0x090026, 0x171358,
    0x7F00FF, 0xBF7FFF, 0x5200A5, 0x7C52A5, 0x3F007F, 0x5F3F7F, 0x26004C, 0x39267E, 0x130026, 0x1C1358,
    0xBF00FF, 0xDF7FFF, 0x7C00A5, 0x9152A5, 0x5F007F, 0x6F3F7F, 0x39004C, 0x42264C, 0x1C0026, 0x581358,
    0xFF00FF, 0xFF7FFF, 0xA500A5, 0xA552A5, 0x7F007F, 0x7F3F7F, 0x4C004C, 0x4C264C, 0x260026, 0x581358,
    0xFF00BF, 0xFF7FDF, 0xA5007C, 0xA55291, 0x7F005F, 0x7F3F6F, 0x4C0039, 0x4C2642, 0x26001C, 0x581358,
    0xFF007F, 0xFF7FBF, 0xA50052, 0xA5527C, 0x7F003F, 0x7F3F5F, 0x4C0026, 0x4C2639, 0x260013, 0x58131C,
    0xFF003F, 0xFF7F9F, 0xA50029, 0xA55267, 0x7F001F, 0x7F3F4F, 0x4C0013, 0x4C262F, 0x260009, 0x581317,
};

}  // namespace

Argb getcolornr(int nr, bool showmodel) {
  if (nr < 0) return kWhite;
  if (nr >= 10 && nr <= 249) return 0xFF000000 | kHues[nr - 10];
  switch (nr) {
    case 1: return 0xFFFF0000;
    case 2: return 0xFFFFFF00;
    case 3: return 0xFF00FF00;
    case 4: return 0xFF00FFFF;
    case 5: return 0xFF0000FF;
    case 6: return 0xFFFF00FF;
    case 8: return 0xFF808080;
    case 9: return 0xFFC0C0C0;
    case 250: return 0xFF2D2D2D;
    case 251: return 0xFF5B5B5B;
    case 252: return 0xFF898989;
    case 253: return 0xFF999999;
    case 254: return 0xFFB7B7B7;
    case 255: return 0xFFB3B3B3;
    default: return showmodel ? kBlack : kWhite;
  }
}

StyleTables::StyleTables(const Drawing& d) : d_(d) {
  layers_.reserve(static_cast<std::size_t>(std::max(d.anzlayer, 0)));
  for (int i = 0; i < d.anzlayer; ++i) {
    const TLayer& l = d.layers[static_cast<std::size_t>(i)];
    LayerLook& look = layers_.emplace_back();
    look.found = true;
    look.colornr = l.colornr;
    look.off = l.colornr < 0 || (l.flag & 1) != 0;
    if (l.linweightpresent) look.lineweight = l.lineweight;
    look.ltname = l.ltname;
    look.locked = (l.flag & 4) != 0;
  }
  for (int i = 0; i < d.anzlt; ++i) linetypes_.try_emplace(d.linetype[static_cast<std::size_t>(i)].name, i);
}

LayerLook StyleTables::layer(const tpoly& p) const {
  const auto i = static_cast<std::size_t>(p.layerindex);
  return p.layerindex >= 0 && i < layers_.size() ? layers_[i] : LayerLook{};
}

const TLineType* StyleTables::linetype(std::string_view name) const {
  const auto it = linetypes_.find(name);
  return it == linetypes_.end() ? nullptr : &d_.linetype[static_cast<std::size_t>(it->second)];
}

bool OnLayerZero(const Drawing& d, const tpoly& p) {
  if (const TLayer* l = d.layerOf(p)) return Trim(l->name) == "0";
  const std::string_view name = d.layer(p);
  return name.empty() || name == "0";
}

Argb EntryColor(const tpoly& p, const LayerLook& layer, bool showmodelforcolor) {
  if (p.truecolorpresent) return 0xFF000000 | p.truecolor;
  if (p.colorispresent && p.colornr < 256) return getcolornr(p.colornr, showmodelforcolor);
  return getcolornr(layer.colornr, showmodelforcolor);
}

double PenWidth(const tpoly& p, const LayerLook& layer, int dpi, bool showweight) {
  if (!showweight) return 1.0;
  // Hundredths of a millimetre at their true width; never thinner than a
  // pixel.
  const int weight = p.linweightpresent && p.lineweight >= 0 ? p.lineweight : layer.lineweight;
  if (weight <= 0) return 1.0;
  return std::max(1.0, weight / 100.0 * dpi / kMmPerInch);
}

void EntryDashes(const Drawing& d, const StyleTables& tables, const tpoly& p, const LayerLook& layer, double zoom,
                 bool selectedLook, Dashes& out) {
  out.pattern.clear();
  out.offset = 0;
  if (selectedLook) {
    out.pattern = {5, 5};
    return;
  }
  std::string_view name = layer.ltname;
  if (p.ltnamepresent) {
    const std::string_view own = d.ltname(p);
    if (!own.empty() && own != "ByLayer" && own != "ByBlock") name = own;
  }
  if (name.empty()) return;
  const TLineType* lt = tables.linetype(name);
  if (!lt || lt->parts.empty()) return;
  for (std::size_t i = 0; i < lt->parts.size(); ++i) {
    const double v = lt->parts[i];
    if (i == 0 && v < 0)
      out.offset = -v * zoom / 100;
    else if (v == 0)
      out.pattern.push_back(1.0);
    else
      out.pattern.push_back(std::abs(v) * zoom / 100);
  }
}

}  // namespace vestrel
