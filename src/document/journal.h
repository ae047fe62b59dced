// The undo journal: one step per user operation, each a list of the line
// splices it made, every one recorded where it was made at its moment.
// Every change of the line list goes through a step, so that undo can play
// it backwards, the last splice first, and redo forwards again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/linelist.h"
#include "document/records.h"

namespace vestrel {

struct Journal {
  std::vector<tundo> undos;
  // The steps taken back, the last one taken back last; each holds what
  // its redo puts back. A new step forgets them.
  std::vector<tundo> redos;
  // The largest handle written since the file was opened: an undo takes
  // the object out, but its handle is not given out again.
  Handle handlesIssued = 0;
};

// The step of an operation that puts lines in, overwrites lines and takes
// lines out; each splice is recorded as an action of it.
class ChangeStep {
 public:
  ChangeStep(Journal& j, LineList& dxf);
  void insert(std::int32_t at, const std::vector<std::string>& lines);
  // Several insertions at places of the lines as they are now, made in one
  // pass and recorded as if made one by one from the last place to the
  // first.
  void insert(const std::vector<LineList::Insertion>& insertions);
  void overwrite(std::int32_t at, std::string_view text);
  void erase(std::int32_t at, std::int32_t count);

 private:
  tundo& step() { return j_.undos[index_]; }
  Journal& j_;
  LineList& dxf_;
  std::size_t index_;
};

// Deleting is one of the splices of a step.
using DeleteStep = ChangeStep;

// Plays the last step backwards and keeps it for a redo; false when there
// is none.
bool UndoLastStep(Journal& j, LineList& dxf);

// Plays the step taken back last forwards again and makes it the last
// step; false when there is none.
bool RedoLastStep(Journal& j, LineList& dxf);

// Forgets every step; a newly opened file starts without history.
inline void FreeUndos(Journal& j) {
  j.undos.clear();
  j.redos.clear();
  j.handlesIssued = 0;
}

}  // namespace vestrel
