// The edit map of arcs, elliptic arcs and polylines: the kinds whose steps
// go beyond what the grammar says of each group.
#include "editing/mapper.h"

namespace vestrel::objectmap {

void Mapper::arc() {
  const PlaneMap pm = plane();
  groups(*grammar_, plane_.planar, pm);
  const int r = find(40);
  arcEnds(50, 51, pm, 360, r >= 0 ? pairs_[static_cast<std::size_t>(r)].line : end_);
  setNormal(pm);
}

void Mapper::ellipse() {
  const PlaneMap pm = plane();
  groups(*grammar_, plane_.planar, pm);
  // The parameters run about the extrusion; a mirror runs them back.
  if (pm.reflects) arcEnds(41, 42, pm, 2 * kPi, end_);
  setNormal(pm);
}

void Mapper::lwpolyline() {
  const PlaneMap pm = plane();
  int first10 = -1;
  groups(*grammar_, plane_.planar, pm, [&](std::size_t i, int g) {
    if (g == 10 && first10 < 0) first10 = static_cast<int>(i);
    return false;
  });
  // Its elevation, written when the map moves its plane off the origin.
  if (find(38) < 0) {
    const double e = pm.point({0, 0, 0}).z;
    const std::int32_t before = first10 >= 0 ? pairs_[static_cast<std::size_t>(first10)].line - 1 : end_ + 1;
    if (e != 0) add(before, {{38, e}});
  }
  setNormal(pm);
}

void Mapper::polylineHeader() {
  polyline_ = true;
  // A 3-D polyline, a mesh and a polyface mesh have their vertices in the
  // world; the header's own groups are lengths there.
  polyline3d_ = !plane_.planar;
  std::int32_t flags = 0;  // the last group 70 of the header, as the reader takes it
  for (const Pair& p : pairs_)
    if (p.group == 70)
      if (const auto v = ParseInt(p.value)) flags = *v;
  polyface_ = (flags & 64) != 0;
  polylinePlane_ = plane();
  groups(*grammar_, plane_.planar, polylinePlane_, [&](std::size_t, int g) { return g == 30 && polyline3d_; });
  if (!polyline3d_ && find(30) < 0) {
    const double e = polylinePlane_.point({0, 0, 0}).z;
    if (e != 0) add(end_ + 1, {{10, 0}, {20, 0}, {30, e}});
  }
  if (!polyline3d_) setNormal(polylinePlane_);
}

void Mapper::vertex() {
  if (!polyline_) return;
  const int f = find(70);
  const auto flags = f >= 0 ? ParseInt(pairs_[static_cast<std::size_t>(f)].value) : std::optional<std::int32_t>(0);
  // A polyface's face records name vertices; their own point is none.
  if (polyface_ && flags && (*flags & 128) && !(*flags & 64)) return;
  // In the world only the point moves.
  static const KindGrammar* const kVertex = GrammarOf("VERTEX");
  groups(*kVertex, !polyline3d_, polylinePlane_, [&](std::size_t, int g) { return polyline3d_ && g != 10; });
}

}  // namespace vestrel::objectmap
