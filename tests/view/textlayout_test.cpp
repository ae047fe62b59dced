// Where texts go: alignment, fitting, width, mirroring, multi-line texts
// and their wrapping, inline codes, and bounds against hostile texts.
#include "view/textlayout.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "support/dxf_text.h"
#include "view/blocks.h"
#include "view/extents.h"

namespace vestrel {
namespace {

// Widths in capital heights, from the font: "H" and the descender.
constexpr double kH = 1479.0 / 1409, kDescent = 425.0 / 1409;
constexpr double kPitch = 5.0 / 3;  // baselines of a multi-line text, in capital heights

struct Box {
  double minx, miny, maxx, maxy;
};

// The world box of the only entry of a drawing with these entities.
Box WorldBox(const std::string& entities) {
  const Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", entities)));
  EXPECT_EQ(d.polys.size(), 1u);
  TextLayout l;
  std::array<Point3, 4> c;
  EXPECT_TRUE(TextCorners(d, d.polys[0], l, c));
  Box b{c[0].x, c[0].y, c[0].x, c[0].y};
  for (const Point3& q : c) {
    b.minx = std::min(b.minx, q.x), b.miny = std::min(b.miny, q.y);
    b.maxx = std::max(b.maxx, q.x), b.maxy = std::max(b.maxy, q.y);
  }
  return b;
}

// An entity's groups after `entity` and the box its text fills.
struct BoxCase {
  const char* what;
  std::string groups;
  Box box;
};
void ExpectBoxes(const std::string& entity, const std::vector<BoxCase>& cases) {
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Box b = WorldBox(entity + c.groups);
    EXPECT_NEAR(b.minx, c.box.minx, 1e-6);
    EXPECT_NEAR(b.miny, c.box.miny, 1e-6);
    EXPECT_NEAR(b.maxx, c.box.maxx, 1e-6);
    EXPECT_NEAR(b.maxy, c.box.maxy, 1e-6);
  }
}

TEST(TextLayout, SingleLineTextsAlignedOnTheirPoints) {
  // "HH", 10 high, inserted at (100, 50); the second point (200, 50).
  const double w = 2 * kH * 10, d = kDescent * 10;
  const std::string text = "  0\nTEXT\n 10\n100\n 20\n50\n 40\n10\n  1\nHH\n";
  const std::string second = " 11\n200\n 21\n50\n";
  ExpectBoxes(text, {
      {"left on the baseline", "", {100, 50 - d, 100 + w, 60}},
      {"centre", " 72\n1\n" + second, {200 - w / 2, 50 - d, 200 + w / 2, 60}},
      {"right", " 72\n2\n" + second, {200 - w, 50 - d, 200, 60}},
      {"middle", " 72\n4\n" + second, {200 - w / 2, 50 - (10 - d) / 2 - d, 200 + w / 2, 50 + (10 + d) / 2}},
      {"top right", " 72\n2\n 73\n3\n" + second, {200 - w, 40 - d, 200, 50}},
      {"bottom centre", " 72\n1\n 73\n1\n" + second, {200 - w / 2, 50, 200 + w / 2, 60 + d}},
      {"middle centre", " 72\n1\n 73\n2\n" + second, {200 - w / 2, 45 - d, 200 + w / 2, 55}},
      {"aligned: as high as wide", " 72\n3\n" + second, {100, 50 - d * 100 / w, 200, 50 + 10 * 100 / w}},
      {"fit: only wider", " 72\n5\n" + second, {100, 50 - d, 200, 60}},
      {"twice as wide", " 41\n2\n", {100, 50 - d, 100 + 2 * w, 60}},
      {"mirrored left to right", " 71\n2\n", {100 - w, 50 - d, 100, 60}},
      {"upside down", " 71\n4\n", {100, 40, 100 + w, 50 + d}},
      {"turned a quarter", " 50\n90\n", {90, 50, 100 + d, 50 + w}},
      {"right without a second point", " 72\n2\n", {100 - w, 50 - d, 100, 60}},
  });
}

TEST(TextLayout, MultiLineTextsHangFromTheirAttachment) {
  const double w = 2 * kH * 10, d = kDescent * 10;
  ExpectBoxes("  0\nMTEXT\n 10\n100\n 20\n50\n 40\n10\n", {
      {"top left", "  1\nHH\n", {100, 40 - d, 100 + w, 50}},
      {"middle centre: the block centred", " 71\n5\n  1\nHH\n", {100 - w / 2, 45 - d, 100 + w / 2, 55}},
      {"bottom right", " 71\n9\n  1\nHH\n", {100 - w, 50 - d, 100, 60}},
      {"bottom left, two lines", " 71\n7\n  1\nHH\\PH\n", {100, 50 - d, 100 + w, 60 + kPitch * 10}},
      {"line spacing twice", " 44\n2\n  1\nH\\PHH\n", {100, 40 - 2 * kPitch * 10 - d, 100 + w, 50}},
      {"centred in its box", " 71\n2\n 41\n100\n  1\nHH\n", {100 - w / 2, 40 - d, 100 + w / 2, 50}},
      {"paragraph codes passed over", " 71\n1\n 41\n100\n  1\n\\pqr;HH\n", {100, 40 - d, 100 + w, 50}},
  });
}

TEST(TextLayout, MultiLineTextsWrapAtWordsWithinTheirWidth) {
  const double a = 1139.0 / 1409, blank = 569.0 / 1409;  // "a" and " ", 1 high
  const double two = 6 * a + blank;                        // "aaa aaa"
  struct Case {
    const char* what;
    const char* text;
    double width;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"two words a line", "aaa aaa aaa aaa", two + 0.1, {"aaa aaa ", "aaa aaa"}},
      {"a word alone", "aaa aaa aaa", two - 0.1, {"aaa ", "aaa ", "aaa"}},
      {"too long a word stays whole", "aaaaaaaaaaaaaaaaaa aaa", two, {"aaaaaaaaaaaaaaaaaa ", "aaa"}},
      {"no wrapping without a width", "aaa aaa aaa aaa", 0, {"aaa aaa aaa aaa"}},
      {"paragraphs first", "aaa\\Paaa aaa aaa", two + 0.1, {"aaa", "aaa aaa ", "aaa"}},
      {"across styles", "aaa {\\H1;aaa} aaa", two + 0.1, {"aaa aaa ", "aaa"}},
      {"a blank that does not break", "aaa\\~aaa aaa", two + 0.1, {"aaa aaa ", "aaa"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TextParams s;
    s.height = 1, s.mtext = true, s.boxWidth = c.width;
    TextLayout l;
    LayOutText(c.text, s, l);
    ASSERT_EQ(l.lines.size(), c.lines.size());
    for (std::size_t k = 0; k < l.lines.size(); ++k) {
      std::string shown;
      const std::size_t end = k + 1 < l.lines.size() ? l.lines[k + 1].firstRun : l.runs.size();
      for (std::size_t i = l.lines[k].firstRun; i < end; ++i) {
        shown += l.text(l.runs[i]);
        EXPECT_DOUBLE_EQ(l.runs[i].y, l.lines[k].baseline);
      }
      EXPECT_EQ(shown, c.lines[k]);
      EXPECT_NEAR(l.lines[k].baseline, -1 - kPitch * static_cast<double>(k), 1e-9);
    }
  }
  // A line is as wide as its letters: blanks where it breaks do not count.
  TextParams s;
  s.height = 1, s.mtext = true, s.boxWidth = two + 0.1;
  TextLayout l;
  LayOutText("aaa aaa aaa", s, l);
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_NEAR(l.lines[0].width, two, 1e-12);
}

TEST(TextLayout, InlineCodesChangeTheRunsTheyReach) {
  TextParams s;
  s.height = 2, s.mtext = true;
  TextLayout l;
  LayOutText("a{\\H2x;\\W0.5;\\Q20;\\T2;\\C1;\\Lb}c\\c255;d", s, l);
  ASSERT_EQ(l.runs.size(), 4u);
  const TextRun& b = l.runs[1];
  EXPECT_EQ(l.text(b), "b");
  EXPECT_DOUBLE_EQ(b.height, 4);
  EXPECT_DOUBLE_EQ(b.widthFactor, 0.5);
  EXPECT_DOUBLE_EQ(b.oblique, 20);
  EXPECT_DOUBLE_EQ(b.width, 1139.0 / 1409 * 4 * 0.5 * 2);
  EXPECT_EQ(b.aci, 1);
  EXPECT_EQ(b.lines, kUnderline);
  // After the group: the text's own style again; then red as an RGB.
  EXPECT_DOUBLE_EQ(l.runs[2].height, 2);
  EXPECT_EQ(l.runs[2].aci, -1);
  EXPECT_EQ(l.runs[3].rgb, 0xFF0000);
  // The underline runs below "b" and the line is as high as its highest.
  ASSERT_EQ(l.strokes.size(), 1u);
  EXPECT_LT(l.strokes[0].y0, b.y);
  EXPECT_DOUBLE_EQ(l.lines[0].baseline, -4);

  // A fraction: the numerator above the bar above the denominator.
  LayOutText("1\\S3/16;", s, l);
  ASSERT_EQ(l.runs.size(), 4u);
  ASSERT_EQ(l.strokes.size(), 1u);
  EXPECT_GT(l.runs[1].y, l.strokes[0].y0);
  EXPECT_LT(l.runs[3].y + l.runs[3].height, l.strokes[0].y0);
  EXPECT_NEAR(l.strokes[0].x1 - l.strokes[0].x0, l.runs[3].width, 1e-12);  // as wide as "16"
}

TEST(TextLayout, HostileTextsCostLittle) {
  struct Case {
    const char* what;
    std::string text;
    double boxWidth;
  };
  std::string words;
  for (int i = 0; i < 200000; ++i) words += "a ";
  const Case cases[] = {
      {"10 MB of letters", std::string(10 << 20, 'x'), 0},
      {"10 MB of codes", [] {
         std::string s;
         while (s.size() < (10 << 20)) s += "\\H2x;\\S1/2;{\\C3;%%c";
         return s;
       }(), 0},
      {"a huge height", "\\H1e300;A\\H1e300x;B\\H-1e308;C\\W1e300;D\\T1e300;E", 0},
      {"a tiny wrap width", words, 1e-300},
      {"braces nested deeply", std::string(100000, '{') + "\\H2x;x" + std::string(200000, '}') + "y", 0},
      {"a fraction without end", "\\S" + std::string(5 << 20, '/'), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TextParams s;
    s.height = 1, s.mtext = true, s.boxWidth = c.boxWidth;
    TextLayout l;
    const auto start = std::chrono::steady_clock::now();
    LayOutText(c.text, s, l);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2);
    EXPECT_LE(l.chars.size(), std::size_t{1} << 18);
    EXPECT_LE(l.runs.size(), std::size_t{1} << 18);
    for (const double v : {l.minx, l.miny, l.maxx, l.maxy}) EXPECT_TRUE(std::isfinite(v));
    for (const TextRun& r : l.runs) EXPECT_LE(r.height, 1e4);
  }
  // Nothing a text entry says makes its box infinite.
  const Drawing d = test::Parsed(test::WithEof(test::Section(
      "ENTITIES", "  0\nTEXT\n 10\n0\n 20\n0\n 40\n1e300\n 41\n1e300\n  1\nWWWW\n"
                  "  0\nMTEXT\n 10\n0\n 20\n0\n 40\n-0\n 41\n-5\n 44\n1e300\n 71\n99\n  1\nx\\Px\n")));
  Blocks blocks(d);
  for (const tpoly& p : d.polys) {
    const Box3 b = DrawnBox(d, p, blocks);
    for (const double v : {b.minx, b.miny, b.maxx, b.maxy}) EXPECT_TRUE(std::isfinite(v));
  }
}

// Bytes that are not UTF-8 show as U+FFFD, one for each byte: stray and
// impossible bytes, a tail cut short, overlong forms, surrogates.
TEST(TextLayout, WhatIsNotUtf8ShowsAsReplacementCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  const struct {
    std::string text;
    int replaced;
  } cases[] = {{"\x80", 1}, {"\xFF", 1}, {"\xE2\x82", 2}, {"\xC0\x80", 2}, {"\xE0\x80\x80", 3},
               {"\xF4\x90\x80\x80", 4}, {"\xED\xA0\x80", 3}};
  for (const auto& c : cases) {
    std::string shown;
    for (int k = 0; k < c.replaced; ++k) shown += fffd;
    EXPECT_EQ(TextWidth("a" + c.text + "b"), TextWidth("a" + shown + "b")) << testing::PrintToString(c.text);
    TextParams s;
    s.height = 1;
    TextLayout l;
    LayOutText("a" + c.text + "b", s, l);
    EXPECT_EQ(l.chars, "a" + shown + "b") << testing::PrintToString(c.text);
  }
}

// What the renderer leaves out unread must really be out of reach.
TEST(TextLayout, TheReachOfATextHoldsItsBox) {
  const char* const entities[] = {
      "  0\nTEXT\n 10\n5\n 20\n5\n 40\n2\n  1\nWWW%%c\n 72\n2\n 73\n3\n 11\n-50\n 21\n30\n",
      "  0\nTEXT\n 10\n5\n 20\n5\n 40\n2\n  1\nlll\n 51\n80\n 41\n3\n 71\n6\n",
      "  0\nTEXT\n 10\n5\n 20\n5\n  1\n\t\t.\n",
      "  0\nMTEXT\n 10\n5\n 20\n5\n 40\n1\n 71\n9\n  1\nx{\\H3x;\\H2x;W}\\H5;\\W3x;\\W4x;\\T2;W\\Q80;l\n",
      "  0\nMTEXT\n 10\n5\n 20\n5\n 40\n1\n 71\n5\n 41\n0.1\n 44\n4\n  1\nW W W\\P\\P\\S1/2;\\S1#2;^I^Iw\n",
      "  0\nMTEXT\n 10\n5\n 20\n5\n 40\n1\n 71\n3\n 41\n50\n  1\n\\~\\~\\~a\n",
  };
  for (const char* e : entities) {
    SCOPED_TRACE(e);
    const Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", e)));
    TextLayout l;
    std::array<Point3, 4> c;
    ASSERT_TRUE(TextCorners(d, d.polys[0], l, c));
    const double reach = TextReach(d, d.polys[0]);
    for (const Point3& q : c) EXPECT_LE(std::hypot(q.x - 5, q.y - 5), reach);
  }
}

TEST(TextLayout, ExtentsHoldWholeTexts) {
  // A text whose letters reach past its insertion point on every side.
  const Drawing d = test::Parsed(test::WithEof(test::Section(
      "ENTITIES", "  0\nTEXT\n 10\n0\n 20\n0\n 40\n10\n 72\n1\n 73\n2\n 11\n0\n 21\n0\n  1\nHHHHHHHHHH\n")));
  const auto e = DrawnExtents(d, 0);
  ASSERT_TRUE(e);
  EXPECT_NEAR(e->minx, -5 * kH * 10, 1e-9);
  EXPECT_NEAR(e->maxx, 5 * kH * 10, 1e-9);
  EXPECT_NEAR(e->miny, -5 - kDescent * 10, 1e-9);
  EXPECT_NEAR(e->maxy, 5, 1e-9);
}

}  // namespace
}  // namespace vestrel
