// libFuzzer target for loading translate.dat: any bytes are read as far as
// they are sound, never into more entries than the bytes can hold. What was
// read must be written into no more bytes, and read back the same and
// undamaged, and every entry's German text must be found again through the
// index. A broken rule ends the run with a message and a trap, which
// libFuzzer reports as a crash.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "i18n/dictionary.h"
#include "i18n/translatefile.h"

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "fuzz_translate: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vestrel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const DictionaryBytes read = ReadTranslateBytes(bytes);
  // Every entry takes four bytes of the file at least.
  if (read.entries.size() > size / 4) Broken("more entries than the bytes hold");
  if (read.damage == DictionaryDamage::None && !read.entries.empty() && size < 12) Broken("no damage in too few bytes");

  for (const DictionaryEntry& e : read.entries)
    if (e.texts.empty()) Broken("an entry of no text was read");

  // Written again, never larger than it was read (the file never grows
  // past what its reader takes), and read back the same.
  const std::string written = TranslateBytes(read.entries);
  if (written.size() != TranslateSize(read.entries)) Broken("the size foretold is not the size written");
  if (written.size() > std::max<std::size_t>(size, 8)) Broken("what was read is written into more bytes");
  const DictionaryBytes back = ReadTranslateBytes(written);
  if (back.damage != DictionaryDamage::None) Broken("what was read does not read back undamaged");
  if (back.entries.size() != read.entries.size()) Broken("what was read does not read back whole");
  for (std::size_t i = 0; i < read.entries.size(); ++i)
    for (int n = 0; n < kSlots; ++n)
      if (back.entries[i].slot(n) != read.entries[i].slot(n)) Broken("a text reads back otherwise");

  Dictionary d;
  d.Assign(read.entries);
  for (std::size_t i = 0; i < d.size(); ++i) {
    const std::string& german = d.Slot(i, 0);
    if (german.empty()) continue;
    const auto found = d.Find(german);
    if (!found || d.Slot(*found, 0) != german) Broken("an entry is not found by its text");
    // Trimmed, the text is found by Translate with its blanks put back.
    if (TrimBlanks(german) == german && !d.Slot(*found, 1).empty() && !TrimBlanks(d.Slot(*found, 1)).empty() &&
        d.Translate(" " + german + " ", 1) != " " + std::string(TrimBlanks(d.Slot(*found, 1))) + " ")
      Broken("the blanks are not put back round a translation");
  }
  if (d.size() > 0) {
    d.Remove(0);
    if (d.size() + 1 != read.entries.size()) Broken("removing lost more than one entry");
  }
  return 0;
}
