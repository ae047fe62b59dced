// Paths: what the construction tools cut, extend, offset, round and join.
// A path is a chain of pieces (straight segments, circular arcs given as
// a bulge over their chord, elliptic arcs and circles), walked by one
// parameter: piece i covers [i, i + 1].
#pragma once

#include <optional>
#include <vector>

#include "geometry/curves.h"
#include "geometry/point.h"

namespace vestrel {

// Why a construction could not be made. The tools turn each into their
// message and leave the drawing as it was.
enum class GeometryFault {
  None,
  NotFinite,         // a coordinate, distance or tolerance is NaN or infinite
  ZeroLength,        // the object, or what would be left of it, has no length
  NoCut,             // no cutting edge crosses the object beside the picked point
  NoBoundary,        // no boundary lies ahead of the extended end
  FullTurn,          // an arc would have to turn a whole circle or more
  Parallel,          // the two lines never meet
  NoCorner,          // the two curves neither meet nor can be rounded into each other
  RadiusTooLarge,    // the fillet would need more of an object than there is
  DistanceTooLarge,  // a chamfer distance is longer than what it cuts into
  Tangent,           // the two already meet tangentially: nothing to round
  NotStraight,       // a chamfer at a polyline vertex needs two straight segments
  Elliptic,          // an elliptic piece where only lines and circular arcs will do
  Vanished,          // the offset leaves nothing (an arc or contour shrinks away)
  ClosedPath,        // an operation on an end was asked of a closed path
};

// A result, or the reason there is none.
template <class T>
struct Outcome {
  T value{};
  GeometryFault fault = GeometryFault::None;
  bool ok() const { return fault == GeometryFault::None; }
};

template <class T>
Outcome<T> Refused(GeometryFault fault) {
  return {T{}, fault};
}

// A straight segment or a circular arc from a to b (`bulge` as in
// polylines: the tangent of a quarter of the included angle, positive
// turning counter-clockwise), or, when `elliptic`, the arc `conic` (a and
// b are then its ends). Its parameter s runs from 0 at a to 1 at b: evenly
// by length on segments and circular arcs, evenly by the conic's angle on
// an elliptic one; values beyond [0, 1] lie on its extension.
struct Piece {
  Point2 a, b;
  double bulge = 0;
  bool elliptic = false;
  Conic conic;
};

Piece SegmentPiece(Point2 a, Point2 b);
Piece BulgePiece(Point2 a, Point2 b, double bulge);
// The arc or, when k.full, the whole ellipse or circle.
Piece ConicPiece(const Conic& k);

// The circle of a circular arc: centre, radius, the polar angle of its
// start and its sweep (signed, positive counter-clockwise).
struct ArcShape {
  Point2 c;
  double r = 0, start = 0, sweep = 0;
};

// The circle a piece runs on: a bulge arc's, or a circular conic's; none
// for segments (and bulges too small to leave their chord) and for true
// ellipses.
std::optional<ArcShape> CircleOf(const Piece& piece);

bool IsFinite(const Piece& piece);
double Length(const Piece& piece);
Point2 PointAt(const Piece& piece, double s);
// The unit direction of travel at s; (0, 0) on a piece of no length.
Point2 DirectionAt(const Piece& piece, double s);
// The s in [0, 1] of the point of the piece nearest to p.
double NearestParameter(const Piece& piece, Point2 p);
// The part from s0 to s1 (backwards when s1 < s0; either may lie on the
// extension).
Piece SubPiece(const Piece& piece, double s0, double s1);
Piece Reversed(const Piece& piece);

struct Path {
  std::vector<Piece> pieces;
  bool closed = false;  // the last piece ends where the first begins
};

// The path of a polyline's vertices (each with the bulge of the segment
// that starts at it); a closed one gets its closing segment.
Path PathOf(const std::vector<PolyVertex>& vertices, bool closed);
// The vertices of a path of segments and circular arcs (the closing one
// left out of a closed path); none when it has an elliptic piece.
std::optional<std::vector<PolyVertex>> VerticesOf(const Path& path);

bool IsFinite(const Path& path);
double Length(const Path& path);
// The point and direction at path parameter u in [0, n].
Point2 PointAt(const Path& path, double u);
Point2 DirectionAt(const Path& path, double u);
// The length from the start to u, and the parameter at a length from the
// start (clamped to the path).
double LengthAt(const Path& path, double u);
double ParameterAt(const Path& path, double length);
// The parameter of the point of the path nearest to p.
double NearestParameter(const Path& path, Point2 p);
// The part from u0 to u1 (u0 <= u1); on a closed path u1 may run on past
// the end, up to u0 + n, round through the start.
Path Slice(const Path& path, double u0, double u1);
Path Reversed(const Path& path);
// The area a closed path encloses, positive when it runs counter-clockwise.
double SignedArea(const Path& path);
// How many times a closed path runs round p, counter-clockwise counted
// positive (0 for a point outside); for a point on the path, either.
int WindingNumber(const Path& path, Point2 p);

}  // namespace vestrel
