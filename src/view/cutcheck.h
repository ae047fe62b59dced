// Whether a drawing is ready for a cutting machine (laser, plasma,
// waterjet, router): what on the shown tab would make its software refuse
// or miscut the part, and what cutting it costs.
//
// The check works on the curves the objects draw, as measuring sees them
// (view/measure.h): in their own planes, block references through their
// placement. Candidates come from a tree of the ends and from buckets of
// the lines and circles the pieces run on, never from all pairs, so the
// check stays within n log n on hostile drawings.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "document/drawing.h"
#include "geometry/point.h"

namespace vestrel {

struct CutBox {
  double minx = 0, miny = 0, maxx = 0, maxy = 0;
  bool empty = true;
  void add(Point2 p);
  void add(const CutBox& b);
};

struct CutFinding {
  enum class Kind : std::uint8_t {
    OpenContour,   // a chain of curves whose ends do not meet; width: the gap between its free ends
    NearEnds,      // two ends within the tolerance, but not one point; width: their distance
    Duplicate,     // the same curve twice; width: the length they share
    Overlap,       // curves lying on each other over part of their length; width: that length
    ShortSegment,  // a segment shorter than the tolerance; width: its length
    ZeroLength,    // an object that draws nothing of any length
    SelfCrossing,  // a contour that crosses itself; at: where
    NotCut,        // a kind cutting machines do not take (texts, dimensions, hatches, ...); not an error
  };
  static constexpr std::size_t kKinds = 8;
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  Kind kind = Kind::OpenContour;
  std::size_t entry = kNone;  // the display-list entry it concerns
  std::size_t other = kNone;  // the second one, for near ends, duplicates and overlaps
  Point2 at;                  // where to look
  CutBox box;                 // what to show
  double width = 0;
  std::string type;           // the DXF kind of `entry` (a copy: the finding outlives a reparse)
};

// What cutting costs: the length the cutter travels, one pierce per
// contour, the area (holes subtracted) and the box.
struct CutFigures {
  double length = 0;
  int pierces = 0;
  double area = 0;
  CutBox box;
};

struct CutCheck {
  std::vector<CutFinding> findings;
  std::array<int, CutFinding::kKinds> counts{};  // findings by kind
  // One part per closed outer contour, with the contours inside it (an
  // island inside a hole is a part of its own); the total covers the open
  // contours too.
  std::vector<CutFigures> parts;
  CutFigures total;
  int contours = 0;  // closed and open, as pierced

  int count(CutFinding::Kind k) const { return counts[static_cast<std::size_t>(k)]; }
  // No error: nothing but kinds the machines do not take.
  bool ready() const;
};

constexpr double kCutTolerance = 0.01;

// The check of the shown objects of tab `tab` (layers off left out).
// `tolerance` must be a finite number >= 0.
CutCheck CheckCut(const Drawing& d, int tab, double tolerance = kCutTolerance);

// The English name of a kind of finding, as the JSON output writes it.
std::string_view FindingName(CutFinding::Kind k);

}  // namespace vestrel
