// The window's lists, derived from the drawing after each parse, and the
// tab shown across parses.
#include "tools/propertybar.h"

#include <gtest/gtest.h>

#include "support/dxf_text.h"
#include "support/fake_platform.h"
#include "tools/editor.h"

namespace vestrel {
namespace {

using Names = std::vector<std::string>;

const char* const kTables =
    "  0\nTABLE\n  2\nLTYPE\n  0\nLTYPE\n  2\nContinuous\n  0\nLTYPE\n  2\nDASHED\n  0\nENDTAB\n"
    "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n0\n  0\nLAYER\n  2\nHIDDEN\n  0\nENDTAB\n";

std::string Layout(std::string_view name, int order, std::string_view record) {
  return "  0\nLAYOUT\n  1\n" + std::string(name) + "\n 71\n" + std::to_string(order) + "\n330\n" + std::string(record) +
         "\n";
}

TEST(PropertyBar, ListsFollowTheParsedDrawing) {
  PropertyBar bar;
  EXPECT_EQ(bar.ColorComboBox.items.front(), "Wie Ebene");
  EXPECT_EQ(bar.ColorComboBox.items.size(), 11u);
  EXPECT_EQ(bar.LineWeightBox.items.size(), 23u);

  Drawing d = test::Parsed(test::WithEof(test::Section("TABLES", kTables)));
  bar.ColorComboBox.itemIndex = 4;
  RefreshPropertyBar(bar, d);
  EXPECT_EQ(bar.LineCombo.items, (Names{"Continuous", "DASHED"}));
  EXPECT_EQ(bar.LayerCombo.items, (Names{"0", "HIDDEN"}));
  EXPECT_EQ(bar.LayerCombo.itemIndex, 0);
  EXPECT_EQ(bar.ColorComboBox.itemIndex, 0);  // every box on its first entry
  EXPECT_EQ(bar.TabControl1, (Names{"Model", "Layout1"}));  // no layouts: the two tabs

  // The same parse again changes nothing; a new one refills the lists.
  bar.ColorComboBox.itemIndex = 4;
  RefreshPropertyBar(bar, d);
  EXPECT_EQ(bar.ColorComboBox.itemIndex, 4);
  d.dxf.assign(test::WithEof(test::Section("OBJECTS", Layout("Zwei", 2, "B2") + Layout("Model", 0, "B0") +
                                                          Layout("Eins", 1, "B1"))));
  processdxf(d);
  RefreshPropertyBar(bar, d);
  EXPECT_EQ(bar.TabControl1, (Names{"Model", "Eins", "Zwei"}));
  EXPECT_TRUE(bar.LayerCombo.items.empty());
  EXPECT_EQ(bar.LayerCombo.itemIndex, -1);
}

TEST(PropertyBar, TheShownTabStaysAcrossParsesUnlessItIsGone) {
  test::FakePlatform platform;
  Editor editor(platform);
  editor.drawing.dxf.assign(test::WithEof(test::Section("OBJECTS", Layout("Model", 0, "B0") + Layout("Eins", 1, "B1"))));
  processdxf(editor.drawing);
  editor.view.tab = 1;
  editor.Repaint();
  EXPECT_EQ(editor.view.tab, 1);
  editor.view.tab = 5;
  editor.Repaint();
  EXPECT_EQ(editor.view.tab, 0);
}

}  // namespace
}  // namespace vestrel
