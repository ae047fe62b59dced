// The locks of open drawings: taken, found, released, and stale ones of
// processes that are gone taken over.
#include "file/lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vestrel {
namespace {

namespace fs = std::filesystem;

std::string Host() {
  char name[256] = {};
  ::gethostname(name, sizeof name - 1);
  return name;
}

// The id of a process that has ended.
long DeadPid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST(Lock, ALockOfAProcessThatRunsIsHisAStaleOneIsTakenOver) {
  const std::string me = std::to_string(::getpid());
  struct Case {
    const char* what;
    std::string lock;  // what lies there before
    bool his;          // it stays his; else it is taken over
  };
  const Case cases[] = {
      {"this process, as another editor would hold it", "pid " + me + "\nhost " + Host() + "\n", true},
      {"another host's: cannot be asked", "pid 1\nhost elsewhere.invalid\n", true},
      {"a process that is gone", "pid " + std::to_string(DeadPid()) + "\nhost " + Host() + "\n", false},
      {"its id taken by a process started later", "pid " + me + "\nhost " + Host() + "\nstarted boot 1\n", false},
      {"no lock at all", "garbage\n", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    test::TempDir tmp;
    const std::string folder = tmp.dir().string() + "/";
    const std::string drawing = tmp.write("plan.dxf", "0\nEOF\n");
    fs::create_directories(folder + kLockSubfolder);
    const std::string lock = LockFileOf(folder, drawing);
    std::ofstream(lock) << c.lock;
    HeldLock held;
    const auto other = LockDrawing(folder, drawing, held);
    EXPECT_EQ(other.has_value(), c.his) << c.what;
    EXPECT_EQ(held.path.empty(), c.his) << c.what;
    if (c.his) {
      EXPECT_EQ(test::ReadFile(lock), c.lock) << c.what;
      continue;
    }
    const auto mine = ReadLock(lock);
    ASSERT_TRUE(mine) << c.what;
    EXPECT_EQ(mine->pid, ::getpid());
    EXPECT_EQ(mine->host, Host());
    EXPECT_EQ(mine->drawing, fs::canonical(drawing).string());
    EXPECT_TRUE(HolderAlive(*mine));
    ReleaseLock(held);
    EXPECT_FALSE(fs::exists(lock)) << c.what;
  }
}

TEST(Lock, OneLockForEveryNameOfADrawingReleasedOnlyByItsHolder) {
  test::TempDir tmp;
  const std::string folder = tmp.dir().string() + "/";
  const std::string drawing = tmp.write("plan.dxf", "0\nEOF\n");
  fs::create_directory(tmp.path("sub"));
  const std::string other = tmp.path("sub/../plan.dxf");
  EXPECT_EQ(LockFileOf(folder, drawing), LockFileOf(folder, other));
  EXPECT_NE(LockFileOf(folder, drawing), LockFileOf(folder, tmp.path("plan2.dxf")));

  HeldLock first, second;
  EXPECT_FALSE(LockDrawing(folder, drawing, first));
  const auto holder = LockDrawing(folder, other, second);
  ASSERT_TRUE(holder);  // held already, if by this same process
  EXPECT_EQ(holder->pid, ::getpid());
  EXPECT_TRUE(second.path.empty());
  ReleaseLock(second);  // holds none: nothing goes
  EXPECT_TRUE(fs::exists(first.path));
  // A lock that is no longer what its holder wrote is not his to remove.
  HeldLock stolen = first;
  stolen.text += "x";
  ReleaseLock(stolen);
  EXPECT_TRUE(fs::exists(first.path));
  ReleaseLock(first);
  EXPECT_FALSE(fs::exists(LockFileOf(folder, drawing)));
  EXPECT_TRUE(first.path.empty());

  // No folder, or one that cannot be made: no lock, and no holder.
  EXPECT_FALSE(LockDrawing("", drawing, first));
  EXPECT_TRUE(first.path.empty());
  EXPECT_FALSE(LockDrawing(drawing + "/", drawing, first));
  EXPECT_TRUE(first.path.empty());
}

}  // namespace
}  // namespace vestrel
