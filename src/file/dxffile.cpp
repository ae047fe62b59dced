#include "file/dxffile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <new>

#include "document/numbers.h"
#include "document/pool.h"
#include "file/encoding.h"

namespace vestrel {

namespace fs = std::filesystem;

namespace {

struct Reason {
  std::string_view german, english;
};

constexpr Reason kReasons[] = {
    {"", ""},
    {"Die Datei oder ihr Ordner existiert nicht.", "no such file or folder"},
    {"Der Zugriff ist nicht erlaubt.", "permission denied"},
    {"Das ist ein Ordner.", "it is a folder"},
    {"Das ist keine gewöhnliche Datei (ein Gerät, eine FIFO oder ein Socket).", "not a regular file"},
    {"Die Datei ist zu groß.", "too large"},
    {"Auf dem Datenträger ist kein Platz mehr.", "no space left on the device"},
    {"Die Datei ist schreibgeschützt.", "the file is read-only"},
    {"Das ist eine binäre DXF-Datei; nur DXF-Text kann geöffnet werden.", "a binary DXF file, not DXF text"},
    {"Die Datei enthält Null-Bytes; sie ist keine Textdatei.", "zero bytes: not a text file"},
    {"Das ist keine DXF-Datei: sie beginnt mit keinem Gruppencode.", "not a DXF file: it starts with no group code"},
    {"UTF-16-Text mit einer ungeraden Zahl von Bytes.", "UTF-16 text with an odd number of bytes"},
    {"Lese- oder Schreibfehler.", "input/output error"},
    {"Für diese Zeichnung reicht der Arbeitsspeicher nicht.", "not enough memory for the drawing"},
    {"Die Datei wäre größer, als das System dem Programm erlaubt (ulimit -f).",
     "larger than the system's file size limit"},
    {"Der Name der Datei oder ihr Pfad ist zu lang.", "the file name or its path is too long"},
};

FileError FromErrno(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR: return FileError::NotFound;
    case EACCES:
    case EPERM: return FileError::NoPermission;
    case EISDIR: return FileError::IsFolder;
    case ENOSPC:
    case EDQUOT: return FileError::NoSpace;
    case EFBIG: return FileError::SizeLimit;
    case ENOMEM: return FileError::TooLarge;
    case ENAMETOOLONG: return FileError::NameTooLong;
    case EROFS: return FileError::ReadOnly;
    default: return FileError::IoError;
  }
}

// What the bytes are, when they are no DXF text.
FileError CheckText(std::string_view bytes) {
  if (bytes.starts_with("AutoCAD Binary DXF")) return FileError::BinaryDxf;
  if (std::memchr(bytes.data(), 0, bytes.size())) return FileError::BinaryData;
  // The first line that is not blank is a group code.
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
    const std::string_view line = Trim(bytes.substr(at, end - at));
    if (!line.empty()) return GroupCode(line) == kNoGroup ? FileError::NotDxf : FileError::None;
    at = end + 1;
  }
  return FileError::None;  // nothing at all: an empty drawing
}

}  // namespace

std::string_view FileErrorText(FileError e) { return kReasons[static_cast<int>(e)].german; }
std::string_view FileErrorEnglish(FileError e) { return kReasons[static_cast<int>(e)].english; }

FileIdentity IdentityOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {true, static_cast<std::uint64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
          static_cast<std::uint64_t>(st.st_ino), static_cast<std::uint64_t>(st.st_dev)};
}

FileError ReadWholeFile(const std::string& path, std::string& bytes, std::uintmax_t maxBytes) try {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return FromErrno(errno);
  if (S_ISDIR(st.st_mode)) return FileError::IsFolder;
  if (!S_ISREG(st.st_mode)) return FileError::NotRegular;
  if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) return FileError::TooLarge;
  // Opened without waiting (a FIFO put in its place meanwhile would wait for
  // a writer), and looked at again: the file read is the one looked at.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return FromErrno(errno);
  FileError changed = FileError::None;
  if (::fstat(fd, &st) != 0) changed = FromErrno(errno);
  else if (!S_ISREG(st.st_mode)) changed = FileError::NotRegular;
  else if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) changed = FileError::TooLarge;
  if (changed != FileError::None) {
    ::close(fd);
    return changed;
  }
  // The pages asked for at once before they are cleared and read into.
  std::string read;
  read.reserve(static_cast<std::size_t>(st.st_size));
  PreferHugePages(read.data(), read.capacity());
  PopulatePages(read.data(), read.capacity());
  read.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  while (got < read.size()) {
    const ssize_t r = ::read(fd, read.data() + got, read.size() - got);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      const int e = r < 0 ? errno : EIO;
      ::close(fd);
      return FromErrno(e);
    }
    got += static_cast<std::size_t>(r);
  }
  ::close(fd);
  bytes = std::move(read);
  return FileError::None;
} catch (const std::bad_alloc&) {
  return FileError::OutOfMemory;
}

FileError ReadDxfFile(const std::string& path, LineList& lines) try {
  std::string bytes;
  if (const FileError e = ReadWholeFile(path, bytes, LineList::kMaxBytes); e != FileError::None) return e;
  auto decoded = DecodeFileBytes(std::move(bytes));
  if (!decoded) return FileError::OddUtf16;
  if (const FileError e = CheckText(decoded->text); e != FileError::None) return e;
  LineList read;
  if (!read.assign(std::move(decoded->text))) return FileError::TooLarge;
  read.encoding = decoded->encoding;
  lines = std::move(read);
  return FileError::None;
} catch (const std::bad_alloc&) {
  return FileError::OutOfMemory;
}

namespace {

constexpr std::string_view kTemporaryInfix = ".vestrel-save.";
constexpr std::size_t kPidDigits = 10;  // room for any process id

// The first `room` bytes of `name` at most, cut between two characters.
std::string CutName(std::string name, std::size_t room) {
  if (name.size() <= room) return name;
  while (room > 0 && (static_cast<unsigned char>(name[room]) & 0xC0) == 0x80) --room;
  name.resize(room);
  return name;
}

// "NAME.vestrel-copy-PID.EXT" in `folder`, the name of the whole new text
// while the target is written in place; "-2", "-3", ... after the id where
// a save killed long ago, under the same id, left its copy.
std::string CopyName(const fs::path& folder, const fs::path& target) {
  std::string ext = target.extension().string();
  if (ext.size() > 16) ext.clear();
  for (int n = 1;; ++n) {
    std::string suffix = ".vestrel-copy-" + std::to_string(::getpid());
    if (n > 1) suffix += '-' + std::to_string(n);
    suffix += ext;
    const fs::path copy = folder / (CutName(target.filename().string(), NAME_MAX - suffix.size()) + suffix);
    struct stat st {};
    if (::lstat(copy.c_str(), &st) != 0) return copy.string();
  }
}

fs::path FolderOf(const fs::path& file) { return file.parent_path().empty() ? fs::path(".") : file.parent_path(); }

}  // namespace

std::string SaveTemporaryPrefix(const std::string& name) {
  const std::size_t room = NAME_MAX - 1 - kTemporaryInfix.size() - kPidDigits;
  std::string prefix = ".";
  prefix += CutName(name, room);
  prefix += kTemporaryInfix;
  return prefix;
}

namespace {

// Removes what killed saves left in `folder`: the temporary files named
// `prefix` and the id of a process that no longer runs.
void RemoveStaleTemporaries(const fs::path& folder, const std::string& prefix) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(prefix)) continue;
    int pid = 0;
    const char* digits = name.data() + prefix.size();
    const auto [end, err] = std::from_chars(digits, name.data() + name.size(), pid);
    if (err != std::errc() || end != name.data() + name.size()) continue;
    if (pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH)) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

// Puts the folder's list of names on the disk.
void SyncFolder(const fs::path& folder) {
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

bool WriteBytes(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t w = ::write(fd, bytes.data(), bytes.size());
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(w));
  }
  return true;
}

bool WriteAll(int fd, const LineList& lines) {
  if (IsUtf16(lines.encoding)) return WriteBytes(fd, EncodeFileBytes(lines.join("\r\n"), lines.encoding));
  if (lines.encoding == TextEncoding::Utf8Bom && !WriteBytes(fd, "\xEF\xBB\xBF")) return false;
  std::string chunk;
  constexpr std::size_t kChunk = 1 << 20;
  chunk.reserve(kChunk + 4096);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    chunk.append(lines[i]);
    chunk.append("\r\n");
    if (chunk.size() >= kChunk) {
      if (!WriteBytes(fd, chunk)) return false;
      chunk.clear();
    }
  }
  return WriteBytes(fd, chunk);
}

// Follows the symbolic links at `path` to the name the file has, or is to
// have when the last link points to nothing yet. As Linux does by default
// (fs.protected_symlinks), a link in a sticky folder that anybody may
// write is followed only when it is this user's or the folder owner's:
// somebody else's link there could make the save write anywhere. What
// cannot be followed otherwise is left for the file's own checks to report.
FileError FollowLinks(fs::path& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat link {}, folder {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return FileError::None;
    if (::stat(FolderOf(path).c_str(), &folder) == 0 && (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH) &&
        link.st_uid != ::geteuid() && link.st_uid != folder.st_uid)
      return FileError::NoPermission;
    std::error_code ec;
    const fs::path to = fs::read_symlink(path, ec);
    if (ec) return FileError::None;
    path = to.is_absolute() ? to : path.parent_path() / to;
  }
  return FileError::None;  // a loop: the system says so
}

// Whether this user may write the existing file `target`, as the system
// decides it (groups and access lists included). Only a file marked
// read-only is refused to the administrator, whom the system lets write
// anything: an editor asks the file.
FileError MayWrite(const fs::path& target, const struct stat& st) {
  const bool marked = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    return errno == EACCES && marked ? FileError::ReadOnly : FromErrno(errno);
  return marked ? FileError::ReadOnly : FileError::None;
}

int CreateTemporary(const std::string& name, mode_t mode) {
  ::unlink(name.c_str());  // our own, from a save that could not clean up
  return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

// Copies what is left to read of `in` to `out`.
bool CopyRest(int in, int out) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t r = ::read(in, buffer, sizeof buffer);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return false;
    if (r == 0) return true;
    if (!WriteBytes(out, std::string_view(buffer, static_cast<std::size_t>(r)))) return false;
  }
}

// Writes the finished temporary file `tmp` in `folder` into `target`
// itself, whose state was `old`. The temporary file gets a name no save
// removes before the target's first byte changes, and loses it once the
// target is whole again.
FileError WriteInPlace(const fs::path& target, const struct stat& old, const std::string& tmp,
                       const fs::path& folder) {
  const std::string copy = CopyName(folder, target);
  if (::rename(tmp.c_str(), copy.c_str()) != 0) {
    const int e = errno;
    ::unlink(tmp.c_str());
    return FromErrno(e);
  }
  SyncFolder(folder);
  const int in = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC);
  const int out = in < 0 ? -1 : ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  struct stat from {};
  int error = out < 0 || ::fstat(in, &from) != 0 ? errno : 0;
  // Room for a longer text is taken before the old one changes.
  if (error == 0 && from.st_size > old.st_size && ::fallocate(out, FALLOC_FL_KEEP_SIZE, 0, from.st_size) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    error = errno;
  if (error != 0) {
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    ::unlink(copy.c_str());
    return FromErrno(error);
  }
  // From here on the target may be half written: whatever fails, the copy
  // stays.
  auto check = [&](bool ok) {
    if (!ok && error == 0) error = errno ? errno : EIO;
  };
  errno = 0;
  check(CopyRest(in, out));
  check(::ftruncate(out, from.st_size) == 0);
  // The same size within the same tick of the clock would leave the file
  // looking unchanged.
  struct stat now {};
  if (error == 0 && ::fstat(out, &now) == 0 && now.st_size == old.st_size &&
      now.st_mtim.tv_sec == old.st_mtim.tv_sec && now.st_mtim.tv_nsec == old.st_mtim.tv_nsec) {
    timespec times[2] = {{0, UTIME_OMIT}, old.st_mtim};
    if (++times[1].tv_nsec == 1000000000) times[1] = {old.st_mtim.tv_sec + 1, 0};
    ::futimens(out, times);  // only the owner may; others live with the clock
  }
  check(::fsync(out) == 0);
  check(::close(out) == 0);
  ::close(in);
  if (error != 0) return FromErrno(error);
  ::unlink(copy.c_str());
  return FileError::None;
}

// Writes what `write` puts into an open file descriptor to a temporary
// file, which then replaces `path` or is written into it.
template <class Write>
FileError WriteReplacing(const std::string& path, const std::string& spareFolder, Write write) try {
  fs::path target(path);
  if (const FileError e = FollowLinks(target); e != FileError::None) return e;
  if (target.empty() || !target.has_filename()) return FileError::IsFolder;
  struct stat st {};
  const bool existed = ::stat(target.c_str(), &st) == 0;
  if (existed) {
    if (S_ISDIR(st.st_mode)) return FileError::IsFolder;
    if (!S_ISREG(st.st_mode)) return FileError::NotRegular;
    if (const FileError e = MayWrite(target, st); e != FileError::None) return e;
  } else if (errno != ENOENT) {
    return FromErrno(errno);
  }

  const std::string prefix = SaveTemporaryPrefix(target.filename().string());
  const std::string pid = std::to_string(::getpid());
  // The temporary file is as private as the target from its first byte on.
  const mode_t mode = existed ? (st.st_mode & 07777) : 0666;
  fs::path folder = FolderOf(target);
  RemoveStaleTemporaries(folder, prefix);
  std::string tmp = (folder / (prefix + pid)).string();
  int fd = CreateTemporary(tmp, mode);
  const bool beside = fd >= 0;
  if (!beside && existed && errno == EACCES && !spareFolder.empty()) {
    folder = spareFolder;
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    RemoveStaleTemporaries(folder, prefix);
    tmp = (folder / (prefix + pid)).string();
    fd = CreateTemporary(tmp, mode);
  }
  if (fd < 0) return FromErrno(errno);
  int error = 0;
  auto check = [&](bool ok) {
    if (!ok && error == 0) error = errno ? errno : EIO;
  };
  bool standsFor = true;  // whether the new file can take the old one's place
  if (existed) {
    // Owner and group first: giving a file away clears its set-id bits.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {}  // only the administrator may give files away
    check(::fchmod(fd, mode) == 0);
    struct stat made {};
    check(::fstat(fd, &made) == 0);
    standsFor = beside && st.st_nlink == 1 && made.st_uid == st.st_uid && made.st_gid == st.st_gid &&
                (made.st_mode & 07777) == mode;
  }
  errno = 0;
  check(write(fd));
  check(::fsync(fd) == 0);
  check(::close(fd) == 0);
  if (error != 0) {
    ::unlink(tmp.c_str());
    return FromErrno(error);
  }
  if (!standsFor) return WriteInPlace(target, st, tmp, folder);
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    const int e = errno;
    ::unlink(tmp.c_str());
    return FromErrno(e);
  }
  SyncFolder(folder);
  return FileError::None;
} catch (const std::bad_alloc&) {
  return FileError::OutOfMemory;
}

}  // namespace

FileError WriteDxfFile(const std::string& path, const LineList& lines, const std::string& spareFolder) {
  return WriteReplacing(path, spareFolder, [&](int fd) { return WriteAll(fd, lines); });
}

FileError WriteWholeFile(const std::string& path, std::string_view bytes) {
  return WriteReplacing(path, {}, [&](int fd) { return WriteBytes(fd, bytes); });
}

}  // namespace vestrel
