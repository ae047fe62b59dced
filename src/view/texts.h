// What dimensions show: measurements written out.
#pragma once

#include <string>

#include "document/drawing.h"

namespace vestrel {

// The text of a dimension as UTF-8: its measurement, with "Ø" for diameters
// and "R" for radii, or in degrees for angles (every angular dimension); a
// text of its own replaces it ("<>" in it stands for the measurement; its
// formatting codes are read as those of a multi-line text, its lines
// separated by "\n").
std::string DimensionText(const Drawing& d, const tpoly& p);

}  // namespace vestrel
