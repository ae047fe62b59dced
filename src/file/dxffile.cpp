#include "file/dxffile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "file/encoding.h"

namespace vestrel {

namespace fs = std::filesystem;

bool ReadDxfFile(const std::string& path, LineList& lines) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  const auto size = fs::file_size(path, ec);
  if (ec || size > LineList::kMaxBytes) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(size));
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  if (static_cast<std::uintmax_t>(in.gcount()) != size) return false;
  auto decoded = DecodeFileBytes(std::move(bytes));
  if (!decoded) return false;
  LineList read;
  if (!read.assign(std::move(decoded->text))) return false;
  read.encoding = decoded->encoding;
  lines = std::move(read);
  return true;
}

namespace {

// Creates a file of a name nobody uses yet beside `target`.
std::FILE* CreateTemporaryBeside(const fs::path& target, fs::path& tmp) {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x~", static_cast<unsigned>(rd()));
    tmp = target;
    tmp += suffix;
    if (std::FILE* f = std::fopen(tmp.c_str(), "wbx")) return f;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool WriteAll(std::FILE* f, const LineList& lines) {
  if (lines.encoding == TextEncoding::Utf16LE || lines.encoding == TextEncoding::Utf16BE) {
    const std::string bytes = EncodeFileBytes(lines.join("\r\n"), lines.encoding);
    return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  }
  if (lines.encoding == TextEncoding::Utf8Bom && std::fwrite("\xEF\xBB\xBF", 1, 3, f) != 3) return false;
  std::string chunk;
  constexpr std::size_t kChunk = 1 << 20;
  chunk.reserve(kChunk + 4096);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    chunk.append(lines[i]);
    chunk.append("\r\n");
    if (chunk.size() >= kChunk) {
      if (std::fwrite(chunk.data(), 1, chunk.size(), f) != chunk.size()) return false;
      chunk.clear();
    }
  }
  return std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size();
}

}  // namespace

bool WriteDxfFile(const std::string& path, const LineList& lines) {
  std::error_code ec;
  fs::path target(path);
  // Saving through a link replaces the file it points to, not the link.
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    target = fs::canonical(target, ec);
    if (ec) return false;
  }
  if (target.empty() || fs::is_directory(target, ec)) return false;
  const bool existed = fs::exists(target, ec);

  fs::path tmp;
  std::FILE* f = CreateTemporaryBeside(target, tmp);
  if (!f) return false;
  std::setvbuf(f, nullptr, _IONBF, 0);
  bool ok = WriteAll(f, lines);
  ok = std::fflush(f) == 0 && ok;
  ok = ::fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok && existed) fs::permissions(tmp, fs::status(target, ec).permissions(), ec);
  if (ok) {
    fs::rename(tmp, target, ec);
    ok = !ec;
  }
  if (!ok) fs::remove(tmp, ec);
  return ok;
}

}  // namespace vestrel
