// Editing a large drawing as the editor edits it: the coordinate lines of
// objects (of the model, or of a block that draws a dimension) overwritten
// through the journal (what a move does), the drawing
// parsed again and the drawing area painted again (1600 x 1000, zoomed to
// extents); and the undo of it.
//
//   bench_edit [benchmark options] FILE.dxf
//
// Every benchmark runs twice: "changed" as the editor works, reading again
// and redrawing only what changed; "whole" reading and painting all of it
// after every change, as it did before. Each again with "recovery": the
// change recorded for crash recovery, and the record written as the window
// writes it, when half a second has passed since the last time. Make FILE.dxf with
// bench/gen_big.py (scale 1: about five million lines); the move of a
// dimension's line wants a drawing whose dimensions are drawn by their
// blocks, and is skipped in one without.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <unistd.h>

#include "document/drawing.h"
#include "document/journal.h"
#include "file/dxffile.h"
#include "file/recovery.h"
#include "platform/nullplatform.h"
#include "view/paintcache.h"
#include "view/renderer.h"
#include "view/transform.h"
#include "writers/insertcode.h"

namespace {

using namespace vestrel;

std::string gFile;

struct Editing {
  Drawing d;
  Journal j;
  NullPlatform platform{{1600, 1000}};
  ViewState view;
  PrintSetup print;
  QImage canvas{1600, 1000, QImage::Format_RGB32};
  PaintCache cache;
  bool whole = false;
  std::unique_ptr<RecoveryLog> recovery;
  std::chrono::steady_clock::time_point flushed;

  Editing() {
    if (ReadDxfFile(gFile, d.dxf) != FileError::None) {
      std::cerr << "cannot read " << gFile << '\n';
      std::exit(1);
    }
    processdxf(d);
    ViewContext s{d, view, print, platform};
    ZoomFullIn(s);
    show();
  }

  // What every change ends with: the parse, then the paint.
  void show() {
    if (whole) d.parserecord = {};  // as after a failed parse: the next reads all
    processdxf(d);
    if (whole)
      PaintBox1Paint(canvas, d, view, print, platform.PrinterPageSize(), 96);
    else
      cache.paint(canvas, d, view, print, platform.PrinterPageSize(), 96);
    if (recovery && std::chrono::steady_clock::now() - flushed > std::chrono::milliseconds(500)) {
      recovery->Flush();
      flushed = std::chrono::steady_clock::now();
    }
  }
  // The changes recorded from here on, in a folder of the temporary ones;
  // or no more.
  void record(bool on) {
    const auto folder = std::filesystem::temp_directory_path() / ("vestrel-bench-" + std::to_string(::getpid()));
    if (on == static_cast<bool>(recovery)) return;
    if (!on) {
      recovery->Discard();
      recovery.reset();
      std::filesystem::remove_all(folder);
      return;
    }
    recovery = std::make_unique<RecoveryLog>((folder / "").string());
    recovery->Attach(j);
    Restarted(j, d.dxf, gFile);
    flushed = std::chrono::steady_clock::now();
  }
  ~Editing() { record(false); }

  // Entry `p` moved by `by` along both axes: the coordinate lines of its
  // points overwritten (of a line both ends, of others the points of group
  // 10, as the second point of most kinds is no place).
  void move(ChangeStep& step, const tpoly& p, double by) {
    const bool line = Trim(d.dxf[static_cast<std::size_t>(p.linefrom + 1)]) == "LINE";
    for (std::int32_t code = p.linefrom + 2; code < p.linebis; code += 2) {
      const std::string_view group = Trim(d.dxf[static_cast<std::size_t>(code)]);
      if (group != "10" && group != "20" && !(line && (group == "11" || group == "21"))) continue;
      if (const auto v = ParseDouble(Trim(d.dxf[static_cast<std::size_t>(code + 1)])))
        step.overwrite(code + 1, FloatToDxf(*v + by));
    }
  }
  // A line in the middle of the model, or of the blocks that draw
  // dimensions ("*D..."); the size of the list when there is none.
  std::size_t someLine(bool dimension) const {
    const std::size_t n = d.polys.size();
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t i = (n / 2 + k) % n;
      const tpoly& p = d.polys[i];
      if (p.isblock == dimension && (!dimension || d.theblockname(p).starts_with("*D")) &&
          Trim(d.dxf[static_cast<std::size_t>(p.linefrom + 1)]) == "LINE")
        return i;
    }
    return n;
  }
  void moveOne(bool dimension = false) {
    ChangeStep step(j, d.dxf);
    if (const std::size_t i = someLine(dimension); i < d.polys.size()) move(step, d.polys[i], 7.5);
    show();
  }
  void moveAll() {
    ChangeStep step(j, d.dxf);
    // The last first, as the edits walk the display list.
    for (std::size_t i = d.polys.size(); i-- > 0;)
      if (!d.polys[i].isblock) move(step, d.polys[i], 7.5);
    show();
  }
  void undo() {
    UndoLastStep(j, d.dxf);
    show();
  }
  void redo() {
    RedoLastStep(j, d.dxf);
    show();
  }
};

// One session for all: reading the drawing takes seconds. Its picture is
// brought up to date for the mode first.
Editing& Session(bool whole, bool recovery) {
  static Editing e;
  e.whole = whole;
  e.record(recovery);
  e.show();
  return e;
}
Editing& Session(const benchmark::State& state) { return Session(state.range(0), state.range(1)); }

// Times `timed`; `untimed` brings the drawing back before the next round.
template <class Timed, class Untimed>
void Rounds(benchmark::State& state, Timed timed, Untimed untimed) {
  Editing& e = Session(state);
  for (auto _ : state) {
    timed(e);
    state.PauseTiming();
    untimed(e);
    state.ResumeTiming();
  }
  if (!e.whole) state.counters["partial"] = e.cache.partial();  // the last paint redrew a part
}

void BM_MoveOne(benchmark::State& state) {
  Rounds(state, [](Editing& e) { e.moveOne(); }, [](Editing& e) { e.undo(); });
}
// The undo of a move, timed after the move of the round before: the move
// is undone by the next round's first step.
void BM_UndoMoveOne(benchmark::State& state) {
  Session(state).moveOne();
  Rounds(state, [](Editing& e) { e.undo(); }, [](Editing& e) { e.moveOne(); });
  Session(state).undo();
}
// The redo of an undone move; the undo of the round before makes it
// redoable again.
void BM_RedoMoveOne(benchmark::State& state) {
  Session(state).moveOne();
  Session(state).undo();
  Rounds(state, [](Editing& e) { e.redo(); }, [](Editing& e) { e.undo(); });
}
// A line of a dimension's block: what a drawing drawn with many dimensions
// pays for an edit.
void BM_MoveDimensionLine(benchmark::State& state) {
  const Editing& session = Session(state);
  if (session.someLine(true) == session.d.polys.size()) return state.SkipWithError("the drawing has no dimension's block");
  Rounds(state, [](Editing& e) { e.moveOne(true); }, [](Editing& e) { e.undo(); });
}
void BM_MoveAll(benchmark::State& state) {
  Rounds(state, [](Editing& e) { e.moveAll(); }, [](Editing& e) { e.undo(); });
}

void Modes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"whole", "recovery"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_MoveOne)->Apply(Modes);
BENCHMARK(BM_UndoMoveOne)->Apply(Modes);
BENCHMARK(BM_RedoMoveOne)->Apply(Modes);
BENCHMARK(BM_MoveDimensionLine)->Apply(Modes);
BENCHMARK(BM_MoveAll)->Apply(Modes)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::cerr << "usage: bench_edit [benchmark options] FILE.dxf\n";
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  gFile = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
