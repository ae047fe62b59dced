#include "app/icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <cmath>
#include <functional>

#include "geometry/point.h"
#include "tools/snap.h"

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

// A window dashed round the glass.
QIcon ZoomWindow() {
  return QIcon(Draw(24, [](QPainter& p) {
    p.setPen(QPen(QColor(0, 90, 180), 1.5, Qt::DashLine));
    p.drawRect(QRectF(1.5, 1.5, 17, 17));
    Glass(p, ' ');
  }));
}

// The glass with an arrow turning back.
QIcon ZoomPrevious() {
  return QIcon(Draw(24, [](QPainter& p) {
    Glass(p, ' ');
    p.setPen(QPen(QColor(0, 90, 180), 2));
    p.drawLine(QPointF(13, 9.5), QPointF(6, 9.5));
    p.drawLine(QPointF(6, 9.5), QPointF(9, 6.5));
    p.drawLine(QPointF(6, 9.5), QPointF(9, 12.5));
  }));
}

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

// Three sheets stacked, each its own colour: the layers.
QIcon Layers() {
  return QIcon(Draw(24, [](QPainter& p) {
    const QColor colours[] = {QColor(200, 40, 40), QColor(40, 150, 60), QColor(40, 80, 200)};
    for (int i = 0; i < 3; ++i) {
      QPolygonF sheet({QPointF(12, 4 + 5 * i), QPointF(22, 9 + 5 * i), QPointF(12, 14 + 5 * i), QPointF(2, 9 + 5 * i)});
      p.setPen(QPen(QColor(40, 40, 40), 1));
      p.setBrush(colours[i]);
      p.drawPolygon(sheet);
    }
  }));
}

QIcon Standard(QStyle::StandardPixmap pixmap) { return QApplication::style()->standardIcon(pixmap); }

// The drawing tools: what each draws, in dark blue with black dots on the
// points it is clicked at.
QIcon Tool(Icon icon) {
  return QIcon(Draw(24, [icon](QPainter& p) {
    const QPen ink(QColor(0, 40, 140), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(ink);
    auto dot = [&](double x, double y) {
      p.save();
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawEllipse(QPointF(x, y), 1.8, 1.8);
      p.restore();
    };
    switch (icon) {
      case Icon::Line:
        p.drawLine(QPointF(4, 20), QPointF(20, 4));
        dot(4, 20), dot(20, 4);
        break;
      case Icon::PolyLine: {
        const QPointF pts[] = {{3, 20}, {9, 6}, {15, 16}, {21, 4}};
        p.drawPolyline(pts, 4);
        for (const QPointF& q : pts) dot(q.x(), q.y());
        break;
      }
      case Icon::Polygon: {
        QPolygonF hexagon;
        for (int k = 0; k < 6; ++k) hexagon << QPointF(12 + 9 * std::cos(k * kPi / 3), 12 + 9 * std::sin(k * kPi / 3));
        p.drawPolygon(hexagon);
        dot(12, 12);
        break;
      }
      case Icon::Rectangle:
        p.drawRect(QRectF(3, 6, 18, 12));
        dot(3, 18), dot(21, 6);
        break;
      case Icon::Arc:
        p.drawArc(QRectF(3, 5, 18, 18), 0, 180 * 16);
        dot(3, 14), dot(12, 5), dot(21, 14);
        break;
      case Icon::Circle:
        p.drawEllipse(QRectF(3, 3, 18, 18));
        dot(12, 12);
        break;
      case Icon::Spline: {
        QPainterPath curve(QPointF(3, 18));
        curve.cubicTo(QPointF(8, 0), QPointF(14, 26), QPointF(21, 6));
        p.drawPath(curve);
        dot(3, 18), dot(21, 6);
        break;
      }
      case Icon::Ellipse:
        p.drawEllipse(QRectF(2, 6, 20, 12));
        dot(2, 12), dot(22, 12);
        break;
      case Icon::Text: {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(18);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("A"));
        break;
      }
      case Icon::Dimension:
        p.drawLine(QPointF(3, 4), QPointF(3, 20));
        p.drawLine(QPointF(21, 4), QPointF(21, 20));
        p.drawLine(QPointF(3, 12), QPointF(21, 12));
        p.drawLine(QPointF(3, 12), QPointF(7, 10)), p.drawLine(QPointF(3, 12), QPointF(7, 14));
        p.drawLine(QPointF(21, 12), QPointF(17, 10)), p.drawLine(QPointF(21, 12), QPointF(17, 14));
        break;
      case Icon::Point:
        p.drawLine(QPointF(8, 12), QPointF(16, 12));
        p.drawLine(QPointF(12, 8), QPointF(12, 16));
        dot(12, 12);
        break;
      case Icon::Solid:
        p.setBrush(QColor(0, 40, 140));
        p.drawPolygon(QPolygonF({QPointF(3, 20), QPointF(12, 4), QPointF(21, 20)}));
        break;
      case Icon::Arrow:
        p.drawLine(QPointF(4, 20), QPointF(20, 4));
        p.setBrush(QColor(0, 40, 140));
        p.drawPolygon(QPolygonF({QPointF(20, 4), QPointF(12, 7), QPointF(17, 12)}));
        break;
      case Icon::Pen: {
        QPainterPath stroke(QPointF(3, 16));
        stroke.cubicTo(QPointF(6, 4), QPointF(10, 22), QPointF(13, 12));
        stroke.cubicTo(QPointF(15, 6), QPointF(19, 8), QPointF(21, 4));
        p.drawPath(stroke);
        break;
      }
      default: break;
    }
  }));
}

// The object snaps: the marker the drawing area shows for each, twice as
// large.
QIcon Snap(SnapKind kind) {
  return QIcon(Draw(24, [kind](QPainter& p) {
    p.setPen(QPen(QColor(0, 40, 140), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const SnapStroke& s : SnapMarker(kind))
      p.drawLine(QPointF(12 + 2 * s.x1, 12 + 2 * s.y1), QPointF(12 + 2 * s.x2, 12 + 2 * s.y2));
  }));
}

// The editing tools: a shape in dark blue and what the tool makes of it in
// green, the way it goes in black.
QIcon EditTool(Icon icon) {
  return QIcon(Draw(24, [icon](QPainter& p) {
    const QPen ink(QColor(0, 40, 140), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPen made(QColor(0, 130, 60), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPen way(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    auto arrowHead = [&](QPointF tip, double angle) {
      p.setPen(way);
      for (const double side : {-0.5, 0.5})
        p.drawLine(tip, tip - QPointF(4 * std::cos(angle + side), 4 * std::sin(angle + side)));
    };
    // A square before and after, and the way from the one to the other.
    auto squares = [&](const QPen& first, QRectF from, QRectF to, QLineF way = {}) {
      p.setPen(first);
      p.drawRect(from);
      p.setPen(made);
      p.drawRect(to);
      if (way.isNull()) return;
      arrowHead(way.p2(), std::atan2(way.dy(), way.dx()));
      p.drawLine(way);
    };
    switch (icon) {
      case Icon::Delete:
        p.setPen(ink);
        p.drawRect(QRectF(4, 7, 16, 10));
        p.setPen(QPen(QColor(200, 20, 20), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 4), QPointF(19, 20));
        p.drawLine(QPointF(19, 4), QPointF(5, 20));
        break;
      case Icon::Copy: squares(ink, QRectF(3, 3, 11, 11), QRectF(10, 10, 11, 11)); break;
      case Icon::Move:
        squares(QPen(QColor(0, 40, 140), 1.2, Qt::DashLine), QRectF(2, 12, 9, 9), QRectF(13, 3, 9, 9),
                QLineF(7, 16, 16, 7));
        break;
      case Icon::Rotate: {
        // A bar turned about its end, the way of the turn between the two.
        const QPointF centre(5, 19);
        p.setPen(ink);
        p.drawLine(centre, QPointF(21, 19));
        p.setPen(made);
        p.drawLine(centre, centre + QPointF(16 * std::cos(kPi / 3), -16 * std::sin(kPi / 3)));
        p.setPen(way);
        p.drawArc(QRectF(centre.x() - 11, centre.y() - 11, 22, 22), 8 * 16, 40 * 16);
        const double end = 48 * kPi / 180;
        arrowHead(centre + QPointF(11 * std::cos(end), -11 * std::sin(end)), std::atan2(-std::cos(end), -std::sin(end)));
        p.setBrush(Qt::black);
        p.drawEllipse(centre, 1.5, 1.5);
        break;
      }
      case Icon::Mirror:
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawLine(QPointF(12, 2), QPointF(12, 22));
        p.setPen(ink);
        p.drawPolygon(QPolygonF({QPointF(10, 5), QPointF(10, 19), QPointF(2, 19)}));
        p.setPen(made);
        p.drawPolygon(QPolygonF({QPointF(14, 5), QPointF(14, 19), QPointF(22, 19)}));
        break;
      case Icon::Scale: squares(ink, QRectF(3, 13, 8, 8), QRectF(3, 3, 18, 18), QLineF(10, 14, 18, 6)); break;
      case Icon::Array:
        for (int i = 0; i < 3; ++i)
          for (int j = 0; j < 3; ++j) {
            p.setPen(i == 0 && j == 2 ? ink : made);
            p.drawRect(QRectF(2.5 + 7 * i, 2.5 + 7 * j, 5, 5));
          }
        break;
      case Icon::Join:
        // Two loose pieces, and the one contour they make.
        p.setPen(ink);
        p.drawLine(QPointF(3, 10), QPointF(9, 3));
        p.drawLine(QPointF(11, 3), QPointF(20, 3));
        p.setPen(made);
        p.drawPolyline(QPolygonF({QPointF(3, 21), QPointF(9, 14), QPointF(20, 14), QPointF(20, 21)}));
        break;
      case Icon::Explode:
        // A contour, and its segments drawn apart.
        p.setPen(ink);
        p.drawPolyline(QPolygonF({QPointF(3, 10), QPointF(3, 3), QPointF(12, 3)}));
        p.setPen(made);
        p.drawLine(QPointF(3, 21), QPointF(3, 15));
        p.drawLine(QPointF(7, 13), QPointF(14, 13));
        p.drawLine(QPointF(17, 15), QPointF(21, 21));
        break;
      case Icon::Break:
        // A line with its middle gone.
        p.setPen(ink);
        p.drawLine(QPointF(3, 8), QPointF(21, 8));
        p.setPen(made);
        p.drawLine(QPointF(3, 17), QPointF(9, 17));
        p.drawLine(QPointF(15, 17), QPointF(21, 17));
        break;
      case Icon::Lengthen:
        // A line, and the same line gone on at its end.
        p.setPen(ink);
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        p.setPen(made);
        p.drawLine(QPointF(3, 17), QPointF(21, 17));
        arrowHead(QPointF(21, 12), 0);
        p.drawLine(QPointF(14, 12), QPointF(21, 12));
        break;
      case Icon::Trim:
        // A cutting edge across two lines; what lies beyond it goes.
        p.setPen(QPen(Qt::black, 1.2, Qt::DashLine));
        p.drawLine(QPointF(14, 2), QPointF(14, 22));
        p.setPen(ink);
        p.drawLine(QPointF(3, 7), QPointF(14, 7));
        p.drawLine(QPointF(3, 17), QPointF(14, 17));
        p.setPen(QPen(QColor(200, 20, 20), 1.4, Qt::DotLine));
        p.drawLine(QPointF(14, 7), QPointF(21, 7));
        p.drawLine(QPointF(14, 17), QPointF(21, 17));
        break;
      case Icon::Extend:
        // Two lines carried on to a boundary.
        p.setPen(QPen(Qt::black, 1.2, Qt::DashLine));
        p.drawLine(QPointF(20, 2), QPointF(20, 22));
        p.setPen(ink);
        p.drawLine(QPointF(3, 7), QPointF(11, 7));
        p.drawLine(QPointF(3, 17), QPointF(11, 17));
        p.setPen(made);
        p.drawLine(QPointF(11, 7), QPointF(20, 7));
        p.drawLine(QPointF(11, 17), QPointF(20, 17));
        break;
      case Icon::Offset:
        // A contour, and its parallel round it.
        p.setPen(ink);
        p.drawPolyline(QPolygonF({QPointF(7, 21), QPointF(7, 11), QPointF(21, 11)}));
        p.setPen(made);
        p.drawPolyline(QPolygonF({QPointF(3, 21), QPointF(3, 7), QPointF(21, 7)}));
        break;
      case Icon::Fillet:
        // A corner, and the arc that rounds it.
        p.setPen(ink);
        p.drawPolyline(QPolygonF({QPointF(3, 3), QPointF(3, 12)}));
        p.drawPolyline(QPolygonF({QPointF(12, 21), QPointF(21, 21)}));
        p.setPen(made);
        p.drawArc(QRectF(3, 3, 18, 18), 180 * 16, 90 * 16);
        break;
      case Icon::Chamfer:
        // A corner, and the line that bevels it.
        p.setPen(ink);
        p.drawPolyline(QPolygonF({QPointF(3, 3), QPointF(3, 12)}));
        p.drawPolyline(QPolygonF({QPointF(12, 21), QPointF(21, 21)}));
        p.setPen(made);
        p.drawLine(QPointF(3, 12), QPointF(12, 21));
        break;
      default: break;
    }
  }));
}

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
    case Icon::Redo: return Standard(QStyle::SP_ArrowForward);
    case Icon::ZoomAll: return ZoomAll();
    case Icon::ZoomIn: return ZoomIn();
    case Icon::ZoomOut: return ZoomOut();
    case Icon::Zoom: return Zoom();
    case Icon::Hand: return Hand();
    case Icon::ZoomWindow: return ZoomWindow();
    case Icon::ZoomPrevious: return ZoomPrevious();
    case Icon::Preview: return Preview();
    case Icon::Layers: return Layers();
    case Icon::Line:
    case Icon::PolyLine:
    case Icon::Polygon:
    case Icon::Rectangle:
    case Icon::Arc:
    case Icon::Circle:
    case Icon::Spline:
    case Icon::Ellipse:
    case Icon::Text:
    case Icon::Dimension:
    case Icon::Point:
    case Icon::Solid:
    case Icon::Arrow:
    case Icon::Pen: return Tool(icon);
    case Icon::Delete:
    case Icon::Copy:
    case Icon::Move:
    case Icon::Rotate:
    case Icon::Mirror:
    case Icon::Scale:
    case Icon::Array:
    case Icon::Join:
    case Icon::Explode:
    case Icon::Trim:
    case Icon::Extend:
    case Icon::Offset:
    case Icon::Fillet:
    case Icon::Chamfer:
    case Icon::Break:
    case Icon::Lengthen: return EditTool(icon);
    case Icon::SnapEndpoint:
    case Icon::SnapMidpoint:
    case Icon::SnapCentre:
    case Icon::SnapQuadrant:
    case Icon::SnapIntersection:
    case Icon::SnapPerpendicular:
    case Icon::SnapTangent:
    case Icon::SnapNearest:
    case Icon::SnapBase:
      return Snap(static_cast<SnapKind>(static_cast<int>(icon) - static_cast<int>(Icon::SnapEndpoint)));
  }
  return {};
}

QCursor Magnifier() {
  return QCursor(Draw(24, [](QPainter& p) { Glass(p, ' '); }), 9, 9);
}

}  // namespace vestrel::icons
