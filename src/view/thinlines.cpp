#include "view/thinlines.h"

#include <QColor>
#include <QImage>
#include <QRgba64>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace vestrel {

namespace {

enum Ends { kBegin = 1, kEnd = 2 };

// Each channel of `x` times a / 255, rounded as the engine rounds.
std::uint32_t ChannelsTimes(std::uint32_t x, std::uint32_t a) {
  std::uint64_t t = ((std::uint64_t{x} | (std::uint64_t{x} << 24)) & 0x00ff00ff00ff00ffULL) * a;
  t = (t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
  t &= 0x00ff00ff00ff00ffULL;
  return static_cast<std::uint32_t>(t) | static_cast<std::uint32_t>(t >> 24);
}

// A pixel `coverage` (of 255) covered by a pen of `color` and `opacity`
// (of 256).
inline void Blend(std::uint32_t& pixel, std::uint32_t color, int coverage, int opacity) {
  const auto c = ChannelsTimes(color, static_cast<std::uint32_t>(coverage * opacity >> 8));
  if (c != 0) pixel = c + ChannelsTimes(pixel, (~c) >> 24);
}

}  // namespace

std::optional<ThinLines> ThinLines::For(QPainter& g, const QPen& pen) {
  if (!proven()) return std::nullopt;
  return Set(g, pen);
}

std::optional<ThinLines> ThinLines::Set(QPainter& g, const QPen& pen) {
  auto* picture = dynamic_cast<QImage*>(g.device());
  if (!picture || picture->format() != QImage::Format_RGB32 || g.hasClipping() || g.opacity() != 1 ||
      g.compositionMode() != QPainter::CompositionMode_SourceOver || !g.testRenderHint(QPainter::Antialiasing) ||
      g.transform().type() > QTransform::TxTranslate || pen.style() != Qt::SolidLine || !pen.isSolid() ||
      !(pen.widthF() <= 1) || pen.color().spec() == QColor::ExtendedRgb)
    return std::nullopt;
  const QColor solid = QColor::fromRgba64(pen.color().rgba64().premultiplied());
  if (solid.rgba64().alpha() == 0) return std::nullopt;  // draws nothing
  ThinLines t;
  // The pixels the engine draws into (constBits: a copy of the picture
  // made while painting shares them, as the engine does).
  t.pixels_ = reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(picture->constBits()));
  t.perLine_ = picture->bytesPerLine() / 4;
  t.width_ = picture->width(), t.height_ = picture->height();
  t.dx_ = g.transform().dx(), t.dy_ = g.transform().dy();
  t.color_ = solid.rgba();
  t.opacity_ = pen.widthF() == 0 ? 256 : std::clamp(static_cast<int>(256 * pen.widthF()), 0, 256);
  t.ends_ = pen.capStyle() != Qt::FlatCap;
  return t;
}

void ThinLines::polyline(const QPointF* points, int count) {
  if (count < 2) return;
  const QPointF first = points[0], last = points[count - 1];
  const bool open = !(first.x() == last.x() && first.y() == last.y());
  int ends = open && ends_ ? kBegin : 0;
  double x = first.x() + dx_, y = first.y() + dy_;
  for (int i = 1; i < count; ++i) {
    if (open && ends_ && i == count - 1) ends |= kEnd;
    const double x2 = points[i].x() + dx_, y2 = points[i].y() + dy_;
    segment(x, y, x2, y2, ends);
    x = x2, y = y2, ends = 0;
  }
}

// One segment in 26.6 fixed point, stepped along its longer axis a pixel
// at a time, each step shading the two pixels across it that the line
// passes between.
void ThinLines::line(QPointF a, QPointF b) {
  const QPointF from(a.x() + dx_, a.y() + dy_), to(b.x() + dx_, b.y() + dy_);
  if (from != to) return segment(from.x(), from.y(), to.x(), to.y(), ends_ ? kBegin | kEnd : 0);
  // Ends that all but meet (as QPointF compares them): one pixel, the
  // nearest to where it starts.
  constexpr double kFar = 1 << 30;
  if (!(std::abs(from.x()) < kFar && std::abs(from.y()) < kFar)) return;
  const int x = qRound(from.x()), y = qRound(from.y());
  if (x >= 0 && x < width_ && y >= 0 && y < height_) Blend(pixels_[x + perLine_ * y], color_, 255, opacity_);
}

void ThinLines::segment(double x1, double y1, double x2, double y2, int ends) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  // Cut to the picture and a pixel around, across x and then across y.
  auto cut = [](double& u1, double& v1, double& u2, double& v2, double low, double high) {
    if (u1 < low) {
      if (u2 <= low) return false;
      v1 += (v2 - v1) / (u2 - u1) * (low - u1), u1 = low;
    } else if (u1 > high) {
      if (u2 >= high) return false;
      v1 += (v2 - v1) / (u2 - u1) * (high - u1), u1 = high;
    }
    if (u2 < low)
      v2 += (v2 - v1) / (u2 - u1) * (low - u2), u2 = low;
    else if (u2 > high)
      v2 += (v2 - v1) / (u2 - u1) * (high - u2), u2 = high;
    return true;
  };
  if (!cut(x1, y1, x2, y2, -1, width_ + 1) || !cut(y1, x1, y2, x2, -1, height_ + 1)) return;
  // Ends so far apart that cutting them overflowed draw nothing.
  constexpr double kFar = 1 << 24;
  if (!(std::abs(x1) < kFar && std::abs(x2) < kFar && std::abs(y1) < kFar && std::abs(y2) < kFar)) return;

  const int fx1 = static_cast<int>(x1 * 64.), fy1 = static_cast<int>(y1 * 64.);
  const int fx2 = static_cast<int>(x2 * 64.), fy2 = static_cast<int>(y2 * 64.);
  const bool steep = std::abs(fx2 - fx1) < std::abs(fy2 - fy1);
  // Along the longer axis (a) and across it (b).
  int a1 = steep ? fy1 : fx1, a2 = steep ? fy2 : fx2;
  const int b1 = steep ? fx1 : fy1, b2 = steep ? fx2 : fy2;
  if (a1 == a2) return;
  const std::int64_t step = std::int64_t{b2 - b1} * (1 << 16) / (a2 - a1);
  int from = b1;
  if (a1 > a2) {
    std::swap(a1, a2), from = b2;
    ends = ((ends & kBegin) << 1) | ((ends & kEnd) >> 1);
  }
  std::int64_t b = std::int64_t{from - 32} * (1 << 10);
  b -= (((a1 & 63) - 32) * step) >> 6;
  if (ends & kBegin) a1 -= 32, b -= step >> 1;
  if (ends & kEnd) a2 += 32;
  int a = a1 >> 6;
  const int last = a2 >> 6;
  const int startShare = a == last ? a2 - a1 : 64 - (a1 & 63), endShare = a == last ? 0 : a2 & 63;
  auto pixel = [this](int x, int y, int coverage) {
    if (x >= 0 && x < width_ && y >= 0 && y < height_) Blend(pixels_[x + perLine_ * y], color_, coverage, opacity_);
  };
  // The two pixels of step `a`, of `share` 64ths of it (64: whole).
  auto shade = [&](int share) {
    const unsigned alpha = static_cast<std::uint8_t>(b >> 8);
    const int across = static_cast<int>(b >> 16);
    const int near = share == 64 ? static_cast<int>(255 - alpha) : static_cast<int>((255 - alpha) * share >> 6);
    const int far = share == 64 ? static_cast<int>(alpha) : static_cast<int>(alpha * share >> 6);
    if (steep)
      pixel(across, a, near), pixel(across + 1, a, far);
    else
      pixel(a, across, near), pixel(a, across + 1, far);
  };
  shade(startShare);
  for (b += step, ++a; a < last; b += step, ++a) shade(64);
  if (endShare) shade(endShare);
}

bool ThinLines::proven() {
  static const bool proven = [] {
    QImage drawn(96, 64, QImage::Format_RGB32);
    std::uint32_t seed = 4711;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x) drawn.setPixel(x, y, 0xFF000000u | (next() >> 8));
    QImage set = drawn.copy();
    std::vector<QPen> pens;
    for (const double width : {1.0, 0.0, 0.4})
      for (const Qt::PenCapStyle cap : {Qt::SquareCap, Qt::FlatCap})
        for (const int alpha : {255, 140}) pens.emplace_back(QColor(200, 90, 30, alpha), width, Qt::SolidLine, cap);
    QPainter g(&drawn), s(&set);
    for (QPainter* p : {&g, &s}) p->setRenderHint(QPainter::Antialiasing), p->translate(0.5, 0.5);
    for (std::size_t k = 0; k < pens.size(); ++k) {
      g.setPen(pens[k]);
      std::optional<ThinLines> lines = Set(s, pens[k]);
      if (!lines) return false;
      // Long and short, steep and flat, open and closed, and over the edges.
      std::vector<QPointF> points;
      for (int i = 0; i < 6; ++i)
        points.emplace_back(static_cast<double>(next() % 1100) / 10 - 7, static_cast<double>(next() % 780) / 10 - 7);
      points.emplace_back(points[2].x() + 0.3, points[2].y() - 0.2);
      if (k % 2) points.push_back(points.front());
      g.drawPolyline(points.data(), static_cast<int>(points.size()));
      lines->polyline(points.data(), static_cast<int>(points.size()));
      // Single lines, one of them all but a point.
      for (const auto& [a, b] :
           {std::pair{points[0], points[3]}, std::pair{points[4], points[4] + QPointF(0, 1e-13)}}) {
        g.drawLine(a, b);
        lines->line(a, b);
      }
    }
    g.end(), s.end();
    return drawn == set;
  }();
  return proven;
}

}  // namespace vestrel
