// libFuzzer target for the records of crash recovery: any bytes are read as
// far as they are sound and played on a drawing (the record's own lines, or
// a small drawing standing for the file a record names) without reaching
// beyond its lines, and the history they leave can be taken back whole and
// done again to the same lines. A broken rule ends the run with a message
// and a trap, which libFuzzer reports as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "file/recovery.h"

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "fuzz_recovery: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vestrel;
  const Recovery r = ReadRecovery(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!r.based()) return 0;
  if (r.events.size() > size / 5) Broken("more changes than the bytes hold");
  LineList dxf;
  if (r.fromFile)
    dxf.assign("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n1\n 20\n2\n 11\n3\n 21\n4\n  0\nENDSEC\n  0\nEOF\n");
  else
    dxf.insert(0, r.lines);
  Journal j;
  if (ReplayRecovery(r, dxf, j) > r.events.size()) Broken("more changes played than there are");
  const std::string made = dxf.join("\n");
  std::size_t undone = 0;
  while (UndoLastStep(j, dxf)) ++undone;
  for (std::size_t k = 0; k < undone; ++k)
    if (!RedoLastStep(j, dxf)) Broken("a step taken back cannot be done again");
  if (dxf.join("\n") != made) Broken("taken back and done again, the lines differ");
  return 0;
}
