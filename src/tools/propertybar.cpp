#include "tools/propertybar.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "document/tabscope.h"
#include "platform/dialogs.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {

const char* const kColorItems[] = {"Wie Ebene", "Wie Block", "Rot",  "Gelb", "Grün", "Hellblau",
                                   "Blau",      "Rosa",      "Schwarz", "Grau", "Hellgrau"};
const char* const kLineWeightItems[] = {
    "Wie Ebene", "0.00 mm", "0.05 mm", "0.09 mm", "0.13 mm", "0.15 mm", "0.20 mm", "0.25 mm",
    "0.30 mm",   "0.35 mm", "0.40 mm", "0.50 mm", "0.60 mm", "0.70 mm", "0.80 mm", "0.90 mm",
    "1.00 mm",   "1.06 mm", "1.20 mm", "1.40 mm", "1.58 mm", "2.00 mm", "2.11 mm"};

// What the boxes show of an object or of what new objects take; a colour
// of its own that is no colour number is -1.
struct Properties {
  std::string_view layer, linetype;
  int color = 256, weight = -1;
};

int NameIndex(const ItemList& list, std::string_view name) {
  const auto at = std::find_if(list.items.begin(), list.items.end(), [&](const std::string& item) { return SameName(item, name); });
  return at == list.items.end() ? -1 : static_cast<int>(at - list.items.begin());
}

// "Wie Ebene", "Wie Block", then the colours 1 to 9.
int ColorIndex(int color) {
  if (color == 256) return 0;
  return color >= 0 && color <= 9 ? color + 1 : -1;
}

// "Wie Ebene", then the weights of the new-layer dialog but its first.
int WeightIndex(int weight) {
  if (weight == -1) return 0;
  const auto at = std::find(std::begin(kLayerLineWeights) + 1, std::end(kLayerLineWeights), weight);
  return at == std::end(kLayerLineWeights) ? -1 : static_cast<int>(at - std::begin(kLayerLineWeights));
}

}  // namespace

PropertyBar::PropertyBar() {
  ColorComboBox.items.assign(std::begin(kColorItems), std::end(kColorItems));
  ColorComboBox.itemIndex = 0;
  LineWeightBox.items.assign(std::begin(kLineWeightItems), std::end(kLineWeightItems));
  LineWeightBox.itemIndex = 0;
}

void RefreshPropertyBar(PropertyBar& bar, const Drawing& d) {
  if (bar.generation == d.generation) return;
  bar.generation = d.generation;
  bar.LineCombo.items.clear();
  for (std::int32_t i = 0; i < d.anzlt; ++i) bar.LineCombo.items.push_back(d.linetype[static_cast<std::size_t>(i)].name);
  bar.LineCombo.itemIndex = bar.LineCombo.items.empty() ? -1 : 0;
  bar.LayerCombo.items.clear();
  for (std::int32_t i = 0; i < d.anzlayer; ++i) bar.LayerCombo.items.push_back(d.layers[static_cast<std::size_t>(i)].name);
  bar.LayerCombo.itemIndex = bar.LayerCombo.items.empty() ? -1 : 0;
  bar.ColorComboBox.itemIndex = 0;
  bar.LineWeightBox.itemIndex = 0;
  bar.TabControl1.clear();
  for (const Tlayout& l : d.layouts) bar.TabControl1.push_back(l.name);
  if (d.layouts.empty()) bar.TabControl1 = {"Model", "Layout1"};
}

void ShowProperties(PropertyBar& bar, const Drawing& d, int tab) {
  const TabScope scope = TabScope::OfTab(d, tab);
  std::optional<Properties> common;
  std::int32_t commonLayer = -1;  // the first one's slot in the layer table
  bool differ[4] = {};
  auto layerOf = [&](const tpoly& p) { return p.layerpresent ? d.layer(p) : "0"; };
  auto linetypeOf = [&](const tpoly& p) { return p.ltnamepresent ? d.value(p.ltnamelinenr) : "BYLAYER"; };
  for (const tpoly& p : d.polys) {
    if (!p.selected || !scope.shows(p)) continue;
    const int color = p.truecolorpresent ? -1 : p.colorispresent ? p.colornr : 256;
    const int weight = p.linweightpresent ? p.lineweight : -1;
    if (!common) {
      common = Properties{layerOf(p), linetypeOf(p), color, weight};
      commonLayer = p.layerindex;
      continue;
    }
    // The names are read only where they may still tell: entries on the
    // same slot of the layer table have the same name.
    if (!differ[0] && (p.layerindex < 0 || p.layerindex != commonLayer))
      differ[0] = !SameName(layerOf(p), common->layer);
    if (!differ[1]) differ[1] = !SameName(linetypeOf(p), common->linetype);
    differ[2] |= color != common->color;
    differ[3] |= weight != common->weight;
  }
  const std::string layer = NewObjectLayer(d), linetype = NewObjectLineType(d);
  if (!common)
    common = Properties{layer, linetype.empty() ? std::string_view("BYLAYER") : std::string_view(linetype), NewObjectColor(d).value_or(256),
                        NewObjectLineWeight(d).value_or(-1)};
  bar.LayerCombo.itemIndex = differ[0] ? -1 : NameIndex(bar.LayerCombo, common->layer);
  bar.LineCombo.itemIndex = differ[1] ? -1 : NameIndex(bar.LineCombo, common->linetype);
  bar.ColorComboBox.itemIndex = differ[2] ? -1 : ColorIndex(common->color);
  bar.LineWeightBox.itemIndex = differ[3] ? -1 : WeightIndex(common->weight);
}

}  // namespace vestrel
