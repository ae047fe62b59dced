// Which display-list entries a paint has to visit: those that may draw
// into the part of the target it paints. A paint zoomed into a large
// drawing then visits the few entries there, not all of them.
//
// Most entries draw along their points, widened by a pen, arrowheads and
// grips: they are found through the spatial index (the runs of their
// points whose boxes meet the part, widened by what the pens may add).
// A text draws within its reach around its insertion point (TextReach),
// noted here as a box per text. A block reference draws its grips at its
// points, and its block's members only where the block's box (widened as
// the painter widens it) shows; the box of all its cells is noted. The
// rest are always visited, and decide for themselves as before:
// dimensions, viewports (the model they show), multileaders, polylines
// with widths of their own and entries whose line weight is wider than
// the standard ones.
//
// What is kept here follows the drawing's parses as the spatial index
// does: after a parse that read only some entries again, their notes are
// replaced; after any other, all are made anew.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "document/drawing.h"
#include "document/spatialindex.h"
#include "view/blocks.h"

namespace vestrel {

class InView {
 public:
  explicit InView(const SpatialIndex& index) : index_(index) {}

  // Brings the notes up to the drawing's last parse. Where the spatial
  // index is not of that parse (a paint does not wait for its build),
  // entries() gives every entry instead.
  void refresh(const Drawing& d);
  // Brings the notes up to the drawing's last parse, whatever the spatial
  // index is of: they do not read it, and may be made while it is built.
  void prepare(const Drawing& d);

  // The entries that may draw into `part` of the target (drawing units),
  // in list order, into `out`; `margin` (drawing units) is what pens,
  // arrowheads and grips add to an entry's points. References are drawn
  // where their blocks' boxes meet `shown` (all the target shows), widened
  // by `blockMargin`. After refresh() for this parse; safe on several
  // threads at once.
  void entries(const WorldBox& part, double margin, const WorldBox& shown, double blockMargin,
               std::vector<std::int32_t>& out) const;

  // A paint through this of a drawing with at least this many entries is
  // painted in bands of rows on the machine's cores (see DrawTab).
  std::size_t bandedFrom = 4096;

  // The entries that are members of blocks, in list order; none where the
  // notes were not made.
  const std::vector<std::int32_t>* blockMembers() const { return indexed_ ? &members_ : nullptr; }

  // Whether texts showed in letters (not strokes) at `zoom` or at a lower
  // one since the last parse of the whole drawing: a band painted on
  // another thread then stops before the entries that may show them.
  bool showsLetters(double zoom) const { return zoom >= lettersFrom_; }
  void noteLetters(double zoom) { lettersFrom_ = std::min(lettersFrom_, zoom); }

  // Line weights up to this many hundredths of a millimetre are the
  // standard ones; an entry with a wider one of its own is always visited.
  static constexpr std::int32_t kWidestWeight = 211;

 private:
  struct Boxed {
    std::int32_t entry = 0;
    FloatBox box;
  };
  // Whether entry i is always visited; a text's box goes to `texts`, a
  // reference's to `references`.
  static bool note(const Drawing& d, Blocks& blocks, std::int32_t i, std::vector<Boxed>& texts,
                   std::vector<Boxed>& references);
  void build(const Drawing& d);
  bool update(const Drawing& d);

  const SpatialIndex& index_;
  bool indexed_ = false;     // the index is of the last parse refreshed to
  std::size_t entries_ = 0;  // in that parse
  bool built_ = false;
  std::uint64_t generation_ = 0;
  std::vector<std::uint8_t> always_;  // by entry
  std::vector<Boxed> texts_, references_;  // in list order
  std::vector<std::int32_t> members_;
  double lettersFrom_ = std::numeric_limits<double>::infinity();
};

}  // namespace vestrel
