// The objects the tools of the menu "Ändern" take apart and make: lines,
// arcs, circles, ellipses and 2-D polylines read from their groups into
// paths in their own planes, and written back as new objects that keep
// the properties of what they came from, spliced in as one undo step.
#pragma once

#include <cmath>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "document/numbers.h"
#include "editing/editunits.h"
#include "editing/reshape.h"
#include "geometry/path.h"
#include "geometry/placement.h"
#include "writers/insertcode.h"

namespace vestrel {

inline double Dot(Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double Norm(Point3 a) { return std::sqrt(Dot(a, a)); }

// A value of the drawing as a number: NaN where it is none; as a whole
// number, 0 where it is none or out of range.
double Number(std::string_view v);
int Integer(std::string_view v);
bool FiniteVertex(const PolyVertex& v);

// The groups of an object, pair by pair, after its "0" line to its last:
// f(code, value), or f(line of the code, code, value).
template <class F>
void EachGroup(const Drawing& d, std::int32_t from, std::int32_t to, F&& f) {
  for (std::int32_t k = from + 2; k + 1 <= to; k += 2) {
    if constexpr (std::is_invocable_v<F, int, std::string_view>)
      f(GroupCode(d.value(k)), d.value(k + 1));
    else
      f(k, GroupCode(d.value(k)), d.value(k + 1));
  }
}

// The widths a polyline segment starts and ends with.
struct SegmentWidth {
  double start = 0, end = 0;
};

// A line, arc, circle, ellipse or polyline as read from its groups: its
// path in its own plane (the object coordinate system of `normal`, at
// `elevation`); a line's ends in the world.
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
  bool explodable = false;
  bool polyline = false;  // a 2-D polyline, written as one again
  std::vector<SegmentWidth> widths;  // a polyline's, vertex by vertex
  std::string refused;    // the kind as a refusal names it
};

Shape ReadShape(const Drawing& d, const EditUnit& u);

// The world point of a point of a shape's own plane.
Point3 World(const Shape& s, const Placement& plane, Point2 p);
bool IsPlan(Point3 n);

// Where the new objects of one edit go: their lines, in pieces, and the
// objects they replace.
struct Replacement {
  explicit Replacement(const DocumentContext& c) : lines(c) {}
  CodeLines lines;
  std::vector<std::pair<std::int32_t, std::int32_t>> erase, at;
  std::size_t written = 0;  // lines of the list placed so far

  // What was written since the last place goes in at `line`.
  void place(std::int32_t line) {
    at.emplace_back(line, static_cast<std::int32_t>(lines.lines().size() - written));
    written = lines.lines().size();
  }
};

ReshapeResult Refused(ReshapeResult::Status status, std::string kind = {});

// How a new entity starts: as a writer starts it, with the layer, colour,
// line type, line weight, line-type scale, visibility and transparency of
// the object `like`.
void StartLike(CodeLines& l, const EditUnit& like, std::string_view type, std::string_view subclass);
void AddNormal(CodeLines& l, Point3 n);

// New objects like `like`: a line between world points; an arc, an
// elliptic arc (or whole ellipse) and a polyline in the plane of `normal`
// at `elevation`. R12 drawings get a POLYLINE with its vertices, newer
// ones an LWPOLYLINE; `widths`, one for each vertex, or none for a
// polyline of no width.
void WriteLine(CodeLines& l, const EditUnit& like, Point3 a, Point3 b);
void WriteArc(CodeLines& l, const EditUnit& like, const ArcShape& arc, Point3 normal, double elevation);
void WriteEllipse(CodeLines& l, const EditUnit& like, const Conic& k, Point3 normal, double elevation);
void WritePolyline(CodeLines& l, const EditUnit& like, const std::vector<PolyVertex>& v, bool closed, Point3 normal,
                   double elevation, const std::vector<SegmentWidth>& widths = {});

// Makes the replacement as one step and parses the drawing again.
ReshapeResult Commit(DocumentContext& c, const std::vector<EditUnit>& gone, Replacement& r, int made, int apart);

}  // namespace vestrel
