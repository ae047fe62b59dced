// What texts and dimensions show.
#include "view/texts.h"

#include <gtest/gtest.h>

#include "support/dxf_text.h"
#include "view/textlayout.h"

namespace vestrel {
namespace {

// What a text shows, codes interpreted: multi-line formatting codes,
// special characters of all texts.
TEST(Texts, FormattingCodesAndSpecialCharacters) {
  struct Case {
    const char* text;
    bool mtext;
    const char* shown;
  };
  const Case cases[] = {
      {"{\\fArial|b1;Bold}\\Pline 2", true, "Bold\nline 2"},
      {"a\\\\b", true, "a\\b"},
      {"\\{x\\}\\~y", true, "{x} y"},
      {"H\\H2.5x;och", true, "Hoch"},
      {"offen\\", true, "offen"},  // a code cut off by the end
      {"\\W0.8;\\T1.2;\\Q15;\\C1;\\c255;\\A1;\\pxqc,i1;\\Fgdt;x\\H3;y", true, "xy"},
      {"\\Lunder\\l \\Oover\\o \\Kstrike\\k", true, "under over strike"},
      {"a\\Nb\\Xc^Jd", true, "a\nb\nc\nd"},
      {"x\\S1/2;y\\S3#4;z\\S+0.1^-0.2;", true, "x1/2y3/4z+0.1/-0.2"},
      {"\\S1\\/2/3;", true, "1/2/3"},  // an escaped slash is no stacking
      {"\\Z1 {}{{a}}}", true, "\\Z1 a"},  // a code we do not know stands as it is
      {"%%c20 %%d %%p0.1 %%% 100%", false, "\xC3\x98" "20 \xC2\xB0 \xC2\xB1" "0.1 % 100%"},
      {"%%C %%D %%P", true, "\xC3\x98 \xC2\xB0 \xC2\xB1"},
      {"%%uunder%%u %%oover%%O %%kstrike", false, "under over strike"},
      {"%%0651 %%176 %%", false, "A1 \xC2\xB0 %%"},
      {"\\P {} stay in a single-line text", false, "\\P {} stay in a single-line text"},
      {"tab^Iand^ caret", false, "taband^caret"},
  };
  for (const Case& c : cases) EXPECT_EQ(PlainText(c.text, c.mtext), c.shown) << c.text;
}

TEST(Texts, LinesAreDecodedFromTheDrawingsEncoding) {
  Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", "  0\nMTEXT\n 10\n0\n 20\n0\n  1\nStra\xDF" "e\\Pzwei \\U+4E2D\n")));
  d.dxf.encoding = TextEncoding::Ansi;
  TextLayout l;
  LayOutText(d, d.polys[0], l);
  ASSERT_EQ(l.lines.size(), 2u);
  ASSERT_EQ(l.runs.size(), 2u);
  EXPECT_EQ(l.text(l.runs[0]), "Stra\xC3\x9F" "e");
  EXPECT_EQ(l.text(l.runs[1]), "zwei \xE4\xB8\xAD");
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
