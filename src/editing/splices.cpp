#include "editing/splices.h"

#include <algorithm>

namespace vestrel {

void Splices::add(LineEdits& e) {
  for (auto& [line, text] : e.overwrite) overwrite(line, std::move(text));
  for (LineEdits::Insertion& i : e.insert) insert(i.at, std::move(i.lines));
  e.clear();
}

void Splices::sort() {
  // The last place first. At one place the overwrite comes first (it names
  // the line that the insertions will push down), then the insertions, the
  // one given last first, so that they end up in the order given.
  std::vector<std::size_t> order(edits_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const Edit &x = edits_[a], &y = edits_[b];
    if (x.at != y.at) return x.at > y.at;
    if (x.insertion != y.insertion) return !x.insertion;
    return x.insertion ? a > b : a < b;
  });
  std::vector<Edit> sorted;
  sorted.reserve(edits_.size());
  for (const std::size_t i : order) sorted.push_back(std::move(edits_[i]));
  edits_ = std::move(sorted);
}

std::vector<std::pair<std::int32_t, std::int32_t>> Splices::insertions() const {
  std::vector<std::pair<std::int32_t, std::int32_t>> out;
  for (const Edit& e : edits_)
    if (e.insertion) out.emplace_back(e.at, static_cast<std::int32_t>(e.lines.size()));
  return out;
}

}  // namespace vestrel
