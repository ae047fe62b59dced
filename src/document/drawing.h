// The drawing: its line list and everything the reader derives from it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/linelist.h"
#include "document/numbers.h"
#include "document/parserecord.h"
#include "document/pool.h"
#include "document/records.h"

namespace vestrel {

// The tables a parse fills, entry after entry, by their number in
// Drawing::eachTable.
namespace tables {
enum Id : std::size_t {
  Polys, Points, Snaps, Texts, Dimensions, Viewports, Inserts, Hatches, HatchLines, HatchDashes, Ellipses, kCount
};
}

// The header variables of what new objects take, by their place in
// Drawing::currentpos: the variable and the group code of its value.
namespace current {
enum Id : std::size_t { Layer, Color, LineType, LineWeight };
struct Variable {
  std::string_view name;
  std::string_view code;  // as written, with its leading blanks
  int group;
};
inline constexpr std::array<Variable, 4> kVariables{{
    {"$CLAYER", "  8", 8}, {"$CECOLOR", " 62", 62}, {"$CELTYPE", "  6", 6}, {"$CELWEIGHT", "370", 370}}};
}  // namespace current

struct Drawing {
  LineList dxf;

  // Display list. Capacity is kept from one parse to the next.
  Pool<tpoly> polys;
  Pool<Tmypoi> points;  // the points of all entries, entry after entry
  Pool<Tmypoi> snaps;   // the extra snap points of all entries
  // What texts, dimensions, viewports, inserts, hatches and ellipses have
  // beyond the common fields.
  std::vector<TextData> texts;
  std::vector<DimensionData> dimensions;
  std::vector<ViewportData> viewports;
  std::vector<InsertData> inserts;
  std::vector<HatchData> hatches;
  Pool<HatchLine> hatchlines;  // the pattern lines of all hatches, hatch after hatch
  Pool<double> hatchdashes;    // the dashes of all pattern lines, line after line
  std::vector<EllipseData> ellipses;

  std::vector<TLayer> layers;  // slots outlive a parse; anzlayer are valid
  std::int32_t anzlayer = 0;
  std::vector<TLineType> linetype;  // anzlt are valid
  std::int32_t anzlt = 0;
  std::vector<tblock> blocks;
  std::vector<Tlayout> layouts;

  // Where the writers put things, and what the header says.
  std::int32_t insertlinepos = -1;      // "0" line of the ENDSEC closing ENTITIES
  std::int32_t layerinsertlinenr = -1;  // "0" line of the ENDTAB closing LAYER
  std::int32_t ltypeinsetlinenr = -1;   // "0" line of the ENDTAB closing LTYPE
  std::int32_t handleseedpos = -1;      // value line of $HANDSEED
  std::int32_t acadverpos = -1;         // value line of $ACADVER
  std::int32_t headerendpos = -1;       // "0" line of the ENDSEC closing HEADER
  // The value lines of what new objects take: $CLAYER, $CECOLOR, $CELTYPE
  // and $CELWEIGHT, each -1 when the header has none.
  std::array<std::int32_t, 4> currentpos{-1, -1, -1, -1};
  Handle maxhandle = 0;                 // largest handle in use
  std::int32_t cadver = 0;              // 1009 for AC1009; kept when a file has none
  std::int32_t maxviewportid = 2;
  std::string plotstylereaded;
  // Kinds of objects in the drawing that make no display-list entry, with
  // their counts, in the order first met.
  std::vector<std::pair<std::string, std::int32_t>> steppedover;

  // The parse the display list comes from: what is derived from the
  // drawing elsewhere knows by it when to be derived again.
  std::uint64_t generation = 0;
  // How this parse's display list follows from the one before.
  Reparsed reparsed;
  // What the reader keeps for the next parse: one record per entry, and
  // the rest.
  Pool<EntryParse> entryparse;
  ParseRecord parserecord;

  std::int32_t anzpoly() const { return static_cast<std::int32_t>(polys.size()); }

  // Calls f(table, id) for every table a parse fills, the reader's record
  // of each entry (entryparse) with the entries: the one list of them that
  // a parse clears, drops and splices.
  template <class F>
  void eachTable(F&& f) {
    EachTable(*this, f);
  }
  template <class F>
  void eachTable(F&& f) const {
    EachTable(*this, f);
  }
  // The places in the text the writers use, each -1 until the parse finds
  // it: the one list of them that a parse resets and moves with the lines.
  std::array<std::int32_t*, 10> positions() {
    return {&insertlinepos, &layerinsertlinenr, &ltypeinsetlinenr, &handleseedpos, &acadverpos, &headerendpos,
            &currentpos[0],  &currentpos[1],     &currentpos[2],    &currentpos[3]};
  }

  // All points of an entry, those made when asked included.
  EntryPoints ps(const tpoly& p) const {
    return p.outline == 0 ? EntryPoints(stored(p)) : EntryPoints(stored(p), p, ellipse(p));
  }
  // The points of an entry that the pool holds.
  std::span<Tmypoi> stored(const tpoly& p) { return {points.data() + p.psfrom, p.stored()}; }
  std::span<const Tmypoi> stored(const tpoly& p) const { return {points.data() + p.psfrom, p.stored()}; }
  std::span<const Tmypoi> snap(const tpoly& p) const {
    return {snaps.data() + p.snapfrom, static_cast<std::size_t>(p.anzs)};
  }

  // The records of the kinds that have more than the common fields; an
  // empty one for an entry of another kind.
  const TextData& text(const tpoly& p) const { return Extra(texts, p, ExtraKind::Text); }
  const DimensionData& dimension(const tpoly& p) const { return Extra(dimensions, p, ExtraKind::Dimension); }
  const ViewportData& viewport(const tpoly& p) const { return Extra(viewports, p, ExtraKind::Viewport); }
  const InsertData& insert(const tpoly& p) const { return Extra(inserts, p, ExtraKind::Insert); }
  const HatchData& hatch(const tpoly& p) const { return Extra(hatches, p, ExtraKind::Hatch); }
  const EllipseData& ellipse(const tpoly& p) const { return Extra(ellipses, p, ExtraKind::Ellipse); }
  std::span<const HatchLine> lines(const HatchData& h) const {
    return {hatchlines.data() + h.linefrom, static_cast<std::size_t>(h.lines)};
  }
  std::span<const double> dashes(const HatchLine& l) const {
    return {hatchdashes.data() + l.dashfrom, static_cast<std::size_t>(l.dashes)};
  }

  // Texts of an entry that are single value lines, read through their line
  // numbers (valid until the next change of the line list).
  std::string_view value(std::int32_t line) const { return Trim(dxf[static_cast<std::size_t>(line)]); }
  // The value of a header variable of what new objects take; empty when
  // the header has none.
  std::string_view currentValue(current::Id id) const {
    const std::int32_t at = currentpos[id];
    return at >= 0 ? value(at) : std::string_view{};
  }
  std::string_view layer(const tpoly& p) const { return p.layerpresent ? value(p.layerlinenr) : std::string_view{}; }
  // The entry's slot in the layer table; nullptr when it names none there.
  const TLayer* layerOf(const tpoly& p) const {
    return p.layerindex >= 0 && p.layerindex < anzlayer ? &layers[static_cast<std::size_t>(p.layerindex)] : nullptr;
  }
  std::string_view ltname(const tpoly& p) const {
    return p.ltnamepresent ? value(p.ltnamelinenr) : std::string_view{};
  }
  std::string_view insertstr(const tpoly& p) const {
    return p.insertstrpresent ? value(p.insertstrlinenr) : std::string_view{};
  }
  // The block a dimension names; empty when it names none.
  std::string_view dimensionblock(const tpoly& p) const {
    const std::int32_t line = dimension(p).blocklinenr;
    return line >= 0 ? value(line) : std::string_view{};
  }
  std::string_view theblockname(const tpoly& p) const {
    return p.block >= 0 ? std::string_view(blocks[static_cast<std::size_t>(p.block)].blockname) : std::string_view{};
  }

  // The block reference that entry `i` is an attribute of; none for an
  // entry that is no attribute.
  const tpoly* attributeOwner(std::size_t i) const {
    if (i >= entryparse.size() || i >= polys.size() || !polys[i].istext()) return nullptr;
    const std::int32_t k = entryparse[i].insert;
    return k >= 0 && static_cast<std::size_t>(k) < i ? &polys[static_cast<std::size_t>(k)] : nullptr;
  }

  // Every trimmed line of the entry, from its "0" pair on.
  std::vector<std::string> code(const tpoly& p) const;

 private:
  template <class D, class F>
  static void EachTable(D& d, F& f) {
    f(d.polys, tables::Polys);
    f(d.entryparse, tables::Polys);
    f(d.points, tables::Points);
    f(d.snaps, tables::Snaps);
    f(d.texts, tables::Texts);
    f(d.dimensions, tables::Dimensions);
    f(d.viewports, tables::Viewports);
    f(d.inserts, tables::Inserts);
    f(d.hatches, tables::Hatches);
    f(d.hatchlines, tables::HatchLines);
    f(d.hatchdashes, tables::HatchDashes);
    f(d.ellipses, tables::Ellipses);
  }
  template <class T>
  static const T& Extra(const std::vector<T>& table, const tpoly& p, ExtraKind kind) {
    static const T none{};
    return p.extrakind == kind && p.extra >= 0 && static_cast<std::size_t>(p.extra) < table.size()
               ? table[static_cast<std::size_t>(p.extra)]
               : none;
  }
};

// Parses the whole line list into the display list, the tables, the
// layouts and the document positions. When memory runs out the display
// list is left empty and std::bad_alloc goes on to the caller.
//
// After a change that touched only objects of the ENTITIES section or
// members of blocks (and the value of $HANDSEED) only those objects are
// read again, with what follows them up to where the reader stands as it
// stood before; the result is what reading it all would give.
//
// A list of `splinesAheadFrom` lines or more that is read in full has its
// splines flattened ahead of the reader on another core, when the machine
// has one; the result is the same.
inline constexpr std::size_t kSplinesAheadFrom = 100000;
void processdxf(Drawing& d, std::size_t splinesAheadFrom = kSplinesAheadFrom);

}  // namespace vestrel
