// The line list: how a file's bytes become lines and how splices change them.
#include "document/linelist.h"

#include <gtest/gtest.h>

namespace vestrel {
namespace {

std::vector<std::string> All(const LineList& l) { return l.copy(0, l.size()); }

TEST(LineListSplit, LineEndsOfEveryKind) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\n\n", {"", ""}},
      {"  0\r\nSECTION\nx\ry", {"  0", "SECTION", "x", "y"}},
  };
  for (const Case& c : cases) {
    LineList l;
    ASSERT_TRUE(l.assign(c.text));
    EXPECT_EQ(All(l), c.lines) << "text: " << c.text;
  }
}

TEST(LineListSplit, BytesAreKeptAsTheyAre) {
  const std::string odd = std::string("a\0b", 3) + "\xE4\xFF  \t\n";
  LineList l;
  ASSERT_TRUE(l.assign(odd));
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0], std::string_view(odd.data(), odd.size() - 1));
}

TEST(LineListSplice, InsertEraseReplaceAndJoin) {
  LineList l;
  l.assign("a\nb\nc\n");
  l.insert(1, std::vector<std::string>{"x", "y"});
  EXPECT_EQ(All(l), (std::vector<std::string>{"a", "x", "y", "b", "c"}));
  l.insert(5, "z");
  l.erase(0, 2);
  EXPECT_EQ(All(l), (std::vector<std::string>{"y", "b", "c", "z"}));
  l.replace(1, "B");
  l.replace(0, "");
  EXPECT_EQ(All(l), (std::vector<std::string>{"", "B", "c", "z"}));
  EXPECT_EQ(l.join("\r\n"), "\r\nB\r\nc\r\nz\r\n");

  // A copy stays what it was while the original changes.
  LineList before = l;
  l.replace(2, "changed");
  EXPECT_EQ(before[2], "c");
  EXPECT_EQ(l[2], "changed");
}

TEST(LineListSplice, ManyOverwritesKeepEveryLine) {
  LineList l;
  l.assign("0\n1\n2\n");
  for (int i = 0; i < 20000; ++i) l.replace(static_cast<std::size_t>(i % 3), std::to_string(i));
  EXPECT_EQ(All(l), (std::vector<std::string>{"19998", "19999", "19997"}));
}

}  // namespace
}  // namespace vestrel
