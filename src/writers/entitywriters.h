// The writers of the entities the drawing tools make: each adds the lines
// of one new entity in the drawing's version to a list (see CodeLines).
#pragma once

#include <string_view>
#include <vector>

#include "document/records.h"
#include "geometry/point.h"
#include "writers/insertcode.h"

namespace vestrel {

// How every new entity starts, in the order other programs look for it: its
// type, a new handle, the owner of the tab that is shown, in newer drawings
// "100" "AcDbEntity", the paper-space flag, its layer (and the line type,
// colour and weight new objects take where not "by layer") and, in newer
// drawings, its own subclass marker `subclass`.
void EntityStart(CodeLines& l, std::string_view type, std::string_view subclass);

enum class LineKind { Line, Ray, XLine };
// The line tool's variant: 1 construction line, 2 ray, else a line.
LineKind LineKindOf(int arcmode);

// A line from p1 to p2; a ray or construction line from p1 in the
// direction of p2 (the vector p2 - p1, as it is).
InsertResult AddLine(CodeLines& l, LineKind kind, Point3 p1, Point3 p2);
// A filled area; the file order of its corners is 1, 2, 4, 3.
InsertResult AddSolid(CodeLines& l, Point3 p1, Point3 p2, Point3 p3, Point3 p4);
InsertResult AddPoint(CodeLines& l, Point3 p);
// Centre p1 through p2; with `arcmode` 2 (centre and diameter) half as large.
InsertResult AddCircle(CodeLines& l, int arcmode, Point3 p1, Point3 p2);
InsertResult AddCircleDurch3Punkte(CodeLines& l, Point3 p1, Point3 p2, Point3 p3);
// `arcmode` 0: start, a point on the arc, end; 3: start, end, a point on
// the arc; 1: centre, start, end (counter-clockwise; the end only gives a
// direction).
InsertResult AddArc(CodeLines& l, int arcmode, Point3 p1, Point3 p2, Point3 p3);
// `arcmode` 0/1: by the ends of the major axis p1, p2; 2/3: by the centre
// p1 and the end p2; p3 fixes the minor axis. 1 and 3 are arcs from
// `ellipsewinkel1` to `ellipsewinkel2` (radians).
InsertResult AddEllipse(CodeLines& l, int arcmode, Point3 p1, Point3 p2, Point3 p3, double ellipsewinkel1,
                double ellipsewinkel2);
// The points of `polyline0`; their bulges are measured with y pointing
// down (the negative of the drawing's).
InsertResult AddPolyLine(CodeLines& l, const std::vector<PolyVertex>& polyline0, bool closed);
// A regular polygon with centre p1 through p2, a closed polyline: its
// first corner is p2 turned a quarter counter-clockwise about p1, the
// others follow clockwise, and the last repeats the first.
InsertResult AddPolyGon(CodeLines& l, Point3 p1, Point3 p2, double corners);

}  // namespace vestrel
