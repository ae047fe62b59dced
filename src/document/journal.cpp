#include "document/journal.h"

namespace vestrel {

void BeginStep(Journal& j) { j.undos.emplace_back(); }

void InsertLines(Journal& j, LineList& dxf, std::int32_t at, const std::vector<std::string>& lines) {
  j.undos.back().actions.push_back({0, at, static_cast<std::int32_t>(lines.size()), 0, {}});
  dxf.insert(static_cast<std::size_t>(at), lines);
}

void DeleteLines(Journal& j, LineList& dxf, std::int32_t at, std::int32_t count) {
  j.undos.back().actions.push_back(
      {1, at, count, 0, dxf.copy(static_cast<std::size_t>(at), static_cast<std::size_t>(count))});
  dxf.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
}

void OverwriteLine(Journal& j, LineList& dxf, std::int32_t at, std::string_view text) {
  j.undos.back().actions.push_back({2, at, 1, 0, {std::string(dxf[static_cast<std::size_t>(at)])}});
  dxf.replace(static_cast<std::size_t>(at), text);
}

bool UndoLastStep(Journal& j, LineList& dxf) {
  if (j.undos.empty()) return false;
  std::vector<taction>& actions = j.undos.back().actions;
  if (!actions.empty()) {
    if (actions.front().typ == 1) {
      // Deletions: every block back where it stood, the last deleted first.
      for (auto a = actions.rbegin(); a != actions.rend(); ++a)
        if (a->typ == 1) dxf.insert(static_cast<std::size_t>(a->start), a->ustrs);
    } else {
      // Insertions out again, the last first; then the overwritten lines
      // back, also the last first, so that a line overwritten twice gets
      // its first text back.
      for (auto a = actions.rbegin(); a != actions.rend(); ++a)
        if (a->typ == 0) dxf.erase(static_cast<std::size_t>(a->start), static_cast<std::size_t>(a->len));
      for (auto a = actions.rbegin(); a != actions.rend(); ++a)
        if (a->typ == 2 && !a->ustrs.empty()) dxf.replace(static_cast<std::size_t>(a->start), a->ustrs.front());
    }
  }
  j.undos.pop_back();
  return true;
}

}  // namespace vestrel
