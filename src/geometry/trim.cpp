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

std::vector<double> CutParameters(const Path& path, const std::vector<Piece>& edges) {
  std::vector<double> cuts;
  for (std::size_t i = 0; i < path.pieces.size(); ++i)
    for (const Piece& edge : edges)
      for (const Crossing& c : Crossings(path.pieces[i], edge)) cuts.push_back(static_cast<double>(i) + c.s);
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

Outcome<Path> Extend(const Path& path, bool atEnd, const std::vector<Piece>& boundaries) {
  if (!Usable(path)) return Refused<Path>(GeometryFault::NotFinite);
  if (path.closed) return Refused<Path>(GeometryFault::ClosedPath);
  if (!atEnd) {
    Outcome<Path> r = Extend(Reversed(path), true, boundaries);
    if (r.ok()) r.value = Reversed(r.value);
    return r;
  }
  const Piece& last = path.pieces.back();
  if (!(Length(last) > 0)) return Refused<Path>(GeometryFault::ZeroLength);
  // The nearest crossing beyond the end, within less than a turn of the
  // start on a circle or ellipse.
  const double span = TurnSpan(last);
  double best = INFINITY;
  for (const Piece& boundary : boundaries)
    for (Crossing c : Crossings(last, boundary, true, false)) {
      if (span > 0 && c.s < 1) c.s += span;
      if (c.s > 1 + kSame && c.s < best && (span == 0 || c.s < span - kSame)) best = c.s;
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

}  // namespace vestrel
