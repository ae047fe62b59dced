#include "app/paintbox.h"

#include <QPainter>
#include <QResizeEvent>

namespace vestrel {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
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
  render();
}

}  // namespace vestrel
