// What texts and dimensions show: formatting codes of multi-line texts
// taken out, lines split, measurements written out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/drawing.h"

namespace vestrel {

// Multi-line text formatting codes: braces go, "\P" breaks the line (CR LF),
// "\~" is a blank, "\\", "\{" and "\}" are the characters themselves, every
// other code runs up to its ";" and goes.
std::string CleanText(std::string_view s);

// The lines of a text entry as UTF-8.
std::vector<std::string> TextLines(const Drawing& d, const tpoly& p);

// The text of a dimension as UTF-8: its measurement, with "Ø" for diameters
// and "R" for radii, or in degrees for angles (every angular dimension); a
// text of its own replaces it ("<>" in it stands for the measurement).
std::string DimensionText(const Drawing& d, const tpoly& p);

}  // namespace vestrel
