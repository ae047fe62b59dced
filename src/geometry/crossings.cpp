#include "geometry/crossings.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

namespace {

constexpr double kOnEnd = 1e-9;

double Cross(Point2 a, Point2 b) { return a.x * b.y - a.y * b.x; }

enum class Shape { Line, Circle, Ellipse };

// What a piece runs on when taken whole.
Shape ShapeOf(const Piece& piece) {
  if (CircleOf(piece)) return Shape::Circle;
  return piece.elliptic ? Shape::Ellipse : Shape::Line;
}

// Frame of an ellipse: the point in the coordinates where it is the unit
// circle. False when its axes do not span the plane.
bool ToUnit(const Conic& k, Point2 p, Point2& out) {
  const double det = Cross(k.u, k.v);
  if (!(std::abs(det) > 0) || !std::isfinite(det)) return false;
  const Point2 d{p.x - k.c.x, p.y - k.c.y};
  out = {Cross(d, k.v) / det, Cross(k.u, d) / det};
  return true;
}

// Back from the ellipse's frame into the drawing.
Point2 FromUnit(const Conic& k, Point2 p) {
  return {k.c.x + k.u.x * p.x + k.v.x * p.y, k.c.y + k.u.y * p.x + k.v.y * p.y};
}

// The points where the whole shapes of p and q meet.
std::vector<Point2> Meet(const Piece& p, const Piece& q) {
  std::vector<Point2> out;
  Shape sp = ShapeOf(p), sq = ShapeOf(q);
  if (sp > sq) return Meet(q, p);
  Point2 two[2];
  if (sp == Shape::Line && sq == Shape::Line) {
    const Point2 u{p.b.x - p.a.x, p.b.y - p.a.y}, v{q.b.x - q.a.x, q.b.y - q.a.y};
    const double det = Cross(u, v);
    if (!(std::abs(det) > 1e-12 * std::hypot(u.x, u.y) * std::hypot(v.x, v.y))) return out;
    const double s = Cross({q.a.x - p.a.x, q.a.y - p.a.y}, v) / det;
    out.push_back({p.a.x + u.x * s, p.a.y + u.y * s});
  } else if (sp == Shape::Line && sq == Shape::Circle) {
    const ArcShape c = *CircleOf(q);
    const int n = LineCircle(p.a, p.b, c.c, c.r, two);
    out.assign(two, two + n);
  } else if (sp == Shape::Circle && sq == Shape::Circle) {
    const ArcShape c1 = *CircleOf(p), c2 = *CircleOf(q);
    const int n = CircleCircle(c1.c, c1.r, c2.c, c2.r, two);
    out.assign(two, two + n);
  } else if (sp == Shape::Line) {
    // Against the ellipse's unit circle.
    Point2 a, b;
    if (!ToUnit(q.conic, p.a, a) || !ToUnit(q.conic, p.b, b)) return out;
    const int n = LineCircle(a, b, {0, 0}, 1, two);
    for (int i = 0; i < n; ++i) out.push_back(FromUnit(q.conic, two[i]));
  } else {
    // A circle or ellipse p against the ellipse q: where the points of q's
    // whole turn cross p's implicit curve.
    Conic whole = q.conic;
    whole.t0 = 0, whole.t1 = 2 * kPi, whole.full = true;
    std::function<double(double)> side;
    if (sp == Shape::Circle) {
      side = [&whole, c = *CircleOf(p)](double t) {
        const Point2 x = whole.at(t);
        return std::hypot(x.x - c.c.x, x.y - c.c.y) - c.r;
      };
    } else {
      side = [&](double t) {
        Point2 x;
        if (!ToUnit(p.conic, whole.at(t), x)) return 1.0;
        return std::hypot(x.x, x.y) - 1;
      };
    }
    for (const double t : SignChanges(whole, side)) out.push_back(whole.at(t));
  }
  return out;
}

}  // namespace

double TurnSpan(const Piece& piece) {
  if (const auto arc = CircleOf(piece)) return 2 * kPi / std::abs(arc->sweep);
  if (piece.elliptic) return 2 * kPi / std::abs(piece.conic.t1 - piece.conic.t0);
  return 0;
}

double ParameterOnWhole(const Piece& piece, Point2 p) {
  double s;
  if (const auto arc = CircleOf(piece)) {
    s = (std::atan2(p.y - arc->c.y, p.x - arc->c.x) - arc->start) / arc->sweep;
  } else if (piece.elliptic) {
    Point2 x;
    if (!ToUnit(piece.conic, p, x)) return 0;
    s = (std::atan2(x.y, x.x) - piece.conic.t0) / (piece.conic.t1 - piece.conic.t0);
  } else {
    return SegmentParameter(p, piece.a, piece.b);
  }
  // Into [0, span), then the nearer way round to [0, 1].
  const double span = TurnSpan(piece);
  if (!std::isfinite(s) || !(span > 0)) return 0;
  s = std::fmod(s, span);
  if (s < 0) s += span;
  if (s > 1 && s - 1 > span - s) s -= span;
  return s;
}

std::vector<Crossing> Crossings(const Piece& p, const Piece& q, bool wholeP, bool wholeQ) {
  std::vector<Crossing> out;
  if (!IsFinite(p) || !IsFinite(q)) return out;
  // Keeps a parameter on its piece, an end within kOnEnd moved onto it.
  auto fit = [](double& s, bool whole) {
    if (whole) return true;
    if (s < -kOnEnd || s > 1 + kOnEnd) return false;
    s = std::clamp(s, 0.0, 1.0);
    return true;
  };
  for (const Point2 x : Meet(p, q)) {
    Crossing c{ParameterOnWhole(p, x), ParameterOnWhole(q, x), x};
    // A full circle meets its start at 0 and again at 1.
    if (fit(c.s, wholeP) && fit(c.t, wholeQ)) out.push_back(c);
  }
  std::sort(out.begin(), out.end(), [](const Crossing& a, const Crossing& b) { return a.s < b.s; });
  return out;
}

}  // namespace vestrel
