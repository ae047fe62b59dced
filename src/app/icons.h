// The pictures of the tool buttons and the cursors of the drawing area,
// drawn at start.
#pragma once

#include <QCursor>
#include <QIcon>

namespace vestrel::icons {

QIcon NewR12();
QIcon Print();
QIcon ZoomAll();
QIcon ZoomIn();
QIcon ZoomOut();
QIcon Zoom();
QIcon Hand();
QIcon Preview();
QCursor Magnifier();

}  // namespace vestrel::icons
