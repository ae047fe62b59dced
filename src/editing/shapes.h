// What the edits of the menu "Ändern" read of the objects they work on,
// and how they write what they make of them: in the object's own plane,
// with its properties.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editing/editunits.h"
#include "geometry/path.h"
#include "geometry/placement.h"
#include "writers/insertcode.h"

namespace vestrel {

// A line, arc, circle, ellipse or polyline as read from its groups: its
// path in its own plane (the object coordinate system of `normal`, at
// `elevation`); a line's ends in the world (its path runs in the plan).
struct Shape {
  std::string_view kind;
  Path path;
  std::vector<PolyVertex> vertices;  // a polyline's, as drawn
  Point3 normal{0, 0, 1};
  double elevation = 0;
  bool line = false;
  Point3 a, b;  // a line's ends
  bool finite = true;
  bool joinable = true;  // false for a kind neither join nor explode takes
  bool explodable = false;  // a polyline with a plane
  std::string refused;  // the kind as a refusal names it
};

Shape ReadShape(const Drawing& d, const EditUnit& u);

// The world point of a point of a shape's own plane.
Point3 World(const Shape& s, const Placement& plane, Point2 p);

// How a new entity starts: as a writer starts it, with the layer, colour,
// line type, line weight, line-type scale, visibility and transparency of
// the object `like`.
void StartLike(CodeLines& l, const EditUnit& like, std::string_view type, std::string_view subclass);
// The extrusion groups of `n`, none in the plan.
void AddNormal(CodeLines& l, Point3 n);
// A polyline like `like` through `v` in the plane of `normal`: an
// LWPOLYLINE, in R12 a POLYLINE with its vertices.
void WritePolyline(CodeLines& l, const EditUnit& like, const std::vector<PolyVertex>& v, bool closed, Point3 normal,
                   double elevation);
// An arc like `like` on `arc` (of the plane of `normal`), counter-clockwise
// from the end its sweep makes the first.
void WriteArc(CodeLines& l, const EditUnit& like, const ArcShape& arc, Point3 normal, double elevation);

}  // namespace vestrel
