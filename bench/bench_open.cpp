// Opening and saving a large drawing: reading the file into the line list,
// the parse, and writing it back.
//
//   bench_open [benchmark options] FILE.dxf
//
// Make FILE.dxf with bench/gen_big.py (scale 1: about five
// million lines).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "document/drawing.h"
#include "file/dxffile.h"

namespace {

std::string gFile;

void BM_Read(benchmark::State& state) {
  for (auto _ : state) {
    vestrel::LineList lines;
    if (vestrel::ReadDxfFile(gFile, lines) != vestrel::FileError::None) state.SkipWithError("cannot read");
    benchmark::DoNotOptimize(lines.size());
  }
}

// What opening costs: read, then the first parse into a new drawing.
void BM_ReadAndParse(benchmark::State& state) {
  for (auto _ : state) {
    vestrel::Drawing d;
    if (vestrel::ReadDxfFile(gFile, d.dxf) != vestrel::FileError::None) state.SkipWithError("cannot read");
    vestrel::processdxf(d);
    benchmark::DoNotOptimize(d.polys.size());
  }
}

// A parse of all of the opened drawing, on the storage of the last: what
// an edit of its tables, blocks or layouts costs (an edit of some objects
// reads only those again: bench_edit).
void BM_Reparse(benchmark::State& state) {
  vestrel::Drawing d;
  if (vestrel::ReadDxfFile(gFile, d.dxf) != vestrel::FileError::None) state.SkipWithError("cannot read");
  vestrel::processdxf(d);
  for (auto _ : state) {
    d.parserecord = {};  // as after a failed parse: the next reads all
    vestrel::processdxf(d);
    benchmark::DoNotOptimize(d.polys.size());
  }
  state.counters["entries"] = static_cast<double>(d.polys.size());
  state.counters["points"] = static_cast<double>(d.points.size());
}

void BM_Save(benchmark::State& state) {
  vestrel::LineList lines;
  if (vestrel::ReadDxfFile(gFile, lines) != vestrel::FileError::None) state.SkipWithError("cannot read");
  const std::string out = (std::filesystem::temp_directory_path() / "vestrel-bench-save.dxf").string();
  for (auto _ : state)
    if (vestrel::WriteDxfFile(out, lines) != vestrel::FileError::None) state.SkipWithError("cannot write");
  std::remove(out.c_str());
}

BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadAndParse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reparse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::cerr << "usage: bench_open [benchmark options] FILE.dxf\n";
    return 2;
  }
  gFile = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::cout << "peak memory: " << usage.ru_maxrss / 1024 << " MB\n";
  benchmark::Shutdown();
  return 0;
}
