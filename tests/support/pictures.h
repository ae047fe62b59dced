// Pictures of a drawing after zoom to extents, and how two of them differ
// beyond the anti-aliasing of a pixel: what the edits that must not change
// the picture (a join, the cut repair) are held to.
#pragma once

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>

#include "document/drawing.h"
#include "support/fake_platform.h"
#include "view/extents.h"
#include "view/renderer.h"
#include "view/transform.h"

namespace vestrel::test {

inline QImage Picture(Drawing& d) {
  test::FakePlatform platform;
  platform.paintBox = {800, 600};
  ViewState view;
  PrintSetup print;
  ViewContext s{d, view, print, platform};
  ZoomFullIn(s);
  QImage image(800, 600, QImage::Format_RGB32);
  PaintBox1Paint(image, d, view, print, platform.page, 96);
  return image;
}

// The pixels inked firmly in `a` with no pixel inked in about the same
// colour among the 3 x 3 pixels around them in `b`. A line drawn as part
// of a polyline rather than on its own may be shaded differently by the
// anti-aliasing, half a pixel aside, but keeps its colour: seen from the
// background, a pixel's colour keeps its direction however faint it is.
inline int Unmatched(const QImage& a, const QImage& b, QRgb background) {
  auto ink = [background](QRgb p) {
    return std::array<double, 3>{double(qRed(p)) - qRed(background), double(qGreen(p)) - qGreen(background),
                                 double(qBlue(p)) - qBlue(background)};
  };
  auto strength = [](const std::array<double, 3>& v) { return std::max({std::abs(v[0]), std::abs(v[1]), std::abs(v[2])}); };
  auto alike = [](const std::array<double, 3>& u, const std::array<double, 3>& v) {
    const double dot = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    return dot > 0.95 * std::hypot(u[0], u[1], u[2]) * std::hypot(v[0], v[1], v[2]);
  };
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const auto c = ink(a.pixel(x, y));
      if (strength(c) <= 128) continue;
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; ++dy)
        for (int dx = -1; dx <= 1 && !found; ++dx) {
          if (!b.valid(x + dx, y + dy)) continue;
          const auto o = ink(b.pixel(x + dx, y + dy));
          found = strength(o) > 32 && alike(c, o);
        }
      n += !found;
    }
  return n;
}

}  // namespace vestrel::test
