#include "editing/splices.h"

namespace vestrel {

void Splices::add(LineEdits& e) {
  for (auto& [line, text] : e.overwrite) overwrite(line, std::move(text));
  for (LineEdits::Insertion& i : e.insert) insert(i.at, std::move(i.lines));
  e.clear();
}

std::vector<std::pair<std::int32_t, std::int32_t>> Splices::insertions() const {
  std::vector<std::pair<std::int32_t, std::int32_t>> out;
  for (const Edit& e : edits_)
    if (e.insertion) out.emplace_back(e.at, static_cast<std::int32_t>(e.lines.size()));
  return out;
}

}  // namespace vestrel
