#include "editing/transforms.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "document/tabscope.h"
#include "editing/blockindex.h"
#include "editing/copylines.h"
#include "editing/editunits.h"
#include "editing/objectmap.h"
#include "editing/splices.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {

// The last line of a block reference's attributes and of their end; its
// own last line when none follow.
std::int32_t WithAttributes(const Drawing& d, const tpoly& p) {
  const auto n = static_cast<std::int32_t>(d.dxf.size());
  auto zero = [&](std::int32_t k) { return Trim(d.dxf[static_cast<std::size_t>(k)]) == "0"; };
  std::int32_t end = p.linebis;
  for (std::int32_t k = p.linebis + 1; k + 1 < n && zero(k);) {
    const std::string_view kind = d.value(k + 1);
    if (kind != "ATTRIB" && kind != "SEQEND") break;
    std::int32_t next = k + 2;
    while (next + 1 < n && !zero(next)) next += 2;
    end = next + 1 < n ? next - 1 : n - 1;
    if (kind == "SEQEND") break;
    k = next;
  }
  return end;
}

}  // namespace

std::vector<EditUnit> EditUnits(const Drawing& d, int tab, bool copying) {
  const TabScope scope = TabScope::OfTab(d, tab);
  std::vector<EditUnit> units;
  std::int32_t covered = -1;
  for (std::int32_t i = 0; i < d.anzpoly(); ++i) {
    const tpoly& p = d.polys[static_cast<std::size_t>(i)];
    if (!scope.edits(p) || p.linefrom <= covered) continue;
    if (p.isviewport() && p.issheet) continue;  // the sheet itself
    if (copying && p.kind == Kind::ATTRIB) continue;
    const std::int32_t to = p.extrakind == ExtraKind::Insert ? WithAttributes(d, p) : p.linebis;
    units.push_back({p.linefrom, to, i});
    covered = to;
  }
  return units;
}

std::vector<std::pair<std::int32_t, std::int32_t>> OwnedObjects(const Drawing& d, const std::vector<EditUnit>& units) {
  // An object, and the object it goes with (none for an extension
  // dictionary, which only its entity names).
  std::vector<std::pair<Handle, Handle>> work;
  for (const EditUnit& u : units) {
    bool dictionary = false;
    for (std::int32_t k = u.from; k + 1 <= u.to; k += 2) {
      const int g = GroupCode(d.value(k));
      if (g == 102) dictionary = d.value(k + 1) == "{ACAD_XDICTIONARY";
      if (g == 360 && dictionary)
        if (const auto h = ParseHandle(d.value(k + 1))) work.emplace_back(*h, 0);
    }
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> out;
  if (work.empty()) return out;
  struct Object {
    std::int32_t from = 0, to = 0;
    Handle owner = 0;
    std::vector<Handle> owns;
  };
  std::unordered_map<Handle, Object> objects;
  const auto n = static_cast<std::int32_t>(d.dxf.size());
  bool inObjects = false, braces = false, ownerSeen = false;
  Object* o = nullptr;
  std::int32_t start = 0;
  for (std::int32_t k = 0; k + 1 < n; k += 2) {
    const int g = GroupCode(d.value(k));
    const std::string_view v = d.value(k + 1);
    if (g == 0) {
      if (o) o->to = k - 1;
      o = nullptr, start = k, braces = ownerSeen = false;
      if (v == "ENDSEC") inObjects = false;
      continue;
    }
    if (g == 2 && v == "OBJECTS" && d.value(k - 1) == "SECTION") inObjects = true;
    if (!inObjects) continue;
    const auto h = ParseHandle(v);
    if (g == 5 && !o) {
      if (h) o = &objects[*h], o->from = start;
      continue;
    }
    if (!o) continue;
    if (g == 102) braces = !v.empty() && v[0] == '{';
    if (!h) continue;
    if (g == 330 && !braces && !ownerSeen) ownerSeen = true, o->owner = *h;
    if ((g == 350 || g == 360) && !braces) o->owns.push_back(*h);
  }
  if (o) o->to = n - 1;
  std::unordered_set<Handle> taken;
  while (!work.empty()) {
    const auto [h, owner] = work.back();
    work.pop_back();
    const auto it = objects.find(h);
    // What is only referred to stays.
    if (it == objects.end() || (owner && it->second.owner != owner) || !taken.insert(h).second) continue;
    out.emplace_back(it->second.from, it->second.to);
    for (const Handle child : it->second.owns) work.emplace_back(child, h);
  }
  return out;
}

namespace {

bool Finite(std::initializer_list<double> values) {
  for (const double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// The handle seed names the next free handle again (undo leaves it);
// `shift` says where a line of the drawing as parsed stands now.
template <class Shift>
void AdvanceSeed(DocumentContext& c, Handle before, Shift shift) {
  Drawing& d = c.drawing;
  if (d.maxhandle == before || d.handleseedpos < 0 || d.maxhandle >= std::numeric_limits<Handle>::max()) return;
  OverwriteKept(c.undos, d.dxf, static_cast<std::size_t>(shift(d.handleseedpos)), HandleText(d.maxhandle + 1));
}

// A block definition copied under `name`, its members mapped by `map`:
// its table entry goes before line `recordAt`, the definition before
// `blockAt`. `b` names lines of `src`.
EditResult CopyBlock(DocumentContext& c, const LineList& src, const BlockLines& b, std::int32_t recordAt,
                     std::int32_t blockAt, std::string_view oldName, const std::string& name, const EditMap& map,
                     Splices& s) {
  CopyState state;
  state.renameFrom = oldName;
  state.renameTo = name;
  if (b.recordFrom >= 0) {
    std::vector<std::string> record;
    if (!CopyLines(c, src, b.recordFrom, b.recordTo, LineEdits{}, state, record)) return EditResult::NoHandleLeft;
    s.insert(recordAt, std::move(record));
  }
  LineEdits members;
  MapObject(src, b.members, b.endblk - 1, map, members);
  if (!members.finite) return EditResult::InvalidValue;
  std::vector<std::string> lines;
  if (!CopyLines(c, src, b.from, b.to, members, state, lines)) return EditResult::NoHandleLeft;
  s.insert(blockAt, std::move(lines));
  return EditResult::Done;
}

// The picture of dimension `p` mapped with it: its block drawn moved by
// the dimension's offset (group 12), its members mapped in that frame. A
// block that other references share is copied for this dimension first.
EditResult MapPicture(DocumentContext& c, BlockIndex& blocks, const tpoly& p, const EditMap& map, Splices& s) {
  const Drawing& d = c.drawing;
  const std::string_view name = d.dimensionblock(p);
  const BlockLines* b = name.empty() ? nullptr : blocks.find(name);
  if (!b) return EditResult::Done;
  const DimensionData& m = d.dimension(p);
  const EditMap inner = map.shiftedBy({m.insx, m.insy, m.insz});
  if (blocks.references(name) <= 1) {
    LineEdits members;
    MapObject(d.dxf, b->members, b->endblk - 1, inner, members);
    if (!members.finite) return EditResult::InvalidValue;
    s.add(members);
    return EditResult::Done;
  }
  const std::string own = blocks.newDimensionName();
  const EditResult r = CopyBlock(c, d.dxf, *b, b->recordTo + 1, b->to + 1, name, own, inner, s);
  if (r == EditResult::Done) s.overwrite(m.blocklinenr, own);
  return r;
}

// What copies are made of: the lines of the selected objects and of the
// blocks their dimensions are drawn by, kept aside, so that copy after
// copy can be made while the drawing grows.
struct CopySource {
  LineList lines;
  struct Block {
    BlockLines at;                      // in `lines`
    std::int32_t recordAt, blockAt;     // where copies go in the drawing
    std::string name;
  };
  struct Object {
    std::int32_t from, to;  // in `lines`
    int block = -1;         // its dimension's block in `blocks`
    Point3 offset;          // where that block is drawn from
  };
  std::vector<Block> blocks;
  std::vector<Object> objects;
  std::int64_t linesPerCopy = 0, handlesPerCopy = 0;

  explicit CopySource(const Drawing& d, const std::vector<EditUnit>& units, BlockIndex& index) {
    std::vector<std::string> text;
    auto take = [&](std::int32_t from, std::int32_t to) {
      const auto at = static_cast<std::int32_t>(text.size());
      for (std::int32_t k = from; k <= to; ++k) text.emplace_back(d.dxf[static_cast<std::size_t>(k)]);
      linesPerCopy += to - from + 1;
      handlesPerCopy += HandlesIn(d.dxf, from, to);
      return at - from;  // what to add to a line of the drawing to find it here
    };
    std::map<std::string, int, std::less<>> known;
    for (const EditUnit& u : units) {
      Object o;
      const std::int32_t shift = take(u.from, u.to);
      o.from = u.from + shift, o.to = u.to + shift;
      const tpoly& p = d.polys[static_cast<std::size_t>(u.entry)];
      const std::string_view name = p.extrakind == ExtraKind::Dimension ? d.dimensionblock(p) : std::string_view{};
      if (const BlockLines* b = name.empty() ? nullptr : index.find(name)) {
        auto [it, added] = known.try_emplace(std::string(name), static_cast<int>(blocks.size()));
        if (added) {
          Block k{*b, b->recordTo + 1, b->to + 1, std::string(name)};
          if (b->recordFrom >= 0) {
            const std::int32_t rs = take(b->recordFrom, b->recordTo);
            k.at.recordFrom += rs, k.at.recordTo += rs;
          }
          const std::int32_t bs = take(b->from, b->to);
          k.at.from += bs, k.at.members += bs, k.at.endblk += bs, k.at.to += bs;
          blocks.push_back(std::move(k));
        } else {
          // Each copy of each dimension gets a block of its own.
          const BlockLines& again = blocks[static_cast<std::size_t>(it->second)].at;
          linesPerCopy += again.to - again.from + 1 + (again.recordFrom >= 0 ? again.recordTo - again.recordFrom + 1 : 0);
          handlesPerCopy += HandlesIn(d.dxf, b->from, b->to) + (b->recordFrom >= 0 ? 1 : 0);
        }
        o.block = it->second;
        const DimensionData& m = d.dimension(p);
        o.offset = {m.insx, m.insy, m.insz};
      }
      objects.push_back(o);
    }
    lines.insert(0, text);
  }

  // Whether the copies moved by (dx, dy) have finite numbers only.
  bool finite(double dx, double dy) const {
    const EditMap map = EditMap::Move(dx, dy);
    LineEdits e;
    for (const Object& o : objects) {
      MapObject(lines, o.from, o.to, map, e);
      if (o.block >= 0) {
        const BlockLines& b = blocks[static_cast<std::size_t>(o.block)].at;
        MapObject(lines, b.members, b.endblk - 1, map, e);
      }
      if (!e.finite) return false;
      e.clear();
    }
    return true;
  }
};

// Where the copies of the shown tab's objects go: the end of the layout's
// own block, or the end of the ENTITIES section.
std::int32_t CopyInsertionPoint(const Drawing& d, int tab) {
  const tblock* b = TabScope::OfTab(d, tab).ownBlock();
  const std::int32_t at = b ? (b->linetoinsert > 0 ? b->linetoinsert : -1) : d.insertlinepos;
  return at <= static_cast<std::int32_t>(d.dxf.size()) ? at : -1;
}

// Copies of the selection, one undo step for each offset. All are gathered
// first, so that a copy that cannot be made, or a stop asked for by
// `progress`, leaves the drawing as it was; then they go in in one pass.
EditResult CopyCells(DocumentContext& c, const std::vector<Point2>& offsets, const std::vector<EditUnit>& units,
                     CopySource& source, BlockIndex& index, const EditProgress& progress) {
  Drawing& d = c.drawing;
  const std::int32_t at = CopyInsertionPoint(d, c.tab);
  if (at < 0) return EditResult::NoInsertionPoint;
  if (units.empty()) return EditResult::NothingSelected;
  const auto copies = static_cast<std::int64_t>(offsets.size());
  const Handle top = std::max(d.maxhandle, c.undos.handlesIssued);
  if (source.handlesPerCopy > 0 &&
      static_cast<double>(source.handlesPerCopy) * static_cast<double>(copies) >=
          static_cast<double>(std::numeric_limits<Handle>::max() - 1 - top))
    return EditResult::NoHandleLeft;
  // The copies take their handles as they are gathered; none is given out
  // when none is made.
  const Handle before = d.maxhandle, issued = c.undos.handlesIssued;
  auto nothingMade = [&](EditResult r) {
    d.maxhandle = before;
    c.undos.handlesIssued = issued;
    return r;
  };
  std::vector<Splices> cells;
  cells.reserve(offsets.size());
  std::int32_t viewportId = d.maxviewportid + 1;
  for (const Point2 offset : offsets) {
    if (progress && !progress(static_cast<std::int64_t>(cells.size()), copies))
      return nothingMade(EditResult::Cancelled);
    const EditMap map = EditMap::Move(offset.x, offset.y);
    Splices& s = cells.emplace_back();
    std::vector<std::string> lines;
    CopyState state;
    state.trimCodes = true;
    state.nextViewportId = viewportId;
    LineEdits e;
    for (const CopySource::Object& o : source.objects) {
      MapObject(source.lines, o.from, o.to, map, e);
      if (!e.finite) return nothingMade(EditResult::InvalidValue);
      state.renameFrom.clear();
      if (o.block >= 0) {
        const CopySource::Block& b = source.blocks[static_cast<std::size_t>(o.block)];
        const std::string own = index.newDimensionName();
        const EditResult r = CopyBlock(c, source.lines, b.at, b.recordAt, b.blockAt, b.name, own,
                                       map.shiftedBy(o.offset), s);
        if (r != EditResult::Done) return nothingMade(r);
        state.renameFrom = b.name, state.renameTo = own;
      }
      if (!CopyLines(c, source.lines, o.from, o.to, e, state, lines)) return nothingMade(EditResult::NoHandleLeft);
      e.clear();
    }
    viewportId = state.nextViewportId;
    s.insert(at, std::move(lines));
  }
  if (progress) progress(copies, copies);
  Splices::ApplyInOrder(c, cells);
  // Lines of the drawing as parsed, where they stand after the copies.
  AdvanceSeed(c, before, [&](std::int32_t line) {
    std::int64_t moved = line;
    for (const Splices& s : cells)
      for (const auto& [pos, count] : s.insertions())
        if (pos <= line) moved += count;
    return static_cast<std::int32_t>(moved);
  });
  SetChanged(c);
  return EditResult::Done;
}

}  // namespace

bool Loeschen(DocumentContext& c) {
  Drawing& d = c.drawing;
  const std::vector<EditUnit> units = EditUnits(d, c.tab, false);
  if (units.empty()) return false;
  std::vector<std::pair<std::int32_t, std::int32_t>> ranges = OwnedObjects(d, units);
  for (const EditUnit& u : units) ranges.emplace_back(u.from, u.to);
  std::sort(ranges.begin(), ranges.end());
  ChangeStep step(c.undos, d.dxf);
  // From the last to the first: the lines of those still to go stay where
  // they were.
  for (auto r = ranges.rbegin(); r != ranges.rend(); ++r) step.erase(r->first, r->second - r->first + 1);
  processdxf(d);
  SetChanged(c);
  return true;
}

EditResult MapObjects(DocumentContext& c, const EditMap& map) {
  Drawing& d = c.drawing;
  if (!map.finite()) return EditResult::InvalidValue;
  const std::vector<EditUnit> units = EditUnits(d, c.tab, false);
  if (units.empty()) return EditResult::NothingSelected;
  BlockIndex blocks(d);
  Splices s;
  LineEdits e;
  const Handle before = d.maxhandle;
  for (const EditUnit& u : units) {
    MapObject(d.dxf, u.from, u.to, map, e);
    if (!e.finite) return EditResult::InvalidValue;
    s.add(e);
    const tpoly& p = d.polys[static_cast<std::size_t>(u.entry)];
    if (p.extrakind == ExtraKind::Dimension)
      if (const EditResult r = MapPicture(c, blocks, p, map, s); r != EditResult::Done) return r;
  }
  if (s.empty()) return EditResult::Unchanged;
  s.apply(c);
  AdvanceSeed(c, before, [](std::int32_t line) { return line; });
  processdxf(d);
  SetChanged(c);
  return EditResult::Done;
}

EditResult MoveObjects(DocumentContext& c, double dx, double dy) {
  if (!Finite({dx, dy})) return EditResult::InvalidValue;
  return MapObjects(c, EditMap::Move(dx, dy));
}

EditResult RotateObjects(DocumentContext& c, double x1, double y1, double x2, double y2, int mode) {
  if (!Finite({x1, y1, x2, y2})) return EditResult::InvalidValue;
  const double phi = std::atan2(y2 - y1, x2 - x1);
  switch (mode) {
    case kRotate: return MapObjects(c, EditMap::Rotate({x1, y1}, phi));
    case kMirror:
      if (x1 == x2 && y1 == y2) return EditResult::NoMirrorAxis;
      return MapObjects(c, EditMap::Mirror({x1, y1}, phi));
    default: {
      const double s = std::hypot(x2 - x1, y2 - y1);
      if (!std::isfinite(s)) return EditResult::InvalidValue;
      if (!(s > 0)) return EditResult::BadFactor;
      return MapObjects(c, EditMap::Scale({x1, y1}, s));
    }
  }
}

EditResult CopyObjects(DocumentContext& c, double dx, double dy) {
  if (!Finite({dx, dy})) return EditResult::InvalidValue;
  Drawing& d = c.drawing;
  const std::vector<EditUnit> units = EditUnits(d, c.tab, true);
  if (units.empty()) return EditResult::NothingSelected;
  BlockIndex index(d);
  CopySource source(d, units, index);
  const EditResult r = CopyCells(c, {{dx, dy}}, units, source, index, {});
  if (r == EditResult::Done) processdxf(d);
  return r;
}

EditResult MakeArray(DocumentContext& c, const ArrayDialogValues& v, const EditProgress& progress) {
  if (v.SpaltenEd < 1 || v.ZeilenEd < 1 || v.SpaltenEd > kArrayMaxCount || v.ZeilenEd > kArrayMaxCount)
    return EditResult::BadCount;
  if (!Finite({v.SpaltenAbstandEd, v.ZeilenAbstandEd, v.RotierenEd})) return EditResult::InvalidValue;
  Drawing& d = c.drawing;
  const std::vector<EditUnit> units = EditUnits(d, c.tab, true);
  if (units.empty()) return EditResult::NothingSelected;
  const std::int64_t copies = static_cast<std::int64_t>(v.SpaltenEd) * v.ZeilenEd - 1;
  if (copies == 0) return EditResult::Unchanged;
  // Measured before anything is gathered, and again with the blocks that
  // copies of dimensions bring along.
  std::int64_t lines = 0;
  for (const EditUnit& u : units) lines += u.to - u.from + 1;
  if (copies > kArrayMaxCopies || copies * lines > kArrayMaxLines) return EditResult::TooLarge;
  BlockIndex index(d);
  CopySource source(d, units, index);
  if (copies * source.linesPerCopy > kArrayMaxLines) return EditResult::TooLarge;
  // The columns run along the array's angle, the rows a quarter turn on.
  const EditMap turn = EditMap::Rotate({0, 0}, v.RotierenEd * kPi / 180);
  std::vector<Point2> offsets;
  offsets.reserve(static_cast<std::size_t>(copies));
  for (int i = 0; i < v.SpaltenEd; ++i)
    for (int j = 0; j < v.ZeilenEd; ++j) {
      if (i == 0 && j == 0) continue;
      const Point3 o = turn.vector({v.SpaltenAbstandEd * i, v.ZeilenAbstandEd * j, 0});
      if (!Finite({o.x, o.y})) return EditResult::InvalidValue;
      offsets.push_back({o.x, o.y});
    }
  // The copies lie between the corners of the array: when those are
  // finite, all are.
  const int lastColumn = v.SpaltenEd - 1, lastRow = v.ZeilenEd - 1;
  for (const int i : {0, lastColumn})
    for (const int j : {0, lastRow}) {
      const Point3 o = turn.vector({v.SpaltenAbstandEd * i, v.ZeilenAbstandEd * j, 0});
      if (!source.finite(o.x, o.y)) return EditResult::InvalidValue;
    }
  const EditResult r = CopyCells(c, offsets, units, source, index, progress);
  if (r == EditResult::Done) processdxf(d);
  return r;
}

}  // namespace vestrel
