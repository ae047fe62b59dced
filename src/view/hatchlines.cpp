#include "view/hatchlines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "geometry/placement.h"

namespace vestrel {

namespace {

// Lines closer than this many pixels are seen as a fill, and are drawn as
// one.
constexpr double kMinSpacing = 1.0;
// A dash pattern repeating within this many pixels is seen as a solid line.
constexpr double kMinPeriod = 2.0;
// What the pattern lines of one paint may cost: lines of one hatch, edge
// steps and dashes, and pieces drawn, of all hatches. A hatch that would
// cost more is filled (it is then as dense as a fill to the eye, or the
// drawing was made to hurt).
constexpr double kMaxLines = 10000;
constexpr std::size_t kMaxWork = 8000000;
constexpr std::size_t kMaxSegments = 400000;
// Pieces handed on at once.
constexpr std::size_t kBatch = 4096;

}  // namespace

double HatchPattern::spent() const {
  return std::max(static_cast<double>(work_) / kMaxWork, static_cast<double>(segments_) / kMaxSegments);
}

// Each family of lines is clipped to the loops by a scan across it: the
// edges sorted by where they begin across the lines, and for each line the
// edges it crosses, paired from where it enters the hatch to where it
// leaves. Only the lines, and the parts of them, that the clip shows are
// made.
bool HatchPattern::lines(const Drawing& d, const tpoly& p, const ScreenTransform& t, const PaintRect& clip,
                         double width, const Draw& draw) {
  const HatchData& h = d.hatch(p);
  const auto pts = d.ps(p);
  // The points in the hatch's own plane: the world's points through the
  // inverse of its object coordinates (which turn without scaling).
  const Placement ocs = ObjectCoordinates({h.nx, h.ny, h.nz});
  plane_.clear();
  for (const Tmypoi& q : pts)
    plane_.push_back({ocs.m[0][0] * q.x + ocs.m[1][0] * q.y + ocs.m[2][0] * q.z,
                      ocs.m[0][1] * q.x + ocs.m[1][1] * q.y + ocs.m[2][1] * q.z});
  auto toPaint = [&](double u, double v) {
    const Point3 w = ocs.apply({u, v, h.elevation});
    return t.toPaint(w.x, w.y, w.z);
  };

  // The plane on the screen, an affine map: where a point of it lands and
  // where the two unit steps from it go.
  const Point2 o = plane_[0];
  auto toScreen = [&](double u, double v) {
    const Point3 w = ocs.apply({u, v, h.elevation});
    return t.toScreen(w.x, w.y, w.z);
  };
  const Point2 O = toScreen(o.x, o.y), U = toScreen(o.x + 1, o.y), V = toScreen(o.x, o.y + 1);
  const double a = U.x - O.x, b = V.x - O.x, c = U.y - O.y, e = V.y - O.y;
  const double det = a * e - b * c;
  if (!std::isfinite(det) || det == 0) return false;  // seen edge on
  // The corners of the clip in the plane.
  const double margin = width + 2;
  Point2 corners[4];
  int n = 0;
  for (const double x : {clip.left - margin, clip.right + margin})
    for (const double y : {clip.top - margin, clip.bottom + margin})
      corners[n++] = {o.x + (e * (x - O.x) - b * (y - O.y)) / det, o.y + (a * (y - O.y) - c * (x - O.x)) / det};

  double lines = 0;
  bool done = true;
  for (const HatchLine& L : d.lines(h)) {
    // The family's frame: s along its lines from the base point, t across.
    const double angle = L.angle * kPi / 180, dx = std::cos(angle), dy = std::sin(angle);
    double spacing = L.offsety * dx - L.offsetx * dy, shift = L.offsetx * dx + L.offsety * dy;
    if (spacing < 0) spacing = -spacing, shift = -shift;  // the same lines counted the other way
    if (!(spacing > 0) || !std::isfinite(spacing)) continue;  // all its lines are one line
    const double along = std::hypot(a * dx + b * dy, c * dx + e * dy);  // pixels a unit along the lines
    if (!(along > 0)) continue;
    if (!(std::abs(det) * spacing / along >= kMinSpacing)) {
      done = false;
      break;
    }
    auto sOf = [&](Point2 q) { return (q.x - L.basex) * dx + (q.y - L.basey) * dy; };
    auto tOf = [&](Point2 q) { return (q.y - L.basey) * dx - (q.x - L.basex) * dy; };
    double svlo = std::numeric_limits<double>::infinity(), svhi = -svlo, tvlo = svlo, tvhi = -svlo;
    for (const Point2& q : corners) {
      svlo = std::min(svlo, sOf(q)), svhi = std::max(svhi, sOf(q));
      tvlo = std::min(tvlo, tOf(q)), tvhi = std::max(tvhi, tOf(q));
    }

    // The edges, of every loop (each closed back to its start), that
    // reach across the part on screen; and how far across the loops reach.
    work_ += pts.size();
    if (work_ > kMaxWork) {
      done = false;
      break;
    }
    edges_.clear();
    double tblo = std::numeric_limits<double>::infinity(), tbhi = -tblo;
    auto edge = [&](std::size_t i, std::size_t j) {
      const double ti = tOf(plane_[i]), tj = tOf(plane_[j]);
      tblo = std::min({tblo, ti, tj}), tbhi = std::max({tbhi, ti, tj});
      if (ti == tj || std::max(ti, tj) < tvlo || std::min(ti, tj) > tvhi) return;
      const double si = sOf(plane_[i]), sj = sOf(plane_[j]);
      const double slope = (sj - si) / (tj - ti);
      edges_.push_back(ti < tj ? Edge{ti, tj, si, slope} : Edge{tj, ti, sj, slope});
    };
    std::size_t start = 0;
    for (std::size_t i = 1; i <= pts.size(); ++i) {
      if (i < pts.size() && !pts[i].moveonly) {
        edge(i - 1, i);
        continue;
      }
      edge(i - 1, start);  // nothing when the loop is closed already
      start = i;
    }
    const double lo = std::max(tvlo, tblo), hi = std::min(tvhi, tbhi);
    const double k0 = std::ceil(lo / spacing), k1 = std::floor(hi / spacing);
    if (!(k0 <= k1)) continue;
    lines += k1 - k0 + 1;
    if (!(lines <= kMaxLines)) {
      done = false;
      break;
    }
    std::sort(edges_.begin(), edges_.end(), [](const Edge& x, const Edge& y) { return x.tlo < y.tlo; });

    const auto dashes = d.dashes(L);
    double period = 0;
    for (const double dash : dashes) period += std::abs(dash);
    const bool solid = !(period * along >= kMinPeriod);
    active_.clear();
    std::size_t next = 0;
    const auto count = static_cast<std::int64_t>(k1 - k0) + 1;
    for (std::int64_t i = 0; i < count && done; ++i) {
      const double k = k0 + static_cast<double>(i), tk = k * spacing;
      while (next < edges_.size() && edges_[next].tlo <= tk) active_.push_back(edges_[next++]);
      crossings_.clear();
      for (std::size_t j = 0; j < active_.size();) {
        if (active_[j].thi <= tk) {
          active_[j] = active_.back();
          active_.pop_back();
          continue;
        }
        crossings_.push_back(active_[j].slo + (tk - active_[j].tlo) * active_[j].slope);
        ++j;
      }
      work_ += active_.size() + 1;
      std::sort(crossings_.begin(), crossings_.end());
      auto piece = [&](double s0, double s1) {
        pieces_.push_back({toPaint(L.basex + s0 * dx - tk * dy, L.basey + s0 * dy + tk * dx),
                           toPaint(L.basex + s1 * dx - tk * dy, L.basey + s1 * dy + tk * dx)});
        ++segments_;
        if (pieces_.size() >= kBatch) flush(draw);
      };
      for (std::size_t j = 0; j + 1 < crossings_.size() && done; j += 2) {
        const double sa = std::max(crossings_[j], svlo), sb = std::min(crossings_[j + 1], svhi);
        if (!(sa < sb)) continue;
        if (solid) {
          piece(sa, sb);
          continue;
        }
        // The dashes from where the line's own base point lands: the base
        // point moved by the offset as many times as the line is on.
        double at = k * shift + std::floor((sa - k * shift) / period) * period;
        if (!(at + period > at)) {  // beyond what the numbers can step
          piece(sa, sb);
          continue;
        }
        for (std::size_t m = 0; at <= sb; m = m + 1 == dashes.size() ? 0 : m + 1) {
          const double dash = dashes[m], end = at + std::abs(dash);
          if (dash > 0 && std::min(end, sb) > std::max(at, sa)) {
            piece(std::max(at, sa), std::min(end, sb));
          } else if (dash == 0 && at >= sa) {
            dots_.push_back(toPaint(L.basex + at * dx - tk * dy, L.basey + at * dy + tk * dx));
            ++segments_;
          }
          at = end;
          if (++work_ > kMaxWork) {
            done = false;
            break;
          }
        }
      }
      if (work_ > kMaxWork || segments_ > kMaxSegments) done = false;
      if (dots_.size() >= kBatch) flush(draw);
    }
    if (!done) break;
  }
  if (done) flush(draw);
  pieces_.clear();
  dots_.clear();
  return done;
}

void HatchPattern::flush(const Draw& draw) {
  if (!pieces_.empty() || !dots_.empty()) draw(pieces_, dots_);
  pieces_.clear();
  dots_.clear();
}

}  // namespace vestrel
