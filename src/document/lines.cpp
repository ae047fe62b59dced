// The branches of the geometric kinds: lines and their family, old-style
// polylines, arcs and circles, ellipses, solids and points, and wipeouts
// (hatches have a file of their own). Curves are flattened here, once per
// parse.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "document/reader.h"
#include "geometry/anglesteps.h"
#include "geometry/bulge.h"
#include "geometry/placement.h"
#include "geometry/point.h"

namespace vestrel::reader {

namespace {

// Arcs, circles and ellipses whose coordinates and extent reach this far
// keep their outline, to be made finite with the rest of their points.
constexpr double kFar = 1e300;

// Group 70 of polylines: bit 1 closed; bit 32 closed in the second
// direction of a mesh.
bool ClosedFlag(std::int32_t flags) { return (flags & 1) || (flags & 32); }

}  // namespace

// --- LINE, RAY, XLINE, LWPOLYLINE, LEADER --------------------------------------

void Reader::lineGroup(tpoly& p) {
  Tmypoi* last = lastPoint(p);
  switch (group_) {
    case 40:
    case 41: widthGroup(); break;
    case 43:
      if (real(p.thewid)) p.setwidonce = true;
      break;
    case 71: p.arrowhead = value_ == "1"; break;
    case 38: real(o_.elevation); break;
    case 10:
    case 11: vertexWidths(filePoint(p)); break;
    case 20:
    case 21: fileY(last); break;
    case 30:
    case 31: fileZ(last); break;
    case 42: readBulge(p); break;
    case 70:
      if (const auto v = ParseInt(value_)) p.isclosed = ClosedFlag(*v);
      break;
    default: break;
  }
}

void Reader::finishLine(tpoly& p, Kind kind) {
  // A light-weight polyline's vertices lie at its elevation.
  if (kind == Kind::LWPOLYLINE && o_.elevation != 0)
    for (Tmypoi& q : d_.stored(p)) q.z = o_.elevation;
  bulgeArcs(p);
  if (p.anzp < 2 || (kind != Kind::XLINE && kind != Kind::RAY)) return;
  // Construction lines and rays: a base point and a direction, drawn far
  // out along it.
  const auto pts = d_.stored(p);
  Tmypoi& b = pts[0];
  Tmypoi& v = pts[1];
  const double bx = b.x, by = b.y, bz = b.z;
  if (kind == Kind::XLINE) {
    b.x = bx - 10000 * v.x, b.y = by - 10000 * v.y, b.z = bz - 10000 * v.z;
  }
  v.x = bx + 10000 * v.x, v.y = by + 10000 * v.y, v.z = bz + 10000 * v.z;
}

// --- POLYLINE, its VERTEX and SEQEND ----------------------------------------------

void Reader::polylineGroup(tpoly& p) {
  Tmypoi* last = lastPoint(p);
  switch (group_) {
    case 40:
    case 41: widthGroup(); return;
    case 43:
      if (real(p.thewid)) p.setwidonce = true;
      return;
    case 70:
      // Only the polyline's own flags say whether it is closed: a vertex's
      // group 70 holds vertex flags (32 marks every vertex of a 3-D polyline).
      if (o_.inHeader)
        if (const auto v = ParseInt(value_)) {
          p.isclosed = ClosedFlag(*v);
          o_.polylineFlags = *v;
        }
      return;
    case 30:
      if (o_.inHeader) real(o_.elevation);  // a 2-D polyline's elevation
      break;
    default: break;
  }
  if (!o_.inVertex) return;  // the header's own 10/20/30 is no vertex
  switch (group_) {
    case 10: vertexWidths(filePoint(p)); break;
    case 20: fileY(last); break;
    case 30: fileZ(last); break;
    case 42: readBulge(p); break;
    default: break;
  }
}

void Reader::widthGroup() {
  double w;
  if (!real(w)) return;
  currentWidth_ = w;
  if (group_ == 40) startWidth_ = w;
  o_.widthSeen = true;
}

void Reader::vertexWidths(Tmypoi* q) const {
  if (!q) return;
  q->setwid = o_.widthSeen;
  q->startwid = static_cast<float>(startWidth_);
  q->wid = static_cast<float>(currentWidth_);
}

// --- bulge arcs --------------------------------------------------------------------

void Reader::readBulge(tpoly& p) {
  double b;
  if (p.anzp == 0 || !real(b)) return;
  const auto last = static_cast<std::size_t>(p.anzp - 1);
  if (bulges_.size() <= last) bulges_.resize(last + 1, 0.0);
  bulges_[last] = b;
}

// Every segment with a bulge becomes its arc: as many points between its
// ends as the arc's sweep needs; the arc's centre becomes a snap point.
void Reader::bulgeArcs(tpoly& p) {
  if (p.anzp == 0) return;
  if (p.isclosed) {
    Tmypoi first = d_.stored(p).front();
    first.donotdraw = false;
    addPoint(p) = first;
  }
  if (bulges_.empty()) return;
  // The new outline is built behind the vertices, then moved down over
  // them: no second copy of a long outline.
  const std::size_t from = p.psfrom, count = static_cast<std::size_t>(p.anzp);
  auto bulge = [&](std::size_t i) { return i < bulges_.size() ? bulges_[i] : 0.0; };
  std::size_t centres = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Tmypoi P = d_.points[from + i];
    d_.points.push_back(P);
    if (i + 1 == count) break;
    const Tmypoi Q = d_.points[from + i + 1];
    const auto arc = BulgeArcOf(P.x, P.y, Q.x, Q.y, bulge(i));
    if (!arc) continue;
    // The arc's pieces share its widths, from its start width to its end
    // width.
    const int n = ArcSegments(arc->aQ - arc->aP);
    auto width = [&](int k) { return Q.startwid + (Q.wid - Q.startwid) * static_cast<float>(k) / n; };
    int k = 0;
    EachInnerArcPoint(*arc, [&](double x, double y) {
      ++k;
      Tmypoi& q = d_.points.emplace_back();
      q.x = x, q.y = y, q.z = P.z;
      q.setwid = Q.setwid;
      q.startwid = width(k - 1);
      q.wid = width(k);
    });
    d_.points[from + i + 1].startwid = width(n - 1);
    addSnap(p, arc->cx, arc->cy, 0);
    ++centres;
  }
  // The centres go in from the last segment to the first.
  std::reverse(d_.snaps.end() - static_cast<std::ptrdiff_t>(centres), d_.snaps.end());
  const std::size_t outline = d_.points.size() - from - count;
  std::memmove(static_cast<void*>(d_.points.data() + from), d_.points.data() + from + count, outline * sizeof(Tmypoi));
  d_.points.resize(from + outline);
  p.anzp = static_cast<std::int32_t>(outline);
}

// --- ARC and CIRCLE ------------------------------------------------------------------

void Reader::arcGroup(tpoly& p) {
  switch (group_) {
    case 10:
      if (real(o_.cx)) {
        o_.line10 = valueLine();
        p.cx = o_.cx;
        addSnap(p, o_.cx, 0, 0);
      }
      break;
    case 20:
      if (real(o_.cy)) {
        o_.line20 = valueLine();
        p.cy = o_.cy;
        if (p.anzs > 0) d_.snaps.back().y = o_.cy;
      }
      break;
    case 30:
      if (real(o_.cz)) {
        o_.line30 = valueLine();
        p.cz = o_.cz;
        if (p.anzs > 0) d_.snaps.back().z = o_.cz;
      }
      break;
    case 40:
      if (real(p.radius)) p.radiuslinenr = valueLine();
      break;
    case 50:
      if (real(o_.start)) p.winkel1linenr = valueLine();
      break;
    case 51:
      if (real(o_.end)) p.winkel2linenr = valueLine();
      break;
    default: break;
  }
}

void Reader::finishArc(tpoly& p, Kind kind) {
  const double r = p.radius;
  Tmypoi& centre = addPoint(p);
  centre.x = o_.cx, centre.y = o_.cy, centre.z = o_.cz;
  centre.linex = o_.line10, centre.liney = o_.line20, centre.linez = o_.line30;
  centre.donotdraw = true;
  double start = 0, end = 0;
  if (kind == Kind::ARC) {
    start = o_.start, end = o_.end;
    for (const auto& [angle, line] : {std::pair{start, p.winkel1linenr}, std::pair{end, p.winkel2linenr}}) {
      Tmypoi& g = addPoint(p);
      g.x = o_.cx + r * std::cos(angle * kPi / 180);
      g.y = o_.cy + r * std::sin(angle * kPi / 180);
      g.z = o_.cz;
      g.mode = 3;
      g.donotdraw = true;
      g.linex = line;
    }
  }
  if (end <= start) end += 360;
  p.arcfrom = start, p.arcto = end;
  auto near = [&](double c) { return std::isfinite(c) && std::abs(c) + std::abs(r) < kFar; };
  addOutline(p, inPlan(kind) && std::isfinite(r) && std::isfinite(start) && std::isfinite(end) && near(p.cx) &&
                    near(p.cy) && std::isfinite(p.cz));
}

void Reader::addOutline(tpoly& p, bool made) {
  const EllipseData& e = d_.ellipse(p);
  const int n = OutlinePoints(p, e);
  p.anzp += n;
  // In the plan, and where every point it makes is a finite number, the
  // outline is made whenever it is asked for: the entry says all of it,
  // and in a drawing of many arcs, circles and ellipses their outlines
  // would be most of its points. Anything else keeps its outline here, to
  // be turned into the world and made finite with the rest.
  if (made) {
    p.outline = static_cast<std::uint8_t>(n);
    return;
  }
  d_.points.resize(d_.points.size() + static_cast<std::size_t>(n));
  MakeOutline(p, e, d_.points.data() + d_.points.size() - n);
}

}  // namespace vestrel::reader

namespace vestrel {

int OutlinePoints(const tpoly& p, const EllipseData& e) {
  if (p.kind == Kind::ELLIPSE) return ArcSegments(e.end - e.start) + 1;
  const double sweep = (p.arcto - p.arcfrom) * kPi / 180;
  return (p.kind == Kind::CIRCLE ? ArcSegments(2 * kPi) : (ArcSegments(sweep) + 1) / 2 * 2) + 1;
}

void MakeOutline(const tpoly& p, const EllipseData& e, Tmypoi* out) {
  const int n = OutlinePoints(p, e) - 1;
  if (p.kind == Kind::ELLIPSE) {
    AngleSteps t(e.start, (e.end - e.start) / n);
    for (int k = 0; k <= n; ++k, t.next()) {
      Tmypoi& q = *new (out + k) Tmypoi;
      const Point3 w = e.at(t.cos(), t.sin());
      q.x = w.x, q.y = w.y, q.z = w.z;
    }
    return;
  }
  // A circle in as many pieces as a full turn needs, a multiple of four; an
  // arc in an even number, so that its middle is a vertex.
  const double sweep = (p.arcto - p.arcfrom) * kPi / 180;
  AngleSteps a(p.arcfrom * kPi / 180, sweep / n);
  for (int k = 0; k <= n; ++k, a.next()) {
    Tmypoi& q = *new (out + k) Tmypoi;
    q.x = p.cx + p.radius * a.cos();
    q.y = p.cy + p.radius * a.sin();
    q.z = p.cz;
    // Radius grips: the arc's middle, the circle's quadrants.
    if (p.kind == Kind::ARC ? k == n / 2 : k % (n / 4) == 0 && k < n) {
      q.linex = p.radiuslinenr;
      q.mode = 1;
    }
  }
}

}  // namespace vestrel

namespace vestrel::reader {

// --- ELLIPSE ---------------------------------------------------------------------------

void Reader::ellipseGroup(tpoly& p) {
  switch (group_) {
    case 10:
    case 20:
    case 30: arcGroup(p); break;
    case 11:
      if (real(o_.ax)) o_.line11 = valueLine();
      break;
    case 21:
      if (real(o_.ay)) o_.line21 = valueLine();
      break;
    case 31:
      if (real(o_.az)) o_.line31 = valueLine();
      break;
    case 40:
      if (real(p.radius)) p.radiuslinenr = valueLine();
      break;
    case 41:
      if (real(o_.start)) p.winkel1linenr = valueLine();
      break;
    case 42:
      if (real(o_.end)) p.winkel2linenr = valueLine();
      break;
    default: extrusion(p); break;
  }
}

void Reader::finishEllipse(tpoly& p) {
  double start = o_.start, end = o_.end;
  if (end <= start) end += 2 * kPi;
  const double a = std::hypot(o_.ax, o_.ay, o_.az);
  p.radius1 = a;
  // Centre and major axis are in the world; the minor axis is the major
  // one turned a quarter about the extrusion (seen from below, the other
  // way) and shortened by the ratio.
  const Point3 major{o_.ax, o_.ay, o_.az};
  const Point3 z = ObjectCoordinates(o_.normal).linear({0, 0, 1});
  const Point3 across{(z.y * major.z - z.z * major.y) * p.radius, (z.z * major.x - z.x * major.z) * p.radius,
                      (z.x * major.y - z.y * major.x) * p.radius};
  p.extra = static_cast<std::int32_t>(d_.ellipses.size());
  p.extrakind = ExtraKind::Ellipse;
  const EllipseData& e = d_.ellipses.emplace_back(EllipseData{{o_.cx, o_.cy, o_.cz}, major, across, start, end});
  Tmypoi& centre = addPoint(p);
  centre.x = o_.cx, centre.y = o_.cy, centre.z = o_.cz;
  centre.linex = o_.line10, centre.liney = o_.line20, centre.linez = o_.line30;
  centre.donotdraw = true;
  Tmypoi& axis = addPoint(p);
  axis.x = o_.cx + o_.ax, axis.y = o_.cy + o_.ay, axis.z = o_.cz + o_.az;
  axis.linex = o_.line11, axis.liney = o_.line21, axis.linez = o_.line31;
  axis.donotdraw = true;
  Tmypoi& minor = addPoint(p);
  const Point3 m = e.at(0, 1);
  minor.x = m.x, minor.y = m.y, minor.z = m.z;
  minor.mode = 2;
  minor.linex = p.radiuslinenr;
  minor.donotdraw = true;
  // Each coordinate of the centre with the axes' that add to it.
  auto near = [](double c, double u, double v) {
    return std::isfinite(c) && std::isfinite(u) && std::isfinite(v) && std::abs(c) + std::abs(u) + std::abs(v) < kFar;
  };
  addOutline(p, std::isfinite(start) && std::isfinite(end) && near(e.centre.x, major.x, across.x) &&
                    near(e.centre.y, major.y, across.y) && near(e.centre.z, major.z, across.z));
}

// --- SOLID and POINT ----------------------------------------------------------------------

void Reader::solidGroup(tpoly& p) {
  Tmypoi* last = lastPoint(p);
  switch (group_) {
    case 10:
    case 11:
    case 12:
    case 13: filePoint(p); break;
    case 20:
    case 21:
    case 22:
    case 23: fileY(last); break;
    case 30:
    case 31:
    case 32:
    case 33: fileZ(last); break;
    default: break;
  }
}

// The file lists a solid's corners in the order 1, 2, 4, 3 of its outline.
void Reader::finishSolid(tpoly& p) {
  if (p.anzp <= 3) return;
  const auto pts = d_.stored(p);
  Tmypoi& a = pts[pts.size() - 2];
  Tmypoi& b = pts[pts.size() - 1];
  std::swap(a.x, b.x);
  std::swap(a.y, b.y);
  std::swap(a.z, b.z);
}

// --- WIPEOUT ---------------------------------------------------------------------------------

void Reader::wipeoutGroup(tpoly& p) {
  Tmypoi* last = lastPoint(p);
  switch (group_) {
    case 10: real(o_.cx); break;
    case 20: real(o_.cy); break;
    case 30: real(o_.cz); break;
    case 11: real(o_.ax); break;
    case 21: real(o_.ay); break;
    case 31: real(o_.az); break;
    case 12: real(o_.vx); break;
    case 22: real(o_.vy); break;
    case 32: real(o_.vz); break;
    case 14: filePoint(p); break;
    case 24: fileY(last); break;
    default: break;
  }
}

// The clip boundary is given in the image's own units: map it through the
// insertion point and the u and v vectors.
void Reader::finishWipeout(tpoly& p) {
  for (Tmypoi& q : d_.stored(p)) {
    const double px = q.x, py = q.y;
    q.x = px * o_.ax - py * o_.vx + o_.cx + o_.ax / 2 + o_.vx / 2;
    q.y = px * o_.ay - py * o_.vy + o_.cy + o_.ay / 2 + o_.vy / 2;
  }
}

}  // namespace vestrel::reader
