#include "geometry/spline.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

std::vector<double> MakeKnots(int n, int t) {
  std::vector<double> u;
  if (n < 0 || t < 1) return u;
  u.reserve(static_cast<std::size_t>(n) + static_cast<std::size_t>(t) + 1);
  for (int j = 0; j <= n + t; ++j) {
    if (j < t)
      u.push_back(0);
    else if (j <= n)
      u.push_back(j - t + 1);
    else
      u.push_back(n - t + 2);
  }
  return u;
}

namespace {

// The basis functions N(k, t) at v for k = first .. first + count - 1,
// built order by order from the first one (the same terms the recursion
// adds, each computed once). `out` receives them.
void BasisRow(std::span<const double> u, int t, double v, int first, int count, std::vector<double>& out) {
  // Order s needs N(k, s - 1) for k = first .. first + count - 1 + (t - s + 1).
  const int width = count + t - 1;
  out.assign(static_cast<std::size_t>(width), 0.0);
  for (int j = 0; j < width; ++j) {
    const int k = first + j;
    if (k >= 0 && k + 1 < static_cast<int>(u.size()) && u[k] <= v && v < u[k + 1]) out[j] = 1;
  }
  for (int s = 2; s <= t; ++s) {
    for (int j = 0; j < width - (s - 1); ++j) {
      const int k = first + j;
      if (k < 0 || k + s >= static_cast<int>(u.size())) {
        out[j] = 0;
        continue;
      }
      const double A = u[k + s - 1] - u[k];
      const double B = u[k + s] - u[k + 1];
      double value;
      if (A == 0 && B == 0)
        value = 0;
      else if (A == 0)
        value = (u[k + s] - v) / B * out[j + 1];
      else if (B == 0)
        value = (v - u[k]) / A * out[j];
      else
        value = (v - u[k]) / A * out[j] + (u[k + s] - v) / B * out[j + 1];
      out[j] = value;
    }
  }
  out.resize(static_cast<std::size_t>(count));
}

int LastControl(const Spline& s) { return static_cast<int>(s.controls.size()) - 1; }

bool Usable(const Spline& s) {
  const int n = LastControl(s);
  return n >= 0 && s.order >= 1 && s.knots.size() == static_cast<std::size_t>(n) + s.order + 1;
}

// The parameter range over which the basis functions sum to one.
double DomainStart(const Spline& s) { return s.knots[static_cast<std::size_t>(s.order - 1)]; }
double DomainEnd(const Spline& s) { return s.knots[static_cast<std::size_t>(LastControl(s) + 1)]; }

// Weighted sum of the controls at v, and the sum of the weights.
Point3 Blend(const Spline& s, double v, double& weight) {
  Point3 p;
  weight = 0;
  const int n = LastControl(s), t = s.order;
  const std::span<const double> u = s.knots;
  // Only N(k, t) with u[k] <= v < u[k + t] are not zero: k = span - t + 1 .. span.
  const auto it = std::upper_bound(u.begin(), u.begin() + n + t + 1, v);
  const int span = static_cast<int>(it - u.begin()) - 1;
  if (span < 0 || span >= n + t) return p;
  const int first = std::max(0, span - t + 1);
  const int last = std::min(n, span);
  if (first > last) return p;
  thread_local std::vector<double> row;
  BasisRow(u, t, v, first, last - first + 1, row);
  const bool rational = s.weights.size() == s.controls.size();
  for (int k = first; k <= last; ++k) {
    const double b = row[static_cast<std::size_t>(k - first)] * (rational ? s.weights[static_cast<std::size_t>(k)] : 1);
    const Point3& c = s.controls[static_cast<std::size_t>(k)];
    p.x += b * c.x;
    p.y += b * c.y;
    p.z += b * c.z;
    weight += b;
  }
  return p;
}

double Distance(const Point3& a, const Point3& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

// The distance of p from the line through a and b (from a when they meet).
double FromChord(const Point3& p, const Point3& a, const Point3& b) {
  const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
  const double len2 = dx * dx + dy * dy + dz * dz;
  if (!(len2 > 0)) return Distance(p, a);
  const double k = ((p.x - a.x) * dx + (p.y - a.y) * dy + (p.z - a.z) * dz) / len2;
  return Distance(p, {a.x + k * dx, a.y + k * dy, a.z + k * dz});
}

// A square matrix with `w` diagonals on either side of its own, solved for
// three coordinates at once by elimination without pivoting: collocation
// matrices of B-splines are totally positive, which makes that stable.
class Banded {
 public:
  Banded(std::size_t n, int w) : n_(n), w_(w), a_(n * static_cast<std::size_t>(2 * w + 1), 0.0) {}
  // Entry (i, j); |i - j| <= w.
  double& at(std::size_t i, std::size_t j) {
    return a_[i * static_cast<std::size_t>(2 * w_ + 1) + static_cast<std::size_t>(static_cast<long>(j) - static_cast<long>(i) + w_)];
  }
  // Solves A x = r in place; false when a pivot vanishes.
  bool solve(std::vector<Point3>& r) {
    const std::size_t w = static_cast<std::size_t>(w_);
    for (std::size_t p = 0; p < n_; ++p) {
      const double pivot = at(p, p);
      if (pivot == 0 || !std::isfinite(pivot)) return false;
      for (std::size_t i = p + 1; i < std::min(n_, p + w + 1); ++i) {
        const double f = at(i, p) / pivot;
        if (f == 0) continue;
        for (std::size_t j = p; j < std::min(n_, p + w + 1); ++j)
          if (j <= i + w) at(i, j) -= f * at(p, j);
        r[i].x -= f * r[p].x, r[i].y -= f * r[p].y, r[i].z -= f * r[p].z;
      }
    }
    for (std::size_t p = n_; p-- > 0;) {
      Point3 v = r[p];
      for (std::size_t j = p + 1; j < std::min(n_, p + w + 1); ++j)
        v.x -= at(p, j) * r[j].x, v.y -= at(p, j) * r[j].y, v.z -= at(p, j) * r[j].z;
      r[p] = {v.x / at(p, p), v.y / at(p, p), v.z / at(p, p)};
    }
    return true;
  }

 private:
  std::size_t n_;
  int w_;
  std::vector<double> a_;
};

bool Finite(const Point3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

}  // namespace

Point3 CurvePoint(const Spline& s, double v) {
  if (!Usable(s)) return {};
  double w;
  const Point3 p = Blend(s, v, w);
  if (s.weights.size() != s.controls.size() || w == 0) return p;
  return {p.x / w, p.y / w, p.z / w};
}

std::vector<Point3> FlattenSpline(const Spline& s) {
  std::vector<Point3> out;
  if (!Usable(s)) return out;
  const double lo = DomainStart(s), hi = DomainEnd(s);
  if (!(lo < hi)) return out;
  double minx = s.controls[0].x, maxx = minx, miny = s.controls[0].y, maxy = miny, minz = s.controls[0].z,
         maxz = minz;
  for (const Point3& c : s.controls) {
    minx = std::min(minx, c.x), maxx = std::max(maxx, c.x);
    miny = std::min(miny, c.y), maxy = std::max(maxy, c.y);
    minz = std::min(minz, c.z), maxz = std::max(maxz, c.z);
  }
  const double tolerance = std::hypot(maxx - minx, maxy - miny, maxz - minz) / 5000;
  constexpr int kMaxDepth = 6;  // at most 64 pieces a span
  const int n = LastControl(s);
  const bool clampedEnd = s.knots[static_cast<std::size_t>(n + 1)] == s.knots[static_cast<std::size_t>(n + s.order)];

  // The curve between parameters a and b (points pa, pb), halved while the
  // middle or a quarter point leaves the chord by more than the tolerance.
  struct Piece {
    double a, b;
    Point3 pa, pb;
    int depth;
  };
  std::vector<Piece> stack;
  auto at = [&](double v) { return CurvePoint(s, v); };
  out.push_back(at(lo));
  for (int k = s.order - 1; k <= n; ++k) {
    const double a = s.knots[static_cast<std::size_t>(k)], b = s.knots[static_cast<std::size_t>(k + 1)];
    if (!(a < b)) continue;
    // The end of the last span: the last control point when the curve is
    // clamped there, else the limit of the span.
    const bool last = b >= hi;
    const Point3 pb = last ? (clampedEnd && s.weights.empty() ? s.controls.back() : at(std::nextafter(hi, lo)))
                           : at(b);
    stack.push_back({a, b, out.back(), pb, 0});
    while (!stack.empty()) {
      const Piece piece = stack.back();
      stack.pop_back();
      const double m = (piece.a + piece.b) / 2;
      const Point3 pm = at(m);
      bool flat = piece.depth >= kMaxDepth;
      if (!flat) {
        const double q1 = (piece.a + m) / 2, q3 = (m + piece.b) / 2;
        flat = FromChord(pm, piece.pa, piece.pb) <= tolerance && FromChord(at(q1), piece.pa, piece.pb) <= tolerance &&
               FromChord(at(q3), piece.pa, piece.pb) <= tolerance;
      }
      if (flat) {
        out.push_back(piece.pb);
        continue;
      }
      // The second half waits under the first.
      stack.push_back({m, piece.b, pm, piece.pb, piece.depth + 1});
      stack.push_back({piece.a, m, piece.pa, pm, piece.depth + 1});
    }
    if (last) break;
  }
  return out;
}

Spline SplineOfFile(int degree, std::span<const Point3> controls, std::span<const double> knots,
                    std::span<const double> weights, std::span<const Point3> fits,
                    std::optional<Point3> startTangent, std::optional<Point3> endTangent) {
  // Higher degrees than this are drawn through their defining points:
  // nobody draws them, and their basis would cost too much.
  constexpr int kMaxDegree = 30;
  Spline s;
  const int n = static_cast<int>(controls.size()) - 1;
  if (n < 0) return fits.size() >= 2 ? InterpolateFitPoints(fits, startTangent, endTangent) : s;
  if (degree < 1 || degree > kMaxDegree || n < degree) return s;
  s.order = degree + 1;
  s.controls.assign(controls.begin(), controls.end());
  if (knots.size() == static_cast<std::size_t>(n + s.order + 1) && std::is_sorted(knots.begin(), knots.end()))
    s.knots.assign(knots.begin(), knots.end());
  else
    s.knots = MakeKnots(n, s.order);
  if (weights.size() == controls.size() && std::all_of(weights.begin(), weights.end(), [](double w) { return w > 0; }))
    s.weights.assign(weights.begin(), weights.end());
  return s;
}

Spline InterpolateFitPoints(std::span<const Point3> F, std::optional<Point3> startTangent,
                            std::optional<Point3> endTangent) {
  Spline s;
  const std::size_t m = F.size();
  if (m < 2) return s;
  // Chord-length parameters from 0 to 1.
  std::vector<double> t(m, 0.0);
  double total = 0;
  for (std::size_t i = 1; i < m; ++i) t[i] = total += Distance(F[i - 1], F[i]);
  if (!(total > 0) || !std::isfinite(total)) return s;
  for (double& v : t) v /= total;
  t.back() = 1;

  // End derivatives: the given directions at the length of the curve, or
  // those of the parabola through three end points (a straight line for
  // two).
  auto unitTimes = [](Point3 d, double len) {
    const double l = std::hypot(d.x, d.y, d.z);
    return l > 0 && std::isfinite(l) ? Point3{d.x / l * len, d.y / l * len, d.z / l * len} : Point3{};
  };
  auto parabola = [&](std::size_t i0, std::size_t i1, std::size_t i2, bool atEnd) {
    if (m < 3) return Point3{F[1].x - F[0].x, F[1].y - F[0].y, F[1].z - F[0].z};
    const double h1 = t[i1] - t[i0], h2 = t[i2] - t[i1];
    if (!(h1 > 0) || !(h2 > 0)) return Point3{(F[i2].x - F[i0].x) / (t[i2] - t[i0]), (F[i2].y - F[i0].y) / (t[i2] - t[i0]), 0};
    auto d = [&](double Point3::*c) {
      const double d1 = (F[i1].*c - F[i0].*c) / h1, d2 = (F[i2].*c - F[i1].*c) / h2;
      // Derivative of the parabola at its first or its last point.
      return atEnd ? d2 + (d2 - d1) * h2 / (h1 + h2) : d1 - (d2 - d1) * h1 / (h1 + h2);
    };
    return Point3{d(&Point3::x), d(&Point3::y), d(&Point3::z)};
  };
  const Point3 D0 = startTangent ? unitTimes(*startTangent, total) : parabola(0, 1, std::min<std::size_t>(2, m - 1), false);
  const Point3 D1 = endTangent ? unitTimes(*endTangent, total) : parabola(m < 3 ? 0 : m - 3, m - 2, m - 1, true);

  // Knots 0 0 0 0 t1 .. t(m-2) 1 1 1 1 and m + 2 control points: the two
  // ends, the two that give the end derivatives, and between them those
  // that make the curve pass through the inner fit points.
  s.order = 4;
  s.knots.assign(4, 0.0);
  for (std::size_t i = 1; i + 1 < m; ++i) s.knots.push_back(t[i]);
  s.knots.insert(s.knots.end(), 4, 1.0);
  s.controls.assign(m + 2, Point3{});
  s.controls[0] = F[0];
  const double k0 = t.size() > 2 ? t[1] / 3 : 1.0 / 3, k1 = t.size() > 2 ? (1 - t[m - 2]) / 3 : 1.0 / 3;
  s.controls[1] = {F[0].x + k0 * D0.x, F[0].y + k0 * D0.y, F[0].z + k0 * D0.z};
  s.controls[m] = {F[m - 1].x - k1 * D1.x, F[m - 1].y - k1 * D1.y, F[m - 1].z - k1 * D1.z};
  s.controls[m + 1] = F[m - 1];
  if (m > 2) {
    // Row i (inner fit point i = 1 .. m - 2) of the unknowns P2 .. P(m-1):
    // N(i) P(i) + N(i+1) P(i+1) + N(i+2) P(i+2) = F(i), at the knot t(i).
    const std::size_t k = m - 2;
    Banded a(k, 1);
    std::vector<Point3> r(k);
    std::vector<double> row;
    for (std::size_t i = 1; i + 1 < m; ++i) {
      BasisRow(s.knots, 4, t[i], static_cast<int>(i), 3, row);
      const std::size_t e = i - 1;
      r[e] = F[i];
      a.at(e, e) = row[1];
      // Known controls go to the right-hand side.
      if (i == 1) {
        r[e].x -= row[0] * s.controls[1].x, r[e].y -= row[0] * s.controls[1].y, r[e].z -= row[0] * s.controls[1].z;
      } else {
        a.at(e, e - 1) = row[0];
      }
      if (i + 2 == m) {
        r[e].x -= row[2] * s.controls[m].x, r[e].y -= row[2] * s.controls[m].y, r[e].z -= row[2] * s.controls[m].z;
      } else {
        a.at(e, e + 1) = row[2];
      }
    }
    if (!a.solve(r)) return {};
    std::copy(r.begin(), r.end(), s.controls.begin() + 2);
  }
  for (const Point3& p : s.controls)
    if (!Finite(p)) return {};
  return s;
}

std::vector<Point3> FitControlPoints(std::span<const Point3> F, std::span<const int> fixed) {
  const int m = static_cast<int>(F.size());
  std::vector<Point3> C(F.begin(), F.end());
  if (m < 4) return C;
  std::vector<bool> isFixed(static_cast<std::size_t>(m), false);
  isFixed.front() = isFixed.back() = true;
  for (int i : fixed)
    if (i >= 0 && i < m) isFixed[static_cast<std::size_t>(i)] = true;
  Spline s;
  s.knots = MakeKnots(m - 1, 4);
  const double hi = s.knots.back();
  // The unknowns are the free control points; the fit points of the same
  // indexes lie on the curve. Row and column of free point i: free[i].
  std::vector<int> free;
  for (int i = 1; i < m - 1; ++i)
    if (!isFixed[static_cast<std::size_t>(i)]) free.push_back(i);
  const std::size_t k = free.size();
  // A cubic collocation matrix has at most four entries a row: the fit
  // point i at parameter i (m - 3) / (m - 1) lies in the span of controls
  // i - 2 .. i + 1 or i - 1 .. i + 2, so three diagonals on either side.
  Banded a(k, 3);
  std::vector<int> column(static_cast<std::size_t>(m), -1);
  for (std::size_t e = 0; e < k; ++e) column[static_cast<std::size_t>(free[e])] = static_cast<int>(e);
  std::vector<Point3> r(k);
  std::vector<double> row;
  for (std::size_t e = 0; e < k; ++e) {
    const int i = free[e];
    const double v = hi * i / (m - 1);
    const auto it = std::upper_bound(s.knots.begin(), s.knots.end(), v);
    const int span = std::min(static_cast<int>(it - s.knots.begin()) - 1, m - 1);
    const int first = std::max(0, span - 3);
    BasisRow(s.knots, 4, v, first, span - first + 1, row);
    r[e] = F[static_cast<std::size_t>(i)];
    for (int j = first; j <= span; ++j) {
      const double nj = row[static_cast<std::size_t>(j - first)];
      const int col = column[static_cast<std::size_t>(j)];
      if (col < 0) {  // a fixed control: known
        const Point3& c = F[static_cast<std::size_t>(j)];
        r[e].x -= nj * c.x, r[e].y -= nj * c.y, r[e].z -= nj * c.z;
        continue;
      }
      if (std::abs(col - static_cast<int>(e)) > 3) return C;  // cannot happen with these parameters
      a.at(e, static_cast<std::size_t>(col)) = nj;
    }
  }
  if (!a.solve(r)) return C;
  for (std::size_t e = 0; e < k; ++e) {
    if (!Finite(r[e])) return std::vector<Point3>(F.begin(), F.end());
    C[static_cast<std::size_t>(free[e])] = r[e];
  }
  return C;
}

}  // namespace vestrel
