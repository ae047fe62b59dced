// The entity frame shared by every drawable kind: one display-list entry
// per object, its line range, its common groups and its block membership,
// and the dispatch of every other group to the branch of its kind.
#include <algorithm>
#include <cmath>
#include <utility>

#include "document/reader.h"
#include "geometry/floats.h"
#include "geometry/placement.h"

namespace vestrel::reader {

namespace {

// The entry's box, each edge rounded outwards to a float.
void SetBox(tpoly& p, double minx, double miny, double maxx, double maxy) {
  p.boxminx = FloatBelow(minx), p.boxminy = FloatBelow(miny);
  p.boxmaxx = FloatAbove(maxx), p.boxmaxy = FloatAbove(maxy);
}

}  // namespace

void Reader::skipObject() {
  auto& stepped = d_.steppedover;
  const auto [it, added] = steppedIndex_.try_emplace(value_, stepped.size());
  if (added)
    stepped.emplace_back(std::string(value_), 1);
  else
    ++stepped[it->second].second;
  while (!atEnd()) {
    readPair();
    if (isZero()) break;
  }
  reuse_ = true;
}

bool Reader::real(double& field) const { return ParseDouble(value_, field); }

std::int32_t Reader::intValue(std::int32_t previous) const { return ParseInt(value_).value_or(previous); }

Tmypoi& Reader::addPoint(tpoly& p) {
  ++p.anzp;
  return d_.points.emplace_back();
}

Tmypoi& Reader::addPoint(tpoly& p, double x, double y, double z) {
  Tmypoi& q = addPoint(p);
  q.x = x, q.y = y, q.z = z;
  return q;
}

Tmypoi* Reader::filePoint(tpoly& p) {
  double x;
  if (!real(x)) return nullptr;
  Tmypoi& q = addPoint(p);
  q.x = x;
  q.linex = valueLine();
  return &q;
}

void Reader::fileY(Tmypoi* last) {
  if (last && real(last->y)) last->liney = valueLine();
}

void Reader::fileZ(Tmypoi* last) {
  if (last && real(last->z)) last->linez = valueLine();
}

void Reader::extrusion(tpoly& p) {
  switch (group_) {
    case 210: p.needext210 = false; break;
    case 220: p.needext220 = false; break;
    case 230: p.needext230 = false; break;
    default: break;
  }
}

void Reader::addSnap(tpoly& p, double x, double y, double z) {
  ++p.anzs;
  Tmypoi& s = d_.snaps.emplace_back();
  s.x = x, s.y = y, s.z = z;
}

tpoly& Reader::beginEntity(Kind kind) {
  tpoly& p = d_.polys.emplace_back();
  o_ = Object{};
  p.isblock = inBlock_;
  if (inBlock_) {
    p.block = block_;
    p.layhan = d_.blocks[static_cast<std::size_t>(block_)].hand;
  }
  p.linefrom = codeLine();
  p.psfrom = static_cast<std::uint32_t>(d_.points.size());
  p.snapfrom = static_cast<std::uint32_t>(d_.snaps.size());
  bulges_.clear();
  p.kind = kind;
  switch (kind) {
    case Kind::LEADER: p.arrowhead = true; break;
    case Kind::ELLIPSE: p.needext210 = p.needext220 = p.needext230 = true; break;
    case Kind::SOLID: p.isclosed = true; break;
    case Kind::HATCH:
      p.isclosed = true;
      hatch_.begin(p);
      break;
    case Kind::VIEWPORT:
      p.extra = static_cast<std::int32_t>(d_.viewports.size());
      p.extrakind = ExtraKind::Viewport;
      d_.viewports.emplace_back();
      break;
    case Kind::MULTILEADER:
      leaders_.clear();
      leaderPart_ = LeaderPart::Main;
      mleader_ = {};
      [[fallthrough]];
    case Kind::MTEXT:
    case Kind::TEXT:
    case Kind::ATTRIB:
      p.needext210 = p.needext220 = p.needext230 = true;
      p.extra = static_cast<std::int32_t>(d_.texts.size());
      p.extrakind = ExtraKind::Text;
      d_.texts.emplace_back();
      break;
    case Kind::DIMENSION:
      p.extra = static_cast<std::int32_t>(d_.dimensions.size());
      p.extrakind = ExtraKind::Dimension;
      d_.dimensions.emplace_back();
      break;
    case Kind::INSERT:
      p.extra = static_cast<std::int32_t>(d_.inserts.size());
      p.extrakind = ExtraKind::Insert;
      d_.inserts.emplace_back();
      break;
    case Kind::SPLINE:
      spline_.clear();
      break;
    default: break;
  }
  return p;
}

// The groups every kind reads; the last occurrence in the object wins, but
// for the owner. Returns whether the pair was one of them.
bool Reader::commonGroup(tpoly& p, Kind kind) {
  // The layer, line type, colour and weight of an old-style polyline are
  // those of its header; its vertices and its end repeat them or not.
  if (!o_.inHeader && (group_ == 8 || group_ == 6 || group_ == 62 || group_ == 370 || group_ == 420 || group_ == 67))
    return true;
  switch (group_) {
    case 5:
      if (const auto h = ParseHandle(value_)) p.han = *h;
      return true;
    case 102:
      o_.inBraces = !value_.empty() && value_[0] == '{';
      return false;
    case 330:
      // The owner is the first 330 outside a {...} group: reactors come
      // before it, and what follows it refers to other objects (the
      // boundaries of a hatch; the polyline that owns a vertex).
      if (!o_.inBraces && !o_.ownerSeen)
        if (const auto h = ParseHandle(value_)) {
          p.layhan = *h;
          o_.ownerSeen = true;
        }
      return true;
    case 67: p.ispaperspace = value_ == "1"; return true;
    case 8:
      p.layerpresent = true;
      p.layerlinenr = valueLine();
      p.layerindex = layerIndexOf(value_);
      return true;
    case 6:
      if (kind == Kind::VIEWPORT) return false;
      p.ltnamepresent = true;
      p.ltnamelinenr = valueLine();
      return true;
    case 370:
      if (kind == Kind::VIEWPORT || kind == Kind::SOLID || kind == Kind::POINT) return false;
      p.lineweight = intValue(p.lineweight);
      p.linweightpresent = true;
      p.lineweightlinenr = valueLine();
      return true;
    case 420:
      if (kind == Kind::VIEWPORT) return false;
      if (const auto v = ParseInt(value_)) {
        p.truecolor = static_cast<std::uint32_t>(*v) & 0xFFFFFF;
        p.truecolorpresent = true;
      }
      return true;
    case 62:
      if (kind == Kind::VIEWPORT) return false;
      p.colornr = intValue(p.colornr);
      p.colorispresent = true;
      p.colorlinenr = valueLine();
      return true;
    default: return false;
  }
}

std::int32_t Reader::layerIndexOf(std::string_view name) {
  if (name.empty()) return -1;
  if (layersMapped_ != d_.anzlayer) {
    layerIndex_.clear();
    for (std::int32_t i = 0; i < d_.anzlayer; ++i)
      layerIndex_.try_emplace(Trim(d_.layers[static_cast<std::size_t>(i)].name), i);
    layersMapped_ = d_.anzlayer;
    lastLayerName_ = {};
  }
  layersAsked_ = std::min(layersAsked_, d_.anzlayer);
  // Entries come in runs on the same layer.
  if (name == lastLayerName_) return lastLayerIndex_;
  const auto it = layerIndex_.find(name);
  lastLayerName_ = name;
  return lastLayerIndex_ = it == layerIndex_.end() ? -1 : it->second;
}

// Entries read before (a part of) the layer table may name a layer it had
// not yet then; the first slot of a name stays its first as the table grows.
void Reader::resolveLateLayers() {
  if (layersAsked_ >= d_.anzlayer) return;
  for (tpoly& p : d_.polys)
    if (p.layerpresent && p.layerindex < 0) p.layerindex = layerIndexOf(d_.layer(p));
}

void Reader::readEntity(Kind kind) {
  const std::size_t index = d_.polys.size();
  const std::uint8_t open = sections();
  entryHandles_ = 0;
  handles_ = &entryHandles_;
  beginEntity(kind);
  bool terminated = false;
  while (!atEnd()) {
    readPair();
    tpoly& p = d_.polys[index];
    if (isZero()) {
      // An old-style polyline runs on over its vertices up to its SEQEND.
      if (kind == Kind::POLYLINE && (value_ == "VERTEX" || value_ == "SEQEND")) {
        o_.inVertex = value_ == "VERTEX";
        o_.inHeader = false;
        o_.ownerSeen = true;  // a vertex's owner is the polyline itself
        continue;
      }
      terminated = true;
      break;
    }
    if (commonGroup(p, kind)) continue;
    switch (group_) {
      case 210: real(o_.normal.x); break;
      case 220: real(o_.normal.y); break;
      case 230: real(o_.normal.z); break;
      default: break;
    }
    switch (kind) {
      case Kind::LINE:
      case Kind::RAY:
      case Kind::XLINE:
      case Kind::LWPOLYLINE:
      case Kind::LEADER: lineGroup(p); break;
      case Kind::POLYLINE: polylineGroup(p); break;
      case Kind::ARC:
      case Kind::CIRCLE: arcGroup(p); break;
      case Kind::ELLIPSE: ellipseGroup(p); break;
      case Kind::SOLID:
      case Kind::POINT: solidGroup(p); break;
      case Kind::HATCH: hatch_.group(p, group_, value_); break;
      case Kind::WIPEOUT: wipeoutGroup(p); break;
      case Kind::VIEWPORT: viewportGroup(p); break;
      case Kind::SPLINE: splineGroup(p); break;
      case Kind::TEXT:
      case Kind::MTEXT:
      case Kind::ATTRIB: textGroup(p, kind); break;
      case Kind::INSERT: insertGroup(p); break;
      case Kind::DIMENSION: dimensionGroup(p); break;
      case Kind::MULTILEADER: mleaderGroup(p); break;
      case Kind::None: break;
    }
  }
  tpoly& p = d_.polys[index];
  switch (kind) {
    case Kind::LINE:
    case Kind::RAY:
    case Kind::XLINE:
    case Kind::LWPOLYLINE:
    case Kind::LEADER: finishLine(p, kind); break;
    case Kind::POLYLINE: bulgeArcs(p); break;
    case Kind::HATCH: hatch_.finish(p, o_.normal); break;
    case Kind::ARC:
    case Kind::CIRCLE: finishArc(p, kind); break;
    case Kind::ELLIPSE: finishEllipse(p); break;
    case Kind::SOLID:
    case Kind::POINT: finishSolid(p); break;
    case Kind::WIPEOUT: finishWipeout(p); break;
    case Kind::VIEWPORT: finishViewport(p); break;
    case Kind::SPLINE: finishSpline(p); break;
    case Kind::TEXT:
    case Kind::MTEXT:
    case Kind::ATTRIB: finishText(p); break;
    case Kind::DIMENSION: finishDimension(p); break;
    case Kind::MULTILEADER: finishMLeader(p); break;
    case Kind::INSERT:
    case Kind::None: break;
  }
  toWorld(p, kind);
  if (kind == Kind::INSERT) {
    lastInsert_ = index;
  } else if (kind == Kind::ATTRIB && lastInsert_ < index) {
    // An attribute is owned by its reference and lies in the reference's
    // space.
    const tpoly& insert = d_.polys[lastInsert_];
    p.layhan = insert.layhan;
    p.ispaperspace = insert.ispaperspace;
  } else {
    lastInsert_ = SIZE_MAX;
  }
  finishEntity(p, terminated);
  if (kind == Kind::DIMENSION && p.anzp > 0) {
    // The dimension's text stands at its own point.
    const DimensionData& m = d_.dimensions.back();
    SetBox(p, std::min<double>(p.boxminx, m.cx1), std::min<double>(p.boxminy, m.cy1),
           std::max<double>(p.boxmaxx, m.cx1), std::max<double>(p.boxmaxy, m.cy1));
  }
  handles_ = &outside_;
  d_.entryparse.push_back({currentWidth_, startWidth_, entryHandles_,
                           lastInsert_ == SIZE_MAX ? -1 : static_cast<std::int32_t>(lastInsert_), open});
}

bool Reader::inPlan(Kind kind) const {
  if (!GrammarOf(kind).planar) return true;
  if (kind == Kind::POLYLINE && WorldVertices(o_.polylineFlags)) return true;
  const Point3 n = o_.normal;
  return n.x == 0 && n.y == 0 && n.z > 0;  // the world's own
}

void Reader::toWorld(tpoly& p, Kind kind) {
  if (inPlan(kind)) return;
  const Placement ocs = ObjectCoordinates(o_.normal);
  auto place = [&](Tmypoi& q) {
    const Point3 w = ocs.apply({q.x, q.y, q.z});
    q.x = w.x, q.y = w.y, q.z = w.z;
  };
  for (Tmypoi& q : d_.stored(p)) place(q);
  for (Tmypoi& q : std::span<Tmypoi>(d_.snaps.data() + p.snapfrom, static_cast<std::size_t>(p.anzs))) place(q);
  const Point3 c = ocs.apply({p.cx, p.cy, p.cz});
  p.cx = c.x, p.cy = c.y, p.cz = c.z;
}

void Reader::keepFinite(tpoly& p) {
  constexpr double kLargest = 1e300;
  auto finite = [](double& v) {
    if (std::isnan(v))
      v = 0;
    else if (std::isinf(v))
      v = v > 0 ? kLargest : -kLargest;
  };
  for (Tmypoi& q : d_.stored(p)) finite(q.x), finite(q.y), finite(q.z);
  for (Tmypoi& q : std::span<Tmypoi>(d_.snaps.data() + p.snapfrom, static_cast<std::size_t>(p.anzs)))
    finite(q.x), finite(q.y), finite(q.z);
  for (double* v : {&p.radius, &p.radius1}) finite(*v);
}

void Reader::finishEntity(tpoly& p, bool terminated) {
  // The object ends where the next "0" pair begins; an object cut off by
  // the end of the list owns the rest of it.
  p.linebis = terminated ? codeLine() - 1 : static_cast<std::int32_t>(n_) - 1;
  reuse_ = true;
  keepFinite(p);
  if (p.anzp > 0) {
    const auto pts = std::as_const(d_).ps(p);
    double minx = pts[0].x, maxx = minx, miny = pts[0].y, maxy = miny;
    for (const Tmypoi& q : pts) {
      minx = std::min(minx, q.x), maxx = std::max(maxx, q.x);
      miny = std::min(miny, q.y), maxy = std::max(maxy, q.y);
    }
    SetBox(p, minx, miny, maxx, maxy);
  }
}

}  // namespace vestrel::reader
