#include "app/icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <functional>

namespace vestrel::icons {

namespace {

QPixmap Draw(int size, const std::function<void(QPainter&)>& paint) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  paint(p);
  return pm;
}

// A magnifying glass with its handle, and `sign` (+, - or nothing) in it.
void Glass(QPainter& p, QChar sign) {
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(QColor(210, 230, 250));
  p.drawEllipse(QRectF(3, 3, 13, 13));
  p.setPen(QPen(QColor(120, 80, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(15, 15), QPointF(21, 21));
  p.setPen(QPen(Qt::black, 2));
  if (sign == '+' || sign == '-') p.drawLine(QPointF(6.5, 9.5), QPointF(12.5, 9.5));
  if (sign == '+') p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
}

QIcon NewR12() {
  QPixmap pm = QApplication::style()->standardIcon(QStyle::SP_FileIcon).pixmap(24, 24);
  QPainter p(&pm);
  QFont f = p.font();
  f.setPixelSize(10);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::darkRed);
  p.drawText(pm.rect(), Qt::AlignBottom | Qt::AlignHCenter, "12");
  return QIcon(pm);
}

QIcon Print() {
  return QIcon(Draw(24, [](QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 2, 12, 8));
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 14, 12, 8));
  }));
}

QIcon ZoomAll() {
  return QIcon(Draw(24, [](QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.drawRect(QRectF(2, 2, 20, 20));
    p.setPen(QPen(QColor(0, 90, 180), 2));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
  }));
}

QIcon ZoomIn() { return QIcon(Draw(24, [](QPainter& p) { Glass(p, '+'); })); }
QIcon ZoomOut() { return QIcon(Draw(24, [](QPainter& p) { Glass(p, '-'); })); }
QIcon Zoom() { return QIcon(Draw(24, [](QPainter& p) { Glass(p, ' '); })); }

QIcon Hand() {
  return QIcon(Draw(24, [](QPainter& p) {
    p.setPen(QPen(QColor(60, 40, 20), 1.5));
    p.setBrush(QColor(250, 215, 170));
    QPainterPath hand;
    hand.addRoundedRect(QRectF(6, 10, 12, 11), 3, 3);
    for (int i = 0; i < 4; ++i) hand.addRoundedRect(QRectF(6 + 3 * i, 3 + (i % 3), 3, 10), 1.5, 1.5);
    hand.addRoundedRect(QRectF(2, 11, 6, 3), 1.5, 1.5);
    p.drawPath(hand.simplified());
  }));
}

QIcon Preview() {
  return QIcon(Draw(24, [](QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 2, 16, 20));
    p.setPen(QPen(QColor(60, 60, 60), 1, Qt::DashLine));
    p.drawRect(QRectF(7, 5, 10, 14));
  }));
}

QIcon Standard(QStyle::StandardPixmap pixmap) { return QApplication::style()->standardIcon(pixmap); }

}  // namespace

QIcon Of(Icon icon) {
  switch (icon) {
    case Icon::None: return {};
    case Icon::NewFile: return Standard(QStyle::SP_FileIcon);
    case Icon::NewR12: return NewR12();
    case Icon::Open: return Standard(QStyle::SP_DialogOpenButton);
    case Icon::Save: return Standard(QStyle::SP_DialogSaveButton);
    case Icon::Print: return Print();
    case Icon::Undo: return Standard(QStyle::SP_ArrowBack);
    case Icon::ZoomAll: return ZoomAll();
    case Icon::ZoomIn: return ZoomIn();
    case Icon::ZoomOut: return ZoomOut();
    case Icon::Zoom: return Zoom();
    case Icon::Hand: return Hand();
    case Icon::Preview: return Preview();
  }
  return {};
}

QCursor Magnifier() {
  return QCursor(Draw(24, [](QPainter& p) { Glass(p, ' '); }), 9, 9);
}

}  // namespace vestrel::icons
