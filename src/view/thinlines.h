// Thin antialiased polylines set straight into the pixels of an RGB32
// picture, pixel for pixel as the raster paint engine draws them with a
// pen it strokes cosmetically (a solid colour at most a pixel wide, a
// thinner one lighter; square and round ends reach half a pixel past an
// open polyline's ends) when the painter has no clip, opacity or
// composition of its own. The engine sets up its stroker for each
// polyline and hands every pixel on as a span of its own; most of a paint
// of many short outlines went there.
//
// The first use proves it: polylines on a picture of random colours, with
// pens of several widths and colours and ends, must come out as QPainter
// draws them. Where the proof fails, QPainter draws them all.
#pragma once

#include <QPainter>
#include <QPen>
#include <QPointF>
#include <cstdint>
#include <optional>

namespace vestrel {

class ThinLines {
 public:
  // The lines `g` would draw with `pen`; nothing where they cannot be set
  // into the pixels so (another picture, pen or painter set-up, or no proof).
  static std::optional<ThinLines> For(QPainter& g, const QPen& pen);

  // As g.drawPolyline(points, count) with the pen.
  void polyline(const QPointF* points, int count);
  // As g.drawLine(a, b).
  void line(QPointF a, QPointF b);

  // Whether the first use proved them (for the tests).
  static bool proven();

 private:
  ThinLines() = default;
  // For() without the proof.
  static std::optional<ThinLines> Set(QPainter& g, const QPen& pen);
  void segment(double x1, double y1, double x2, double y2, int ends);

  std::uint32_t* pixels_ = nullptr;
  std::int64_t perLine_ = 0;
  int width_ = 0, height_ = 0;
  double dx_ = 0, dy_ = 0;   // the painter's translation
  std::uint32_t color_ = 0;  // premultiplied
  int opacity_ = 256;        // of 256: a pen thinner than a pixel
  bool ends_ = true;         // half a pixel past an open polyline's ends
};

}  // namespace vestrel
