// What the construction geometry costs on large inputs made here:
//
//   bench_construct [benchmark options]
//
// BM_OffsetPolyline: the parallel, outwards and inwards, of a closed
// polyline of 10,000 vertices on a circle whose segments bulge in or out
// at random (inwards every corner closes into a loop to cut away).
// BM_OffsetTool: the same polyline as an LWPOLYLINE of a drawing, its
// parallel added as the tool adds it (read from the text, offset, written
// in after it and the drawing parsed again), then taken back by undo
// outside the timing.
// BM_JoinLines: 100,000 loose lines, the sides of 1,000 polygons of 100
// sides, shuffled, half of them reversed and every end moved by up to a
// tenth of the tolerance.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "editing/parallel.h"
#include "editing/undo.h"
#include "geometry/join.h"
#include "geometry/offset.h"

namespace {

using namespace vestrel;

Path BulgedPolygon(int n) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> jitter(-0.3, 0.3), bulge(-0.2, 0.2);
  std::vector<PolyVertex> v;
  for (int k = 0; k < n; ++k) {
    const double a = 2 * kPi * (k + jitter(random)) / n;
    v.push_back({1000 * std::cos(a), 1000 * std::sin(a), 0, bulge(random)});
  }
  return PathOf(v, true);
}

void BM_OffsetPolyline(benchmark::State& state) {
  const Path path = BulgedPolygon(10000);
  const double distance = static_cast<double>(state.range(0)) / 10;
  std::size_t pieces = 0;
  for (auto _ : state) {
    const auto r = Offset(path, distance);
    if (!r.ok()) state.SkipWithError("no parallel");
    pieces = r.value.empty() ? 0 : r.value[0].pieces.size();
    benchmark::DoNotOptimize(r);
  }
  state.counters["pieces"] = static_cast<double>(pieces);
}
BENCHMARK(BM_OffsetPolyline)->Arg(-1)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OffsetTool(benchmark::State& state) {
  std::string text = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$HANDSEED\n  5\nFFFF\n  0\nENDSEC\n"
                     "  0\nSECTION\n  2\nENTITIES\n  0\nLWPOLYLINE\n  5\nA\n  8\n0\n 90\n10000\n 70\n1\n";
  for (const Piece& p : BulgedPolygon(10000).pieces)
    text += " 10\n" + std::to_string(p.a.x) + "\n 20\n" + std::to_string(p.a.y) + "\n 42\n" + std::to_string(p.bulge) + "\n";
  text += "  0\nENDSEC\n  0\nEOF\n";
  Drawing d;
  Journal j;
  FileState file;
  int tab = 0;
  DocumentContext c{d, j, file, tab};
  d.dxf.assign(std::move(text));
  processdxf(d);
  // Inside the circle, or beyond it.
  const Point2 side{state.range(0) > 0 ? 0.0 : 2000.0, 0};
  for (auto _ : state) {
    if (AddParallel(c, 0, side, 0.1).status != ParallelResult::Status::Done) state.SkipWithError("no parallel");
    state.PauseTiming();
    UndoLastOperation(c);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OffsetTool)->Arg(-1)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_JoinLines(benchmark::State& state) {
  constexpr double kTolerance = 1e-6;
  std::mt19937 random(3);
  std::uniform_real_distribution<double> nudge(-kTolerance / 20, kTolerance / 20);
  std::vector<Path> lines;
  for (int p = 0; p < 1000; ++p) {
    const double cx = (p % 40) * 30.0, cy = (p / 40) * 30.0;
    for (int k = 0; k < 100; ++k) {
      const double a0 = 2 * kPi * k / 100, a1 = 2 * kPi * (k + 1) / 100;
      Point2 a{cx + 10 * std::cos(a0) + nudge(random), cy + 10 * std::sin(a0) + nudge(random)};
      Point2 b{cx + 10 * std::cos(a1) + nudge(random), cy + 10 * std::sin(a1) + nudge(random)};
      if (random() % 2) std::swap(a, b);
      lines.push_back({{SegmentPiece(a, b)}});
    }
  }
  std::shuffle(lines.begin(), lines.end(), random);
  std::size_t chains = 0;
  for (auto _ : state) {
    const auto r = Join(lines, kTolerance);
    chains = r.value.size();
    benchmark::DoNotOptimize(r);
  }
  state.counters["chains"] = static_cast<double>(chains);
}
BENCHMARK(BM_JoinLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
