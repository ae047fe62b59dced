// Taking the last operation back.
#pragma once

#include "file/lifecycle.h"

namespace vestrel {

// "Rückgängig": plays the last step of the journal backwards, parses and
// repaints, and marks the drawing changed. Nothing happens without a step.
void Rckgngig1Click(Session& s);

}  // namespace vestrel
