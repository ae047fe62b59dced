// vestrel --replay: a script drives the real main window, as a user would
// with mouse and keyboard, and every dialog that opens is answered from
// the script. The format of the script is in the README.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

#include "app/replayscript.h"

namespace vestrel {

class TMainForm;

// A script is read from a regular file of at most this many bytes: a
// device, a FIFO or a larger file is refused before a byte is read.
inline constexpr std::uintmax_t kMostScriptBytes = 16u << 20;

// Parses and checks the text of the script file `path`; false, with
// "SCRIPT:LINE: reason" on `err`, when a line is no command.
bool CheckScript(const std::string& path, std::string_view text, Script& script, std::ostream& err);

// Reads (see kMostScriptBytes) and checks the script file; false, with the
// reason on `err`, when it cannot run.
bool LoadScript(const std::string& path, Script& script, std::ostream& err);

// Shows `form` (not shown yet) with its drawing area as large as the
// options say, starts its drawing (the options' file, or a new one) and
// runs the script in it. What the script prints and every message box goes
// to `out`; the first line that cannot run is told on `err` as
// "SCRIPT:LINE: reason". Returns the exit code, 0 when every line ran.
int RunReplay(TMainForm& form, const ReplayOptions& options, const Script& script, std::ostream& out,
              std::ostream& err);

}  // namespace vestrel
