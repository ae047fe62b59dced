// Every corpus drawing renders on every one of its tabs, and what it shows
// is not empty, and the same where QPainter draws every line.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <filesystem>

#include "document/drawing.h"
#include "file/dxffile.h"
#include "support/corpus.h"
#include "support/fake_platform.h"
#include "support/qt_app.h"
#include "view/renderer.h"
#include "view/transform.h"

namespace vestrel {
namespace {

class CorpusRender : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { test::EnsureApp<QGuiApplication>(); }
};

TEST_P(CorpusRender, EveryTabShowsSomething) {
  Drawing d;
  ASSERT_EQ(ReadDxfFile(GetParam(), d.dxf), FileError::None);
  processdxf(d);
  test::FakePlatform platform;
  platform.paintBox = {640, 480};
  ViewState view;
  PrintSetup print;
  ViewContext s{d, view, print, platform};
  const int tabs = std::max<int>(2, static_cast<int>(d.layouts.size()));
  for (int tab = 0; tab < tabs; ++tab) {
    SCOPED_TRACE("tab " + std::to_string(tab));
    view.tab = tab;
    ZoomFullIn(s);
    QImage canvas(640, 480, QImage::Format_RGB32), bare(640, 480, QImage::Format_RGB32);
    PaintBox1Paint(canvas, d, view, print, platform.page, 96);
    // Thin lines are set into the pixels of an RGB32 picture only: on
    // another, QPainter draws them all, to the same pixels.
    QImage drawnByQt(640, 480, QImage::Format_ARGB32_Premultiplied);
    PaintBox1Paint(drawnByQt, d, view, print, platform.page, 96);
    EXPECT_TRUE(canvas.convertToFormat(QImage::Format_ARGB32_Premultiplied) == drawnByQt);
    // The same view without the drawing's entries: sheet and icon only.
    Pool<tpoly> entries;
    entries.swap(d.polys);
    PaintBox1Paint(bare, d, view, print, platform.page, 96);
    entries.swap(d.polys);
    int drawn = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) drawn += canvas.pixel(x, y) != bare.pixel(x, y);
    // The model tab shows what the drawing holds; a layout tab shows at
    // least its sheet.
    const bool drawable = std::any_of(d.polys.begin(), d.polys.end(), [](const tpoly& p) { return p.anzp > 0; });
    if (tab == 0 && drawable) {
      EXPECT_GT(drawn, 0);
    }
    if (tab > 0) {
      int sheet = 0;
      for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) sheet += qGray(bare.pixel(x, y)) == 0;
      EXPECT_GT(sheet, 10000);
    }
  }
}

std::string Name(const ::testing::TestParamInfo<std::string>& info) { return test::CorpusName(info.param, info.index); }

INSTANTIATE_TEST_SUITE_P(Drawings, CorpusRender, ::testing::ValuesIn(test::CorpusFiles()), Name);

}  // namespace
}  // namespace vestrel
