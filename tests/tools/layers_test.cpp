// A new layer: the line types its dialog offers, and the names it refuses.
#include "tools/layers.h"

#include <gtest/gtest.h>

#include "support/dxf_text.h"

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
      {&utf8, "", kMsgNoLayerName},
      {&utf8, "   ", kMsgNoLayerName},
      {&utf8, "\t ", kMsgNoLayerName},
      {&utf8, "0", kMsgLayerExists},
      {&utf8, "hidden", kMsgLayerExists},
      {&utf8, "  Hidden ", kMsgLayerExists},
      {&utf8, "WÄNDE", kMsgLayerExists},  // letter case beyond ASCII
      {&utf8, "СЛОЙ", kMsgLayerExists},
      {&utf8, "łÓDŹ", kMsgLayerExists},
      {&utf8, "ölRAUM", kMsgLayerExists},
      {&utf8, "Hidden2", 0},
      {&utf8, "Neue Ebene", 0},  // blanks inside are fine
      {&utf8, "Wand", 0},
      {&utf8, "слои", 0},
      {&utf8, "A/B", kMsgBadLayerName},
      {&utf8, "a<b>", kMsgBadLayerName},
      {&utf8, "x|y", kMsgBadLayerName},
      {&utf8, "1,5", kMsgBadLayerName},
      {&utf8, "Ebene*", kMsgBadLayerName},
      {&utf8, "Zeile\nZwei", kMsgBadLayerName},  // would split the document's line
      {&utf8, "Zeile\rZwei", kMsgBadLayerName},
      {&utf8, "Tab\tInnen", kMsgBadLayerName},
      {&utf8, "hidden/", kMsgBadLayerName},
      {&ansi, "wÄnde", kMsgLayerExists},  // compared as shown, not as stored
      {&ansi, "STRASSE", 0},
      {&ansi, "€uro", 0},                 // the code page has it
      {&ansi, "Слой", kMsgBadLayerName},  // the code page lacks it
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

}  // namespace
}  // namespace vestrel
