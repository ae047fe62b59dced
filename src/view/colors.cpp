#include "view/colors.h"

#include <algorithm>
#include <cmath>

#include "view/transform.h"

namespace vestrel {

Argb getcolornr(int nr, bool showmodel) {
  if (nr < 0) return kWhite;
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
    case 254: return 0xFFB7B7B7;
    case 255: return 0xFFB3B3B3;
    default: return showmodel ? kBlack : kWhite;
  }
}

StyleTables::StyleTables(const Drawing& d) : d_(d) {
  for (int i = 0; i < d.anzlayer; ++i) layers_.try_emplace(Trim(d.layers[static_cast<std::size_t>(i)].name), i);
  for (int i = 0; i < d.anzlt; ++i) linetypes_.try_emplace(d.linetype[static_cast<std::size_t>(i)].name, i);
}

LayerLook StyleTables::layer(const tpoly& p) const {
  LayerLook look;
  if (!p.layerpresent) return look;
  const std::string_view name = d_.layer(p);
  if (name.empty()) return look;
  // Entries come in runs on the same layer.
  if (name == lastName_) return lastLook_;
  lastName_ = name;
  const auto it = layers_.find(name);
  if (it == layers_.end()) return lastLook_ = look;
  const TLayer& l = d_.layers[static_cast<std::size_t>(it->second)];
  look.found = true;
  look.colornr = l.colornr;
  look.off = l.colornr < 0 || (l.flag & 1) != 0;
  if (l.linweightpresent) look.lineweight = l.lineweight;
  look.ltname = l.ltname;
  look.locked = (l.flag & 4) != 0;
  return lastLook_ = look;
}

const TLineType* StyleTables::linetype(std::string_view name) const {
  const auto it = linetypes_.find(name);
  return it == linetypes_.end() ? nullptr : &d_.linetype[static_cast<std::size_t>(it->second)];
}

bool OnLayerZero(const Drawing& d, const tpoly& p) {
  const std::string_view name = d.layer(p);
  return name.empty() || name == "0";
}

Argb EntryColor(const tpoly& p, const LayerLook& layer, bool showmodelforcolor) {
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
