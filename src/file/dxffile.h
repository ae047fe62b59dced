// Reading a drawing file into a line list and writing it back.
#pragma once

#include <string>

#include "document/linelist.h"

namespace vestrel {

// Reads the whole file at `path` into `lines` (encoding as the file says).
// On failure `lines` is left as it was and false is returned.
bool ReadDxfFile(const std::string& path, LineList& lines);

// Writes every line followed by CR LF, in the encoding the lines were read
// with. The text goes to a new file in the same folder first, which then
// replaces the target, so a failed save leaves the old file as it was.
bool WriteDxfFile(const std::string& path, const LineList& lines);

}  // namespace vestrel
