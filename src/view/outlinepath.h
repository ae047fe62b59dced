// An entry's outline as the painter makes it, piece by piece. It is kept
// as QPainterPath keeps one (a move after a move takes its place, a line to
// where the outline stands adds nothing, a point the path refuses is left
// out, closing snaps a last point that all but meets the first) and drawn
// as that path is drawn. With a pen the paint engine strokes cosmetically,
// a pixel wide at most on an antialiased picture, the pieces are drawn one
// by one as polylines, as the engine draws the pieces of a path; that
// spares building the path, most of what thin outlines cost.
#pragma once

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <cstddef>
#include <vector>

namespace vestrel {

class OutlinePath {
 public:
  OutlinePath() { clear(); }

  // Nothing but a move to (0, 0), as a cleared path.
  void clear();
  void moveTo(double x, double y);
  void lineTo(double x, double y);
  // Closes the last piece; what follows begins with a move.
  void close();

  // Only a move: nothing to stroke.
  bool empty() const { return points_.size() == 1; }
  QPointF current() const { return points_.back(); }

  // The same as a path.
  QPainterPath path() const;
  // Strokes it with `pen` as g.strokePath(path(), pen) would; g may be
  // left with `pen` as its own.
  void stroke(QPainter& g, const QPen& pen) const;

 private:
  std::size_t pieceEnd(std::size_t k) const { return k + 1 < starts_.size() ? starts_[k + 1] : points_.size(); }

  std::vector<QPointF> points_;
  std::vector<std::size_t> starts_;  // where each piece begins in points_
};

}  // namespace vestrel
