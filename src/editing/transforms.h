// Delete, move, copy, array, rotate, mirror and scale: what the editing
// tools do to the selected objects of the shown tab. Each changes the
// drawing through the journal (one undo step; an array one per copy),
// parses it again and says what came of it; telling the user, showing
// progress and painting is the caller's.
//
// An object is changed as a whole: a polyline with its vertices, a block
// reference with its attributes, a dimension with the block that draws it
// (a dimension whose block is shared, and every copy of a dimension, gets
// a block of its own). The sheet of a layout (its viewport 1) is no object
// to edit.
#pragma once

#include <cstdint>
#include <functional>

#include "editing/editmap.h"
#include "file/context.h"
#include "platform/dialogs.h"

namespace vestrel {

enum class EditResult {
  Done,              // changed, and parsed again
  Unchanged,         // no value changed: no step, no parse
  NothingSelected,   // nothing of the shown tab is selected
  InvalidValue,      // a value given, or one the edit would write, is no finite number
  BadFactor,         // a scale by 0 or less
  NoMirrorAxis,      // a mirror across a line through two points that are one
  ZeroAxis,          // a grip that would give an ellipse an axis of no length
  BadCount,          // an array's columns or rows outside 1 to kArrayMaxCount
  TooLarge,          // an array of more than kArrayMaxCopies copies or kArrayMaxLines new lines
  NoInsertionPoint,  // the drawing has no place for copies
  NoHandleLeft,      // the copies would need more handles than are left
  Cancelled,         // stopped on the way by the user: nothing changed
};

// Told how far a long edit has come: `done` of `total` parts, and all of
// them once nothing can stop it any more; false stops it, the drawing left
// as it was.
using EditProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// The most an array may add: a hundred thousand copies (each an undo
// step) and ten million lines (about twice the largest drawings we know,
// some hundred megabytes), so that no array can exhaust the memory or
// keep the editor busy for minutes.
inline constexpr std::int64_t kArrayMaxCopies = 100000;
inline constexpr std::int64_t kArrayMaxLines = 10000000;

// Deletes the selection; false (and no step) when nothing is selected.
bool Loeschen(DocumentContext& c);

EditResult MoveObjects(DocumentContext& c, double dx, double dy);

// Copies of the selection moved by (dx, dy), at the end of the tab's
// objects.
EditResult CopyObjects(DocumentContext& c, double dx, double dy);

// The selection copied into the columns and rows of the array dialog, the
// array turned by its angle; every copy is its own undo step. Checked and
// gathered whole before anything is written (`progress` told as the copies
// are gathered), then written in one pass: it costs what its copies cost.
EditResult MakeArray(DocumentContext& c, const ArrayDialogValues& values, const EditProgress& progress = {});

// Mode 0 turns about (x1, y1) by the angle of (x2, y2) seen from it; 1
// mirrors across the line through both (NoMirrorAxis when they are one
// point); 2 scales about (x1, y1) by their distance.
enum TransformMode : int { kRotate = 0, kMirror = 1, kScale = 2 };
EditResult RotateObjects(DocumentContext& c, double x1, double y1, double x2, double y2, int mode);

// The selection mapped by `map`.
EditResult MapObjects(DocumentContext& c, const EditMap& map);

}  // namespace vestrel
