// What changed in a line list since it was last parsed: the runs of lines
// that splices have touched, each as it stands now and the lines it
// replaced. Lines outside the runs are the lines the parse read, moved by
// the runs before them. A parse reads the runs to find what it must read
// again; then they are forgotten.
//
// Runs closer than a few lines are joined (the lines between count as
// changed, which is always safe); past a few thousand runs, or after the
// whole text was replaced, everything counts as changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vestrel {

class LineChanges {
 public:
  struct Run {
    std::int32_t start = 0, count = 0;        // the lines as they stand now
    std::int32_t oldStart = 0, oldCount = 0;  // the lines they replaced, as the parse read them
    std::int32_t end() const { return start + count; }
    std::int32_t oldEnd() const { return oldStart + oldCount; }
  };

  static constexpr std::size_t kMostRuns = 1024;
  static constexpr std::int32_t kJoinGap = 8;

  // Everything counts as changed: the list was never parsed, or its whole
  // text was replaced, or the runs were too many to follow.
  bool all() const { return all_; }
  const std::vector<Run>& runs() const { return runs_; }

  // `erased` lines at `at` were replaced by `inserted` lines.
  void splice(std::size_t at, std::size_t erased, std::size_t inserted);
  void setAll() {
    all_ = true;
    runs_.clear();
  }
  // The list was parsed: nothing has changed since.
  void clear() {
    all_ = false;
    runs_.clear();
  }

  // Where line `line` (as it stands now, in no run) stood when the list was
  // parsed, and the other way round for a line the runs left alone.
  std::int32_t toOld(std::int32_t line) const;
  std::int32_t toNew(std::int32_t oldLine) const;

 private:
  bool all_ = true;
  std::vector<Run> runs_;  // by start; apart by more than kJoinGap lines
};

}  // namespace vestrel
