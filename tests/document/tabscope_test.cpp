// What each tab covers: the model, the active paper space, a layout that
// keeps its objects in a block of its own, and the two tabs of a drawing
// without layouts.
#include "document/tabscope.h"

#include <gtest/gtest.h>

#include "support/dxf_text.h"

namespace vestrel {
namespace {

using test::Section;

// Entries: 0 model (330 1F), 1 paper (330 2A, 67 1), 2 no owner, 3 in the
// layout block *Paper_Space0 of record 3B, 4 in *Model_Space.
const std::string kDrawing = test::WithEof(
    Section("BLOCKS",
            "  0\nBLOCK\n330\n1F\n  3\n*Model_Space\n  0\nPOINT\n 10\n4\n  0\nENDBLK\n"
            "  0\nBLOCK\n330\n2A\n  3\n*Paper_Space\n  0\nENDBLK\n"
            "  0\nBLOCK\n330\n3B\n  3\n*Paper_Space0\n  0\nPOINT\n 10\n3\n  0\nENDBLK\n") +
    Section("ENTITIES",
            "  0\nPOINT\n330\n1F\n 10\n0\n  0\nPOINT\n330\n2A\n 67\n1\n 10\n1\n  0\nPOINT\n 10\n2\n") +
    Section("OBJECTS",
            "  0\nLAYOUT\n  1\nModel\n 71\n0\n330\n1F\n  0\nLAYOUT\n  1\nLayout1\n 71\n1\n330\n2A\n"
            "  0\nLAYOUT\n  1\nLayout2\n 71\n2\n330\n3B\n"));

// The x of every entry the scope shows, in list order.
std::vector<double> Shown(const Drawing& d, const TabScope& s) {
  std::vector<double> xs;
  for (const tpoly& p : d.polys)
    if (s.shows(p)) xs.push_back(d.ps(p)[0].x);
  return xs;
}

TEST(TabScope, EachTabOfADrawingWithLayouts) {
  const Drawing d = test::Parsed(kDrawing);
  ASSERT_EQ(d.anzpoly(), 5);
  struct Case {
    int tab;
    std::vector<double> shown;
    std::string ownBlock, recordBlock;  // "" for none
  };
  const Case cases[] = {
      {0, {0, 2}, "", "*Model_Space"},             // ownerless entries count as model
      {1, {1}, "", "*Paper_Space"},                // the active paper space keeps its objects in the entities
      {2, {3}, "*Paper_Space0", "*Paper_Space0"},  // another layout keeps them in its block
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tab);
    const TabScope s = TabScope::OfTab(d, c.tab);
    EXPECT_EQ(Shown(d, s), c.shown);
    EXPECT_EQ(s.model(), c.tab == 0);
    EXPECT_EQ(s.ownBlock() ? s.ownBlock()->blockname : "", c.ownBlock);
    EXPECT_EQ(s.recordBlock() ? s.recordBlock()->blockname : "", c.recordBlock);
  }
}

TEST(TabScope, TheTwoTabsOfADrawingWithoutLayoutsAndBlockContents) {
  const Drawing d = test::Parsed(test::WithEof(
      Section("BLOCKS", "  0\nBLOCK\n  3\nB\n  0\nPOINT\n 10\n5\n  0\nPOINT\n 67\n1\n 10\n6\n  0\nENDBLK\n") +
      Section("ENTITIES", "  0\nPOINT\n 10\n0\n  0\nPOINT\n 67\n1\n 10\n1\n")));
  EXPECT_EQ(Shown(d, TabScope::OfTab(d, 0)), (std::vector<double>{0}));
  EXPECT_EQ(Shown(d, TabScope::OfTab(d, 1)), (std::vector<double>{1}));
  EXPECT_FALSE(TabScope::OfTab(d, 1).layhan());
  // A reference on paper shows all of its block; in the model only what
  // is not flagged as paper.
  EXPECT_EQ(Shown(d, TabScope::BlockContents(d, "B", false)), (std::vector<double>{5, 6}));
  EXPECT_EQ(Shown(d, TabScope::BlockContents(d, "B", true)), (std::vector<double>{5}));
}

}  // namespace
}  // namespace vestrel
