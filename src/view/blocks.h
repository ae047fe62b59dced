// Block references as they are drawn: the members of each block, where a
// reference places them (scale, rotation, extrusion, array cells), and the
// box each block fills, computed once per block however often and however
// deeply it is referenced.
#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/drawing.h"
#include "geometry/placement.h"
#include "view/colors.h"

namespace vestrel {

// A box in space; empty until a point is added.
struct Box3 {
  double minx = 0, miny = 0, minz = 0, maxx = 0, maxy = 0, maxz = 0;
  bool empty = true;
  void add(Point3 p);
  void add(const Box3& b);
  // The box of this one's eight corners placed by `p`.
  Box3 placed(const Placement& p) const;
};

class Blocks {
 public:
  // `memberEntries`, when given, are the entries of the drawing that are
  // members of blocks, in list order (what would otherwise be looked for).
  explicit Blocks(const Drawing& d, const std::vector<std::int32_t>* memberEntries = nullptr)
      : d_(d), tables_(d), memberEntries_(memberEntries) {}

  // Whether entry `p` is drawn at all: its layer is neither off nor frozen.
  bool shown(const tpoly& p) const { return !tables_.layer(p).off; }
  // The entries of the block named `name`, in list order.
  const std::vector<std::size_t>& members(std::string_view name);
  // The first block of that name; nullptr when there is none.
  const tblock* block(std::string_view name);

  // What the block draws, in its own coordinates: the drawn points of its
  // shown members (not construction lines and rays) and the boxes of the
  // blocks they refer to. A block that refers to itself adds nothing the second
  // time.
  const Box3& box(std::string_view name);

  // The block that entry `p` draws: an INSERT's, or the one a DIMENSION
  // names when the drawing has it; empty for every other entry.
  std::string_view referenced(const tpoly& p);
  // Where reference `insert` (an INSERT or a DIMENSION) puts its block's
  // points in cell (column, row) of its array.
  Placement placement(const tpoly& insert, std::int32_t column, std::int32_t row);
  // The number of columns and rows of its array, at least one each.
  std::pair<std::int32_t, std::int32_t> cells(const tpoly& insert) const;
  // What reference `insert` draws in its space: its block's box in every
  // cell of its array.
  Box3 referenceBox(const tpoly& insert);
  // The entries that draw the members of blocks `names`: the references
  // and dimensions that name one of them, or name a block with such an
  // entry among its members, however deep; in list order.
  std::vector<std::size_t> drawing(std::vector<std::string_view> names);

 private:
  void index();

  const Drawing& d_;
  StyleTables tables_;
  const std::vector<std::int32_t>* memberEntries_;
  bool indexed_ = false;
  std::unordered_map<std::string_view, std::vector<std::size_t>> members_;
  std::unordered_map<std::string_view, const tblock*> blocks_;
  struct Cached {
    Box3 box;
    bool done = false, busy = false;
  };
  std::unordered_map<std::string_view, Cached> boxes_;
};

// The drawn box of entry `p` itself: its points that are drawn and, for a
// text, the box of its letters; for a block reference (or a dimension
// drawn by its block) what its block
// draws; construction lines and rays have none.
Box3 DrawnBox(const Drawing& d, const tpoly& p, Blocks& blocks);

}  // namespace vestrel
