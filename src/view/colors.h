// How an entry's colour number, line type and line weight, with its
// layer's, become the colour, width and dash pattern it is drawn with.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/drawing.h"

namespace vestrel {

// A colour as 0xAARRGGBB.
using Argb = std::uint32_t;
inline constexpr Argb kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

// DXF colour number to screen colour. The default foreground (7 and every
// number without a colour of its own) is black on white model space and
// white on the black paper sheet (`showmodel` false).
Argb getcolornr(int nr, bool showmodel);

// What an entry takes from its layer.
struct LayerLook {
  bool found = false;
  bool off = false;         // the layer is off (negative colour) or frozen (flag bit 1): nothing is drawn
  bool locked = false;      // flag bit 4
  int colornr = 7;          // 7 without a layer, or with one not in the table
  int lineweight = -1;      // the layer's line weight when it has one
  std::string_view ltname;  // the layer's line type
};

// What each layer gives its entries, and the line types by name, looked up
// once per paint.
class StyleTables {
 public:
  explicit StyleTables(const Drawing& d);
  LayerLook layer(const tpoly& p) const;
  // The first line type of that name; nullptr when there is none.
  const TLineType* linetype(std::string_view name) const;

 private:
  const Drawing& d_;
  std::vector<LayerLook> layers_;  // by slot of the layer table
  std::unordered_map<std::string_view, int> linetypes_;
};

// Whether the entry is on layer "0" (where an entry without a layer is).
bool OnLayerZero(const Drawing& d, const tpoly& p);

// The colour of lines, texts, fills and points of an entry.
Argb EntryColor(const tpoly& p, const LayerLook& layer, bool showmodelforcolor);

// The pen width in pixels: line weights (drawn twice their nominal width)
// when they are shown, else one pixel.
double PenWidth(const tpoly& p, const LayerLook& layer, int dpi, bool showweight);

// The dash pattern in multiples of the pen width, and its offset; empty for
// a solid line. Selected entries are drawn 5 on, 5 off.
struct Dashes {
  std::vector<double> pattern;
  double offset = 0;
};
void EntryDashes(const Drawing& d, const StyleTables& tables, const tpoly& p, const LayerLook& layer, double zoom,
                 bool selectedLook, Dashes& out);

}  // namespace vestrel
