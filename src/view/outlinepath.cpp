#include "view/outlinepath.h"

#include <QTransform>
#include <QtNumeric>
#include <cmath>
#include <optional>

#include "view/thinlines.h"

namespace vestrel {

namespace {

// What QPainterPath takes as a coordinate.
bool Taken(double v) { return std::isfinite(v) && std::abs(v) < 1e128; }

// Whether the paint engine strokes with `pen` line by line, a piece at a
// time, as the cosmetic stroker does: a solid colour at most a pixel wide,
// antialiased, without scaling.
bool Cosmetic(const QPainter& g, const QPen& pen) {
  return pen.style() != Qt::NoPen && pen.isSolid() && pen.widthF() <= 1 && g.testRenderHint(QPainter::Antialiasing) &&
         g.transform().type() <= QTransform::TxTranslate;
}

}  // namespace

void OutlinePath::clear() {
  points_.assign(1, QPointF(0, 0));
  starts_.assign(1, 0);
}

void OutlinePath::moveTo(double x, double y) {
  if (!Taken(x) || !Taken(y)) return;
  if (starts_.back() == points_.size() - 1) {
    points_.back() = QPointF(x, y);
  } else {
    starts_.push_back(points_.size());
    points_.emplace_back(x, y);
  }
}

void OutlinePath::lineTo(double x, double y) {
  if (!Taken(x) || !Taken(y) || points_.back() == QPointF(x, y)) return;
  points_.emplace_back(x, y);
}

void OutlinePath::close() {
  if (empty()) return;
  const QPointF first = points_[starts_.back()], last = points_.back();
  if (first.x() == last.x() && first.y() == last.y()) return;
  // A last point that all but meets the first is moved onto it.
  if (qFuzzyCompare(first.x(), last.x()) && qFuzzyCompare(first.y(), last.y()))
    points_.back() = first;
  else
    points_.push_back(first);
}

QPainterPath OutlinePath::path() const {
  QPainterPath out;
  out.reserve(static_cast<int>(points_.size()) + 1);
  for (std::size_t k = 0; k < starts_.size(); ++k) {
    out.moveTo(points_[starts_[k]]);
    for (std::size_t i = starts_[k] + 1; i < pieceEnd(k); ++i) out.lineTo(points_[i]);
  }
  return out;
}

void OutlinePath::stroke(QPainter& g, const QPen& pen) const {
  if (empty()) return;
  if (!Cosmetic(g, pen)) return g.strokePath(path(), pen);
  if (std::optional<ThinLines> lines = ThinLines::For(g, pen)) {
    for (std::size_t k = 0; k < starts_.size(); ++k)
      lines->polyline(points_.data() + starts_[k], static_cast<int>(pieceEnd(k) - starts_[k]));
    return;
  }
  g.setPen(pen);
  for (std::size_t k = 0; k < starts_.size(); ++k)
    g.drawPolyline(points_.data() + starts_[k], static_cast<int>(pieceEnd(k) - starts_[k]));
}

}  // namespace vestrel
