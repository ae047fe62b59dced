// The window's lists, derived from the drawing after each parse, and the
// tab shown across parses.
#include "tools/propertybar.h"

#include <gtest/gtest.h>

#include "support/dxf_text.h"
#include "support/fake_platform.h"
#include "tools/editor.h"
#include "writers/entitywriters.h"

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

// With nothing selected the boxes set what new objects take, one step a
// choice, and show it; with a selection they act on it and show what its
// objects have in common.
TEST(PropertyBar, WithNothingSelectedTheBoxesSetWhatNewObjectsTake) {
  test::FakePlatform platform;
  Editor editor(platform);
  Drawing& d = editor.drawing;
  const std::string tables =
      "  0\nTABLE\n  2\nLTYPE\n  0\nLTYPE\n  2\nByLayer\n  0\nLTYPE\n  2\nDASHED\n  0\nENDTAB\n"
      "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n0\n  0\nLAYER\n  2\nWAND\n  0\nENDTAB\n";
  const std::string line = "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n";
  d.dxf.assign(test::WithEof(test::Section("HEADER", "  9\n$ACADVER\n  1\nAC1015\n") + test::Section("TABLES", tables) +
                             test::Section("ENTITIES", line)));
  processdxf(d);
  editor.Repaint();
  auto shown = [&] {
    const PropertyBar& b = editor.bar;
    return std::vector<int>{b.LayerCombo.itemIndex, b.ColorComboBox.itemIndex, b.LineCombo.itemIndex, b.LineWeightBox.itemIndex};
  };
  EXPECT_EQ(shown(), (std::vector<int>{0, 0, 0, 0}));
  editor.LayerComboChange(1);
  editor.ColorComboBoxChange(2);    // "Rot"
  editor.LineComboChange(1);        // DASHED
  editor.LineWeightBoxChange(11);   // 0.50 mm
  editor.LineWeightBoxChange(11);   // the same again: no step
  EXPECT_EQ(editor.undos.undos.size(), 4u);
  EXPECT_TRUE(editor.file.changed);
  EXPECT_EQ(shown(), (std::vector<int>{1, 2, 1, 11}));
  for (const auto& [id, value] : {std::pair{current::Layer, "WAND"}, std::pair{current::Color, "1"},
                                  std::pair{current::LineType, "DASHED"}, std::pair{current::LineWeight, "50"}})
    EXPECT_EQ(d.currentValue(id), value);
  ASSERT_EQ(d.polys.size(), 1u);
  EXPECT_EQ(d.polys[0].colorispresent, false);  // the line kept its own

  // A new line takes them; selected with the old one, the boxes show
  // nothing where the two differ.
  ASSERT_EQ(Write(editor.doc, AddLine, LineKind::Line, Point3{0, 5, 0}, Point3{1, 5, 0}), InsertResult::Inserted);
  ASSERT_EQ(d.polys.size(), 2u);
  EXPECT_EQ(d.layer(d.polys[1]), "WAND");
  EXPECT_EQ(d.polys[1].colornr, 1);
  d.polys[0].selected = d.polys[1].selected = true;
  editor.Repaint();
  EXPECT_EQ(shown(), (std::vector<int>{-1, -1, -1, -1}));
  d.polys[0].selected = false;
  editor.Repaint();
  EXPECT_EQ(shown(), (std::vector<int>{1, 2, 1, 11}));
  // With a selection the box acts on it, and what new objects take stays.
  editor.LayerComboChange(0);
  EXPECT_EQ(d.layer(d.polys[1]), "0");
  EXPECT_EQ(d.currentValue(current::Layer), "WAND");
  // Undo takes the choices back: the header has no $CLAYER again.
  for (int i = 0; i < 6; ++i) editor.Rckgngig1Click();
  EXPECT_EQ(d.currentpos[current::Layer], -1);
  EXPECT_EQ(NewObjectLayer(d), "0");

  // A drawing without a header gets one.
  d.dxf.assign(test::WithEof(test::Section("TABLES", tables) + test::Section("ENTITIES", line)));
  processdxf(d);
  editor.Repaint();
  editor.LayerComboChange(1);
  ASSERT_GT(d.dxf.size(), 3u);
  EXPECT_EQ(d.value(3), "HEADER");
  EXPECT_EQ(NewObjectLayer(d), "WAND");
}

}  // namespace
}  // namespace vestrel
