#include "editing/splices.h"

namespace vestrel {

void Splices::add(LineEdits& e) {
  for (auto& [line, text] : e.overwrite) overwrite(line, std::move(text));
  for (LineEdits::Insertion& i : e.insert) insert(i.at, std::move(i.lines));
  e.clear();
}

void Splices::apply(DocumentContext& c) {
  if (edits_.empty()) return;
  ChangeStep step(c.undos, c.drawing.dxf);
  std::vector<LineList::Insertion> insertions;
  for (const Edit& e : edits_) {
    const auto at = static_cast<std::size_t>(e.at);
    if (e.insertion)
      insertions.push_back({at, &e.lines});
    else
      step.overwrite(e.at, e.lines.front());
  }
  if (!insertions.empty()) step.insert(insertions);
}

void Splices::ApplyInOrder(DocumentContext& c, const std::vector<Splices>& edits) {
  std::vector<std::vector<LineList::Insertion>> steps;
  steps.reserve(edits.size());
  for (const Splices& s : edits) {
    if (s.edits_.empty()) continue;
    std::vector<LineList::Insertion>& step = steps.emplace_back();
    for (const Edit& e : s.edits_) step.push_back({static_cast<std::size_t>(e.at), &e.lines});
  }
  InsertSteps(c.undos, c.drawing.dxf, steps);
}

std::vector<std::pair<std::int32_t, std::int32_t>> Splices::insertions() const {
  std::vector<std::pair<std::int32_t, std::int32_t>> out;
  for (const Edit& e : edits_)
    if (e.insertion) out.emplace_back(e.at, static_cast<std::int32_t>(e.lines.size()));
  return out;
}

}  // namespace vestrel
