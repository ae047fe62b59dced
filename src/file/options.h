// The program's own setting, the language, in "options.dat" of the
// per-user folder, and where that folder is.
#pragma once

#include <optional>
#include <string>

#include "file/dxffile.h"

namespace vestrel {

inline constexpr char kOptionsFile[] = "options.dat";
inline constexpr char kUserSubfolder[] = "Korvel/Vestrel/";

// The per-user program folder, with a trailing "/": `userBase` (the
// platform's per-user data folder) followed by "Korvel/Vestrel/", or
// `progpath` when the platform names no such folder.
std::string GetProgramDir(const std::string& userBase, const std::string& progpath);
// The same folder, made with every missing parent; the error says why it
// could not be made.
FileError CreateProgramDir(const std::string& folder);

// The language number of "options.dat" in `folder`: four bytes, a signed
// little-endian integer. Nothing when there is no such file or it is
// shorter than four bytes; of a longer file only the first four count.
std::optional<int> LoadOptions(const std::string& folder);
// Writes `language` into "options.dat" of `folder`, making the folder
// first when it is missing.
FileError SaveOptions(const std::string& folder, int language);

}  // namespace vestrel
