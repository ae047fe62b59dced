// What the objects of a drawing measure: their curves in the plan, exactly
// (lines, arcs, circles, ellipses, polylines with their bulges in their own
// plane, solids, splines through their curve), a block reference's through
// its placement.
#pragma once

#include <cstddef>
#include <vector>

#include "geometry/measure.h"
#include "view/blocks.h"

namespace vestrel {

// Adds the contours of entry `entry` to `out`. False for a kind that has
// no length (texts, points, hatches, images, rays and construction lines,
// polygon and polyface meshes), which adds nothing; a block reference adds
// what its shown members draw. A curve measured through points it samples
// (a spline) comes without its path unless `withPaths`.
bool AddContours(const Drawing& d, Blocks& blocks, std::size_t entry, std::vector<Contour>& out, bool withPaths);

}  // namespace vestrel
