// The program's numbered messages, in German. The window shows them through
// the translation dictionary.
#pragma once

#include <string_view>

namespace vestrel {

inline constexpr int kMessageCount = 72;

// Message `nr` (1 to kMessageCount); empty for a number not in use.
std::string_view GermanMessage(int nr);

}  // namespace vestrel
