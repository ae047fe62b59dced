// Making a drawing ready to cut: what the cut check finds and can be
// mended, mended on the shown tab's visible objects as one undo step.
//
// The repair takes the lines, arcs, circles and 2-D polylines (without
// widths) that lie in the plan, outside blocks, on layers that are shown
// and not locked. In this order it
//   - deletes the objects whose every piece another one draws already
//     (within the tolerance): duplicates;
//   - shortens open objects to what no other draws (a line on a polyline's
//     side goes, one of two collinear overlapping lines keeps what the
//     other does not cover); closed ones are kept whole or deleted whole;
//   - makes ends that lie within the tolerance one point, the first of
//     them staying where it is;
//   - when asked, closes a gap between free ends up to a second tolerance
//     with a straight segment;
//   - joins the chains that now close into closed polylines, as
//     "Verbinden" does, where the first of their parts stood and with its
//     properties.
// What it does not take (texts, references, ellipses, splines, objects in
// a plane of their own, wide polylines) stays as it is; so does every
// object it does not change, byte for byte. The drawing is parsed again
// once.
#pragma once

#include "file/context.h"
#include "view/cutcheck.h"

namespace vestrel {

struct CutRepair {
  enum class Status {
    Done,
    NothingToRepair,   // the repair found nothing to change
    InvalidValue,      // a tolerance that is no finite number >= 0
    NoInsertionPoint,  // the new objects would have no place
    NoHandleLeft,      // they would need more handles than are left
  };
  Status status = Status::Done;
  int duplicates = 0;  // objects deleted: others draw all of them
  int overlaps = 0;    // objects shortened to what no other draws
  int ends = 0;        // ends moved onto an end within the tolerance
  int contours = 0;    // closed polylines made of chains
  int gaps = 0;        // gaps closed with a straight segment
  bool changed() const { return status == Status::Done; }
};

// Repairs the shown objects of tab `c.tab` (see above) with `tolerance`,
// and closes gaps up to `gaps` (none when 0) with straight segments; one
// undo step. Anything but Done leaves the drawing as it was.
CutRepair RepairCut(DocumentContext& c, double tolerance = kCutTolerance, double gaps = 0);

}  // namespace vestrel
