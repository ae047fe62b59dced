#include "tools/propertybar.h"

namespace vestrel {

namespace {

const char* const kColorItems[] = {"Wie Ebene", "Wie Block", "Rot",  "Gelb", "Grün", "Hellblau",
                                   "Blau",      "Rosa",      "Schwarz", "Grau", "Hellgrau"};
const char* const kLineWeightItems[] = {
    "Wie Ebene", "0.00 mm", "0.05 mm", "0.09 mm", "0.13 mm", "0.15 mm", "0.20 mm", "0.25 mm",
    "0.30 mm",   "0.35 mm", "0.40 mm", "0.50 mm", "0.60 mm", "0.70 mm", "0.80 mm", "0.90 mm",
    "1.00 mm",   "1.06 mm", "1.20 mm", "1.40 mm", "1.58 mm", "2.00 mm", "2.11 mm"};

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

}  // namespace vestrel
