// The lists of the property bar and the layout tabs, as plain data: the
// window mirrors them. They are derived from the drawing after each parse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/drawing.h"

namespace vestrel {

// A list box: its items and the selected one (-1: none).
struct ItemList {
  std::vector<std::string> items;
  int itemIndex = -1;
};

struct PropertyBar {
  PropertyBar();
  ItemList LineCombo;      // line types of the drawing (the document's bytes)
  ItemList LayerCombo;     // layers of the drawing (the document's bytes)
  ItemList ColorComboBox;  // the colour choices
  ItemList LineWeightBox;  // the line-weight choices
  std::vector<std::string> TabControl1;  // one tab per layout (the document's bytes)
  std::uint64_t generation = ~std::uint64_t{0};  // the parse the lists were taken from; none yet
};

// The lists of the drawing as parsed: its line types and layers in table
// order, its layouts in tab order ("Model" and "Layout1" for a drawing
// without layouts), every box on its first entry. Does nothing when they
// were taken from this parse already.
void RefreshPropertyBar(PropertyBar& bar, const Drawing& d);

// Each box on what it stands for now: with objects selected on tab `tab`,
// their common layer, colour, line type or weight, none (-1) where they
// differ or the list lacks it; with none selected, what new objects take.
void ShowProperties(PropertyBar& bar, const Drawing& d, int tab);

}  // namespace vestrel
