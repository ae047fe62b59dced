// Thin lines set into the pixels against QPainter drawing the same
// polylines and lines: the same pixels for every pen and line, and QPainter
// left to draw where the painter or pen is set up otherwise.
#include "view/thinlines.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "support/qt_app.h"

namespace vestrel {
namespace {

QImage RandomColours(int width, int height, std::uint32_t& seed) {
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.setPixel(x, y, 0xFF000000u | ((seed = seed * 1664525u + 1013904223u) >> 8));
  return picture;
}

TEST(ThinLines, SetThePixelsQPainterDraws) {
  test::EnsureApp<QGuiApplication>();
  ASSERT_TRUE(ThinLines::proven());
  std::uint32_t seed = 99;
  auto next = [&](int n) { return static_cast<int>((seed = seed * 1664525u + 1013904223u) >> 8) % n; };
  // Widths from none (a pixel) to a pixel, colours opaque to all but clear,
  // every end.
  std::vector<QPen> pens;
  for (const double width : {0.0, 0.25, 0.6, 1.0})
    for (const int alpha : {255, 90, 1})
      for (const Qt::PenCapStyle cap : {Qt::SquareCap, Qt::FlatCap, Qt::RoundCap})
        pens.emplace_back(QColor(next(256), next(256), next(256), alpha), width, Qt::SolidLine, cap);
  // Scales of polyline: under a pixel, a few pixels, across and far past the picture.
  for (const double scale : {0.4, 6.0, 150.0, 1e6}) {
    QImage expected = RandomColours(120, 90, seed), drawn = expected;
    QPainter e(&expected), g(&drawn);
    for (QPainter* p : {&e, &g}) p->setRenderHint(QPainter::Antialiasing), p->translate(0.5, 0.5);
    for (int round = 0; round < 40; ++round) {
      for (const QPen& pen : pens) {
        std::vector<QPointF> points{{next(1200) / 10.0, next(900) / 10.0}};
        for (int n = 1 + next(6); n > 0; --n)
          points.emplace_back(points.back().x() + (next(2001) - 1000) / 1000.0 * scale,
                              points.back().y() + (next(2001) - 1000) / 1000.0 * scale);
        if (next(3) == 0) points.push_back(points.front());
        e.setPen(pen);
        e.drawPolyline(points.data(), static_cast<int>(points.size()));
        std::optional<ThinLines> lines = ThinLines::For(g, pen);
        ASSERT_TRUE(lines) << "alpha " << pen.color().alpha() << ", width " << pen.widthF();
        lines->polyline(points.data(), static_cast<int>(points.size()));
        // A line, now and then from a point to itself (a dot).
        const QPointF to = next(4) == 0 ? points.front() : points.back();
        e.drawLine(points.front(), to);
        lines->line(points.front(), to);
      }
    }
    e.end(), g.end();
    EXPECT_TRUE(drawn == expected) << "polylines " << scale << " pixels long";
  }
}

TEST(ThinLines, LeaveToQPainterWhatTheyDoNotDrawAsIt) {
  test::EnsureApp<QGuiApplication>();
  QPen dashed(Qt::red, 1, Qt::DashLine), wide(Qt::red, 1.5), clear(QColor(255, 0, 0, 0), 1), plain(Qt::red, 1);
  struct Case {
    const char* name;
    QImage::Format format;
    std::function<void(QPainter&)> setUp;
    QPen pen;
  };
  const std::vector<Case> cases = {
      {"clipped", QImage::Format_RGB32, [](QPainter& g) { g.setClipRect(QRect(2, 2, 10, 10)); }, plain},
      {"translucent painter", QImage::Format_RGB32, [](QPainter& g) { g.setOpacity(0.5); }, plain},
      {"other composition", QImage::Format_RGB32,
       [](QPainter& g) { g.setCompositionMode(QPainter::CompositionMode_Multiply); }, plain},
      {"not antialiased", QImage::Format_RGB32, [](QPainter& g) { g.setRenderHint(QPainter::Antialiasing, false); },
       plain},
      {"scaled", QImage::Format_RGB32, [](QPainter& g) { g.scale(2, 2); }, plain},
      {"another picture", QImage::Format_ARGB32, [](QPainter&) {}, plain},
      {"dashed", QImage::Format_RGB32, [](QPainter&) {}, dashed},
      {"wider than a pixel", QImage::Format_RGB32, [](QPainter&) {}, wide},
      {"clear", QImage::Format_RGB32, [](QPainter&) {}, clear},
  };
  for (const Case& c : cases) {
    QImage picture(20, 20, c.format);
    QPainter g(&picture);
    g.setRenderHint(QPainter::Antialiasing);
    c.setUp(g);
    EXPECT_FALSE(ThinLines::For(g, c.pen)) << c.name;
  }
  QImage picture(20, 20, QImage::Format_RGB32);
  picture.fill(Qt::white);
  const QImage white = picture.copy();
  QPainter g(&picture);
  g.setRenderHint(QPainter::Antialiasing);
  std::optional<ThinLines> lines = ThinLines::For(g, plain);
  ASSERT_TRUE(lines);
  // Ends so far apart that cutting them to the picture overflows, and
  // ends that are no numbers: nothing drawn, nothing undefined.
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  lines->line({-1e308, -1e308}, {1e308, 1e308});
  lines->line({-1e308, 1e308}, {1e308, -1e308});
  lines->line({nan, 2}, {4, 4});
  lines->line({inf, inf}, {inf, inf});
  lines->line({1e300, 1e300}, {1e300, 1e300});
  g.end();
  EXPECT_TRUE(picture == white);
}

}  // namespace
}  // namespace vestrel
