// What the benchmarks of the editor start from: the drawing of the command
// line read, parsed and shown whole in a 1600 x 1000 drawing area.
#pragma once

#include <benchmark/benchmark.h>

#include <iostream>

#include "file/dxffile.h"
#include "tools/editor.h"

namespace vestrel::bench {

// Reads FILE.dxf, the one argument left after the benchmark's options, into
// `e`; false (after saying why) when there is none or it cannot be read.
inline bool OpenDrawing(Editor& e, int argc, char** argv, const char* name) {
  if (argc != 2) {
    std::cerr << "usage: " << name << " [benchmark options] FILE.dxf\n";
    return false;
  }
  if (ReadDxfFile(argv[1], e.drawing.dxf) != FileError::None) {
    std::cerr << "cannot read " << argv[1] << '\n';
    return false;
  }
  processdxf(e.drawing);
  ZoomFullIn(e.views);
  return true;
}

}  // namespace vestrel::bench
