// Reading again only what a change touched.
//
// The line list knows which runs of lines changed since the last parse.
// When every run lies among the objects of the ENTITIES section or among the
// members of one block (or is the value of $HANDSEED), each is read again
// from the object it begins in (or the one before, when it touches an
// object's first line), object after object, until the reader ends an
// object where an old object ended and stands there as it stood then: in the
// same section and block, with the same polyline widths and the same block
// reference for attributes to follow. From there on the text and the reader
// are what they were, so the old entries stay, moved with the lines and with
// the records of the entries read again. Anything else (the header, the
// tables, block headers and ends, objects a change makes or unmakes that are
// no entries, viewports, whose numbers are counted over the drawing) is read
// in full instead.
#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <span>
#include <utility>

#include "document/reader.h"

namespace vestrel::reader {

namespace {

// A stretch read again that grows longer than this many entries, and
// reading it all is as quick. (The line list counts everything as changed
// past a thousand runs.)
constexpr std::size_t kMostEntries = 20000;

using namespace tables;
using Sizes = std::array<std::int64_t, kCount>;

Sizes SizesOf(const Drawing& d) {
  Sizes s{};
  d.eachTable([&](const auto& table, Id t) { s[t] = static_cast<std::int64_t>(table.size()); });
  return s;
}

// The tables of the entries' extra records that may be read again (a
// viewport never is: its number counts over the whole drawing), and the
// table of an entry's extra record among them.
constexpr std::array kExtraTables = {Texts, Dimensions, Inserts, Hatches, Ellipses};
int TableOf(ExtraKind k) {
  switch (k) {
    case ExtraKind::Text: return Texts;
    case ExtraKind::Dimension: return Dimensions;
    case ExtraKind::Insert: return Inserts;
    case ExtraKind::Hatch: return Hatches;
    case ExtraKind::Ellipse:
      return Ellipses;
    default: return -1;
  }
}

}  // namespace

// One stretch read again: old entries [first, last], and for every table
// where its old records were, where its new ones were appended and where
// they go.
struct Region {
  std::size_t first = 0, last = 0;
  std::int32_t block = -1;  // the block of its entries; -1 among the entities
  Sizes oldFrom{}, oldCount{}, tailFrom{}, tailCount{}, finalFrom{};
};

namespace {

// Replaces in `v` the old records of every region by its new ones, which
// were appended after the `oldSize` old records, moving the records between
// in place (those moving left from the left, those moving right from the
// right, so that none is overwritten before it has moved).
template <class V>
void Splice(V& v, std::size_t table, std::size_t oldSize, const std::vector<Region>& regions) {
  using T = std::remove_cvref_t<decltype(*v.begin())>;
  std::vector<T> fresh;
  for (const Region& r : regions)
    for (std::int64_t i = 0; i < r.tailCount[table]; ++i)
      fresh.push_back(std::move(v[static_cast<std::size_t>(r.tailFrom[table] + i)]));
  v.resize(oldSize);
  // Segment j: the old records after region j - 1 and before region j.
  const std::size_t R = regions.size();
  std::vector<std::int64_t> segFrom(R + 1), segTo(R + 1), shift(R + 1);
  std::int64_t d = 0;
  for (std::size_t j = 0; j <= R; ++j) {
    segFrom[j] = j == 0 ? 0 : regions[j - 1].oldFrom[table] + regions[j - 1].oldCount[table];
    segTo[j] = j == R ? static_cast<std::int64_t>(oldSize) : regions[j].oldFrom[table];
    shift[j] = d;
    if (j < R) d += regions[j].tailCount[table] - regions[j].oldCount[table];
  }
  const auto finalSize = static_cast<std::size_t>(static_cast<std::int64_t>(oldSize) + d);
  if (finalSize > oldSize) v.resize(finalSize);
  auto at = [&](std::int64_t i) { return v.begin() + static_cast<std::ptrdiff_t>(i); };
  for (std::size_t j = 1; j <= R; ++j)
    if (shift[j] < 0) std::move(at(segFrom[j]), at(segTo[j]), at(segFrom[j] + shift[j]));
  for (std::size_t j = R; j >= 1; --j)
    if (shift[j] > 0) std::move_backward(at(segFrom[j]), at(segTo[j]), at(segTo[j] + shift[j]));
  std::size_t k = 0;
  for (std::size_t j = 0; j < R; ++j)
    for (std::int64_t i = 0; i < regions[j].tailCount[table]; ++i)
      *at(regions[j].oldFrom[table] + shift[j] + i) = std::move(fresh[k++]);
  if (finalSize < oldSize) v.resize(finalSize);
}

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

}  // namespace

namespace {

// What changed since the parse the display list comes from: the runs of
// lines among the objects, and whether the value of $HANDSEED changed
// alone. Nothing when the old parse cannot be built on.
struct Changed {
  std::vector<LineChanges::Run> runs;
  bool seed = false;
};
std::optional<Changed> ChangesToRead(const Drawing& d, const LineChanges& changes) {
  const ParseRecord& record = d.parserecord;
  if (changes.all() || !record.valid || record.lines != d.dxf.identity() || d.entryparse.size() != d.polys.size())
    return std::nullopt;
  Changed c;
  for (const LineChanges::Run& r : changes.runs()) {
    if (d.handleseedpos >= 0 && r.oldStart == d.handleseedpos && r.oldCount == 1 && r.count == 1 && !record.seedPaired)
      c.seed = true;
    else
      c.runs.push_back(r);
  }
  // The tables keep their line numbers only where they are not moved.
  if (record.tablesEnd >= 0 && changes.toNew(record.tablesEnd) != record.tablesEnd) return std::nullopt;
  return c;
}

// Where each region's old records are. Records of a kind follow the
// entries in order: the first of a region comes after the last of an
// entry before it.
void FindOldRecords(const Drawing& d, const Sizes& old, std::vector<Region>& regions) {
  const tpoly* polys = d.polys.data();
  const auto n = static_cast<std::size_t>(old[Polys]);
  for (std::size_t r = 0; r < regions.size(); ++r) {
    Region& g = regions[r];
    g.oldFrom[Polys] = static_cast<std::int64_t>(g.first);
    g.oldCount[Polys] = static_cast<std::int64_t>(g.last - g.first + 1);
    const bool tail = g.last + 1 == n;
    g.oldFrom[Points] = polys[g.first].psfrom;
    g.oldCount[Points] = (tail ? old[Points] : polys[g.last + 1].psfrom) - g.oldFrom[Points];
    g.oldFrom[Snaps] = polys[g.first].snapfrom;
    g.oldCount[Snaps] = (tail ? old[Snaps] : polys[g.last + 1].snapfrom) - g.oldFrom[Snaps];
    // The kinds with records of their own: after the nearest entry of the
    // kind before the region (or the region before).
    const std::size_t stop = r > 0 ? regions[r - 1].last + 1 : 0;
    std::array<bool, kCount> found{};
    for (const Id t : kExtraTables) {
      g.oldFrom[t] = r > 0 ? regions[r - 1].oldFrom[t] + regions[r - 1].oldCount[t] : 0;
      g.oldCount[t] = 0;
    }
    g.oldFrom[HatchLines] = r > 0 ? regions[r - 1].oldFrom[HatchLines] + regions[r - 1].oldCount[HatchLines] : 0;
    std::size_t missing = kExtraTables.size();
    for (std::size_t i = g.first; i-- > stop && missing > 0;) {
      const int t = TableOf(polys[i].extrakind);
      if (t < 0 || found[static_cast<std::size_t>(t)]) continue;
      found[static_cast<std::size_t>(t)] = true;
      --missing;
      g.oldFrom[t] = polys[i].extra + 1;
      if (t == Hatches) {
        const HatchData& h = d.hatches[static_cast<std::size_t>(polys[i].extra)];
        g.oldFrom[HatchLines] = h.linefrom + h.lines;
      }
    }
    g.oldCount[HatchLines] = 0;
    for (std::size_t i = g.first; i <= g.last; ++i) {
      const int t = TableOf(polys[i].extrakind);
      if (t < 0) continue;
      ++g.oldCount[t];
      if (t == Hatches) g.oldCount[HatchLines] += d.hatches[static_cast<std::size_t>(polys[i].extra)].lines;
    }
    g.oldFrom[HatchDashes] = 0;
    if (g.oldFrom[HatchLines] > 0) {
      const HatchLine& l = d.hatchlines[static_cast<std::size_t>(g.oldFrom[HatchLines] - 1)];
      g.oldFrom[HatchDashes] = l.dashfrom + l.dashes;
    }
    g.oldCount[HatchDashes] = 0;
    for (std::int64_t i = 0; i < g.oldCount[HatchLines]; ++i)
      g.oldCount[HatchDashes] += d.hatchlines[static_cast<std::size_t>(g.oldFrom[HatchLines] + i)].dashes;
  }
  // Where the new records will be.
  Sizes shift{};
  for (Region& g : regions)
    for (std::size_t t = 0; t < kCount; ++t) {
      g.finalFrom[t] = g.oldFrom[t] + shift[t];
      shift[t] += g.tailCount[t] - g.oldCount[t];
    }
}

// The old records of the regions out, the new ones in; the records
// between them as they were.
void SpliceTables(Drawing& d, const Sizes& old, const std::vector<Region>& regions) {
  d.eachTable([&](auto& table, Id t) {
    if (t != Viewports) Splice(table, t, static_cast<std::size_t>(old[t]), regions);
  });
}

// An old entry's index in the new list.
std::int32_t Moved(const std::vector<Region>& regions, std::int32_t i) {
  std::int64_t d = 0;
  for (const Region& g : regions)
    if (static_cast<std::int64_t>(g.last) < i) d += g.tailCount[Polys] - g.oldCount[Polys];
  return static_cast<std::int32_t>(i + d);
}

// The new entries: their records counted from where they were appended to
// where they are.
void RenumberReadAgain(Drawing& d, const std::vector<Region>& regions) {
  for (const Region& g : regions) {
    for (std::int64_t k = 0; k < g.tailCount[Polys]; ++k) {
      const auto i = static_cast<std::size_t>(g.finalFrom[Polys] + k);
      tpoly& p = d.polys[i];
      p.psfrom = static_cast<std::uint32_t>(p.psfrom - g.tailFrom[Points] + g.finalFrom[Points]);
      p.snapfrom = static_cast<std::uint32_t>(p.snapfrom - g.tailFrom[Snaps] + g.finalFrom[Snaps]);
      if (const int t = TableOf(p.extrakind); t >= 0)
        p.extra = static_cast<std::int32_t>(p.extra - g.tailFrom[t] + g.finalFrom[t]);
      EntryParse& e = d.entryparse[i];
      if (e.insert >= g.tailFrom[Polys])
        e.insert = static_cast<std::int32_t>(e.insert - g.tailFrom[Polys] + g.finalFrom[Polys]);
      else if (e.insert >= 0)
        e.insert = Moved(regions, e.insert);
    }
    for (std::int64_t k = 0; k < g.tailCount[Hatches]; ++k) {
      HatchData& h = d.hatches[static_cast<std::size_t>(g.finalFrom[Hatches] + k)];
      h.linefrom = static_cast<std::uint32_t>(h.linefrom - g.tailFrom[HatchLines] + g.finalFrom[HatchLines]);
    }
    for (std::int64_t k = 0; k < g.tailCount[HatchLines]; ++k) {
      HatchLine& l = d.hatchlines[static_cast<std::size_t>(g.finalFrom[HatchLines] + k)];
      l.dashfrom = static_cast<std::uint32_t>(l.dashfrom - g.tailFrom[HatchDashes] + g.finalFrom[HatchDashes]);
    }
  }
}

void ShiftLine(std::int32_t& line, std::int32_t by) {
  if (line > 0) line += by;
}

// The entries after each region: moved with the lines and the records.
void MoveTheRest(Drawing& d, const LineChanges& changes, const std::vector<Region>& regions) {
  for (std::size_t r = 0; r < regions.size(); ++r) {
    const Region& g = regions[r];
    Sizes by{};
    for (std::size_t t = 0; t < kCount; ++t) by[t] = g.finalFrom[t] + g.tailCount[t] - (g.oldFrom[t] + g.oldCount[t]);
    const std::size_t from = static_cast<std::size_t>(g.finalFrom[Polys] + g.tailCount[Polys]);
    const std::size_t to = r + 1 < regions.size() ? static_cast<std::size_t>(regions[r + 1].finalFrom[Polys])
                                                   : d.polys.size();
    if (from >= to) continue;
    const std::int32_t lines = changes.toNew(d.polys[from].linefrom) - d.polys[from].linefrom;
    bool moves = lines != 0;
    for (const std::int64_t v : by) moves = moves || v != 0;
    if (!moves) continue;
    for (std::size_t i = from; i < to; ++i) {
      tpoly& p = d.polys[i];
      p.psfrom = static_cast<std::uint32_t>(p.psfrom + by[Points]);
      p.snapfrom = static_cast<std::uint32_t>(p.snapfrom + by[Snaps]);
      const int t = TableOf(p.extrakind);
      if (t >= 0) p.extra = static_cast<std::int32_t>(p.extra + by[t]);
      EntryParse& e = d.entryparse[i];
      if (e.insert >= 0) e.insert = Moved(regions, e.insert);
      if (t == Hatches) {
        HatchData& h = d.hatches[static_cast<std::size_t>(p.extra)];
        h.linefrom = static_cast<std::uint32_t>(h.linefrom + by[HatchLines]);
        for (HatchLine& l : std::span<HatchLine>(d.hatchlines.data() + h.linefrom, static_cast<std::size_t>(h.lines)))
          l.dashfrom = static_cast<std::uint32_t>(l.dashfrom + by[HatchDashes]);
      }
      if (lines == 0) continue;
      p.linefrom += lines;
      p.linebis += lines;
      for (std::int32_t* f : {&p.layerlinenr, &p.ltnamelinenr, &p.colorlinenr, &p.lineweightlinenr, &p.winkel1linenr,
                              &p.winkel2linenr, &p.radiuslinenr, &p.insertstrlinenr})
        ShiftLine(*f, lines);
      for (Tmypoi& q : d.stored(p)) ShiftLine(q.linex, lines), ShiftLine(q.liney, lines), ShiftLine(q.linez, lines);
      for (Tmypoi& q : std::span<Tmypoi>(d.snaps.data() + p.snapfrom, static_cast<std::size_t>(p.anzs)))
        ShiftLine(q.linex, lines), ShiftLine(q.liney, lines), ShiftLine(q.linez, lines);
      if (t == Dimensions) {
        std::int32_t& block = d.dimensions[static_cast<std::size_t>(p.extra)].blocklinenr;
        if (block >= 0) block += lines;
      }
    }
  }
}

// The places in the text the writers use, moved with the lines.
void MovePositions(Drawing& d, const LineChanges& changes) {
  for (std::int32_t* line : d.positions())
    if (*line >= 0) *line = changes.toNew(*line);
  for (tblock& b : d.blocks)
    if (b.linetoinsert > 0) b.linetoinsert = changes.toNew(b.linetoinsert);
}

// The largest handle: those outside entries, the seed's (read again when
// its value changed), and every entry's.
void CountHandles(Drawing& d, bool seed) {
  ParseRecord& kept = d.parserecord;
  if (seed) {
    kept.seed = 0;
    if (const auto v = ParseHandle(d.value(d.handleseedpos)); v && *v > 0) kept.seed = *v - 1;
  }
  Handle most = std::max(kept.outside, kept.seed);
  for (const EntryParse& e : d.entryparse) most = std::max(most, e.handles);
  d.maxhandle = most;
}

// What does not survive a parse: the selection, and the views the layout
// tabs keep.
void ForgetSelectionAndViews(Drawing& d) {
  for (tpoly& p : d.polys) p.selected = p.massselected = p.locked = false;
  for (Tlayout& l : d.layouts) {
    const Tlayout none;
    l.scrollxvalue = none.scrollxvalue, l.scrollyvalue = none.scrollyvalue;
    l.zoomvalue = none.zoomvalue;
    l.zoomsetted = none.zoomsetted;
  }
}

}  // namespace

bool Reader::reparse(std::uint64_t before) {
  const LineChanges& changes = dxf_.changes();
  const std::optional<Changed> changed = ChangesToRead(d_, changes);
  if (!changed) return false;
  // The old entries stay where they are while the objects are read again
  // behind them.
  const Sizes old = SizesOf(d_);
  std::vector<Region> regions;
  if (!readAgain(changed->runs, regions)) return false;
  FindOldRecords(d_, old, regions);
  SpliceTables(d_, old, regions);
  RenumberReadAgain(d_, regions);
  MoveTheRest(d_, changes, regions);
  MovePositions(d_, changes);
  CountHandles(d_, changed->seed);
  ForgetSelectionAndViews(d_);
  d_.reparsed = {before, false, {}};
  for (const Region& g : regions)
    d_.reparsed.ranges.push_back({static_cast<std::int32_t>(g.oldFrom[Polys]), static_cast<std::int32_t>(g.oldCount[Polys]),
                                  static_cast<std::int32_t>(g.finalFrom[Polys]),
                                  static_cast<std::int32_t>(g.tailCount[Polys]), g.block});
  return true;
}

bool Reader::readAgain(const std::vector<LineChanges::Run>& runs, std::vector<Region>& regions) {
  const LineChanges& changes = dxf_.changes();
  const std::size_t n = d_.polys.size();
  const tpoly* polys = d_.polys.data();
  std::size_t next = 0;  // the first run not read yet
  while (next < runs.size()) {
    // The entry the run begins in, or the one before when the run begins
    // at an entry's first line and that entry ends just there (it may now
    // run on into it). After lines of no entry (a block's header, an object
    // stepped over) the changed entry itself is read first: that those
    // lines still end where they ended, its first pair must show.
    const std::int32_t at = runs[next].oldStart;
    const tpoly* it = std::upper_bound(polys, polys + n, at, [](std::int32_t v, const tpoly& p) { return v < p.linefrom; });
    if (it == polys) return false;
    std::size_t s = static_cast<std::size_t>(it - polys) - 1;
    if (at > polys[s].linebis + 1) return false;  // among lines of no entry
    if (at == polys[s].linefrom && s > 0 && polys[s - 1].linebis + 1 == at) --s;
    if (!regions.empty() && s <= regions.back().last) return false;
    // Among the entities, or among the members of a block.
    const std::uint8_t open = d_.entryparse[s].sections;
    const std::int32_t block = polys[s].block;
    if (open != kInEntities && (open != (kInBlocks | kInBlock) || block < 0)) return false;

    Region g;
    g.first = s;
    g.block = block;
    g.tailFrom = SizesOf(d_);
    // The reader as it stood when entry s began.
    const EntryParse* prev = s > 0 ? &d_.entryparse[s - 1] : nullptr;
    currentWidth_ = prev ? prev->width : 0;
    startWidth_ = prev ? prev->startwidth : 0;
    lastInsert_ = prev && prev->insert >= 0 ? static_cast<std::size_t>(prev->insert) : SIZE_MAX;
    inEntities_ = open == kInEntities;
    inBlocks_ = inBlock_ = !inEntities_;
    inTables_ = inObjects_ = expectingSectionName_ = false;
    block_ = block;
    pos_ = static_cast<std::size_t>(polys[s].linefrom == at ? runs[next].start : changes.toNew(polys[s].linefrom));
    reuse_ = false;
    readPair();
    std::size_t checked = s;  // old entries up to here follow one another in its section and block
    for (;;) {
      if (!isZero()) return false;
      const Kind kind = KindOf(value_);
      if (kind == Kind::None || kind == Kind::VIEWPORT) return false;
      if (d_.polys.size() - static_cast<std::size_t>(g.tailFrom[Polys]) >= kMostEntries) return false;
      readEntity(kind);
      polys = d_.polys.data();
      if (!isZero()) return false;  // the list ended inside it
      // Where the object ended: is it where an old one ended, past every
      // changed line read so far, with the next line unchanged?
      const auto b = static_cast<std::int32_t>(codepos_);
      while (next < runs.size() && runs[next].start < b) ++next;
      if (next > 0 && runs[next - 1].end() > b) continue;
      if (next < runs.size() && runs[next].start == b) continue;
      const std::int32_t ob = changes.toOld(b);
      const tpoly* e = std::lower_bound(polys, polys + n, ob, [](const tpoly& p, std::int32_t v) { return p.linebis + 1 < v; });
      if (e == polys + n || e->linebis + 1 != ob) continue;
      const auto last = static_cast<std::size_t>(e - polys);
      if (last < s) return false;
      for (; checked <= last; ++checked) {
        const tpoly& p = polys[checked];
        if (d_.entryparse[checked].sections != open || p.block != block || p.isviewport() ||
            (checked > s && p.linefrom != polys[checked - 1].linebis + 1))
          return false;
      }
      // From here on, the reader must stand as it stood: the entries after
      // take its widths and the reference their attributes belong to (the
      // same entry, or the one read again in its place, with the owner and
      // space the attributes take from it).
      const EntryParse& was = d_.entryparse[last];
      const auto tail = static_cast<std::size_t>(g.tailFrom[Polys]);
      bool sameInsert = was.insert < 0 ? lastInsert_ == SIZE_MAX : lastInsert_ == static_cast<std::size_t>(was.insert);
      if (was.insert >= 0 && lastInsert_ != SIZE_MAX && lastInsert_ >= tail &&
          d_.polys.size() - tail == last - s + 1 && static_cast<std::size_t>(was.insert) == s + (lastInsert_ - tail)) {
        const tpoly &now = d_.polys[lastInsert_], &then = d_.polys[static_cast<std::size_t>(was.insert)];
        sameInsert = now.layhan == then.layhan && now.ispaperspace == then.ispaperspace;
      } else if (was.insert >= 0 && static_cast<std::size_t>(was.insert) >= s) {
        sameInsert = false;
      }
      const bool same = SameBits(currentWidth_, was.width) && SameBits(startWidth_, was.startwidth) && sameInsert;
      if (!same && last + 1 < n) continue;
      g.last = last;
      const Sizes now = SizesOf(d_);
      for (std::size_t t = 0; t < kCount; ++t) g.tailCount[t] = now[t] - g.tailFrom[t];
      regions.push_back(g);
      break;
    }
  }
  return true;
}

}  // namespace vestrel::reader
