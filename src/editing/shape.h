// Lines, arcs and polylines as the editing tools of the menu "Ändern" read
// them from their groups, and how the objects they make start.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editing/editunits.h"
#include "geometry/path.h"
#include "writers/insertcode.h"

namespace vestrel {

// A line, arc or polyline as read from its groups: its path in its own
// plane (the object coordinate system of `normal`, at `elevation`); a
// line's ends in the world.
struct Shape {
  std::string_view kind;
  Path path;
  std::vector<PolyVertex> vertices;  // a polyline's, as drawn
  Point3 normal{0, 0, 1};
  double elevation = 0;
  bool line = false;
  Point3 a, b;  // a line's ends
  bool finite = true;
  bool joinable = true;  // false for a kind neither tool takes
  bool explodable = false;
  std::string refused;  // the kind as a refusal names it
};

Shape ReadShape(const Drawing& d, const EditUnit& u);

// How a new entity starts: as a writer starts it, with the layer, colour,
// line type, line weight, line-type scale, visibility and transparency of
// the object `like`.
void StartLike(CodeLines& l, const EditUnit& like, std::string_view type, std::string_view subclass);
// The extrusion groups of a plane other than the plan's.
void AddNormal(CodeLines& l, Point3 n);

}  // namespace vestrel
