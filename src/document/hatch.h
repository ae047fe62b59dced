// The HATCH branch of the reader: a small state machine over the hatch's
// groups. Its boundary paths become the entry's loops (polyline paths with
// their bulges, edge paths of lines, arcs, elliptic arcs and splines, all
// flattened here), its pattern goes into the drawing's table of hatches.
//
// Counts in the file (paths, vertices, edges, knots, pattern lines, dashes)
// are never trusted: what is there is read, whatever the counts say.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "document/drawing.h"
#include "geometry/point.h"

namespace vestrel::reader {

class HatchReader {
 public:
  explicit HatchReader(Drawing& d) : d_(d) {}

  // A new HATCH: entry `p`, whose points begin at the end of the pool.
  void begin(tpoly& p);
  // One of its pairs, the common groups and the extrusion aside.
  void group(tpoly& p, int group, std::string_view value);
  // After its last pair: the last loop closed, the boundary at its height,
  // the table entry completed with the extrusion `normal`.
  void finish(tpoly& p, Point3 normal);

 private:
  // Where in the hatch the groups are: before the paths (the elevation
  // point, name and solid flag), in the paths, in the pattern, among the
  // seed points (not part of the outline) or in the gradient.
  enum class Part : std::uint8_t { Header, Paths, Pattern, Seeds, Gradient };
  enum class Edge : std::uint8_t { None, Line, Arc, Ellipse, Spline };

  void beginPath(tpoly& p, std::int32_t flags);
  // The path being read becomes its loop.
  void finishPath(tpoly& p);
  void finishEdge(tpoly& p);
  void polylineGroup(int group, double v);
  void edgeGroup(tpoly& p, int group, double v);
  void patternGroup(int group, double v);
  // The points of the edge just read into edge_ (in the order it runs).
  void arcEdge();
  void ellipseEdge();
  void splineEdge();
  // Appends the edge's points to the loop, turned round when it is its
  // end that meets the loop, and without its start when that is where the
  // loop is already.
  void appendEdge(tpoly& p);
  // Closes the loop being read: its last point is its first.
  void closeLoop(tpoly& p);
  Tmypoi& add(tpoly& p, double x, double y);
  void addSnap(tpoly& p, double x, double y);

  Drawing& d_;
  HatchData* h_ = nullptr;
  Part part_ = Part::Header;
  bool inPath_ = false;
  bool polylinePath_ = false;  // the path has vertices (flag 2), not edges
  bool closed_ = true;         // polyline path: group 73
  bool firstLoop_ = true;
  bool solidName_ = false;     // the pattern is named SOLID
  bool solidFlag_ = false;     // group 70 flag 1
  int gradientColour_ = 0;     // the gradient's colour being read, from 1
  std::size_t loopFrom_ = 0;   // the first point of the loop being read, in the pool
  std::vector<PolyVertex> vertices_;

  // The edge being read.
  Edge edge_ = Edge::None;
  struct EdgeData {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // 10/20 and 11/21: start and end, centre and axis
    double radius = 0;                      // 40: radius, ellipse ratio
    double start = 0, end = 0;              // 50, 51: degrees
    bool ccw = true;                        // 73
    int degree = 3;                         // spline: 94
    std::optional<Point3> startTangent, endTangent;  // spline: 12/22, 13/23
  } e_;
  std::vector<Point3> controls_, fits_;
  std::vector<double> knots_, weights_;
  std::vector<Point2> edgePoints_;
};

}  // namespace vestrel::reader
