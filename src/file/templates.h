// The templates a new drawing starts from.
#pragma once

#include <string>
#include <string_view>

#include "document/linelist.h"

namespace vestrel {

// Where an installed program's data lies, seen from its folder.
inline constexpr std::string_view kInstalledData = "../share/vestrel/";

// The lines of template `name` ("template0.dat", "template1.dat"): the file
// of that name in the working directory, else the one in the program's
// folder `progpath`, else the one in the data folder of an installed
// program, else the copy built into the program, so that a new drawing can
// always be made.
LineList TemplateLines(std::string_view name, const std::string& progpath);

// The copy built into the program; empty for an unknown name.
std::string_view BuiltInTemplate(std::string_view name);

}  // namespace vestrel
