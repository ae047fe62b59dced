// The program's numbered messages, in German. The window shows them through
// the translation dictionary.
#pragma once

#include <string_view>

#include "i18n/msg.h"

namespace vestrel {

inline constexpr int kMessageCount = msg::CutFiguresLine;  // the last number

// Message `nr` (1 to kMessageCount); empty for a number not in use.
std::string_view GermanMessage(int nr);

}  // namespace vestrel
