// Reading a large drawing in two parts at once.
//
// An object of the ENTITIES section takes nothing from what comes before
// it but the polyline widths read last and, for an attribute, the block
// reference before it. So while one reader reads from the start, a second
// reads from an object in the middle of the list up to the end of its
// section, into a drawing of its own. When the first reader comes to that
// object standing among the entities with nothing else open and no width
// read, the second part's entries are appended to its own and it goes on
// from where the second reader stopped. Otherwise it simply reads on and
// the second part is dropped: the result is always what one reading gives.
#include <algorithm>
#include <bit>
#include <iterator>
#include <type_traits>

#include "document/reader.h"
#include "document/workers.h"

namespace vestrel::reader {

namespace {

// Lists shorter than this are read in one part: the second thread would
// not pay for itself.
constexpr std::size_t kTwoPartLines = 200000;
// How far from the middle an object to begin the second part is looked for.
constexpr std::size_t kSplitSearch = 20000;

bool IsZeroBits(double v) { return std::bit_cast<std::uint64_t>(v) == 0; }

// The "0" line of an object (no attribute) at or after the middle of the
// list; none (SIZE_MAX) near it. Whether it really begins an object the
// first reader finds out when it gets there.
std::size_t MiddleObject(const LineList& dxf) {
  const std::size_t n = dxf.size();
  for (std::size_t i = n / 2; i + 1 < n && i < n / 2 + kSplitSearch; ++i) {
    if (Trim(dxf[i]) != "0") continue;
    const Kind kind = KindOf(Trim(dxf[i + 1]));
    if (kind != Kind::None && kind != Kind::ATTRIB) return i;
  }
  return SIZE_MAX;
}

template <class T>
void TakeAll(Pool<T>& to, Pool<T>& from) {
  to.takeAll(from);
}
template <class T>
void TakeAll(std::vector<T>& to, std::vector<T>& from) {
  to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
  from = {};
}

}  // namespace

void Reader::run() {
  if (n_ >= kTwoPartLines && WorkerCount() >= 2)
    if (const std::size_t split = MiddleObject(dxf_); split != SIZE_MAX) {
      runInTwo(split);
      return;
    }
  reset();
  walk();
  finish();
}

bool Reader::runInTwo(std::size_t split) {
  reset();
  Drawing part;
  Reader second(part, dxf_);
  bool secondRead = false;
  stopAt_ = split;
  RunTasks(2, [&](int task) {
    if (task == 0)
      walk();
    else
      secondRead = second.readEntitiesFrom(split);
  });
  stopAt_ = SIZE_MAX;
  const bool joined = stopped_ && secondRead && IsZeroBits(currentWidth_) && IsZeroBits(startWidth_);
  if (joined) join(second);
  stopped_ = false;
  walk();
  finish();
  return joined;
}

bool Reader::amongEntitiesOnly() const {
  return inEntities_ && !inBlocks_ && !inBlock_ && !inTables_ && !inObjects_ && !inHeader_ && !expectingSectionName_ &&
         !inHandseed_ && !inAcadver_ && inCurrent_ < 0 && !handseedNameJustRead_;
}

// As walk() reads on among the entities: each "0" pair begins an object,
// read as an entry or stepped over, up to the pair that ends the section.
bool Reader::readEntitiesFrom(std::size_t from) {
  if (from >= n_) return false;
  inEntities_ = true;
  pos_ = from;
  bool first = true;
  while (!atEnd()) {
    if (!reuse_) readPair();
    reuse_ = false;
    if (!isZero()) return false;
    const Kind kind = KindOf(value_);
    if (first && (kind == Kind::None || kind == Kind::ATTRIB)) return false;
    first = false;
    if (value_ == "ENDSEC" || value_ == "SECTION") {
      reuse_ = true;  // for the first reader to look at
      break;
    }
    if (kind != Kind::None)
      readEntity(kind);
    else
      skipObject();
  }
  return !first;
}

void Reader::join(Reader& second) {
  Drawing& part = second.d_;
  // The second part's records count from the ends of the first's tables.
  const auto entries = static_cast<std::int32_t>(d_.polys.size());
  auto extraBase = [&](ExtraKind k) -> std::size_t {
    switch (k) {
      case ExtraKind::Text: return d_.texts.size();
      case ExtraKind::Dimension: return d_.dimensions.size();
      case ExtraKind::Viewport: return d_.viewports.size();
      case ExtraKind::Insert: return d_.inserts.size();
      case ExtraKind::Hatch: return d_.hatches.size();
      case ExtraKind::None: break;
    }
    return 0;
  };
  for (tpoly& p : part.polys) {
    p.psfrom += static_cast<std::uint32_t>(d_.points.size());
    p.snapfrom += static_cast<std::uint32_t>(d_.snaps.size());
    if (p.extrakind != ExtraKind::None) p.extra += static_cast<std::int32_t>(extraBase(p.extrakind));
  }
  for (EntryParse& e : part.entryparse)
    if (e.insert >= 0) e.insert += entries;
  for (HatchData& h : part.hatches) h.linefrom += static_cast<std::uint32_t>(d_.hatchlines.size());
  for (HatchLine& l : part.hatchlines) l.dashfrom += static_cast<std::uint32_t>(d_.hatchdashes.size());
  d_.eachTable([&](auto& to, tables::Id id) {
    part.eachTable([&](auto& from, tables::Id fromId) {
      if constexpr (std::is_same_v<decltype(to), decltype(from)>)
        if (id == fromId) TakeAll(to, from);
    });
  });

  d_.maxhandle = std::max(d_.maxhandle, part.maxhandle);
  d_.maxviewportid = std::max(d_.maxviewportid, part.maxviewportid);
  outside_ = std::max(outside_, second.outside_);
  // The kinds stepped over: counted on, or new ones after those met first.
  std::vector<std::string_view> names(part.steppedover.size());
  for (const auto& [name, at] : second.steppedIndex_) names[at] = name;
  for (std::size_t k = 0; k < names.size(); ++k) {
    const auto [it, added] = steppedIndex_.try_emplace(names[k], d_.steppedover.size());
    if (added) d_.steppedover.emplace_back(std::string(names[k]), 0);
    d_.steppedover[it->second].second += part.steppedover[k].second;
  }

  // Where the second reader stands, and what the objects after take from
  // those before.
  pos_ = second.pos_;
  codepos_ = second.codepos_;
  code_ = second.code_, value_ = second.value_;
  group_ = second.group_;
  reuse_ = second.reuse_;
  pairCounted_ = second.pairCounted_;
  currentWidth_ = second.currentWidth_, startWidth_ = second.startWidth_;
  lastInsert_ = second.lastInsert_ == SIZE_MAX ? SIZE_MAX : second.lastInsert_ + static_cast<std::size_t>(entries);
}

}  // namespace vestrel::reader
