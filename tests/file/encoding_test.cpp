// Encodings: what the byte-order mark or the bytes say, and the way back.
#include "file/encoding.h"

#include <gtest/gtest.h>

namespace vestrel {
namespace {

TEST(Encoding, TheFileSaysHowItIsWritten) {
  auto enc = [](std::string bytes) { return DecodeFileBytes(std::move(bytes))->encoding; };
  EXPECT_EQ(enc("  0\nSECTION\n"), TextEncoding::Utf8);
  EXPECT_EQ(enc("Stra\xC3\x9F" "e"), TextEncoding::Utf8);
  EXPECT_EQ(enc("Stra\xDF" "e"), TextEncoding::Ansi);           // code page 1252
  EXPECT_EQ(enc("\xC0\x80"), TextEncoding::Ansi);               // overlong: not UTF-8
  EXPECT_EQ(enc("\xED\xA0\x80"), TextEncoding::Ansi);           // a surrogate: not UTF-8
  EXPECT_EQ(enc("\xEF\xBB\xBF" "abc"), TextEncoding::Utf8Bom);
  EXPECT_EQ(enc(std::string("\xFF\xFE" "a\0", 4)), TextEncoding::Utf16LE);
  EXPECT_EQ(enc(std::string("\xFE\xFF\0a", 4)), TextEncoding::Utf16BE);
  EXPECT_FALSE(DecodeFileBytes("\xFF\xFE" "a"));  // half a character
}

// The one UTF-8 decoder: what it takes and what it refuses, without moving.
TEST(Encoding, NextCodePointRefusesWhatIsNotUtf8) {
  const struct {
    std::string_view bytes;
    std::int32_t cp;  // -1: refused
    std::size_t length;
  } cases[] = {
      {"a", 'a', 1},
      {"\xC3\xA4", 0xE4, 2},
      {"\xE2\x82\xAC", 0x20AC, 3},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
      {"\x80", -1, 0},              // a continuation byte alone
      {"\xFF", -1, 0},              // begins nothing
      {"\xC3" "a", -1, 0},          // the continuation missing
      {"\xE2\x82", -1, 0},         // cut off by the end
      {"\xC0\x80", -1, 0},         // overlong, two bytes
      {"\xE0\x80\x80", -1, 0},     // overlong, three bytes
      {"\xF0\x80\x80\x80", -1, 0}, // overlong, four bytes
      {"\xF4\x90\x80\x80", -1, 0}, // beyond U+10FFFF
      {"\xED\xA0\x80", -1, 0},     // a surrogate
  };
  for (const auto& c : cases) {
    std::size_t i = 0;
    EXPECT_EQ(NextCodePoint(c.bytes, i), c.cp) << testing::PrintToString(c.bytes);
    EXPECT_EQ(i, c.length) << testing::PrintToString(c.bytes);
  }
  // The unpaired halves a UTF-16 file leaves are taken where asked for.
  std::size_t i = 0;
  EXPECT_EQ(NextCodePoint("\xED\xA0\x80", i, true), 0xD800);
  EXPECT_EQ(i, 3u);
}

TEST(Encoding, EveryEncodingGoesBackByteForByte) {
  const std::string samples[] = {
      "plain\r\nascii\r\n",
      "\xEF\xBB\xBF" "mit BOM \xC3\xA4\r\n",
      "Ma\xDF \x80 \x81\r\n",
      std::string("\xFF\xFE" "a\0\r\0\n\0\x3D\xD8\x00\xDE\x00\xD8x\0", 16),  // a pair, then a lone half
      std::string("\xFE\xFF\0a\0\r\0\n\x20\xAC", 10),
  };
  for (const std::string& bytes : samples) {
    auto decoded = DecodeFileBytes(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(EncodeFileBytes(decoded->text, decoded->encoding), bytes);
  }
}

TEST(Encoding, NamesAndTextsForShowingAndForTheFile) {
  EXPECT_EQ(DecodeUnicode("Ma\xDF \x80", TextEncoding::Ansi), "Ma\xC3\x9F \xE2\x82\xAC");
  EXPECT_EQ(EncodeUnicode("Ma\xC3\x9F \xE2\x82\xAC", TextEncoding::Ansi), "Ma\xDF \x80");
  EXPECT_EQ(EncodeUnicode("\xE4\xB8\xAD", TextEncoding::Ansi), "\\U+4E2D");  // not in the code page: escaped
  EXPECT_EQ(EncodeUnicode("\xE4\xB8\xAD\xC3\xA4\xE2\x82\xAC", TextEncoding::Ansi), "\\U+4E2D\xE4\x80");
  EXPECT_EQ(EncodeUnicode("\xF0\x9F\x98\x80", TextEncoding::Ansi), "\\U+D83D\\U+DE00");  // beyond U+FFFF: a pair
  // Older drawings that look like UTF-8 are read by others in their code
  // page: all beyond ASCII is escaped there; a byte-order mark says UTF-8.
  EXPECT_EQ(EncodeUnicode("a\xC3\xA4", TextEncoding::Utf8, 1015), "a\\U+00E4");
  EXPECT_EQ(EncodeUnicode("\xC3\xA4", TextEncoding::Utf8, 1021), "\xC3\xA4");
  EXPECT_EQ(EncodeUnicode("\xC3\xA4", TextEncoding::Utf8Bom, 1015), "\xC3\xA4");
  EXPECT_EQ(EncodeUnicode("\xC3\xA4\xE4\xB8\xAD", TextEncoding::Ansi, 1015), "\xE4\\U+4E2D");
  // Escapes read back as what was typed.
  EXPECT_EQ(DecodeUnicode(EncodeUnicode("\xF0\x9F\x98\x80\xE4\xB8\xAD", TextEncoding::Ansi), TextEncoding::Ansi),
            "\xF0\x9F\x98\x80\xE4\xB8\xAD");
  EXPECT_EQ(DecodeUnicode("\xC3\xA4", TextEncoding::Utf8), "\xC3\xA4");
  EXPECT_EQ(DecodeUnicode("a\xFF" "b", TextEncoding::Utf8), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(EncodeUnicode("\xC3\xA4", TextEncoding::Utf16LE), "\xC3\xA4");  // held as UTF-8
  // Escapes of what a code page lacks, in any encoding; a pair of them beyond
  // the first 65536; what is no escape stays.
  EXPECT_EQ(DecodeUnicode("\\U+4E2D\\U+00e4 \xE4", TextEncoding::Ansi), "\xE4\xB8\xAD\xC3\xA4 \xC3\xA4");
  EXPECT_EQ(DecodeUnicode("\\U+D83D\\U+DE00", TextEncoding::Utf8), "\xF0\x9F\x98\x80");
  EXPECT_EQ(DecodeUnicode("\\U+D83D \\U+0000", TextEncoding::Utf8), "\xEF\xBF\xBD \xEF\xBF\xBD");
  EXPECT_EQ(DecodeUnicode("\\U+12G4 \\U+12", TextEncoding::Utf8), "\\U+12G4 \\U+12");
}

TEST(Encoding, ControlCharactersInCaretNotationAndBack) {
  std::string typed(1, '\0');
  for (int c = 1; c < 0x7F; ++c) typed += static_cast<char>(c);
  typed += "^^ ^\xC3\xA4";
  const std::string written = CaretEncoded(typed);
  EXPECT_FALSE(HasControlCharacter(written));
  EXPECT_EQ(CaretDecoded(written), typed);
  EXPECT_TRUE(HasControlCharacter(CaretEncoded("\x7F")));  // DEL and C1 have no notation
  EXPECT_TRUE(HasControlCharacter("a\xC2\x85"));
  EXPECT_FALSE(HasControlCharacter("\xC3\xA4\xE2\x80\xA8"));  // beyond C1, none
  EXPECT_EQ(CaretDecoded("^a^?^"), "^a^?^");  // no notation: as it stands
}

}  // namespace
}  // namespace vestrel
