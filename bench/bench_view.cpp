// One step of the view in the real window, its drawing area 1600 x 1000:
// a wheel step, a pan step of the middle button and a step of the
// horizontal scroll bar, each timed from the event to the first frame
// the drawing area shows (the benchmark's time) and to the frame that
// shows the exact picture (the counter exact_ms).
//
//   bench_view [benchmark options] FILE.dxf
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "app/MainUnit.h"
#include "app/paintbox.h"

namespace {

using namespace vestrel;
using Clock = std::chrono::steady_clock;

TMainForm* gForm = nullptr;

// Notes when the drawing area has copied a frame to the screen: the paint
// event is handed on from here, and its end noted.
class FrameWatch : public QObject {
 public:
  int frames = 0;
  std::optional<Clock::time_point> first;  // since it was last reset
  Clock::time_point last;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || inside_) return false;
    inside_ = true;
    QCoreApplication::sendEvent(watched, event);
    inside_ = false;
    ++frames;
    last = Clock::now();
    if (!first) first = last;
    return true;
  }

 private:
  bool inside_ = false;
};

FrameWatch* gWatch = nullptr;

// Lets the window work until it shows nothing more; the time of its last
// frame, if it showed one.
std::optional<Clock::time_point> Drain() {
  std::optional<Clock::time_point> shown;
  for (;;) {
    const int before = gWatch->frames;
    QApplication::processEvents();
    QApplication::processEvents();
    if (gWatch->frames == before) return shown;
    shown = gWatch->last;
  }
}

// Times `act` (one step of the view) to its first frame and its last.
template <class Act>
void Step(benchmark::State& state, Act act) {
  Drain();
  double exact = 0;
  int n = 0;
  for (auto _ : state) {
    gWatch->first.reset();
    const Clock::time_point start = Clock::now();
    act(n++);
    while (!gWatch->first && Clock::now() - start < std::chrono::seconds(60)) QApplication::processEvents();
    if (!gWatch->first) return state.SkipWithError("the step showed no frame");
    const Clock::time_point first = *gWatch->first;
    const Clock::time_point last = Drain().value_or(gWatch->last);
    state.SetIterationTime(std::chrono::duration<double>(first - start).count());
    exact += std::chrono::duration<double, std::milli>(last - start).count();
  }
  state.counters["exact_ms"] = benchmark::Counter(exact / static_cast<double>(n));
}

QPoint Centre() { return {800, 500}; }

// Wheel steps about the middle, in and out in turn.
void BM_WheelStep(benchmark::State& state) {
  Step(state, [](int n) {
    const QPoint at = Centre();
    QWheelEvent e(at, gForm->PaintBox1->mapToGlobal(at), {}, {0, n % 2 ? -120 : 120}, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(gForm->PaintBox1, &e);
  });
}

// The middle button held: 20 pixels to the right and back in turn.
void BM_PanStep(benchmark::State& state) {
  PaintBox* box = gForm->PaintBox1;
  auto mouse = [box](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent e(type, at, box->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::MiddleButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(box, &e);
  };
  mouse(QEvent::MouseButtonPress, Centre(), Qt::MiddleButton);
  mouse(QEvent::MouseMove, Centre() + QPoint(10, 0), Qt::MiddleButton);  // a drag from here on
  Step(state, [&](int n) { mouse(QEvent::MouseMove, Centre() + QPoint(n % 2 ? 10 : 30, 0), Qt::MiddleButton); });
  mouse(QEvent::MouseButtonRelease, Centre() + QPoint(10, 0), Qt::NoButton);
}

// One small step of the horizontal bar, to the right and back in turn.
void BM_ScrollStep(benchmark::State& state) {
  Step(state, [](int n) {
    gForm->HorzScrollbar->triggerAction(n % 2 ? QAbstractSlider::SliderSingleStepSub
                                              : QAbstractSlider::SliderSingleStepAdd);
  });
}

BENCHMARK(BM_WheelStep)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_PanStep)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::cerr << "usage: bench_view [benchmark options] FILE.dxf\n";
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  TMainForm form;
  form.PaintBox1->setFixedSize(1600, 1000);
  form.show();
  QApplication::processEvents();
  FrameWatch watch;
  form.PaintBox1->installEventFilter(&watch);
  gForm = &form;
  gWatch = &watch;
  form.FormShow({argv[1]});
  if (form.editor().file.afilename != argv[1]) {
    std::cerr << "cannot open " << argv[1] << '\n';
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  form.editor().DropRecovery();
  return 0;
}
