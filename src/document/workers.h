// The one place that owns threads. The editor works on one thread; the
// work that is worth the machine's other cores (the first parse of a large
// file, the paint of a large picture) hands a count of independent tasks
// here and waits until all of them are done.
#pragma once

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

}  // namespace vestrel
