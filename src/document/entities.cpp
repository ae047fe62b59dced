// The entity frame shared by every drawable kind: one display-list entry
// per object, its line range, its common groups and its block membership.
#include "document/reader.h"

namespace vestrel::reader {

namespace {

struct KindText {
  std::string_view text;
  Kind kind;
};

// In the order of the Kind enumeration.
constexpr KindText kKinds[] = {
    {"VIEWPORT", Kind::VIEWPORT}, {"POLYLINE", Kind::POLYLINE}, {"DIMENSION", Kind::DIMENSION},
    {"RAY", Kind::RAY},           {"XLINE", Kind::XLINE},       {"LINE", Kind::LINE},
    {"LWPOLYLINE", Kind::LWPOLYLINE}, {"LEADER", Kind::LEADER}, {"HATCH", Kind::HATCH},
    {"WIPEOUT", Kind::WIPEOUT},   {"SOLID", Kind::SOLID},       {"POINT", Kind::POINT},
    {"SPLINE", Kind::SPLINE},     {"ARC", Kind::ARC},           {"CIRCLE", Kind::CIRCLE},
    {"ELLIPSE", Kind::ELLIPSE},   {"TEXT", Kind::TEXT},         {"MTEXT", Kind::MTEXT},
    {"INSERT", Kind::INSERT},
};

}  // namespace

Kind KindOf(std::string_view value) {
  // The common kinds first; a drawing is mostly lines, arcs and circles.
  if (value == "LINE") return Kind::LINE;
  if (value.size() < 3 || value.size() > 10) return Kind::None;
  for (const KindText& k : kKinds)
    if (k.text == value) return k.kind;
  return Kind::None;
}

const char* KindName(Kind k) {
  return k == Kind::None ? "" : kKinds[static_cast<int>(k)].text.data();
}

tpoly& Reader::beginEntity(Kind kind) {
  tpoly& p = d_.polys.emplace_back();
  p.isblock = inBlock_;
  if (inBlock_) {
    p.block = static_cast<std::int32_t>(d_.blocks.size()) - 1;
    p.layhan = blockOwner_;
  }
  p.linefrom = codeLine();
  p.psfrom = static_cast<std::uint32_t>(d_.points.size());
  p.snapfrom = static_cast<std::uint32_t>(d_.snaps.size());
  switch (kind) {
    case Kind::XLINE: p.xline = true; break;
    case Kind::RAY: p.ray = true; break;
    case Kind::LEADER: p.arrowhead = true; break;
    case Kind::ELLIPSE:
      p.isellipse = true;
      p.needext210 = p.needext220 = p.needext230 = true;
      break;
    case Kind::SOLID: p.issolid = p.isclosed = true; break;
    case Kind::POINT: p.ispoint = true; break;
    case Kind::HATCH: p.isclosed = p.issolid = p.patternfill = true; break;
    case Kind::WIPEOUT: p.iswipeout = true; break;
    case Kind::VIEWPORT: p.isviewport = true; break;
    case Kind::MTEXT: p.ismtext = true; [[fallthrough]];
    case Kind::TEXT:
      p.istext = true;
      p.needext210 = p.needext220 = p.needext230 = true;
      break;
    default: break;
  }
  return p;
}

// The groups every kind reads; the last occurrence in the object wins.
// Returns whether the pair was one of them.
bool Reader::commonGroup(tpoly& p, Kind kind) {
  switch (group_) {
    case 5:
      if (const auto h = ParseHandle(value_)) p.han = *h;
      return true;
    case 330:
      if (const auto h = ParseHandle(value_)) p.layhan = *h;
      return true;
    case 67: p.ispaperspace = value_ == "1"; return true;
    case 8:
      p.layerpresent = true;
      p.layerlinenr = valueLine();
      return true;
    case 6:
      if (kind == Kind::VIEWPORT) return false;
      p.ltnamepresent = true;
      p.ltnamelinenr = valueLine();
      return true;
    case 370:
      if (kind == Kind::VIEWPORT || kind == Kind::SOLID || kind == Kind::POINT) return false;
      if (const auto v = ParseInt(value_)) p.lineweight = *v;
      p.linweightpresent = true;
      p.lineweightlinenr = valueLine();
      return true;
    case 62:
      if (kind == Kind::VIEWPORT) return false;
      if (const auto v = ParseInt(value_)) p.colornr = *v;
      p.colorispresent = true;
      p.colorlinenr = valueLine();
      return true;
    default: return false;
  }
}

void Reader::readEntity(Kind kind) {
  const std::size_t index = d_.polys.size();
  beginEntity(kind);
  bool terminated = false;
  while (!atEnd()) {
    readPair();
    if (isZero()) {
      // An old-style polyline runs on over its vertices up to its SEQEND.
      if (kind == Kind::POLYLINE && (value_ == "VERTEX" || value_ == "SEQEND")) continue;
      terminated = true;
      break;
    }
    tpoly& p = d_.polys[index];
    commonGroup(p, kind);
  }
  finishEntity(d_.polys[index], terminated);
}

void Reader::finishEntity(tpoly& p, bool terminated) {
  // The object ends where the next "0" pair begins; an object cut off by
  // the end of the list owns the rest of it.
  p.linebis = terminated ? codeLine() - 1 : static_cast<std::int32_t>(n_) - 1;
  reuse_ = true;
  if (p.anzp > 0) {
    const auto pts = d_.ps(p);
    const Tmypoi& first = pts.front();
    const Tmypoi& last = p.isclosed ? first : pts.back();
    p.reinx = first.x, p.reiny = first.y, p.reinz = first.z;
    p.rausx = last.x, p.rausy = last.y, p.rausz = last.z;
  }
}

}  // namespace vestrel::reader
