// What an array and a long undo history cost, on drawings made here:
//
//   bench_array [benchmark options]
//
// BM_ArrayOfALine: copies of one line in a drawing of nothing else (up to
// 99,999, nearly the most an array may make); BM_ArrayInPoints: 1,000
// copies of one point in drawings of up to 500,000 points. Each includes
// the parse that follows; the drawing is read anew between the rounds,
// outside the timing. BM_UndoRedoMoveAll: all 100,000 points of a drawing
// moved, then the move taken back and done again, 1,000 times each, with
// the memory the process holds before and after (counters, in megabytes).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "editing/transforms.h"
#include "editing/undo.h"

namespace {

using namespace vestrel;

// A drawing of version 2000 whose ENTITIES are `entities`.
std::string Drawing2000(const std::string& entities) {
  return "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$HANDSEED\n  5\nFFFFFF\n  0\nENDSEC\n"
         "  0\nSECTION\n  2\nENTITIES\n" +
         entities + "  0\nENDSEC\n  0\nEOF\n";
}

std::string Points(int count) {
  std::string s;
  for (int i = 0; i < count; ++i)
    s += "  0\nPOINT\n  5\n" + std::to_string(100 + i) + "\n  8\n0\n 10\n" + std::to_string(i % 1000) + "\n 20\n" +
         std::to_string(i / 1000) + "\n 30\n0.0\n";
  return s;
}

const std::string kLine = "  0\nLINE\n  5\nA\n  8\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 11\n1.0\n 21\n1.0\n 31\n0.0\n";

// What the process holds in memory now, in megabytes.
double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t size = 0, resident = 0;
  statm >> size >> resident;
  return static_cast<double>(resident) * 4096 / (1 << 20);
}

struct Document {
  Drawing d;
  Journal j;
  FileState file;
  int tab = 0;
  DocumentContext c{d, j, file, tab};
  std::string text;

  explicit Document(std::string t) : text(std::move(t)) { reset(); }
  // The drawing as made, its first object selected, no history.
  void reset() {
    FreeUndos(j);
    d.dxf.assign(text);
    processdxf(d);
    d.polys[0].selected = true;
  }
  void selectAll() {
    for (tpoly& p : d.polys) p.selected = true;
  }
};

// `columns` x `rows` cells of the first object of `doc`.
void Arrays(benchmark::State& state, Document& doc, int columns, int rows) {
  ArrayDialogValues v;
  v.SpaltenEd = columns, v.ZeilenEd = rows, v.SpaltenAbstandEd = 2, v.ZeilenAbstandEd = 2;
  for (auto _ : state) {
    if (MakeArray(doc.c, v) != EditResult::Done) state.SkipWithError("the array was refused");
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["copies"] = columns * rows - 1;
}

void BM_ArrayOfALine(benchmark::State& state) {
  Document doc(Drawing2000(kLine));
  const auto rows = static_cast<int>(state.range(0));
  Arrays(state, doc, 400, rows);
}

void BM_ArrayInPoints(benchmark::State& state) {
  Document doc(Drawing2000(Points(static_cast<int>(state.range(0)))));
  Arrays(state, doc, 7, 143);  // 1,000 copies
}

void BM_UndoRedoMoveAll(benchmark::State& state) {
  Document doc(Drawing2000(Points(100000)));
  for (auto _ : state) {
    doc.selectAll();
    MoveObjects(doc.c, 1.5, -2.5);
    state.counters["before MB"] = ResidentMegabytes();
    for (int i = 0; i < 1000; ++i) {
      UndoLastOperation(doc.c);
      RedoLastOperation(doc.c);
    }
    state.counters["after MB"] = ResidentMegabytes();
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_ArrayOfALine)->ArgName("rows")->Arg(25)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ArrayInPoints)
    ->ArgName("points")
    ->Arg(50000)
    ->Arg(500000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_UndoRedoMoveAll)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
