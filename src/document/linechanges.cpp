#include "document/linechanges.h"

#include <algorithm>
#include <limits>

namespace vestrel {

namespace {

// How far the lines after run `r` have moved since the parse.
std::int32_t ShiftAfter(const LineChanges::Run& r) { return r.end() - r.oldEnd(); }

}  // namespace

void LineChanges::splice(std::size_t at, std::size_t erased, std::size_t inserted) {
  if (all_ || (erased == 0 && inserted == 0)) return;
  constexpr auto kMost = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2);
  if (at > kMost || erased > kMost || inserted > kMost) return setAll();
  const auto a = static_cast<std::int32_t>(at), k = static_cast<std::int32_t>(erased),
             m = static_cast<std::int32_t>(inserted);
  // The runs the splice meets or comes close to: [first, last).
  const auto first = static_cast<std::size_t>(
      std::lower_bound(runs_.begin(), runs_.end(), a - kJoinGap, [](const Run& r, std::int32_t v) { return r.end() < v; }) -
      runs_.begin());
  std::size_t last = first;
  while (last < runs_.size() && runs_[last].start <= a + k + kJoinGap) ++last;

  const std::int32_t before = first > 0 ? ShiftAfter(runs_[first - 1]) : 0;
  std::int32_t s = a, e = a + k, shift = before;
  if (last > first) {
    s = std::min(s, runs_[first].start);
    e = std::max(e, runs_[last - 1].end());
    shift = ShiftAfter(runs_[last - 1]);
  }
  Run joined;
  joined.start = s;
  joined.oldStart = s - before;
  joined.oldCount = (e - shift) - joined.oldStart;
  joined.count = e - s - k + m;
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first), runs_.begin() + static_cast<std::ptrdiff_t>(last));
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), joined);
  if (m != k)
    for (std::size_t i = first + 1; i < runs_.size(); ++i) runs_[i].start += m - k;
  if (runs_.size() > kMostRuns) setAll();
}

std::int32_t LineChanges::toOld(std::int32_t line) const {
  const auto it = std::upper_bound(runs_.begin(), runs_.end(), line, [](std::int32_t v, const Run& r) { return v < r.end(); });
  return it == runs_.begin() ? line : line - ShiftAfter(*(it - 1));
}

std::int32_t LineChanges::toNew(std::int32_t oldLine) const {
  const auto it =
      std::upper_bound(runs_.begin(), runs_.end(), oldLine, [](std::int32_t v, const Run& r) { return v < r.oldEnd(); });
  return it == runs_.begin() ? oldLine : oldLine + ShiftAfter(*(it - 1));
}

}  // namespace vestrel
