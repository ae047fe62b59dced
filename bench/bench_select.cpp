// Picking, snapping and drawing on a large drawing shown whole in a
// 1600 x 1000 drawing area: a selection click, a window round everything,
// the snap of one mouse move, a whole mouse move of the polyline tool,
// building the spatial index they search, and bringing it up to date after
// one object was moved.
//
//   bench_select [benchmark options] FILE.dxf
//
// Make FILE.dxf with bench/gen_big.py (scale 1).
#include "bench_editor.h"

#include <iostream>
#include <random>
#include <vector>

#include "document/journal.h"
#include "platform/nullplatform.h"
#include "tools/editor.h"
#include "tools/select.h"
#include "tools/snap.h"

namespace {

using namespace vestrel;

NullPlatform gPlatform({1600, 1000});
Editor* gEditor = nullptr;
// Pixels near vertices of the drawing, and anywhere, in a fixed order.
std::vector<Point2> gProbes;

void Deselect(Editor& e) {
  for (tpoly& p : e.drawing.polys) p.selected = false;
}

void BM_SelectClick(benchmark::State& state) {
  Editor& e = *gEditor;
  std::size_t i = 0;
  for (auto _ : state) {
    const Point2 at = gProbes[i++ % gProbes.size()];
    e.tool = {};
    SelectAt(e, WindowTransform(e.views), at.x, at.y, false);
    state.PauseTiming();
    Deselect(e);
    state.ResumeTiming();
  }
}

void BM_WindowAroundEverything(benchmark::State& state) {
  Editor& e = *gEditor;
  bool deselect = false;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MassSelect(e, WindowTransform(e.views), 0, 0, 1599, 999, deselect));
    deselect = !deselect;
  }
}

void BM_SnapOneMove(benchmark::State& state) {
  Editor& e = *gEditor;
  std::size_t i = 0;
  for (auto _ : state) {
    const Point2 at = gProbes[i++ % gProbes.size()];
    double x = at.x, y = at.y, ex = 0, ey = 0;
    benchmark::DoNotOptimize(SnapPoints(e, WindowTransform(e.views), x, y, x, y, ex, ey, {}));
    e.tool.anzrem = 0;
  }
}

// A mouse move while a polyline is drawn: the status text, the band
// erased, the pointer snapped, the band drawn again.
void BM_PolylineToolMove(benchmark::State& state) {
  Editor& e = *gEditor;
  e.tool = {};
  e.PolyLineBtnClick();
  e.PaintBox1MouseDown(MouseButton::Left, {}, 800, 500);
  std::size_t i = 0;
  for (auto _ : state) {
    const Point2 at = gProbes[i++ % gProbes.size()];
    e.PaintBox1MouseMove({}, static_cast<int>(at.x), static_cast<int>(at.y));
  }
  state.counters["segments"] = e.tool.anzrem;
  e.SetAlltoFalse();
  e.tool = {};
}

// What the first pick after a parse that read everything adds: the index
// built anew.
void BM_BuildIndex(benchmark::State& state) {
  Drawing& d = gEditor->drawing;
  SpatialIndex index;
  for (auto _ : state) {
    ++d.generation;  // as if parsed again
    index.Refresh(d);
    benchmark::DoNotOptimize(index.size());
  }
  state.counters["runs"] = static_cast<double>(index.size());
}

// What the first pick after one object was moved adds: the index brought
// up to the parse that read the object again (the move and the parse are
// not counted).
void BM_IndexAfterAMove(benchmark::State& state) {
  Editor& e = *gEditor;
  Drawing& d = e.drawing;
  std::size_t next = 0, whole = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const Tmypoi* q = nullptr;
    while (!q) {
      const tpoly& p = d.polys[(next += 7919) % d.polys.size()];
      if (p.anzp > 0 && d.ps(p)[0].linex > 0) q = &d.ps(p)[0];
    }
    ChangeStep(e.undos, d.dxf).overwrite(q->linex, FloatToDxf(q->x + 1));
    processdxf(d);
    whole += d.reparsed.whole;
    state.ResumeTiming();
    e.spatialindex.Refresh(d);
    benchmark::DoNotOptimize(e.spatialindex.size());
  }
  state.counters["read whole"] = static_cast<double>(whole);
}

BENCHMARK(BM_SelectClick)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WindowAroundEverything)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SnapOneMove)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PolylineToolMove)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IndexAfterAMove)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Editor e(gPlatform);
  if (!bench::OpenDrawing(e, argc, argv, "bench_select")) return 2;
  e.spatialindex.Refresh(e.drawing);
  gEditor = &e;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> unit(0, 1);
  const ScreenTransform t = WindowTransform(e.views);
  for (int k = 0; k < 1000; ++k) {
    const Tmypoi& q = e.drawing.points[static_cast<std::size_t>(unit(rng) * e.drawing.points.size())];
    const Point2 s = t.toPixel(q.x, q.y);
    gProbes.push_back(k % 4 == 0 ? Point2{unit(rng) * 1600, unit(rng) * 1000} : Point2{s.x + 2, s.y - 1});
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
