// SPLINE objects as the construction tools take them: the curve their
// groups define, whether it closes, and the groups written again for a
// part of it, in the file's own way (the same degree, group codes and
// flags, the knots, controls and weights of the part in place of the old).
#pragma once

#include <cstdint>

#include "document/linelist.h"
#include "editing/editunits.h"
#include "geometry/spline.h"
#include "writers/insertcode.h"

namespace vestrel {

// The curve of a spline as its groups define it, made as the reader makes
// it.
Spline SplineOf(const Drawing& d, const tpoly& p);
Spline SplineOf(const Drawing& d, std::int32_t from, std::int32_t to);

// A spline object between lines `from` and `to`: its curve (in the world),
// and whether it closes: flagged closed or periodic, and its ends meet.
struct SplineObject {
  Spline curve;
  bool closed = false;
  bool cuttable = false;  // the curve can be cut and carried on (Cuttable)
};
SplineObject ReadSplineObject(const Drawing& d, std::int32_t from, std::int32_t to);

// The groups of the spline `like` again with the curve `part`: its knots,
// controls and weights where the old ones stood, their counts and its
// degree, the flags of an open curve (rational when it has weights), and
// no fit points (their count 0) nor their tangents and tolerance. A `copy`
// gets a new handle and leaves out the reactors and the extension
// dictionary that belong to the original alone.
void WriteSpline(CodeLines& l, const EditUnit& like, const Spline& part, bool copy);

}  // namespace vestrel
