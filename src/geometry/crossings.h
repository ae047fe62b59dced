// Where two pieces of paths meet: on the pieces, or on their extensions
// (a segment's whole line, an arc's whole circle or ellipse) for extend,
// fillet and the sharp corner.
#pragma once

#include <vector>

#include "geometry/path.h"

namespace vestrel {

// A point where two pieces meet: s on the first, t on the second.
struct Crossing {
  double s = 0, t = 0;
  Point2 at;
};

// Where p and q meet. With `wholeP` p counts as its whole line, circle or
// ellipse, and s may lie outside [0, 1] (on a circle or ellipse, as near
// to [0, 1] as the turn allows); likewise `wholeQ` for q and t. Within
// 1e-9 of an end counts as on the piece, and is moved onto it. Lines
// closer to parallel than 1e-12 radians do not meet; touching within 1e-9
// of the sizes is one point. Among ellipses (other than against a line)
// the points are found by a sign change, so a touching point is missed.
std::vector<Crossing> Crossings(const Piece& p, const Piece& q, bool wholeP = false, bool wholeQ = false);

// The parameter of a point of the piece's whole line, circle or ellipse,
// as near to [0, 1] as its turn allows.
double ParameterOnWhole(const Piece& piece, Point2 p);

// The parameter span of one full turn of a piece's circle or ellipse; 0
// for a straight piece.
double TurnSpan(const Piece& piece);

}  // namespace vestrel
