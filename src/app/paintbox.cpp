#include "app/paintbox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

namespace vestrel {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(100, 100);
}

void PaintBox::render() {
  if (canvas_.size() != size()) canvas_ = QImage(size(), QImage::Format_RGB32);
  if (onPaint) onPaint(canvas_);
  update();
}

void PaintBox::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, canvas_); }

void PaintBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  canvas_ = QImage(size(), QImage::Format_RGB32);
  canvas_.fill(Qt::white);
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

void PaintBox::wheelEvent(QWheelEvent* event) {
  if (onWheel) onWheel(event);
  event->accept();
}

}  // namespace vestrel
