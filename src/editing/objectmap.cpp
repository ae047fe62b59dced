#include "editing/objectmap.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "editing/mapper.h"
#include "writers/insertcode.h"

namespace vestrel {

std::string CodeText(int group) {
  std::string s = std::to_string(group);
  return s.size() < 3 ? std::string(3 - s.size(), ' ') + s : s;
}

namespace objectmap {

void Mapper::run(std::int32_t from, std::int32_t to) {
  std::int32_t i = from;
  while (i + 1 <= to) {
    std::int32_t j = i + 2;
    while (j + 1 <= to && Trim(dxf_[static_cast<std::size_t>(j)]) != "0") j += 2;
    object(i, std::min(j - 1, to));
    i = j;
  }
}

// --- the object's pairs ---------------------------------------------------------------

void Mapper::object(std::int32_t from, std::int32_t to) {
  kind_ = Trim(dxf_[static_cast<std::size_t>(from) + 1]);
  end_ = to;
  pairs_.clear();
  for (std::int32_t k = from + 2; k + 1 <= to; k += 2)
    pairs_.push_back({GroupCode(Trim(dxf_[static_cast<std::size_t>(k)])), k + 1,
                      Trim(dxf_[static_cast<std::size_t>(k) + 1])});
  if (kind_ == "VERTEX") return vertex();
  if (kind_ == "SEQEND") return;
  polyline_ = false;
  grammar_ = GrammarOf(kind_);
  if (!grammar_) return;
  plane_ = ObjectPlaneOf(dxf_, from, to);
  switch (grammar_->kind) {
    case Kind::ARC: return arc();
    case Kind::ELLIPSE: return ellipse();
    case Kind::LWPOLYLINE: return lwpolyline();
    case Kind::POLYLINE: return polylineHeader();
    case Kind::TEXT:
    case Kind::ATTRIB: return text();
    case Kind::MTEXT: return mtext();
    case Kind::INSERT: return insert();
    case Kind::DIMENSION: return dimension();
    case Kind::HATCH: return hatch();
    case Kind::MULTILEADER: return mleader();
    default: break;
  }
  if (kind_ == "ATTDEF") return text();
  plain();
}

int Mapper::find(int group) const {
  for (std::size_t i = 0; i < pairs_.size(); ++i)
    if (pairs_[i].group == group) return static_cast<int>(i);
  return -1;
}

// --- writing -----------------------------------------------------------------------------

void Mapper::set(std::size_t i, double v) {
  const auto old = num(i);
  if (!old || *old == v) return;
  if (!std::isfinite(v)) out_.finite = false;
  out_.overwrite.emplace_back(pairs_[i].line, FloatToDxf(v));
}

void Mapper::setText(std::size_t i, std::string_view text) {
  if (pairs_[i].value != text) out_.overwrite.emplace_back(pairs_[i].line, std::string(text));
}

void Mapper::add(std::int32_t at, std::vector<std::pair<int, double>> values) {
  LineEdits::Insertion ins{at, {}};
  for (const auto& [group, v] : values) {
    if (!std::isfinite(v)) out_.finite = false;
    ins.lines.push_back(CodeText(group));
    ins.lines.push_back(FloatToDxf(v));
  }
  if (!ins.lines.empty()) out_.insert.push_back(std::move(ins));
}

void Mapper::ensure(int group, double v, double fallback, std::int32_t after) {
  if (const int i = find(group); i >= 0) return set(static_cast<std::size_t>(i), v);
  if (v != fallback) add(after + 1, {{group, v}});
}

// --- points, directions, lengths, angles ------------------------------------------

std::size_t Mapper::extent(std::size_t i, std::optional<std::size_t>& y, std::optional<std::size_t>& z) const {
  const int g = pairs_[i].group;
  std::size_t last = i;
  if (i + 1 < pairs_.size() && pairs_[i + 1].group == g + 10) y = last = i + 1;
  if (y && *y + 1 < pairs_.size() && pairs_[*y + 1].group == g + 20) z = last = *y + 1;
  return last;
}

void Mapper::length(std::size_t i) {
  if (map_.factor == 1) return;
  if (const auto v = num(i)) set(i, *v * map_.factor);
}

void Mapper::angle(std::size_t i, const PlaneMap& pm) {
  if (const auto v = num(i)) set(i, pm.reflects ? Normalized(pm.angle(*v)) : pm.angle(*v));
}

void Mapper::radians(std::size_t i, const PlaneMap& pm) {
  if (const auto v = num(i)) {
    const double a = pm.angle(*v * 180 / kPi);
    set(i, (pm.reflects ? Normalized(a) : a) * kPi / 180);
  }
}

void Mapper::bulge(std::size_t i) {
  if (!map_.reflects) return;
  if (const auto v = num(i); v && *v != 0) set(i, -*v);
}

void Mapper::elevation(std::size_t i, const PlaneMap& pm) {
  if (const auto v = num(i)) set(i, pm.point({0, 0, *v}).z);
}

// Turned with the plane; mirrored, the arc runs from the image of its end
// to the image of its start. The sweep stays what it was. In degrees from
// the plane's x axis; or (`full` 2 pi) an elliptic arc's parameters,
// measured from its own axis, which the mirror only runs the other way.
void Mapper::arcEnds(int start, int end, const PlaneMap& pm, double full, std::int32_t after) {
  const bool degrees = full == 360;
  const double defaultEnd = degrees ? 0.0 : 2 * kPi;
  const int si = find(start), ei = find(end);
  const auto s = si >= 0 ? num(static_cast<std::size_t>(si)) : std::optional<double>(0.0);
  const auto e = ei >= 0 ? num(static_cast<std::size_t>(ei)) : std::optional<double>(defaultEnd);
  if (!s || !e) return;
  const double turn = degrees ? pm.turn : 0;
  if (!pm.reflects) {
    ensure(start, *s + turn, 0, after);
    ensure(end, *e + turn, defaultEnd, after);
    return;
  }
  // The sweep counter-clockwise, more than nothing and at most a turn
  // (an arc whose ends are one point keeps them so). What lies within
  // the last digits of a full turn, or of none, is one: the numbers are
  // written with 15 digits, 2 pi as 6.28318530717959.
  const double tiny = full * 1e-12;
  double sweep = *e - *s;
  if (std::abs(sweep - full) < tiny) sweep = full;
  if (sweep != 0 && (sweep < 0 || sweep > full)) {
    sweep = std::fmod(sweep, full);
    if (sweep <= 0) sweep += full;
  }
  double s2 = Normalized(turn - *e, full);
  if (s2 < tiny || full - s2 < tiny) s2 = 0;
  ensure(start, s2, 0, after);
  ensure(end, s2 + sweep, defaultEnd, after);
}

// --- meanings ----------------------------------------------------------------------------

void Mapper::apply(Meaning m, std::size_t i, bool planar, const PlaneMap& pm) {
  switch (m) {
    case Meaning::Point: return planar ? planePoint(i, pm) : worldPoint(i);
    case Meaning::WorldPoint: return worldPoint(i);
    case Meaning::PlanePoint: return planePoint(i, pm);
    case Meaning::FlatPoint: return planePoint(i, pm, false);
    case Meaning::Vector: return worldVector(i);
    case Meaning::Direction: return direction(i);
    case Meaning::Distance: return length(i);
    case Meaning::Angle: return angle(i, pm);
    case Meaning::Bulge: return bulge(i);
    case Meaning::Elevation: return elevation(i, pm);
    default: return;
  }
}

// --- the extrusion -----------------------------------------------------------------------

void Mapper::setNormal(const PlaneMap& pm) {
  if (!pm.normalChanged) return;
  const double v[3] = {pm.normal.x + 0.0, pm.normal.y + 0.0, pm.normal.z + 0.0};
  const double fallback[3] = {0, 0, 1};
  std::int32_t last = -1;
  for (const Pair& p : pairs_)
    if (p.group == 210 || p.group == 220 || p.group == 230) last = std::max(last, p.line);
  if (last < 0) last = end_;
  // An extrusion is written whole: a lone 230 is no extrusion to other
  // programs.
  const bool whole = find(210) >= 0 && find(220) >= 0 && find(230) >= 0;
  for (int k = 0; k < 3; ++k) ensure(210 + 10 * k, v[k], whole ? fallback[k] : std::nan(""), last);
}

// --- kinds -------------------------------------------------------------------------------

void Mapper::plain() {
  const PlaneMap pm = plane();
  groups(*grammar_, plane_.planar, pm);
  if (grammar_->has(Meaning::Extrusion)) setNormal(pm);
}

}  // namespace objectmap

void MapObject(const LineList& dxf, std::int32_t from, std::int32_t to, const EditMap& map, LineEdits& out) {
  // The pairs of one object after another, in one buffer.
  thread_local std::vector<objectmap::Pair> pairs;
  objectmap::Mapper(dxf, map, out, pairs).run(from, to);
}

}  // namespace vestrel
