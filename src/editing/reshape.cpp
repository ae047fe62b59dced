#include "editing/reshape.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "editing/explodeblocks.h"
#include "editing/shapes.h"
#include "editing/transforms.h"
#include "geometry/join.h"

namespace vestrel {

ReshapeResult JoinObjects(DocumentContext& c, double tolerance) {
  using S = ReshapeResult::Status;
  const Drawing& d = c.drawing;
  if (!std::isfinite(tolerance) || tolerance < 0) return Refused(S::InvalidValue);
  const std::vector<EditUnit> units = EditUnits(d, c.tab, false);
  if (units.empty()) return Refused(S::NothingSelected);
  std::vector<Shape> shapes;
  for (const EditUnit& u : units) {
    shapes.push_back(ReadShape(d, u));
    const Shape& s = shapes.back();
    if (!s.joinable) return Refused(S::NotThisKind, s.refused);
    if (!s.finite) return Refused(S::InvalidValue);
  }
  // The plane of the first arc or polyline, at the height of the first part.
  Point3 n{0, 0, 1};
  for (const Shape& s : shapes)
    if (!s.line) {
      const double length = Norm(s.normal);
      n = {s.normal.x / length, s.normal.y / length, s.normal.z / length};
      break;
    }
  const Placement plane = ObjectCoordinates(n);
  auto toPlane = [&plane](Point3 p) {
    Point3 q;
    for (int j = 0; j < 3; ++j) (j == 0 ? q.x : j == 1 ? q.y : q.z) = plane.m[0][j] * p.x + plane.m[1][j] * p.y + plane.m[2][j] * p.z;
    return q;
  };
  std::optional<double> elevation;
  int apart = 0;
  std::vector<Path> parts;
  std::vector<std::size_t> unitOf;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const Shape& s = shapes[i];
    if (s.path.closed) continue;  // nothing to join it to
    const Placement own = ObjectCoordinates(s.normal);
    const double length = Norm(s.normal), facing = Dot(s.normal, n) / length;
    if (!s.line && std::abs(facing) < 1 - 1e-9) {
      ++apart;
      continue;
    }
    Path p;
    bool inPlane = true;
    for (const Piece& piece : s.path.pieces) {
      const Point3 a = toPlane(s.line ? s.a : World(s, own, piece.a));
      const Point3 b = toPlane(s.line ? s.b : World(s, own, piece.b));
      if (!elevation) elevation = a.z;
      const double slack = std::max(tolerance, 1e-9 * (1 + std::abs(*elevation)));
      inPlane = inPlane && std::abs(a.z - *elevation) <= slack && std::abs(b.z - *elevation) <= slack;
      // Seen from the other side, an arc turns the other way.
      p.pieces.push_back(BulgePiece({a.x, a.y}, {b.x, b.y}, facing < 0 ? -piece.bulge : piece.bulge));
    }
    if (!inPlane) {
      ++apart;
      continue;
    }
    parts.push_back(std::move(p));
    unitOf.push_back(i);
  }
  const Outcome<std::vector<Joined>> joined = Join(parts, tolerance);
  if (!joined.ok()) return Refused(S::InvalidValue);
  Replacement r(c);
  std::vector<EditUnit> gone;
  int made = 0;
  for (const Joined& chain : joined.value) {
    const bool closedNow = chain.path.closed && !parts[chain.parts.front()].closed;
    if (chain.parts.size() < 2 && !closedNow) continue;
    const std::optional<std::vector<PolyVertex>> vertices = VerticesOf(chain.path);
    if (!vertices) continue;
    const EditUnit& first = units[unitOf[chain.parts.front()]];
    std::int32_t at = first.from;
    for (const std::size_t k : chain.parts) {
      gone.push_back(units[unitOf[k]]);
      at = std::min(at, gone.back().from);
    }
    WritePolyline(r.lines, first, *vertices, chain.path.closed, n, elevation.value_or(0));
    r.place(at);
    ++made;
  }
  if (made == 0) return {S::NothingToJoin, {}, 0, apart};
  std::sort(gone.begin(), gone.end(), [](const EditUnit& a, const EditUnit& b) { return a.from < b.from; });
  return Commit(c, gone, r, made, apart);
}

ReshapeResult ExplodeObjects(DocumentContext& c) {
  using S = ReshapeResult::Status;
  Drawing& d = c.drawing;
  const std::vector<EditUnit> units = EditUnits(d, c.tab, false);
  if (units.empty()) return Refused(S::NothingSelected);
  std::vector<Shape> shapes(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (ExplodesAsPicture(d, units[i])) continue;
    shapes[i] = ReadShape(d, units[i]);
    if (!shapes[i].explodable) return Refused(S::NotThisKind, shapes[i].refused);
    if (!shapes[i].finite) return Refused(S::InvalidValue);
  }
  // The members of blocks are copied first, taking their handles; what
  // does not go in gives them back.
  const Handle top = d.maxhandle, issued = c.undos.handlesIssued;
  auto nothingMade = [&](ReshapeResult r) {
    d.maxhandle = top, c.undos.handlesIssued = issued;
    return r;
  };
  std::vector<std::vector<std::string>> copies;
  if (const ReshapeResult r = CopyPictures(c, units, copies); r.status != S::Done) return nothingMade(r);
  Replacement r(c);
  std::vector<EditUnit> gone;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const EditUnit& u = units[i];
    if (ExplodesAsPicture(d, u)) {
      for (std::size_t k = 0; k + 1 < copies[i].size(); k += 2) r.lines.add(copies[i][k], copies[i][k + 1]);
      WriteOwnParts(r.lines, u);
      r.place(u.from);
      gone.push_back(u);
      continue;
    }
    const Shape& s = shapes[i];
    const Placement own = ObjectCoordinates(s.normal);
    for (const Piece& piece : s.path.pieces) {
      if (Length(piece) == 0) continue;
      if (const std::optional<ArcShape> arc = CircleOf(piece)) {
        WriteArc(r.lines, u, *arc, s.normal, s.elevation);
      } else {
        WriteLine(r.lines, u, World(s, own, piece.a), World(s, own, piece.b));
      }
    }
    // A polyline of no length at all stays as it is.
    if (r.lines.lines().size() == r.written) continue;
    r.place(u.from);
    gone.push_back(u);
  }
  if (gone.empty()) return nothingMade(Refused(S::NoLength));
  // References to blocks that draw nothing just go.
  if (r.lines.lines().empty()) return Loeschen(c) ? ReshapeResult{S::Done, {}, static_cast<int>(gone.size()), 0}
                                                  : Refused(S::NothingSelected);
  const ReshapeResult result = Commit(c, gone, r, static_cast<int>(gone.size()), 0);
  return result.status == S::Done ? result : nothingMade(result);
}

}  // namespace vestrel
