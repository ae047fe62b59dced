// The parse after a change, which reads again only what the change touched,
// leaves every drawing of the corpus exactly as reading it all (its splines
// flattened ahead on another core) would: random
// edits of every kind (moves, copies, deletions, new pairs, broken codes,
// changed kinds, the seed, undo), each compared field by field with a full
// parse of the same text.
#include <gtest/gtest.h>

#include <functional>

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
    Drawing full = d;  // a copy is another list: read whole, its splines flattened ahead
    processdxf(full, 0);
    processdxf(d);
    ASSERT_TRUE(full.reparsed.whole);
    if (!d.reparsed.whole) ++reread;
    const std::string difference = test::DrawingDifference(d, full);
    ASSERT_TRUE(difference.empty()) << difference;
  }
  // Most changes touch one object or a few: they must have been read as
  // such, or the comparison proves little.
  if (inEntities >= 5) {
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

// An edit among a block's members is read again in part, as one among the
// entities is; one that could change where a block begins or ends, or what
// its header says, reads it all.
TEST(Reparse, EditsOfABlocksMembersAreReadInPart) {
  using test::Member;
  using Edit = std::function<void(Drawing&, ChangeStep&)>;
  const auto lines = [](const Drawing& d, const tpoly& p) {
    return d.dxf.copy(static_cast<std::size_t>(p.linefrom), static_cast<std::size_t>(p.linebis - p.linefrom + 1));
  };
  struct Case {
    const char* name;
    Edit edit;
    const char* reread;  // the block whose members were read again, "" the entities; nullptr all
  } cases[] = {
      {"a member moved", [](Drawing& d, ChangeStep& s) { s.overwrite(Member(d, "*D1", 1).linefrom + 7, "3.5"); }, "*D1"},
      {"a pair into a member", [](Drawing& d, ChangeStep& s) { s.insert(Member(d, "*D1", 0).linefrom + 2, {" 62", "1"}); },
       "*D1"},
      {"the first member out",
       [](Drawing& d, ChangeStep& s) {
         const tpoly& m = Member(d, "*D1", 0);
         s.erase(m.linefrom, m.linebis - m.linefrom + 1);
       },
       "*D1"},
      {"a member before the first",
       [&](Drawing& d, ChangeStep& s) { s.insert(Member(d, "*D1", 0).linefrom, lines(d, Member(d, "*D1", 1))); }, "*D1"},
      {"a member after the last",
       [&](Drawing& d, ChangeStep& s) { s.insert(Member(d, "*D1", 1).linebis + 1, lines(d, Member(d, "*D1", 0))); }, "*D1"},
      {"a reference in a block to another block",
       [](Drawing& d, ChangeStep& s) { s.overwrite(Member(d, "FRAME", 0).insertstrlinenr, "*D1"); }, "FRAME"},
      {"an entity before the first",
       [&](Drawing& d, ChangeStep& s) {
         const tpoly& first = *std::find_if(d.polys.begin(), d.polys.end(), [](const tpoly& p) { return !p.isblock; });
         s.insert(first.linefrom, lines(d, first));
       },
       ""},
      // The header would take the pair; the block would end at the kind.
      {"a pair before the first member", [](Drawing& d, ChangeStep& s) { s.insert(Member(d, "*D1", 0).linefrom, {" 62", "1"}); },
       nullptr},
      {"a member made the block's end", [](Drawing& d, ChangeStep& s) { s.overwrite(Member(d, "*D1", 1).linefrom + 1, "ENDBLK"); },
       nullptr},
      {"the block's name", [](Drawing& d, ChangeStep& s) { s.overwrite(Member(d, "*D1", 0).linefrom - 5, "*D2"); }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Drawing d;
    ASSERT_TRUE(test::LoadDrawing("synthetic", d));
    processdxf(d);
    Journal j;
    {
      ChangeStep step(j, d.dxf);
      c.edit(d, step);
    }
    Drawing full = d;  // a copy is another list: read whole
    processdxf(full);
    processdxf(d);
    EXPECT_EQ(test::DrawingDifference(d, full), "");
    ASSERT_EQ(d.reparsed.whole, c.reread == nullptr);
    if (!c.reread) continue;
    ASSERT_EQ(d.reparsed.ranges.size(), 1u);
    const std::int32_t block = d.reparsed.ranges[0].block;
    EXPECT_EQ(block < 0 ? "" : d.blocks[static_cast<std::size_t>(block)].blockname, c.reread);
  }
}

INSTANTIATE_TEST_SUITE_P(Drawings, CorpusReparse, ::testing::ValuesIn(test::EditedDrawings()),
                         [](const auto& info) { return test::CorpusName(info.param, info.index); });

}  // namespace
}  // namespace vestrel
