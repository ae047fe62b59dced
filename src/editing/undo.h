// Taking the last operation back, and doing it again.
#pragma once

#include "file/context.h"

namespace vestrel {

// Plays the last step of the journal backwards, parses the drawing anew
// and marks it changed; false, with nothing done, when there is no step.
bool UndoLastOperation(DocumentContext& c);

// Plays the operation taken back last forwards again, parses the drawing
// anew and marks it changed; false, with nothing done, when there is none.
bool RedoLastOperation(DocumentContext& c);

}  // namespace vestrel
