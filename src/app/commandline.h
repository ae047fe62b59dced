// What the program does when started from the command line without its
// window.
#pragma once

#include <ostream>
#include <string>

namespace vestrel {

// Reads and parses `path` and prints one "key: value" line per fact.
// Returns the exit code: 0, or 1 when the file cannot be read.
int RunInfo(const std::string& path, std::ostream& out, std::ostream& err);

// The options, for --help.
void PrintUsage(std::ostream& out);

}  // namespace vestrel
