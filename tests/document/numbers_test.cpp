// Reading values: group codes compared as text, integers, handles, reals.
#include "document/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <random>
#include <string>
#include <vector>

namespace vestrel {
namespace {

TEST(Numbers, TrimTakesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim("  8 \r\t"), "8");
  EXPECT_EQ(Trim(" \x01 "), "");
  EXPECT_EQ(Trim("\xE4 "), "\xE4");  // bytes above ASCII are text
}

TEST(Numbers, GroupCodesOnlyInTheirPlainForm) {
  EXPECT_EQ(GroupCode("0"), 0);
  EXPECT_EQ(GroupCode("8"), 8);
  EXPECT_EQ(GroupCode("1040"), 1040);
  for (const char* t : {"08", "+8", "-1", "8.0", "", "8a", "123456"}) EXPECT_EQ(GroupCode(t), kNoGroup) << t;
}

TEST(Numbers, Integers) {
  EXPECT_EQ(ParseInt("256"), 256);
  EXPECT_EQ(ParseInt("-3"), -3);
  EXPECT_EQ(ParseInt("+7"), 7);
  for (const char* t : {"", "1.5", "x", "+-1", "99999999999", "1 2"}) EXPECT_FALSE(ParseInt(t)) << t;
}

TEST(Numbers, Handles) {
  EXPECT_EQ(ParseHandle("1F"), 0x1Fu);
  EXPECT_EQ(ParseHandle("ff"), 0xFFu);
  EXPECT_EQ(ParseHandle("FFFFFFFFFFFFFFFF"), 0xFFFFFFFFFFFFFFFFull);
  EXPECT_EQ(ParseHandle("00000000000000000001F"), 0x1Fu);  // leading zeros are no overflow
  for (const char* t : {"", "-1", "G", "$1F", "10000000000000000"}) EXPECT_FALSE(ParseHandle(t)) << t;
}

TEST(Numbers, RealsUseThePointWhateverTheLocale) {
  EXPECT_DOUBLE_EQ(*ParseDouble("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(*ParseDouble("-0.25"), -0.25);
  EXPECT_DOUBLE_EQ(*ParseDouble("+2"), 2);
  EXPECT_DOUBLE_EQ(*ParseDouble(".5"), 0.5);
  EXPECT_DOUBLE_EQ(*ParseDouble("1e3"), 1000);
  EXPECT_DOUBLE_EQ(*ParseDouble("1.0E-02"), 0.01);
  for (const char* t : {"", "1,5", "inf", "nan", "-inf", "1e999", "abc", "1.5x", "--1"})
    EXPECT_FALSE(ParseDouble(t)) << t;
}

// Plain decimals take a shorter way than other reals: each must come out
// as the very double the general reading gives, on both sides of where
// the shorter way stops (digits a double cannot hold exactly, more than
// 22 after the point).
TEST(Numbers, RealsOfEveryFormReadAlike) {
  std::vector<std::string> texts = {"0", "-0", "0.1", "0.3", "5.", ".5", "-.5", "1.", "00012.500",
                                    "9007199254740992", "9007199254740993", "9007199254740993.5",
                                    "123456789012345678901234567890", "0.1234567890123456789012",
                                    "0.12345678901234567890123", "4503599627370497.5", "1e5", "2.5E-3"};
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    std::string t = random() % 2 ? "-" : "";
    const std::size_t digits = 1 + random() % 24, point = random() % (digits + 1);
    for (std::size_t k = 0; k < digits; ++k) {
      if (k == point) t += '.';
      t += static_cast<char>('0' + random() % 10);
    }
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    const std::string_view digits = t[0] == '-' ? std::string_view(t).substr(1) : std::string_view(t);
    double v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    const bool whole = ec == std::errc() && end == digits.data() + digits.size();
    const auto got = ParseDouble(t);
    ASSERT_EQ(got.has_value(), whole) << t;
    if (whole) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(*got), std::bit_cast<std::uint64_t>(t[0] == '-' ? -v : v)) << t;
    }
  }
}

}  // namespace
}  // namespace vestrel
