#include "view/hatchpaint.h"

#include <QPainterPath>
#include <QPen>
#include <cmath>
#include <cstdint>

#include "view/colors.h"

namespace vestrel {

namespace {

QColor GradientColor(const HatchData& h, QColor color, bool showmodel) {
  if (h.gradientRgb >= 0) return QColor::fromRgb(0xFF000000u | static_cast<std::uint32_t>(h.gradientRgb));
  if (h.gradientAci >= 0) return QColor::fromRgba(getcolornr(h.gradientAci, showmodel));
  return color;
}

}  // namespace

void HatchPainter::draw(QPainter& g, const Drawing& d, const tpoly& p, const ScreenTransform& t, const QRectF& clip,
                        QColor color, double width, bool showmodel) {
  const HatchData& h = d.hatch(p);
  if (p.anzp < 3) return;
  if (h.gradient) {
    fill(g, d, p, t, GradientColor(h, color, showmodel));  // its first colour
  } else if (h.solid) {
    fill(g, d, p, t, color);
  } else if (!d.lines(h).empty() && !pattern(g, d, p, t, clip, color, width)) {
    fill(g, d, p, t, color);
  }
}

void HatchPainter::fill(QPainter& g, const Drawing& d, const tpoly& p, const ScreenTransform& t, QColor color) {
  // Vertices closer than this to the last one taken add nothing visible.
  constexpr double kSubPixel = 0.3;
  QPainterPath path;  // even-odd: loops inside loops are holes
  double cx = 0, cy = 0;
  bool started = false;
  for (const Tmypoi& q : d.ps(p)) {
    const auto [x, y] = t.toPaint(q.x, q.y, q.z);
    if (!started || q.moveonly) {
      if (started) path.closeSubpath();
      path.moveTo(x, y);
    } else if (std::abs(x - cx) < kSubPixel && std::abs(y - cy) < kSubPixel) {
      continue;
    } else {
      path.lineTo(x, y);
    }
    started = true;
    cx = x, cy = y;
  }
  path.closeSubpath();
  g.fillPath(path, color);
}

bool HatchPainter::pattern(QPainter& g, const Drawing& d, const tpoly& p, const ScreenTransform& t, const QRectF& clip,
                           QColor color, double width) {
  const QPen saved = g.pen();
  g.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const PaintRect shown{clip.left(), clip.top(), clip.right(), clip.bottom()};
  const bool done = pattern_.lines(d, p, t, shown, width, [&](std::span<const PaintSegment> pieces, std::span<const Point2> dots) {
    lines_.clear();
    for (const PaintSegment& s : pieces) lines_.emplace_back(s.a.x, s.a.y, s.b.x, s.b.y);
    dots_.clear();
    for (const Point2& q : dots) dots_.emplace_back(q.x, q.y);
    if (!lines_.empty()) g.drawLines(lines_.data(), static_cast<int>(lines_.size()));
    if (!dots_.empty()) g.drawPoints(dots_.data(), static_cast<int>(dots_.size()));
  });
  g.setPen(saved);
  return done;
}

}  // namespace vestrel
