// Object snaps: the points of the objects near the pointer that a click
// can take exactly - ends, midpoints, centres, quadrants, crossings, feet
// of perpendiculars, tangent points, the nearest point on an object and
// insertion points - computed from each object's geometry in the world,
// inside block references too, and only for what is drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "document/spatialindex.h"
#include "document/tabscope.h"
#include "editing/splineobject.h"
#include "geometry/curves.h"
#include "geometry/placement.h"
#include "geometry/spline.h"
#include "view/blocks.h"

namespace vestrel {

// The arc, circle or ellipse of entry p (none for another kind), placed
// by pl.
std::optional<Conic> ConicOf(const Drawing& d, const tpoly& p, const Placement& pl);
// The bulge of polyline vertex v of entry p (0 without one).
double VertexBulge(const Drawing& d, const tpoly& p, const Tmypoi& v);

// The kinds of snap, in the order that decides between candidates at the
// same distance.
enum class SnapKind : std::uint8_t {
  Endpoint,       // ends of lines, arcs, elliptic arcs, splines; polyline vertices; solid corners
  Midpoint,       // of lines, polyline segments (straight and bulged), arcs
  Centre,         // of circles, arcs, ellipses, bulge arcs
  Quadrant,       // the 0, 90, 180 and 270 degree points of circles, arcs and ellipses
  Intersection,   // where two objects cross
  Perpendicular,  // the foot of the perpendicular from the last fixed point
  Tangent,        // where a line from the last fixed point touches a circle or arc
  Nearest,        // the nearest point on an object
  Base,           // insertion points of references and texts; points
};
inline constexpr int kSnapKinds = 9;

// The kinds switched on, one bit each (bit k for SnapKind k).
using SnapModes = std::uint16_t;
constexpr SnapModes SnapBit(SnapKind k) { return static_cast<SnapModes>(1u << static_cast<int>(k)); }
inline constexpr SnapModes kAllSnaps = (1u << kSnapKinds) - 1;

struct SnapQuery {
  Point2 pointer;           // in the world
  double aperture = 0;      // the catch radius, in world units
  SnapModes modes = 0;
  std::optional<Point2> from;  // the last fixed point, when there is one
};

struct SnapHit {
  Point2 point;
  SnapKind kind = SnapKind::Endpoint;
  double distance = 0;  // from the pointer
};

// Finds snap points for the mouse moves over one tab. It keeps what it
// learns about the drawing's block references from one move to the next,
// until the drawing is parsed again or another tab is shown.
class ObjectSnap {
 public:
  // The closest candidate of the kinds switched on within the aperture;
  // on equal distances the earlier kind. `index` must be current for `d`.
  std::optional<SnapHit> find(const Drawing& d, const SpatialIndex& index, const TabScope& scope, int tab,
                              const SnapQuery& q);

 private:
  void prepare(const Drawing& d, const TabScope& scope, int tab);

  const Drawing* drawing_ = nullptr;
  std::uint64_t generation_ = 0;
  int tab_ = -1;
  std::unique_ptr<Blocks> blocks_;
  // The references the tab shows and the box of what each draws, in the
  // world.
  std::vector<std::pair<WorldBox, std::size_t>> references_;
};

}  // namespace vestrel
