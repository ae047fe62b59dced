#include "writers/entitywriters.h"

#include <cmath>

#include "geometry/arc3.h"

namespace vestrel {

namespace {

bool Newer(const CodeLines& l) { return l.drawing().cadver > 1009; }

void Point(CodeLines& l, const char* x, const char* y, const char* z, Point3 p) {
  l.add(x, p.x);
  l.add(y, p.y);
  l.add(z, p.z);
}

double Distance(Point3 a, Point3 b) { return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z)); }

// The centre, radius and angles of an arc as its writer writes them.
InsertResult WriteArc(CodeLines& l, const Arc3& arc) {
  EntityStart(l, "ARC", "AcDbCircle");
  l.add("  10", arc.arcmx);
  l.add("  20", arc.arcmy);
  l.add("  30", 0.0);
  l.add("  40", arc.arcradius);
  if (Newer(l)) l.add("100", std::string_view("AcDbArc"));
  double start = arc.arcwinkel1 * 180 / kPi, end = arc.arcwinkel2 * 180 / kPi;
  while (start < 0 || end < 0) start += 360, end += 360;
  l.add("  50", start);
  l.add("  51", end);
  return InsertResult::Inserted;
}

}  // namespace

void EntityStart(CodeLines& l, std::string_view type, std::string_view subclass) {
  l.add("  0", type);
  l.addHandle();
  const bool paper = AddToLayout(l);
  if (Newer(l)) l.add("100", std::string_view("AcDbEntity"));
  if (paper) l.add(" 67", std::string_view("1"));
  const Drawing& d = l.drawing();
  l.add("  8", std::string_view(NewObjectLayer(d)));
  // A viewport frames what it shows: it takes the layer only.
  if (type != "VIEWPORT") {
    if (const std::string linetype = NewObjectLineType(d); !linetype.empty()) l.add("  6", std::string_view(linetype));
    if (const auto color = NewObjectColor(d)) l.add(" 62", *color);
    if (const auto weight = NewObjectLineWeight(d)) l.add("370", *weight);
  }
  if (Newer(l)) l.add("100", subclass);
}

LineKind LineKindOf(int arcmode) {
  return arcmode == 2 ? LineKind::Ray : arcmode == 1 ? LineKind::XLine : LineKind::Line;
}

InsertResult AddLine(CodeLines& l, LineKind kind, Point3 p1, Point3 p2) {
  // Rays and construction lines keep their direction as a unit vector, as
  // other programs read it: how far apart the two clicks were means nothing.
  const Point3 d{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
  const double length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  if (kind != LineKind::Line && length == 0) return InsertResult::NothingToWrite;
  if (kind == LineKind::Ray)
    EntityStart(l, "RAY", "AcDbRay");
  else if (kind == LineKind::XLine)
    EntityStart(l, "XLINE", "AcDbXline");
  else
    EntityStart(l, "LINE", "AcDbLine");
  Point(l, "  10", "  20", "  30", p1);
  if (kind == LineKind::Line)
    Point(l, "  11", "  21", "  31", p2);
  else
    Point(l, "  11", "  21", "  31", {d.x / length, d.y / length, d.z / length});
  return InsertResult::Inserted;
}

InsertResult AddSolid(CodeLines& l, Point3 p1, Point3 p2, Point3 p3, Point3 p4) {
  EntityStart(l, "SOLID", "AcDbTrace");
  Point(l, "  10", "  20", "  30", p1);
  Point(l, "  11", "  21", "  31", p2);
  Point(l, "  12", "  22", "  32", p4);
  Point(l, "  13", "  23", "  33", p3);
  return InsertResult::Inserted;
}

InsertResult AddPoint(CodeLines& l, Point3 p) {
  EntityStart(l, "POINT", "AcDbPoint");
  Point(l, "  10", "  20", "  30", p);
  return InsertResult::Inserted;
}

InsertResult AddCircle(CodeLines& l, int arcmode, Point3 p1, Point3 p2) {
  double r = Distance(p1, p2);
  if (arcmode == 2) r /= 2;
  EntityStart(l, "CIRCLE", "AcDbCircle");
  Point(l, "  10", "  20", "  30", p1);
  l.add("  40", r);
  return InsertResult::Inserted;
}

InsertResult AddCircleDurch3Punkte(CodeLines& l, Point3 p1, Point3 p2, Point3 p3) {
  Arc3 arc;
  if (!ArcDurch3Punkte(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, arc)) return InsertResult::NothingToWrite;
  EntityStart(l, "CIRCLE", "AcDbCircle");
  l.add("  10", arc.arcmx);
  l.add("  20", arc.arcmy);
  l.add("  30", 0.0);
  l.add("  40", arc.arcradius);
  return InsertResult::Inserted;
}

InsertResult AddArc(CodeLines& l, int arcmode, Point3 p1, Point3 p2, Point3 p3) {
  Arc3 arc;
  switch (arcmode) {
    case 0:
      if (!ArcDurch3Punkte(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, arc)) return InsertResult::NothingToWrite;
      break;
    case 3:
      if (!ArcDurch3Punkte(p1.x, p1.y, p3.x, p3.y, p2.x, p2.y, arc)) return InsertResult::NothingToWrite;
      break;
    case 1:
      arc.arcmx = p1.x, arc.arcmy = p1.y;
      arc.arcwinkel1 = std::atan2(p2.y - p1.y, p2.x - p1.x);
      arc.arcwinkel2 = std::atan2(p3.y - p1.y, p3.x - p1.x);
      arc.arcradius = std::sqrt((p1.x - p2.x) * (p1.x - p2.x) + (p1.y - p2.y) * (p1.y - p2.y));
      break;
    default: return InsertResult::NothingToWrite;
  }
  return WriteArc(l, arc);
}

InsertResult AddEllipse(CodeLines& l, int arcmode, Point3 p1, Point3 p2, Point3 p3, double ellipsewinkel1,
                double ellipsewinkel2) {
  const Point3 c0 = arcmode == 2 || arcmode == 3 ? p1 : Point3{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2, (p1.z + p2.z) / 2};
  const double major = Distance(c0, p2);
  EntityStart(l, "ELLIPSE", "AcDbEllipse");
  Point(l, "  10", "  20", "  30", c0);
  Point(l, "  11", "  21", "  31", {p2.x - c0.x, p2.y - c0.y, p2.z - c0.z});
  if (major == 0)
    l.add("  40", std::string_view("1"));
  else
    l.add("  40", Distance(c0, p3) / major);
  if (arcmode == 1 || arcmode == 3) {
    l.add("  41", ellipsewinkel1);
    l.add("  42", ellipsewinkel2);
  }
  return InsertResult::Inserted;
}

InsertResult AddPolyLine(CodeLines& l, const std::vector<PolyVertex>& polyline0, bool closed) {
  const Drawing& d = l.drawing();
  const bool old = d.cadver < 1010;
  const std::string layer = NewObjectLayer(d);
  EntityStart(l, old ? "POLYLINE" : "LWPOLYLINE", "AcDbPolyline");
  if (old)
    l.add(" 66", std::string_view("1"));
  else
    l.add(" 90", static_cast<int>(polyline0.size()));
  if (closed) l.add(" 70", std::string_view("1"));
  for (const PolyVertex& q : polyline0) {
    if (old) {
      l.add("  0", std::string_view("VERTEX"));
      l.addHandle();
      l.add("  8", std::string_view(layer));
    }
    Point(l, "  10", "  20", "  30", {q.x, q.y, q.z});
    if (q.bulge != 0) l.add("  42", -q.bulge);
  }
  if (old) {
    l.add("  0", std::string_view("SEQEND"));
    l.addHandle();
    l.add("  8", std::string_view(layer));
  }
  return InsertResult::Inserted;
}

InsertResult AddPolyGon(CodeLines& l, Point3 p1, Point3 p2, double corners) {
  const int n = static_cast<int>(std::nearbyint(corners));
  if (n < 1) return InsertResult::NothingToWrite;
  const double r = std::sqrt((p2.x - p1.x) * (p2.x - p1.x) + (p2.y - p1.y) * (p2.y - p1.y));
  const double t0 = -std::atan2(p2.y - p1.y, p2.x - p1.x);
  std::vector<PolyVertex> polyline0;
  for (int e = 0; e <= n; ++e) {
    const double f = t0 + e * 2 * kPi / n;
    PolyVertex q;
    q.x = p1.x + r * std::sin(f);
    q.y = p1.y + r * std::cos(f);
    q.z = p1.z;
    polyline0.push_back(q);
  }
  return AddPolyLine(l, polyline0, true);
}

}  // namespace vestrel
