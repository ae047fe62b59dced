#include "geometry/trim.h"

#include <algorithm>
#include <cmath>

#include "geometry/crossings.h"

namespace vestrel {

namespace {

// Parameters closer than this count as one (a crossing found on two
// pieces at their common vertex).
constexpr double kSame = 1e-9;

bool Usable(const Path& path) { return !path.pieces.empty() && IsFinite(path); }

double Count(const Path& path) { return static_cast<double>(path.pieces.size()); }

// The path with its end piece replaced by the same piece run to parameter s.
Path WithEndAt(const Path& path, double s) {
  Path out = path;
  out.pieces.back() = SubPiece(path.pieces.back(), 0, s);
  return out;
}

}  // namespace

std::vector<double> CutParameters(const Path& path, const std::vector<Piece>& edges, const std::vector<Spline>& curves) {
  std::vector<double> cuts;
  for (std::size_t i = 0; i < path.pieces.size(); ++i) {
    const Piece& piece = path.pieces[i];
    for (const Piece& edge : edges)
      for (const Crossing& c : Crossings(piece, edge)) cuts.push_back(static_cast<double>(i) + c.s);
    for (const Spline& curve : curves)
      for (const double v : SplineCrossings(curve, piece)) {
        const Point3 p = CurveAndDerivative(curve, v).at;
        cuts.push_back(static_cast<double>(i) + NearestParameter(piece, {p.x, p.y}));
      }
  }
  std::sort(cuts.begin(), cuts.end());
  // On a closed path its end is its start.
  if (path.closed)
    for (double& u : cuts)
      if (u >= Count(path) - kSame) u = 0;
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end(), [](double a, double b) { return b - a < kSame; }), cuts.end());
  return cuts;
}

Outcome<std::vector<Path>> Trim(const Path& path, std::vector<double> cuts, double picked) {
  using Result = std::vector<Path>;
  if (!Usable(path) || !std::isfinite(picked)) return Refused<Result>(GeometryFault::NotFinite);
  const double n = Count(path);
  std::erase_if(cuts, [&](double u) { return !std::isfinite(u) || u < 0 || u > n; });
  std::sort(cuts.begin(), cuts.end());
  picked = std::clamp(picked, 0.0, n);
  if (path.closed) {
    if (cuts.size() < 2) return Refused<Result>(GeometryFault::NoCut);
    // The first cut after the click and the last before it, round the
    // start where need be.
    auto after = std::upper_bound(cuts.begin(), cuts.end(), picked);
    const double upper = after == cuts.end() ? cuts.front() + n : *after;
    const double lower = after == cuts.begin() ? cuts.back() - n : *(after - 1);
    if (upper - lower >= n - kSame) return Refused<Result>(GeometryFault::NoCut);
    Path kept = Slice(path, upper >= n ? upper - n : upper, (upper >= n ? upper - n : upper) + n - (upper - lower));
    return {{kept}};
  }
  double lower = 0, upper = n;
  for (const double u : cuts) {
    if (u <= picked && u > kSame) lower = u;
    if (u > picked && u < n - kSame && upper == n) upper = u;
  }
  if (lower == 0 && upper == n) return Refused<Result>(GeometryFault::NoCut);
  Result kept;
  if (lower > 0) kept.push_back(Slice(path, 0, lower));
  if (upper < n) kept.push_back(Slice(path, upper, n));
  return {kept};
}

Outcome<Path> Extend(const Path& path, bool atEnd, const std::vector<Piece>& boundaries, const std::vector<Spline>& curves) {
  if (!Usable(path)) return Refused<Path>(GeometryFault::NotFinite);
  if (path.closed) return Refused<Path>(GeometryFault::ClosedPath);
  if (!atEnd) {
    Outcome<Path> r = Extend(Reversed(path), true, boundaries, curves);
    if (r.ok()) r.value = Reversed(r.value);
    return r;
  }
  const Piece& last = path.pieces.back();
  if (!(Length(last) > 0)) return Refused<Path>(GeometryFault::ZeroLength);
  // The nearest crossing beyond the end, within less than a turn of the
  // start on a circle or ellipse.
  const double span = TurnSpan(last);
  double best = INFINITY;
  auto ahead = [&](double s) {
    if (span > 0 && s < 1) s += span;
    if (s > 1 + kSame && s < best && (span == 0 || s < span - kSame)) best = s;
  };
  for (const Piece& boundary : boundaries)
    for (const Crossing& c : Crossings(last, boundary, true, false)) ahead(c.s);
  for (const Spline& curve : curves)
    for (const double v : SplineCrossings(curve, last, true)) {
      const Point3 p = CurveAndDerivative(curve, v).at;
      ahead(ParameterOnWhole(last, {p.x, p.y}));
    }
  if (!std::isfinite(best)) return Refused<Path>(GeometryFault::NoBoundary);
  return {WithEndAt(path, best)};
}

Outcome<std::vector<Path>> BreakAt(const Path& path, double u) {
  using Result = std::vector<Path>;
  if (!Usable(path) || !std::isfinite(u)) return Refused<Result>(GeometryFault::NotFinite);
  const double n = Count(path);
  u = std::clamp(u, 0.0, n);
  if (path.closed) return {{Slice(path, u == n ? 0 : u, (u == n ? 0 : u) + n)}};
  Result parts;
  for (Path part : {Slice(path, 0, u), Slice(path, u, n)})
    if (Length(part) > 0) parts.push_back(std::move(part));
  if (parts.empty()) return Refused<Result>(GeometryFault::ZeroLength);
  return {parts};
}

Outcome<std::vector<Path>> BreakBetween(const Path& path, double u0, double u1) {
  using Result = std::vector<Path>;
  if (!Usable(path) || !std::isfinite(u0) || !std::isfinite(u1)) return Refused<Result>(GeometryFault::NotFinite);
  const double n = Count(path);
  u0 = std::clamp(u0, 0.0, n), u1 = std::clamp(u1, 0.0, n);
  Result parts;
  if (path.closed) {
    if (u1 < u0) u1 += n;
    if (!(u1 - u0 > kSame) || u1 - u0 >= n - kSame) return Refused<Result>(GeometryFault::ZeroLength);
    const double from = u1 >= n ? u1 - n : u1;
    parts.push_back(Slice(path, from, from + n - (u1 - u0)));
  } else {
    if (u1 < u0) std::swap(u0, u1);
    for (Path part : {Slice(path, 0, u0), Slice(path, u1, n)})
      if (Length(part) > 0) parts.push_back(std::move(part));
  }
  if (parts.empty() || !(Length(parts.front()) > 0)) return Refused<Result>(GeometryFault::ZeroLength);
  return {parts};
}

Outcome<Path> Lengthen(const Path& path, bool atEnd, double delta) {
  if (!Usable(path) || !std::isfinite(delta)) return Refused<Path>(GeometryFault::NotFinite);
  if (path.closed) return Refused<Path>(GeometryFault::ClosedPath);
  if (!atEnd) {
    Outcome<Path> r = Lengthen(Reversed(path), true, delta);
    if (r.ok()) r.value = Reversed(r.value);
    return r;
  }
  const double total = Length(path);
  if (!(total + delta > 0)) return Refused<Path>(GeometryFault::ZeroLength);
  if (delta <= 0) return {Slice(path, 0, ParameterAt(path, total + delta))};
  const Piece& last = path.pieces.back();
  const double l = Length(last);
  if (!(l > 0)) return Refused<Path>(GeometryFault::ZeroLength);
  double s = 1 + delta / l;
  if (last.elliptic && !CircleOf(last)) {
    // Along the ellipse: step out a turn at most, then halve down to
    // the length.
    const double span = TurnSpan(last);
    auto lengthTo = [&](double x) { return Length(SubPiece(last, 0, x)); };
    if (!(lengthTo(span) > l + delta)) return Refused<Path>(GeometryFault::FullTurn);
    double lo = 1, hi = span;
    for (int k = 0; k < 60; ++k) {
      const double mid = (lo + hi) / 2;
      (lengthTo(mid) < l + delta ? lo : hi) = mid;
    }
    s = (lo + hi) / 2;
  } else if (CircleOf(last) && s >= TurnSpan(last)) {
    return Refused<Path>(GeometryFault::FullTurn);
  }
  return {WithEndAt(path, s)};
}

Outcome<Path> LengthenTo(const Path& path, bool atEnd, double total) {
  if (!std::isfinite(total)) return Refused<Path>(GeometryFault::NotFinite);
  if (!(total > 0)) return Refused<Path>(GeometryFault::ZeroLength);
  return Lengthen(path, atEnd, total - Length(path));
}

// --- Splines ------------------------------------------------------------------------

namespace {

// Parameters of a curve closer than this part of its range count as one.
double Same(const Spline& s) { return kSame * (SplineEnd(s) - SplineStart(s)); }

// The part of a closed curve from v0 forward to v1, round through its
// start when v1 comes before v0.
Spline Round(const Spline& s, double v0, double v1) {
  if (v0 < v1) return SubSpline(s, v0, v1);
  const Spline a = SubSpline(s, v0, SplineEnd(s)), b = SubSpline(s, SplineStart(s), v1);
  if (a.controls.empty()) return b;
  if (b.controls.empty()) return a;
  return JoinSplines(a, b);
}

// The parts of an open curve before v0 and after v1, those that have a
// length.
Outcome<std::vector<Spline>> Outside(const Spline& s, double v0, double v1) {
  std::vector<Spline> parts;
  const double same = Same(s);
  if (v0 > SplineStart(s) + same) parts.push_back(SubSpline(s, SplineStart(s), v0));
  if (v1 < SplineEnd(s) - same) parts.push_back(SubSpline(s, v1, SplineEnd(s)));
  if (parts.empty()) return Refused<std::vector<Spline>>(GeometryFault::ZeroLength);
  for (const Spline& p : parts)
    if (p.controls.empty()) return Refused<std::vector<Spline>>(GeometryFault::NotFinite);
  return {parts};
}

Outcome<std::vector<Spline>> One(Spline s) {
  if (s.controls.empty()) return Refused<std::vector<Spline>>(GeometryFault::NotFinite);
  return {{std::move(s)}};
}

// How far past its end (or before its start, `atEnd` false) a curve is
// carried on at first: until its end has gone `reach` away, or, with a
// length, that much longer. 0 when it cannot be carried on.
double Far(const Spline& s, bool atEnd, double reach, double length) {
  const double lo = SplineStart(s), hi = SplineEnd(s), end = atEnd ? hi : lo;
  const Point3 e = CurveAndDerivative(s, end).at;
  double step = hi - lo;
  for (int k = 0; k < 60; ++k, step *= 2) {
    const double v = atEnd ? hi + step : lo - step;
    const Spline longer = ExtendSpline(s, v);
    if (longer.controls.empty()) return 0;
    const Point3 p = CurveAndDerivative(s, v).at;
    if (length > 0 ? std::abs(SplineLength(longer, std::min(v, end), std::max(v, end))) >= length
                   : std::hypot(p.x - e.x, p.y - e.y) >= reach)
      return v;
  }
  return 0;
}

}  // namespace

std::vector<double> CutParameters(const Spline& s, bool closed, const std::vector<Piece>& edges,
                                  const std::vector<Spline>& curves) {
  std::vector<double> cuts;
  for (const Piece& edge : edges)
    for (const double v : SplineCrossings(s, edge)) cuts.push_back(v);
  for (const Spline& curve : curves)
    for (const auto& [v, w] : SplineCrossings(s, curve)) cuts.push_back(v);
  const double same = Same(s);
  if (closed)
    for (double& v : cuts)
      if (v >= SplineEnd(s) - same) v = SplineStart(s);
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end(), [&](double a, double b) { return b - a < same; }), cuts.end());
  return cuts;
}

Outcome<std::vector<Spline>> Trim(const Spline& s, bool closed, std::vector<double> cuts, double picked) {
  using Result = std::vector<Spline>;
  if (!Cuttable(s) || !std::isfinite(picked)) return Refused<Result>(GeometryFault::NotFinite);
  const double lo = SplineStart(s), hi = SplineEnd(s), same = Same(s);
  std::erase_if(cuts, [&](double v) { return !std::isfinite(v) || v < lo || v > hi; });
  std::sort(cuts.begin(), cuts.end());
  picked = std::clamp(picked, lo, hi);
  if (closed) {
    if (cuts.size() < 2) return Refused<Result>(GeometryFault::NoCut);
    const auto after = std::upper_bound(cuts.begin(), cuts.end(), picked);
    const double upper = after == cuts.end() ? cuts.front() : *after;
    const double lower = after == cuts.begin() ? cuts.back() : *(after - 1);
    if (std::abs(upper - lower) < same) return Refused<Result>(GeometryFault::NoCut);
    return One(Round(s, upper, lower));
  }
  double lower = lo, upper = hi;
  for (const double v : cuts) {
    if (v <= picked && v > lo + same) lower = v;
    if (v > picked && v < hi - same && upper == hi) upper = v;
  }
  if (lower == lo && upper == hi) return Refused<Result>(GeometryFault::NoCut);
  return Outside(s, lower, upper);
}

Outcome<std::vector<Spline>> BreakAt(const Spline& s, bool closed, double v) {
  if (!Cuttable(s) || !std::isfinite(v)) return Refused<std::vector<Spline>>(GeometryFault::NotFinite);
  v = std::clamp(v, SplineStart(s), SplineEnd(s));
  if (closed) return One(Round(s, v, v));
  return Outside(s, v, v);
}

Outcome<std::vector<Spline>> BreakBetween(const Spline& s, bool closed, double v0, double v1) {
  using Result = std::vector<Spline>;
  if (!Cuttable(s) || !std::isfinite(v0) || !std::isfinite(v1)) return Refused<Result>(GeometryFault::NotFinite);
  const double lo = SplineStart(s), hi = SplineEnd(s);
  v0 = std::clamp(v0, lo, hi), v1 = std::clamp(v1, lo, hi);
  if (closed) {
    // The same point, or the seam on both sides of it: nothing goes.
    const double gone = v1 >= v0 ? v1 - v0 : v1 - v0 + (hi - lo);
    if (gone < Same(s) || gone > hi - lo - Same(s)) return Refused<Result>(GeometryFault::ZeroLength);
    return One(Round(s, v1, v0));
  }
  if (v1 < v0) std::swap(v0, v1);
  return Outside(s, v0, v1);
}

Outcome<Spline> Extend(const Spline& s, bool atEnd, const std::vector<Piece>& boundaries,
                       const std::vector<Spline>& curves, double reach) {
  if (!Cuttable(s) || !std::isfinite(reach)) return Refused<Spline>(GeometryFault::NotFinite);
  const double far = Far(s, atEnd, reach, 0);
  if (far == 0) return Refused<Spline>(GeometryFault::NoBoundary);
  const Spline longer = ExtendSpline(s, far);
  const double end = atEnd ? SplineEnd(s) : SplineStart(s), same = Same(s);
  double best = far;
  bool found = false;
  auto ahead = [&](double v) {
    if (atEnd ? v > end + same && v <= best : v < end - same && v >= best) best = v, found = true;
  };
  for (const Piece& boundary : boundaries)
    for (const double v : SplineCrossings(longer, boundary)) ahead(v);
  for (const Spline& curve : curves)
    for (const auto& [v, w] : SplineCrossings(longer, curve)) ahead(v);
  if (!found) return Refused<Spline>(GeometryFault::NoBoundary);
  Spline out = ExtendSpline(s, best);
  if (out.controls.empty()) return Refused<Spline>(GeometryFault::NotFinite);
  return {out};
}

Outcome<Spline> Lengthen(const Spline& s, bool atEnd, double delta) {
  if (!Cuttable(s) || !std::isfinite(delta)) return Refused<Spline>(GeometryFault::NotFinite);
  const double lo = SplineStart(s), hi = SplineEnd(s);
  const double total = SplineLength(s, lo, hi);
  if (!(total + delta > 0)) return Refused<Spline>(GeometryFault::ZeroLength);
  Spline out;
  if (delta <= 0) {
    out = atEnd ? SubSpline(s, lo, SplineParameterAt(s, lo, total + delta)) : SubSpline(s, SplineParameterAt(s, lo, -delta), hi);
  } else {
    const double far = Far(s, atEnd, 0, delta);
    if (far == 0) return Refused<Spline>(GeometryFault::NotFinite);
    const Spline longer = ExtendSpline(s, far);
    // Halved down to where the added length is delta.
    double a = atEnd ? hi : lo, b = far;
    for (int k = 0; k < 80; ++k) {
      const double m = (a + b) / 2;
      const double added = atEnd ? SplineLength(longer, hi, m) : SplineLength(longer, m, lo);
      (added < delta ? a : b) = m;
    }
    out = ExtendSpline(s, (a + b) / 2);
  }
  if (out.controls.empty()) return Refused<Spline>(GeometryFault::NotFinite);
  return {out};
}

Outcome<Spline> LengthenTo(const Spline& s, bool atEnd, double total) {
  if (!std::isfinite(total)) return Refused<Spline>(GeometryFault::NotFinite);
  if (!(total > 0)) return Refused<Spline>(GeometryFault::ZeroLength);
  return Lengthen(s, atEnd, total - SplineLength(s, SplineStart(s), SplineEnd(s)));
}

}  // namespace vestrel
