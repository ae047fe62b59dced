// Printing the shown tab on one page at the scale of the page set-up.
#pragma once

#include <QPaintDevice>

#include "document/drawing.h"
#include "platform/platform.h"
#include "view/transform.h"

namespace vestrel {

// Draws the current tab's entries onto `page` (a printer or PDF page whose
// origin is the paper's corner) through the page transform, clipped to the
// page less the margin. Prints black on white, without selection. False
// when block references were left out (see DrawTab).
bool PrintTab(QPaintDevice& page, Drawing& d, const ViewState& view, const PrintSetup& print);

}  // namespace vestrel
