// An outline drawn piece by piece against the same outline as a
// QPainterPath, stroked on a picture: the pixels and the path must agree.
#include "view/outlinepath.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <limits>
#include <vector>

#include "support/qt_app.h"

namespace vestrel {
namespace {

struct Step {
  char what;  // 'M' move, 'L' line, 'C' close
  double x = 0, y = 0;
};

struct Case {
  const char* name;
  std::vector<Step> steps;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const std::vector<Case> kCases = {
    {"pieces that cross", {{'M', 10, 10}, {'L', 90, 60}, {'M', 10, 60}, {'L', 90, 10}, {'L', 95, 50}}},
    {"a line before any move starts at the origin", {{'L', 40, 30}, {'L', 80, 5}}},
    {"moves in a row and lines to where it stands",
     {{'M', 5, 5}, {'M', 20, 20}, {'L', 20, 20}, {'L', 60, 25}, {'L', 60, 25 + 1e-14}, {'L', 70, 70}}},
    {"closed where it began", {{'M', 20, 20}, {'L', 80, 20}, {'L', 50, 70}, {'L', 20, 20}, {'C'}}},
    {"closed all but where it began",
     {{'M', 20, 20}, {'L', 80, 20}, {'L', 50, 70}, {'L', 20 * (1 + 1e-14), 20}, {'C'}}},
    {"closed from apart", {{'M', 20.3, 20.7}, {'L', 80, 20}, {'L', 50, 70.5}, {'C'}}},
    {"closed last piece after an open one",
     {{'M', 1, 1}, {'L', 99, 3}, {'M', 30, 30}, {'L', 60, 30}, {'L', 45, 60}, {'C'}}},
    {"points the path refuses",
     {{'M', kNaN, 5},
      {'M', 10, 10},
      {'L', 1e200, 50},
      {'L', 50, kNaN},
      {'L', 60, 40},
      {'L', -1e130, 0},
      {'L', 90, 80}}},
    {"a move alone", {{'M', 50, 50}, {'C'}}},
    {"short segments under a pixel", {{'M', 30, 30}, {'L', 30.2, 30.1}, {'L', 30.3, 30.5}, {'L', 31, 30.2}, {'C'}}},
};

TEST(OutlinePath, StrokesAndMakesThePathAsQPainterPathDoes) {
  test::EnsureApp<QGuiApplication>();
  QPen dashed(QColor(200, 30, 30), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  dashed.setDashPattern({4, 3});
  dashed.setDashOffset(2);
  const std::vector<QPen> pens = {QPen(QColor(20, 20, 200, 160), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin), dashed,
                                  QPen(QColor(0, 120, 0), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)};
  for (const Case& c : kCases) {
    OutlinePath outline;
    QPainterPath path;
    for (const Step& s : c.steps) {
      if (s.what == 'M') outline.moveTo(s.x, s.y), path.moveTo(s.x, s.y);
      if (s.what == 'L') outline.lineTo(s.x, s.y), path.lineTo(s.x, s.y);
      if (s.what == 'C') outline.close(), path.closeSubpath();
    }
    EXPECT_EQ(outline.empty(), path.isEmpty()) << c.name;
    EXPECT_EQ(outline.current(), path.currentPosition()) << c.name;
    const QPainterPath made = outline.path();
    ASSERT_EQ(made.elementCount(), path.elementCount()) << c.name;
    for (int i = 0; i < path.elementCount(); ++i) {
      EXPECT_EQ(made.elementAt(i).type, path.elementAt(i).type) << c.name << " element " << i;
      EXPECT_EQ(made.elementAt(i).x, path.elementAt(i).x) << c.name << " element " << i;
      EXPECT_EQ(made.elementAt(i).y, path.elementAt(i).y) << c.name << " element " << i;
    }
    for (std::size_t k = 0; k < pens.size(); ++k)
      for (const bool antialiased : {true, false}) {
        QImage expected(100, 80, QImage::Format_RGB32), drawn = expected;
        expected.fill(Qt::white), drawn.fill(Qt::white);
        QPainter e(&expected), g(&drawn);
        e.setRenderHint(QPainter::Antialiasing, antialiased), g.setRenderHint(QPainter::Antialiasing, antialiased);
        e.strokePath(path, pens[k]);
        outline.stroke(g, pens[k]);
        e.end(), g.end();
        EXPECT_TRUE(drawn == expected) << c.name << ", pen " << k << (antialiased ? ", antialiased" : "");
      }
  }
}

}  // namespace
}  // namespace vestrel
