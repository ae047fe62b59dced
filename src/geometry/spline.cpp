#include "geometry/spline.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

std::vector<double> MakeKnots(int n, int t) {
  std::vector<double> u;
  if (n + t < 0) return u;
  u.reserve(static_cast<std::size_t>(n + t + 1));
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

bool EndIsClamped(std::span<const double> u, int n, int t) { return u[n + 1] == u[n + t]; }

// The parameter range over which the basis functions sum to one.
void Domain(std::span<const double> u, int n, int t, double& lo, double& hi) {
  lo = u[t - 1];
  hi = u[n + 1];
}

}  // namespace

double BasisValue(int i, int t, std::span<const double> u, double v) {
  std::vector<double> row;
  BasisRow(u, t, v, i, 1, row);
  return row[0];
}

Point3 CurvePoint(std::span<const double> u, int n, int t, double v, std::span<const Point3> controls) {
  Point3 p;
  if (n < 0 || t < 1 || u.size() < static_cast<std::size_t>(n + t + 1)) return p;
  // Only N(k, t) with u[k] <= v < u[k + t] are not zero: k = span - t + 1 .. span.
  const auto it = std::upper_bound(u.begin(), u.begin() + n + t + 1, v);
  const int span = static_cast<int>(it - u.begin()) - 1;
  if (span < 0 || span >= n + t) return p;
  const int first = std::max(0, span - t + 1);
  const int last = std::min(n, span);
  if (first > last) return p;
  thread_local std::vector<double> row;
  BasisRow(u, t, v, first, last - first + 1, row);
  for (int k = first; k <= last; ++k) {
    const double b = row[static_cast<std::size_t>(k - first)];
    p.x += b * controls[k].x;
    p.y += b * controls[k].y;
    p.z += b * controls[k].z;
  }
  return p;
}

std::vector<Point3> SampleCurve(std::span<const Point3> controls, int n, std::span<const double> u, int t,
                                     int S) {
  std::vector<Point3> samples;
  if (n < 0 || t < 1 || S < 2 || u.size() < static_cast<std::size_t>(n + t + 1)) return samples;
  samples.reserve(static_cast<std::size_t>(S));
  double lo, hi;
  Domain(u, n, t, lo, hi);
  const double step = (hi - lo) / (S - 1);
  for (int k = 0; k < S - 1; ++k) samples.push_back(CurvePoint(u, n, t, lo + k * step, controls));
  // The half-open basis vanishes at the last knot: a clamped curve ends on
  // its last control point, any other at the limit of its last span.
  samples.push_back(EndIsClamped(u, n, t) ? controls[n] : CurvePoint(u, n, t, std::nextafter(hi, lo), controls));
  return samples;
}

std::vector<Point3> FitControlPoints(std::span<const Point3> F, std::span<const int> fixed) {
  const int m = static_cast<int>(F.size());
  std::vector<Point3> C(F.begin(), F.end());
  if (m < 4) return C;
  constexpr int t = 4;
  const std::vector<double> u = MakeKnots(m - 1, t);
  std::vector<bool> isFixed(static_cast<std::size_t>(m), false);
  isFixed.front() = isFixed.back() = true;
  for (int i : fixed)
    if (i >= 0 && i < m) isFixed[static_cast<std::size_t>(i)] = true;

  // Fit point i belongs to sample i * (S - 1) / (m - 1) of S = 100 m evenly
  // spaced samples. Moving each free control point by what its fit point
  // misses converges (the collocation matrix has its eigenvalues in (0, 1]),
  // so repeat that until nothing moves any more.
  const int S = 100 * m;
  double lo, hi;
  Domain(u, m - 1, t, lo, hi);
  std::vector<double> tau(static_cast<std::size_t>(m));
  for (int i = 0; i < m; ++i) tau[i] = lo + (static_cast<long long>(i) * (S - 1) / (m - 1)) * ((hi - lo) / (S - 1));

  double minx = F[0].x, maxx = F[0].x, miny = F[0].y, maxy = F[0].y;
  for (const Point3& f : F) {
    minx = std::min(minx, f.x), maxx = std::max(maxx, f.x);
    miny = std::min(miny, f.y), maxy = std::max(maxy, f.y);
  }
  const double tolerance = 1e-13 * (std::max(maxx - minx, maxy - miny) + std::max({std::abs(minx), std::abs(maxx),
                                                                                    std::abs(miny), std::abs(maxy)}) + 1);
  std::vector<Point3> moved(C);
  for (int round = 0; round < 2000; ++round) {
    double largest = 0;
    for (int i = 1; i < m - 1; ++i) {
      if (isFixed[i]) continue;
      const Point3 p = CurvePoint(u, m - 1, t, tau[i], C);
      moved[i].x = C[i].x + (F[i].x - p.x);
      moved[i].y = C[i].y + (F[i].y - p.y);
      largest = std::max({largest, std::abs(F[i].x - p.x), std::abs(F[i].y - p.y)});
    }
    C.swap(moved);
    if (!(largest > tolerance)) break;
  }
  for (const Point3& c : C)
    if (!std::isfinite(c.x) || !std::isfinite(c.y)) return std::vector<Point3>(F.begin(), F.end());
  return C;
}

}  // namespace vestrel
