#include "app/paintbox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QWheelEvent>

namespace vestrel {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(100, 100);
}

QImage& PaintBox::canvas() {
  drawPending();
  return canvas_;
}

namespace {

// More segments than this on the canvas, and the next rendering starts
// afresh rather than erase them.
constexpr std::size_t kMostDrawn = 1 << 18;

void DrawXorSegments(QImage& canvas, std::span<const tremove> segments) {
  QPainter g(&canvas);
  g.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  for (std::size_t i = 0; i < segments.size();) {
    const tremove& r = segments[i];
    g.setPen(QPen(Qt::white, 1, r.syl == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine));
    // A run of joined segments is one path, each of its pixels drawn once.
    std::size_t end = i + 1;
    while (end < segments.size() && segments[end].joined) ++end;
    if (end == i + 1) {
      g.drawLine(r.x1, r.y1, r.x2, r.y2);
    } else {
      QPainterPath path;
      for (std::size_t k = i; k < end; ++k) {
        const tremove& t = segments[k];
        if (k == i || path.currentPosition() != QPointF(t.x1, t.y1)) path.moveTo(t.x1, t.y1);
        path.lineTo(t.x2, t.y2);
      }
      g.drawPath(path);
    }
    i = end;
  }
}

}  // namespace

void PaintBox::render() {
  pending_.clear();
  if (canvas_.size() != size()) {
    canvas_ = QImage(size(), QImage::Format_RGB32);
    cache_.forget();
  }
  if (drawn_.size() > kMostDrawn) cache_.forget();
  else if (!drawn_.empty() && !canvas_.isNull()) DrawXorSegments(canvas_, drawn_);
  drawn_.clear();
  if (onPaint) onPaint(canvas_);
  update();
}

void PaintBox::xorLines(std::span<const tremove> segments) {
  pending_.insert(pending_.end(), segments.begin(), segments.end());
  update();
}

void PaintBox::drawPending() {
  if (pending_.empty() || canvas_.isNull()) return pending_.clear();
  DrawXorSegments(canvas_, pending_);
  if (drawn_.size() <= kMostDrawn) drawn_.insert(drawn_.end(), pending_.begin(), pending_.end());
  pending_.clear();
}

void PaintBox::paintEvent(QPaintEvent*) {
  drawPending();
  QPainter(this).drawImage(0, 0, canvas_);
}

void PaintBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  canvas_ = QImage(size(), QImage::Format_RGB32);
  canvas_.fill(Qt::white);
  drawn_.clear();
  cache_.forget();
  render();
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
  if (onMouseDown) onMouseDown(event);
}

void PaintBox::mouseMoveEvent(QMouseEvent* event) {
  if (onMouseMove) onMouseMove(event);
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event) {
  if (onMouseUp) onMouseUp(event);
}

void PaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (onMouseDown) onMouseDown(event);
  if (onDoubleClick && event->button() == Qt::LeftButton) onDoubleClick();
}

void PaintBox::wheelEvent(QWheelEvent* event) {
  if (onWheel) onWheel(event);
  event->accept();
}

}  // namespace vestrel
