// The parse after a change, which reads again only what the change touched,
// leaves every drawing of the corpus exactly as reading it all would: random
// edits of every kind (moves, copies, deletions, new pairs, broken codes,
// changed kinds, the seed, undo), each compared field by field with a full
// parse of the same text.
#include <gtest/gtest.h>

#include "support/drawing_state.h"
#include "support/random_edits.h"

namespace vestrel {
namespace {

using test::Edits;

class CorpusReparse : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusReparse, RandomEditsReadAsAFullParseReadsThem) {
  Drawing d;
  ASSERT_TRUE(test::LoadDrawing(GetParam(), d));
  processdxf(d);
  const auto inEntities = std::count_if(d.entryparse.begin(), d.entryparse.end(),
                                        [](const EntryParse& e) { return e.sections == kInEntities; });
  const auto entries = static_cast<std::ptrdiff_t>(d.polys.size());
  Journal j;
  Edits edits(d, j, 7);
  int reread = 0;
  bool broken = false;
  for (int cycle = 0; cycle < 60; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    // Selected and painted entries, and views of the tabs: what a parse
    // does not keep.
    for (int k = 0; k < 3 && d.polys.size() > 0; ++k) {
      tpoly& p = d.polys[static_cast<std::size_t>(cycle * 7919 + k * 104729) % d.polys.size()];
      p.selected = p.massselected = p.locked = true;
    }
    for (Tlayout& l : d.layouts) l.zoomsetted = true, l.zoomvalue = 250, l.scrollxvalue = cycle;
    if (broken) {
      // What broke the drawing is taken back: the edits go on on a whole one.
      UndoLastStep(j, d.dxf);
      broken = false;
    } else {
      const int steps = 1 + cycle % 3;
      for (int k = 0; k < steps; ++k) broken = edits.once() || broken;
    }
    Drawing full = d;
    full.dxf.markAllChanged();
    processdxf(full);
    processdxf(d);
    ASSERT_TRUE(full.reparsed.whole);
    if (!d.reparsed.whole) ++reread;
    const std::string difference = test::DrawingDifference(d, full);
    ASSERT_TRUE(difference.empty()) << difference;
  }
  // Most changes touch one object or a few: they must have been read as
  // such, or the comparison proves little. (Where most entries are members
  // of blocks, most changes touch a block, which is read in full.)
  if (inEntities >= 5 && 2 * inEntities >= entries) {
    EXPECT_GE(reread, 10);
  }
}

// A drawing given the lines of another list (even one parsed just now)
// reads them all; one moved with its display list goes on as before.
TEST(Reparse, ALineListFromElsewhereIsReadInFull) {
  Drawing a, b;
  ASSERT_TRUE(test::LoadDrawing("synthetic", a));
  ASSERT_TRUE(test::LoadDrawing("synthetic late", b));
  processdxf(a);
  processdxf(b);
  a.dxf = b.dxf;
  processdxf(a);
  EXPECT_TRUE(a.reparsed.whole);
  EXPECT_EQ(test::DrawingDifference(a, b), "");

  Drawing moved = std::move(b);
  Journal j;
  ChangeStep(j, moved.dxf).overwrite(moved.polys[moved.polys.size() / 2].linefrom + 5, "1");
  processdxf(moved);
  EXPECT_FALSE(moved.reparsed.whole);
}

INSTANTIATE_TEST_SUITE_P(Drawings, CorpusReparse, ::testing::ValuesIn(test::EditedDrawings()),
                         [](const auto& info) { return test::CorpusName(info.param, info.index); });

}  // namespace
}  // namespace vestrel
