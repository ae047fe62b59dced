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

}  // namespace
}  // namespace vestrel
