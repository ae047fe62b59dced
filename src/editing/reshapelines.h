// How the operations of the menu "Ändern" write their new entities
// (reshape.cpp): started as a writer starts one, with the properties of
// the object they come from, and polylines by the version's rules.
#pragma once

#include <string_view>
#include <vector>

#include "editing/editunits.h"
#include "geometry/point.h"
#include "writers/insertcode.h"

namespace vestrel {

// "0" and `type`, a new handle, the owner, and the layer, colour, line
// type, line weight, line-type scale, visibility and transparency of the
// object `like`; then the `subclass` marker where the version has them.
void StartLike(CodeLines& l, const EditUnit& like, std::string_view type, std::string_view subclass);

// The extrusion `n`, unless it is the plan's.
void AddNormal(CodeLines& l, Point3 n);

// A polyline of the vertices `v` in the plane of `normal` at `elevation`,
// like `like`: an LWPOLYLINE, or in R12 a POLYLINE with its vertices.
void WritePolyline(CodeLines& l, const EditUnit& like, const std::vector<PolyVertex>& v, bool closed, Point3 normal,
                   double elevation);

}  // namespace vestrel
