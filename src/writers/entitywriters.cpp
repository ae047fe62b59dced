#include "writers/entitywriters.h"

#include <cmath>
#include <numbers>

#include "geometry/arc3.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {

constexpr double kPi = std::numbers::pi;

bool Newer(const Session& s) { return s.drawing.cadver > 1009; }

// The common frame: type, owner lines, layer, subclass, handle.
CodeLines Frame(Session& s, std::string_view type, std::string_view subclass) {
  CodeLines c;
  c.add("  0", type);
  if (Newer(s)) c.add("100", std::string_view("AcDbEntity"));
  AddToLayout(s, c, false);
  c.add("  8", std::string_view(NewObjectLayer(s.drawing)));
  if (Newer(s)) c.add("100", subclass);
  c.addHandle(s.drawing);
  return c;
}

void Point(CodeLines& c, const char* x, const char* y, const char* z, Point3 p) {
  c.add(x, p.x);
  c.add(y, p.y);
  c.add(z, p.z);
}

bool Insert(Session& s, const CodeLines& c) {
  const bool ok = InsertCode(s, c);
  ReparseAndRepaint(s);
  return ok;
}

double Distance(Point3 a, Point3 b) { return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z)); }

// The centre, radius and angles of an arc as its writer writes them.
bool WriteArc(Session& s, const Arc3& arc) {
  CodeLines c = Frame(s, "ARC", "AcDbCircle");
  c.add("  10", arc.arcmx);
  c.add("  20", arc.arcmy);
  c.add("  30", 0.0);
  c.add("  40", arc.arcradius);
  if (Newer(s)) c.add("100", std::string_view("AcDbArc"));
  double start = arc.arcwinkel1 * 180 / kPi, end = arc.arcwinkel2 * 180 / kPi;
  while (start < 0 || end < 0) start += 360, end += 360;
  c.add("  50", start);
  c.add("  51", end);
  return Insert(s, c);
}

}  // namespace

LineKind LineKindOf(int arcmode) {
  return arcmode == 2 ? LineKind::Ray : arcmode == 1 ? LineKind::XLine : LineKind::Line;
}

bool AddLine(Session& s, LineKind kind, Point3 p1, Point3 p2) {
  CodeLines c = kind == LineKind::Ray     ? Frame(s, "RAY", "AcDbRay")
                : kind == LineKind::XLine ? Frame(s, "XLINE", "AcDbXline")
                                          : Frame(s, "LINE", "AcDbLine");
  Point(c, "  10", "  20", "  30", p1);
  if (kind == LineKind::Line)
    Point(c, "  11", "  21", "  31", p2);
  else
    Point(c, "  11", "  21", "  31", {p2.x - p1.x, p2.y - p1.y, p2.z - p1.z});
  return Insert(s, c);
}

bool AddSolid(Session& s, Point3 p1, Point3 p2, Point3 p3, Point3 p4) {
  CodeLines c = Frame(s, "SOLID", "AcDbTrace");
  Point(c, "  10", "  20", "  30", p1);
  Point(c, "  11", "  21", "  31", p2);
  Point(c, "  12", "  22", "  32", p4);
  Point(c, "  13", "  23", "  33", p3);
  return Insert(s, c);
}

bool AddPoint(Session& s, Point3 p) {
  CodeLines c = Frame(s, "POINT", "AcDbPoint");
  Point(c, "  10", "  20", "  30", p);
  return Insert(s, c);
}

bool AddCircle(Session& s, int arcmode, Point3 p1, Point3 p2) {
  double r = Distance(p1, p2);
  if (arcmode == 2) r /= 2;
  CodeLines c = Frame(s, "CIRCLE", "AcDbCircle");
  Point(c, "  10", "  20", "  30", p1);
  c.add("  40", r);
  return Insert(s, c);
}

bool AddCircleDurch3Punkte(Session& s, Point3 p1, Point3 p2, Point3 p3) {
  Arc3 arc;
  if (!ArcDurch3Punkte(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, arc)) return false;
  CodeLines c = Frame(s, "CIRCLE", "AcDbCircle");
  c.add("  10", arc.arcmx);
  c.add("  20", arc.arcmy);
  c.add("  30", 0.0);
  c.add("  40", arc.arcradius);
  return Insert(s, c);
}

bool AddArc(Session& s, int arcmode, Point3 p1, Point3 p2, Point3 p3) {
  Arc3 arc;
  switch (arcmode) {
    case 0:
      if (!ArcDurch3Punkte(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, arc)) return false;
      break;
    case 3:
      if (!ArcDurch3Punkte(p1.x, p1.y, p3.x, p3.y, p2.x, p2.y, arc)) return false;
      break;
    case 1:
      arc.arcmx = p1.x, arc.arcmy = p1.y;
      arc.arcwinkel1 = std::atan2(p2.y - p1.y, p2.x - p1.x);
      arc.arcwinkel2 = std::atan2(p3.y - p1.y, p3.x - p1.x);
      arc.arcradius = std::sqrt((p1.x - p2.x) * (p1.x - p2.x) + (p1.y - p2.y) * (p1.y - p2.y));
      break;
    default: return false;
  }
  return WriteArc(s, arc);
}

bool AddEllipse(Session& s, int arcmode, Point3 p1, Point3 p2, Point3 p3, double ellipsewinkel1,
                double ellipsewinkel2) {
  const Point3 c0 = arcmode == 2 || arcmode == 3 ? p1 : Point3{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2, (p1.z + p2.z) / 2};
  const double major = Distance(c0, p2);
  CodeLines c = Frame(s, "ELLIPSE", "AcDbEllipse");
  Point(c, "  10", "  20", "  30", c0);
  Point(c, "  11", "  21", "  31", {p2.x - c0.x, p2.y - c0.y, p2.z - c0.z});
  if (major == 0)
    c.add("  40", std::string_view("1"));
  else
    c.add("  40", Distance(c0, p3) / major);
  if (arcmode == 1 || arcmode == 3) {
    c.add("  41", ellipsewinkel1);
    c.add("  42", ellipsewinkel2);
  }
  return Insert(s, c);
}

bool AddPolyLine(Session& s, const std::vector<Tmypoi>& polyline0, bool closed) {
  Drawing& d = s.drawing;
  const bool old = d.cadver < 1010;
  const std::string layer = NewObjectLayer(d);
  CodeLines c;
  c.add("  0", std::string_view(old ? "POLYLINE" : "LWPOLYLINE"));
  if (!old)
    c.add("100", std::string_view("AcDbEntity"));
  else
    c.add(" 66", std::string_view("1"));
  AddToLayout(s, c, false);
  c.add("  8", std::string_view(layer));
  if (!old) {
    c.add("100", std::string_view("AcDbPolyline"));
    c.add(" 90", static_cast<int>(polyline0.size()));
  }
  if (closed) c.add(" 70", std::string_view("1"));
  c.addHandle(d);
  for (const Tmypoi& q : polyline0) {
    if (old) {
      c.add("  0", std::string_view("VERTEX"));
      c.add("  8", std::string_view(layer));
      c.addHandle(d);
    }
    Point(c, "  10", "  20", "  30", {q.x, q.y, q.z});
    if (q.bulge != 0) c.add("  42", -q.bulge);
  }
  if (old) {
    c.add("  0", std::string_view("SEQEND"));
    c.add("  8", std::string_view(layer));
    c.addHandle(d);
  }
  return Insert(s, c);
}

bool AddPolyGon(Session& s, std::vector<Tmypoi>& polyline0, Point3 p1, Point3 p2, double corners) {
  const int n = static_cast<int>(std::nearbyint(corners));
  if (n < 1) return false;
  const double r = std::sqrt((p2.x - p1.x) * (p2.x - p1.x) + (p2.y - p1.y) * (p2.y - p1.y));
  const double t0 = -std::atan2(p2.y - p1.y, p2.x - p1.x);
  polyline0.clear();
  for (int e = 0; e <= n; ++e) {
    const double f = t0 + e * 2 * kPi / n;
    Tmypoi q;
    q.x = p1.x + r * std::sin(f);
    q.y = p1.y + r * std::cos(f);
    q.z = p1.z;
    polyline0.push_back(q);
  }
  return AddPolyLine(s, polyline0, true);
}

}  // namespace vestrel
