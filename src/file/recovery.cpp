#include "file/recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "file/options.h"

namespace vestrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "VESTREL RECOVERY 1\n";
constexpr std::string_view kSuffix = ".vrec";
constexpr std::string_view kBaseSuffix = ".base";
// The most a flush sends on to the disk at once.
constexpr std::size_t kSentAtOnce = std::size_t{1} << 20;

// The record types. Upper case: what the journal does (a step begun, its
// splices, undo and redo); lower case: splices made outside the journal's
// steps (a line kept, and the steps made before the record began, played
// as they were undone or redone).
enum Type : char {
  kBase = 'B',
  kStep = 'S',
  kInsert = 'I',
  kOverwrite = 'O',
  kErase = 'E',
  kUndo = 'U',
  kRedo = 'R',
  kHandles = 'H',
  kFlushed = 'F',  // what comes before it was written whole
  kForget = 'C',   // the history the record holds is forgotten
  kKept = 'k',
  kPlainInsert = 'i',
  kPlainOverwrite = 'o',
  kPlainErase = 'e',
};

std::uint64_t Mix(std::uint64_t h, std::uint64_t w) {
  h ^= w;
  h *= 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

// A 64-bit hash of bytes, eight at a time.
std::uint64_t Hash(std::uint64_t h, std::string_view s) {
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    h = Mix(h, w);
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, s.data() + i, s.size() - i);
  return Mix(h, tail ^ (static_cast<std::uint64_t>(s.size()) << 56));
}

// --- writing -------------------------------------------------------------------------

class Out {
 public:
  explicit Out(std::string& to, char type) : to_(to), at_(to.size()) {
    to_.append(4, '\0');
    to_ += type;
  }
  Out& u32(std::uint32_t v) { return bytes(&v, 4); }
  Out& i32(std::int32_t v) { return bytes(&v, 4); }
  Out& u64(std::uint64_t v) { return bytes(&v, 8); }
  Out& i64(std::int64_t v) { return bytes(&v, 8); }
  Out& text(std::string_view s) {
    u32(static_cast<std::uint32_t>(s.size()));
    to_.append(s);
    return *this;
  }
  // Ends the record: its length.
  ~Out() {
    const auto length = static_cast<std::uint32_t>(to_.size() - at_ - 4);
    std::memcpy(to_.data() + at_, &length, 4);
  }

 private:
  Out& bytes(const void* p, std::size_t n) {
    to_.append(static_cast<const char*>(p), n);
    return *this;
  }
  std::string& to_;
  std::size_t at_;
};

// --- reading -------------------------------------------------------------------------

class In {
 public:
  explicit In(std::string_view s) : s_(s) {}
  bool u32(std::uint32_t& v) { return bytes(&v, 4); }
  bool i32(std::int32_t& v) { return bytes(&v, 4); }
  bool u64(std::uint64_t& v) { return bytes(&v, 8); }
  bool i64(std::int64_t& v) { return bytes(&v, 8); }
  bool text(std::string& out) {
    std::uint32_t n;
    if (!u32(n) || n > s_.size() - at_) return false;
    out.assign(s_.substr(at_, n));
    at_ += n;
    return true;
  }
  // `count` texts; each takes four bytes at least, so no count beyond
  // what the bytes can hold is believed.
  bool texts(std::uint32_t count, std::vector<std::string>& out) {
    if (count > (s_.size() - at_) / 4) return false;
    out.resize(count);
    for (std::string& t : out)
      if (!text(t)) return false;
    return true;
  }
  bool done() const { return at_ == s_.size(); }

 private:
  bool bytes(void* p, std::size_t n) {
    if (n > s_.size() - at_) return false;
    std::memcpy(p, s_.data() + at_, n);
    at_ += n;
    return true;
  }
  std::string_view s_;
  std::size_t at_ = 0;
};

// The fields of one record into `r`; false when they make no sense.
bool ReadFields(char type, In& in, Recovery& r) {
  if (type == kBase) {
    std::uint32_t fromFile, encoding, count;
    if (!in.u32(fromFile) || !in.u32(encoding) || encoding > static_cast<std::uint32_t>(TextEncoding::Utf16BENoBom))
      return false;
    r.fromFile = fromFile != 0;
    r.encoding = static_cast<TextEncoding>(encoding);
    FileIdentity& id = r.identity;
    if (!in.i64(r.began) || !in.text(r.path) || !in.u64(id.size) || !in.i64(id.mtimeNs) || !in.u64(id.inode) ||
        !in.u64(id.device) || !in.u64(r.hash) || !in.u32(count))
      return false;
    id.exists = r.fromFile;
    return r.fromFile ? count == 0 : in.texts(count, r.lines);
  }
  Recovery::Event e;
  e.type = type;
  std::uint32_t n;
  switch (type) {
    case kStep:
    case kUndo:
    case kRedo:
    case kForget: break;
    case kFlushed:
      if (!in.u64(e.number)) return false;
      break;
    case kHandles:
      if (!in.u64(e.number)) return false;
      break;
    case kInsert:
    case kPlainInsert:
      if (!in.i32(e.at) || !in.u32(n) || !in.texts(n, e.texts)) return false;
      break;
    case kOverwrite:
    case kPlainOverwrite:
    case kKept:
      e.texts.resize(1);
      if (!in.i32(e.at) || !in.text(e.texts[0])) return false;
      break;
    case kErase:
    case kPlainErase:
      if (!in.i32(e.at) || !in.i32(e.count)) return false;
      break;
    default: return false;
  }
  r.events.push_back(std::move(e));
  return true;
}

bool Fits(std::int64_t size, std::int64_t at, std::int64_t count, bool insert) {
  if (at < 0 || count < 0) return false;
  return insert ? at <= size : at + count <= size;
}

// Whether `step` can be played backwards (or forwards) on `size` lines,
// which it leaves at the size it returns; -1 when a splice would reach
// beyond the lines.
std::int64_t PlayedSize(const tundo& step, std::int64_t size, bool backwards) {
  auto one = [&](const taction& a) {
    const bool insert = a.typ == 0 ? !backwards : a.typ == 1 && backwards;
    const std::int64_t n = a.typ == 2 ? 1 : insert ? static_cast<std::int64_t>(a.ustrs.size()) : a.len;
    if (size < 0 || !Fits(size, a.start, a.typ == 2 ? 1 : insert ? 0 : n, insert)) return size = -1, false;
    if (a.typ != 2) size += insert ? n : -n;
    return true;
  };
  if (backwards) {
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a)
      if (!one(*a)) return -1;
  } else {
    for (const taction& a : step.actions)
      if (!one(a)) return -1;
  }
  return size;
}

// Whether every step of the history can still be taken back and done
// again: a record that does not hold its own history is forgotten rather
// than played beyond the lines.
bool Playable(const Journal& j, std::int64_t size) {
  std::int64_t s = size;
  for (auto u = j.undos.rbegin(); u != j.undos.rend() && s >= 0; ++u) s = PlayedSize(*u, s, true);
  if (s < 0) return false;
  s = size;
  for (auto r = j.redos.rbegin(); r != j.redos.rend() && s >= 0; ++r) s = PlayedSize(*r, s, false);
  return s >= 0;
}

std::string RecordName() {
  static std::atomic<unsigned> counter{0};
  return std::to_string(std::time(nullptr)) + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
         std::string(kSuffix);
}

}  // namespace

std::uint64_t LinesHash(const LineList& lines) {
  std::uint64_t h = Mix(0, lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) h = Hash(h, lines[i]);
  return h;
}

Recovery ReadRecovery(std::string_view bytes) {
  Recovery r;
  if (!bytes.starts_with(kMagic)) {
    r.damaged = !bytes.empty();
    return r;
  }
  std::size_t at = kMagic.size();
  bool based = false;
  std::size_t flushed = 0;        // events up to the last whole flush
  std::size_t batch = at;         // where the records since that flush begin
  std::size_t baseEnd = 0;
  while (at < bytes.size()) {
    In head(bytes.substr(at));
    std::uint32_t length;
    if (!head.u32(length) || length < 1 || length > bytes.size() - at - 4) break;
    const std::string_view body = bytes.substr(at + 4, length);
    // The base first, once; then changes.
    const char type = body[0];
    if ((type == kBase) == based) break;
    In in(body.substr(1));
    const std::size_t before = r.events.size();
    if (!ReadFields(type, in, r) || !in.done()) {
      r.events.resize(before);
      break;
    }
    // A flush holds the check of all it ends.
    if (type == kFlushed && r.events.back().number != Hash(0, bytes.substr(batch, at - batch))) {
      r.events.resize(flushed);
      break;
    }
    at += 4 + length;
    if (!based) baseEnd = at;
    based = true;
    if (type != kBase) {
      r.events.back().end = at;
      if (type == kFlushed) {
        flushed = r.events.size();
        batch = at;
        r.baseEnd = baseEnd;
      }
    }
  }
  if (!r.based()) {
    r = Recovery{};
    r.damaged = true;
    return r;
  }
  r.damaged = r.endAfter(flushed) != bytes.size();
  r.events.resize(flushed);
  return r;
}

std::size_t ReplayRecovery(const Recovery& r, LineList& dxf, Journal& j, std::size_t most) {
  std::optional<ChangeStep> step;
  std::size_t played = 0;
  for (const Recovery::Event& e : r.events) {
    if (played == most) break;
    const auto size = static_cast<std::int64_t>(dxf.size());
    const bool ok = [&] {
      switch (e.type) {
        case kFlushed: return true;
        case kStep: step.emplace(j, dxf); return true;
        case kInsert:
        case kOverwrite:
        case kErase:
          if (!step) return false;
          break;
        case kUndo:
          step.reset();
          return !j.undos.empty() && PlayedSize(j.undos.back(), size, true) >= 0 && UndoLastStep(j, dxf);
        case kRedo:
          step.reset();
          return !j.redos.empty() && PlayedSize(j.redos.back(), size, false) >= 0 && RedoLastStep(j, dxf);
        case kForget:
          step.reset();
          j.undos.clear();
          j.redos.clear();
          return true;
        case kHandles: j.handlesIssued = e.number; return true;
        default: break;
      }
      const bool insert = e.type == kInsert || e.type == kPlainInsert;
      const bool erase = e.type == kErase || e.type == kPlainErase;
      if (!Fits(size, e.at, insert ? 0 : erase ? e.count : 1, insert)) return false;
      switch (e.type) {
        case kInsert: step->insert(e.at, e.texts); break;
        case kOverwrite: step->overwrite(e.at, e.texts[0]); break;
        case kErase: step->erase(e.at, e.count); break;
        case kPlainInsert: dxf.insert(static_cast<std::size_t>(e.at), e.texts); break;
        case kPlainErase: dxf.erase(static_cast<std::size_t>(e.at), static_cast<std::size_t>(e.count)); break;
        case kKept: OverwriteKept(j, dxf, static_cast<std::size_t>(e.at), e.texts[0]); break;
        case kPlainOverwrite: dxf.replace(static_cast<std::size_t>(e.at), e.texts[0]); break;
        default: return false;
      }
      return true;
    }();
    if (!ok) break;
    ++played;
  }
  if (!Playable(j, static_cast<std::int64_t>(dxf.size()))) {
    j.undos.clear();
    j.redos.clear();
  }
  return played;
}

std::size_t WholeFlushes(const Recovery& r, std::size_t played) {
  while (played > 0 && r.events[played - 1].type != kFlushed) --played;
  return played;
}

RecoveryLog::RecoveryLog(std::string folder) : folder_(std::move(folder)) {}

RecoveryLog::~RecoveryLog() {
  if (journal_ && journal_->listener == this) journal_->listener = nullptr;
  if (fd_ >= 0) ::close(fd_);  // the record stays: the program did not drop the drawing
}

void RecoveryLog::Attach(Journal& j) {
  journal_ = &j;
  j.listener = this;
}

bool RecoveryLog::begin() {
  if (fd_ >= 0) return true;
  if (given_up || folder_.empty() || !base_) return false;
  auto fail = [&](FileError e) {
    if (error_ == FileError::None) error_ = e;
    given_up = true;
    pending_.clear();
    return false;
  };
  if (const FileError e = CreateProgramDir(folder_); e != FileError::None) return fail(e);
  ::chmod(folder_.c_str(), 0700);
  const std::string name = folder_ + RecordName();
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_APPEND, 0600);
  if (fd < 0) return fail(FileError::IoError);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    ::unlink(name.c_str());
    return fail(FileError::IoError);
  }
  fd_ = fd;
  file_ = name;
  // A second name of the file the drawing came from: should it be replaced
  // before the drawing is recovered, what the record begins from stays.
  if (!basePath_.empty()) (void)::link(basePath_.c_str(), (file_ + std::string(kBaseSuffix)).c_str());
  pending_.assign(kMagic);
  checkFrom_ = kMagic.size();
  {
    Out o(pending_, kBase);
    o.u32(basePath_.empty() ? 0 : 1).u32(static_cast<std::uint32_t>(base_->encoding));
    o.i64(static_cast<std::int64_t>(std::time(nullptr))).text(basePath_);
    o.u64(baseIdentity_.size).i64(baseIdentity_.mtimeNs).u64(baseIdentity_.inode).u64(baseIdentity_.device);
    o.u64(LinesHash(*base_));
    if (basePath_.empty()) {
      o.u32(static_cast<std::uint32_t>(base_->size()));
      for (std::size_t i = 0; i < base_->size(); ++i) o.text((*base_)[i]);
    } else {
      o.u32(0);
    }
  }
  handlesWritten_ = journal_ ? journal_->handlesIssued : 0;
  return true;
}

void RecoveryLog::Flush() {
  if (fd_ < 0) return;
  if (journal_ && journal_->handlesIssued != handlesWritten_) {
    handlesWritten_ = journal_->handlesIssued;
    Out(pending_, kHandles).u64(handlesWritten_);
  }
  if (pending_.empty()) return;
  const std::uint64_t check = Hash(0, std::string_view(pending_).substr(checkFrom_));
  Out(pending_, kFlushed).u64(check);
  checkFrom_ = 0;
  const std::size_t batch = pending_.size();
  std::size_t done = 0;
  while (done < pending_.size()) {
    const ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (error_ == FileError::None) error_ = errno == ENOSPC || errno == EDQUOT ? FileError::NoSpace : FileError::IoError;
      // A record with a hole is worth nothing: it goes.
      Discard();
      given_up = true;
      return;
    }
    done += static_cast<std::size_t>(n);
  }
  pending_.clear();
  // A program killed now loses nothing written. The changes of a few edits
  // are sent on to the disk at once, without waiting for it; those of a
  // huge one (whose sending would hold the window up) the system writes in
  // its own time, within seconds.
  if (batch <= kSentAtOnce) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

void RecoveryLog::Discard() {
  pending_.clear();
  if (fd_ < 0) return;
  ::unlink(file_.c_str());
  ::unlink((file_ + std::string(kBaseSuffix)).c_str());
  ::close(fd_);
  fd_ = -1;
  file_.clear();
}

bool RecoveryLog::Adopt(const std::string& path, const Recovery& r, std::size_t played, const LineList& lines) {
  Restarted(lines, {});
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_APPEND);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, static_cast<off_t>(r.endAfter(played))) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  file_ = path;
  // The journal holds every step of the record now.
  heldUndos_.assign(journal_ ? journal_->undos.size() : 0, true);
  heldRedos_.assign(journal_ ? journal_->redos.size() : 0, true);
  handlesWritten_ = journal_ ? journal_->handlesIssued : 0;
  return true;
}

std::vector<std::string> RecoveryLog::Orphans() const {
  std::vector<std::pair<fs::file_time_type, std::string>> found;
  std::error_code ec;
  if (folder_.empty()) return {};
  for (const auto& entry : fs::directory_iterator(folder_, ec)) {
    const std::string name = entry.path().string();
    if (entry.path().extension() != kSuffix || name == file_ || !entry.is_regular_file(ec)) continue;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    // A running program holds its record locked.
    const bool orphan = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    if (orphan) found.emplace_back(entry.last_write_time(ec), name);
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> names;
  for (auto& f : found) names.push_back(std::move(f.second));
  return names;
}

void RecoveryLog::Restarted(const LineList& lines, const std::string& path) {
  Discard();
  given_up = false;
  base_ = &lines;
  basePath_ = path;
  baseIdentity_ = path.empty() ? FileIdentity{} : IdentityOf(path);
  // The steps the journal holds now were made before the record begins.
  heldUndos_.assign(journal_ ? journal_->undos.size() : 0, false);
  heldRedos_.assign(journal_ ? journal_->redos.size() : 0, false);
}

void RecoveryLog::Saving(const std::string& path) {
  // The second name of the file the record begins from would make the save
  // write the file in place (as it does a file with more names), the name
  // then holding the new text too. Saved over, the file is what the record
  // goes on from; not saved, it stays what the record begins from.
  if (!file_.empty() && IdentityOf(path) == baseIdentity_) ::unlink((file_ + std::string(kBaseSuffix)).c_str());
}

void RecoveryLog::StepBegun() {
  heldRedos_.clear();
  heldUndos_.push_back(true);
  if (begin()) Out(pending_, kStep);
}

void RecoveryLog::Inserted(std::int32_t at, const std::vector<std::string>& lines) {
  if (!begin()) return;
  Out o(pending_, kInsert);
  o.i32(at).u32(static_cast<std::uint32_t>(lines.size()));
  for (const std::string& l : lines) o.text(l);
}

void RecoveryLog::Overwritten(std::int32_t at, std::string_view text) {
  if (begin()) Out(pending_, kOverwrite).i32(at).text(text);
}

void RecoveryLog::Erased(std::int32_t at, std::int32_t count) {
  if (begin()) Out(pending_, kErase).i32(at).i32(count);
}

void RecoveryLog::Kept(std::int32_t at, std::string_view text) {
  if (begin()) Out(pending_, kKept).i32(at).text(text);
}

void RecoveryLog::Undoing(const tundo& step) { moved(step, true); }
void RecoveryLog::Redoing(const tundo& step) { moved(step, false); }

void RecoveryLog::moved(const tundo& step, bool backwards) {
  std::vector<bool>& from = backwards ? heldUndos_ : heldRedos_;
  std::vector<bool>& to = backwards ? heldRedos_ : heldUndos_;
  const bool held = !from.empty() && from.back();
  if (!from.empty()) from.pop_back();
  to.push_back(held);
  if (!begin()) return;
  if (held)
    Out(pending_, backwards ? kUndo : kRedo);
  else
    played(step, backwards);
}

void RecoveryLog::played(const tundo& step, bool backwards) {
  // What Backwards and Forwards in the journal do with each action: an
  // insertion taken back erases its lines, a deletion inserts what it
  // keeps, an overwrite puts back the text it keeps.
  auto one = [&](const taction& a) {
    const bool insert = a.typ == 0 ? !backwards : a.typ == 1 ? backwards : false;
    if (a.typ == 2) {
      if (!a.ustrs.empty()) Out(pending_, kPlainOverwrite).i32(a.start).text(a.ustrs.front());
    } else if (insert) {
      Out o(pending_, kPlainInsert);
      o.i32(a.start).u32(static_cast<std::uint32_t>(a.ustrs.size()));
      for (const std::string& l : a.ustrs) o.text(l);
    } else {
      Out(pending_, kPlainErase).i32(a.start).i32(a.len);
    }
  };
  if (backwards)
    for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a) one(*a);
  else
    for (const taction& a : step.actions) one(a);
  // The steps the record holds were made on the lines as that step left
  // them: without it they would be played on other lines. The history goes;
  // what is drawn stays exact.
  Out(pending_, kForget);
  heldUndos_.assign(heldUndos_.size(), false);
  heldRedos_.assign(heldRedos_.size(), false);
}

}  // namespace vestrel
