// The undo journal: one step per user operation, each a list of the line
// splices it made. Every change of the line list goes through a step, so
// that undo can play it backwards. A step is opened for its kind and offers
// only the splices of that kind.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/linelist.h"
#include "document/records.h"

namespace vestrel {

struct Journal {
  std::vector<tundo> undos;
  // The largest handle written since the file was opened: an undo takes
  // the object out, but its handle is not given out again.
  Handle handlesIssued = 0;
};

// The step of an operation that puts lines in and overwrites lines; each
// splice is recorded as an action of it.
class ChangeStep {
 public:
  ChangeStep(Journal& j, LineList& dxf);
  void insert(std::int32_t at, const std::vector<std::string>& lines);
  // Several insertions at places of the lines as they are now, made in one
  // pass and recorded as if made one by one from the last place to the
  // first.
  void insert(const std::vector<LineList::Insertion>& insertions);
  void overwrite(std::int32_t at, std::string_view text);

 private:
  tundo& step() { return j_.undos[index_]; }
  Journal& j_;
  LineList& dxf_;
  std::size_t index_;
};

// The step of an operation that takes lines out.
class DeleteStep {
 public:
  DeleteStep(Journal& j, LineList& dxf);
  void erase(std::int32_t at, std::int32_t count);

 private:
  Journal& j_;
  LineList& dxf_;
  std::size_t index_;
};

// Plays the last step backwards and forgets it; false when there is none.
bool UndoLastStep(Journal& j, LineList& dxf);

// Forgets every step; a newly opened file starts without history.
inline void FreeUndos(Journal& j) {
  j.undos.clear();
  j.handlesIssued = 0;
}

}  // namespace vestrel
