// What the reader keeps of a parse besides the display list, so that the
// parse after a small change reads only the objects the change touched,
// and what it tells of how the new display list follows from the old.
#pragma once

#include <cstdint>
#include <vector>

#include "document/records.h"

namespace vestrel {

// Which sections were open when an entry began.
enum SectionBits : std::uint8_t {
  kInEntities = 1, kInBlocks = 2, kInBlock = 4, kInTables = 8, kInObjects = 16, kExpectingSection = 32,
};

// The reader's state after an entry, in what a later entry can take from
// the entries before it, and the handles of the entry's own lines.
struct EntryParse {
  double width = 0, startwidth = 0;  // the last polyline widths read (groups 40 and 41)
  Handle handles = 0;                // the largest handle among the entry's lines
  std::int32_t insert = -1;          // the block reference later attributes belong to; -1 none
  std::uint8_t sections = 0;         // SectionBits when the entry began
};

// The rest of a parse: the handles read outside entries, and where the
// text holds what a change of one object does not reach.
struct ParseRecord {
  bool valid = false;            // the display list is the parse of the line list before its changes
  Handle outside = 0;            // the largest handle read outside entries, $HANDSEED's value aside
  Handle seed = 0;               // what the last $HANDSEED adds: its value less one, or 0
  bool seedPaired = false;       // that value also counted as a handle of its own
  std::int32_t tablesEnd = -1;   // the last line of the tables
  std::uint64_t lines = 0;       // the identity of the line list parsed
};

// How the display list of a parse follows from the one before: entries
// [oldFirst, oldFirst + oldCount) of the old list were read again and are
// entries [newFirst, newFirst + newCount) of the new one, all of them, old
// and new, members of block `block` (an index into Drawing::blocks) or,
// with -1, of no block; every entry outside the ranges is the old entry of
// the same order, its line numbers moved with the lines.
struct EntryRange {
  std::int32_t oldFirst = 0, oldCount = 0, newFirst = 0, newCount = 0;
  std::int32_t block = -1;
};
struct Reparsed {
  std::uint64_t before = 0;  // the parse the old list came from
  bool whole = true;         // read from the start: nothing is known to be the same
  std::vector<EntryRange> ranges;
};

}  // namespace vestrel
