// Trim and extend: one clicked object cut back to the edges that cross it,
// or one of its ends carried on to the next boundary. The object keeps its
// handle, its properties and its plane; what a trim leaves in two parts
// gets a second object, with a new handle and the same properties, where
// new objects of the tab go. Each is one undo step and a parse of the drawing; telling the
// user and painting is the caller's.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "file/context.h"
#include "geometry/path.h"
#include "geometry/spline.h"

namespace vestrel {

struct CutResult {
  enum class Status {
    Done,
    NotThisKind,       // the object is of a kind the tool cannot take: `kind`
    NoCut,             // no edge crosses it beside the click (trim)
    NoBoundary,        // no boundary lies ahead of the end (extend)
    InvalidValue,      // a number of the object is no finite number, or it has no length
    NoInsertionPoint,  // the second part would have no place
    NoHandleLeft,      // it would need a handle and none is left
  };
  Status status = Status::Done;
  std::string kind;  // the DXF name of the kind refused ("SPLINE", "POLYLINE (3D)")
  std::int32_t second = -1;  // the first line of the second part a trim left, -1 for none
};

// The curve of entry `entry` in the plan (world x and y) as the tools cut
// it: lines, arcs, circles, ellipses and elliptic arcs, LWPOLYLINE and 2-D
// POLYLINE, and a spline's curve flattened. None for any other kind,
// `kind` then naming it.
std::optional<Path> CuttablePath(const Drawing& d, std::int32_t entry, std::string& kind);

// Trims entry `entry` where the user clicked it (`picked`, in the plan):
// the part between the crossings of `edges` (and of the splines' `curves`)
// either side of the click goes. Circles become arcs, full ellipses
// elliptic arcs, closed polylines open; a spline leaves splines that
// trace exactly what stays of its curve, a closed one an open one.
CutResult TrimObject(DocumentContext& c, std::int32_t entry, const std::vector<Piece>& edges, Point2 picked,
                     const std::vector<Spline>& curves = {});

// Carries the end of entry `entry` nearer to `picked` on to the first of
// `boundaries` (or `curves`) ahead of it: lines, arcs, elliptic arcs, open
// polylines, and open splines along the polynomial of their end span.
CutResult ExtendObject(DocumentContext& c, std::int32_t entry, const std::vector<Piece>& boundaries, Point2 picked,
                       const std::vector<Spline>& curves = {});

}  // namespace vestrel
