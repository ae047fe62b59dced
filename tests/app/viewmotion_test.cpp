// Steps of the view in the real window, offscreen: each shows the last
// picture moved at once, and once settled the drawing area holds what a
// whole paint of the new view makes, bit for bit, with the rubber band
// drawn on the moved picture erased without a trace. Every test and
// corpus drawing, on the model and on its first layout tab.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <random>

#include "app/MainUnit.h"
#include "app/paintbox.h"
#include "file/dxffile.h"
#include "support/corpus.h"
#include "support/dialog_driver.h"
#include "view/renderer.h"

namespace vestrel {
namespace {

class ViewMotion : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { test::EnsureWindowApp(); }
};

void Middle(PaintBox* box, QEvent::Type type, QPoint at) {
  QMouseEvent e(type, at, box->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::MiddleButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MiddleButton, Qt::NoModifier);
  QApplication::sendEvent(box, &e);
}

// The steps a user takes, through the window's widgets.
enum class Step { WheelIn, WheelOut, WheelShift, Pan, ScrollRight, ScrollUp, PageLeft, kCount };

// The middle button stays held after a pan, for the pan to go on after
// the exact picture; true then.
bool Take(TMainForm& form, Step step, std::mt19937& random) {
  PaintBox* box = form.PaintBox1;
  std::uniform_int_distribution<int> x(0, box->width() - 1), y(0, box->height() - 1);
  const QPoint at(x(random), y(random));
  auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
    QWheelEvent e(at, box->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &e);
    return false;
  };
  switch (step) {
    case Step::WheelIn: return wheel(120, Qt::NoModifier);
    case Step::WheelOut: return wheel(-120, Qt::NoModifier);
    case Step::WheelShift: return wheel(-120, Qt::ShiftModifier);
    case Step::Pan:
      // A drag of the middle button.
      Middle(box, QEvent::MouseButtonPress, at);
      Middle(box, QEvent::MouseMove, at + QPoint(7, -5));
      Middle(box, QEvent::MouseMove, at + QPoint(x(random) / 3, y(random) / 3));
      return true;
    case Step::ScrollRight: form.HorzScrollbar->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Step::ScrollUp: form.VertScrollbar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Step::PageLeft: form.HorzScrollbar->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case Step::kCount: break;
  }
  return false;
}

TEST_P(ViewMotion, TheSettledPictureIsAWholePaintOfTheView) {
  TMainForm form;
  form.PaintBox1->setFixedSize(240, 180);
  form.show();
  QApplication::processEvents();
  Editor& e = form.editor();
  ASSERT_EQ(ReadDxfFile(GetParam(), e.drawing.dxf), FileError::None);
  processdxf(e.drawing);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(0, 239), y(0, 179), kind(0, static_cast<int>(Step::kCount) - 1);
  auto whole = [&] {
    QImage canvas(240, 180, QImage::Format_RGB32);
    PaintBox1Paint(canvas, e.drawing, e.view, e.print, form.PrinterPageSize(), form.PaintBox1->logicalDpiX());
    return canvas;
  };
  for (const int tab : {0, 1}) {
    SCOPED_TRACE("tab " + std::to_string(tab));
    e.TabControl1Change(tab);  // at its extents
    // A line's first point fixed: its rubber band follows the pointer.
    e.LineBtnClick();
    e.PaintBox1MouseDown(MouseButton::Left, {}, x(random), y(random));
    // Some entries drawn selected, with their grips.
    for (std::size_t i = 0; i < e.drawing.polys.size(); i += 7) e.drawing.polys[i].selected = true;
    e.Repaint();
    for (int round = 0; round < 12; ++round) {
      const auto step = static_cast<Step>(kind(random));
      SCOPED_TRACE("round " + std::to_string(round) + ", step " + std::to_string(static_cast<int>(step)));
      bool held = Take(form, step, random);
      EXPECT_FALSE(form.PaintBox1->settled()) << "the moved picture first";
      e.PaintBox1MouseMove({}, x(random), y(random));
      form.PaintBox1->canvas();  // the band drawn on the moved picture
      // Now and then another step comes before the exact picture.
      if (round % 3 == 2) {
        held = Take(form, static_cast<Step>(kind(random)), random) || held;
        e.PaintBox1MouseMove({}, x(random), y(random));
      }
      form.PaintBox1->settle();
      e.removeall();
      ASSERT_TRUE(form.PaintBox1->canvas() == whole());
      if (held) Middle(form.PaintBox1, QEvent::MouseButtonRelease, {x(random), y(random)});
    }
    e.SetAlltoFalse();
  }
}

// The moved picture: a pan shifts the last picture pixel for pixel, the
// ground where it has none; a wheel step keeps the pixel under the pointer.
TEST(ViewMotionPicture, APanShiftsTheLastPictureAndAWheelStepScalesItAboutThePointer) {
  test::EnsureWindowApp();
  TMainForm form;
  form.PaintBox1->setFixedSize(240, 180);
  form.show();
  form.FormShow({test::OwnDrawing("gear.dxf")});
  const QImage before = form.PaintBox1->canvas().copy();
  const QAction* back = form.findChild<QAction*>("ZoomVorher1");
  ASSERT_FALSE(back->isEnabled());
  Middle(form.PaintBox1, QEvent::MouseButtonPress, {100, 100});
  Middle(form.PaintBox1, QEvent::MouseMove, {113, 94});
  ASSERT_FALSE(form.PaintBox1->settled());
  EXPECT_TRUE(back->isEnabled());  // the view before, to go back to
  const QImage& moved = form.PaintBox1->canvas();
  int ground = 0;
  for (int y = 0; y < 180; ++y)
    for (int x = 0; x < 240; ++x) {
      const QPoint from(x - 13, y + 6);
      if (before.rect().contains(from)) ASSERT_EQ(moved.pixel(x, y), before.pixel(from)) << x << " " << y;
      else ground += moved.pixel(x, y) == qRgb(255, 255, 255);
    }
  EXPECT_EQ(ground, 13 * 180 + 6 * 240 - 13 * 6);
  Middle(form.PaintBox1, QEvent::MouseButtonRelease, {113, 94});
  ASSERT_TRUE(form.PaintBox1->settled());

  const QImage exact = form.PaintBox1->canvas().copy();
  const QPoint at(61, 47);
  QWheelEvent e(at, form.PaintBox1->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form.PaintBox1, &e);
  ASSERT_FALSE(form.PaintBox1->settled());
  EXPECT_EQ(form.PaintBox1->canvas().pixel(at), exact.pixel(at));
  EXPECT_NE(form.PaintBox1->canvas(), exact);
  // The window closes with the exact picture still to come.
}

INSTANTIATE_TEST_SUITE_P(Drawings, ViewMotion, ::testing::ValuesIn(test::CorpusFiles()),
                         [](const auto& info) { return test::CorpusName(info.param, info.index); });

}  // namespace
}  // namespace vestrel
