// The edits on a large drawing: moving one selected object and moving all
// of them, each the splice of its lines and the parse of the whole drawing
// that follows; a quarter turn of all; the parse alone, for comparison;
// the ghost of a whole selection that one mouse move draws; and the join
// of every line of the drawing into polylines.
//
//   bench_transforms [benchmark options] FILE.dxf
//
// Make FILE.dxf with bench/gen_big.py (scale 1). Every edit is
// undone between the iterations, outside the timing.
#include "bench_editor.h"

#include <iostream>

#include "editing/reshape.h"
#include "editing/transforms.h"
#include "editing/undo.h"
#include "platform/nullplatform.h"
#include "tools/editor.h"

namespace {

using namespace vestrel;

NullPlatform gPlatform({1600, 1000});
Editor* gEditor = nullptr;

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

BENCHMARK(BM_MoveOne)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MoveAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RotateAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GhostOfAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_JoinAllLines)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Editor e(gPlatform);
  if (!bench::OpenDrawing(e, argc, argv, "bench_edit")) return 2;
  gEditor = &e;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
