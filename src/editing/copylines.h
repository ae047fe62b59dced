// The lines of a copy of objects: their own lines with a map's edits made,
// a new handle for each object, and what points at one of the copied
// objects (the owner of a vertex or an attribute) pointed at its copy.
// What belongs to the original alone is left out of the copy: its
// extension dictionary and the objects it is a reactor of.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/linelist.h"
#include "document/records.h"
#include "editing/objectmap.h"
#include "file/context.h"

namespace vestrel {

struct CopyState {
  // Old handles and the handles of their copies.
  std::unordered_map<Handle, Handle> handles;
  // A name the copies give up for another: of a block (groups 2 and 3 of
  // BLOCK, 2 of BLOCK_RECORD) and of the block a dimension is drawn by.
  std::string renameFrom, renameTo;
  // The viewport id the next copied viewport gets.
  std::int32_t nextViewportId = 2;
  // Copies of user objects have their group codes written without blanks.
  bool trimCodes = false;
};

// The lines [from, to] of `src` with `edits` made (their positions are
// lines of `src`).
std::vector<std::string> EditedLines(const LineList& src, std::int32_t from, std::int32_t to, const LineEdits& edits);

// Appends the copy of lines [from, to] of `src`, `edits` made, to `out`.
// False, with `out` as it was, when the drawing has no handle left.
bool CopyLines(DocumentContext& c, const LineList& src, std::int32_t from, std::int32_t to, const LineEdits& edits,
               CopyState& state, std::vector<std::string>& out);

// How many objects lines [from, to] hold: the handles a copy takes.
std::int64_t HandlesIn(const LineList& src, std::int32_t from, std::int32_t to);

}  // namespace vestrel
