// Locks of open drawings: while a Vestrel has a drawing open, a small file
// in the per-user folder names the process (its id, its host and when it
// started) and the drawing. Another Vestrel opening that drawing learns
// so; a lock whose process is gone is stale and taken over. Only the lock
// of the drawing at hand is ever looked at.
#pragma once

#include <optional>
#include <string>

namespace vestrel {

inline constexpr char kLockSubfolder[] = "locks/";

// What a lock file says.
struct LockHolder {
  long pid = 0;
  std::string host;
  std::string started;  // the process's boot and start time, empty when unknown
  std::string drawing;  // the full path of the drawing
};

// The lock this editor holds: the file and what it wrote there. Empty
// when it holds none.
struct HeldLock {
  std::string path, text;
};

// The lock file of `drawing` (any name of it) below the per-user folder
// `folder`.
std::string LockFileOf(const std::string& folder, const std::string& drawing);

// What the lock file at `path` says; nothing when there is none or it is
// not a lock.
std::optional<LockHolder> ReadLock(const std::string& path);

// Whether the lock's process still runs. A process of another host cannot
// be asked: it counts as running.
bool HolderAlive(const LockHolder& holder);

// Locks `drawing` for this editor, in the per-user folder `folder`
// (nothing when empty). When another editor that still runs holds it, it
// stays his and he is returned; a stale lock is replaced. `held` is the
// lock taken, empty when none could be (locks only tell; a folder that
// cannot be written takes none).
std::optional<LockHolder> LockDrawing(const std::string& folder, const std::string& drawing, HeldLock& held);

// Removes the lock `held`, when it is still the one this editor wrote.
void ReleaseLock(HeldLock& held);

}  // namespace vestrel
