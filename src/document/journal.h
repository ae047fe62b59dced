// The undo journal: one step per user action, each a list of line splices.
#pragma once

#include <vector>

#include "document/records.h"

namespace vestrel {

struct Journal {
  std::vector<tundo> undos;
};

// Forgets every step; a newly opened file starts without history.
inline void FreeUndos(Journal& j) { j.undos.clear(); }

}  // namespace vestrel
