// Joining loose pieces into paths: lines, arcs and open polylines whose
// ends meet within a tolerance become chains, closed where they close.
#pragma once

#include <cstddef>
#include <vector>

#include "geometry/path.h"

namespace vestrel {

// One chain: its path, and the parts it was made of in order along it,
// each marked when it runs against its own direction.
struct Joined {
  Path path;
  std::vector<std::size_t> parts;
  std::vector<bool> reversed;
};

// The parts chained wherever an end of one lies within `tolerance` of an
// end of another. Where more than two ends meet, the two nearest pair (a
// tie goes to the parts given first) and the others stay chain ends; of
// a crowd of ends the first 64 within reach of one are looked at. The
// first chain starts at a free end of the earliest part that has one, and
// runs that part's way where it can; a chain whose ends meet is closed.
// Joined ends are made one exactly: the part later in the chain starts
// where the one before it ends, and a closed chain ends where it starts.
// Parts of no length, with an elliptic piece, or with numbers that are
// not finite are left out; closed ones stay as they are, chains of their
// own. NotFinite for a tolerance that is NaN, infinite or negative.
Outcome<std::vector<Joined>> Join(const std::vector<Path>& parts, double tolerance);

}  // namespace vestrel
