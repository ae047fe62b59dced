#include "geometry/curves.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

namespace {

// Touching within this share of the sizes involved counts as one point:
// a line drawn tangent to a circle, two circles drawn touching.
constexpr double kTouch = 1e-9;

double Dot(Point2 a, Point2 b) { return a.x * b.x + a.y * b.y; }
Point2 Sub(Point2 a, Point2 b) { return {a.x - b.x, a.y - b.y}; }
Point2 Along(Point2 a, Point2 d, double s) { return {a.x + d.x * s, a.y + d.y * s}; }

}  // namespace

Point2 Conic::at(double t) const {
  const double c1 = std::cos(t), s1 = std::sin(t);
  return {c.x + u.x * c1 + v.x * s1, c.y + u.y * c1 + v.y * s1};
}

bool Conic::circular() const {
  const double a = std::hypot(u.x, u.y), b = std::hypot(v.x, v.y);
  return a > 0 && std::abs(a - b) <= 1e-9 * a && std::abs(Dot(u, v)) <= 1e-9 * a * b;
}

double Conic::radius() const { return std::hypot(u.x, u.y); }

double Conic::parameter(Point2 p) const {
  // In the frame of u and v: solve p - c = u cos t + v sin t.
  const Point2 d = Sub(p, c);
  const double det = u.x * v.y - u.y * v.x;
  double cs, sn;
  if (det != 0) {
    cs = (d.x * v.y - d.y * v.x) / det;
    sn = (u.x * d.y - u.y * d.x) / det;
  } else {
    cs = Dot(d, u), sn = Dot(d, v);
  }
  double t = std::atan2(sn, cs);
  while (t < t0) t += 2 * kPi;
  while (t >= t0 + 2 * kPi) t -= 2 * kPi;
  return t;
}

bool Conic::covers(double t, double slack) const {
  if (full) return true;
  while (t < t0 - slack) t += 2 * kPi;
  while (t > t0 + 2 * kPi - slack) t -= 2 * kPi;
  return t >= t0 - slack && t <= t1 + slack;
}

std::vector<Point2> Conic::flattened(int pieces) const {
  std::vector<Point2> out;
  out.reserve(static_cast<std::size_t>(pieces) + 1);
  for (int k = 0; k <= pieces; ++k) out.push_back(at(t0 + (t1 - t0) * k / pieces));
  return out;
}

double SegmentParameter(Point2 p, Point2 a, Point2 b) {
  const Point2 d = Sub(b, a);
  const double l2 = Dot(d, d);
  return l2 > 0 ? Dot(Sub(p, a), d) / l2 : 0;
}

Point2 NearestOnSegment(Point2 p, Point2 a, Point2 b) {
  const double s = std::clamp(SegmentParameter(p, a, b), 0.0, 1.0);
  if (s == 0) return a;
  if (s == 1) return b;
  return Along(a, Sub(b, a), s);
}

Point2 NearestOnConic(const Conic& k, Point2 p) {
  double t;
  if (k.circular()) {
    t = k.parameter(p);
  } else {
    // Newton on the derivative of the squared distance, from the best of
    // a coarse ring of starts.
    auto f = [&](double s) {
      const Point2 q = Sub(k.at(s), p);
      const Point2 d1{-k.u.x * std::sin(s) + k.v.x * std::cos(s), -k.u.y * std::sin(s) + k.v.y * std::cos(s)};
      return Dot(q, d1);
    };
    auto df = [&](double s) {
      const Point2 q = Sub(k.at(s), p);
      const Point2 d1{-k.u.x * std::sin(s) + k.v.x * std::cos(s), -k.u.y * std::sin(s) + k.v.y * std::cos(s)};
      const Point2 d2 = Sub(k.c, k.at(s));
      return Dot(d1, d1) + Dot(q, d2);
    };
    constexpr int kStarts = 32;
    double best = 0, bestd = INFINITY;
    for (int i = 0; i < kStarts; ++i) {
      const double s = k.t0 + (k.t1 - k.t0) * i / kStarts;
      const Point2 q = Sub(k.at(s), p);
      if (Dot(q, q) < bestd) bestd = Dot(q, q), best = s;
    }
    t = best;
    for (int i = 0; i < 50; ++i) {
      const double g = df(t);
      if (g == 0) break;
      const double step = f(t) / g;
      t -= step;
      if (std::abs(step) < 1e-15) break;
    }
    t = k.parameter(k.at(t));
  }
  if (k.covers(t, 0)) return k.at(t);
  const Point2 a = k.at(k.t0), b = k.at(k.t1);
  return Dot(Sub(a, p), Sub(a, p)) <= Dot(Sub(b, p), Sub(b, p)) ? a : b;
}

std::vector<double> SignChanges(const Conic& k, const std::function<double(double)>& f) {
  std::vector<double> out;
  // (At most a few turns: a wider span is no arc of a drawing.)
  if (!(k.t1 > k.t0) || !(k.t1 - k.t0 < 8 * kPi)) return out;
  const int steps = std::max(4, static_cast<int>(std::ceil(64 * (k.t1 - k.t0) / (2 * kPi))));
  const double step = (k.t1 - k.t0) / steps;
  double previous = f(k.t0);
  for (int i = 1; i <= steps; ++i) {
    double a = k.t0 + step * (i - 1), b = k.t0 + step * i, fa = previous;
    const double fb = f(b);
    previous = fb;
    if (fa == 0 && i > 1) continue;  // found as the end of the step before
    if ((fa < 0) == (fb < 0) && fa != 0 && fb != 0) continue;
    if (fb == 0) {
      out.push_back(b);
      continue;
    }
    if (fa == 0) {
      out.push_back(a);
      continue;
    }
    while (true) {
      const double m = (a + b) / 2;
      if (!(m > a && m < b)) break;
      const double fm = f(m);
      if ((fm < 0) == (fa < 0))
        a = m, fa = fm;
      else
        b = m;
    }
    out.push_back((a + b) / 2);
  }
  return out;
}

namespace {

// The points of the arc where f(t) changes sign.
template <class F>
std::vector<Point2> Zeros(const Conic& k, F&& f) {
  std::vector<Point2> out;
  for (const double t : SignChanges(k, f)) out.push_back(k.at(t));
  return out;
}

Point2 Direction(const Conic& k, double t) {
  return {-k.u.x * std::sin(t) + k.v.x * std::cos(t), -k.u.y * std::sin(t) + k.v.y * std::cos(t)};
}

}  // namespace

std::vector<Point2> PerpendicularFeet(const Conic& k, Point2 p) {
  return Zeros(k, [&](double t) { return Dot(Sub(k.at(t), p), Direction(k, t)); });
}

std::vector<Point2> TouchingPoints(const Conic& k, Point2 p) {
  return Zeros(k, [&](double t) {
    const Point2 w = Sub(k.at(t), p), d = Direction(k, t);
    return w.x * d.y - w.y * d.x;
  });
}

bool PerpendicularFoot(Point2 p, Point2 a, Point2 b, Point2& foot) {
  const Point2 d = Sub(b, a);
  if (Dot(d, d) == 0) return false;
  const double s = SegmentParameter(p, a, b);
  if (s < 0 || s > 1) return false;
  foot = Along(a, d, s);
  return true;
}

int TangentPoints(Point2 p, Point2 c, double r, Point2 out[2]) {
  const Point2 d = Sub(p, c);
  const double l2 = Dot(d, d), l = std::sqrt(l2);
  if (!(r > 0) || l < r * (1 - kTouch)) return 0;
  if (l <= r * (1 + kTouch)) {
    out[0] = p;
    return 1;
  }
  // The touching points seen from the centre: at the angle acos(r / l)
  // either side of the direction to p.
  const double along = r * r / l2, across = r * std::sqrt(l2 - r * r) / l2;
  out[0] = {c.x + d.x * along - d.y * across, c.y + d.y * along + d.x * across};
  out[1] = {c.x + d.x * along + d.y * across, c.y + d.y * along - d.x * across};
  return 2;
}

int LineCircle(Point2 a, Point2 b, Point2 c, double r, Point2 out[2]) {
  const Point2 d = Sub(b, a);
  const double l = std::hypot(d.x, d.y);
  if (!(l > 0) || !(r > 0)) return 0;
  const Point2 e{d.x / l, d.y / l};
  // The foot of the centre on the line, and how far the crossings lie
  // either side of it.
  const double s = Dot(Sub(c, a), e);
  const Point2 foot = Along(a, e, s);
  const double h = std::hypot(foot.x - c.x, foot.y - c.y);
  if (h > r * (1 + kTouch)) return 0;
  if (h >= r * (1 - kTouch)) {
    out[0] = foot;
    return 1;
  }
  const double w = std::sqrt((r - h) * (r + h));
  out[0] = Along(foot, e, -w);
  out[1] = Along(foot, e, w);
  return 2;
}

int CircleCircle(Point2 c1, double r1, Point2 c2, double r2, Point2 out[2]) {
  const Point2 d = Sub(c2, c1);
  const double l = std::hypot(d.x, d.y);
  const double size = std::max(r1, r2);
  if (!(l > kTouch * size) || !(r1 > 0) || !(r2 > 0)) return 0;
  const double outer = r1 + r2, inner = std::abs(r1 - r2);
  if (l > outer + kTouch * size || l < inner - kTouch * size) return 0;
  const Point2 e{d.x / l, d.y / l};
  // How far along the line of centres the crossings lie from c1, and how
  // far off it.
  const double s = (l * l + r1 * r1 - r2 * r2) / (2 * l);
  const Point2 foot = Along(c1, e, s);
  if (std::abs(l - outer) <= kTouch * size || std::abs(l - inner) <= kTouch * size) {
    out[0] = foot;
    return 1;
  }
  const double h = std::sqrt(std::max(0.0, r1 * r1 - s * s));
  out[0] = {foot.x - e.y * h, foot.y + e.x * h};
  out[1] = {foot.x + e.y * h, foot.y - e.x * h};
  return 2;
}

}  // namespace vestrel
