// Reading values: group codes compared as text, integers, handles, reals.
#include "document/numbers.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vestrel
