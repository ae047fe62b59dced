// The undo journal: each kind of splice, how a step is played backwards,
// and what undo and redo over and over cost.
#include "document/journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "support/sanitized.h"

namespace vestrel {
namespace {

using Lines = std::vector<std::string>;

LineList Doc(const std::string& text) {
  LineList l;
  l.assign(text);
  return l;
}

Lines All(const LineList& l) { return l.copy(0, l.size()); }

TEST(Journal, InsertionsComeOutAgain) {
  LineList d = Doc("a\nb\nc\n");
  Journal j;
  ChangeStep step(j, d);
  step.insert(1, {"x", "y"});
  step.insert(0, {"z"});
  EXPECT_EQ(All(d), (Lines{"z", "a", "x", "y", "b", "c"}));
  ASSERT_TRUE(UndoLastStep(j, d));
  EXPECT_EQ(All(d), (Lines{"a", "b", "c"}));
  EXPECT_TRUE(j.undos.empty());
  EXPECT_FALSE(UndoLastStep(j, d));  // nothing to take back
}

TEST(Journal, InsertionsInOnePassAsOneByOneAndOutAgain) {
  LineList d = Doc("a\nb\nc\n");
  const Lines x{"x"}, yz{"y", "z"}, w{"w"}, v{"v"};
  Journal j;
  ChangeStep step(j, d);
  step.overwrite(1, "B");
  // At one place in the order given; at the end too.
  step.insert({{1, &x}, {3, &w}, {1, &yz}, {0, &v}});
  EXPECT_EQ(All(d), (Lines{"v", "a", "x", "y", "z", "B", "c", "w"}));
  ASSERT_TRUE(UndoLastStep(j, d));
  EXPECT_EQ(All(d), (Lines{"a", "b", "c"}));
}

TEST(Journal, StepsOfInsertionsInOnePassAsOneAfterAnother) {
  const Lines x{"x"}, yz{"y", "z"}, w{"w"};
  LineList d = Doc("a\nb\nc\n");
  Journal j;
  // Every place names the lines as they were before the first step.
  InsertSteps(j, d, {{{1, &x}, {3, &w}}, {{1, &yz}}, {{0, &w}, {3, &x}}});
  EXPECT_EQ(All(d), (Lines{"w", "a", "x", "y", "z", "b", "c", "w", "x"}));
  // The same steps one after another, each at the places as they stand
  // after those before it.
  LineList one = Doc("a\nb\nc\n");
  Journal k;
  ChangeStep(k, one).insert({{1, &x}, {3, &w}});
  ChangeStep(k, one).insert({{2, &yz}});
  ChangeStep(k, one).insert({{0, &w}, {7, &x}});
  ASSERT_EQ(All(one), All(d));
  ASSERT_EQ(j.undos.size(), k.undos.size());
  for (std::size_t s = 0; s < k.undos.size(); ++s) {
    ASSERT_EQ(j.undos[s].actions.size(), k.undos[s].actions.size());
    for (std::size_t a = 0; a < k.undos[s].actions.size(); ++a) {
      EXPECT_EQ(j.undos[s].actions[a].start, k.undos[s].actions[a].start) << s << " " << a;
      EXPECT_EQ(j.undos[s].actions[a].len, k.undos[s].actions[a].len) << s << " " << a;
    }
  }
  while (UndoLastStep(k, one)) {
    ASSERT_TRUE(UndoLastStep(j, d));
    EXPECT_EQ(All(d), All(one));
  }
}

// What the process holds in memory, in bytes.
std::size_t Resident() {
  std::ifstream statm("/proc/self/statm");
  std::size_t size = 0, pages = 0;
  statm >> size >> pages;
  return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

TEST(Journal, UndoAndRedoOverAndOverKeepTheMemoryTheyHad) {
  // The sanitizer keeps freed memory back for a while: what the process
  // holds then says nothing of what the store holds.
  if (test::kSanitized) GTEST_SKIP() << "memory is no measure under the sanitizer";
  // 20,000 points moved, the move taken back and made again 200 times: the
  // texts they swap must not pile up (they did, some 75 MB here).
  std::string text;
  for (int i = 0; i < 20000; ++i) text += " 10\n" + std::to_string(i) + "\n 20\n" + std::to_string(i % 97) + "\n";
  LineList d = Doc(text);
  Journal j;
  {
    ChangeStep step(j, d);
    for (std::size_t i = 1; i < d.size(); i += 2)
      step.overwrite(static_cast<std::int32_t>(i), std::string(d[i]) + ".25");
  }
  const Lines moved = All(d);
  ASSERT_TRUE(UndoLastStep(j, d) && RedoLastStep(j, d));
  const std::size_t before = Resident();
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(UndoLastStep(j, d));
    ASSERT_TRUE(RedoLastStep(j, d));
  }
  EXPECT_LT(Resident(), before + (16u << 20));
  EXPECT_EQ(All(d), moved);
  ASSERT_TRUE(UndoLastStep(j, d));
  EXPECT_EQ(All(d), All(Doc(text)));
}

TEST(Journal, DeletionsComeBackWhereTheyStood) {
  LineList d = Doc("0\n1\n2\n3\n4\n5\n");
  Journal j;
  ChangeStep step(j, d);
  // The last object first, as the edits walk the display list.
  step.erase(4, 2);
  step.erase(1, 2);
  EXPECT_EQ(All(d), (Lines{"0", "3"}));
  EXPECT_EQ(j.undos[0].actions[1].ustrs, (Lines{"1", "2"}));
  UndoLastStep(j, d);
  EXPECT_EQ(All(d), (Lines{"0", "1", "2", "3", "4", "5"}));
}

TEST(Journal, OverwritesAndInsertionsOfOneStep) {
  // A colour changed on two objects: one line overwritten, one pair added.
  LineList d = Doc("  0\nLINE\n 62\n1\n  0\nLINE\n  8\n0\n");
  Journal j;
  ChangeStep step(j, d);
  step.insert(6, {" 62", "3"});
  step.overwrite(3, "3");
  EXPECT_EQ(d[3], "3");
  EXPECT_EQ(d[7], "3");
  UndoLastStep(j, d);
  EXPECT_EQ(All(d), (Lines{"  0", "LINE", " 62", "1", "  0", "LINE", "  8", "0"}));
}

TEST(Journal, ALineOverwrittenTwiceGetsItsFirstTextBack) {
  LineList d = Doc("a\n");
  Journal j;
  ChangeStep step(j, d);
  step.overwrite(0, "b");
  step.overwrite(0, "c");
  UndoLastStep(j, d);
  EXPECT_EQ(d[0], "a");
}

TEST(Journal, StepsComeBackOneAtATimeAndAnEmptyStepCounts) {
  LineList d = Doc("a\n");
  Journal j;
  ChangeStep(j, d).insert(1, {"b"});
  ChangeStep(j, d);  // an operation that changed nothing
  ChangeStep(j, d).insert(2, {"c"});
  ASSERT_EQ(j.undos.size(), 3u);
  UndoLastStep(j, d);
  EXPECT_EQ(All(d), (Lines{"a", "b"}));
  UndoLastStep(j, d);
  EXPECT_EQ(All(d), (Lines{"a", "b"}));
  UndoLastStep(j, d);
  EXPECT_EQ(All(d), (Lines{"a"}));
  FreeUndos(j);
  EXPECT_TRUE(j.undos.empty());
}

// Steps whose splices each lie after the one before, or each before it (as
// the edits of every object make them), are played in passes over the
// lines: each undo and redo gives the texts, and the changes since the
// parse, that playing the splices one by one gives.
TEST(Journal, StepsInOrderComeBackAsSplicedOneByOne) {
  std::mt19937 random(3);
  auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  std::string text;
  for (int i = 0; i < 80; ++i) text += std::to_string(i) + "\n";
  for (int round = 0; round < 300; ++round) {
    LineList d = Doc(text);
    Journal j;
    const bool up = round % 2 == 0;
    {
      ChangeStep step(j, d);
      // Up: each after the lines the one before put; down: each before it.
      std::size_t at = up ? 0 : d.size();
      for (std::size_t k = below(12) + 1; k-- > 0;) {
        const std::size_t gap = below(3) == 0 ? 0 : below(5);
        const std::size_t kind = below(3);
        const std::size_t count = kind == 1 ? 1 : below(3) + 1;
        if (up) {
          at += gap;
          if (at + count > d.size()) break;
        } else {
          if (at < gap + count) break;
          at -= gap + count;
        }
        const auto place = static_cast<std::int32_t>(at);
        if (kind == 0) {
          step.insert(place, Lines(count, "i" + std::to_string(k)));
        } else if (kind == 1) {
          step.overwrite(place, "o" + std::to_string(k));
        } else {
          step.erase(place, static_cast<std::int32_t>(count));
          if (up) at -= count;
        }
        if (up) at += count;
      }
    }
    const Lines before = All(Doc(text)), after = All(d);
    // The same step played backwards splice by splice, on a copy.
    LineList one = d;
    one.forgetChanges();
    d.forgetChanges();
    const tundo& step = j.undos.back();
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a) {
      if (a->typ == 0) one.erase(static_cast<std::size_t>(a->start), static_cast<std::size_t>(a->len));
      else if (a->typ == 1) one.insert(static_cast<std::size_t>(a->start), a->ustrs);
      else one.replace(static_cast<std::size_t>(a->start), a->ustrs.front());
    }
    ASSERT_TRUE(UndoLastStep(j, d));
    ASSERT_EQ(All(d), before) << "round " << round;
    ASSERT_EQ(All(one), before) << "round " << round;
    const auto& a = d.changes().runs();
    const auto& b = one.changes().runs();
    ASSERT_EQ(a.size(), b.size()) << "round " << round;
    for (std::size_t i = 0; i < a.size(); ++i)
      EXPECT_EQ(std::tie(a[i].start, a[i].count, a[i].oldStart, a[i].oldCount),
                std::tie(b[i].start, b[i].count, b[i].oldStart, b[i].oldCount))
          << "round " << round << ", run " << i;
    ASSERT_TRUE(RedoLastStep(j, d));
    ASSERT_EQ(All(d), after) << "round " << round;
    ASSERT_TRUE(UndoLastStep(j, d));
    ASSERT_EQ(All(d), before) << "round " << round;
  }
}

TEST(Journal, RedoPlaysForwardsWhatUndoTookBackAndANewStepForgetsIt) {
  // Random steps, undos and redos against the history of the texts they
  // must give.
  std::mt19937 random(11);
  auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  LineList d = Doc("a\nb\nc\nd\ne\n");
  Journal j;
  std::vector<Lines> history{All(d)};
  std::size_t now = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::size_t what = below(4);
    if (what < 2) {
      // Any mix of the three splices, in any order.
      ChangeStep step(j, d);
      for (std::size_t k = below(5); k-- > 0;) {
        const std::size_t kind = below(3);
        if (kind == 0)
          step.insert(static_cast<std::int32_t>(below(d.size() + 1)), Lines(below(3) + 1, "i" + std::to_string(i)));
        else if (kind == 1 && d.size() > 0)
          step.overwrite(static_cast<std::int32_t>(below(d.size())), "o" + std::to_string(i) + "." + std::to_string(k));
        else if (d.size() > 2)
          step.erase(static_cast<std::int32_t>(below(d.size() - 1)), static_cast<std::int32_t>(1 + below(2)));
      }
      history.resize(now + 1);
      history.push_back(All(d));
      now = history.size() - 1;
      EXPECT_TRUE(j.redos.empty());
    } else if (what == 2) {
      ASSERT_EQ(UndoLastStep(j, d), now > 0);
      if (now > 0) --now;
    } else {
      ASSERT_EQ(RedoLastStep(j, d), now + 1 < history.size());
      if (now + 1 < history.size()) ++now;
    }
    ASSERT_EQ(All(d), history[now]) << "after operation " << i;
    ASSERT_EQ(j.undos.size(), now);
    ASSERT_EQ(j.redos.size(), history.size() - 1 - now);
  }
  FreeUndos(j);
  EXPECT_TRUE(j.redos.empty());
}

}  // namespace
}  // namespace vestrel
