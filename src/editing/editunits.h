// The objects an edit of the selection works on, and what goes with them
// when they go.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "document/drawing.h"

namespace vestrel {

// One object an edit works on: its lines, and its entry.
struct EditUnit {
  std::int32_t from, to, entry;
};

// The selected objects of tab `tab`, in the order of the drawing. An
// attribute whose reference is taken goes with it; a copy takes no
// attribute without its reference.
std::vector<EditUnit> EditUnits(const Drawing& d, int tab, bool copying);

// The objects of the OBJECTS section that objects about to go own through
// their extension dictionaries, and what those own in turn: they go with
// their owners, or they would be left pointing at nothing. Their lines.
std::vector<std::pair<std::int32_t, std::int32_t>> OwnedObjects(const Drawing& d, const std::vector<EditUnit>& units);

}  // namespace vestrel
