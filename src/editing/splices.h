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
  // it was gathered.
  void apply(DocumentContext& c);
  // Edits of insertions only, each one step of the journal, made one after
  // another in one pass: every position names the line it named when the
  // first was gathered, and what an edit puts at a place goes after what
  // the edits before it put there.
  static void ApplyInOrder(DocumentContext& c, const std::vector<Splices>& edits);

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

}  // namespace vestrel
