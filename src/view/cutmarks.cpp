#include "view/cutmarks.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

namespace {

// Far enough beyond the area that no edge of a box drawn there shows.
constexpr int kBeyond = 8;

int Within(double v, int size) { return std::clamp(WholePixels(v), -kBeyond, size + kBeyond); }

bool Finite(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

std::vector<CutMark> CutMarks(const CutCheck& c, const ScreenTransform& t, int width, int height) {
  std::vector<CutMark> marks;
  for (const CutFinding& f : c.findings) {
    if (!Finite(f.at)) continue;
    CutMark m;
    m.error = f.kind != CutFinding::Kind::NotCut;
    const Point2 at = t.toScreen(f.at.x, f.at.y);
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // what the mark covers
    if (!f.box.empty) {
      const Point2 a = t.toScreen(f.box.minx, f.box.miny), b = t.toScreen(f.box.maxx, f.box.maxy);
      const double left = std::min(a.x, b.x), right = std::max(a.x, b.x);
      const double top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
      if (right - left > 2 * kCutMarkRadius || bottom - top > 2 * kCutMarkRadius) {
        m.boxed = true;
        m.x0 = Within(left, width), m.x1 = Within(right, width);
        m.y0 = Within(top, height), m.y1 = Within(bottom, height);
        x0 = m.x0, y0 = m.y0, x1 = m.x1, y1 = m.y1;
      }
    }
    m.x = Within(at.x, width), m.y = Within(at.y, height);
    const bool symbolShows = m.x > -kCutMarkRadius && m.x < width + kCutMarkRadius && m.y > -kCutMarkRadius &&
                             m.y < height + kCutMarkRadius;
    const bool boxShows = m.boxed && x1 >= 0 && x0 < width && y1 >= 0 && y0 < height;
    if (symbolShows || boxShows) marks.push_back(m);
  }
  return marks;
}

std::pair<Point2, Point2> CutZoomWindow(const CutFinding& f, const CutBox& whole) {
  CutBox box = f.box;
  box.add(f.at);
  if (box.empty) return {f.at, f.at};
  double margin = std::max(box.maxx - box.minx, box.maxy - box.miny) / 5;
  if (!whole.empty) margin = std::max(margin, std::max(whole.maxx - whole.minx, whole.maxy - whole.miny) / 50);
  if (!std::isfinite(margin)) margin = 0;
  return {{box.minx - margin, box.miny - margin}, {box.maxx + margin, box.maxy + margin}};
}

}  // namespace vestrel
