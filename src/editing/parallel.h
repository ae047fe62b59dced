// "Parallele": a new object beside a line, arc, circle, ellipse, 2-D
// polyline or spline, at a distance or through a point, on the side the user
// points at. It is worked out in the object's own plane (a mirrored arc of
// a CAM program keeps its extrusion) and comes out where the pointer was
// in the plan. Telling the user and painting is the caller's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "file/context.h"
#include "geometry/point.h"

namespace vestrel {

struct ParallelResult {
  enum class Status {
    Done,
    NotThisKind,       // the object is of a kind that has no parallel: `kind`
    InvalidValue,      // a distance, or a number of the object, that is no finite number
    NoLength,          // the object has no length
    Vanished,          // at that distance nothing is left on that side (a radius of 0 or less)
    OnTheObject,       // the point to pass through lies on the object
    NoInsertionPoint,  // the drawing has no place for new objects
    NoHandleLeft,      // they would need more handles than are left
  };
  Status status = Status::Done;
  std::string kind;  // the DXF name of the kind refused or without length ("SPLINE", "POLYLINE (3D)")
  int made = 0;      // the objects made (a contour that pinches apart gives several)
};

// The kind entry `entry` of the drawing is refused as, when it is one a
// parallel cannot be made of; empty when it can be.
std::string ParallelRefused(const Drawing& d, std::int32_t entry);

// Adds the parallel of entry `entry` on the side of `side` (a point of the
// plan), `distance` away from it (> 0), or without a distance through
// `side`, as one undo step right after the object, and parses the drawing
// again. Lines stay lines, arcs arcs, circles circles (concentric);
// ellipses and splines (in their own plane) become polylines of arcs
// within 1/1000 of the distance of the true parallel; a polyline's parallel is one whole (corners joined, arcs
// that shrink away dropped, where it would cross itself cut), several
// polylines where a contour pinches apart, without widths. R12 drawings
// get POLYLINEs with their vertices, newer ones LWPOLYLINEs. What is made
// takes the layer, colour, line type, line weight and line-type scale of
// the object.
ParallelResult AddParallel(DocumentContext& c, std::int32_t entry, Point2 side, std::optional<double> distance);

// The same parallel, as world points of the outlines that show it (its arcs
// in short chords), for the ghost while the side is chosen; none when
// there is none.
std::vector<std::vector<Point3>> ParallelOutlines(const Drawing& d, std::int32_t entry, Point2 side,
                                                  std::optional<double> distance);

}  // namespace vestrel
