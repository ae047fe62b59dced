// Picking, snapping and drawing on a large drawing shown whole in a
// 1600 x 1000 drawing area: a selection click, a window round everything,
// the snap of one mouse move, with every object snap on at the extents and
// zoomed in over the densest part of the drawing, a whole mouse move of
// the polyline tool,
// building the spatial index they search, and bringing it up to date after
// one object was moved; one click of the trim tool with every object an
// edge, at the middle of a line (the click found, its edges gathered, the
// cut made and the drawing parsed again; undone, untimed, after).
//
//   bench_select [benchmark options] FILE.dxf
//
// Make FILE.dxf with bench/gen_big.py (scale 1).
#include <algorithm>
#include <cmath>
#include <iostream>
#include <optional>
#include <random>
#include <vector>

#include "bench_editor.h"
#include "document/journal.h"
#include "editing/undo.h"
#include "platform/nullplatform.h"
#include "tools/editor.h"
#include "tools/select.h"
#include "tools/snap.h"
#include "tools/steps.h"
#include "view/transform.h"

namespace {

using namespace vestrel;

NullPlatform gPlatform({1600, 1000});
Editor* gEditor = nullptr;
// Pixels near vertices of the drawing, and anywhere, in a fixed order.
std::vector<Point2> gProbes;
// The middle of the square of a hundredth of the drawing's width that
// holds the most points.
Point2 gDensest;

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

// The snap of one mouse move with every object snap on, the previous
// point 100 pixels away: over the densest part of the drawing shown whole
// (0) and zoomed in 64 times there (1). Counts how many moves caught a
// point.
void BM_ObjectSnapOneMove(benchmark::State& state) {
  Editor& e = *gEditor;
  ZoomFullIn(e.views);
  if (state.range(0) == 1) {
    const Point2 at = DXF2Bildschirm(e.views, gDensest.x, gDensest.y);
    ZoomAbout(e.views, at.x, at.y, 64);
  }
  const ScreenTransform t = WindowTransform(e.views);
  const Point2 centre = t.toScreen(gDensest.x, gDensest.y);
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> jitter(-20, 20);
  std::vector<Point2> probes;
  for (int k = 0; k < 1000; ++k) probes.push_back({std::nearbyint(centre.x + jitter(rng)), std::nearbyint(centre.y + jitter(rng))});
  e.tool.snaps = kAllSnaps;
  std::size_t i = 0, caught = 0;
  for (auto _ : state) {
    const Point2 at = probes[i++ % probes.size()];
    double x = at.x, y = at.y, ex = 0, ey = 0;
    caught += SnapPoints(e, t, at.x + 100, at.y, x, y, ex, ey, {}) ? 1 : 0;
    e.tool.anzrem = 0;
  }
  state.counters["caught"] = static_cast<double>(caught) / static_cast<double>(std::max<std::size_t>(i, 1));
  e.tool.snaps = 0;
  ZoomFullIn(e.views);
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
    std::optional<Tmypoi> q;
    while (!q) {
      const tpoly& p = d.polys[(next += 7919) % d.polys.size()];
      if (p.anzp > 0 && d.ps(p)[0].linex > 0) q = d.ps(p)[0];
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

void BM_TrimClick(benchmark::State& state) {
  Editor& e = *gEditor;
  Drawing& d = e.drawing;
  // The middles of lines, as pixels of the drawing area.
  const ScreenTransform t = WindowTransform(e.views);
  std::vector<Point2> middles;
  for (const tpoly& p : d.polys)
    if (p.kind == Kind::LINE && !p.isblock && p.anzp == 2 && middles.size() < 1000) {
      const auto q = d.ps(p);
      middles.push_back(t.toPixel((q[0].x + q[1].x) / 2, (q[0].y + q[1].y) / 2));
    }
  e.tool = {};
  e.tool.intrimselect = true;
  EdgesPicked(e);
  std::size_t i = 0, cuts = 0;
  for (auto _ : state) {
    const Point2 at = middles[i++ % middles.size()];
    const std::size_t before = e.undos.undos.size();
    e.PaintBox1MouseDown(MouseButton::Left, {false, true}, static_cast<int>(at.x), static_cast<int>(at.y));
    state.PauseTiming();
    if (e.undos.undos.size() > before) {
      ++cuts;
      UndoLastOperation(e.doc);
      e.spatialindex.Refresh(d);
    }
    state.ResumeTiming();
  }
  CutEnd(e);
  state.counters["cut"] = static_cast<double>(cuts) / static_cast<double>(std::max<std::size_t>(i, 1));
}

BENCHMARK(BM_SelectClick)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WindowAroundEverything)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SnapOneMove)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ObjectSnapOneMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PolylineToolMove)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IndexAfterAMove)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TrimClick)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

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
  // The densest square, counted over the entries outside blocks.
  constexpr int kGrid = 100;
  double minx = 1e300, miny = 1e300, maxx = -1e300, maxy = -1e300;
  for (const tpoly& p : e.drawing.polys)
    if (!p.isblock && p.anzp > 0)
      minx = std::min<double>(minx, p.boxminx), miny = std::min<double>(miny, p.boxminy),
      maxx = std::max<double>(maxx, p.boxmaxx), maxy = std::max<double>(maxy, p.boxmaxy);
  const double cell = std::max(maxx - minx, maxy - miny) / kGrid;
  std::vector<int> counts(kGrid * kGrid);
  for (const tpoly& p : e.drawing.polys) {
    if (p.isblock) continue;
    for (const Tmypoi& q : e.drawing.ps(p)) {
      const int cx = std::clamp(static_cast<int>((q.x - minx) / cell), 0, kGrid - 1);
      const int cy = std::clamp(static_cast<int>((q.y - miny) / cell), 0, kGrid - 1);
      ++counts[static_cast<std::size_t>(cy * kGrid + cx)];
    }
  }
  const auto most = static_cast<int>(std::max_element(counts.begin(), counts.end()) - counts.begin());
  gDensest = {minx + (most % kGrid + 0.5) * cell, miny + (most / kGrid + 0.5) * cell};
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
