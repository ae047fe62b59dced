#include "file/lock.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "document/numbers.h"
#include "file/dxffile.h"
#include "file/options.h"

namespace vestrel {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMostLockBytes = 64 * 1024;

// One name for every way of naming the same file.
std::string FullPath(const std::string& drawing) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(drawing, ec), ec);
  return ec ? drawing : p.string();
}

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

// The first line of a file of /proc (which tell no size: read as a stream).
std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// When process `pid` started: the boot and the clock ticks since it,
// which a process that takes over a freed id does not share. Empty when
// the system does not say.
std::string ProcessStart(long pid) {
  static const std::string boot = FirstLine("/proc/sys/kernel/random/boot_id");
  const std::string stat = FirstLine("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t name = stat.rfind(')');  // the program's name may hold blanks and brackets
  if (boot.empty() || name == std::string::npos) return {};
  // After the name: the state (field 3), ..., the start time (field 22).
  std::size_t at = name + 1;
  for (int field = 3; field <= 22; ++field) {
    while (at < stat.size() && stat[at] == ' ') ++at;
    const std::size_t end = std::min(stat.find(' ', at), stat.size());
    if (field == 22) return at < end ? boot + " " + stat.substr(at, end - at) : std::string();
    at = end;
  }
  return {};
}

std::string LockText(const std::string& drawing) {
  const long pid = ::getpid();
  return "pid " + std::to_string(pid) + "\nhost " + HostName() + "\nstarted " + ProcessStart(pid) + "\ndrawing " +
         drawing + "\n";
}

bool WriteSmallFile(const std::string& path, std::string_view text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = true;
  while (ok && !text.empty()) {
    const ssize_t w = ::write(fd, text.data(), text.size());
    if (w < 0 && errno == EINTR) continue;
    ok = w > 0;
    if (ok) text.remove_prefix(static_cast<std::size_t>(w));
  }
  return ::close(fd) == 0 && ok;
}

}  // namespace

std::string LockFileOf(const std::string& folder, const std::string& drawing) {
  // FNV-1a of the full path names the lock.
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : FullPath(drawing)) hash = (hash ^ c) * 1099511628211ull;
  char name[32];
  std::snprintf(name, sizeof name, "%016llx.lock", static_cast<unsigned long long>(hash));
  return folder + kLockSubfolder + name;
}

std::optional<LockHolder> ReadLock(const std::string& path) {
  std::string bytes;
  if (ReadWholeFile(path, bytes, kMostLockBytes) != FileError::None) return std::nullopt;
  LockHolder h;
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const std::string_view line = rest.substr(0, rest.find('\n'));
    rest.remove_prefix(std::min(rest.size(), line.size() + 1));
    const std::size_t blank = line.find(' ');
    const std::string_view key = line.substr(0, blank);
    const std::string_view value = blank == std::string_view::npos ? std::string_view{} : line.substr(blank + 1);
    if (key == "pid") h.pid = ParseInt(value).value_or(0);
    else if (key == "host") h.host = value;
    else if (key == "started") h.started = value;
    else if (key == "drawing") h.drawing = value;
  }
  if (h.pid <= 0) return std::nullopt;
  return h;
}

bool HolderAlive(const LockHolder& holder) {
  if (holder.host != HostName()) return true;
  if (::kill(static_cast<pid_t>(holder.pid), 0) != 0 && errno == ESRCH) return false;
  // The id may have gone to another process since.
  const std::string started = ProcessStart(holder.pid);
  return holder.started.empty() || started.empty() || started == holder.started;
}

std::optional<LockHolder> LockDrawing(const std::string& folder, const std::string& drawing, HeldLock& held) {
  held = {};
  if (folder.empty() || CreateProgramDir(folder + kLockSubfolder) != FileError::None) return std::nullopt;
  const std::string path = LockFileOf(folder, drawing);
  const std::string text = LockText(FullPath(drawing));
  // Written whole beside it, then linked to its name, so that nobody reads
  // half a lock and of two editors taking it at once one gets it.
  const fs::path p(path);
  const std::string temporary =
      (p.parent_path() / ("." + p.filename().string() + "." + std::to_string(::getpid()))).string();
  if (!WriteSmallFile(temporary, text)) {
    ::unlink(temporary.c_str());
    return std::nullopt;
  }
  std::optional<LockHolder> other;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (::link(temporary.c_str(), path.c_str()) == 0) {
      held = {path, text};
      break;
    }
    if (errno != EEXIST) break;
    other = ReadLock(path);
    if (other && HolderAlive(*other)) break;
    other.reset();
    ::unlink(path.c_str());  // stale, or no lock at all
  }
  ::unlink(temporary.c_str());
  return other;
}

void ReleaseLock(HeldLock& held) {
  if (held.path.empty()) return;
  std::string bytes;
  if (ReadWholeFile(held.path, bytes, kMostLockBytes) == FileError::None && bytes == held.text)
    ::unlink(held.path.c_str());
  held = {};
}

}  // namespace vestrel
