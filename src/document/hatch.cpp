#include "document/hatch.h"

#include <algorithm>
#include <cmath>

#include "geometry/anglesteps.h"
#include "geometry/bulge.h"
#include "geometry/spline.h"

namespace vestrel::reader {

namespace {

// Whether two points of a boundary are the same point, but for the last
// digits of their numbers.
bool Meets(double ax, double ay, double bx, double by) {
  const double tolerance = 1e-9 * std::max({1.0, std::abs(ax), std::abs(ay)});
  return std::abs(ax - bx) <= tolerance && std::abs(ay - by) <= tolerance;
}

// The sweep of an arc from `start` to `end` degrees counter-clockwise:
// more than 0, at most a full turn.
double SweepDegrees(double start, double end) {
  const double sweep = std::fmod(end - start, 360.0);
  if (!std::isfinite(sweep)) return 360;
  return sweep > 0 ? sweep : sweep + 360;
}

}  // namespace

void HatchReader::begin(tpoly& p) {
  p.extra = static_cast<std::int32_t>(d_.hatches.size());
  p.extrakind = ExtraKind::Hatch;
  h_ = &d_.hatches.emplace_back();
  h_->linefrom = static_cast<std::uint32_t>(d_.hatchlines.size());
  part_ = Part::Header;
  inPath_ = false;
  firstLoop_ = true;
  solidName_ = solidFlag_ = false;
  gradientColour_ = 0;
  edge_ = Edge::None;
}

void HatchReader::group(tpoly& p, int group, std::string_view value) {
  // The groups that open a part of the hatch, and those read wherever they
  // stand.
  switch (group) {
    case 2: solidName_ = value == "SOLID"; return;
    case 70:
      if (const auto v = ParseInt(value)) solidFlag_ = (*v & 1) != 0;
      return;
    case 91:
      if (part_ == Part::Header) part_ = Part::Paths;
      return;
    case 92:
      if (part_ == Part::Header || part_ == Part::Paths) beginPath(p, ParseInt(value).value_or(0));
      return;
    case 41: case 43: case 44: case 45: case 46: case 47: case 49:
    case 52: case 53: case 75: case 76: case 77: case 78: case 79:
      if (part_ < Part::Pattern) {
        finishPath(p);
        part_ = Part::Pattern;
      }
      break;
    case 98:
      if (part_ < Part::Seeds) {
        finishPath(p);
        part_ = Part::Seeds;
      }
      return;
    case 450: case 451: case 452: case 453: case 460: case 461: case 462: case 463: case 470:
      if (part_ != Part::Gradient) {
        finishPath(p);
        part_ = Part::Gradient;
      }
      if (group == 450) h_->gradient = ParseInt(value).value_or(0) != 0;
      if (group == 463) ++gradientColour_;  // each colour begins with its value
      return;
    default: break;
  }
  switch (part_) {
    case Part::Header:
      // The elevation point: its height is the boundary's.
      if (group == 30)
        if (const auto z = ParseDouble(value)) h_->elevation = *z;
      return;
    case Part::Paths:
      if (!inPath_) return;
      if (const auto v = ParseDouble(value)) polylinePath_ ? polylineGroup(group, *v) : edgeGroup(p, group, *v);
      return;
    case Part::Pattern:
      if (const auto v = ParseDouble(value)) patternGroup(group, *v);
      return;
    case Part::Seeds: return;  // seed points are no part of the outline
    case Part::Gradient:
      // The first colour: its true colour, or its colour number.
      if (gradientColour_ > 1) return;
      if (group == 421 && h_->gradientRgb < 0) {
        if (const auto v = ParseInt(value)) h_->gradientRgb = *v & 0xFFFFFF;
      } else if (group == 63 && h_->gradientAci < 0) {
        if (const auto v = ParseInt(value); v && *v >= 0) h_->gradientAci = *v;
      }
      return;
  }
}

void HatchReader::finish(tpoly& p, Point3 normal) {
  finishPath(p);
  HatchData& h = *h_;
  h.solid = solidFlag_ || solidName_;
  h.nx = normal.x, h.ny = normal.y, h.nz = normal.z;
  h.lines = static_cast<std::int32_t>(d_.hatchlines.size() - h.linefrom);
  for (Tmypoi& q : d_.stored(p)) q.z = h.elevation;
  for (Tmypoi& q : std::span<Tmypoi>(d_.snaps.data() + p.snapfrom, static_cast<std::size_t>(p.anzs))) q.z = h.elevation;
  h_ = nullptr;
}

// --- paths ------------------------------------------------------------------------------------

void HatchReader::beginPath(tpoly& p, std::int32_t flags) {
  finishPath(p);
  part_ = Part::Paths;
  inPath_ = true;
  polylinePath_ = (flags & 2) != 0;
  closed_ = true;
  vertices_.clear();
  edge_ = Edge::None;
  loopFrom_ = d_.points.size();
}

void HatchReader::finishPath(tpoly& p) {
  if (!inPath_) return;
  inPath_ = false;
  if (!polylinePath_) {
    finishEdge(p);
  } else {
    // The vertices, and between them the arcs of their bulges; a closed
    // path's last segment takes its last vertex's bulge.
    const std::size_t n = vertices_.size();
    for (std::size_t i = 0; i < n; ++i) {
      const PolyVertex& P = vertices_[i];
      add(p, P.x, P.y);
      if (i + 1 == n && !closed_) break;
      const PolyVertex& Q = vertices_[(i + 1) % n];
      if (const auto arc = BulgeArcOf(P.x, P.y, Q.x, Q.y, P.bulge)) {
        EachInnerArcPoint(*arc, [&](double x, double y) { add(p, x, y); });
        addSnap(p, arc->cx, arc->cy);
      }
    }
  }
  closeLoop(p);
}

void HatchReader::closeLoop(tpoly& p) {
  const std::size_t n = d_.points.size() - loopFrom_;
  if (n == 0) return;
  // No segment joins this loop to the one before.
  if (!firstLoop_) d_.points[loopFrom_].moveonly = true;
  firstLoop_ = false;
  if (n == 1) return;
  const double x = d_.points[loopFrom_].x, y = d_.points[loopFrom_].y;
  Tmypoi& last = d_.points.back();
  if (Meets(last.x, last.y, x, y))
    last.x = x, last.y = y;
  else
    add(p, x, y);
}

void HatchReader::polylineGroup(int group, double v) {
  switch (group) {
    case 73: closed_ = v != 0; break;
    case 10: vertices_.push_back({v, 0, 0, 0}); break;
    case 20:
      if (!vertices_.empty()) vertices_.back().y = v;
      break;
    case 42:
      if (!vertices_.empty()) vertices_.back().bulge = v;
      break;
    default: break;  // 72 has bulges, 93 the count, 97 the source objects
  }
}

// --- edges ------------------------------------------------------------------------------------

void HatchReader::edgeGroup(tpoly& p, int group, double v) {
  if (group == 72) {
    finishEdge(p);
    edge_ = v == 1 ? Edge::Line : v == 2 ? Edge::Arc : v == 3 ? Edge::Ellipse : v == 4 ? Edge::Spline : Edge::None;
    e_ = EdgeData{};
    controls_.clear(), fits_.clear(), knots_.clear(), weights_.clear();
    return;
  }
  if (edge_ == Edge::Spline) {
    switch (group) {
      case 94: e_.degree = std::isfinite(v) && std::abs(v) < 1e6 ? static_cast<int>(v) : 0; break;
      case 40: knots_.push_back(v); break;
      case 42: weights_.push_back(v); break;
      case 10: controls_.push_back({v, 0, 0}); break;
      case 20:
        if (!controls_.empty()) controls_.back().y = v;
        break;
      case 11: fits_.push_back({v, 0, 0}); break;
      case 21:
        if (!fits_.empty()) fits_.back().y = v;
        break;
      case 12: e_.startTangent = Point3{v, 0, 0}; break;
      case 22:
        if (e_.startTangent) e_.startTangent->y = v;
        break;
      case 13: e_.endTangent = Point3{v, 0, 0}; break;
      case 23:
        if (e_.endTangent) e_.endTangent->y = v;
        break;
      default: break;  // 73 rational and 74 periodic (the weights and knots say it), 95/96/97 counts
    }
    return;
  }
  switch (group) {
    case 10: e_.x1 = v; break;
    case 20: e_.y1 = v; break;
    case 11: e_.x2 = v; break;
    case 21: e_.y2 = v; break;
    case 40: e_.radius = v; break;
    case 50: e_.start = v; break;
    case 51: e_.end = v; break;
    case 73: e_.ccw = v != 0; break;
    default: break;
  }
}

void HatchReader::finishEdge(tpoly& p) {
  edgePoints_.clear();
  switch (edge_) {
    case Edge::None: return;
    case Edge::Line:
      edgePoints_.push_back({e_.x1, e_.y1});
      edgePoints_.push_back({e_.x2, e_.y2});
      break;
    case Edge::Arc: arcEdge(); break;
    case Edge::Ellipse: ellipseEdge(); break;
    case Edge::Spline: splineEdge(); break;
  }
  edge_ = Edge::None;
  appendEdge(p);
}

// Arcs and elliptic arcs keep their angles counter-clockwise; one that runs
// clockwise has them as seen from below (360 minus each, start and end
// exchanged), and runs from its end back to its start.
void HatchReader::arcEdge() {
  const double r = e_.radius;
  if (!(r > 0)) return;
  const double from = e_.ccw ? e_.start : 360 - e_.end;
  const double sweep = SweepDegrees(e_.start, e_.end);
  const BulgeArc arc{e_.x1, e_.y1, r, from * kPi / 180, (from + sweep) * kPi / 180};
  edgePoints_.push_back({arc.cx + r * std::cos(arc.aP), arc.cy + r * std::sin(arc.aP)});
  EachInnerArcPoint(arc, [&](double x, double y) { edgePoints_.push_back({x, y}); });
  edgePoints_.push_back({arc.cx + r * std::cos(arc.aQ), arc.cy + r * std::sin(arc.aQ)});
  if (!e_.ccw) std::reverse(edgePoints_.begin(), edgePoints_.end());
}

void HatchReader::ellipseEdge() {
  // The major axis from the centre, the minor one a quarter turn on from
  // it and shortened by the ratio; the angles are those of the points seen
  // from the centre, not the ellipse's parameters.
  const double ax = e_.x2, ay = e_.y2, ratio = e_.radius;
  if ((ax == 0 && ay == 0) || !(ratio > 0)) return;
  const double bx = -ay * ratio, by = ax * ratio;
  auto parameter = [&](double degrees) {
    const double a = degrees * kPi / 180;
    return std::atan2(std::sin(a) / ratio, std::cos(a));
  };
  const double from = e_.ccw ? e_.start : 360 - e_.end;
  const double sweep = SweepDegrees(e_.start, e_.end);
  const double t0 = parameter(from);
  double dt = 2 * kPi;
  if (sweep < 360) {
    dt = std::fmod(parameter(from + sweep) - t0, 2 * kPi);
    if (dt <= 0) dt += 2 * kPi;
  }
  const int n = ArcSegments(dt);
  AngleSteps t(t0, dt / n);
  for (int k = 0; k <= n; ++k, t.next())
    edgePoints_.push_back({e_.x1 + ax * t.cos() + bx * t.sin(), e_.y1 + ay * t.cos() + by * t.sin()});
  if (!e_.ccw) std::reverse(edgePoints_.begin(), edgePoints_.end());
}

void HatchReader::splineEdge() {
  const Spline s = SplineOfFile(e_.degree, controls_, knots_, weights_, fits_, e_.startTangent, e_.endTangent);
  const std::vector<Point3> curve = FlattenSpline(s);
  // What makes no curve runs through its defining points.
  for (const Point3& q : !curve.empty() ? curve : !controls_.empty() ? controls_ : fits_) edgePoints_.push_back({q.x, q.y});
}

void HatchReader::appendEdge(tpoly& p) {
  if (edgePoints_.empty()) return;
  bool joined = false;
  if (d_.points.size() > loopFrom_) {
    const Tmypoi& last = d_.points.back();
    auto from = [&](Point2 q) { return std::hypot(q.x - last.x, q.y - last.y); };
    if (from(edgePoints_.back()) < from(edgePoints_.front())) std::reverse(edgePoints_.begin(), edgePoints_.end());
    joined = Meets(last.x, last.y, edgePoints_.front().x, edgePoints_.front().y);
  }
  for (std::size_t i = joined ? 1 : 0; i < edgePoints_.size(); ++i) add(p, edgePoints_[i].x, edgePoints_[i].y);
}

// --- pattern ----------------------------------------------------------------------------------

void HatchReader::patternGroup(int group, double v) {
  if (group == 53) {
    HatchLine& l = d_.hatchlines.emplace_back();
    l.angle = v;
    l.dashfrom = static_cast<std::uint32_t>(d_.hatchdashes.size());
    return;
  }
  if (d_.hatchlines.size() == h_->linefrom) return;  // no line of this hatch yet
  HatchLine& l = d_.hatchlines.back();
  switch (group) {
    case 43: l.basex = v; break;
    case 44: l.basey = v; break;
    case 45: l.offsetx = v; break;
    case 46: l.offsety = v; break;
    case 49:
      d_.hatchdashes.push_back(v);
      ++l.dashes;
      break;
    default: break;  // 52 angle and 41 scale (the lines have them already), 75-79, 47
  }
}

// --- points -----------------------------------------------------------------------------------

Tmypoi& HatchReader::add(tpoly& p, double x, double y) {
  ++p.anzp;
  Tmypoi& q = d_.points.emplace_back();
  q.x = x, q.y = y;
  return q;
}

void HatchReader::addSnap(tpoly& p, double x, double y) {
  ++p.anzs;
  Tmypoi& s = d_.snaps.emplace_back();
  s.x = x, s.y = y;
}

}  // namespace vestrel::reader
