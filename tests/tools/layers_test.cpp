// A new layer: the line types its dialog offers, and the names it refuses.
#include "tools/layers.h"

#include <gtest/gtest.h>

#include "i18n/msg.h"
#include "support/dxf_text.h"
#include "support/fake_platform.h"
#include "tools/editor.h"
#include "view/colors.h"

namespace vestrel {
namespace {

std::string Table(std::string_view type, std::initializer_list<std::string_view> names) {
  std::string t = "  0\nTABLE\n  2\n" + std::string(type) + "\n";
  for (std::string_view n : names) t += "  0\n" + std::string(type) + "\n  2\n" + std::string(n) + "\n";
  return t + "  0\nENDTAB\n";
}

Drawing WithLayers(std::initializer_list<std::string_view> names, TextEncoding encoding = TextEncoding::Utf8) {
  Drawing d = test::Parsed(test::WithEof(test::Section("TABLES", Table("LAYER", names))));
  d.dxf.encoding = encoding;
  return d;
}

TEST(NewLayer, NameProblems) {
  const Drawing utf8 = WithLayers({"0", "Wände", "HIDDEN", "слой", "Łódź", "Ölraum"});
  const Drawing ansi = WithLayers({"0", "W\xE4nde",
                                   "Stra\xDF"
                                   "e"},
                                  TextEncoding::Ansi);
  struct Row {
    const Drawing* d;
    const char* name;
    int problem;
  };
  const Row rows[] = {
      {&utf8, "", msg::NoLayerName},
      {&utf8, "   ", msg::NoLayerName},
      {&utf8, "\t ", msg::NoLayerName},
      {&utf8, "0", msg::LayerExists},
      {&utf8, "hidden", msg::LayerExists},
      {&utf8, "  Hidden ", msg::LayerExists},
      {&utf8, "WÄNDE", msg::LayerExists},  // letter case beyond ASCII
      {&utf8, "СЛОЙ", msg::LayerExists},
      {&utf8, "łÓDŹ", msg::LayerExists},
      {&utf8, "ölRAUM", msg::LayerExists},
      {&utf8, "Hidden2", 0},
      {&utf8, "Neue Ebene", 0},  // blanks inside are fine
      {&utf8, "Wand", 0},
      {&utf8, "слои", 0},
      {&utf8, "A/B", msg::BadLayerName},
      {&utf8, "a<b>", msg::BadLayerName},
      {&utf8, "x|y", msg::BadLayerName},
      {&utf8, "1,5", msg::BadLayerName},
      {&utf8, "Ebene*", msg::BadLayerName},
      {&utf8, "Zeile\nZwei", msg::BadLayerName},  // would split the document's line
      {&utf8, "Zeile\rZwei", msg::BadLayerName},
      {&utf8, "Tab\tInnen", msg::BadLayerName},
      {&utf8, "Next\u0085Line", msg::BadLayerName},  // a C1 control
      {&utf8, "hidden/", msg::BadLayerName},
      {&ansi, "wÄnde", msg::LayerExists},  // compared as shown, not as stored
      {&ansi, "STRASSE", 0},
      {&ansi, "€uro", 0},                 // the code page has it
      {&ansi, "Слой", msg::BadLayerName},  // the code page lacks it
  };
  for (const Row& r : rows) {
    EXPECT_EQ(NewLayerNameProblem(*r.d, r.name), r.problem) << '"' << r.name << '"';
  }
}

TEST(NewLayer, TheDialogOffersTheLineTypesALayerCanHave) {
  Drawing d = test::Parsed(test::WithEof(test::Section(
      "TABLES", Table("LTYPE", {"ByBlock", "ByLayer", "Continuous", "BYLAYER", "Strich\xB7Punkt", "DASHED"}))));
  d.dxf.encoding = TextEncoding::Ansi;
  NewLayerDialogValues v;
  v.Edit1 = "zuletzt";
  v.LineCombo = v.ColorComboBox = v.LineWeightBox = 3;
  ProposeNewLayer(d, v);
  EXPECT_EQ(v.linetypes, (std::vector<std::string>{"Continuous", "Strich·Punkt", "DASHED"}));
  EXPECT_EQ(v.Edit1, "zuletzt");
  EXPECT_EQ(v.LineCombo, 0);
  EXPECT_EQ(v.ColorComboBox, 0);
  EXPECT_EQ(v.LineWeightBox, 0);
}

// A drawing with three layers and two line types, in an editor.
class LayerManager : public ::testing::Test {
 protected:
  LayerManager() {
    const std::string layers =
        "  0\nTABLE\n  2\nLTYPE\n  0\nLTYPE\n  2\nCONTINUOUS\n  0\nLTYPE\n  2\nCENTER\n 73\n2\n 49\n1\n 49\n-0.5\n"
        "  0\nENDTAB\n  0\nTABLE\n  2\nLAYER\n"
        "  0\nLAYER\n  2\n0\n 70\n0\n 62\n7\n  6\nCONTINUOUS\n370\n-3\n"
        "  0\nLAYER\n  2\nLAYER1\n 70\n0\n 62\n3\n  6\nCONTINUOUS\n"
        "  0\nLAYER\n  2\nHIDDEN\n 70\n0\n 62\n-12\n  6\nCONTINUOUS\n370\n25\n  0\nENDTAB\n";
    editor.drawing.dxf.assign(test::WithEof(test::Section("HEADER", "  9\n$ACADVER\n  1\nAC1015\n") +
                                            test::Section("TABLES", layers) + test::Section("ENTITIES", "")));
    processdxf(editor.drawing);
    before = editor.drawing.dxf.join("\n");
  }
  std::string LayerGroup(std::string_view layer, std::string_view code) {
    const Drawing& d = editor.drawing;
    for (int n = 0, at; (at = test::GroupLine(d, "2", n)) >= 0; ++n) {
      if (d.value(at) != layer) continue;
      for (int i = at + 1; i + 1 < static_cast<int>(d.dxf.size()) && d.value(i) != "0"; i += 2)
        if (d.value(i) == code) return std::string(d.value(i + 1));
    }
    return "(none)";
  }
  test::FakePlatform platform;
  Editor editor{platform};
  std::string before;
};

TEST_F(LayerManager, TheRowsShowEachLayerAndWriteBackWhatChanged) {
  platform.layerDialog.answers.push_back({[](LayerDialogValues& v) {
    v.rows[1].Sichtbar = v.invisible;  // LAYER1 off
    v.rows[0].Gesperrt = v.locked;
    v.rows[0].Linienbreite = "0.5";
    v.rows[1].Linienbreite = "0.5";  // it has no weight line: stays as it is
    v.rows[2].Linienstil = "CENTER";
    v.rows[2].Farbe = v.colours[0];  // "Rot", still off
    v.current = 2;                   // "Aktuell" on HIDDEN
  }});
  editor.LayerBtnClick();
  const LayerDialogValues& shown = platform.layerDialog.shown.at(0);
  ASSERT_EQ(shown.rows.size(), 3u);
  EXPECT_EQ(shown.current, 0);  // no $CLAYER: the first layer
  EXPECT_EQ(editor.drawing.currentValue(current::Layer), "HIDDEN");
  EXPECT_EQ(shown.rows[2].Farbe, "12");
  EXPECT_EQ(shown.rows[2].Sichtbar, "Unsichtbar");
  EXPECT_EQ(shown.rows[0].Farbe, "Schwarz");  // colour 7
  EXPECT_EQ(shown.rows[1].Farbe, "Grün");
  EXPECT_EQ(shown.rows[0].Linienbreite, "-0.03");
  EXPECT_EQ(shown.rows[2].Linienbreite, "0.25");
  EXPECT_EQ(shown.linetypes, (std::vector<std::string>{"CONTINUOUS", "CENTER"}));
  EXPECT_EQ(LayerGroup("LAYER1", "62"), "-3");
  EXPECT_EQ(LayerGroup("0", "70"), "4");
  EXPECT_EQ(LayerGroup("0", "370"), "50");
  EXPECT_EQ(LayerGroup("LAYER1", "370"), "(none)");
  EXPECT_EQ(LayerGroup("HIDDEN", "6"), "CENTER");
  EXPECT_EQ(LayerGroup("HIDDEN", "62"), "-1");
  ASSERT_EQ(editor.undos.undos.size(), 1u);
  editor.Rckgngig1Click();
  EXPECT_EQ(editor.drawing.dxf.join("\n"), before);
}

TEST_F(LayerManager, ALookWithoutChangesOrCancelledChangesNothing) {
  // Closed with OK as it opened; then with changes, cancelled.
  platform.layerDialog.answers.push_back({});
  platform.layerDialog.answers.push_back({[](LayerDialogValues& v) { v.rows[0].Farbe = v.colours[1]; }, DialogResult::Cancel});
  for (int i = 0; i < 2; ++i) {
    editor.LayerBtnClick();
    EXPECT_EQ(editor.drawing.dxf.join("\n"), before);
    EXPECT_TRUE(editor.undos.undos.empty());
    EXPECT_FALSE(editor.file.changed);
  }
}

TEST_F(LayerManager, ANewLayerFromTheManager) {
  auto newLayer = [](LayerDialogValues& v) { v.newLayer = true; };
  platform.layerDialog.answers.push_back({newLayer});
  platform.newLayerDialog.answers.push_back({[](NewLayerDialogValues& v) { v.Edit1 = " layer1 "; }});
  editor.LayerBtnClick();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].nr, msg::LayerExists);
  EXPECT_EQ(editor.drawing.anzlayer, 3);
  platform.layerDialog.answers.push_back({newLayer});
  platform.newLayerDialog.answers.push_back({[](NewLayerDialogValues& v) {
    v.Edit1 = "Wände";
    v.LineCombo = 1;      // CENTER
    v.ColorComboBox = 4;  // "Blau"
    v.LineWeightBox = 7;  // 0.25 mm
  }});
  editor.LayerBtnClick();
  ASSERT_EQ(editor.drawing.anzlayer, 4);
  // An R2000 drawing is read in its code page: what lies beyond ASCII is
  // written as an escape.
  EXPECT_EQ(LayerGroup("W\\U+00E4nde", "62"), "5");
  EXPECT_EQ(LayerGroup("W\\U+00E4nde", "6"), "CENTER");
  EXPECT_EQ(LayerGroup("W\\U+00E4nde", "370"), "25");
}

// What the manager changes of a layer, its entries show at once; entries
// on a layer it makes find it.
TEST_F(LayerManager, EntriesFollowTheirLayers) {
  Drawing& d = editor.drawing;
  std::vector<std::string> lines;
  for (const char* layer : {"LAYER1", "NEW", "HIDDEN", "0"})
    lines.insert(lines.end(), {"  0", "LINE", "  8", layer, " 10", "0", " 20", "0", " 11", "1", " 21", "1"});
  d.dxf.insert(static_cast<std::size_t>(d.insertlinepos), lines);
  processdxf(d);
  ASSERT_EQ(d.anzpoly(), 4);
  platform.layerDialog.answers.push_back({[](LayerDialogValues& v) { v.rows[1].Gesperrt = v.locked; }});
  editor.LayerBtnClick();
  editor.AllesAuswhlen1Click();
  EXPECT_FALSE(d.polys[0].selected);  // on the layer locked now
  EXPECT_TRUE(d.polys[1].selected && d.polys[2].selected && d.polys[3].selected);
  EXPECT_FALSE(StyleTables(d).layer(d.polys[1]).found);
  platform.layerDialog.answers.push_back({[](LayerDialogValues& v) { v.newLayer = true; }});
  platform.newLayerDialog.answers.push_back({[](NewLayerDialogValues& v) {
    v.Edit1 = "NEW";
    v.ColorComboBox = 4;  // "Blau"
  }});
  editor.LayerBtnClick();
  ASSERT_EQ(d.anzlayer, 4);
  const StyleTables tables(d);
  const int colours[] = {3, 5, -12, 7};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(tables.layer(d.polys[i]).colornr, colours[i]) << i;
  EXPECT_TRUE(tables.layer(d.polys[0]).locked);
  EXPECT_TRUE(tables.layer(d.polys[2]).off);
}

TEST_F(LayerManager, ALineStyleIsCheckedThenAdded) {
  EXPECT_EQ(LineStylePattern("1,5\nx\n-0,5\n\n"), (std::vector<double>{1.5, -0.5}));
  struct Case {
    const char* name;
    const char* description;
    const char* memo;
    int message;  // 0: added
  } cases[] = {
      {"center", " Punkte ", "1\n-1", msg::LineTypeExists},
      {"   ", " Punkte ", "1\n-1", msg::NoLineTypeName},
      {"Leer", " Punkte ", "", msg::NoLengths},
      {"Leer", " Punkte ", "x\ny", msg::NoLengths},
      // Pasted with a line break, a name or description would split the
      // line of the file.
      {"Zeile\nZwei", " Punkte ", "1\n-1", msg::BadLineTypeName},
      {"Strich/Punkt", " Punkte ", "1\n-1", msg::BadLineTypeName},
      {"Punktiert", "Zeile\r\nZwei", "1\n-1", msg::ControlCharacter},
      {"Punktiert", "Tab\tInnen", "1\n-1", msg::ControlCharacter},
      {"Punktiert", " Punkte\n", "0\n-0,25", 0},  // blanks and breaks around it go
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform.messages.clear();
    platform.lineStyleDialog.answers.push_back({[&](LineStyleDialogValues& v) {
      v.Edit1 = c.name;
      v.Edit2 = c.description;
      v.Memo1 = c.memo;
    }});
    const std::int32_t types = editor.drawing.anzlt;
    editor.Linienstile1Click();
    EXPECT_EQ(platform.messages.empty() ? 0 : platform.messages[0].nr, c.message);
    EXPECT_EQ(editor.drawing.anzlt, types + (c.message == 0 ? 1 : 0));
  }
  const TLineType& added = editor.drawing.linetype[2];
  EXPECT_EQ(added.name, "Punktiert");
  EXPECT_EQ(added.desc, "Punkte");
  EXPECT_EQ(added.parts, (std::vector<float>{0, -0.25f}));
  // Cancelled: nothing.
  editor.Linienstile1Click();
  EXPECT_EQ(editor.drawing.anzlt, 3);
}

}  // namespace
}  // namespace vestrel
