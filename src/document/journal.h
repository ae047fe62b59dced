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

// What is told of every change of the lines as it is made, for a record of
// them kept outside the journal (the crash recovery).
class JournalListener {
 public:
  virtual ~JournalListener() = default;
  // A new step begins (and what could be redone is forgotten); its splices
  // follow.
  virtual void StepBegun() = 0;
  virtual void Inserted(std::int32_t at, const std::vector<std::string>& lines) = 0;
  virtual void Overwritten(std::int32_t at, std::string_view text) = 0;
  virtual void Erased(std::int32_t at, std::int32_t count) = 0;
  // The last step is about to be played backwards, or the one taken back
  // last forwards again.
  virtual void Undoing(const tundo& step) = 0;
  virtual void Redoing(const tundo& step) = 0;
  // A line overwritten outside every step, which undo leaves as it is.
  virtual void Kept(std::int32_t at, std::string_view text) = 0;
  // The lines start anew: they are what the file `path` holds (just opened
  // or saved), or a new drawing's when `path` is empty.
  virtual void Restarted(const LineList& lines, const std::string& path) = 0;
  // The lines are about to be saved as `path`.
  virtual void Saving(const std::string& path) = 0;
};

struct Journal {
  std::vector<tundo> undos;
  // The steps taken back, the last one taken back last; each holds what
  // its redo puts back. A new step forgets them.
  std::vector<tundo> redos;
  // The largest handle written since the file was opened: an undo takes
  // the object out, but its handle is not given out again.
  Handle handlesIssued = 0;
  // Told of every change; none when nobody keeps a record.
  JournalListener* listener = nullptr;
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
  // Several splices at places of the lines as they are now (see
  // LineList::splice), made in one pass and recorded as if made one by one
  // from the last place to the first, each an erasure and an insertion.
  void splice(const std::vector<LineList::Splice>& splices);

 private:
  tundo& step() { return j_.undos[index_]; }
  friend void InsertSteps(Journal&, LineList&, const std::vector<std::vector<LineList::Insertion>>&);
  // Records insertions made at places of the lines as they are now.
  void recordInsertions(const std::vector<LineList::Insertion>& insertions);
  Journal& j_;
  LineList& dxf_;
  std::size_t index_;
};

// Steps of insertions only, one after another, made in one pass over the
// lines: every step's insertions name places of the lines as they were
// before the first step, and what a step puts at a place goes after what
// the steps before it put there. Each step is recorded, and told, as if it
// had been made alone after those before it.
void InsertSteps(Journal& j, LineList& dxf, const std::vector<std::vector<LineList::Insertion>>& steps);

// Plays the last step backwards and keeps it for a redo; false when there
// is none.
bool UndoLastStep(Journal& j, LineList& dxf);

// Plays the step taken back last forwards again and makes it the last
// step; false when there is none.
bool RedoLastStep(Journal& j, LineList& dxf);

// Overwrites line `at` outside every step: undo leaves it as it is (the
// handle seed goes on naming the next free handle whatever is taken back).
void OverwriteKept(Journal& j, LineList& dxf, std::size_t at, std::string_view text);

// Forgets every step; a newly opened file starts without history.
inline void FreeUndos(Journal& j) {
  j.undos.clear();
  j.redos.clear();
  j.handlesIssued = 0;
}

// The lines start anew from the file `path` (empty: a new drawing): the
// listener is told.
inline void Restarted(Journal& j, const LineList& dxf, const std::string& path) {
  if (j.listener) j.listener->Restarted(dxf, path);
}

}  // namespace vestrel
