#include "document/workers.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace vestrel {

int WorkerCount() {
  static const int count = [] {
    if (const char* env = std::getenv("VESTREL_THREADS")) {
      const int n = std::atoi(env);
      if (n >= 1) return std::min(n, 64);
    }
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  }();
  return count;
}

void RunTasks(int n, const std::function<void(int)>& task) {
  if (n <= 0) return;
  std::atomic<int> next{0};
  std::exception_ptr first;
  std::mutex firstMutex;
  // Each thread takes the next task not yet taken until none is left.
  auto work = [&] {
    for (int i = next++; i < n; i = next++) {
      try {
        task(i);
      } catch (...) {
        std::lock_guard lock(firstMutex);
        if (!first) first = std::current_exception();
      }
    }
  };
  std::vector<std::thread> others;
  const int extra = std::min(WorkerCount(), n) - 1;
  others.reserve(extra);
  for (int t = 0; t < extra; ++t) others.emplace_back(work);
  work();
  for (auto& t : others) t.join();
  if (first) std::rethrow_exception(first);
}

}  // namespace vestrel
