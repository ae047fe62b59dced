// What a map of the drawing makes of one object's lines. Each kind is
// taken as the reader takes it: points in the world or in the object's
// plane, directions, lengths, angles, bulges, the extrusion, and what a
// mirror turns round (the ends of arcs, the sense of bulges and of
// elliptic arcs, a block reference's x scale). Values it does not
// understand, and numbers that do not parse, are left as they are.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "document/linelist.h"
#include "editing/editmap.h"

namespace vestrel {

// New texts for lines, and new lines, of the object: what an edit splices.
struct LineEdits {
  std::vector<std::pair<std::int32_t, std::string>> overwrite;  // line, its new text
  struct Insertion {
    std::int32_t at;  // the new lines go before this line
    std::vector<std::string> lines;
  };
  std::vector<Insertion> insert;
  bool finite = true;  // false: a new value would not be a finite number

  bool empty() const { return overwrite.empty() && insert.empty(); }
  void clear() {
    overwrite.clear();
    insert.clear();
    finite = true;
  }
};

// Adds to `out` what `map` does to the object on lines [from, to]: its
// "0" line to its last, the vertices of a polyline and the attributes of
// a block reference (and their end) included.
void MapObject(const LineList& dxf, std::int32_t from, std::int32_t to, const EditMap& map, LineEdits& out);

// A group-code line as our writers write it: right-aligned in three
// places (" 50", "210").
std::string CodeText(int group);

}  // namespace vestrel
