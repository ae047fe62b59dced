// The edits on a large drawing: moving one selected object and moving all
// of them, each the splice of its lines and the parse of the whole drawing
// that follows; a quarter turn of all; the parse alone, for comparison;
// the ghost of a whole selection that one mouse move draws; and the join
// of every line of the drawing into polylines. Then in the window (offscreen,
// its drawing area 1600 x 1000), each as its menu item runs it and with what
// the window shows after it (the property boxes, the status bar, the
// picture): "Alles Auswählen", a quarter turn of everything, its undo and
// its redo; the counter "paint" is the part of each spent painting.
//
//   bench_transforms [benchmark options] FILE.dxf
//
// Make FILE.dxf with bench/gen_big.py (scale 1). Every edit is
// undone between the iterations, outside the timing.
#include "bench_editor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iostream>
#include <memory>

#include "app/MainUnit.h"
#include "app/paintbox.h"

#include "editing/reshape.h"
#include "editing/transforms.h"
#include "editing/undo.h"
#include "platform/nullplatform.h"
#include "tools/editor.h"

namespace {

using namespace vestrel;

NullPlatform gPlatform({1600, 1000});
Editor* gEditor = nullptr;
TMainForm* gForm = nullptr;
// The time spent painting since the last look, on the clock and of the
// processor.
std::chrono::steady_clock::duration gPainting{};
double gPaintingCpu = 0;

double ProcessorSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Selects the middle object of the drawing, or all of them.
void Select(Editor& e, bool all) {
  for (tpoly& p : e.drawing.polys) p.selected = all;
  if (!all) e.drawing.polys[e.drawing.polys.size() / 2].selected = true;
}

template <class Edit>
void Edited(benchmark::State& state, bool all, Edit edit) {
  Editor& e = *gEditor;
  for (auto _ : state) {
    state.PauseTiming();
    Select(e, all);
    state.ResumeTiming();
    benchmark::DoNotOptimize(edit(e.doc));
    state.PauseTiming();
    UndoLastOperation(e.doc);
    state.ResumeTiming();
  }
  state.counters["objects"] = static_cast<double>(all ? e.drawing.polys.size() : 1);
}

void BM_MoveOne(benchmark::State& state) {
  Edited(state, false, [](DocumentContext& c) { return MoveObjects(c, 12.5, -7.25); });
}

void BM_MoveAll(benchmark::State& state) {
  Edited(state, true, [](DocumentContext& c) { return MoveObjects(c, 12.5, -7.25); });
}

void BM_RotateAll(benchmark::State& state) {
  Edited(state, true, [](DocumentContext& c) { return RotateObjects(c, 0, 0, 0, 1, kRotate); });
}

void BM_ParseOnly(benchmark::State& state) {
  for (auto _ : state) processdxf(gEditor->drawing);
}

// One mouse move of the move tool with everything selected: the ghost of
// every object erased and drawn again.
void BM_GhostOfAll(benchmark::State& state) {
  Editor& e = *gEditor;
  Select(e, true);
  e.MoveBtnClick();
  e.PaintBox1MouseDown(MouseButton::Left, {true, true}, 800, 500);
  int x = 0;
  for (auto _ : state) e.PaintBox1MouseMove({false, true}, 700 + (++x % 200), 450);
  state.counters["segments"] = e.tool.anzrem;
  e.SetAlltoFalse();
  e.tool = {};
}

// "Verbinden" with every line of the drawing selected (the lines of
// gen_big.py lie loose, so most stay as they are): the chaining, the
// splice of each chain and the parse.
void BM_JoinAllLines(benchmark::State& state) {
  Editor& e = *gEditor;
  std::size_t lines = 0;
  int made = 0;
  for (auto _ : state) {
    state.PauseTiming();
    lines = 0;
    for (tpoly& p : e.drawing.polys) lines += (p.selected = p.kind == Kind::LINE && p.block < 0);
    state.ResumeTiming();
    made = JoinObjects(e.doc, 1e-6).made;
    state.PauseTiming();
    if (made > 0) UndoLastOperation(e.doc);
    state.ResumeTiming();
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["polylines"] = made;
}

// The window's menu item `name` clicked.
void Click(const char* name) {
  QAction* a = gForm->findChild<QAction*>(name);
  if (!a) {
    std::cerr << "no menu item " << name << '\n';
    std::exit(1);
  }
  a->trigger();
}

// Times `timed` in the window; `untimed` brings the drawing back before the
// next round. The counters "paint" and "paint cpu" hold the milliseconds of
// one round spent painting, on the clock and of the processor; "selected"
// how many objects were selected after it.
template <class Timed, class Untimed>
void InWindow(benchmark::State& state, Timed timed, Untimed untimed) {
  std::chrono::steady_clock::duration painting{};
  double paintingCpu = 0;
  std::size_t selected = 0;
  for (auto _ : state) {
    gPainting = {};
    gPaintingCpu = 0;
    timed();
    painting += gPainting;
    paintingCpu += gPaintingCpu;
    state.PauseTiming();
    selected = gForm->editor().SelectedCount();
    untimed();
    state.ResumeTiming();
  }
  const auto rounds = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["paint"] = std::chrono::duration<double, std::milli>(painting).count() / rounds;
  state.counters["paint cpu"] = paintingCpu * 1e3 / rounds;
  state.counters["selected"] = static_cast<double>(selected);
}

void BM_WindowSelectAll(benchmark::State& state) {
  InWindow(state, [] { Click("AllesAuswhlen1"); }, [] { Click("Nichtsauswhlen1"); });
}

// A quarter turn of everything about the middle of the view, as the
// rotation tool makes it.
void QuarterTurn() {
  Editor& e = gForm->editor();
  const Point2 c = Bildschirm2DXF(e.views, 800, 500);
  e.Report(RotateObjects(e.doc, c.x, c.y, c.x, c.y + 1, kRotate));
  e.Repaint();
}

void BM_WindowRotateAll(benchmark::State& state) {
  Click("AllesAuswhlen1");
  InWindow(state, QuarterTurn, [] { Click("Rckgngig1"), Click("AllesAuswhlen1"); });
}

void BM_WindowUndoRotateAll(benchmark::State& state) {
  Click("AllesAuswhlen1");
  QuarterTurn();
  InWindow(state, [] { Click("Rckgngig1"); }, [] { Click("Wiederherstellen1"); });
  Click("Rckgngig1");
}

void BM_WindowRedoRotateAll(benchmark::State& state) {
  Click("AllesAuswhlen1");
  QuarterTurn();
  Click("Rckgngig1");
  InWindow(state, [] { Click("Wiederherstellen1"); }, [] { Click("Rckgngig1"); });
}

BENCHMARK(BM_MoveOne)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MoveAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RotateAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GhostOfAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_JoinAllLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowSelectAll)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_WindowRotateAll)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_WindowUndoRotateAll)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_WindowRedoRotateAll)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Editor e(gPlatform);
  if (!bench::OpenDrawing(e, argc, argv, "bench_transforms")) return 2;
  gEditor = &e;
  // The window keeps its settings and its record of the changes in a
  // folder of its own.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const QTemporaryDir home(QDir::tempPath() + "/vestrel-bench-XXXXXX");
  setenv("XDG_CONFIG_HOME", qPrintable(home.path()), 1);
  setenv("XDG_DATA_HOME", qPrintable(home.path()), 1);
  QApplication app(argc, argv);
  TMainForm form;
  form.show();
  QApplication::processEvents();
  form.resize(form.size() + QSize(1600, 1000) - form.PaintBox1->size());
  QApplication::processEvents();
  form.FormShow({argv[1]});
  gForm = &form;
  // The window builds the spatial index once it shows the drawing.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!form.editor().spatialindex.current(form.editor().drawing) && std::chrono::steady_clock::now() < until)
    QApplication::processEvents();
  const std::function<void(QImage&)> paint = form.PaintBox1->onPaint;
  form.PaintBox1->onPaint = [&paint](QImage& canvas) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ProcessorSeconds();
    paint(canvas);
    gPainting += std::chrono::steady_clock::now() - start;
    gPaintingCpu += ProcessorSeconds() - cpu;
  };
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
