#include "geometry/spline.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "geometry/crossings.h"

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

namespace {

// The flattened curve, with the parameter of each vertex when asked.
std::vector<Point3> Flatten(const Spline& s, std::vector<double>* parameters) {
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
  if (parameters) parameters->assign(1, lo);
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
        if (parameters) parameters->push_back(piece.b);
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

}  // namespace

std::vector<Point3> FlattenSpline(const Spline& s) { return Flatten(s, nullptr); }

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

// --- Cutting and carrying on --------------------------------------------------------

namespace {

// A control point in homogeneous coordinates: the point times its weight,
// and the weight. Knot insertion and de Casteljau's algorithm on these
// are exact for rational curves too.
struct Hom {
  double x = 0, y = 0, z = 0, w = 1;
};

Hom Mix(const Hom& a, const Hom& b, double t) {
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, a.w + (b.w - a.w) * t};
}

bool Rational(const Spline& s) { return s.weights.size() == s.controls.size() && !s.weights.empty(); }

std::vector<Hom> Homogeneous(const Spline& s) {
  std::vector<Hom> h;
  h.reserve(s.controls.size());
  const bool rational = Rational(s);
  for (std::size_t i = 0; i < s.controls.size(); ++i) {
    const double w = rational ? s.weights[i] : 1;
    const Point3& c = s.controls[i];
    h.push_back({c.x * w, c.y * w, c.z * w, w});
  }
  return h;
}

// The curve of knots u and homogeneous controls h; empty when a weight is
// not positive or a number overflows.
Spline FromHomogeneous(int order, std::vector<double> u, const std::vector<Hom>& h, bool rational) {
  Spline s;
  s.order = order;
  s.knots = std::move(u);
  for (const Hom& q : h) {
    if (!(q.w > 0) || !std::isfinite(q.w)) return {};
    s.controls.push_back({q.x / q.w, q.y / q.w, q.z / q.w});
    if (!Finite(s.controls.back())) return {};
    if (rational) s.weights.push_back(q.w);
  }
  return s;
}

int Multiplicity(const std::vector<double>& u, double v) { return static_cast<int>(std::count(u.begin(), u.end(), v)); }

// Boehm's insertion of v once into span k (u[k] <= v <= u[k + 1],
// u[k] < u[k + 1]) of a curve of degree p.
void InsertKnot(std::vector<double>& u, std::vector<Hom>& h, int p, int k, double v) {
  std::vector<Hom> q(h.size() + 1);
  for (int i = 0; i <= k - p; ++i) q[static_cast<std::size_t>(i)] = h[static_cast<std::size_t>(i)];
  for (int i = k - p + 1; i <= k; ++i) {
    const double a = (v - u[static_cast<std::size_t>(i)]) / (u[static_cast<std::size_t>(i + p)] - u[static_cast<std::size_t>(i)]);
    q[static_cast<std::size_t>(i)] = Mix(h[static_cast<std::size_t>(i - 1)], h[static_cast<std::size_t>(i)], a);
  }
  for (std::size_t i = static_cast<std::size_t>(k) + 1; i < q.size(); ++i) q[i] = h[i - 1];
  u.insert(u.begin() + k + 1, v);
  h = std::move(q);
}

// The span whose polynomial gives the curve at v: the one v lies in, the
// first one before the start and the last one from the end on.
int SpanOf(const Spline& s, double v) {
  const int p = s.order - 1, n = LastControl(s);
  const std::vector<double>& u = s.knots;
  int k = static_cast<int>(std::upper_bound(u.begin(), u.end(), v) - u.begin()) - 1;
  k = std::clamp(k, p, n);
  while (k > p && !(u[static_cast<std::size_t>(k)] < u[static_cast<std::size_t>(k + 1)])) --k;
  while (k < n && !(u[static_cast<std::size_t>(k)] < u[static_cast<std::size_t>(k + 1)])) ++k;
  return k;
}

Point2 Plan(const Point3& p) { return {p.x, p.y}; }
double Dot2(Point2 a, Point2 b) { return a.x * b.x + a.y * b.y; }

// The size of the control polygon: what the tolerances are parts of.
double SizeOf(const Spline& s) {
  if (s.controls.empty()) return 0;
  double minx = s.controls[0].x, maxx = minx, miny = s.controls[0].y, maxy = miny;
  for (const Point3& c : s.controls) {
    minx = std::min(minx, c.x), maxx = std::max(maxx, c.x);
    miny = std::min(miny, c.y), maxy = std::max(maxy, c.y);
  }
  return std::hypot(maxx - minx, maxy - miny);
}

// The parameters of the flattened curve, each interval halved `split`
// times more, for searches that need a finer start.
std::vector<double> Samples(const Spline& s, int split) {
  std::vector<double> v;
  Flatten(s, &v);
  std::vector<double> out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i > 0)
      for (int k = 1; k < split; ++k) out.push_back(v[i - 1] + (v[i] - v[i - 1]) * k / split);
    out.push_back(v[i]);
  }
  return out;
}

// A root of g in [a, b] where g(a) and g(b) differ in sign: Newton's steps
// on g and its derivative dg, kept inside the bracket by halving, until a
// step is below `step` or g vanishes.
template <class G, class D>
double Root(double a, double b, double ga, const G& g, const D& dg, double step) {
  double x = (a + b) / 2;
  for (int i = 0; i < 200; ++i) {
    const double gx = g(x);
    if (gx == 0) return x;
    ((gx < 0) == (ga < 0) ? a : b) = x;
    const double d = dg(x);
    double next = d != 0 && std::isfinite(d) ? x - gx / d : (a + b) / 2;
    if (!(next > a && next < b)) next = (a + b) / 2;
    if (std::abs(next - x) <= step || b - a <= step) return next;
    x = next;
  }
  return x;
}

}  // namespace

double SplineStart(const Spline& s) { return Usable(s) ? DomainStart(s) : 0; }
double SplineEnd(const Spline& s) { return Usable(s) ? DomainEnd(s) : 0; }

bool Cuttable(const Spline& s) {
  if (!Usable(s) || s.order < 2 || !std::is_sorted(s.knots.begin(), s.knots.end())) return false;
  if (!(DomainStart(s) < DomainEnd(s))) return false;
  if (!std::all_of(s.knots.begin(), s.knots.end(), [](double k) { return std::isfinite(k); })) return false;
  if (!std::all_of(s.controls.begin(), s.controls.end(), Finite)) return false;
  if (!s.weights.empty() && s.weights.size() != s.controls.size()) return false;
  return std::all_of(s.weights.begin(), s.weights.end(), [](double w) { return w > 0 && std::isfinite(w); });
}

CurveDerivative CurveAndDerivative(const Spline& s, double v) {
  if (!Cuttable(s)) return {};
  const int p = s.order - 1, k = SpanOf(s, v);
  const std::vector<double>& u = s.knots;
  const bool rational = Rational(s);
  // de Boor's triangle, the last level but one kept for the derivative
  // (degrees up to 30, as SplineOfFile takes them).
  if (p > 30) return {};
  std::array<Hom, 31> d;
  for (int j = 0; j <= p; ++j) {
    const Point3& c = s.controls[static_cast<std::size_t>(j + k - p)];
    const double w = rational ? s.weights[static_cast<std::size_t>(j + k - p)] : 1;
    d[static_cast<std::size_t>(j)] = {c.x * w, c.y * w, c.z * w, w};
  }
  Hom before{}, last{};
  for (int r = 1; r <= p; ++r) {
    if (r == p) before = d[static_cast<std::size_t>(p - 1)], last = d[static_cast<std::size_t>(p)];
    for (int j = p; j >= r; --j) {
      const double lo = u[static_cast<std::size_t>(j + k - p)], hi = u[static_cast<std::size_t>(j + 1 + k - r)];
      d[static_cast<std::size_t>(j)] = Mix(d[static_cast<std::size_t>(j - 1)], d[static_cast<std::size_t>(j)], (v - lo) / (hi - lo));
    }
  }
  const Hom& a = d[static_cast<std::size_t>(p)];
  const double f = p / (u[static_cast<std::size_t>(k + 1)] - u[static_cast<std::size_t>(k)]);
  const Hom da{(last.x - before.x) * f, (last.y - before.y) * f, (last.z - before.z) * f, (last.w - before.w) * f};
  CurveDerivative out;
  out.at = {a.x / a.w, a.y / a.w, a.z / a.w};
  out.d = {(da.x - da.w * out.at.x) / a.w, (da.y - da.w * out.at.y) / a.w, (da.z - da.w * out.at.z) / a.w};
  return out;
}

Spline SubSpline(const Spline& s, double v0, double v1) {
  if (!Cuttable(s) || !std::isfinite(v0) || !std::isfinite(v1)) return {};
  v0 = std::max(v0, DomainStart(s)), v1 = std::min(v1, DomainEnd(s));
  if (!(v0 < v1)) return {};
  const int p = s.order - 1;
  std::vector<double> u = s.knots;
  std::vector<Hom> h = Homogeneous(s);
  auto n = [&] { return static_cast<int>(h.size()) - 1; };
  // v0 into the span it begins, v1 into the span it ends, each until it
  // stands p times: the curve then passes through a control there.
  while (Multiplicity(u, v0) < p) {
    const int k = std::clamp(static_cast<int>(std::upper_bound(u.begin(), u.end(), v0) - u.begin()) - 1, p, n());
    InsertKnot(u, h, p, k, v0);
  }
  while (Multiplicity(u, v1) < p) {
    const int k = std::clamp(static_cast<int>(std::lower_bound(u.begin(), u.end(), v1) - u.begin()) - 1, p, n());
    InsertKnot(u, h, p, k, v1);
  }
  const int ka = std::min(static_cast<int>(std::upper_bound(u.begin(), u.end(), v0) - u.begin()) - 1, n());
  const int kb = std::max(static_cast<int>(std::lower_bound(u.begin(), u.end(), v1) - u.begin()) - 1, ka);
  std::vector<double> knots(static_cast<std::size_t>(p) + 1, v0);
  knots.insert(knots.end(), u.begin() + ka + 1, u.begin() + kb + 1);
  knots.insert(knots.end(), static_cast<std::size_t>(p) + 1, v1);
  const std::vector<Hom> part(h.begin() + (ka - p), h.begin() + kb + 1);
  return FromHomogeneous(s.order, std::move(knots), part, Rational(s));
}

Spline JoinSplines(const Spline& a, const Spline& b) {
  if (!Cuttable(a) || !Cuttable(b) || a.order != b.order) return {};
  const std::size_t p = static_cast<std::size_t>(a.order) - 1;
  const bool rational = Rational(a) || Rational(b);
  std::vector<Hom> ha = Homogeneous(a), hb = Homogeneous(b);
  const double scale = ha.back().w / hb.front().w;
  for (Hom& q : hb) q = {q.x * scale, q.y * scale, q.z * scale, q.w * scale};
  std::vector<double> u(a.knots.begin(), a.knots.end() - 1);
  const double shift = a.knots.back() - b.knots.front();
  for (std::size_t i = p + 1; i < b.knots.size(); ++i) u.push_back(b.knots[i] + shift);
  ha.insert(ha.end(), hb.begin() + 1, hb.end());
  return FromHomogeneous(a.order, std::move(u), ha, rational);
}

Spline ExtendSpline(const Spline& s, double v) {
  if (!Cuttable(s) || !std::isfinite(v)) return {};
  const double lo = DomainStart(s), hi = DomainEnd(s);
  if (v >= lo && v <= hi) return SubSpline(s, lo, hi);
  const bool atEnd = v > hi;
  // Clamped, and the end span alone between knots standing p times: its
  // p + 1 controls are then the span as a Bezier curve.
  const Spline clamped = SubSpline(s, lo, hi);
  if (clamped.controls.empty()) return {};
  const int p = clamped.order - 1;
  std::vector<double> u = clamped.knots;
  std::vector<Hom> h = Homogeneous(clamped);
  const std::size_t pp = static_cast<std::size_t>(p);
  const double inner = atEnd ? u[u.size() - pp - 2] : u[pp + 1];
  if (inner > lo && inner < hi)
    while (Multiplicity(u, inner) < p) {
      const int n = static_cast<int>(h.size()) - 1;
      const int k = std::clamp(static_cast<int>(std::upper_bound(u.begin(), u.end(), inner) - u.begin()) - 1, p, n);
      InsertKnot(u, h, p, k, inner);
    }
  const double a = atEnd ? inner : lo, b = atEnd ? hi : inner;
  const double t = (v - a) / (b - a);
  // de Casteljau at t outside [0, 1]: the points first and last of each
  // level are the controls of the span from a to v (or from v to b).
  std::vector<Hom> level(atEnd ? h.end() - p - 1 : h.begin(), atEnd ? h.end() : h.begin() + p + 1);
  std::vector<Hom> bezier(pp + 1);
  bezier[atEnd ? 0 : pp] = atEnd ? level.front() : level.back();
  for (std::size_t r = 1; r <= pp; ++r) {
    for (std::size_t j = 0; j + r <= pp; ++j) level[j] = Mix(level[j], level[j + 1], t);
    if (atEnd) bezier[r] = level.front();
    else bezier[pp - r] = level[pp - r];
  }
  std::copy(bezier.begin(), bezier.end(), atEnd ? h.end() - p - 1 : h.begin());
  std::fill(atEnd ? u.end() - p - 1 : u.begin(), atEnd ? u.end() : u.begin() + p + 1, v);
  return FromHomogeneous(s.order, std::move(u), h, Rational(s));
}

double SplineLength(const Spline& s, double v0, double v1) {
  if (!Cuttable(s) || !std::isfinite(v0) || !std::isfinite(v1)) return 0;
  if (v1 < v0) return -SplineLength(s, v1, v0);
  static const double x[5] = {0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640, 0.9061798459386640};
  static const double w[5] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665, 0.2369268850561891,
                              0.2369268850561891};
  // Gauss-Legendre on the intervals of the flattened curve (which follow
  // its bends), each halved twice more.
  std::vector<double> at = Samples(s, 4);
  std::vector<double> cuts{v0};
  for (const double v : at)
    if (v > v0 && v < v1) cuts.push_back(v);
  cuts.push_back(v1);
  double sum = 0;
  for (std::size_t i = 1; i < cuts.size(); ++i) {
    const double mid = (cuts[i - 1] + cuts[i]) / 2, half = (cuts[i] - cuts[i - 1]) / 2;
    for (int j = 0; j < 5; ++j) {
      const Point3 d = CurveAndDerivative(s, mid + half * x[j]).d;
      sum += w[j] * half * std::hypot(d.x, d.y);
    }
  }
  return sum;
}

double SplineParameterAt(const Spline& s, double v0, double length) {
  if (!Cuttable(s)) return 0;
  const double hi = DomainEnd(s);
  if (!(length > 0)) return v0;
  if (!(SplineLength(s, v0, hi) > length)) return hi;
  double a = v0, b = hi;
  for (int i = 0; i < 80 && b - a > 0; ++i) {
    const double m = (a + b) / 2;
    (SplineLength(s, v0, m) < length ? a : b) = m;
  }
  return (a + b) / 2;
}

double NearestSplineParameter(const Spline& s, Point2 p) {
  if (!Cuttable(s)) return 0;
  const std::vector<double> at = Samples(s, 2);
  auto dist = [&](double v) {
    const Point3 c = CurveAndDerivative(s, v).at;
    return std::hypot(c.x - p.x, c.y - p.y);
  };
  std::size_t best = 0;
  double bestD = INFINITY;
  for (std::size_t i = 0; i < at.size(); ++i)
    if (const double d = dist(at[i]); d < bestD) bestD = d, best = i;
  // The foot of the perpendicular beside the nearest sample: where the way
  // to p turns from ahead of the curve to behind it.
  auto g = [&](double v) {
    const CurveDerivative c = CurveAndDerivative(s, v);
    return Dot2({c.at.x - p.x, c.at.y - p.y}, Plan(c.d));
  };
  double result = at[best];
  for (const std::size_t j : {best > 0 ? best - 1 : best, best}) {
    if (j + 1 >= at.size()) continue;
    const double a = at[j], b = at[j + 1], ga = g(a), gb = g(b);
    if (!(ga < 0 && gb > 0)) continue;
    const double h = 1e-7 * (b - a);
    const double v = Root(a, b, ga, g, [&](double x) { return (g(x + h) - g(x - h)) / (2 * h); }, 1e-15 * (std::abs(a) + std::abs(b)));
    if (dist(v) < dist(result)) result = v;
  }
  return result;
}

namespace {

// A piece's curve as a function that is zero on it and changes sign
// across it (about the distance from it), with its gradient; and whether a
// point of the curve lies on the piece itself.
struct Implicit {
  enum { Line, Circle, Ellipse } shape = Line;
  Point2 a, n;       // a line's point and unit normal
  ArcShape circle;   // a circle's
  Conic conic;       // an ellipse's
  double det = 0;

  explicit Implicit(const Piece& q) {
    if (const auto c = CircleOf(q)) {
      shape = Circle, circle = *c;
    } else if (q.elliptic) {
      shape = Ellipse, conic = q.conic;
      det = conic.u.x * conic.v.y - conic.u.y * conic.v.x;
    } else {
      const double l = std::hypot(q.b.x - q.a.x, q.b.y - q.a.y);
      shape = Line, a = q.a, n = {-(q.b.y - q.a.y) / l, (q.b.x - q.a.x) / l};
    }
  }
  bool usable() const {
    if (shape == Line) return std::isfinite(n.x + n.y);
    if (shape == Ellipse) return det != 0 && std::isfinite(det);
    return circle.r > 0;
  }
  // The value at p and its gradient.
  double at(Point2 p, Point2& grad) const {
    if (shape == Line) {
      grad = n;
      return (p.x - a.x) * n.x + (p.y - a.y) * n.y;
    }
    if (shape == Circle) {
      const Point2 d{p.x - circle.c.x, p.y - circle.c.y};
      const double l = std::hypot(d.x, d.y);
      grad = l > 0 ? Point2{d.x / l, d.y / l} : Point2{};
      return l - circle.r;
    }
    // In the frame where the ellipse is the unit circle.
    const Point2 d{p.x - conic.c.x, p.y - conic.c.y};
    const Point2 q{(d.x * conic.v.y - d.y * conic.v.x) / det, (conic.u.x * d.y - conic.u.y * d.x) / det};
    const double l = std::hypot(q.x, q.y);
    const Point2 g = l > 0 ? Point2{q.x / l, q.y / l} : Point2{};
    // The frame's inverse, transposed, on the gradient there.
    grad = {(g.x * conic.v.y - g.y * conic.u.y) / det, (-g.x * conic.v.x + g.y * conic.u.x) / det};
    return l - 1;
  }
};

void Unique(std::vector<double>& v, const Spline& s, double tolerance) {
  std::sort(v.begin(), v.end());
  std::vector<double> out;
  for (const double x : v) {
    if (!out.empty()) {
      const Point3 p = CurveAndDerivative(s, out.back()).at, q = CurveAndDerivative(s, x).at;
      if (std::hypot(p.x - q.x, p.y - q.y) <= tolerance) continue;
    }
    out.push_back(x);
  }
  v = std::move(out);
}

}  // namespace

std::vector<double> SplineCrossings(const Spline& s, const Piece& edge, bool wholeEdge) {
  std::vector<double> roots;
  if (!Cuttable(s) || !IsFinite(edge) || !(Length(edge) > 0)) return roots;
  const Implicit f(edge);
  if (!f.usable()) return roots;
  const double size = std::max(SizeOf(s), 1e-300);
  auto g = [&](double v) {
    Point2 grad;
    return f.at(Plan(CurveAndDerivative(s, v).at), grad);
  };
  auto dg = [&](double v) {
    const CurveDerivative c = CurveAndDerivative(s, v);
    Point2 grad;
    f.at(Plan(c.at), grad);
    return Dot2(grad, Plan(c.d));
  };
  const std::vector<double> at = Samples(s, 8);
  std::vector<double> value(at.size()), slope(at.size());
  for (std::size_t i = 0; i < at.size(); ++i) value[i] = g(at[i]), slope[i] = dg(at[i]);
  const double step = 1e-15 * (std::abs(at.front()) + std::abs(at.back()) + 1e-300);
  auto opposite = [](double x, double y) { return x != 0 && y != 0 && (x < 0) != (y < 0); };
  for (std::size_t i = 0; i < at.size(); ++i) {
    if (value[i] == 0) roots.push_back(at[i]);
    if (i + 1 == at.size()) break;
    const double a = at[i], b = at[i + 1];
    // Where the curve turns back towards the piece and away again, the
    // interval is split at the turning point: a crossing either side of
    // it, or a touch when it lies on the piece.
    double turn = NAN;
    if (opposite(slope[i], slope[i + 1])) {
      const double h = 1e-7 * (b - a);
      turn = Root(a, b, slope[i], dg, [&](double x) { return (dg(x + h) - dg(x - h)) / (2 * h); }, step);
    }
    if (std::isnan(turn)) {
      if (opposite(value[i], value[i + 1])) roots.push_back(Root(a, b, value[i], g, dg, step));
      continue;
    }
    const double gt = g(turn);
    if (std::abs(gt) <= 1e-9 * size) {
      roots.push_back(turn);
      continue;
    }
    if (opposite(value[i], gt)) roots.push_back(Root(a, turn, value[i], g, dg, step));
    if (opposite(gt, value[i + 1])) roots.push_back(Root(turn, b, gt, g, dg, step));
  }
  // Only what lies on the piece itself.
  if (!wholeEdge)
    std::erase_if(roots, [&](double v) {
      const Point2 p = Plan(CurveAndDerivative(s, v).at);
      if (edge.elliptic && edge.conic.full) return false;
      const double t = ParameterOnWhole(edge, p);
      return t < -1e-9 || t > 1 + 1e-9;
    });
  Unique(roots, s, 1e-9 * size);
  return roots;
}

Path SplineArcs(const Spline& s, double tolerance) {
  Path out;
  if (!Cuttable(s) || !(tolerance > 0)) return out;
  const double lo = DomainStart(s), hi = DomainEnd(s);
  // The point and unit direction at v, within the span that ends at v
  // when `before`.
  struct Along {
    Point2 p, t;
  };
  auto along = [&](double v, bool before) {
    const double at = before ? std::nextafter(v, lo) : v;
    CurveDerivative c = CurveAndDerivative(s, at);
    Point2 t = Plan(c.d);
    double l = std::hypot(t.x, t.y);
    if (!(l > 0)) {
      // A standstill: the way the curve goes on from there.
      const double step = (hi - lo) * 1e-7;
      const Point3 q = CurveAndDerivative(s, before ? at - step : at + step).at;
      t = before ? Point2{c.at.x - q.x, c.at.y - q.y} : Point2{q.x - c.at.x, q.y - c.at.y};
      l = std::hypot(t.x, t.y);
    }
    return Along{{c.at.x, c.at.y}, l > 0 ? Point2{t.x / l, t.y / l} : Point2{}};
  };
  auto cross = [](Point2 a, Point2 b) { return a.x * b.y - a.y * b.x; };
  // The biarc from a to b: two arcs through the point between them where
  // they meet tangentially, each as far from its end along the directions.
  auto biarc = [&](const Along& a, const Along& b, Piece& first, Piece& second) {
    const Point2 v{b.p.x - a.p.x, b.p.y - a.p.y}, t{a.t.x + b.t.x, a.t.y + b.t.y};
    const double vt = Dot2(v, t), vv = Dot2(v, v), k = 4 - Dot2(t, t);
    const double d = k > 1e-12 ? (-vt + std::sqrt(vt * vt + k * vv)) / k : vt > 0 ? vv / (2 * vt) : NAN;
    if (!(d > 0) || !std::isfinite(d)) return false;
    const Point2 j{(a.p.x + b.p.x + d * (a.t.x - b.t.x)) / 2, (a.p.y + b.p.y + d * (a.t.y - b.t.y)) / 2};
    const Point2 c1{j.x - a.p.x, j.y - a.p.y}, c2{b.p.x - j.x, b.p.y - j.y};
    first = BulgePiece(a.p, j, std::tan(std::atan2(cross(a.t, c1), Dot2(a.t, c1)) / 2));
    second = BulgePiece(j, b.p, std::tan(std::atan2(cross(c2, b.t), Dot2(c2, b.t)) / 2));
    return true;
  };
  auto off = [](const Piece& piece, Point2 q) {
    const Point2 x = PointAt(piece, NearestParameter(piece, q));
    return std::hypot(x.x - q.x, x.y - q.y);
  };
  const int p = s.order - 1, n = LastControl(s);
  for (int k = p; k <= n; ++k) {
    const double a = s.knots[static_cast<std::size_t>(k)], b = s.knots[static_cast<std::size_t>(k + 1)];
    if (!(a < b)) continue;
    struct Step {
      double v0, v1;
      int depth;
    };
    std::vector<Step> todo{{a, b, 0}};
    while (!todo.empty() && out.pieces.size() < 200000) {
      const Step step = todo.back();
      todo.pop_back();
      const Along from = along(step.v0, false), to = along(step.v1, true);
      Piece first, second;
      bool fits = biarc(from, to, first, second);
      if (fits && step.depth < 40) {
        for (const double f : {0.125, 0.25, 0.375, 0.5, 0.625, 0.75, 0.875}) {
          const Point2 q = Plan(CurveAndDerivative(s, step.v0 + (step.v1 - step.v0) * f).at);
          fits = fits && std::min(off(first, q), off(second, q)) <= tolerance;
        }
      }
      if (!fits && step.depth < 40) {
        const double m = (step.v0 + step.v1) / 2;
        todo.push_back({m, step.v1, step.depth + 1});
        todo.push_back({step.v0, m, step.depth + 1});
        continue;
      }
      if (!fits) {
        out.pieces.push_back(SegmentPiece(from.p, to.p));
        continue;
      }
      out.pieces.push_back(first);
      out.pieces.push_back(second);
    }
  }
  std::erase_if(out.pieces, [](const Piece& q) { return !(Length(q) > 0); });
  for (std::size_t i = 1; i < out.pieces.size(); ++i) out.pieces[i].a = out.pieces[i - 1].b;
  return out;
}

std::vector<std::pair<double, double>> SplineCrossings(const Spline& a, const Spline& b) {
  std::vector<std::pair<double, double>> out;
  if (!Cuttable(a) || !Cuttable(b)) return out;
  std::vector<double> va, vb;
  const std::vector<Point3> pa = Flatten(a, &va), pb = Flatten(b, &vb);
  const double size = std::max({SizeOf(a), SizeOf(b), 1e-300});
  auto cross = [](Point2 u, Point2 v) { return u.x * v.y - u.y * v.x; };
  std::vector<std::pair<double, double>> found;
  for (std::size_t i = 1; i < pa.size(); ++i) {
    const Point2 p0 = Plan(pa[i - 1]), p1 = Plan(pa[i]);
    const Point2 r{p1.x - p0.x, p1.y - p0.y};
    for (std::size_t j = 1; j < pb.size(); ++j) {
      const Point2 q0 = Plan(pb[j - 1]), q1 = Plan(pb[j]);
      if (std::max(p0.x, p1.x) < std::min(q0.x, q1.x) || std::max(q0.x, q1.x) < std::min(p0.x, p1.x) ||
          std::max(p0.y, p1.y) < std::min(q0.y, q1.y) || std::max(q0.y, q1.y) < std::min(p0.y, p1.y))
        continue;
      const Point2 q{q1.x - q0.x, q1.y - q0.y}, d{q0.x - p0.x, q0.y - p0.y};
      const double det = cross(r, q);
      if (det == 0) continue;
      const double s = cross(d, q) / det, t = cross(d, r) / det;
      if (s < -1e-9 || s > 1 + 1e-9 || t < -1e-9 || t > 1 + 1e-9) continue;
      found.emplace_back(va[i - 1] + (va[i] - va[i - 1]) * s, vb[j - 1] + (vb[j] - vb[j - 1]) * t);
    }
  }
  // Newton's steps on both parameters: A(v) - B(w) = 0.
  const double alo = DomainStart(a), ahi = DomainEnd(a), blo = DomainStart(b), bhi = DomainEnd(b);
  for (auto [v, w] : found) {
    for (int k = 0; k < 50; ++k) {
      const CurveDerivative ca = CurveAndDerivative(a, v), cb = CurveAndDerivative(b, w);
      const Point2 f{ca.at.x - cb.at.x, ca.at.y - cb.at.y};
      if (std::hypot(f.x, f.y) <= 1e-13 * size) break;
      const Point2 da = Plan(ca.d), db = Plan(cb.d);
      const double det = cross(da, {-db.x, -db.y});
      if (!(std::abs(det) > 0)) break;  // touching: the flattened point stays
      const double dv = cross(f, {-db.x, -db.y}) / det, dw = cross(da, f) / det;
      v = std::clamp(v - dv, alo, ahi), w = std::clamp(w - dw, blo, bhi);
    }
    const Point3 x = CurveAndDerivative(a, v).at, y = CurveAndDerivative(b, w).at;
    if (std::hypot(x.x - y.x, x.y - y.y) > 1e-6 * size) continue;
    bool seen = false;
    for (const auto& [v2, w2] : out) {
      const Point3 z = CurveAndDerivative(a, v2).at;
      seen = seen || std::hypot(x.x - z.x, x.y - z.y) <= 1e-9 * size;
    }
    if (!seen) out.emplace_back(v, w);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace vestrel
