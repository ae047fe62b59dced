// Fillet and chamfer: "Abrunden" and "Fasen" of the menu "Ändern". Two
// picked objects (lines, arcs) are run or cut to the corner between them
// on the sides the picks show, and the fillet's ARC or the chamfer's LINE
// joins them, with the properties of the first; two picked segments of one
// polyline that meet get their corner in the polyline itself, a vertex
// more. Each is one undo step, spliced into the lines of the objects it
// changes, and the drawing is parsed again. What cannot be made changes
// nothing. Telling the user and painting is the caller's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "file/context.h"
#include "geometry/point.h"

namespace vestrel {

// An object clicked: its entry, and where it was clicked, in drawing units
// (the plan).
struct CornerPick {
  std::int32_t entry = -1;
  Point2 at;
};

// What corner to make: a fillet of `radius`, or a chamfer cutting back
// `d1` along the first object and `d2` along the second. Radius 0, or both
// distances 0, make the sharp corner.
struct CornerSize {
  bool chamfer = false;
  double radius = 0, d1 = 0, d2 = 0;
};

struct CornerResult {
  enum class Status {
    Done,
    NotThisKind,       // an object of a kind the tool cannot take: `kind`
    InvalidValue,      // a radius, distance or number of an object that is no finite number, or negative
    Parallel,          // two parallel lines
    TooLarge,          // the radius or a distance does not fit the corner
    NoCorner,          // tangent, apart, not in one plane, or segments of a polyline that do not meet
    NoInsertionPoint,  // the new object would have no place
    NoHandleLeft,      // it would need a handle beyond the last
  };
  Status status = Status::Done;
  std::string kind;   // the DXF name of the kind refused ("CIRCLE")
  int made = 0;       // corners made
  int left = 0;       // of all the vertices of a polyline, those that could not be made
};

// The corner between the two picked objects, or at the vertex between two
// picked segments of one polyline.
CornerResult MakeCorner(DocumentContext& c, CornerPick first, CornerPick second, const CornerSize& size);

// A corner at every vertex of the polyline `entry`, one after the other
// along it; the count of those that could not be made is in `left`.
CornerResult MakeAllCorners(DocumentContext& c, std::int32_t entry, const CornerSize& size);

// What MakeCorner would join the two objects with, as points of the
// drawing (the plan) along it; none when it would make nothing, or a
// corner at a polyline's vertex.
std::vector<Point2> CornerGhost(const Drawing& d, int tab, CornerPick first, CornerPick second, const CornerSize& size);

}  // namespace vestrel
