#include "document/journal.h"

#include <algorithm>

namespace vestrel {

ChangeStep::ChangeStep(Journal& j, LineList& dxf) : j_(j), dxf_(dxf), index_(j.undos.size()) {
  j.undos.push_back({StepKind::Changes, {}});
}

void ChangeStep::insert(std::int32_t at, const std::vector<std::string>& lines) {
  step().actions.push_back({0, at, static_cast<std::int32_t>(lines.size()), 0, {}});
  dxf_.insert(static_cast<std::size_t>(at), lines);
}

void ChangeStep::insert(const std::vector<LineList::Insertion>& insertions) {
  // The last place first; at one place the last given first, so that they
  // stand in the order given.
  std::vector<std::size_t> order(insertions.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return insertions[a].at != insertions[b].at ? insertions[a].at > insertions[b].at : a > b;
  });
  for (const std::size_t i : order)
    step().actions.push_back(
        {0, static_cast<std::int32_t>(insertions[i].at), static_cast<std::int32_t>(insertions[i].lines->size()), 0, {}});
  dxf_.insert(insertions);
}

void ChangeStep::overwrite(std::int32_t at, std::string_view text) {
  step().actions.push_back({2, at, 1, 0, {std::string(dxf_[static_cast<std::size_t>(at)])}});
  dxf_.replace(static_cast<std::size_t>(at), text);
}

DeleteStep::DeleteStep(Journal& j, LineList& dxf) : j_(j), dxf_(dxf), index_(j.undos.size()) {
  j.undos.push_back({StepKind::Deletions, {}});
}

void DeleteStep::erase(std::int32_t at, std::int32_t count) {
  j_.undos[index_].actions.push_back(
      {1, at, count, 0, dxf_.copy(static_cast<std::size_t>(at), static_cast<std::size_t>(count))});
  dxf_.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
}

bool UndoLastStep(Journal& j, LineList& dxf) {
  if (j.undos.empty()) return false;
  const tundo& step = j.undos.back();
  if (step.kind == StepKind::Deletions) {
    // Every block back where it stood, the last deleted first.
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a)
      dxf.insert(static_cast<std::size_t>(a->start), a->ustrs);
  } else {
    // Insertions out again, the last first; then the overwritten lines
    // back, also the last first, so that a line overwritten twice gets its
    // first text back.
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a)
      if (a->typ == 0) dxf.erase(static_cast<std::size_t>(a->start), static_cast<std::size_t>(a->len));
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a)
      if (a->typ == 2 && !a->ustrs.empty()) dxf.replace(static_cast<std::size_t>(a->start), a->ustrs.front());
  }
  j.undos.pop_back();
  return true;
}

}  // namespace vestrel
