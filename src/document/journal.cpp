#include "document/journal.h"

#include <algorithm>
#include <map>

namespace vestrel {

ChangeStep::ChangeStep(Journal& j, LineList& dxf) : j_(j), dxf_(dxf), index_(j.undos.size()) {
  if (j.listener) j.listener->StepBegun();
  j.redos.clear();
  j.undos.emplace_back();
}

void ChangeStep::insert(std::int32_t at, const std::vector<std::string>& lines) {
  if (j_.listener) j_.listener->Inserted(at, lines);
  step().actions.push_back({0, at, static_cast<std::int32_t>(lines.size()), 0, {}});
  dxf_.insert(static_cast<std::size_t>(at), lines);
}

void ChangeStep::insert(const std::vector<LineList::Insertion>& insertions) {
  recordInsertions(insertions);
  dxf_.insert(insertions);
}

void ChangeStep::recordInsertions(const std::vector<LineList::Insertion>& insertions) {
  // The last place first; at one place the last given first, so that they
  // stand in the order given.
  std::vector<std::size_t> order(insertions.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return insertions[a].at != insertions[b].at ? insertions[a].at > insertions[b].at : a > b;
  });
  for (const std::size_t i : order) {
    if (j_.listener) j_.listener->Inserted(static_cast<std::int32_t>(insertions[i].at), *insertions[i].lines);
    step().actions.push_back(
        {0, static_cast<std::int32_t>(insertions[i].at), static_cast<std::int32_t>(insertions[i].lines->size()), 0, {}});
  }
}

void InsertSteps(Journal& j, LineList& dxf, const std::vector<std::vector<LineList::Insertion>>& steps) {
  // The lines the steps so far put at each place.
  std::map<std::size_t, std::size_t> before;
  std::vector<LineList::Insertion> all, now;
  for (const std::vector<LineList::Insertion>& insertions : steps) {
    // Where each place stands after the steps before: moved by what they
    // put at it and before it.
    std::vector<std::size_t> order(insertions.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return insertions[a].at < insertions[b].at; });
    now = insertions;
    std::size_t moved = 0;
    auto next = before.begin();
    for (const std::size_t i : order) {
      for (; next != before.end() && next->first <= insertions[i].at; ++next) moved += next->second;
      now[i].at += moved;
    }
    ChangeStep(j, dxf).recordInsertions(now);
    for (const LineList::Insertion& i : insertions) {
      before[i.at] += i.lines->size();
      all.push_back(i);
    }
  }
  dxf.insert(std::move(all));
}

void ChangeStep::overwrite(std::int32_t at, std::string_view text) {
  if (j_.listener) j_.listener->Overwritten(at, text);
  step().actions.push_back({2, at, 1, 0, {std::string(dxf_[static_cast<std::size_t>(at)])}});
  dxf_.replace(static_cast<std::size_t>(at), text);
}

void ChangeStep::erase(std::int32_t at, std::int32_t count) {
  if (j_.listener) j_.listener->Erased(at, count);
  step().actions.push_back(
      {1, at, count, 0, dxf_.copy(static_cast<std::size_t>(at), static_cast<std::size_t>(count))});
  dxf_.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
}

// Each splice is undone in the list as it stood right after it, so the
// step goes backwards from its last splice to its first, and forwards again
// for a redo. A step keeps the lines that are not in the document: taken
// back, an insertion keeps the lines it takes out and an overwrite the text
// it replaces; done again, a deletion keeps its lines again.
namespace {

void Backwards(taction& a, LineList& dxf) {
  const auto at = static_cast<std::size_t>(a.start);
  switch (a.typ) {
    case 0:
      a.ustrs = dxf.copy(at, static_cast<std::size_t>(a.len));
      dxf.erase(at, static_cast<std::size_t>(a.len));
      break;
    case 1:
      dxf.insert(at, a.ustrs);
      a.ustrs.clear();
      break;
    case 2:
      if (!a.ustrs.empty()) {
        std::string now(dxf[at]);
        dxf.replace(at, a.ustrs.front());
        a.ustrs.front() = std::move(now);
      }
      break;
  }
}

void Forwards(taction& a, LineList& dxf) {
  const auto at = static_cast<std::size_t>(a.start);
  switch (a.typ) {
    case 0:
      dxf.insert(at, a.ustrs);
      a.ustrs.clear();
      break;
    case 1:
      a.ustrs = dxf.copy(at, static_cast<std::size_t>(a.len));
      dxf.erase(at, static_cast<std::size_t>(a.len));
      break;
    case 2: Backwards(a, dxf); break;  // an overwrite swaps its two texts either way
  }
}

}  // namespace

bool UndoLastStep(Journal& j, LineList& dxf) {
  if (j.undos.empty()) return false;
  tundo& step = j.undos.back();
  if (j.listener) j.listener->Undoing(step);
  for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a) Backwards(*a, dxf);
  j.redos.push_back(std::move(step));
  j.undos.pop_back();
  return true;
}

bool RedoLastStep(Journal& j, LineList& dxf) {
  if (j.redos.empty()) return false;
  tundo& step = j.redos.back();
  if (j.listener) j.listener->Redoing(step);
  for (taction& a : step.actions) Forwards(a, dxf);
  j.undos.push_back(std::move(step));
  j.redos.pop_back();
  return true;
}

void OverwriteKept(Journal& j, LineList& dxf, std::size_t at, std::string_view text) {
  if (j.listener) j.listener->Kept(static_cast<std::int32_t>(at), text);
  dxf.replace(at, text);
}

}  // namespace vestrel
