#include "document/journal.h"

namespace vestrel {

ChangeStep::ChangeStep(Journal& j, LineList& dxf) : j_(j), dxf_(dxf), index_(j.undos.size()) {
  j.redos.clear();
  j.undos.push_back({StepKind::Changes, {}});
}

void ChangeStep::insert(std::int32_t at, const std::vector<std::string>& lines) {
  step().actions.push_back({0, at, static_cast<std::int32_t>(lines.size()), 0, {}});
  dxf_.insert(static_cast<std::size_t>(at), lines);
}

void ChangeStep::overwrite(std::int32_t at, std::string_view text) {
  step().actions.push_back({2, at, 1, 0, {std::string(dxf_[static_cast<std::size_t>(at)])}});
  dxf_.replace(static_cast<std::size_t>(at), text);
}

DeleteStep::DeleteStep(Journal& j, LineList& dxf) : j_(j), dxf_(dxf), index_(j.undos.size()) {
  j.redos.clear();
  j.undos.push_back({StepKind::Deletions, {}});
}

void DeleteStep::erase(std::int32_t at, std::int32_t count) {
  j_.undos[index_].actions.push_back(
      {1, at, count, 0, dxf_.copy(static_cast<std::size_t>(at), static_cast<std::size_t>(count))});
  dxf_.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
}

// A step keeps the lines that are not in the document: taken back, an
// insertion keeps the lines it takes out and an overwrite the text it
// replaces, so that the step can be played forwards again; played forwards,
// a deletion keeps its lines again for the next undo.
bool UndoLastStep(Journal& j, LineList& dxf) {
  if (j.undos.empty()) return false;
  tundo& step = j.undos.back();
  if (step.kind == StepKind::Deletions) {
    // Every block back where it stood, the last deleted first.
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a) {
      dxf.insert(static_cast<std::size_t>(a->start), a->ustrs);
      a->ustrs.clear();
    }
  } else {
    // Insertions out again, the last first; then the overwritten lines
    // back, also the last first, so that a line overwritten twice gets its
    // first text back.
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a) {
      if (a->typ != 0) continue;
      a->ustrs = dxf.copy(static_cast<std::size_t>(a->start), static_cast<std::size_t>(a->len));
      dxf.erase(static_cast<std::size_t>(a->start), static_cast<std::size_t>(a->len));
    }
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a) {
      if (a->typ != 2 || a->ustrs.empty()) continue;
      std::string now(dxf[static_cast<std::size_t>(a->start)]);
      dxf.replace(static_cast<std::size_t>(a->start), a->ustrs.front());
      a->ustrs.front() = std::move(now);
    }
  }
  j.redos.push_back(std::move(step));
  j.undos.pop_back();
  return true;
}

bool RedoLastStep(Journal& j, LineList& dxf) {
  if (j.redos.empty()) return false;
  tundo& step = j.redos.back();
  if (step.kind == StepKind::Deletions) {
    for (taction& a : step.actions) {
      a.ustrs = dxf.copy(static_cast<std::size_t>(a.start), static_cast<std::size_t>(a.len));
      dxf.erase(static_cast<std::size_t>(a.start), static_cast<std::size_t>(a.len));
    }
  } else {
    // The overwrites first, in their order: their places are those before
    // the step's insertions; then the insertions, each where it was made.
    for (taction& a : step.actions) {
      if (a.typ != 2 || a.ustrs.empty()) continue;
      std::string before(dxf[static_cast<std::size_t>(a.start)]);
      dxf.replace(static_cast<std::size_t>(a.start), a.ustrs.front());
      a.ustrs.front() = std::move(before);
    }
    for (taction& a : step.actions) {
      if (a.typ != 0) continue;
      dxf.insert(static_cast<std::size_t>(a.start), a.ustrs);
      a.ustrs.clear();
    }
  }
  j.undos.push_back(std::move(step));
  j.redos.pop_back();
  return true;
}

}  // namespace vestrel
