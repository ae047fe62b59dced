// The edit map of texts, block references, dimensions and multileaders:
// the kinds whose steps go beyond what the grammar says of each group.
#include "editing/mapper.h"
#include "geometry/placement.h"

namespace vestrel::objectmap {

void Mapper::text() {
  const PlaneMap pm = plane();
  bool embedded = false, rotated = false;
  std::int32_t after = end_;
  groups(*grammar_, plane_.planar, pm, [&](std::size_t i, int g) {
    if (g == 101) embedded = true;
    if (embedded) {
      // An attribute's own multi-line text: in the world.
      apply(kEmbeddedText.meaning(g), i, kEmbeddedText.planar, pm);
      return true;
    }
    if (g == 40) after = pairs_[i].line;
    if (g == 50) rotated = true;
    return false;
  });
  if (!rotated) {
    const double r = pm.reflects ? Normalized(pm.angle(0)) : pm.angle(0);
    if (r != 0) add(after + 1, {{50, r}});
  }
  setNormal(pm);
}

void Mapper::mtext() {
  const PlaneMap pm = plane();
  bool columns = false, turned = false;
  int at10 = -1;
  groups(*grammar_, plane_.planar, pm, [&](std::size_t i, int g) {
    if (g == 75) columns = true;  // from here on 48, 49 and 50 size the columns
    if (g == 10) at10 = static_cast<int>(i);
    if (g == 11) turned = true;
    if (g == 50) {
      if (columns) {
        length(i);
        return true;
      }
      turned = true;
    }
    return false;
  });
  if (!turned && at10 >= 0 && (pm.turn != 0 || pm.reflects)) {
    // Its direction is the plane's x axis: written out, mapped.
    const Point3 x = map_.direction(ObjectCoordinates(plane_.normal).linear({1, 0, 0}));
    std::optional<std::size_t> y, z;
    const std::size_t last = extent(static_cast<std::size_t>(at10), y, z);
    add(pairs_[last].line + 1, {{11, x.x}, {21, x.y}, {31, x.z}});
  }
  setNormal(pm);
}

// Its scales, spacing and turn are mapped together: mirrored, a reference
// is turned the other way and mirrored along its own x axis, a negative x
// scale.
void Mapper::insert() {
  const PlaneMap pm = plane();
  const int at = find(10);
  if (at >= 0) apply(grammar_->meaning(10), static_cast<std::size_t>(at), plane_.planar, pm);
  auto value = [&](int group, double fallback) {
    const int i = find(group);
    return i >= 0 ? num(static_cast<std::size_t>(i)) : std::optional<double>(fallback);
  };
  const auto sx = value(41, 1), sy = value(42, 1), sz = value(43, 1), rotation = value(50, 0);
  const auto cs = value(44, 0), rs = value(45, 0);
  std::int32_t after = end_;
  if (at >= 0) {
    std::optional<std::size_t> y, z;
    after = pairs_[extent(static_cast<std::size_t>(at), y, z)].line;
  }
  const double f = map_.factor, fz = map_.m.m[2][2];
  const double mx = pm.reflects ? -f : f;
  if (sx) ensure(41, *sx * mx, 1, after);
  if (sy) ensure(42, *sy * f, 1, after);
  if (sz) ensure(43, *sz * fz, 1, after);
  if (rotation) ensure(50, pm.reflects ? Normalized(pm.turn - *rotation + 180) : *rotation + pm.turn, 0, after);
  if (cs) ensure(44, *cs * mx, 0, after);
  if (rs) ensure(45, *rs * f, 0, after);
  setNormal(pm);
}

void Mapper::dimension() {
  const PlaneMap pm = plane();
  const int t = find(70);
  const auto type = t >= 0 ? ParseInt(pairs_[static_cast<std::size_t>(t)].value) : std::optional<std::int32_t>(0);
  const bool angular = type && ((*type & 7) == 2 || (*type & 7) == 5);
  groups(*grammar_, plane_.planar, pm, [&](std::size_t i, int g) {
    // The measurement: a length but in an angular dimension.
    if (grammar_->meaning(g) == Meaning::Measurement && !angular) length(i);
    return false;
  });
  setNormal(pm);
}

// A multileader: its leaders and their lines, its text or block and the
// plane it lies in. The groups mean different things in its context data,
// in a leader and in a leader line; braces say where each begins and ends.
void Mapper::mleader() {
  enum class Part { Main, Context, Leader, Line } part = Part::Main;
  // The plane of its text (group 11) or block (14), in the context data
  // before the leaders.
  Point3 n{0, 0, 1};
  for (std::size_t i = 0; i < pairs_.size() && pairs_[i].group != 302; ++i) {
    if (pairs_[i].group != 11 && pairs_[i].group != 14) continue;
    std::optional<std::size_t> y, z;
    extent(i, y, z);
    const auto x = num(i), yy = y ? num(*y) : std::nullopt, zz = z ? num(*z) : std::nullopt;
    if (x && yy && zz) n = {*x, *yy, *zz};
    break;
  }
  const PlaneMap pm = InPlane(map_, n);
  // A block's x scale and turn, as for a block reference.
  auto blockScale = [&](std::size_t i) {
    const double f = map_.factor, mx = pm.reflects ? -f : f, fz = map_.m.m[2][2];
    triple(i, true, [&](Point3 v) { return Point3{v.x * mx, v.y * f, v.z * fz}; });
  };
  auto blockTurn = [&](std::size_t i) {
    if (const auto v = num(i)) {
      const double turn = pm.turn * kPi / 180;
      set(i, pm.reflects ? Normalized(turn - *v + kPi, 2 * kPi) : *v + turn);
    }
  };
  for (std::size_t i = 0; i < pairs_.size(); ++i) {
    const int g = pairs_[i].group;
    const std::string_view v = pairs_[i].value;
    if (g == 300 && v == "CONTEXT_DATA{") {
      part = Part::Context;
      continue;
    }
    if (g == 301) {
      part = Part::Main;
      continue;
    }
    if (g == 302 && part == Part::Context) {
      part = Part::Leader;
      continue;
    }
    if (g == 303 && part == Part::Leader) {
      part = Part::Context;
      continue;
    }
    if (g == 304 && part == Part::Leader && v == "LEADER_LINE{") {
      part = Part::Line;
      continue;
    }
    if (g == 305 && part == Part::Line) {
      part = Part::Leader;
      continue;
    }
    switch (part) {
      case Part::Main:
        if (g == 41 || g == 42 || g == 45) length(i);
        if (g == 43) blockTurn(i);
        break;
      case Part::Context:
        if (g == 10 || g == 12 || g == 15 || g == 110) worldPoint(i);
        if (g == 11 || g == 13 || g == 14 || g == 111 || g == 112) direction(i);
        if (g == 40 || g == 41 || g == 43 || g == 44 || g == 140 || g == 142 || g == 143 || g == 144 || g == 145)
          length(i);
        if (g == 42) radians(i, pm);
        if (g == 46) blockTurn(i);
        if (g == 16) blockScale(i);
        if (g == 297 && pm.reflects) setText(i, v == "0" ? "1" : "0");
        break;
      case Part::Leader:
        if (g == 10 || g == 12 || g == 13) worldPoint(i);
        if (g == 11) direction(i);
        if (g == 40) length(i);
        break;
      case Part::Line:
        if (g == 10 || g == 11 || g == 12) worldPoint(i);
        break;
    }
  }
}

}  // namespace vestrel::objectmap
