// The one place that owns threads. The editor works on one thread; the
// work that is worth the machine's other cores (splitting a large file
// into lines, the paint of a large picture, the cut check, measuring a
// large selection) hands a count of independent tasks here and waits
// until all of them are done.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>

namespace vestrel {

// How many tasks run at once at most: the hardware's threads, at least 1;
// VESTREL_THREADS=N in the environment sets it (1: everything on the
// calling thread, to compare with).
int WorkerCount();

// Runs task(0) .. task(n - 1) on up to WorkerCount() threads, the calling
// thread among them, and returns when all have ended. A task that throws
// does not stop the others; the first exception is thrown again here.
void RunTasks(int n, const std::function<void(int)>& task);

// Goes through items 0 .. n - 1 in runs of `size` on up to `cores` of the
// machine's cores, every cores-th run on each (so that items that cost
// more, lying together, are shared): each core makes its own state with
// make(), then calls task(state, run, from, to) for each of its runs.
// What a task leaves by its run's number comes out in the items' order.
template <class Make, class Task>
void RunInRuns(std::size_t n, std::size_t size, int cores, Make make, Task task) {
  const std::size_t runs = (n + size - 1) / size;
  const auto used = static_cast<std::size_t>(std::max(1, std::min(cores, WorkerCount())));
  const std::size_t tasks = std::min(used, runs);
  RunTasks(static_cast<int>(tasks), [&](int core) {
    auto state = make();
    for (auto run = static_cast<std::size_t>(core); run < runs; run += tasks)
      task(state, run, run * size, std::min(n, (run + 1) * size));
  });
}

}  // namespace vestrel
