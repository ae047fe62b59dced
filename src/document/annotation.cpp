// The branches of viewports, splines, texts, block references and
// dimensions: a viewport becomes its frame and hidden grips, a spline its
// sampled curve, a text its string and placement, an insert its block name
// and insertion point, a dimension the lines that draw it.
#include <algorithm>
#include <cmath>

#include "document/reader.h"
#include "geometry/anglesteps.h"
#include "geometry/placement.h"
#include "geometry/point.h"
#include "geometry/spline.h"

namespace vestrel::reader {

// --- VIEWPORT ---------------------------------------------------------------------

void Reader::viewportGroup(tpoly& p) {
  ViewportData& v = d_.viewports.back();
  switch (group_) {
    case 10:
      if (real(p.cx)) o_.line10 = valueLine();
      break;
    case 20:
      if (real(p.cy)) o_.line20 = valueLine();
      break;
    case 30: real(p.cz); break;
    case 40:
      if (real(v.widx)) o_.line40 = valueLine();
      break;
    case 41:
      if (real(v.widy)) o_.line41 = valueLine();
      break;
    case 45:
      if (real(v.viewheight)) o_.lineHeight = valueLine();
      break;
    case 12:
      if (real(v.panx)) o_.line12 = valueLine();
      break;
    case 22:
      if (real(v.pany)) o_.line22 = valueLine();
      break;
    case 69:
      v.id = intValue(v.id);
      if (v.id > d_.maxviewportid) d_.maxviewportid = v.id;
      break;
    case 68:
      o_.statusSeen = true;
      o_.status = intValue(1);
      break;
    case 90:
      o_.flagsSeen = true;
      o_.flags = intValue(0);
      break;
    case 1040:
      // Older files keep the view in extended data: the second value is the
      // view height, the third and fourth the view centre.
      switch (++o_.count1040) {
        case 2:
          if (real(v.viewheight)) o_.lineHeight = valueLine();
          break;
        case 3:
          if (real(v.panx)) o_.line12 = valueLine();
          break;
        case 4:
          if (real(v.pany)) o_.line22 = valueLine();
          break;
        default: break;
      }
      break;
    default: break;
  }
}

void Reader::finishViewport(tpoly& p) {
  ViewportData& v = d_.viewports.back();
  // The layout's own paper view has no frame and shows no model: id 1, and
  // in a layout that was not current when saved (ids and status written as
  // 0) the viewport that views exactly itself.
  auto same = [](double a, double b) { return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)}); };
  p.issheet = v.id == 1 ||
              (p.block >= 0 && v.widy > 0 && same(v.panx, p.cx) && same(v.pany, p.cy) && same(v.viewheight, v.widy));
  if (p.issheet) return;
  // Switched off: bit 0x20000 of the flags where a file writes them (the
  // status of a layout not current is 0 while its viewports are on), else
  // status 0, or id -1 without a status as some programs say it.
  v.off =
      o_.flagsSeen ? (o_.flags & 0x20000) != 0 : (o_.statusSeen && o_.status == 0) || (v.id == -1 && !o_.statusSeen);
  const double w = v.widx / 2, h = v.widy / 2;
  auto add = [&](double x, double y, std::int32_t linex, bool hidden) -> Tmypoi& {
    Tmypoi& q = addPoint(p, x, y, p.cz);
    q.linex = linex;
    q.donotdraw = hidden;
    return q;
  };
  add(p.cx - w, p.cy - h, o_.line10, false);
  add(p.cx + w, p.cy - h, o_.line20, false);
  add(p.cx + w, p.cy + h, o_.line40, false);
  add(p.cx - w, p.cy + h, o_.line41, false);
  add(p.cx - w, p.cy - h, 0, false);
  add(p.cx, p.cy, o_.line12, true).liney = o_.line22;  // pans the view
  add(p.cx, p.cy + v.widy / 4, o_.lineHeight, true);    // zoom the view
  add(p.cx, p.cy - v.widy / 4, o_.lineHeight, true);
}

// --- SPLINE -------------------------------------------------------------------------

void Reader::splineGroup(tpoly& p) {
  if (group_ != 70) return spline_.take(group_, value_, valueLine());
  if (const auto v = ParseInt(value_)) p.isclosed = *v & 1;
}

void Reader::finishSpline(tpoly& p) {
  std::optional<std::vector<Tmypoi>> made;
  if (ahead_ && spline_.worthAhead()) made = ahead_->take(p.linefrom, spline_);
  if (!made) made = spline_.points();
  d_.points.append(made->data(), made->data() + made->size());
  p.anzp += static_cast<std::int32_t>(made->size());
}

// --- TEXT and MTEXT -----------------------------------------------------------------

void Reader::textGroup(tpoly& p, Kind kind) {
  // An attribute may carry a multi-line text of its own after group 101;
  // it is drawn as its single line.
  if (group_ == 101) o_.embedded = true;
  if (o_.embedded) return;
  Tmypoi* last = lastPoint(p);
  TextData& t = d_.texts.back();
  switch (group_) {
    // The blanks at either end of a chunk are part of the text: a long
    // text is cut into chunks wherever, also next to a blank.
    case 1:
    case 3: t.textstr.append(dxf_[static_cast<std::size_t>(valueLine())]); break;
    case 10:
      if (const Tmypoi* q = filePoint(p)) p.cx = q->x;
      break;
    case 20:
      if (last && real(last->y)) {
        last->liney = valueLine();
        p.cy = last->y;
      }
      break;
    case 30:
      if (last && real(last->z)) {
        last->linez = valueLine();
        p.cz = last->z;
      }
      break;
    case 40:
      if (real(p.radius)) p.radiuslinenr = valueLine();
      break;
    // A multi-line text's 11/21/31 is the direction of its first line. A
    // single-line text's is its second alignment point, no direction.
    case 11:
      if (real(o_.ax)) {
        if (p.ismtext())
          o_.rotationFrom50 = false;
        else
          t.alignSeen = true;
      }
      break;
    case 21:
      if (real(o_.ay) && p.ismtext()) o_.rotationFrom50 = false;
      break;
    case 31:
      if (real(o_.az) && p.ismtext()) o_.rotationFrom50 = false;
      break;
    case 50:
      if (real(t.rotation)) o_.rotationFrom50 = true;
      break;
    case 51: real(t.oblique); break;
    case 41: real(p.ismtext() ? t.boxWidth : t.widthFactor); break;
    case 44:
      if (p.ismtext()) real(t.lineSpacing);
      break;
    case 70:
      if (!p.ismtext()) t.invisible = intValue(0) & 1;  // an attribute's flags
      break;
    case 71:
      if (p.ismtext())
        t.attachment = intValue(t.attachment);
      else
        t.generation = intValue(t.generation);
      break;
    case 72:
      if (!p.ismtext()) t.halign = intValue(t.halign);
      break;
    case 73:
    case 74:
      // The vertical alignment: group 73 of a text, 74 of an attribute
      // (whose 73 is the length of its field).
      if (group_ == (kind == Kind::ATTRIB ? 74 : 73) && !p.ismtext()) t.valign = intValue(t.valign);
      break;
    default: extrusion(p); break;
  }
}

void Reader::finishText(tpoly& p) {
  TextData& t = d_.texts.back();
  const Placement ocs = ObjectCoordinates(o_.normal);
  Point3 x;
  if (p.ismtext() && !o_.rotationFrom50) {
    // The direction of a multi-line text's first line is in the world.
    const double l = std::hypot(o_.ax, o_.ay, o_.az);
    x = l > 0 && std::isfinite(l) ? Point3{o_.ax / l, o_.ay / l, o_.az / l} : Point3{1, 0, 0};
  } else {
    const double r = t.rotation * kPi / 180;
    x = ocs.linear({std::cos(r), std::sin(r), 0});
  }
  // Upright is the baseline turned a quarter about the extrusion.
  const Point3 n = ocs.linear({0, 0, 1});
  const Point3 y{n.y * x.z - n.z * x.y, n.z * x.x - n.x * x.z, n.x * x.y - n.y * x.x};
  t.xdirx = x.x, t.xdiry = x.y, t.ydirx = y.x, t.ydiry = y.y;
  if (p.ismtext() && !o_.rotationFrom50) t.rotation = std::atan2(x.y, x.x) * 180 / kPi;
  if (t.alignSeen) {
    const Point3 a = ocs.apply({o_.ax, o_.ay, o_.az});
    t.alignx = a.x, t.aligny = a.y, t.alignz = a.z;
  }
}

// --- INSERT ---------------------------------------------------------------------------

void Reader::insertGroup(tpoly& p) {
  Tmypoi* last = lastPoint(p);
  InsertData& r = d_.inserts.back();
  switch (group_) {
    case 2:
      p.insertstrpresent = true;
      p.insertstrlinenr = valueLine();
      break;
    case 10:
      if (double x; real(x)) addPoint(p).x = x;
      break;
    case 20:
      if (last) real(last->y);
      break;
    case 30:
      if (last) real(last->z);
      break;
    case 41: real(r.sx); break;
    case 42: real(r.sy); break;
    case 43: real(r.sz); break;
    case 50: real(r.rotation); break;
    case 70: r.columns = intValue(r.columns); break;
    case 71: r.rows = intValue(r.rows); break;
    case 44: real(r.colspacing); break;
    case 45: real(r.rowspacing); break;
    case 210: real(r.ex); break;
    case 220: real(r.ey); break;
    case 230: real(r.ez); break;
    default: break;
  }
}

// --- DIMENSION ------------------------------------------------------------------------

void Reader::dimensionGroup(tpoly& p) {
  DimensionData& m = d_.dimensions.back();
  switch (group_) {
    case 70: m.dimtyp = intValue(m.dimtyp); break;
    case 1: m.textstr = value_; break;
    case 2: m.blocklinenr = valueLine(); break;
    case 12: real(m.insx); break;
    case 22: real(m.insy); break;
    case 32: real(m.insz); break;
    case 42:
      if (double v; real(v)) {
        m.messuare = v;
        m.messuaretxt = FormatFixed(v, 4);
      }
      break;
    case 50: real(o_.start); break;  // the direction of a linear dimension
    case 10: real(p.cx); break;
    case 20: real(p.cy); break;
    case 30: real(p.cz); break;
    case 11: real(m.cx1); break;
    case 21: real(m.cy1); break;
    case 31: real(m.cz1); break;
    case 13: real(m.cx3); break;
    case 23: real(m.cy3); break;
    case 33: real(m.cz3); break;
    case 14: real(m.cx4); break;
    case 24: real(m.cy4); break;
    case 34: real(m.cz4); break;
    case 15: real(m.cx5); break;
    case 25: real(m.cy5); break;
    case 35: real(m.cz5); break;
    case 16: real(m.cx6); break;
    case 26: real(m.cy6); break;
    case 36: real(m.cz6); break;
    default: break;
  }
}

void Reader::finishDimension(tpoly& p) {
  DimensionData& m = d_.dimensions.back();
  const Point3 at = ObjectCoordinates(o_.normal).apply({m.insx, m.insy, m.insz});
  m.insx = at.x, m.insy = at.y, m.insz = at.z;
  auto add = [&](double x, double y, double z) -> Tmypoi& { return addPoint(p, x, y, z); };
  const int k = m.dimtyp & 7;
  if (k == 2 || k == 5) {  // angular
    // The arc runs between the two legs on the side where the dimension
    // line's point (10/20) lies: from the first leg counter-clockwise to
    // the second, or, when the point lies outside that, from the second
    // the long way round to the first.
    auto ccw = [](double from, double to) {
      const double d = std::fmod(to - from, 2 * kPi);
      return d < 0 ? d + 2 * kPi : d;
    };
    const double a = std::atan2(m.cy3 - m.cy5, m.cx3 - m.cx5);
    const double b = std::atan2(m.cy4 - m.cy5, m.cx4 - m.cx5);
    const double mid = std::atan2(p.cy - m.cy5, p.cx - m.cx5);
    const double between = ccw(a, b);
    const bool reversed = ccw(a, mid) > between;
    const double start = reversed ? b : a;
    const double sweep = reversed ? 2 * kPi - between : between;
    p.radius = std::hypot(p.cx - m.cx5, p.cy - m.cy5);
    if (reversed)
      add(m.cx4, m.cy4, m.cz4);
    else
      add(m.cx3, m.cy3, m.cz3);
    const int n = ArcSegments(sweep);
    AngleSteps angle(start, sweep / n);
    for (int j = 0; j <= n; ++j, angle.next())
      add(m.cx5 + p.radius * angle.cos(), m.cy5 + p.radius * angle.sin(), p.cz);
    if (reversed) {
      add(m.cx3, m.cy3, m.cz3).doadddimtexthere = true;
      p.addtextmode = 3;
    } else {
      add(m.cx4, m.cy4, m.cz4).doadddimtexthere = true;
    }
  } else if (k == 3 || k == 4) {  // diameter, radius
    add(m.cx5, m.cy5, m.cz5);
    Tmypoi& q = add(p.cx, p.cy, p.cz);
    q.doadddimtexthere = true;
    if (k == 3) {
      q.botharrows = 3;
      p.addtextmode = 1;
    } else {
      p.addtextmode = 2;
      p.arrowhead = true;
    }
  } else if (k == 6) {  // ordinate: P13 the feature, P14 the leader's end
    add(m.cx3, m.cy3, m.cz3);
    if (std::abs(m.cy4 - m.cy3) >= std::abs(m.cx4 - m.cx3)) {
      const double s = m.cy4 > m.cy3 ? 1 : -1;
      add(m.cx3, m.cy4 - 0.8 * s, m.cz3);
      add(m.cx4, m.cy4 - 0.4 * s, m.cz4).doadddimtexthere = true;
      m.dimtextrotate = 90;
    } else {
      const double s = m.cx4 > m.cx3 ? 1 : -1;
      add(m.cx4 - 0.8 * s, m.cy3, m.cz3);
      add(m.cx4 - 0.4 * s, m.cy4, m.cz4).doadddimtexthere = true;
    }
    add(m.cx4, m.cy4, m.cz4);
  } else {  // linear and aligned
    // The dimension line runs through P10: an aligned one parallel to
    // P13-P14, a linear one at its angle (group 50). The feet of the
    // extension lines are where their perpendiculars meet it.
    double dx = m.cx3 - m.cx4, dy = m.cy3 - m.cy4;
    if (k == 0) dx = std::cos(o_.start * kPi / 180), dy = std::sin(o_.start * kPi / 180);
    const double len2 = dx * dx + dy * dy;
    auto foot = [&](double x, double y, double& fx, double& fy) {
      if (!(len2 > 0) || !std::isfinite(len2)) {  // no direction: the foot is the point itself
        fx = x, fy = y;
        return;
      }
      const double s = ((x - p.cx) * dx + (y - p.cy) * dy) / len2;
      fx = p.cx + s * dx, fy = p.cy + s * dy;
    };
    double f13x, f13y, f14x, f14y;
    foot(m.cx3, m.cy3, f13x, f13y);
    foot(m.cx4, m.cy4, f14x, f14y);
    add(m.cx3, m.cy3, m.cz3);
    add(f13x, f13y, p.cz);
    add(m.cx4, m.cy4, m.cz4).moveonly = true;
    add(f14x, f14y, p.cz);
    add(f13x, f13y, p.cz).moveonly = true;
    Tmypoi& last = add(f14x, f14y, p.cz);
    last.botharrows = 3;
    last.doadddimtexthere = true;
  }
}

// --- MULTILEADER ---------------------------------------------------------------------

void Reader::mleaderGroup(tpoly& p) {
  // The groups mean different things in the context data, in a leader and
  // in a leader line; braces mark where each begins and ends.
  switch (group_) {
    case 300:
      if (value_ == "CONTEXT_DATA{") leaderPart_ = LeaderPart::Context;
      return;
    case 301: leaderPart_ = LeaderPart::Main; return;
    case 302:
      if (leaderPart_ == LeaderPart::Context) {
        leaderPart_ = LeaderPart::Leader;
        leaders_.emplace_back();
      }
      return;
    case 303:
      if (leaderPart_ == LeaderPart::Leader) leaderPart_ = LeaderPart::Context;
      return;
    case 305:
      if (leaderPart_ == LeaderPart::Line) leaderPart_ = LeaderPart::Leader;
      return;
    default: break;
  }
  auto coordinate = [&](Point3& v) {
    switch (group_ / 10) {
      case 1: real(v.x); break;
      case 2: real(v.y); break;
      default: real(v.z); break;
    }
  };
  TextData& t = d_.texts.back();
  switch (leaderPart_) {
    case LeaderPart::Main:
      switch (group_) {
        case 170: mleader_.type = intValue(mleader_.type); break;
        case 291: mleader_.dogleg = value_ == "1"; break;
        default: break;
      }
      break;
    case LeaderPart::Context:
      switch (group_) {
        case 40: real(mleader_.scale); break;
        case 41:
          if (real(p.radius)) p.radiuslinenr = valueLine();
          break;
        case 140: real(t.arrowSize); break;
        case 304: t.textstr.append(value_); break;
        case 12: real(mleader_.textAt.x); break;
        case 22: real(mleader_.textAt.y); break;
        case 32: real(mleader_.textAt.z); break;
        case 13: real(mleader_.textDirection.x); break;
        case 23: real(mleader_.textDirection.y); break;
        case 33: real(mleader_.textDirection.z); break;
        case 11: real(mleader_.textNormal.x); break;
        case 21: real(mleader_.textNormal.y); break;
        case 31: real(mleader_.textNormal.z); break;
        case 43: real(mleader_.width); break;
        case 45: real(t.lineSpacing); break;
        case 171: t.attachment = intValue(t.attachment); break;
        default: break;
      }
      break;
    case LeaderPart::Leader: {
      Leader& l = leaders_.back();
      if (group_ == 304 && value_ == "LEADER_LINE{") {
        leaderPart_ = LeaderPart::Line;
        l.lines.emplace_back();
      } else if (group_ == 10 || group_ == 20 || group_ == 30) {
        coordinate(l.end);
      } else if (group_ == 11 || group_ == 21 || group_ == 31) {
        if (group_ == 11) l.dogleg = {};
        coordinate(l.dogleg);
      } else if (group_ == 40) {
        real(l.doglegLength);
      } else if (group_ == 271) {
        l.horizontal = intValue(0) == 0;
      }
      break;
    }
    case LeaderPart::Line:
      if (group_ == 10) {
        if (double x; real(x)) leaders_.back().lines.back().push_back({x, 0, 0});
      } else if ((group_ == 20 || group_ == 30) && !leaders_.back().lines.back().empty()) {
        coordinate(leaders_.back().lines.back().back());
      }
      break;
  }
}

void Reader::finishMLeader(tpoly& p) {
  TextData& t = d_.texts.back();
  // The text: its insertion point first (hidden), hanging from it by its
  // attachment 1 to 3 (left, centre, right), along its direction.
  Tmypoi& at = addPoint(p, mleader_.textAt.x, mleader_.textAt.y, mleader_.textAt.z);
  at.donotdraw = true;
  p.cx = at.x, p.cy = at.y, p.cz = at.z;
  o_.normal = mleader_.textNormal;
  o_.ax = mleader_.textDirection.x, o_.ay = mleader_.textDirection.y, o_.az = mleader_.textDirection.z;
  o_.rotationFrom50 = false;
  t.boxWidth = mleader_.width * mleader_.scale;
  finishText(p);
  if (mleader_.type == 0) return;
  // Each line of a leader runs from its arrow head over its vertices to
  // the leader's end, and on along the horizontal piece; a spline leader
  // through the same points, without that piece.
  bool first = true;
  for (const Leader& l : leaders_) {
    const double dl = std::hypot(l.dogleg.x, l.dogleg.y, l.dogleg.z);
    const Point3 piece = dl > 0 && std::isfinite(dl) ? Point3{l.dogleg.x / dl * l.doglegLength,
                                                               l.dogleg.y / dl * l.doglegLength,
                                                               l.dogleg.z / dl * l.doglegLength}
                                                     : Point3{l.doglegLength, 0, 0};
    for (const std::vector<Point3>& line : l.lines) {
      std::vector<Point3> pts = line;
      if (l.horizontal) {
        if (mleader_.dogleg && mleader_.type != 2) pts.push_back(l.end);
        pts.push_back({l.end.x + piece.x, l.end.y + piece.y, l.end.z + piece.z});
      } else {
        pts.push_back(l.end);
      }
      if (pts.size() < 2) continue;
      if (mleader_.type == 2) {
        const std::vector<Point3> curve = FlattenSpline(InterpolateFitPoints(pts, std::nullopt, std::nullopt));
        if (curve.size() >= 2) pts = curve;
      }
      for (std::size_t k = 0; k < pts.size(); ++k) {
        Tmypoi& q = addPoint(p, pts[k].x, pts[k].y, pts[k].z);
        q.moveonly = k == 0 && !first;
        if (k == 1) q.botharrows = 1;  // the arrow head at the line's start
      }
      first = false;
    }
  }
}

}  // namespace vestrel::reader
