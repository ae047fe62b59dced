// The document: the DXF text as a list of lines.
//
// A drawing is held exactly as its file's bytes, one entry per text line,
// without the line ends. Every edit is a splice of whole lines; nothing is
// ever re-generated, so whatever the editor does not understand survives.
//
// The bytes live in two arenas: the file as it was read (never changed) and
// the text added by edits (appended to, and compacted once most of it is
// text no line uses any more). A line is an 8-byte reference into
// one of them, so five million lines cost forty megabytes of index and no
// allocation per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/linechanges.h"

namespace vestrel {

// How the file's bytes are to be read as text. The lines themselves are kept
// as bytes; the encoding only matters for showing texts and names
// (DecodeUnicode) and for what the user types into the drawing
// (EncodeUnicode), and for writing the file back as it came.
enum class TextEncoding : std::uint8_t {
  Utf8,     // valid UTF-8 without byte-order mark
  Utf8Bom,  // UTF-8 with byte-order mark
  Ansi,     // anything else: the 8-bit Windows code page 1252
  Utf16LE,  // UTF-16 with byte-order mark; held as UTF-8 in memory
  Utf16BE,
  Utf16LENoBom,  // UTF-16 without byte-order mark, told by its zero bytes
  Utf16BENoBom,
};

inline bool IsUtf16(TextEncoding e) {
  return e == TextEncoding::Utf16LE || e == TextEncoding::Utf16BE || e == TextEncoding::Utf16LENoBom ||
         e == TextEncoding::Utf16BENoBom;
}

class LineList {
 public:
  // Every list is a list of its own (identity()); a move hands its
  // identity on with its lines, a copy is another list.
  LineList() = default;
  LineList(const LineList& other);
  LineList(LineList&& other) noexcept;
  LineList& operator=(const LineList& other);
  LineList& operator=(LineList&& other) noexcept;

  // Largest number of lines and bytes one list can hold.
  static constexpr std::size_t kMaxLines = 0x7fffffff;
  static constexpr std::size_t kMaxBytes = 0xffffffffu;

  // Splits `text` into lines at CR LF, LF or CR. A line end at the very end
  // does not start another line; an empty text has no lines. Returns false
  // (and leaves the list as it was) when the text is beyond the limits.
  bool assign(std::string text);

  std::size_t size() const { return spans_.size(); }
  bool empty() const { return spans_.empty(); }

  // The bytes of line `i` (no line end). The view stays valid until the
  // next change of the list.
  std::string_view operator[](std::size_t i) const {
    const Span s = spans_[i];
    return {(s.len & kAddedBit ? added_.data() : base_.data()) + s.off,
            s.len & ~kAddedBit};
  }

  // Splices. Indexes must be in range (insert: 0..size()).
  void insert(std::size_t at, const std::vector<std::string>& lines);
  void insert(std::size_t at, std::string_view line);
  // Several insertions in one pass, each of `lines` before line `at` of the
  // list as it is now (several at one place in the order given): the same
  // as inserting them one by one from the last place to the first, without
  // moving the lines after each.
  struct Insertion {
    std::size_t at;
    const std::vector<std::string>* lines;
  };
  void insert(std::vector<Insertion> insertions);
  // Several splices in one pass, each taking `erase` lines out at line `at`
  // of the list as it is now and putting `lines` (none when null) in their
  // place: the same as making them one by one from the last to the first.
  // Their places ascend and what they take out does not overlap; several
  // at one place come in the order given.
  struct Splice {
    std::size_t at;
    std::size_t erase;
    const std::vector<std::string>* lines;
  };
  void splice(const std::vector<Splice>& splices);
  void erase(std::size_t at, std::size_t count);
  void replace(std::size_t i, std::string_view line);

  // Copies of lines [at, at + count), e.g. for the undo journal.
  std::vector<std::string> copy(std::size_t at, std::size_t count) const;

  // All lines, each followed by `eol`.
  std::string join(std::string_view eol) const;

  // What the splices changed since the reader last parsed the list (a new
  // text counts as changed throughout); what was parsed then knows the list
  // by its identity.
  const LineChanges& changes() const { return changes_; }
  void forgetChanges() { changes_.clear(); }
  std::uint64_t identity() const { return identity_; }

  TextEncoding encoding = TextEncoding::Utf8;

 private:
  static constexpr std::uint32_t kAddedBit = 0x80000000u;
  struct Span {
    std::uint32_t off;
    std::uint32_t len;  // top bit: the line lives in added_
  };
  // Room for `bytes` more in the added arena, made by a compaction when
  // they would not fit; then the lines are appended.
  void makeRoom(std::size_t bytes);
  Span append(std::string_view line);
  // Line `s` is no longer in the list: its bytes in the added arena are
  // garbage now.
  void dropped(Span s) {
    if (s.len & kAddedBit) garbage_ += s.len & ~kAddedBit;
  }
  // Keeps the added arena within twice the text the lines use (the text
  // that undo and redo overwrite again and again would pile up there).
  void compactIfWasteful();
  void compactAdded();

  std::string base_;
  std::string added_;
  // Bytes of added_ that no line uses.
  std::size_t garbage_ = 0;
  std::vector<Span> spans_;
  LineChanges changes_;
  std::uint64_t identity_ = NewIdentity();
  static std::uint64_t NewIdentity();
};

}  // namespace vestrel
