#include "document/linelist.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "document/pool.h"
#include "document/workers.h"

namespace vestrel {

std::uint64_t LineList::NewIdentity() {
  static std::uint64_t lists = 0;
  return ++lists;
}

LineList::LineList(const LineList& other)
    : encoding(other.encoding), base_(other.base_), added_(other.added_), garbage_(other.garbage_),
      spans_(other.spans_), changes_(other.changes_) {}

LineList::LineList(LineList&& other) noexcept
    : encoding(other.encoding), base_(std::move(other.base_)), added_(std::move(other.added_)),
      garbage_(std::exchange(other.garbage_, 0)), spans_(std::move(other.spans_)),
      changes_(std::move(other.changes_)), identity_(other.identity_) {
  other.identity_ = NewIdentity();
}

LineList& LineList::operator=(const LineList& other) {
  if (this != &other) *this = LineList(other);
  return *this;
}

LineList& LineList::operator=(LineList&& other) noexcept {
  if (this == &other) return *this;
  encoding = other.encoding;
  base_ = std::move(other.base_);
  added_ = std::move(other.added_);
  garbage_ = std::exchange(other.garbage_, 0);
  spans_ = std::move(other.spans_);
  changes_ = std::move(other.changes_);
  identity_ = other.identity_;
  other.identity_ = NewIdentity();
  return *this;
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// The high bit of every byte of `w` that is `c`, and no other bit.
std::uint64_t BytesEqual(std::uint64_t w, char c) {
  const std::uint64_t x = w ^ (kOnes * static_cast<unsigned char>(c));
  constexpr std::uint64_t kLow7 = kOnes * 0x7F;
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// Calls at(i) for every byte i of `text` that is LF or CR, in order; eight
// bytes at a time, as lines of a drawing are short.
template <class At>
void EachLineEndByte(std::string_view text, bool withCR, At at) {
  const char* const data = text.data();
  const std::size_t n = text.size();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, data + i, 8);
    std::uint64_t ends = BytesEqual(w, '\n');
    if (withCR) ends |= BytesEqual(w, '\r');
    for (; ends; ends &= ends - 1) at(i + static_cast<std::size_t>(__builtin_ctzll(ends)) / 8);
  }
  for (; i < n; ++i)
    if (data[i] == '\n' || (withCR && data[i] == '\r')) at(i);
}

// How many bytes of `text` are LF (or CR, when `withCR`).
std::size_t CountLineEndBytes(std::string_view text, bool withCR) {
  std::size_t count = 0;
  const std::size_t whole = text.size() / 8 * 8;
  for (std::size_t i = 0; i < whole; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + i, 8);
    std::uint64_t ends = BytesEqual(w, '\n');
    if (withCR) ends |= BytesEqual(w, '\r');
    // One bit a byte: their sum gathers in the top byte.
    count += static_cast<std::size_t>(((ends >> 7) * kOnes) >> 56);
  }
  for (std::size_t i = whole; i < text.size(); ++i) count += text[i] == '\n' || (withCR && text[i] == '\r');
  return count;
}

}  // namespace

namespace {

// Texts shorter than this are split into lines on one core.
constexpr std::size_t kSplitBytes = std::size_t{8} << 20;

}  // namespace

bool LineList::assign(std::string text) {
  if (text.size() > kMaxBytes) return false;
  const std::string_view all(text);
  const bool hasCR = all.find('\r') != std::string_view::npos;
  // A large text is split into lines in parts on the machine's cores, cut
  // after a LF (which ends a line whatever stands before it).
  std::vector<std::string_view> parts{all};
  if (all.size() >= kSplitBytes && WorkerCount() > 1) {
    const std::size_t lf = all.find('\n', all.size() / 2);
    if (lf != std::string_view::npos && lf + 1 < all.size()) parts = {all.substr(0, lf + 1), all.substr(lf + 1)};
  }
  const std::size_t n = parts.size();
  // Room for every line, counted first: growing the index would copy it.
  std::vector<std::size_t> upper(n), from(n), count(n);
  RunTasks(static_cast<int>(n), [&](int k) {
    upper[static_cast<std::size_t>(k)] = CountLineEndBytes(parts[static_cast<std::size_t>(k)], hasCR);
  });
  std::size_t room = 1;
  for (std::size_t k = 0; k < n; ++k) from[k] = room - 1, room += upper[k];
  if (room > kMaxLines + 1) return false;

  std::vector<Span> spans;
  spans.reserve(room);
  PreferHugePages(spans.data(), room * sizeof(Span));
  PopulatePages(spans.data(), room * sizeof(Span));
  spans.resize(room);
  // CR LF is one line end; a lone CR or LF is one too.
  std::vector<char> tooLong(n, 0);
  RunTasks(static_cast<int>(n), [&](int task) {
    const auto k = static_cast<std::size_t>(task);
    const std::string_view part = parts[k];
    const auto offset = static_cast<std::size_t>(part.data() - all.data());
    Span* out = spans.data() + from[k];
    std::size_t start = 0, made = 0;
    bool tooLongHere = false;
    EachLineEndByte(part, hasCR, [&](std::size_t i) {
      if (i < start) return;                                   // the LF of a CR LF
      tooLongHere = tooLongHere || ((i - start) & kAddedBit);  // a single line of 2 GiB or more
      out[made++] = {static_cast<std::uint32_t>(offset + start), static_cast<std::uint32_t>(i - start)};
      start = i + 1;
      if (part[i] == '\r' && start < part.size() && part[start] == '\n') ++start;
    });
    if (start < part.size()) {
      tooLongHere = tooLongHere || ((part.size() - start) & kAddedBit);
      out[made++] = {static_cast<std::uint32_t>(offset + start), static_cast<std::uint32_t>(part.size() - start)};
    }
    count[k] = made;
    tooLong[k] = tooLongHere;
  });
  // The parts' lines one after the other (CR LF counted twice left room).
  std::size_t lines = count[0];
  for (std::size_t k = 1; k < n; ++k) {
    std::memmove(spans.data() + lines, spans.data() + from[k], count[k] * sizeof(Span));
    lines += count[k];
  }
  spans.resize(lines);
  if (lines > kMaxLines || std::find(tooLong.begin(), tooLong.end(), 1) != tooLong.end()) return false;

  base_ = std::move(text);
  added_.clear();
  added_.shrink_to_fit();
  garbage_ = 0;
  spans_ = std::move(spans);
  changes_.setAll();
  return true;
}

void LineList::makeRoom(std::size_t bytes) {
  if (added_.size() + bytes > kMaxBytes) compactAdded();
}

LineList::Span LineList::append(std::string_view line) {
  const Span s{static_cast<std::uint32_t>(added_.size()),
               static_cast<std::uint32_t>(line.size()) | kAddedBit};
  added_.append(line);
  return s;
}

// Overwritten and deleted lines leave their bytes behind in the added arena.
// Once they outweigh the bytes in use (and a megabyte), only the lines in
// use are kept: each compaction walks the index and copies what is in use,
// paid for by at least as many bytes dropped since the last one.
void LineList::compactIfWasteful() {
  constexpr std::size_t kLeastGarbage = std::size_t{1} << 20;
  if (garbage_ > kLeastGarbage && garbage_ > added_.size() - garbage_) compactAdded();
}

void LineList::compactAdded() {
  std::string kept;
  for (Span& s : spans_) {
    if (!(s.len & kAddedBit)) continue;
    const std::uint32_t len = s.len & ~kAddedBit;
    const std::uint32_t off = static_cast<std::uint32_t>(kept.size());
    kept.append(added_, s.off, len);
    s.off = off;
  }
  added_ = std::move(kept);
  garbage_ = 0;
}

namespace {

std::size_t Bytes(const std::vector<std::string>& lines) {
  std::size_t n = 0;
  for (const std::string& l : lines) n += l.size();
  return n;
}

}  // namespace

void LineList::insert(std::size_t at, const std::vector<std::string>& lines) {
  makeRoom(Bytes(lines));
  std::vector<Span> added;
  added.reserve(lines.size());
  for (const std::string& l : lines) added.push_back(append(l));
  spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
  changes_.splice(at, 0, lines.size());
}

void LineList::insert(std::size_t at, std::string_view line) {
  makeRoom(line.size());
  const Span s = append(line);
  spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(at), s);
  changes_.splice(at, 0, 1);
}

void LineList::insert(std::vector<Insertion> insertions) {
  std::stable_sort(insertions.begin(), insertions.end(), [](const Insertion& a, const Insertion& b) { return a.at < b.at; });
  std::vector<Splice> splices;
  splices.reserve(insertions.size());
  for (const Insertion& i : insertions) splices.push_back({i.at, 0, i.lines});
  splice(splices);
}

void LineList::splice(const std::vector<Splice>& splices) {
  std::size_t bytes = 0;
  for (const Splice& s : splices)
    if (s.lines) bytes += Bytes(*s.lines);
  // Made before the lines move: a compaction rewrites the index.
  makeRoom(bytes);
  // The lines between two splices move by what the splices before them
  // put in less what they took out: those moving left are moved first,
  // from the left, then those moving right, from the right, so that none
  // is overwritten before it has moved.
  const std::size_t n = splices.size(), oldSize = spans_.size();
  std::vector<std::ptrdiff_t> shift(n + 1, 0);
  for (std::size_t k = 0; k < n; ++k) {
    const Splice& s = splices[k];
    for (std::size_t i = s.at; i < s.at + s.erase; ++i) dropped(spans_[i]);
    const std::size_t put = s.lines ? s.lines->size() : 0;
    shift[k + 1] = shift[k] + static_cast<std::ptrdiff_t>(put) - static_cast<std::ptrdiff_t>(s.erase);
  }
  const auto newSize = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(oldSize) + shift[n]);
  if (newSize > oldSize) spans_.resize(newSize);
  // Stretch k: the lines after splice k - 1 and before splice k.
  auto from = [&](std::size_t k) { return k == 0 ? 0 : splices[k - 1].at + splices[k - 1].erase; };
  auto to = [&](std::size_t k) { return k == n ? oldSize : splices[k].at; };
  auto at = [&](std::size_t i, std::ptrdiff_t by = 0) { return spans_.begin() + static_cast<std::ptrdiff_t>(i) + by; };
  for (std::size_t k = 1; k <= n; ++k)
    if (shift[k] < 0) std::move(at(from(k)), at(to(k)), at(from(k), shift[k]));
  for (std::size_t k = n; k >= 1; --k)
    if (shift[k] > 0) std::move_backward(at(from(k)), at(to(k)), at(to(k), shift[k]));
  for (std::size_t k = 0; k < n; ++k) {
    const Splice& s = splices[k];
    auto put = at(s.at, shift[k]);
    if (s.lines)
      for (const std::string& l : *s.lines) *put++ = append(l);
    changes_.splice(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(s.at) + shift[k]), s.erase,
                    s.lines ? s.lines->size() : 0);
  }
  if (newSize < oldSize) spans_.resize(newSize);
  compactIfWasteful();
}

void LineList::erase(std::size_t at, std::size_t count) {
  for (std::size_t i = at; i < at + count; ++i) dropped(spans_[i]);
  spans_.erase(spans_.begin() + static_cast<std::ptrdiff_t>(at),
               spans_.begin() + static_cast<std::ptrdiff_t>(at + count));
  changes_.splice(at, count, 0);
  compactIfWasteful();
}

void LineList::replace(std::size_t i, std::string_view line) {
  Span& s = spans_[i];
  const std::uint32_t len = s.len & ~kAddedBit;
  if ((s.len & kAddedBit) && line.size() <= len) {
    // A line of the added arena is its bytes' only owner: a line no
    // longer than it takes its place there.
    std::memmove(added_.data() + s.off, line.data(), line.size());
    s.len = static_cast<std::uint32_t>(line.size()) | kAddedBit;
    garbage_ += len - line.size();
  } else {
    makeRoom(line.size());
    const Span old = s;
    spans_[i] = append(line);
    dropped(old);
  }
  changes_.splice(i, 1, 1);
  compactIfWasteful();
}

std::vector<std::string> LineList::copy(std::size_t at, std::size_t count) const {
  std::vector<std::string> out;
  out.reserve(count);
  for (std::size_t i = at; i < at + count; ++i) out.emplace_back((*this)[i]);
  return out;
}

std::string LineList::join(std::string_view eol) const {
  std::size_t total = 0;
  for (const Span& s : spans_) total += (s.len & ~kAddedBit) + eol.size();
  std::string out;
  out.reserve(total);
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    out.append((*this)[i]);
    out.append(eol);
  }
  return out;
}

}  // namespace vestrel
