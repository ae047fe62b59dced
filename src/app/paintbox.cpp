#include "app/paintbox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QWheelEvent>
#include <cstring>

namespace vestrel {

namespace {

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

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(100, 100);
  // Once the moved picture is on the screen.
  exact_.setSingleShot(true);
  exact_.setInterval(0);
  connect(&exact_, &QTimer::timeout, this, &PaintBox::showExact);
}

QImage& PaintBox::canvas() {
  drawPending();
  return canvas_;
}

void PaintBox::render() {
  if (!settled()) {
    exact_.stop();
    qApp->removeEventFilter(this);
  }
  pending_.clear();
  drawn_.clear();
  if (picture_.size() != size()) {
    picture_ = QImage(size(), QImage::Format_RGB32);
    cache_.forget();
  }
  if (onPaint) onPaint(picture_);
  if (onBandGone) onBandGone();
  showPicture();
  update();
}

void PaintBox::renderMoved(const QTransform& move, const QColor& ground) {
  if (picture_.size() != size() || canvas_.size() != size()) return render();
  pending_.clear();
  drawn_.clear();
  {
    QPainter g(&canvas_);
    g.setCompositionMode(QPainter::CompositionMode_Source);
    g.fillRect(canvas_.rect(), ground);
    g.setTransform(move);
    g.drawImage(0, 0, picture_);
  }
  if (onBandGone) onBandGone();
  if (settled()) qApp->installEventFilter(this);
  exact_.start();
  // On the screen before anything else is done.
  repaint();
}

void PaintBox::settle() {
  if (settled()) return;
  exact_.stop();
  showExact();
}

bool PaintBox::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::Close:
    case QEvent::ActivationChange:
      settle();
      break;
    default: break;
  }
  return false;
}

void PaintBox::showExact() {
  qApp->removeEventFilter(this);
  if (onPaint) onPaint(picture_);
  showPicture();
  // The band drawn meanwhile stays, for the tool to erase it.
  DrawXorSegments(canvas_, drawn_);
  drawn_.clear();
  update();
}

void PaintBox::showPicture() {
  // The canvas keeps its own pixels, so that the band drawn into it never
  // costs a copy of the picture.
  if (canvas_.size() != picture_.size() || canvas_.format() != picture_.format()) canvas_ = picture_.copy();
  else std::memcpy(canvas_.bits(), picture_.constBits(), static_cast<std::size_t>(picture_.sizeInBytes()));
}

void PaintBox::xorLines(std::span<const tremove> segments) {
  pending_.insert(pending_.end(), segments.begin(), segments.end());
  update();
}

void PaintBox::drawPending() {
  if (pending_.empty() || canvas_.isNull()) return pending_.clear();
  DrawXorSegments(canvas_, pending_);
  if (!settled()) drawn_.insert(drawn_.end(), pending_.begin(), pending_.end());
  pending_.clear();
}

void PaintBox::paintEvent(QPaintEvent*) {
  drawPending();
  QPainter(this).drawImage(0, 0, canvas_);
  const Clock::time_point now = Clock::now();
  if (!frames_.first) frames_.first = now;
  if (!frames_.exact && settled()) frames_.exact = now;
  if (afterFrame_) QTimer::singleShot(0, this, std::exchange(afterFrame_, nullptr));
}

void PaintBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  picture_ = QImage(size(), QImage::Format_RGB32);
  picture_.fill(Qt::white);
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
