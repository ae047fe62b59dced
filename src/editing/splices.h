// The splices of one edit, gathered while the display list still names
// the lines as they are, then made together as one undo step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editing/objectmap.h"
#include "file/context.h"

namespace vestrel {

class Splices {
 public:
  void overwrite(std::int32_t line, std::string text) { edits_.push_back({line, false, {std::move(text)}}); }
  // The lines go before line `at`; several at one place keep the order
  // they were given in.
  void insert(std::int32_t at, std::vector<std::string> lines) {
    if (!lines.empty()) edits_.push_back({at, true, std::move(lines)});
  }
  void add(LineEdits& e);
  bool empty() const { return edits_.empty(); }

  // Makes them all as one step of the journal: the overwrites, then the
  // insertions in one pass, every position naming the line it named when
  // it was gathered. `shift` says where a line of that time stands now
  // (when earlier steps came in between); none: where it stood.
  template <class Shift>
  void apply(DocumentContext& c, Shift shift);
  void apply(DocumentContext& c) {
    apply(c, [](std::int32_t line) { return line; });
  }

  // The insertions made: where they went (in the lines of the time they
  // were gathered) and how many lines each.
  std::vector<std::pair<std::int32_t, std::int32_t>> insertions() const;

 private:
  struct Edit {
    std::int32_t at;
    bool insertion;
    std::vector<std::string> lines;
  };
  std::vector<Edit> edits_;
};

template <class Shift>
void Splices::apply(DocumentContext& c, Shift shift) {
  if (edits_.empty()) return;
  ChangeStep step(c.undos, c.drawing.dxf);
  std::vector<LineList::Insertion> insertions;
  for (const Edit& e : edits_) {
    const auto at = static_cast<std::size_t>(shift(e.at));
    if (e.insertion)
      insertions.push_back({at, &e.lines});
    else
      step.overwrite(static_cast<std::int32_t>(at), e.lines.front());
  }
  if (!insertions.empty()) step.insert(insertions);
}

}  // namespace vestrel
