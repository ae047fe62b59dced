#include "i18n/translatefile.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <unordered_map>

#include "file/options.h"

namespace vestrel {

namespace fs = std::filesystem;

namespace {

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::size_t left() const { return bytes_.size() - at_; }
  std::optional<std::uint32_t> u32() {
    if (left() < 4) return std::nullopt;
    const auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at_ + i])); };
    const std::uint32_t v = b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
    at_ += 4;
    return v;
  }
  std::uint16_t unit() {
    const auto v = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[at_]) |
                                              static_cast<unsigned char>(bytes_[at_ + 1]) << 8);
    at_ += 2;
    return v;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// A string of the file as UTF-8; damage when it is not whole or not UTF-16.
DictionaryDamage ReadString(Reader& r, std::string& out) {
  const auto count = r.u32();
  if (!count) return DictionaryDamage::Truncated;
  if (*count > r.left() / 2) return DictionaryDamage::StringTooLong;
  out.clear();
  for (std::uint32_t i = 0; i < *count; ++i) {
    std::uint32_t cp = r.unit();
    if (cp >= 0xDC00 && cp <= 0xDFFF) return DictionaryDamage::InvalidUtf16;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 1 == *count) return DictionaryDamage::InvalidUtf16;
      const std::uint32_t low = r.unit();
      ++i;
      if (low < 0xDC00 || low > 0xDFFF) return DictionaryDamage::InvalidUtf16;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, cp);
  }
  return DictionaryDamage::None;
}

// Calls `unit` with each UTF-16 code unit of UTF-8 text; what is no UTF-8
// becomes U+FFFD.
template <class Unit>
void ForEachUtf16Unit(std::string_view s, Unit unit) {
  std::size_t i = 0;
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const auto cont = [&](std::size_t k) { return k < s.size() && (b(k) & 0xC0) == 0x80; };
  while (i < s.size()) {
    const unsigned c = b(i);
    std::uint32_t cp = 0xFFFD;
    std::size_t n = 1;
    if (c < 0x80) {
      cp = c;
    } else if (c >= 0xC2 && c < 0xE0 && cont(i + 1)) {
      cp = (c & 0x1F) << 6 | (b(i + 1) & 0x3F), n = 2;
    } else if (c >= 0xE0 && c < 0xF0 && cont(i + 1) && cont(i + 2)) {
      cp = (c & 0x0F) << 12 | (b(i + 1) & 0x3F) << 6 | (b(i + 2) & 0x3F), n = 3;
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    } else if (c >= 0xF0 && c < 0xF5 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      cp = (c & 0x07) << 18 | (b(i + 1) & 0x3F) << 12 | (b(i + 2) & 0x3F) << 6 | (b(i + 3) & 0x3F), n = 4;
      if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
    }
    i += n;
    if (cp >= 0x10000) {
      unit(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      unit(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      unit(static_cast<char16_t>(cp));
    }
  }
}

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
}

std::string Folder(const std::string& file) { return fs::path(file).parent_path().string() + "/"; }

}  // namespace

DictionaryBytes ReadTranslateBytes(std::string_view bytes) {
  DictionaryBytes read;
  Reader r(bytes);
  const auto slotCount = r.u32();
  const auto count = r.u32();
  if (!slotCount || !count) {
    read.damage = DictionaryDamage::Truncated;
    return read;
  }
  if (*slotCount == 0) {
    read.damage = *count == 0 && r.left() == 0 ? DictionaryDamage::None : DictionaryDamage::NoSlots;
    return read;
  }
  std::string text;
  // The counts are only believed as far as the bytes go: every string takes
  // four bytes at least, so the loop ends with them.
  for (std::uint32_t e = 0; e < *count; ++e) {
    DictionaryEntry entry;
    for (std::uint32_t s = 0; s < *slotCount; ++s) {
      read.damage = ReadString(r, text);
      if (read.damage != DictionaryDamage::None) return read;
      if (s < kSlots) entry.set(static_cast<int>(s), text);
    }
    // An entry of no text at all holds nothing to keep.
    if (!entry.texts.empty()) read.entries.push_back(std::move(entry));
  }
  if (r.left() > 0) read.damage = DictionaryDamage::TrailingBytes;
  return read;
}

namespace {

// L of the file: the slots of the fullest entry, one at least.
std::uint32_t SlotsUsed(const std::vector<DictionaryEntry>& entries) {
  std::size_t slots = 1;
  for (const DictionaryEntry& e : entries) slots = std::max(slots, e.texts.size());
  return static_cast<std::uint32_t>(slots);
}

}  // namespace

std::string TranslateBytes(const std::vector<DictionaryEntry>& entries) {
  const std::uint32_t slots = SlotsUsed(entries);
  std::string out;
  PutU32(out, slots);
  PutU32(out, static_cast<std::uint32_t>(
                  std::count_if(entries.begin(), entries.end(), [](const DictionaryEntry& e) { return !e.texts.empty(); })));
  for (const DictionaryEntry& e : entries) {
    if (e.texts.empty()) continue;
    for (std::uint32_t n = 0; n < slots; ++n) {
      const std::size_t count = out.size();
      PutU32(out, 0);
      std::uint32_t units = 0;
      ForEachUtf16Unit(e.slot(static_cast<int>(n)), [&](char16_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
        ++units;
      });
      for (int i = 0; i < 4; ++i) out[count + static_cast<std::size_t>(i)] = static_cast<char>(units >> (8 * i) & 0xFF);
    }
  }
  return out;
}

std::uintmax_t TranslateSize(const std::vector<DictionaryEntry>& entries) {
  const std::uint32_t slots = SlotsUsed(entries);
  std::uintmax_t size = 8;
  for (const DictionaryEntry& e : entries) {
    if (e.texts.empty()) continue;
    size += 4 * slots;
    for (const std::string& text : e.texts) ForEachUtf16Unit(text, [&](char16_t) { size += 2; });
  }
  return size;
}

namespace {

// The entries of the file at `path` as far as they are sound, its damage
// into `file` (the first file found damaged is the one told of). False when
// there is no such file.
bool ReadEntries(const std::string& path, std::vector<DictionaryEntry>& entries, DictionaryFile& file) {
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return false;
  auto damaged = [&](DictionaryDamage d) {
    if (d == DictionaryDamage::None || file.damage != DictionaryDamage::None) return;
    file.damage = d;
    file.damagedFile = path;
  };
  std::string bytes;
  const FileError e = ReadWholeFile(path, bytes, kMaxTranslateBytes);
  if (e != FileError::None) {
    damaged(e == FileError::TooLarge ? DictionaryDamage::TooLarge : DictionaryDamage::Unreadable);
    return true;
  }
  try {
    DictionaryBytes read = ReadTranslateBytes(bytes);
    damaged(read.damage);
    entries = std::move(read.entries);
  } catch (const std::bad_alloc&) {
    damaged(DictionaryDamage::TooLarge);
    entries.clear();
  }
  return true;
}

// The entries by their German text; of two with one text, the first.
std::unordered_map<std::string_view, std::size_t> BySource(const std::vector<DictionaryEntry>& entries) {
  std::unordered_map<std::string_view, std::size_t> index;
  for (std::size_t i = 0; i < entries.size(); ++i) index.emplace(entries[i].slot(0), i);
  return index;
}

// The user's entries laid over the shipped ones.
void LayOver(std::vector<DictionaryEntry>& entries, std::vector<DictionaryEntry> user) {
  const auto index = BySource(entries);
  for (DictionaryEntry& mine : user) {
    const auto at = index.find(mine.slot(0));
    if (at == index.end()) {
      entries.push_back(std::move(mine));
      continue;
    }
    DictionaryEntry& shipped = entries[at->second];
    for (int n = 1; n < kSlots; ++n)
      if (!mine.slot(n).empty()) shipped.set(n, mine.slot(n));
  }
}

// What the per-user file keeps: the entries that are not among the shipped
// ones as they are.
std::vector<DictionaryEntry> UsersOwn(const std::vector<DictionaryEntry>& entries,
                                      const std::vector<DictionaryEntry>& shipped) {
  const auto index = BySource(shipped);
  std::vector<DictionaryEntry> own;
  for (const DictionaryEntry& e : entries) {
    const auto at = index.find(e.slot(0));
    if (at == index.end() || shipped[at->second].texts != e.texts) own.push_back(e);
  }
  return own;
}

}  // namespace

void LoadDictionary(DictionaryFile& file, Dictionary& dictionary) {
  file.loadedFrom.clear();
  file.shipped.clear();
  file.damagedFile.clear();
  file.damage = DictionaryDamage::None;
  file.keptAs.clear();
  for (const std::string& path : {file.programFile, file.shippedFile}) {
    if (!ReadEntries(path, file.shipped, file)) continue;
    file.loadedFrom = path;
    break;
  }
  std::vector<DictionaryEntry> entries = file.shipped;
  std::vector<DictionaryEntry> user;
  if (file.userFile != file.loadedFrom && ReadEntries(file.userFile, user, file)) LayOver(entries, std::move(user));
  dictionary.Assign(std::move(entries));
}

namespace {

// Puts the damaged file at `path` aside under the first of "NAME.bad",
// "NAME.bad.1", "NAME.bad.2", ... that is free, so that no copy kept
// before is ever replaced; the name it got, or empty when it could not.
std::string KeepAside(const std::string& path) {
  constexpr int kMostCopies = 1000;
  for (int n = 0; n < kMostCopies; ++n) {
    const std::string aside = path + ".bad" + (n == 0 ? std::string() : "." + std::to_string(n));
    // A second name for the file, which fails on a name taken; then the
    // first name goes. What takes no second name (a folder, a file system
    // without them) is renamed to a name found free.
    std::error_code ec;
    fs::create_hard_link(path, aside, ec);
    if (ec == std::errc::file_exists) continue;
    if (ec) {
      if (fs::symlink_status(aside, ec).type() != fs::file_type::not_found) continue;
      fs::rename(path, aside, ec);
    } else {
      fs::remove(path, ec);
    }
    return ec ? std::string() : aside;
  }
  return {};
}

}  // namespace

FileError SaveDictionary(DictionaryFile& file, const Dictionary& dictionary) {
  // The user's own file once there is one; else the program's whole, but
  // never the installed one.
  std::error_code ec;
  const bool usersOwn = (!file.loadedFrom.empty() && file.loadedFrom == file.shippedFile) ||
                        (!file.userFile.empty() && fs::exists(file.userFile, ec));
  FileError result = FileError::NotFound;
  auto write = [&](const std::string& target, const std::vector<DictionaryEntry>& entries) {
    try {
      const std::string bytes = TranslateBytes(entries);
      // Never a file that the next start could not read.
      if (bytes.size() > kMaxTranslateBytes) return result = FileError::TooLarge;
      // A damaged file is never replaced by the part of it that was read.
      if (target == file.damagedFile && file.keptAs.empty() && fs::exists(target, ec)) {
        file.keptAs = KeepAside(target);
        if (file.keptAs.empty()) return result = FileError::NoPermission;
      }
      return result = WriteWholeFile(target, bytes);
    } catch (const std::bad_alloc&) {
      return result = FileError::OutOfMemory;
    }
  };
  if (!usersOwn && !file.programFile.empty() && write(file.programFile, dictionary.entries()) == FileError::None)
    return result;
  if (file.userFile.empty() || (result = CreateProgramDir(Folder(file.userFile))) != FileError::None) return result;
  try {
    return write(file.userFile, UsersOwn(dictionary.entries(), file.shipped));
  } catch (const std::bad_alloc&) {
    return FileError::OutOfMemory;
  }
}

std::string_view DictionaryDamageText(DictionaryDamage d) {
  switch (d) {
    case DictionaryDamage::None: return "";
    case DictionaryDamage::Unreadable: return "Die Datei kann nicht gelesen werden.";
    case DictionaryDamage::TooLarge: return "Die Datei ist zu groß für ein Wörterbuch.";
    case DictionaryDamage::Truncated: return "Die Datei endet vor ihrem letzten Eintrag.";
    case DictionaryDamage::NoSlots: return "Die Datei gibt null Texte je Eintrag an.";
    case DictionaryDamage::StringTooLong: return "Ein Text reicht über das Ende der Datei hinaus.";
    case DictionaryDamage::InvalidUtf16: return "Ein Text ist kein gültiges UTF-16.";
    case DictionaryDamage::TrailingBytes: return "Nach dem letzten Eintrag folgen weitere Bytes.";
  }
  return "";
}

}  // namespace vestrel
