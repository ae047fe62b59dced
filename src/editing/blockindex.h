// Where the block definitions stand in the lines, their entries in the
// BLOCK_RECORD table, and how many references name each: what an edit
// needs to map or copy the block that draws a dimension. Built on first
// use from the lines as they were parsed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "document/drawing.h"

namespace vestrel {

struct BlockLines {
  std::int32_t from = -1;     // the BLOCK's "0" line
  std::int32_t members = -1;  // the first member's "0" line (the ENDBLK's when it has none)
  std::int32_t endblk = -1;   // the ENDBLK's "0" line
  std::int32_t to = -1;       // the ENDBLK's last line
  std::int32_t recordFrom = -1, recordTo = -1;  // its table entry, when the drawing has one
};

class BlockIndex {
 public:
  explicit BlockIndex(const Drawing& d) : d_(d) {}

  // The complete definition of block `name`; nullptr when there is none.
  const BlockLines* find(std::string_view name);
  // How many block references and dimensions name the block.
  int references(std::string_view name);
  // A name that no block has: "*D" and a number above all in use.
  std::string newDimensionName();

 private:
  void index();

  const Drawing& d_;
  bool indexed_ = false, counted_ = false;
  std::unordered_map<std::string, BlockLines> blocks_;
  std::unordered_map<std::string, int> references_;
  std::int64_t lastNumber_ = 0;
};

}  // namespace vestrel
