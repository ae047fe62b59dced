#include "i18n/dictionary.h"

#include <algorithm>

namespace vestrel {

namespace {

const std::string kEmpty;

bool ByText(const std::string& a, const std::string& b) { return a < b; }

}  // namespace

const std::string& DictionaryEntry::slot(int n) const {
  return n >= 0 && static_cast<std::size_t>(n) < texts.size() ? texts[static_cast<std::size_t>(n)] : kEmpty;
}

void DictionaryEntry::set(int n, std::string text) {
  if (n < 0 || n >= kSlots) return;
  const auto i = static_cast<std::size_t>(n);
  if (i >= texts.size()) {
    if (text.empty()) return;
    texts.resize(i + 1);
  }
  texts[i] = std::move(text);
  while (!texts.empty() && texts.back().empty()) texts.pop_back();
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t from = text.find_first_not_of(' ');
  if (from == std::string_view::npos) return {};
  return text.substr(from, text.find_last_not_of(' ') - from + 1);
}

std::size_t Dictionary::BucketOf(std::string_view text) {
  // The first code point of the UTF-8 text, then its first UTF-16 unit.
  const auto b = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
  const unsigned c = b(0);
  unsigned cp = c;
  if (c >= 0xF0) cp = (c & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
  else if (c >= 0xE0) cp = (c & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
  else if (c >= 0xC0) cp = (c & 0x1F) << 6 | (b(1) & 0x3F);
  const unsigned unit = cp >= 0x10000 ? 0xD800 + ((cp - 0x10000) >> 10) : cp;
  return unit & 0xFF;
}

void Dictionary::Index(std::size_t entry) {
  const std::string& text = entries_[entry].slot(0);
  if (text.empty()) return;
  Bucket& bucket = buckets_[BucketOf(text)];
  // After the keys of the same text, so that of two entries with one text
  // the first stays the one found.
  const auto at = std::upper_bound(bucket.begin(), bucket.end(), text,
                                   [](const std::string& t, const Key& k) { return ByText(t, k.text); });
  bucket.insert(at, Key{text, entry});
}

void Dictionary::BuildIndex() {
  for (Bucket& b : buckets_) b.clear();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string& text = entries_[i].slot(0);
    if (!text.empty()) buckets_[BucketOf(text)].push_back(Key{text, i});
  }
  for (Bucket& b : buckets_)
    std::stable_sort(b.begin(), b.end(), [](const Key& x, const Key& y) { return ByText(x.text, y.text); });
}

void Dictionary::Assign(std::vector<DictionaryEntry> entries) {
  entries_ = std::move(entries);
  BuildIndex();
}

void Dictionary::SetSlot(std::size_t entry, int n, std::string text) {
  if (entry < entries_.size()) entries_[entry].set(n, std::move(text));
}

void Dictionary::Remove(std::size_t entry) {
  if (entry >= entries_.size()) return;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(entry));
  for (Bucket& bucket : buckets_) {
    std::erase_if(bucket, [&](const Key& k) { return k.entry == entry; });
    for (Key& k : bucket)
      if (k.entry > entry) --k.entry;
  }
}

std::optional<std::size_t> Dictionary::Find(std::string_view source) const {
  if (source.empty()) return std::nullopt;
  const Bucket& bucket = buckets_[BucketOf(source)];
  const auto at = std::lower_bound(bucket.begin(), bucket.end(), source,
                                   [](const Key& k, std::string_view t) { return std::string_view(k.text) < t; });
  if (at == bucket.end() || at->text != source) return std::nullopt;
  return at->entry;
}

std::string Dictionary::Translate(std::string_view text, int language, bool* added) {
  if (added) *added = false;
  const std::string_view source = TrimBlanks(text);
  if (source.empty()) return std::string(text);
  const auto found = Find(source);
  if (!found) {
    DictionaryEntry entry;
    entry.set(0, std::string(source));
    entries_.push_back(std::move(entry));
    Index(entries_.size() - 1);
    if (added) *added = true;
    return std::string(text);
  }
  const std::string_view t = TrimBlanks(entries_[*found].slot(language));
  if (t.empty()) return std::string(text);
  const std::size_t before = text.find_first_not_of(' ');
  const std::size_t after = text.size() - 1 - text.find_last_not_of(' ');
  std::string result(before, ' ');
  result += t;
  result.append(after, ' ');
  return result;
}

}  // namespace vestrel
