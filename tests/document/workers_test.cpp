#include "document/workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace vestrel {
namespace {

TEST(Workers, EveryTaskRunsOnceAndTheFirstFaultComesBack) {
  for (const int n : {0, 1, 2, 7, 100}) {
    std::vector<std::atomic<int>> runs(n);
    RunTasks(n, [&](int i) { ++runs[i]; });
    for (int i = 0; i < n; ++i) EXPECT_EQ(runs[i].load(), 1) << "task " << i << " of " << n;
  }
  std::atomic<int> ran{0};
  EXPECT_THROW(RunTasks(5,
                        [&](int i) {
                          ++ran;
                          if (i == 2) throw std::runtime_error("task 2");
                        }),
               std::runtime_error);
  EXPECT_EQ(ran.load(), 5);  // the others were not stopped
  EXPECT_GE(WorkerCount(), 1);
}

// Items in runs: each item once, in a run of its own number, with a state
// per core.
TEST(Workers, RunsCoverEveryItemOnce) {
  struct Case {
    std::size_t n, size;
    int cores;
  };
  for (const Case& c : {Case{0, 4, 2}, Case{1, 4, 2}, Case{10, 4, 2}, Case{12, 4, 1}, Case{1000, 7, 8}}) {
    const std::size_t n = c.n, size = c.size;
    const int cores = c.cores;
    std::vector<std::atomic<int>> seen(n);
    std::atomic<int> states{0};
    RunInRuns(
        n, size, cores, [&] { return ++states; },
        [&](int, std::size_t run, std::size_t from, std::size_t to) {
          EXPECT_EQ(from, run * size);
          for (std::size_t i = from; i < to; ++i) ++seen[i];
        });
    for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(seen[i].load(), 1) << i << " of " << n;
    EXPECT_LE(states.load(), std::max(1, std::min(cores, WorkerCount())));
  }
}

}  // namespace
}  // namespace vestrel
