// The pictures of the tool buttons and the cursors of the drawing area,
// drawn at start.
#pragma once

#include <QCursor>
#include <QIcon>

#include "tools/commands.h"

namespace vestrel::icons {

// The picture of a command's tool button.
QIcon Of(Icon icon);
QCursor Magnifier();

}  // namespace vestrel::icons
