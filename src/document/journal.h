// The undo journal: one step per user operation, each a list of the line
// splices it made. Every change of the line list goes through the three
// splices below, so that undo can play it backwards.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/linelist.h"
#include "document/records.h"

namespace vestrel {

struct Journal {
  std::vector<tundo> undos;
};

// Starts the step of a new operation; the splices that follow go into it.
void BeginStep(Journal& j);

// Splices of the line list, each recorded as an action of the last step.
void InsertLines(Journal& j, LineList& dxf, std::int32_t at, const std::vector<std::string>& lines);
void DeleteLines(Journal& j, LineList& dxf, std::int32_t at, std::int32_t count);
void OverwriteLine(Journal& j, LineList& dxf, std::int32_t at, std::string_view text);

// Plays the last step backwards and forgets it; false when there is none.
bool UndoLastStep(Journal& j, LineList& dxf);

// Forgets every step; a newly opened file starts without history.
inline void FreeUndos(Journal& j) { j.undos.clear(); }

}  // namespace vestrel
