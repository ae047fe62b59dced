#include "tools/snap.h"

#include <cmath>
#include <span>

#include "tools/screensearch.h"

namespace vestrel {

namespace {

constexpr double kAlign = 5;  // pixels
constexpr double kCatch = 5;  // pixels, in x and in y
// What the index is asked about around the pointer: the catch and the
// rounding to pixels, with room to spare.
constexpr double kSearchMargin = kCatch + 3;
constexpr int kMarker = 5;  // half the marker square

using Stroke = SnapStroke;
using Strokes = std::span<const Stroke>;

constexpr int m = kMarker;
// Each kind's marker around the snapped point, kMarker from it at most.
constexpr Stroke kSquare[] = {{-m, -m, m, -m}, {m, -m, m, m}, {m, m, -m, m}, {-m, m, -m, -m}};
constexpr Stroke kTriangle[] = {{-m, m, m, m}, {m, m, 0, -m}, {0, -m, -m, m}};
constexpr Stroke kOctagon[] = {{-2, -m, 2, -m}, {2, -m, m, -2}, {m, -2, m, 2},   {m, 2, 2, m},
                               {2, m, -2, m},   {-2, m, -m, 2}, {-m, 2, -m, -2}, {-m, -2, -2, -m}};
constexpr Stroke kDiamond[] = {{0, -m, m, 0}, {m, 0, 0, m}, {0, m, -m, 0}, {-m, 0, 0, -m}};
constexpr Stroke kCross[] = {{-m, -m, m, m}, {-m, m, m, -m}};
constexpr Stroke kFoot[] = {{-m, m, m, m}, {-m, m, -m, -m}, {-m, 0, 0, 0}, {0, 0, 0, m - 1}};
constexpr Stroke kTouching[] = {{-m, -m, m, -m}, {-2, -3, 2, -3}, {2, -3, 4, 0}, {4, 0, 2, 3},
                                {2, 3, -2, 3},   {-2, 3, -4, 0},  {-4, 0, -2, -3}};
constexpr Stroke kHourglass[] = {{-m, -m, m, -m}, {m, -m, -m, m}, {-m, m, m, m}, {m, m, -m, -m}};
constexpr Stroke kSquares[] = {{-m, -m, m, -m}, {m, -m, m, m}, {m, m, -m, m}, {-m, m, -m, -m},
                               {-2, -2, 2, -2}, {2, -2, 2, 2}, {2, 2, -2, 2}, {-2, 2, -2, -2}};
// In the order of the kinds.
constexpr Strokes kMarkers[kSnapKinds] = {kSquare, kTriangle, kOctagon,   kDiamond, kCross,
                                          kFoot,   kTouching, kHourglass, kSquares};

// The letters of the labels, 4 pixels wide and 6 high.
constexpr Stroke kA[] = {{0, 6, 0, 2}, {0, 2, 2, 0}, {2, 0, 4, 2}, {4, 2, 4, 6}, {0, 3, 4, 3}};
constexpr Stroke kB[] = {{0, 0, 0, 6}, {0, 0, 3, 0}, {3, 0, 4, 1}, {4, 1, 4, 2}, {4, 2, 3, 3},
                         {0, 3, 3, 3}, {3, 3, 4, 4}, {4, 4, 4, 5}, {4, 5, 3, 6}, {3, 6, 0, 6}};
constexpr Stroke kC[] = {{4, 0, 0, 0}, {0, 0, 0, 6}, {0, 6, 4, 6}};
constexpr Stroke kD[] = {{0, 0, 0, 6}, {0, 0, 3, 0}, {3, 0, 4, 1}, {4, 1, 4, 5}, {4, 5, 3, 6}, {3, 6, 0, 6}};
constexpr Stroke kE[] = {{0, 0, 0, 6}, {0, 0, 4, 0}, {0, 3, 3, 3}, {0, 6, 4, 6}};
constexpr Stroke kH[] = {{0, 0, 0, 6}, {4, 0, 4, 6}, {0, 3, 4, 3}};
constexpr Stroke kI[] = {{2, 0, 2, 6}, {1, 0, 3, 0}, {1, 6, 3, 6}};
constexpr Stroke kL[] = {{0, 0, 0, 6}, {0, 6, 4, 6}};
constexpr Stroke kM[] = {{0, 6, 0, 0}, {0, 0, 2, 3}, {2, 3, 4, 0}, {4, 0, 4, 6}};
constexpr Stroke kN[] = {{0, 6, 0, 0}, {0, 0, 4, 6}, {4, 6, 4, 0}};
constexpr Stroke kO[] = {{0, 0, 4, 0}, {4, 0, 4, 6}, {4, 6, 0, 6}, {0, 6, 0, 0}};
constexpr Stroke kQ[] = {{0, 0, 4, 0}, {4, 0, 4, 6}, {4, 6, 0, 6}, {0, 6, 0, 0}, {2, 4, 4, 6}};
constexpr Stroke kS[] = {{4, 0, 0, 0}, {0, 0, 0, 3}, {0, 3, 4, 3}, {4, 3, 4, 6}, {4, 6, 0, 6}};
constexpr Stroke kT[] = {{0, 0, 4, 0}, {2, 0, 2, 6}};
constexpr Stroke kU[] = {{0, 0, 0, 6}, {0, 6, 4, 6}, {4, 6, 4, 0}};
constexpr Stroke kZ[] = {{0, 0, 4, 0}, {4, 0, 0, 6}, {0, 6, 4, 6}};

Strokes LetterOf(char c) {
  switch (c) {
    case 'A': return kA;
    case 'B': return kB;
    case 'C': return kC;
    case 'D': return kD;
    case 'E': return kE;
    case 'H': return kH;
    case 'I': return kI;
    case 'L': return kL;
    case 'M': return kM;
    case 'N': return kN;
    case 'O': return kO;
    case 'Q': return kQ;
    case 'S': return kS;
    case 'T': return kT;
    case 'U': return kU;
    case 'Z': return kZ;
    default: return {};
  }
}

// The label beside each kind's marker: its name in the menu, cut short.
const char* LabelOf(SnapKind k) {
  static constexpr const char* kLabels[kSnapKinds] = {"END", "MIT", "ZEN", "QUA", "SCH", "LOT", "TAN", "NAE", "BAS"};
  return kLabels[static_cast<int>(k)];
}

// The marker of the kind at pixel (sx, sy) and its label below to the
// right, all on the rubber band.
void DrawMarker(Editor& e, SnapKind k, int sx, int sy) {
  for (const Stroke& s : SnapMarker(k)) e.AddRubberBand(sx + s.x1, sy + s.y1, sx + s.x2, sy + s.y2);
  int x = sx + kMarker + 3;
  const int y = sy + kMarker + 3;
  for (const char* c = LabelOf(k); *c; ++c, x += 6)
    for (const Stroke& s : LetterOf(*c)) e.AddRubberBand(x + s.x1, y + s.y1, x + s.x2, y + s.y2);
}

// The object snaps switched on, from the pointer as it came; false when
// none caught it.
bool ObjectSnapPoint(Editor& e, const ScreenTransform& window, double xx, double yy, double ox, double oy, double& x,
                     double& y, double& ex, double& ey) {
  const ScreenSearch s(e, window);
  SnapQuery q;
  q.pointer = window.toWorld(ox, oy);
  q.aperture = kCatch * 100 / window.zoom();
  q.modes = e.tool.activeSnaps();
  // A caller without a previous point passes the pointer: then there is
  // no fixed point to draw perpendiculars and tangents from.
  if (xx != ox || yy != oy) q.from = window.toWorld(xx, yy);
  const auto hit = e.objectsnap.find(e.drawing, e.spatialindex, s.scope, e.view.tab, q);
  if (!hit) return false;
  e.tool.snapped = hit;
  const Point2 at = window.toScreen(hit->point.x, hit->point.y);
  x = at.x, y = at.y;
  ex = hit->point.x, ey = hit->point.y;
  DrawMarker(e, hit->kind, WholePixels(at.x), WholePixels(at.y));
  return true;
}

}  // namespace

std::span<const SnapStroke> SnapMarker(SnapKind k) { return kMarkers[static_cast<int>(k)]; }

bool SnapPoints(Editor& e, const ScreenTransform& window, double xx, double yy, double& x, double& y, double& ex,
                double& ey, ShiftState shift) {
  const double ox = x, oy = y;
  if (shift.ctrl) return false;

  if (std::abs(xx - ox) <= kAlign) x = xx;
  if (std::abs(yy - oy) <= kAlign) y = yy;
  if (std::abs(std::abs(xx - ox) - std::abs(yy - oy)) <= kAlign) y = y < yy ? yy - std::abs(xx - x) : yy + std::abs(xx - x);
  if (e.tool.activeSnaps()) return ObjectSnapPoint(e, window, xx, yy, ox, oy, x, y, ex, ey);

  // The nearest point, measured from the pointer as it came; on equal
  // distances the first in the display list, an entry's own points before
  // its snap points.
  const ScreenSearch s(e, window);
  std::vector<std::uint32_t> runs;
  s.Runs(ox, oy, ox, oy, kSearchMargin, runs);
  bool caught = false;
  double best = 0;
  Point2 at, world;
  for (const std::uint32_t i : runs) {
    const SpatialIndex::Run& r = s.index.run(i);
    if (r.kind == SpatialIndex::RunKind::Closing) continue;
    if (!s.snappable(s.d.polys[static_cast<std::size_t>(r.entry)])) continue;
    const auto pts = s.points(r);
    for (const Tmypoi& q : pts.span().subspan(static_cast<std::size_t>(r.from), static_cast<std::size_t>(r.count))) {
      const Point2 sp = s.pixel(q);
      if (!(std::abs(sp.x - ox) <= kCatch && std::abs(sp.y - oy) <= kCatch)) continue;
      const double dx = sp.x - ox, dy = sp.y - oy;
      const double dist = std::sqrt(dx * dx + dy * dy);
      if (caught && !(dist < best)) continue;
      caught = true;
      best = dist, at = sp, world = {q.x, q.y};
    }
  }
  if (!caught) return false;

  x = at.x, y = at.y;
  ex = world.x, ey = world.y;
  const int sx = WholePixels(at.x), sy = WholePixels(at.y);
  e.AddRubberBand(sx - kMarker, sy - kMarker, sx + kMarker, sy - kMarker);
  e.AddRubberBand(sx + kMarker, sy - kMarker, sx + kMarker, sy + kMarker);
  e.AddRubberBand(sx + kMarker, sy + kMarker, sx - kMarker, sy + kMarker);
  e.AddRubberBand(sx - kMarker, sy + kMarker, sx - kMarker, sy - kMarker);
  return true;
}

}  // namespace vestrel
