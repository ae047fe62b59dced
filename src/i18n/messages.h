// The program's numbered messages, in German. The window shows them through
// the translation dictionary.
#pragma once

#include <string_view>

#include "i18n/msg.h"

namespace vestrel {

inline constexpr int kMessageCount = 99;  // the last number (98 and 99 kept for the parallels)

// Message `nr` (1 to kMessageCount); empty for a number not in use.
std::string_view GermanMessage(int nr);

}  // namespace vestrel
