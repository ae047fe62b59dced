// The child of the recovery kill test.
//
//   recovery_child edit FOLDER SEED   opens a drawing (FOLDER/plan.dxf, made
//                                     first) and changes it for ever: random
//                                     edits, undos and redos, its record in
//                                     FOLDER/recovery/ written every few
//                                     tenths of a second; before each write
//                                     "writing STATE TIME", after it
//                                     "written"
//   recovery_child recover FOLDER     makes the drawing of the record left
//                                     in FOLDER/recovery/ and prints its
//                                     STATE
//
// STATE: a hash of the lines with the lengths of the undo and redo lists;
// TIME: seconds of the monotonic clock.
#include <cstdio>
#include <random>
#include <string>
#include <time.h>

#include "file/recovery.h"
#include "support/random_edits.h"

namespace {

using namespace vestrel;

std::string State(const LineList& dxf, const Journal& j) {
  char s[64];
  std::snprintf(s, sizeof s, "%016llx-%zu-%zu", static_cast<unsigned long long>(LinesHash(dxf)), j.undos.size(),
                j.redos.size());
  return s;
}

double Now() {
  timespec t{};
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int Edit(const std::string& folder, unsigned seed) {
  const std::string plan = folder + "/plan.dxf";
  LineList lines;
  if (!lines.assign(test::Synthetic(false)) || WriteDxfFile(plan, lines) != FileError::None) return 1;
  Drawing d;
  if (ReadDxfFile(plan, d.dxf) != FileError::None) return 1;
  processdxf(d);
  Journal j;
  RecoveryLog log(folder + "/recovery/");
  log.Attach(j);
  Restarted(j, d.dxf, plan);
  test::Edits edits(d, j, seed);
  std::mt19937 rng(seed);
  double flushed = Now();
  for (;;) {
    switch (rng() % 8) {
      case 0: UndoLastStep(j, d.dxf); break;
      case 1: RedoLastStep(j, d.dxf); break;
      default: edits.once(); break;
    }
    processdxf(d);
    if (Now() - flushed > 0.05 * (1 + rng() % 6)) {
      std::printf("writing %s %.6f\n", State(d.dxf, j).c_str(), Now());
      std::fflush(stdout);
      log.Flush();
      std::printf("written\n");
      std::fflush(stdout);
      flushed = Now();
    }
  }
}

int Recover(const std::string& folder) {
  RecoveryLog log(folder + "/recovery/");
  const std::vector<std::string> left = log.Orphans();
  if (left.size() != 1) return std::printf("records left: %zu\n", left.size()), 1;
  std::string bytes;
  if (ReadWholeFile(left[0], bytes, std::uintmax_t{1} << 32) != FileError::None) return 1;
  const Recovery r = ReadRecovery(bytes);
  LineList dxf;
  if (!r.based() || ReadDxfFile(r.path, dxf) != FileError::None || LinesHash(dxf) != r.hash) return 1;
  Journal j;
  if (ReplayRecovery(r, dxf, j) != r.events.size()) return 1;
  std::printf("%s\n", State(dxf, j).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "edit" && argc == 4) return Edit(argv[2], static_cast<unsigned>(std::stoul(argv[3])));
  if (mode == "recover" && argc == 3) return Recover(argv[2]);
  std::fprintf(stderr, "usage: recovery_child edit FOLDER SEED | recover FOLDER\n");
  return 2;
}
