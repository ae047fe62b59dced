#include "geometry/path.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

namespace {

double Cross(Point2 a, Point2 b) { return a.x * b.y - a.y * b.x; }
bool Finite(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The conic's parameter at s.
double ConicT(const Conic& k, double s) { return k.t0 + (k.t1 - k.t0) * s; }

// The conic's derivative by its parameter at t.
Point2 ConicDerivative(const Conic& k, double t) {
  return {-k.u.x * std::sin(t) + k.v.x * std::cos(t), -k.u.y * std::sin(t) + k.v.y * std::cos(t)};
}

// The length of an elliptic arc from t0 to t1: Gauss-Legendre with five
// points on 64 steps a turn, exact to the last digits for any ellipse a
// drawing holds.
double ConicLength(const Conic& k, double t0, double t1) {
  static const double x[5] = {0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640, 0.9061798459386640};
  static const double w[5] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665, 0.2369268850561891,
                              0.2369268850561891};
  const int steps = static_cast<int>(std::clamp(std::ceil(std::abs(t1 - t0) / (2 * kPi) * 64), 1.0, 640.0));
  const double h = (t1 - t0) / steps;
  double sum = 0;
  for (int i = 0; i < steps; ++i) {
    const double mid = t0 + h * (i + 0.5);
    for (int j = 0; j < 5; ++j) {
      const Point2 d = ConicDerivative(k, mid + h / 2 * x[j]);
      sum += w[j] * std::hypot(d.x, d.y);
    }
  }
  return std::abs(sum * h / 2);
}

}  // namespace

Piece SegmentPiece(Point2 a, Point2 b) { return BulgePiece(a, b, 0); }

Piece BulgePiece(Point2 a, Point2 b, double bulge) {
  Piece p;
  p.a = a, p.b = b, p.bulge = bulge;
  return p;
}

Piece ConicPiece(const Conic& k) {
  Piece p;
  p.elliptic = true;
  p.conic = k;
  if (k.full) p.conic.t1 = p.conic.t0 + 2 * kPi;
  p.a = k.at(p.conic.t0);
  p.b = k.at(p.conic.t1);
  return p;
}

std::optional<ArcShape> CircleOf(const Piece& piece) {
  if (piece.elliptic) {
    const Conic& k = piece.conic;
    if (!k.circular()) return std::nullopt;
    const double turn = Cross(k.u, k.v) > 0 ? 1 : -1;
    return ArcShape{k.c, k.radius(), std::atan2(k.u.y, k.u.x) + turn * k.t0, turn * (k.t1 - k.t0)};
  }
  if (piece.bulge == 0) return std::nullopt;
  const double dx = piece.b.x - piece.a.x, dy = piece.b.y - piece.a.y;
  const double chord = std::hypot(dx, dy);
  const double b = piece.bulge;
  // The centre lies on the chord's perpendicular bisector, (1 - b^2)/(4b)
  // chords to the left of it.
  const double off = (1 - b * b) / (4 * b);
  const Point2 c{(piece.a.x + piece.b.x) / 2 - dy * off, (piece.a.y + piece.b.y) / 2 + dx * off};
  const double r = chord * (1 + b * b) / (4 * std::abs(b));
  if (!(chord > 0) || !std::isfinite(r) || !Finite(c) || !(r > 0)) return std::nullopt;
  return ArcShape{c, r, std::atan2(piece.a.y - c.y, piece.a.x - c.x), 4 * std::atan(b)};
}

bool IsFinite(const Piece& piece) {
  if (!Finite(piece.a) || !Finite(piece.b) || !std::isfinite(piece.bulge)) return false;
  const Conic& k = piece.conic;
  return !piece.elliptic || (Finite(k.c) && Finite(k.u) && Finite(k.v) && std::isfinite(k.t0) && std::isfinite(k.t1));
}

double Length(const Piece& piece) {
  if (const auto arc = CircleOf(piece)) return arc->r * std::abs(arc->sweep);
  if (piece.elliptic) return ConicLength(piece.conic, piece.conic.t0, piece.conic.t1);
  return std::hypot(piece.b.x - piece.a.x, piece.b.y - piece.a.y);
}

Point2 PointAt(const Piece& piece, double s) {
  if (piece.elliptic) return piece.conic.at(ConicT(piece.conic, s));
  if (const auto arc = CircleOf(piece)) {
    const double angle = arc->start + arc->sweep * s;
    return {arc->c.x + arc->r * std::cos(angle), arc->c.y + arc->r * std::sin(angle)};
  }
  // The ends exactly at 0 and 1.
  if (s == 1) return piece.b;
  return {piece.a.x + (piece.b.x - piece.a.x) * s, piece.a.y + (piece.b.y - piece.a.y) * s};
}

Point2 DirectionAt(const Piece& piece, double s) {
  Point2 d;
  if (piece.elliptic) {
    d = ConicDerivative(piece.conic, ConicT(piece.conic, s));
    if (piece.conic.t1 < piece.conic.t0) d = {-d.x, -d.y};
  } else if (const auto arc = CircleOf(piece)) {
    const double angle = arc->start + arc->sweep * s, turn = arc->sweep > 0 ? 1 : -1;
    return {-std::sin(angle) * turn, std::cos(angle) * turn};
  } else {
    d = {piece.b.x - piece.a.x, piece.b.y - piece.a.y};
  }
  const double l = std::hypot(d.x, d.y);
  return l > 0 && std::isfinite(l) ? Point2{d.x / l, d.y / l} : Point2{};
}

double NearestParameter(const Piece& piece, Point2 p) {
  if (const auto arc = CircleOf(piece)) {
    // The angle from the start, the way the arc turns, in [0, 2 pi).
    double phi = (std::atan2(p.y - arc->c.y, p.x - arc->c.x) - arc->start) * (arc->sweep > 0 ? 1 : -1);
    phi = std::fmod(phi, 2 * kPi);
    if (phi < 0) phi += 2 * kPi;
    const double sweep = std::abs(arc->sweep);
    if (phi <= sweep) return phi / sweep;
    // Beyond the end: whichever end lies nearer round the circle.
    return phi - sweep < 2 * kPi - phi ? 1 : 0;
  }
  if (piece.elliptic) {
    const Conic& k = piece.conic;
    Conic forward = k;
    if (k.t1 < k.t0) forward.t0 = k.t1, forward.t1 = k.t0;
    const double t = forward.parameter(NearestOnConic(forward, p));
    const double s = (t - k.t0) / (k.t1 - k.t0);
    // A point of the arc past t1 only by a turn is its start, on a whole
    // ellipse.
    return std::isfinite(s) ? std::clamp(s, 0.0, 1.0) : 0;
  }
  return std::clamp(SegmentParameter(p, piece.a, piece.b), 0.0, 1.0);
}

Piece SubPiece(const Piece& piece, double s0, double s1) {
  if (piece.elliptic) {
    Conic k = piece.conic;
    const double t0 = ConicT(k, s0), t1 = ConicT(k, s1);
    k.full = false;
    if (t1 >= t0) {
      k.t0 = t0, k.t1 = t1;
    } else {
      // Backwards: mirror the parameter, c + u cos t - v sin t at -t.
      k.v = {-k.v.x, -k.v.y};
      k.t0 = -t0, k.t1 = -t1;
    }
    return ConicPiece(k);
  }
  const Point2 a = PointAt(piece, s0), b = PointAt(piece, s1);
  if (const auto arc = CircleOf(piece)) return BulgePiece(a, b, std::tan(arc->sweep * (s1 - s0) / 4));
  return SegmentPiece(a, b);
}

Piece Reversed(const Piece& piece) {
  if (piece.elliptic) return SubPiece(piece, 1, 0);
  return BulgePiece(piece.b, piece.a, -piece.bulge);
}

Path PathOf(const std::vector<PolyVertex>& vertices, bool closed) {
  Path path;
  const std::size_t n = vertices.size();
  for (std::size_t i = 0; i + 1 < n || (closed && i < n && n > 1); ++i) {
    const PolyVertex& p = vertices[i];
    const PolyVertex& q = vertices[(i + 1) % n];
    path.pieces.push_back(BulgePiece({p.x, p.y}, {q.x, q.y}, p.bulge));
  }
  path.closed = closed && n > 1;
  return path;
}

std::optional<std::vector<PolyVertex>> VerticesOf(const Path& path) {
  std::vector<PolyVertex> out;
  for (const Piece& piece : path.pieces) {
    if (piece.elliptic) {
      if (!CircleOf(piece)) return std::nullopt;
      // A circular conic as one or two bulge arcs (a bulge stands for
      // less than a whole turn).
      const Piece half1 = SubPiece(piece, 0, 0.5), half2 = SubPiece(piece, 0.5, 1);
      const auto a1 = CircleOf(half1), a2 = CircleOf(half2);
      if (!a1 || !a2) return std::nullopt;
      out.push_back({half1.a.x, half1.a.y, 0, std::tan(a1->sweep / 4)});
      out.push_back({half2.a.x, half2.a.y, 0, std::tan(a2->sweep / 4)});
      continue;
    }
    out.push_back({piece.a.x, piece.a.y, 0, piece.bulge});
  }
  if (!path.closed && !path.pieces.empty()) out.push_back({path.pieces.back().b.x, path.pieces.back().b.y, 0, 0});
  return out;
}

bool IsFinite(const Path& path) {
  return std::all_of(path.pieces.begin(), path.pieces.end(), [](const Piece& p) { return IsFinite(p); });
}

double Length(const Path& path) {
  double sum = 0;
  for (const Piece& piece : path.pieces) sum += Length(piece);
  return sum;
}

namespace {

// The piece of u and the parameter on it.
std::pair<std::size_t, double> Locate(const Path& path, double u) {
  const std::size_t n = path.pieces.size();
  if (!(u > 0)) return {0, std::isfinite(u) ? u : 0};
  if (u >= static_cast<double>(n)) return {n - 1, u - static_cast<double>(n - 1)};
  const auto i = static_cast<std::size_t>(u);
  return {i, u - static_cast<double>(i)};
}

}  // namespace

Point2 PointAt(const Path& path, double u) {
  if (path.pieces.empty()) return {};
  const auto [i, s] = Locate(path, u);
  return PointAt(path.pieces[i], s);
}

Point2 DirectionAt(const Path& path, double u) {
  if (path.pieces.empty()) return {};
  const auto [i, s] = Locate(path, u);
  return DirectionAt(path.pieces[i], s);
}

double LengthAt(const Path& path, double u) {
  if (path.pieces.empty()) return 0;
  const auto [i, s] = Locate(path, u);
  double sum = 0;
  for (std::size_t k = 0; k < i; ++k) sum += Length(path.pieces[k]);
  const Piece& piece = path.pieces[i];
  if (piece.elliptic && !CircleOf(piece))
    return sum + ConicLength(piece.conic, piece.conic.t0, ConicT(piece.conic, s)) * (s < 0 ? -1 : 1);
  return sum + Length(piece) * s;
}

double ParameterAt(const Path& path, double length) {
  double sum = 0;
  for (std::size_t i = 0; i < path.pieces.size(); ++i) {
    const Piece& piece = path.pieces[i];
    const double l = Length(piece);
    if (sum + l < length) {
      sum += l;
      continue;
    }
    const double want = std::max(0.0, length - sum);
    if (!(l > 0)) return static_cast<double>(i);
    if (!piece.elliptic || CircleOf(piece)) return static_cast<double>(i) + want / l;
    // Along an ellipse: halve the parameter down to the length.
    double lo = 0, hi = 1;
    for (int k = 0; k < 60; ++k) {
      const double mid = (lo + hi) / 2;
      (ConicLength(piece.conic, piece.conic.t0, ConicT(piece.conic, mid)) < want ? lo : hi) = mid;
    }
    return static_cast<double>(i) + (lo + hi) / 2;
  }
  return static_cast<double>(path.pieces.size());
}

double NearestParameter(const Path& path, Point2 p) {
  double best = 0, bestD = INFINITY;
  for (std::size_t i = 0; i < path.pieces.size(); ++i) {
    const double s = NearestParameter(path.pieces[i], p);
    const Point2 q = PointAt(path.pieces[i], s);
    const double d = std::hypot(q.x - p.x, q.y - p.y);
    if (d < bestD) bestD = d, best = static_cast<double>(i) + s;
  }
  return best;
}

Path Slice(const Path& path, double u0, double u1) {
  Path out;
  const auto n = static_cast<double>(path.pieces.size());
  if (path.pieces.empty() || !std::isfinite(u0) || !std::isfinite(u1)) return out;
  u0 = std::clamp(u0, 0.0, n);
  u1 = std::min(u1, path.closed ? u0 + n : n);
  if (!(u1 > u0)) return out;
  // Whole pieces from the one of u0 on, the first and last cut.
  const double first = std::floor(u0);
  for (double k = first; k < u1 && out.pieces.size() <= path.pieces.size() + 1; ++k) {
    const double wrapped = path.closed ? std::fmod(k, n) : k;
    if (wrapped < 0 || wrapped >= n) break;
    const Piece& piece = path.pieces[static_cast<std::size_t>(wrapped)];
    const double s0 = std::max(u0 - k, 0.0), s1 = std::min(u1 - k, 1.0);
    if (s1 <= s0) continue;
    out.pieces.push_back(s0 == 0 && s1 == 1 ? piece : SubPiece(piece, s0, s1));
  }
  return out;
}

Path Reversed(const Path& path) {
  Path out;
  out.closed = path.closed;
  for (auto it = path.pieces.rbegin(); it != path.pieces.rend(); ++it) out.pieces.push_back(Reversed(*it));
  return out;
}

double SignedArea(const Path& path) {
  // Green's formula piece by piece: the chord's share, plus the circular
  // segment between an arc and its chord, or, on a conic, the integral of
  // x dy - y dx in closed form.
  double twice = 0;
  for (const Piece& piece : path.pieces) {
    if (piece.elliptic) {
      const Conic& k = piece.conic;
      twice += Cross(k.u, k.v) * (k.t1 - k.t0) +
               Cross(k.c, {k.u.x * (std::cos(k.t1) - std::cos(k.t0)) + k.v.x * (std::sin(k.t1) - std::sin(k.t0)),
                           k.u.y * (std::cos(k.t1) - std::cos(k.t0)) + k.v.y * (std::sin(k.t1) - std::sin(k.t0))});
      continue;
    }
    twice += Cross(piece.a, piece.b);
    if (const auto arc = CircleOf(piece)) twice += arc->r * arc->r * (arc->sweep - std::sin(arc->sweep));
  }
  return twice / 2;
}

int WindingNumber(const Path& path, Point2 p) {
  // The angle each piece sweeps as seen from p: its chord's, and a whole
  // turn more, the way it turns, when p lies between the chord and the
  // arc. An elliptic piece is a circular arc in the frame of its axes
  // (which mirrors the turn where they do).
  double turns = 0;
  for (const Piece& piece : path.pieces) {
    Point2 a = piece.a, b = piece.b, q = p;
    std::optional<ArcShape> arc = CircleOf(piece);
    double mirrored = 1;
    if (piece.elliptic && !arc) {
      const Conic& k = piece.conic;
      const double det = Cross(k.u, k.v);
      if (!(std::abs(det) > 0)) continue;
      auto frame = [&](Point2 x) {
        const Point2 d{x.x - k.c.x, x.y - k.c.y};
        return Point2{Cross(d, k.v) / det, Cross(k.u, d) / det};
      };
      a = frame(a), b = frame(b), q = frame(p);
      arc = ArcShape{{0, 0}, 1, k.t0, k.t1 - k.t0};
      mirrored = det > 0 ? 1 : -1;
    }
    const Point2 pa{a.x - q.x, a.y - q.y}, pb{b.x - q.x, b.y - q.y};
    double swept = std::atan2(Cross(pa, pb), pa.x * pb.x + pa.y * pb.y);
    if (arc) {
      const double side = Cross({b.x - a.x, b.y - a.y}, {q.x - a.x, q.y - a.y});
      const bool inCircle = std::hypot(q.x - arc->c.x, q.y - arc->c.y) < arc->r;
      const bool full = std::abs(arc->sweep) >= 2 * kPi;
      if (inCircle && (full || (arc->sweep > 0 ? side < 0 : side > 0))) swept += arc->sweep > 0 ? 2 * kPi : -2 * kPi;
    }
    turns += swept * mirrored;
  }
  const double whole = std::round(turns / (2 * kPi));
  return std::abs(whole) < 1e6 ? static_cast<int>(whole) : 0;
}

}  // namespace vestrel
