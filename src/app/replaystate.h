// What the replay's `state` prints: the tool that runs and is armed, by
// the names of the tool table, and what the window shows.
#pragma once

#include <ostream>

namespace vestrel {

class TMainForm;

// Prints `key: value` lines about the window as it is now.
void PrintState(TMainForm& form, std::ostream& out);

}  // namespace vestrel
