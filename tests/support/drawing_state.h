// Everything a parse leaves in a drawing, as text, record by record, so
// that two parses can be compared field by field (numbers to the bit).
#pragma once

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "document/drawing.h"

namespace vestrel::test {

namespace state {

inline void Put(std::ostream& o, double v) { o << std::hexfloat << v << std::defaultfloat << ' '; }
inline void Put(std::ostream& o, float v) { o << std::hexfloat << v << std::defaultfloat << ' '; }
inline void Put(std::ostream& o, const std::string& v) { o << '"' << v << "\" "; }
inline void Put(std::ostream& o, ExtraKind v) { o << static_cast<int>(v) << ' '; }
inline void Put(std::ostream& o, Kind v) { o << static_cast<int>(v) << ' '; }
template <class T>
void Put(std::ostream& o, const std::vector<T>& v) {
  o << '[';
  for (const T& x : v) Put(o, x);
  o << "] ";
}
template <class T>
void Put(std::ostream& o, const T& v) {
  o << +v << ' ';
}

template <class... A>
std::string Fields(const A&... a) {
  std::ostringstream o;
  (Put(o, a), ...);
  return o.str();
}

inline std::string Of(const tpoly& p) {
  return Fields(p.psfrom, p.anzp, p.snapfrom, p.anzs, p.linefrom, p.linebis, p.han, p.layhan, p.layerlinenr,
                p.ltnamelinenr, p.colorlinenr, p.colornr, p.truecolor, p.lineweightlinenr, p.lineweight,
                p.winkel1linenr, p.winkel2linenr, p.radiuslinenr, p.insertstrlinenr, p.block, p.addtextmode,
                p.linweightpresent, p.layerpresent, p.ltnamepresent, p.insertstrpresent, p.kind, p.ispaperspace,
                p.locked, p.setwidonce, p.linweighttpolypresent, p.arrowhead, p.colorispresent, p.truecolorpresent,
                p.needext210, p.needext220, p.needext230, p.isblock, p.massselected, p.selected, p.isclosed, p.extra,
                p.extrakind, p.layerindex, p.outline, p.thewid, p.radius1, p.cx, p.cy, p.cz, p.radius, p.arcfrom,
                p.arcto, p.boxminx, p.boxminy, p.boxmaxx, p.boxmaxy);
}
inline std::string Of(const Tmypoi& q) {
  return Fields(q.x, q.y, q.z, q.startwid, q.wid, q.linex, q.liney, q.linez, q.botharrows, q.mode, q.setwid,
                q.doadddimtexthere, q.moveonly, q.donotdraw);
}
inline std::string Of(const TextData& t) {
  return Fields(t.textstr, t.rotation, t.oblique, t.widthFactor, t.boxWidth, t.lineSpacing, t.halign, t.valign,
                t.attachment, t.generation, t.invisible, t.alignSeen, t.alignx, t.aligny, t.alignz, t.xdirx, t.xdiry,
                t.ydirx, t.ydiry, t.arrowSize);
}
inline std::string Of(const DimensionData& m) {
  return Fields(m.dimtyp, m.cx1, m.cy1, m.cz1, m.cx3, m.cy3, m.cz3, m.cx4, m.cy4, m.cz4, m.cx5, m.cy5, m.cz5, m.cx6, m.cy6,
                m.cz6, m.dimtextrotate, m.messuare, m.messuaretxt, m.textstr, m.blocklinenr, m.insx, m.insy, m.insz);
}
inline std::string Of(const InsertData& r) {
  return Fields(r.sx, r.sy, r.sz, r.rotation, r.columns, r.rows, r.colspacing, r.rowspacing, r.ex, r.ey, r.ez);
}
inline std::string Of(const ViewportData& v) {
  return Fields(v.id, v.viewheight, v.panx, v.pany, v.widx, v.widy, v.off);
}
inline std::string Of(const HatchData& h) {
  return Fields(h.solid, h.gradient, h.gradientRgb, h.gradientAci, h.elevation, h.nx, h.ny, h.nz, h.linefrom, h.lines);
}
inline std::string Of(const HatchLine& l) {
  return Fields(l.angle, l.basex, l.basey, l.offsetx, l.offsety, l.dashfrom, l.dashes);
}
inline std::string Of(double v) { return Fields(v); }
inline std::string Of(const EllipseData& e) {
  return Fields(e.centre.x, e.centre.y, e.centre.z, e.major.x, e.major.y, e.major.z, e.minor.x, e.minor.y, e.minor.z,
                e.start, e.end);
}
inline std::string Of(const TLayer& l) {
  return Fields(l.newltname, l.name, l.ltname, l.ltnamelinenr, l.newlineweight, l.newflag, l.flaglinenr,
                l.lineweightlinenr, l.lineweight, l.newcolornr, l.colorlinenr, l.colornr, l.plotflag, l.flag,
                l.ltnamepresent, l.flagpresent, l.linweightpresent, l.colorpresent);
}
inline std::string Of(const TLineType& t) { return Fields(t.name, t.desc, t.parts); }
inline std::string Of(const tblock& b) { return Fields(b.blockname, b.linetoinsert, b.hand, b.basex, b.basey, b.basez); }
inline std::string Of(const Tlayout& l) {
  return Fields(l.name, l.scrollxvalue, l.scrollyvalue, l.order, l.layhan, l.zoomvalue, l.eminx, l.eminy, l.eminz,
                l.emaxx, l.emaxy, l.emaxz, l.lminx, l.lminy, l.lminz, l.lmaxx, l.lmaxy, l.lmaxz, l.zoomsetted);
}
inline std::string Of(const EntryParse& e) { return Fields(e.width, e.startwidth, e.handles, e.insert, e.sections); }

// Where the two tables first differ, or nothing.
template <class Table>
std::string FirstDifference(const char* name, const Table& a, const Table& b) {
  if (a.size() != b.size())
    return std::string(name) + ": " + std::to_string(a.size()) + " records, not " + std::to_string(b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::string x = Of(a[i]), y = Of(b[i]);
    if (x != y) return std::string(name) + "[" + std::to_string(i) + "]:\n  " + x + "\n  " + y;
  }
  return {};
}

}  // namespace state

// The first field in which `a` differs from `b`; empty when all are the
// same (the parse's number and its account of what it read again aside).
inline std::string DrawingDifference(const Drawing& a, const Drawing& b) {
  using namespace state;
  for (const std::string& s :
       {FirstDifference("polys", a.polys, b.polys), FirstDifference("points", a.points, b.points),
        FirstDifference("snaps", a.snaps, b.snaps), FirstDifference("texts", a.texts, b.texts),
        FirstDifference("dimensions", a.dimensions, b.dimensions),
        FirstDifference("viewports", a.viewports, b.viewports), FirstDifference("inserts", a.inserts, b.inserts),
        FirstDifference("hatches", a.hatches, b.hatches), FirstDifference("hatchlines", a.hatchlines, b.hatchlines),
        FirstDifference("hatchdashes", a.hatchdashes, b.hatchdashes),
        FirstDifference("ellipses", a.ellipses, b.ellipses), FirstDifference("layers", a.layers, b.layers),
        FirstDifference("linetype", a.linetype, b.linetype), FirstDifference("blocks", a.blocks, b.blocks),
        FirstDifference("layouts", a.layouts, b.layouts), FirstDifference("entryparse", a.entryparse, b.entryparse)})
    if (!s.empty()) return s;
  const auto doc = [](const Drawing& d) {
    std::string stepped;
    for (const auto& [kind, count] : d.steppedover) stepped += kind + "=" + std::to_string(count) + " ";
    const ParseRecord& r = d.parserecord;
    return Fields(d.anzlayer, d.anzlt, d.insertlinepos, d.layerinsertlinenr, d.ltypeinsetlinenr, d.handleseedpos,
                  d.acadverpos, d.maxhandle, d.cadver, d.maxviewportid, d.plotstylereaded, stepped, r.valid,
                  r.outside, r.seed, r.seedPaired, r.tablesEnd);
  };
  const std::string x = doc(a), y = doc(b);
  return x == y ? std::string{} : "drawing:\n  " + x + "\n  " + y;
}

}  // namespace vestrel::test
