// Measuring: the distance and direction between two points, the angle at
// a vertex, and the lengths and areas of contours, holes subtracted.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "geometry/path.h"

namespace vestrel {

struct Distance {
  double distance = 0, dx = 0, dy = 0;
  double angle = 0;  // degrees counter-clockwise from the x axis, in [0, 360)
};
Distance DistanceOf(Point2 a, Point2 b);

// The angle at `vertex` between the legs to a and to b, in degrees from 0
// to 180; NaN when a leg has no length.
double AngleAt(Point2 a, Point2 vertex, Point2 b);

// One curve of what is measured: its length and, when it closes, the area
// it encloses (positive counter-clockwise). `path` is where it runs (for a
// spline, its curve finely flattened), and so what lies inside it.
struct Contour {
  Path path;
  double length = 0;
  double area = 0;
  bool closed = false;
};
Contour ContourOf(Path path);
// A curve given by its points at(v) for v over the spans between
// `breaks` (ascending): its length and area by chords through ever more
// points, taken to the limit (Romberg), exact to about 1e-12 relative for
// smooth spans. Closed when its ends meet. Without its path (the chords
// through the points) unless `withPath`.
Contour SampledContour(const std::function<Point2(double)>& at, std::span<const double> breaks, bool withPath);
// The closed polygon through `points`.
Path PolygonPath(std::span<const Point2> points);

struct Surface {
  double area = 0, perimeter = 0;
};
// The area of closed contours, each inside an odd number of the others a
// hole, and the length of them all.
Surface AreaOf(std::span<const Contour> contours);

}  // namespace vestrel
