// Join and explode: what the tools of the menu "Ändern" make of the
// selected objects of the shown tab. Each replaces the objects it works on
// by what it makes, in their place, as one undo step, and parses the
// drawing again; the new objects take the layer, colour, line type, line
// weight and line-type scale of what they came from. What an operation
// cannot do to an object of the selection it refuses, changing nothing.
// Telling the user and painting is the caller's.
#pragma once

#include <string>

#include "file/context.h"

namespace vestrel {

struct ReshapeResult {
  enum class Status {
    Done,
    NothingSelected,   // nothing of the shown tab is selected
    NothingToJoin,     // no two of the selected parts meet within the tolerance
    NoLength,          // the polylines to explode have no length
    NotThisKind,       // the selection holds an object of a kind the operation cannot take: `kind`
    InvalidValue,      // a tolerance or a number of an object that is no finite number
    NoInsertionPoint,  // the new objects would have no place
    NoHandleLeft,      // they would need more handles than are left
    Distorted,         // a block holds `kind`, which the reference's transform cannot keep
    NoBlock,           // a reference names the block `kind`, which the drawing lacks
    TooLarge,          // an array would make more than an edit may add
    NothingLeft,       // a break or a shortening would leave nothing of the object
    WouldClose,        // a lengthened arc would close on itself
    NoBreakHere,       // a break at one point of a circle or whole ellipse, or at an end
  };
  Status status = Status::Done;
  std::string kind;  // the DXF name of the kind refused ("CIRCLE", "POLYLINE (3D)")
  int made = 0;      // polylines a join made, or objects an explode took apart
  int apart = 0;     // selected parts a join left alone: not in the plane of the first
};

// The selected lines, arcs and open 2-D polylines chained into polylines
// wherever their ends meet within `tolerance` (see Join): arcs become
// bulges, the ends that meet one point, a chain whose ends meet closed.
// Each chain replaces its parts where the first of them stood, with the
// properties of the part it starts with; R12 drawings get a POLYLINE with
// its vertices, newer ones an LWPOLYLINE. The chains lie in the plane of
// the first arc or polyline (the plan where the selection has lines only):
// parts off that plane are left as they are, and counted. Closed
// polylines, and parts that meet nothing, stay as they were.
ReshapeResult JoinObjects(DocumentContext& c, double tolerance);

// The selected polylines (LWPOLYLINE, and 2-D POLYLINE, the control points
// of a spline-fit one left out) taken apart into lines and arcs in their
// place: the arcs keep the polyline's plane, widths are dropped, segments
// of no length are left out. Block references, dimensions and hatches
// become what they draw (see explodeblocks.h).
ReshapeResult ExplodeObjects(DocumentContext& c);

}  // namespace vestrel
