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

TEST(TabScope, TheLayoutsPaperFromItsPlotSettings) {
  const std::string plot = "100\nAcDbPlotSettings\n";
  struct Case {
    std::string groups;  // of the layout "Sheet", tab 1
    bool paper;
    Sheet sheet;
    double widthMm, heightMm, mmPerUnit;
  };
  const Case cases[] = {
      // Millimetres, unturned, limits unset: the origin at the printable corner.
      {plot + " 40\n5\n 41\n10\n 42\n15\n 43\n20\n 44\n297\n 45\n210\n 72\n1\n", true,
       {-5, -10, 292, 200, 0, 0, 277, 180}, 297, 210, 1},
      // Inches (17 × 11), turned a quarter: margins turn with the paper.
      {plot + " 40\n25.4\n 41\n0\n 42\n0\n 43\n0\n 44\n279.4\n 45\n431.8\n 72\n0\n 73\n1\n", true,
       {0, 0, 17, 11, 0, 0, 17, 10}, 431.8, 279.4, 25.4},
      // Limits set win over the paper; the plot scale counts for printing.
      {plot + " 44\n210\n 45\n297\n 72\n1\n 73\n1\n 40\n7.5\n 41\n20\n 42\n7.5\n 43\n20\n"
              " 10\n-20\n 20\n-7.5\n 11\n277\n 21\n202.5\n142\n1\n143\n2\n", true,
       {-20, -7.5, 277, 202.5, 0, 0, 257, 195}, 297, 210, 0.5},
      // Limits alone, paper size 0: the limits.
      {plot + " 44\n0\n 45\n0\n 72\n0\n 10\n0\n 20\n0\n 11\n12\n 21\n9\n", true,
       {0, 0, 12, 9, 0, 0, 12, 9}, 12 * 25.4, 9 * 25.4, 25.4},
      // Neither limits nor paper, no plot settings, broken numbers: the printer's page.
      {plot + " 44\n0\n 45\n0\n", false, {}, 0, 0, 0},
      {" 10\n0\n 20\n0\n 11\n12\n 21\n9\n", false, {}, 0, 0, 0},
      {plot + " 44\nnan\n 45\n1e999\n", false, {}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.groups);
    const Drawing d = test::Parsed(test::WithEof(
        Section("OBJECTS", "  0\nLAYOUT\n  1\nModel\n 71\n0\n  0\nLAYOUT\n" + c.groups + "  1\nSheet\n 71\n1\n")));
    EXPECT_FALSE(PaperOfTab(d, 0));
    const auto p = PaperOfTab(d, 1);
    ASSERT_EQ(p.has_value(), c.paper);
    if (!p) continue;
    const Sheet& s = p->sheet;
    const double got[] = {s.x0, s.y0, s.x1, s.y1, s.px0, s.py0, s.px1, s.py1, p->widthMm, p->heightMm, p->mmPerUnit};
    const double want[] = {c.sheet.x0, c.sheet.y0, c.sheet.x1, c.sheet.y1, c.sheet.px0, c.sheet.py0,
                           c.sheet.px1, c.sheet.py1, c.widthMm, c.heightMm, c.mmPerUnit};
    for (int i = 0; i < 11; ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
  }
}

}  // namespace
}  // namespace vestrel
