// The line list: how a file's bytes become lines and how splices change them.
#include "document/linelist.h"

#include <gtest/gtest.h>

#include <random>

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

// The lines of `t` split one byte at a time.
std::vector<std::string> Bytewise(const std::string& t) {
  std::vector<std::string> out;
  std::string line;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '\r' && t[i] != '\n') {
      line += t[i];
      continue;
    }
    out.push_back(line);
    line.clear();
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

// The split looks at several bytes at once: line ends at every place
// within and across those steps, against splitting one byte at a time.
TEST(LineListSplit, EveryPlaceOfEveryLineEnd) {
  std::uint32_t seed = 12345;
  for (int round = 0; round < 3000; ++round) {
    seed = seed * 1664525u + 1013904223u;
    std::string text;
    const std::size_t length = (seed >> 8) % 40;
    const char* alphabet = round % 2 ? "ab\n" : "a\r\n\x8A\r";  // LF only, or all kinds
    for (std::size_t i = 0; i < length; ++i) {
      seed = seed * 1664525u + 1013904223u;
      text += alphabet[(seed >> 16) % (round % 2 ? 3 : 5)];
    }
    LineList l;
    ASSERT_TRUE(l.assign(text));
    ASSERT_EQ(All(l), Bytewise(text)) << "text: " << ::testing::PrintToString(text);
  }
}

// A large text is split in parts, cut after a LF near its middle: line ends
// of every kind there, and a text with no LF after its middle.
TEST(LineListSplit, ALargeTextAsOneByteAtATime) {
  const std::string filler(90, 'x');
  const char* const middles[] = {"\r\n\r\n", "\n\n", "\r\r\n\r", "\n\r", "\r", "y\r\nz\n"};
  for (const char* middle : middles) {
    for (const char* end : {"\n", "\r\n", "\r"}) {
      std::string text;
      while (text.size() < (std::size_t{9} << 20) / 2) text += filler + end;
      text += middle;
      while (text.size() < (std::size_t{9} << 20)) text += filler + end;
      text += "last";
      LineList l;
      ASSERT_TRUE(l.assign(text));
      ASSERT_EQ(All(l), Bytewise(text)) << ::testing::PrintToString(middle) << ::testing::PrintToString(end);
    }
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
  // Shorter ones take the room of the line they replace, longer ones not;
  // a copy keeps its own.
  std::vector<std::string> lines = All(l);
  const LineList copy = l;
  std::mt19937 random(3);
  for (int i = 0; i < 20000; ++i) {
    const std::size_t at = random() % 3;
    lines[at].assign(random() % 12, static_cast<char>('a' + i % 26));
    l.replace(at, lines[at]);
  }
  EXPECT_EQ(All(l), lines);
  EXPECT_EQ(All(copy), (std::vector<std::string>{"19998", "19999", "19997"}));
}

// Splices made together in one pass give the lines, and the changes since
// the parse, that the same splices made one by one from the last give.
TEST(LineListSplice, ManyInOnePassAsOneByOneFromTheLast) {
  std::mt19937 random(5);
  auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += std::to_string(i) + "\n";
    LineList together, alone;
    together.assign(text);
    together.forgetChanges();
    alone = together;
    // Ascending places, some of them the same, taking out lines apart.
    std::vector<std::vector<std::string>> texts(below(8) + 1);
    std::vector<LineList::Splice> splices;
    std::size_t at = 0;
    for (std::size_t k = 0; k < texts.size(); ++k) {
      at += below(3) == 0 ? 0 : below(8);
      if (at > together.size()) break;
      const std::size_t erase = std::min(below(3), together.size() - at);
      texts[k].assign(below(3), "r" + std::to_string(round) + "." + std::to_string(k));
      splices.push_back({at, erase, below(4) == 0 ? nullptr : &texts[k]});
      at += erase;
    }
    together.splice(splices);
    for (auto s = splices.rbegin(); s != splices.rend(); ++s) {
      alone.erase(s->at, s->erase);
      if (s->lines) alone.insert(s->at, *s->lines);
    }
    ASSERT_EQ(All(together), All(alone)) << "round " << round;
    const auto& a = together.changes().runs();
    const auto& b = alone.changes().runs();
    ASSERT_EQ(a.size(), b.size()) << "round " << round;
    for (std::size_t i = 0; i < a.size(); ++i)
      EXPECT_EQ(std::tie(a[i].start, a[i].count, a[i].oldStart, a[i].oldCount),
                std::tie(b[i].start, b[i].count, b[i].oldStart, b[i].oldCount))
          << "round " << round << ", run " << i;
  }
}

// What the splices since the last parse changed: each run as it stands and
// the lines it replaced; lines elsewhere map both ways.
TEST(LineListChanges, RunsOfTheSplicesSinceTheParse) {
  using Run = LineChanges::Run;
  struct Splice {
    std::size_t at, erased, inserted;
  };
  struct Case {
    const char* what;
    std::vector<Splice> splices;
    std::vector<Run> runs;  // start, count, oldStart, oldCount
    std::vector<std::pair<std::int32_t, std::int32_t>> moved;  // old line, line now
  };
  const Case cases[] = {
      {"an overwrite", {{10, 1, 1}}, {{10, 1, 10, 1}}, {{9, 9}, {11, 11}}},
      {"an insertion and a far overwrite", {{5, 0, 3}, {30, 1, 1}}, {{5, 3, 5, 0}, {30, 1, 27, 1}}, {{5, 8}, {20, 23}, {40, 43}}},
      {"a deletion and an overwrite near it, joined", {{4, 2, 0}, {8, 1, 1}}, {{4, 5, 4, 7}}, {{3, 3}, {11, 9}}},
      {"an overwrite, then lines inserted before it", {{50, 1, 1}, {10, 0, 2}}, {{10, 2, 10, 0}, {52, 1, 50, 1}}, {{30, 32}}},
      {"inserted lines taken out again", {{20, 0, 4}, {20, 4, 0}}, {{20, 0, 20, 0}}, {{25, 25}}},
  };
  for (const Case& c : cases) {
    LineList l;
    l.assign(std::string(100, '\n'));
    l.forgetChanges();
    for (const Splice& s : c.splices) {
      if (s.erased) l.erase(s.at, s.erased);
      if (s.inserted) l.insert(s.at, std::vector<std::string>(s.inserted, "x"));
    }
    const LineChanges& ch = l.changes();
    ASSERT_FALSE(ch.all()) << c.what;
    ASSERT_EQ(ch.runs().size(), c.runs.size()) << c.what;
    for (std::size_t i = 0; i < c.runs.size(); ++i) {
      const Run& r = ch.runs()[i];
      EXPECT_EQ(std::tie(r.start, r.count, r.oldStart, r.oldCount),
                std::tie(c.runs[i].start, c.runs[i].count, c.runs[i].oldStart, c.runs[i].oldCount))
          << c.what << ", run " << i;
    }
    for (const auto& [old, now] : c.moved) {
      EXPECT_EQ(ch.toNew(old), now) << c.what;
      EXPECT_EQ(ch.toOld(now), old) << c.what;
    }
  }
}

TEST(LineListChanges, ANewTextOrTooManyRunsChangeEverything) {
  LineList l;
  EXPECT_TRUE(l.changes().all());  // never parsed
  l.assign(std::string(100000, '\n'));
  EXPECT_TRUE(l.changes().all());
  l.forgetChanges();
  EXPECT_FALSE(l.changes().all());
  for (std::size_t i = 0; i <= LineChanges::kMostRuns; ++i) l.replace(i * 20, "x");
  EXPECT_TRUE(l.changes().all());
  EXPECT_TRUE(l.changes().runs().empty());

}

// What was parsed from a list knows it by its identity: a copy is another
// list, a moved list is the same.
TEST(LineListChanges, AMovedListIsTheSameListACopyAnother) {
  LineList a;
  a.assign("a\nb\n");
  const std::uint64_t first = a.identity();
  const LineList copy = a;
  EXPECT_NE(copy.identity(), first);
  LineList moved = std::move(a);
  EXPECT_EQ(moved.identity(), first);
  EXPECT_NE(a.identity(), first);
  LineList assigned;
  assigned = copy;
  EXPECT_NE(assigned.identity(), copy.identity());
  assigned = std::move(moved);
  EXPECT_EQ(assigned.identity(), first);
}

}  // namespace
}  // namespace vestrel
