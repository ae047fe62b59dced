// The record of the unsaved changes: random edits, undos, redos and saves
// made again exactly from it, with their undo history; a record cut or
// spoilt anywhere made again up to its last whole flush; records of
// programs that ended, told from those of running ones; private files.
#include "file/recovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "support/random_edits.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

namespace fs = std::filesystem;

// A drawing and its journal as they stand, to compare.
struct State {
  std::string text;
  std::size_t undos = 0;
  bool operator==(const State&) const = default;
};

State Of(const LineList& dxf, const Journal& j) { return {dxf.join("\n"), j.undos.size()}; }

class RecoveryTest : public ::testing::Test {
 protected:
  // The synthetic drawing as a file, opened: the record's base.
  void Open() {
    LineList lines;
    ASSERT_TRUE(lines.assign(test::Synthetic(false)));
    ASSERT_EQ(WriteDxfFile(file, lines), FileError::None);
    ASSERT_EQ(ReadDxfFile(file, d.dxf), FileError::None);
    processdxf(d);
    log.Attach(j);
    Restarted(j, d.dxf, file);
  }
  // The drawing the record on disk makes, from the file it names.
  State Made(std::size_t* undosLeft = nullptr) {
    const Recovery r = ReadRecovery(test::ReadFile(log.file()));
    EXPECT_TRUE(r.based());
    LineList base;
    EXPECT_EQ(ReadDxfFile(r.path, base), FileError::None);
    EXPECT_EQ(LinesHash(base), r.hash);
    Journal made;
    EXPECT_EQ(ReplayRecovery(r, base, made), r.events.size());
    if (undosLeft) *undosLeft = made.undos.size();
    return Of(base, made);
  }

  test::TempDir tmp;
  std::string folder = tmp.path("user/recovery/"), file = tmp.path("plan.dxf");
  Drawing d;
  Journal j;
  RecoveryLog log{folder};
};

TEST_F(RecoveryTest, EveryChangeIsMadeAgainExactlyWithItsUndoHistory) {
  Open();
  EXPECT_TRUE(log.file().empty());  // begun only by a change
  test::Edits edits(d, j, 5);
  std::mt19937 rng(9);
  for (int cycle = 0; cycle < 120; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    switch (rng() % 10) {
      case 0: RedoLastStep(j, d.dxf); break;
      case 1: UndoLastStep(j, d.dxf); break;
      case 2:
        // Saved: the record goes; the next change begins one from the
        // saved file, before which the history reaches back.
        if (WriteDxfFile(file, d.dxf) == FileError::None) {
          const std::string before = log.file();
          Restarted(j, d.dxf, file);
          if (!before.empty()) {
            EXPECT_FALSE(fs::exists(before));
          }
        }
        break;
      default: edits.once(); break;
    }
    processdxf(d);
    log.Flush();
    if (log.file().empty()) continue;
    std::size_t held = 0;
    const State fromRecord = Made(&held);
    ASSERT_EQ(fromRecord, (State{d.dxf.join("\n"), held}));
    // The undos of the drawing made give what the undos give here.
    Drawing live = d;
    Journal liveJournal = j;
    liveJournal.listener = nullptr;
    const Recovery r = ReadRecovery(test::ReadFile(log.file()));
    LineList made;
    ASSERT_EQ(ReadDxfFile(r.path, made), FileError::None);
    Journal madeJournal;
    ReplayRecovery(r, made, madeJournal);
    while (UndoLastStep(madeJournal, made)) {
      ASSERT_TRUE(UndoLastStep(liveJournal, live.dxf));
      ASSERT_EQ(made.join("\n"), live.dxf.join("\n"));
    }
  }
}

TEST_F(RecoveryTest, ARecordCutOrSpoiltAnywhereMakesTheDrawingOfItsLastWholeFlush) {
  Open();
  test::Edits edits(d, j, 3);
  std::vector<std::string> flushed;  // the text after each flush, the first the base's
  flushed.push_back(d.dxf.join("\n"));
  for (int k = 0; k < 12; ++k) {
    edits.once();
    processdxf(d);
    log.Flush();
    flushed.push_back(d.dxf.join("\n"));
  }
  const std::string whole = test::ReadFile(log.file());
  LineList base;
  ASSERT_EQ(ReadDxfFile(file, base), FileError::None);
  auto made = [&](std::string_view bytes, bool* damaged) {
    const Recovery r = ReadRecovery(bytes);
    *damaged = r.damaged;
    if (!r.based()) return std::string("(none)");
    LineList lines = base;
    Journal mj;
    ReplayRecovery(r, lines, mj);
    return lines.join("\n");
  };
  bool damaged = false;
  EXPECT_EQ(made(whole, &damaged), flushed.back());
  EXPECT_FALSE(damaged);
  std::mt19937 rng(4);
  for (std::size_t cut = 0; cut < whole.size(); cut += 1 + rng() % 23) {
    const std::string text = made(std::string_view(whole).substr(0, cut), &damaged);
    EXPECT_TRUE(text == "(none)" || std::find(flushed.begin(), flushed.end(), text) != flushed.end()) << cut;
  }
  for (int k = 0; k < 200; ++k) {
    std::string spoilt = whole;
    spoilt[rng() % spoilt.size()] ^= static_cast<char>(1 + rng() % 255);
    const std::string text = made(spoilt, &damaged);
    EXPECT_TRUE(text == "(none)" || std::find(flushed.begin(), flushed.end(), text) != flushed.end()) << k;
  }
}

TEST_F(RecoveryTest, ARecordIsPrivateLockedWhileItsProgramRunsAndGoesWhenTheDrawingIsDropped) {
  Open();
  test::Edits(d, j, 1).once();
  log.Flush();
  const std::string mine = log.file();
  ASSERT_FALSE(mine.empty());
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(fs::status(mine).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  // Another program's view: a record it holds is nobody's to recover.
  RecoveryLog other(folder);
  EXPECT_TRUE(other.Orphans().empty());
  {
    // A program that ends without dropping its drawing leaves its record.
    Drawing d2 = d;
    Journal j2;
    RecoveryLog ended(folder);
    ended.Attach(j2);
    Restarted(j2, d2.dxf, {});
    ChangeStep(j2, d2.dxf).overwrite(0, "  0");
    ended.Flush();
  }
  const std::vector<std::string> left = other.Orphans();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_NE(left[0], mine);
  const Recovery r = ReadRecovery(test::ReadFile(left[0]));
  EXPECT_FALSE(r.fromFile);  // a drawing never saved: its lines in the record
  EXPECT_EQ(r.lines.size(), d.dxf.size());
  log.Discard();
  EXPECT_FALSE(fs::exists(mine));
  EXPECT_FALSE(fs::exists(mine + ".base"));
}

}  // namespace
}  // namespace vestrel
