#include "file/dxffile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <new>

#include "document/numbers.h"
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
    case EFBIG:
    case ENOMEM: return FileError::TooLarge;
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
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FromErrno(errno);
  std::string read(static_cast<std::size_t>(st.st_size), '\0');
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

std::string SaveTemporaryPrefix(const std::string& target) {
  const fs::path t(target);
  std::string name = ".";
  name += t.filename().string();
  name += ".vestrel-save.";
  return (t.parent_path() / name).string();
}

namespace {

// Removes what killed saves of `target` left behind: the temporary files
// of processes that no longer run.
void RemoveStaleTemporaries(const fs::path& target) {
  const std::string prefix = fs::path(SaveTemporaryPrefix(target.string())).filename().string();
  std::error_code ec;
  fs::directory_iterator it(target.parent_path().empty() ? fs::path(".") : target.parent_path(), ec);
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

// Whether the file's own permissions let this user write it (the system
// would let the administrator write anything; an editor asks the file).
bool WritableByMode(const struct stat& st) {
  if (st.st_uid == ::geteuid()) return st.st_mode & S_IWUSR;
  if (st.st_gid == ::getegid()) return st.st_mode & S_IWGRP;
  return st.st_mode & S_IWOTH;
}

// Writes what `write` puts into the open file descriptor to a temporary
// file beside `path`, which then replaces `path`.
template <class Write>
FileError WriteReplacing(const std::string& path, Write write) try {
  std::error_code ec;
  fs::path target(path);
  // Saving through a link replaces the file it points to, not the link.
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    target = fs::canonical(target, ec);
    if (ec) return FromErrno(ec.value());
  }
  if (target.empty() || !target.has_filename()) return FileError::IsFolder;
  struct stat st {};
  const bool existed = ::stat(target.c_str(), &st) == 0;
  if (existed) {
    if (S_ISDIR(st.st_mode)) return FileError::IsFolder;
    if (!S_ISREG(st.st_mode)) return FileError::NotRegular;
    if (!WritableByMode(st)) return FileError::ReadOnly;
  } else if (errno != ENOENT) {
    return FromErrno(errno);
  }

  RemoveStaleTemporaries(target);
  const std::string tmp = SaveTemporaryPrefix(target.string()) + std::to_string(::getpid());
  // The temporary file is as private as the target from its first byte on.
  const mode_t mode = existed ? (st.st_mode & 07777) : 0666;
  ::unlink(tmp.c_str());  // our own, from a save that could not clean up
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return FromErrno(errno);
  int error = 0;
  auto check = [&](bool ok) {
    if (!ok && error == 0) error = errno ? errno : EIO;
  };
  if (existed) {
    check(::fchmod(fd, mode) == 0);
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {}  // only the administrator may give files away
  }
  errno = 0;
  check(write(fd));
  check(::fsync(fd) == 0);
  check(::close(fd) == 0);
  if (error == 0) check(::rename(tmp.c_str(), target.c_str()) == 0);
  if (error != 0) {
    ::unlink(tmp.c_str());
    return FromErrno(error);
  }
  // The new name is on the disk as well.
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return FileError::None;
} catch (const std::bad_alloc&) {
  return FileError::OutOfMemory;
}

}  // namespace

FileError WriteDxfFile(const std::string& path, const LineList& lines) {
  return WriteReplacing(path, [&](int fd) { return WriteAll(fd, lines); });
}

FileError WriteWholeFile(const std::string& path, std::string_view bytes) {
  return WriteReplacing(path, [&](int fd) { return WriteBytes(fd, bytes); });
}

}  // namespace vestrel
