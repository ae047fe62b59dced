// What texts and dimensions show.
#include "view/texts.h"

#include <gtest/gtest.h>

#include "support/dxf_text.h"

namespace vestrel {
namespace {

TEST(Texts, FormattingCodesOfMultiLineTexts) {
  EXPECT_EQ(CleanText("{\\fArial|b1;Bold}\\Pline 2"), "Bold\r\nline 2");
  EXPECT_EQ(CleanText("a\\\\b"), "a\\b");
  EXPECT_EQ(CleanText("\\{x\\}\\~y"), "{x} y");
  EXPECT_EQ(CleanText("H\\H2.5x;och"), "Hoch");
  EXPECT_EQ(CleanText("offen\\"), "offen");  // a code cut off by the end
}

TEST(Texts, LinesAreDecodedFromTheDrawingsEncoding) {
  Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", "  0\nMTEXT\n 10\n0\n 20\n0\n  1\nStra\xDF" "e\\Pzwei\n")));
  d.dxf.encoding = TextEncoding::Ansi;
  EXPECT_EQ(TextLines(d, d.polys[0]), (std::vector<std::string>{"Stra\xC3\x9F" "e", "zwei"}));
}

TEST(Texts, DimensionTexts) {
  Drawing d = test::Parsed(test::WithEof(test::Section(
      "ENTITIES",
      "  0\nDIMENSION\n 70\n2\n 42\n1.5707963267949\n"
      "  0\nDIMENSION\n 70\n3\n 42\n12.5\n"
      "  0\nDIMENSION\n 70\n4\n 42\n3\n  1\n<> mm\n"
      "  0\nDIMENSION\n 70\n1\n 42\n3\n  1\n \n"
      "  0\nDIMENSION\n 70\n5\n 42\nabc\n")));
  auto text = [&](int i) { return DimensionText(d, d.polys[static_cast<std::size_t>(i)]); };
  EXPECT_EQ(text(0), "90.0000\xC2\xB0");
  EXPECT_EQ(text(1), "\xC3\x98" "12.5000");
  EXPECT_EQ(text(2), "R3.0000 mm");
  EXPECT_EQ(text(3), "3.0000");  // a blank is trimmed away: no text of its own
  EXPECT_EQ(text(4), "");       // no measurement that parses: nothing to show
}

}  // namespace
}  // namespace vestrel
