// A SPLINE's points from its groups, and a helper that makes them ahead of
// the reader.
//
// A spline is flattened into as many points as its curve needs, which in a
// drawing of many splines is a large part of what a parse costs. While the
// reader reads a large drawing on one core, SplinesAhead finds the splines
// ahead of it on another and flattens them. The reader takes a spline's
// points from it when it read the same groups for the spline, and makes
// them itself otherwise (the helper fell behind, or met the pairs otherwise
// than the reader did). Either way they come from SplineGroups::points, to
// the last bit.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "document/linelist.h"
#include "document/records.h"
#include "geometry/point.h"

namespace vestrel::reader {

// What a SPLINE's own groups say, as read.
struct SplineGroups {
  int degree = 3;                                 // group 71
  std::vector<Tmypoi> controls;                   // groups 10, 20, 30, with their value lines
  std::vector<Tmypoi> fits;                       // groups 11, 21, 31
  std::vector<double> knots;                      // group 40
  std::vector<double> weights;                    // group 41
  bool startTangent = false, endTangent = false;  // groups 12 and 13 were read
  Point3 tangent0, tangent1;

  void clear();
  // Takes in a pair of the spline: its group, its value (trimmed) and the
  // line of the value.
  void take(int group, std::string_view value, std::int32_t line);
  // The entry's points: its curve (where the groups make none, the points
  // they give), then the control points for grips and snapping.
  std::vector<Tmypoi> points() const;
  // The same groups, to the last bit.
  bool same(const SplineGroups& o) const;
  // Whether its curve costs enough to be handed from one core to another.
  bool worthAhead() const { return controls.size() + fits.size() >= 4; }
};

class SplinesAhead {
 public:
  explicit SplinesAhead(const LineList& lines) : lines_(lines) {}

  // The helper's work, on a core of its own: finds the splines of the list
  // in its order and flattens those the reader has not reached, holding
  // what the reader has not taken to about kAhead points' worth (its points
  // and the groups they came from), until stop(). Only ever a way to be
  // faster: when it fails, the reader makes the rest.
  void work();
  // The reader is done with the list, or has given up.
  void stop();
  // The points of the spline whose "0" line is `line`, when the helper
  // made them from groups the same as `groups`. The reader asks in the
  // order of the list, for those worth it.
  std::optional<std::vector<Tmypoi>> take(std::int32_t line, const SplineGroups& groups);

  static constexpr std::size_t kAhead = 1 << 17;

 private:
  struct Made {
    std::int32_t line;
    SplineGroups groups;
    std::vector<Tmypoi> points;
    std::size_t weight;  // what it holds, in points: never 0, so that empty ones count too
  };
  // Whether the reader has reached `line` (under m_).
  bool passed(std::int32_t line) const { return line <= readerAt_; }

  const LineList& lines_;
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<Made> made_;
  std::size_t held_ = 0;        // the weight of made_
  std::int32_t readerAt_ = -1;  // the line the reader asked for last
  bool stopped_ = false;
};

}  // namespace vestrel::reader
