// The edit map's walk over objects, shared by the files that make up
// MapObject: the frame, the pairs and the writing of values
// (objectmap.cpp), and the steps of the kinds by family, as the reader has
// them: lines, polylines, arcs and areas (maplines.cpp), texts, references,
// dimensions and leaders (mapannotation.cpp), hatches (maphatch.cpp).
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "document/grammar.h"
#include "document/linelist.h"
#include "document/numbers.h"
#include "editing/editmap.h"
#include "editing/objectmap.h"
#include "editing/objectplane.h"

namespace vestrel::objectmap {

struct Pair {
  int group;
  std::int32_t line;  // the value line
  std::string_view value;
};

// One object at a time, from its "0" line: its pairs gathered, then each
// value given its meaning by the grammar of its kind and by where in the
// object it stands.
class Mapper {
 public:
  Mapper(const LineList& dxf, const EditMap& map, LineEdits& out, std::vector<Pair>& pairs)
      : dxf_(dxf), map_(map), out_(out), pairs_(pairs) {}

  void run(std::int32_t from, std::int32_t to);

 private:
  // --- the object's pairs (objectmap.cpp) -------------------------------------------
  void object(std::int32_t from, std::int32_t to);
  int find(int group) const;
  std::optional<double> num(std::size_t i) const { return ParseDouble(pairs_[i].value); }

  // --- writing -------------------------------------------------------------------------
  void set(std::size_t i, double v);
  void setText(std::size_t i, std::string_view text);
  // New pairs before line `at`.
  void add(std::int32_t at, std::vector<std::pair<int, double>> values);
  // Group `group` set to `v`: written where it stands, added after the
  // line `after` when it is missing and `v` is not its default.
  void ensure(int group, double v, double fallback, std::int32_t after);

  // --- points, directions, lengths, angles --------------------------------------
  // The triple that starts with the x value at pairs_[i]: (y, z) follow as
  // the groups 10 and 20 above it. The index of its last pair.
  std::size_t extent(std::size_t i, std::optional<std::size_t>& y, std::optional<std::size_t>& z) const;
  // Maps the point or vector at pairs_[i] by f; a missing z of a point in
  // space is added when it becomes other than 0.
  template <class F>
  void triple(std::size_t i, bool hasZ, F f);
  void worldPoint(std::size_t i) {
    triple(i, true, [&](Point3 p) { return map_.point(p); });
  }
  void planePoint(std::size_t i, const PlaneMap& pm, bool hasZ = true) {
    triple(i, hasZ, [&](Point3 p) { return pm.point(p); });
  }
  void worldVector(std::size_t i) {
    triple(i, true, [&](Point3 v) { return map_.vector(v); });
  }
  void direction(std::size_t i) {
    triple(i, true, [&](Point3 v) { return map_.direction(v); });
  }
  void planeVector(std::size_t i, const PlaneMap& pm) {
    triple(i, false, [&](Point3 v) { return pm.vector(v); });
  }
  void length(std::size_t i);
  void angle(std::size_t i, const PlaneMap& pm);
  void radians(std::size_t i, const PlaneMap& pm);
  void bulge(std::size_t i);
  // A height in the plane: the z of the point (0, 0, z).
  void elevation(std::size_t i, const PlaneMap& pm);
  // The pair of angles of an arc that runs from `start` to `end`
  // counter-clockwise (see objectmap.cpp).
  void arcEnds(int start, int end, const PlaneMap& pm, double full, std::int32_t after);

  // --- meanings ------------------------------------------------------------------------
  // The value at pairs_[i] mapped as what it means: a point in the plane
  // `pm` when `planar`, else in the world. Meanings that need more than
  // the one value are left to the kind's own step.
  void apply(Meaning m, std::size_t i, bool planar, const PlaneMap& pm);
  // Every pair mapped by what it means in `grammar`; `step` sees each pair
  // first (its index and group) and returns true when it took the pair
  // itself.
  template <class Step>
  void groups(const KindGrammar& grammar, bool planar, const PlaneMap& pm, Step step) {
    for (std::size_t i = 0; i < pairs_.size(); ++i)
      if (!step(i, pairs_[i].group)) apply(grammar.meaning(pairs_[i].group), i, planar, pm);
  }
  void groups(const KindGrammar& grammar, bool planar, const PlaneMap& pm) {
    groups(grammar, planar, pm, [](std::size_t, int) { return false; });
  }

  // --- the extrusion -----------------------------------------------------------------
  void setNormal(const PlaneMap& pm);
  PlaneMap plane() const { return InPlane(map_, plane_.normal); }

  // --- kinds ---------------------------------------------------------------------------
  // What the grammar says and no more: the kinds without steps of their own.
  void plain();
  // maplines.cpp
  void arc();
  void ellipse();
  void lwpolyline();
  void polylineHeader();
  void vertex();
  // mapannotation.cpp
  void text();
  void mtext();
  void insert();
  void dimension();
  void mleader();
  // maphatch.cpp
  void hatch();

  const LineList& dxf_;
  const EditMap& map_;
  LineEdits& out_;
  std::string_view kind_;
  const KindGrammar* grammar_ = nullptr;
  ObjectPlane plane_;
  std::int32_t end_ = 0;
  std::vector<Pair>& pairs_;
  // The polyline whose vertices follow.
  bool polyline_ = false, polyline3d_ = false, polyface_ = false;
  PlaneMap polylinePlane_;
};

template <class F>
void Mapper::triple(std::size_t i, bool hasZ, F f) {
  std::optional<std::size_t> yi, zi;
  extent(i, yi, zi);
  const auto x = num(i);
  const auto y = yi ? num(*yi) : std::nullopt;
  if (!x || !y) return;
  const auto z = zi ? num(*zi) : std::optional<double>(0.0);
  if (!z) return;
  const Point3 p = f(Point3{*x, *y, *z});
  set(i, p.x);
  set(*yi, p.y);
  if (!hasZ) return;
  if (zi)
    set(*zi, p.z);
  else if (p.z != 0)
    add(pairs_[*yi].line + 1, {{pairs_[i].group + 20, p.z}});
}

}  // namespace vestrel::objectmap
