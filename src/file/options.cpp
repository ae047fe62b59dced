#include "file/options.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>

namespace vestrel {

namespace fs = std::filesystem;

std::string GetProgramDir(const std::string& userBase, const std::string& progpath) {
  if (userBase.empty()) return progpath;
  std::string folder = userBase;
  if (folder.back() != '/') folder += '/';
  return folder + kUserSubfolder;
}

FileError CreateProgramDir(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (fs::is_directory(folder)) return FileError::None;
  if (!ec) return FileError::IsFolder;  // a file stands where a folder should be
  switch (static_cast<std::errc>(ec.value())) {
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted: return FileError::NoPermission;
    case std::errc::read_only_file_system: return FileError::ReadOnly;
    case std::errc::no_space_on_device: return FileError::NoSpace;
    case std::errc::not_a_directory:
    case std::errc::file_exists: return FileError::IsFolder;
    default: return FileError::IoError;
  }
}

std::optional<int> LoadOptions(const std::string& folder) {
  // Only a regular file is read (a FIFO would wait for ever), and only its
  // first four bytes, whatever its size.
  const std::string path = folder + kOptionsFile;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 4) return std::nullopt;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  unsigned char b[4];
  const ssize_t got = ::read(fd, b, sizeof b);
  ::close(fd);
  if (got != sizeof b) return std::nullopt;
  const std::uint32_t v = b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
  return static_cast<std::int32_t>(v);
}

FileError SaveOptions(const std::string& folder, int language) {
  if (const FileError e = CreateProgramDir(folder); e != FileError::None) return e;
  const auto v = static_cast<std::uint32_t>(language);
  const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v >> 16 & 0xFF),
                     static_cast<char>(v >> 24 & 0xFF)};
  return WriteWholeFile(folder + kOptionsFile, std::string_view(b, 4));
}

}  // namespace vestrel
