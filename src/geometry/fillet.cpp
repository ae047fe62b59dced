#include "geometry/fillet.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "geometry/crossings.h"

namespace vestrel {

namespace {

double Cross(Point2 a, Point2 b) { return a.x * b.y - a.y * b.x; }
Point2 Sub(Point2 a, Point2 b) { return {a.x - b.x, a.y - b.y}; }
double Distance(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Where the picks are: the parameter the kept part runs from (its far
// end lies on this side of the corner), and a point of it off the corner
// for telling sides.
struct Pick {
  double s;
  Point2 at;
};

// Which side of the whole line or circle of `piece` x lies on: the sign of
// the cross product, or of the distance from the circle.
double Side(const Piece& piece, Point2 x) {
  if (const auto arc = CircleOf(piece)) return Distance(x, arc->c) - arc->r;
  return Cross(Sub(piece.b, piece.a), Sub(x, piece.a));
}

// The foot of c on the whole line or circle of `piece`.
bool Foot(const Piece& piece, Point2 c, Point2& foot) {
  if (const auto arc = CircleOf(piece)) {
    const double l = Distance(c, arc->c);
    if (!(l > 0)) return false;
    foot = {arc->c.x + (c.x - arc->c.x) * arc->r / l, arc->c.y + (c.y - arc->c.y) * arc->r / l};
    return true;
  }
  const double s = SegmentParameter(c, piece.a, piece.b);
  foot = {piece.a.x + (piece.b.x - piece.a.x) * s, piece.a.y + (piece.b.y - piece.a.y) * s};
  return true;
}

// The part of `piece` from its far end to parameter `s` of its whole,
// ending there: from its start when `forward`, else from its end. None
// when that leaves it no length or runs it round a whole turn.
std::optional<Piece> KeptTo(const Piece& piece, bool forward, double s) {
  constexpr double kSome = 1e-12;
  const double span = TurnSpan(piece);
  if (forward) {
    if (!(s > kSome) || (span > 0 && s >= span)) return std::nullopt;
    return SubPiece(piece, 0, s);
  }
  if (!(s < 1 - kSome) || (span > 0 && s <= 1 - span)) return std::nullopt;
  return SubPiece(piece, 1, s);
}

// The kept parts of p and q with the corner at their points x and y, the
// picked side of each telling which part: the one running from the
// picked parameter towards the corner.
std::optional<Corner> Kept(const Piece& p, const Pick& pp, Point2 x, const Piece& q, const Pick& pq, Point2 y,
                           std::optional<Point2> crossing = std::nullopt) {
  const double sx = ParameterOnWhole(p, x), sy = ParameterOnWhole(q, y);
  // The side is told against the crossing where there is one, so that a
  // pick inside the part cut away still counts.
  const double cp = crossing ? ParameterOnWhole(p, *crossing) : sx;
  const double cq = crossing ? ParameterOnWhole(q, *crossing) : sy;
  const auto first = KeptTo(p, pp.s < cp, sx);
  const auto second = KeptTo(q, pq.s < cq, sy);
  if (!first || !second) return std::nullopt;
  Corner corner;
  corner.first = *first, corner.second = Reversed(*second);
  corner.first.b = x, corner.second.a = y;
  return corner;
}

// The piece's whole line moved `d` to its left, or its circle grown by d.
Piece Moved(const Piece& piece, double d) {
  if (const auto arc = CircleOf(piece)) {
    const double r = arc->r + d;
    return ConicPiece({arc->c, {r, 0}, {0, r}});
  }
  const Point2 dir = DirectionAt(piece, 0), n{-dir.y * d, dir.x * d};
  return SegmentPiece({piece.a.x + n.x, piece.a.y + n.y}, {piece.b.x + n.x, piece.b.y + n.y});
}

bool Straight(const Piece& piece) { return !piece.elliptic && !CircleOf(piece); }

Point2 Scaled(Point2 v, double k) { return {v.x * k, v.y * k}; }

// Which side of the whole line or circle of `piece` a way from its point x
// in direction d goes to, signed as Side.
double SideToward(const Piece& piece, Point2 x, Point2 d) {
  if (const auto arc = CircleOf(piece)) return d.x * (x.x - arc->c.x) + d.y * (x.y - arc->c.y);
  return Cross(Sub(piece.b, piece.a), d);
}

// The crossing a corner is made at: of those on both pieces the nearest
// to the picks, else the nearest of all; none where they do not meet.
std::optional<Crossing> CornerCrossing(const std::vector<Crossing>& meet, const Pick& pp, const Pick& pq) {
  constexpr double kOn = 1e-9;
  auto on = [](const Crossing& x) { return x.s >= -kOn && x.s <= 1 + kOn && x.t >= -kOn && x.t <= 1 + kOn; };
  std::optional<Crossing> best;
  double bestScore = INFINITY;
  for (const bool both : {true, false}) {
    for (const Crossing& x : meet) {
      const double score = Distance(x.at, pp.at) + Distance(x.at, pq.at);
      if ((!both || on(x)) && score < bestScore) best = x, bestScore = score;
    }
    if (best) break;
  }
  return best;
}

// The fillet (or sharp corner) of two pieces, the picks told as Picks.
Outcome<Corner> Round(const Piece& p, const Pick& pp, const Piece& q, const Pick& pq, double radius) {
  if (!IsFinite(p) || !IsFinite(q) || !std::isfinite(radius) || !std::isfinite(pp.at.x + pp.at.y + pq.at.x + pq.at.y))
    return Refused<Corner>(GeometryFault::NotFinite);
  if ((p.elliptic && !CircleOf(p)) || (q.elliptic && !CircleOf(q))) return Refused<Corner>(GeometryFault::Elliptic);
  if (!(Length(p) > 0) || !(Length(q) > 0)) return Refused<Corner>(GeometryFault::ZeroLength);
  radius = std::abs(radius);
  const std::vector<Crossing> meet = Crossings(p, q, true, true);
  const bool lines = Straight(p) && Straight(q);
  if (lines && meet.empty()) return Refused<Corner>(GeometryFault::Parallel);
  if (meet.size() == 1 && !lines) return Refused<Corner>(GeometryFault::Tangent);
  if (radius == 0) {
    if (meet.empty()) return Refused<Corner>(GeometryFault::NoCorner);
    const Crossing& x = *std::min_element(meet.begin(), meet.end(), [&](const Crossing& a, const Crossing& b) {
      return Distance(a.at, pp.at) + Distance(a.at, pq.at) < Distance(b.at, pp.at) + Distance(b.at, pq.at);
    });
    const auto corner = Kept(p, pp, x.at, q, pq, x.at, x.at);
    if (!corner) return Refused<Corner>(GeometryFault::RadiusTooLarge);
    Corner c = *corner;
    c.join = SegmentPiece(x.at, x.at);
    c.centre = x.at;
    return {c};
  }
  // The centre lies `radius` from both, on the sides the picks show. Where
  // the two cross, that is the wedge between the picked parts at the
  // crossing they make the corner at (one on both objects rather than on
  // their extensions, the nearest to the picks), and the arc comes as near
  // to that crossing as it can: a line through a circle crosses it twice,
  // and the pick on the line may lie outside the circle while the part of
  // it that meets the arc runs inside. Elsewhere it is on q's side of p
  // where q was picked, and on p's side of q where p was.
  const std::optional<Crossing> at = CornerCrossing(meet, pp, pq);
  double wantP = Side(p, pq.at), wantQ = Side(q, pp.at);
  if (at) {
    const Point2 towardP = Scaled(DirectionAt(p, at->s), pp.s < at->s ? -1 : 1);
    const Point2 towardQ = Scaled(DirectionAt(q, at->t), pq.s < at->t ? -1 : 1);
    wantP = SideToward(p, at->at, towardQ), wantQ = SideToward(q, at->at, towardP);
  }
  std::optional<Corner> best;
  double bestScore = INFINITY;
  for (const double dp : {radius, -radius})
    for (const double dq : {radius, -radius}) {
      const Piece mp = Moved(p, dp), mq = Moved(q, dq);
      if (!(Length(mp) > 0) || !(Length(mq) > 0)) continue;
      for (const Crossing& x : Crossings(mp, mq, true, true)) {
        const Point2 c = x.at;
        if ((Side(p, c) > 0) != (wantP > 0) || (Side(q, c) > 0) != (wantQ > 0)) continue;
        Point2 tp, tq;
        if (!Foot(p, c, tp) || !Foot(q, c, tq)) continue;
        const double score =
            at ? Distance(tp, at->at) + Distance(tq, at->at) : Distance(tp, pp.at) + Distance(tq, pq.at);
        if (score >= bestScore) continue;
        auto corner = Kept(p, pp, tp, q, pq, tq, at ? std::optional(at->at) : std::nullopt);
        if (!corner) continue;
        // The arc leaves the first part the way it arrives, and turns
        // round the centre to the second.
        const Point2 arrive = DirectionAt(corner->first, 1);
        const double turn = Cross(Sub(tp, c), arrive) > 0 ? 1 : -1;
        double sweep = std::atan2(tq.y - c.y, tq.x - c.x) - std::atan2(tp.y - c.y, tp.x - c.x);
        sweep *= turn;
        while (sweep < 0) sweep += 2 * kPi;
        while (sweep >= 2 * kPi) sweep -= 2 * kPi;
        corner->join = BulgePiece(tp, tq, std::tan(turn * sweep / 4));
        corner->centre = c;
        corner->radius = radius;
        best = corner;
        bestScore = score;
      }
    }
  if (!best) return Refused<Corner>(meet.empty() ? GeometryFault::NoCorner : GeometryFault::RadiusTooLarge);
  return {*best};
}

Pick PickOn(const Piece& piece, Point2 at) { return {ParameterOnWhole(piece, at), at}; }

// The segments before and after a polyline vertex, and the path they lie in.
struct VertexPieces {
  Path path;
  std::size_t before = 0, after = 0;
};

std::optional<VertexPieces> AtVertex(const std::vector<PolyVertex>& vertices, bool closed, std::size_t vertex) {
  VertexPieces v{PathOf(vertices, closed)};
  const std::size_t m = v.path.pieces.size();
  if (m < 2 || vertex >= vertices.size()) return std::nullopt;
  if (!closed && (vertex == 0 || vertex + 1 >= vertices.size())) return std::nullopt;
  v.before = (vertex + m - 1) % m, v.after = vertex % m;
  return v;
}

// The polyline with the corner's pieces in place of the two at the vertex.
Outcome<std::vector<PolyVertex>> WithCorner(VertexPieces v, const Corner& corner) {
  std::vector<Piece>& pieces = v.path.pieces;
  const Point2 start = pieces[v.before].a, end = pieces[v.after].b;
  pieces[v.before] = corner.first, pieces[v.before].a = start;
  pieces[v.after] = corner.second, pieces[v.after].b = end;
  // (At the first vertex of a closed polyline the join closes it.)
  pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(v.after == 0 ? pieces.size() : v.after), corner.join);
  return {*VerticesOf(v.path)};
}

Outcome<std::vector<PolyVertex>> AtPolylineVertex(
    const std::vector<PolyVertex>& vertices, bool closed, std::size_t vertex,
    const std::function<Outcome<Corner>(const Piece&, const Pick&, const Piece&, const Pick&)>& make) {
  const auto v = AtVertex(vertices, closed, vertex);
  if (!v) return Refused<std::vector<PolyVertex>>(GeometryFault::NoCorner);
  const Piece& p = v->path.pieces[v->before];
  const Piece& q = v->path.pieces[v->after];
  // Kept from the far ends; the sides shown by points a little off the
  // vertex.
  const Outcome<Corner> corner = make(p, {0, PointAt(p, 0.001)}, q, {1, PointAt(q, 0.999)});
  if (!corner.ok()) return Refused<std::vector<PolyVertex>>(corner.fault);
  return WithCorner(*v, corner.value);
}

}  // namespace

Outcome<Corner> Fillet(const Piece& p, Point2 pickP, const Piece& q, Point2 pickQ, double radius) {
  return Round(p, PickOn(p, pickP), q, PickOn(q, pickQ), radius);
}

namespace {

// The chamfer of two straight pieces, the picks told as Picks.
Outcome<Corner> Bevel(const Piece& p, const Pick& pp, const Piece& q, const Pick& pq, double d1, double d2) {
  if (!IsFinite(p) || !IsFinite(q) || !std::isfinite(d1) || !std::isfinite(d2))
    return Refused<Corner>(GeometryFault::NotFinite);
  if (!Straight(p) || !Straight(q)) return Refused<Corner>(GeometryFault::NotStraight);
  if (!(Length(p) > 0) || !(Length(q) > 0)) return Refused<Corner>(GeometryFault::ZeroLength);
  const std::vector<Crossing> meet = Crossings(p, q, true, true);
  if (meet.empty()) return Refused<Corner>(GeometryFault::Parallel);
  const Crossing& x = meet.front();
  // Back from the crossing towards the kept side of each.
  const double sp = x.s + (pp.s < x.s ? -1 : 1) * std::abs(d1) / Length(p);
  const double sq = x.t + (pq.s < x.t ? -1 : 1) * std::abs(d2) / Length(q);
  // (A cut back past the far end leaves nothing of that object.)
  const auto corner = Kept(p, pp, PointAt(p, sp), q, pq, PointAt(q, sq), x.at);
  if (!corner) return Refused<Corner>(GeometryFault::DistanceTooLarge);
  Corner c = *corner;
  c.join = SegmentPiece(c.first.b, c.second.a);
  c.centre = x.at;
  return {c};
}

}  // namespace

Outcome<Corner> Chamfer(const Piece& p, Point2 pickP, const Piece& q, Point2 pickQ, double d1, double d2) {
  return Bevel(p, PickOn(p, pickP), q, PickOn(q, pickQ), d1, d2);
}

Outcome<std::vector<PolyVertex>> FilletVertex(const std::vector<PolyVertex>& vertices, bool closed, std::size_t vertex,
                                              double radius) {
  if (radius == 0)
    return AtVertex(vertices, closed, vertex) ? Outcome<std::vector<PolyVertex>>{vertices}
                                              : Refused<std::vector<PolyVertex>>(GeometryFault::NoCorner);
  return AtPolylineVertex(
      vertices, closed, vertex,
      [&](const Piece& p, const Pick& pp, const Piece& q, const Pick& pq) { return Round(p, pp, q, pq, radius); });
}

Outcome<std::vector<PolyVertex>> ChamferVertex(const std::vector<PolyVertex>& vertices, bool closed, std::size_t vertex,
                                               double d1, double d2) {
  return AtPolylineVertex(
      vertices, closed, vertex,
      [&](const Piece& p, const Pick& pp, const Piece& q, const Pick& pq) { return Bevel(p, pp, q, pq, d1, d2); });
}

namespace {

// `make` at every corner of the polyline in turn.
AllCorners EveryVertex(
    const std::vector<PolyVertex>& vertices, bool closed,
    const std::function<Outcome<std::vector<PolyVertex>>(const std::vector<PolyVertex>&, std::size_t)>& make) {
  AllCorners all{vertices};
  const std::size_t n = vertices.size();
  // The vertex being worked on, in the list as it grows: each corner made
  // puts two vertices where one was (at the first vertex of a closed
  // polyline the second goes to the end).
  std::size_t at = closed ? 0 : 1;
  for (std::size_t k = closed ? 0 : 1; k + (closed ? 0 : 1) < n; ++k) {
    const auto r = make(all.vertices, at);
    if (r.ok() && r.value.size() > all.vertices.size()) {
      all.vertices = r.value;
      ++all.made;
      at += k == 0 ? 1 : 2;
    } else {
      ++all.left;
      ++at;
    }
  }
  return all;
}

}  // namespace

AllCorners FilletAllVertices(const std::vector<PolyVertex>& vertices, bool closed, double radius) {
  return EveryVertex(vertices, closed, [&](const std::vector<PolyVertex>& v, std::size_t k) {
    return FilletVertex(v, closed, k, radius);
  });
}

AllCorners ChamferAllVertices(const std::vector<PolyVertex>& vertices, bool closed, double d1, double d2) {
  return EveryVertex(vertices, closed, [&](const std::vector<PolyVertex>& v, std::size_t k) {
    return ChamferVertex(v, closed, k, d1, d2);
  });
}

}  // namespace vestrel
