// Rounding and bevelling corners: the fillet arc between two lines or
// circular arcs (or at a polyline vertex), the sharp corner, and the
// chamfer with two distances.
#pragma once

#include <cstddef>
#include <vector>

#include "geometry/path.h"

namespace vestrel {

// What a fillet or chamfer makes: the picked part of the first object,
// run or cut to the corner; the joining piece (the fillet arc, the
// chamfer's segment, or, for a sharp corner, a piece of no length at the
// crossing); the picked part of the second object, from the corner on.
// So first, join, second run on as one path. For a fillet, `centre` and
// `radius` are the arc's.
struct Corner {
  Piece first, join, second;
  Point2 centre;
  double radius = 0;
};

// The fillet of `radius` between p and q (segments or circular arcs, taken
// with their extensions), keeping the parts on the side of the picked
// points; radius 0 is the sharp corner at their crossing nearest to the
// picks. The arc is tangent to both and lies in the corner the picks
// show. Parallel (two lines that never meet), NoCorner (no fillet of that
// radius fits, and they do not meet), RadiusTooLarge (the arc would need
// more of an object than there is, or does not fit the corner), Tangent
// (p and q touch already), Elliptic.
Outcome<Corner> Fillet(const Piece& p, Point2 pickP, const Piece& q, Point2 pickQ, double radius);

// The chamfer of two straight pieces: cut back `d1` along p and `d2` along
// q from their crossing, on the picked sides, and joined by a segment;
// both distances 0 is the sharp corner. Parallel, DistanceTooLarge (a cut
// reaches past the far end), NotStraight.
Outcome<Corner> Chamfer(const Piece& p, Point2 pickP, const Piece& q, Point2 pickQ, double d1, double d2);

// The polyline (vertices with bulges, as polylines keep them) with a
// fillet at `vertex`: between the segments that meet there, straight or
// arcs; radius 0 leaves it as it is. An open polyline has no corner at
// its first and last vertex (NoCorner).
Outcome<std::vector<PolyVertex>> FilletVertex(const std::vector<PolyVertex>& vertices, bool closed, std::size_t vertex,
                                              double radius);
// The same with a chamfer; the two segments must be straight.
Outcome<std::vector<PolyVertex>> ChamferVertex(const std::vector<PolyVertex>& vertices, bool closed, std::size_t vertex,
                                               double d1, double d2);

// A polyline with every corner it has rounded (or bevelled), one after
// the other along it, each cut into what the one before left; corners
// that cannot be made (straight on, tangent, too short) are counted and
// left as they are.
struct AllCorners {
  std::vector<PolyVertex> vertices;
  std::size_t made = 0, left = 0;
};
AllCorners FilletAllVertices(const std::vector<PolyVertex>& vertices, bool closed, double radius);
AllCorners ChamferAllVertices(const std::vector<PolyVertex>& vertices, bool closed, double d1, double d2);

}  // namespace vestrel
