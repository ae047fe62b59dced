// Where the display list's points and segments lie, for finding what is
// near a point or inside a box without visiting every point of the drawing.
//
// The index holds runs: up to kRunLength consecutive points of one entry,
// its own points or its extra snap points, each with the box around them
// in drawing units. A run of an entry's own points also covers the segment
// that leads into its first drawn point, so every drawn segment lies in the
// box of the run that holds its end; a closed entry has one more run, the
// segment that closes it: from its last drawn point back to the start of
// the outline's last piece (its first drawn point, or the last point that
// no segment leads to). The runs are packed into a tree of boxes.
//
// The index only narrows the search: it names the runs whose boxes meet a
// box, and the caller tests their points itself, on the screen, in the
// order it needs. Points whose coordinates are not finite numbers are left
// out: no test on the screen can catch them.
//
// It is derived from one parse of the drawing and brought up to date by
// Refresh when the drawing has been parsed again: after a parse that read
// again only some entries (Drawing::reparsed) of the parse it was built
// for, their old runs are dropped and their new ones kept beside the tree,
// searched one by one, until they are too many and it is built anew; after
// any other parse it is built anew. Memory grows with the display list:
// about one run per kRunLength points, one per entry at the least, of 32
// bytes each (their boxes are held in floats, rounded outwards), 4 bytes
// each for their order in the tree and a sixteenth for the tree. The room
// the build sorts in (16 bytes a run) is given back when it is done.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "document/drawing.h"

namespace vestrel {

// A box in drawing units, edges included.
struct WorldBox {
  double minx = 0, miny = 0, maxx = 0, maxy = 0;
};

// A box as the index holds it: every edge the float next outwards of the
// edge it stands for.
struct FloatBox {
  float minx = 0, miny = 0, maxx = 0, maxy = 0;
};

class SpatialIndex {
 public:
  static constexpr int kRunLength = 32;

  enum class RunKind : std::uint8_t {
    Points,   // points of the entry's own (Drawing::ps)
    Snaps,    // its extra snap points (Drawing::snap)
    Closing,  // the closing segment: from the last drawn point (from) back to `before`
  };
  struct Run {
    FloatBox box;
    std::int32_t entry = 0;  // index in Drawing::polys
    // Points from `from` to `from + count - 1`, counted within the entry's
    // points or snap points.
    std::int32_t from = 0;
    // Points runs: the entry's last drawn point before `from`, where the
    // segment into the run's first drawn point starts; -1 when there is
    // none. The closing run: where the closing segment ends.
    std::int32_t before = -1;
    std::uint8_t count = 0;
    RunKind kind = RunKind::Points;
  };

  // Brings the index up to the drawing's last parse, unless it is there
  // already. True when it only took in what that parse read again.
  // `alongside`, work that does not read the index, is done once: on the
  // machine's other core while a build packs the tree, else after.
  bool Refresh(const Drawing& d, const std::function<void()>& alongside = {});
  // Brings the index up to the drawing's last parse where that takes no
  // build (it takes in what the parse read again); true when it is there.
  bool Follow(const Drawing& d) { return current(d) || Update(d); }
  // Whether the index was built from the drawing's current parse.
  bool current(const Drawing& d) const;

  // The runs whose boxes meet `box`, appended to `out` as indexes for
  // run(); in no particular order. A box with a coordinate that is not a
  // number meets nothing.
  void Find(const WorldBox& box, std::vector<std::uint32_t>& out) const;
  const Run& run(std::uint32_t i) const { return runs_[i]; }
  // Whether the box of every run held lies inside `box`: all would be found.
  bool Inside(const WorldBox& box) const;
  // Runs held, those dropped since the last build among them.
  std::size_t size() const { return runs_.size(); }

 private:
  void Build(const Drawing& d, const std::function<void()>& alongside);
  // Takes in what the last parse read again; false when it cannot.
  bool Update(const Drawing& d);
  // The runs of an entry, written from `out` on: at most MostRuns(p) of
  // them. Returns how many.
  static std::size_t AddRuns(const Drawing& d, std::int32_t entry, Run* out);
  static std::size_t MostRuns(const tpoly& p) {
    auto runs = [](std::int32_t n) { return n > 0 ? (static_cast<std::size_t>(n) + kRunLength - 1) / kRunLength : 0; };
    return runs(p.anzp) + (p.isclosed ? 1 : 0) + runs(p.anzs);
  }
  void Pack();
  static bool Dropped(const Run& r) { return r.count == 0; }

  struct Node {
    FloatBox box;
    std::uint32_t first = 0, last = 0;  // children: nodes of the level below, or runs
  };

  // The runs of the tree, in the order of the entries at its build, then
  // those taken in since (from tree_ on); a run dropped since has count 0.
  std::vector<Run> runs_;
  std::size_t tree_ = 0, dropped_ = 0;
  // The runs in the order of the leaves: leaf i holds those from i * kFanOut
  // on.
  std::vector<std::uint32_t> order_;
  // The tree, level after level: the leaves (over the runs' order) first,
  // the root last; levels_ holds where each level starts.
  std::vector<Node> nodes_;
  std::vector<std::uint32_t> levels_;
  // The parse and the sizes the index was built from.
  std::uint64_t generation_ = 0;
  bool built_ = false;
  std::size_t polys_ = 0, points_ = 0, snaps_ = 0;
};

}  // namespace vestrel
