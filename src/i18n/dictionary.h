// The translation dictionary: every text the program shows, by its German
// wording, with up to 19 translations; and the lookup that finds them.
//
// Texts are held as UTF-8. Slot 0 of an entry is the German source text
// (without leading and trailing blanks), slot n its translation into
// language n; slots 10 to 19 belong to no language and are carried along.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vestrel {

inline constexpr int kSlots = 20;
inline constexpr int kLanguages = 10;

struct DictionaryEntry {
  // The texts up to the last one that is not empty; those beyond are empty.
  std::vector<std::string> texts;

  const std::string& slot(int n) const;
  void set(int n, std::string text);
};

class Dictionary {
 public:
  std::size_t size() const { return entries_.size(); }
  const std::vector<DictionaryEntry>& entries() const { return entries_; }
  const std::string& Slot(std::size_t entry, int n) const { return entries_[entry].slot(n); }

  // Takes `entries` as the whole dictionary and indexes them.
  void Assign(std::vector<DictionaryEntry> entries);
  // Changes a slot. The index keeps the old source text of an entry whose
  // slot 0 is changed until the dictionary is indexed again (at the next
  // start), so lookups go on finding it by the old text.
  void SetSlot(std::size_t entry, int n, std::string text);
  // Removes an entry; the others keep being found with their own slots.
  void Remove(std::size_t entry);

  // The entry whose source text is `source` (exactly, case-sensitively).
  std::optional<std::size_t> Find(std::string_view source) const;

  // `text` in `language`: found by its text without leading and trailing
  // blanks (U+0020 only), which are put back round the translation. A text
  // not found, or found with an empty slot for the language, is returned
  // as it is; one not found is added as a new entry (`added` is set then).
  // Blank texts are neither looked up nor added.
  std::string Translate(std::string_view text, int language, bool* added = nullptr);

 private:
  struct Key {
    std::string text;
    std::size_t entry;
  };
  // Entries by the low 8 bits of the first UTF-16 code unit of their
  // source text, each bucket sorted by text.
  using Bucket = std::vector<Key>;
  static std::size_t BucketOf(std::string_view text);
  void Index(std::size_t entry);
  void BuildIndex();

  std::vector<DictionaryEntry> entries_;
  std::array<Bucket, 256> buckets_;
};

// `text` without leading and trailing U+0020.
std::string_view TrimBlanks(std::string_view text);

}  // namespace vestrel
