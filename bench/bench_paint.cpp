// Painting a large drawing into a 1600 x 1000 canvas: zoomed to its extents,
// and zoomed into a hundredth of its area; as the window paints, with the
// spatial index it builds for picking.
//
//   bench_paint [benchmark options] FILE.dxf
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <iostream>

#include "document/drawing.h"
#include "document/spatialindex.h"
#include "file/dxffile.h"
#include "platform/nullplatform.h"
#include "view/renderer.h"
#include "view/transform.h"

namespace {

using namespace vestrel;

Drawing* gDrawing = nullptr;
InView* gInView = nullptr;

void Paint(benchmark::State& state, double zoomFactor) {
  NullPlatform platform({1600, 1000});
  ViewState view;
  PrintSetup print;
  ViewContext s{*gDrawing, view, print, platform};
  ZoomFullIn(s);
  // A hundredth of the area: ten times the zoom about the centre.
  if (zoomFactor != 1) ZoomAbout(s, 800, 500, zoomFactor);
  QImage canvas(1600, 1000, QImage::Format_RGB32);
  for (auto _ : state) PaintBox1Paint(canvas, *gDrawing, view, print, platform.PrinterPageSize(), 96, gInView);
}

void BM_PaintExtents(benchmark::State& state) { Paint(state, 1); }
void BM_PaintHundredth(benchmark::State& state) { Paint(state, 10); }

BENCHMARK(BM_PaintExtents)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintHundredth)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::cerr << "usage: bench_paint [benchmark options] FILE.dxf\n";
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  Drawing d;
  if (ReadDxfFile(argv[1], d.dxf) != FileError::None) {
    std::cerr << "cannot read " << argv[1] << '\n';
    return 1;
  }
  processdxf(d);
  gDrawing = &d;
  SpatialIndex index;
  index.Refresh(d);
  InView inView(index);
  gInView = &inView;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
