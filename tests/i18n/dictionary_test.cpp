// The dictionary: lookups, the index after changes, translate.dat read and
// written (also damaged), and where it is kept.
#include "i18n/dictionary.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "i18n/language.h"
#include "i18n/translatefile.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

using Slots = std::vector<std::string>;

DictionaryEntry Entry(Slots texts) {
  DictionaryEntry e;
  for (int n = 0; n < static_cast<int>(texts.size()); ++n) e.set(n, texts[static_cast<std::size_t>(n)]);
  return e;
}

Dictionary Of(const std::vector<Slots>& entries) {
  std::vector<DictionaryEntry> all;
  for (const Slots& s : entries) all.push_back(Entry(s));
  Dictionary d;
  d.Assign(std::move(all));
  return d;
}

std::string U32(std::uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v >> 16 & 0xFF),
          static_cast<char>(v >> 24 & 0xFF)};
}

// A string of the file: its count, then the UTF-16 units given.
std::string Str(const std::u16string& units, std::uint32_t count) {
  std::string s = U32(count);
  for (const char16_t u : units) s += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return s;
}
std::string Str(const std::u16string& units) { return Str(units, static_cast<std::uint32_t>(units.size())); }

TEST(Dictionary, Translate) {
  struct Case {
    const char* text;
    int language;
    const char* want;
    bool added;
  };
  const Case cases[] = {
      {"  Datei ", 1, "  File ", false},      // the blanks go round the translation
      {"Datei", 1, "File", false},
      {"Datei", 0, "Datei", false},
      {"Datei", 3, "Datei", false},           // an empty slot shows the German text
      {"Ebene", 1, "Layer", false},           // its translation has blanks of its own
      {"datei", 1, "datei", true},            // another text than "Datei"
      {"   ", 1, "   ", false},               // blanks only: nothing looked up
      {"", 1, "", false},
      {"\tDatei", 1, "\tDatei", true},        // only U+0020 is a blank
      {"Datei", 12, "Datei", false},          // a language without a column
      {"Datei", 1 << 30, "Datei", false},
      {"Datei", -1, "Datei", false},
      {"Ünïcödé 𝔸", 1, "Unicode A", false},  // beyond the first byte and plane
      {"Zweimal", 1, "first", false},        // of two entries of one text the first
  };
  for (const Case& c : cases) {
    Dictionary d = Of({{"Datei", "File"}, {"Ebene", "  Layer  "}, {"Ünïcödé 𝔸", "Unicode A"},
                       {"Zweimal", "first"}, {"Zweimal", "second"}});
    const std::size_t before = d.size();
    bool added = false;
    EXPECT_EQ(d.Translate(c.text, c.language, &added), c.want) << c.text << " in " << c.language;
    EXPECT_EQ(added, c.added) << c.text;
    EXPECT_EQ(d.size(), before + (c.added ? 1 : 0)) << c.text;
    if (c.added) {
      // Added with its blanks taken off, found the next time.
      EXPECT_EQ(d.Slot(before, 0), TrimBlanks(c.text));
      EXPECT_EQ(d.Find(TrimBlanks(c.text)), before);
      d.Translate(c.text, c.language, &added);
      EXPECT_FALSE(added);
    }
  }
}

TEST(Dictionary, EveryTextKeepsItsTranslationWhenEntriesGoOrChange) {
  // Texts of one bucket ('A' and U+0141 share their low byte) and of others.
  std::vector<Slots> entries;
  for (const char* t : {"A1", "Ł1", "A2", "B1", "Ł2", "A3", "C1"}) entries.push_back({t, std::string(t) + "-en"});
  for (std::size_t removed = 0; removed < entries.size(); ++removed) {
    Dictionary d = Of(entries);
    d.Remove(removed);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string& german = entries[i][0];
      EXPECT_EQ(d.Translate(german, 1), i == removed ? german : german + "-en") << "without " << removed;
    }
  }
  // A changed German text is found by its old one until the index is made
  // again (at the next start).
  Dictionary d = Of(entries);
  d.SetSlot(0, 0, "A1 neu");
  d.SetSlot(0, 1, "new");
  EXPECT_EQ(d.Translate("A1", 1), "new");
  EXPECT_FALSE(d.Find("A1 neu"));
  d.Assign(std::vector<DictionaryEntry>(d.entries()));
  EXPECT_EQ(d.Find("A1 neu"), 0u);
  EXPECT_FALSE(d.Find("A1"));
}

TEST(TranslateFile, RoundTrip) {
  const std::vector<Slots> entries = {
      {"Datei", "File", "File", "Fichier"},
      {"  Blanks  ", " both ", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "nineteen"},
      {"Русский", "Russian", "", "", "", "Русский"},
      {"中文 𝄞 😀", "Chinese 𝄞"},  // surrogate pairs
  };
  for (const std::uint32_t written : {10u, 20u}) {
    // A file with L slots per entry: those beyond L read empty.
    std::string bytes = U32(written) + U32(static_cast<std::uint32_t>(entries.size()));
    for (const Slots& e : entries)
      for (std::uint32_t n = 0; n < written; ++n) {
        const std::string t = n < e.size() ? e[n] : "";
        std::u16string units;
        for (std::size_t i = 0; i < t.size();) {  // UTF-8 to UTF-16
          const auto c = static_cast<unsigned char>(t[i]);
          const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
          std::uint32_t cp = len == 1 ? c : c & (0xFF >> (len + 1));
          for (int k = 1; k < len; ++k) cp = cp << 6 | (static_cast<unsigned char>(t[i + k]) & 0x3F);
          i += static_cast<std::size_t>(len);
          if (cp >= 0x10000)
            units += {static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + (cp & 0x3FF))};
          else
            units += static_cast<char16_t>(cp);
        }
        bytes += Str(units);
      }
    const DictionaryBytes read = ReadTranslateBytes(bytes);
    ASSERT_EQ(read.damage, DictionaryDamage::None) << written;
    ASSERT_EQ(read.entries.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
      for (int n = 0; n < kSlots; ++n) {
        const std::string want = n < static_cast<int>(written) && n < static_cast<int>(entries[i].size())
                                     ? entries[i][static_cast<std::size_t>(n)]
                                     : "";
        EXPECT_EQ(read.entries[i].slot(n), want) << "L=" << written << " entry " << i << " slot " << n;
      }
    // Written again: as many slots as the fullest entry uses, never more
    // bytes than were read, and read back the same.
    const std::string again = TranslateBytes(read.entries);
    EXPECT_EQ(again.substr(0, 4), U32(written == 20 ? 20 : 6));
    EXPECT_EQ(again.size(), TranslateSize(read.entries));
    EXPECT_LE(again.size(), bytes.size());
    const DictionaryBytes reread = ReadTranslateBytes(again);
    EXPECT_EQ(reread.damage, DictionaryDamage::None);
    ASSERT_EQ(reread.entries.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(reread.entries[i].texts, read.entries[i].texts);
    if (written == 20) {
      EXPECT_EQ(again, bytes);
    }
  }
}

// Entries of no text at all are left out, and empty slots cost four bytes
// only up to the fullest entry: a file as large as the reader takes is never
// written back larger than that.
TEST(TranslateFile, NothingIsBlownUpIntoFullRecords) {
  std::string many = U32(1) + U32(1000000);  // a million German texts of two characters: 8 MB
  for (std::uint32_t i = 0; i < 1000000; ++i)
    many += Str({static_cast<char16_t>(0x4E00 + i / 4096), static_cast<char16_t>(0x4E00 + i % 4096)});
  std::string zeros = U32(1) + U32((kMaxTranslateBytes - 8) / 4);  // two million empty entries
  zeros.resize(kMaxTranslateBytes, '\0');
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t entries, written;
  };
  const Case cases[] = {
      {"a million texts", many, 1000000, many.size()},
      {"8 MiB of empty entries", zeros, 0, 8},
      {"empty entries of L = 20 among others", U32(20) + U32(3) + std::string(80, '\0') + Str(u"Datei") +
                                                   std::string(76, '\0') + std::string(80, '\0'),
       1, 8 + 4 + 10},
  };
  for (const Case& c : cases) {
    const DictionaryBytes read = ReadTranslateBytes(c.bytes);
    EXPECT_EQ(read.damage, DictionaryDamage::None) << c.what;
    EXPECT_EQ(read.entries.size(), c.entries) << c.what;
    EXPECT_EQ(TranslateSize(read.entries), c.written) << c.what;
    EXPECT_EQ(TranslateBytes(read.entries).size(), c.written) << c.what;
  }
  // An entry emptied in the editor is left out too.
  Dictionary d = Of({{"Datei", "File"}, {"Ebene"}});
  d.SetSlot(1, 0, "");
  EXPECT_EQ(ReadTranslateBytes(TranslateBytes(d.entries())).entries.size(), 1u);
}

TEST(TranslateFile, DamagedFilesAreReadAsFarAsTheyAreSound) {
  const std::string one = Str(u"Datei") + Str(u"File");   // an entry of two slots
  const std::string two = Str(u"Ebene") + Str(u"Layer");
  struct Case {
    const char* what;
    std::string bytes;
    DictionaryDamage damage;
    std::size_t entries;  // read before the damage
  };
  const Case cases[] = {
      {"empty file", "", DictionaryDamage::Truncated, 0},
      {"three bytes", "\x14\0\0", DictionaryDamage::Truncated, 0},
      {"no entries", U32(20) + U32(0), DictionaryDamage::None, 0},
      {"N = 2^31", U32(2) + U32(0x80000000u) + one + two, DictionaryDamage::Truncated, 2},
      {"N = 2^32 - 1, L = 2^32 - 1", U32(0xFFFFFFFFu) + U32(0xFFFFFFFFu) + one, DictionaryDamage::Truncated, 0},
      {"L = 0", U32(0) + U32(0x80000000u), DictionaryDamage::NoSlots, 0},
      {"L = 0, nothing", U32(0) + U32(0), DictionaryDamage::None, 0},
      {"a count beyond the end", U32(2) + U32(2) + one + Str(u"Ebene", 0x7FFFFFFF), DictionaryDamage::StringTooLong, 1},
      {"a count of 2^32 - 1", U32(2) + U32(1) + Str(u"x", 0xFFFFFFFFu), DictionaryDamage::StringTooLong, 0},
      {"cut inside a string", (U32(2) + U32(2) + one + two).substr(0, 8 + one.size() + 9),
       DictionaryDamage::StringTooLong, 1},
      {"cut inside a count", (U32(2) + U32(2) + one + two).substr(0, 8 + one.size() + 2), DictionaryDamage::Truncated,
       1},
      {"an odd byte at the end", U32(2) + U32(2) + one + two + "\x01", DictionaryDamage::TrailingBytes, 2},
      {"more than N entries", U32(2) + U32(1) + one + two, DictionaryDamage::TrailingBytes, 1},
      {"a lone low surrogate", U32(2) + U32(2) + one + Str(u"E\xDC00") + Str(u""), DictionaryDamage::InvalidUtf16, 1},
      {"a high surrogate at the end", U32(2) + U32(2) + one + Str(u"E\xD800") + Str(u""),
       DictionaryDamage::InvalidUtf16, 1},
      {"a high surrogate before a letter", U32(2) + U32(1) + Str(u"\xD83D" u"A") + Str(u""),
       DictionaryDamage::InvalidUtf16, 0},
      {"L = 25: the slots beyond 20 are skipped", U32(25) + U32(1) + Str(u"Datei") + std::string(24 * 4, '\0'),
       DictionaryDamage::None, 1},
  };
  for (const Case& c : cases) {
    const DictionaryBytes read = ReadTranslateBytes(c.bytes);
    EXPECT_EQ(read.damage, c.damage) << c.what;
    EXPECT_EQ(read.entries.size(), c.entries) << c.what;
  }
  // What is read of a damaged file is whole: the first entry with both slots.
  EXPECT_EQ(ReadTranslateBytes(U32(2) + U32(9) + one + "\x05").entries.at(0).slot(1), "File");
}

class DictionaryStore : public ::testing::Test {
 protected:
  test::TempDir tmp;
  std::string program = tmp.path("program/"), shipped = tmp.path("share/"), user = tmp.path("user/Korvel/Vestrel/");

  DictionaryStore() {
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(shipped);
  }
  DictionaryFile Files() {
    DictionaryFile f;
    f.programFile = program + kTranslateFile;
    f.shippedFile = shipped + kTranslateFile;
    f.userFile = user + kTranslateFile;
    return f;
  }
  std::vector<DictionaryEntry> Entries(const std::string& file) { return ReadTranslateBytes(test::ReadFile(file)).entries; }
  static std::string Bytes(const std::vector<Slots>& entries) {
    std::vector<DictionaryEntry> all;
    for (const Slots& s : entries) all.push_back(Entry(s));
    return TranslateBytes(all);
  }
};

TEST_F(DictionaryStore, AnInstalledProgramsUserKeepsOnlyHisOwnEntriesAndTheyNeverHideTheShippedOnes) {
  DictionaryFile f = Files();
  Dictionary d;
  LoadDictionary(f, d);  // none at all: an empty dictionary, no damage
  EXPECT_EQ(d.size(), 0u);
  EXPECT_EQ(f.damage, DictionaryDamage::None);

  // Installed: the dictionary in the data folder is read, never written.
  const std::string ships = Bytes({{"Datei", "File"}, {"Ebene", "Layer"}});
  tmp.write("share/translate.dat", ships);
  LoadDictionary(f, d);
  EXPECT_EQ(f.loadedFrom, shipped + kTranslateFile);
  d.Translate("Neu", 1);                                        // met: added without translations
  d.SetSlot(*d.Find("Ebene"), 3, "Calque");                     // the user's French
  EXPECT_EQ(SaveDictionary(f, d), FileError::None);             // the per-user folder, made with its parents
  EXPECT_EQ(test::ReadFile(shipped + kTranslateFile), ships);
  EXPECT_FALSE(std::filesystem::exists(program + kTranslateFile));
  const auto own = Entries(user + kTranslateFile);
  ASSERT_EQ(own.size(), 2u);
  EXPECT_EQ(own[0].texts, (std::vector<std::string>{"Ebene", "Layer", "", "Calque"}));
  EXPECT_EQ(own[1].texts, (std::vector<std::string>{"Neu"}));

  // A per-user file of empty translations (as older versions wrote one)
  // hides nothing; what the user translated wins, what he added comes too.
  tmp.write("user/Korvel/Vestrel/translate.dat", Bytes({{"Datei", ""}, {"Ebene", "Level"}, {"Kreis", "Circle"}}));
  DictionaryFile next = Files();
  Dictionary again;
  LoadDictionary(next, again);
  EXPECT_EQ(again.size(), 3u);
  EXPECT_EQ(again.Translate("Datei", 1), "File");
  EXPECT_EQ(again.Translate("Ebene", 1), "Level");
  EXPECT_EQ(again.Translate("Kreis", 1), "Circle");
  EXPECT_EQ(SaveDictionary(next, again), FileError::None);
  EXPECT_EQ(Entries(user + kTranslateFile).size(), 2u);  // "Datei" is as shipped again
}

TEST_F(DictionaryStore, ABuiltProgramKeepsItsDictionaryWholeBesideItWhereItCan) {
  tmp.write("program/translate.dat", Bytes({{"Datei", "File"}}));
  tmp.write("share/translate.dat", Bytes({{"Datei", "Fichier"}}));
  DictionaryFile f = Files();
  Dictionary d;
  LoadDictionary(f, d);
  EXPECT_EQ(f.loadedFrom, program + kTranslateFile);  // its own comes first
  EXPECT_EQ(d.Translate("Datei", 1), "File");
  d.Translate("Neu", 1);
  EXPECT_EQ(SaveDictionary(f, d), FileError::None);
  EXPECT_EQ(Entries(program + kTranslateFile).size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(user + kTranslateFile));

  // Its folder cannot be written: the user's own goes to his folder.
  ::chmod((program + kTranslateFile).c_str(), 0444);
  d.SetSlot(*d.Find("Neu"), 1, "New");
  EXPECT_EQ(SaveDictionary(f, d), FileError::None);
  EXPECT_EQ(Entries(program + kTranslateFile).size(), 2u);
  const auto own = Entries(user + kTranslateFile);
  ASSERT_EQ(own.size(), 1u);
  EXPECT_EQ(own[0].texts, (std::vector<std::string>{"Neu", "New"}));
  DictionaryFile next = Files();
  Dictionary again;
  LoadDictionary(next, again);
  EXPECT_EQ(again.Translate("Neu", 1), "New");
  EXPECT_EQ(again.Translate("Datei", 1), "File");
}

TEST_F(DictionaryStore, ADamagedFileIsKeptAsBadAndNeverReplacedByWhatWasRead) {
  const std::string whole = Bytes({{"Datei", "File"}, {"Ebene", "Layer"}, {"Linie", "Line"}});
  const std::string damaged = whole.substr(0, whole.size() - 9);  // inside the count of "Line"
  tmp.write("program/translate.dat", damaged);
  LanguageState s;
  s.file = Files();
  LoadDictionary(s.file, s.dictionary);
  s.language = 1;
  EXPECT_EQ(s.file.damage, DictionaryDamage::Truncated);
  EXPECT_EQ(s.dictionary.size(), 2u);
  EXPECT_EQ(s.Translate("Ebene"), "Layer");
  EXPECT_EQ(s.Translate("Kreis"), "Kreis");  // new: written with the next save, not at once
  EXPECT_TRUE(s.unsaved);
  EXPECT_EQ(test::ReadFile(program + kTranslateFile), damaged);
  s.Save();
  EXPECT_EQ(test::ReadFile(program + "translate.dat.bad"), damaged);
  EXPECT_EQ(s.file.keptAs, program + "translate.dat.bad");
  const DictionaryBytes now = ReadTranslateBytes(test::ReadFile(program + kTranslateFile));
  EXPECT_EQ(now.damage, DictionaryDamage::None);
  EXPECT_EQ(now.entries.size(), 3u);
  // The next save keeps the first copy of the damaged file.
  s.Translate("Bogen");
  s.Save();
  EXPECT_EQ(test::ReadFile(program + "translate.dat.bad"), damaged);
  EXPECT_EQ(ReadTranslateBytes(test::ReadFile(program + kTranslateFile)).entries.size(), 4u);
  // Damaged again at later starts: every copy is kept, none replaced.
  for (const auto& [next, cut] : {std::pair{"translate.dat.bad.1", 5}, std::pair{"translate.dat.bad.2", 7}}) {
    const std::string again = whole.substr(0, whole.size() - cut);
    tmp.write("program/translate.dat", again);
    LanguageState later;
    later.file = Files();
    LoadDictionary(later.file, later.dictionary);
    later.Save();
    EXPECT_EQ(later.file.keptAs, program + next);
    EXPECT_EQ(test::ReadFile(program + next), again);
  }
  EXPECT_EQ(test::ReadFile(program + "translate.dat.bad"), damaged);
}

// The file written is always one the next start reads: a text that would
// take it beyond kMaxTranslateBytes is refused in the editor, and a file
// that large is never written.
TEST_F(DictionaryStore, NeverAFileLargerThanTheReaderTakes) {
  const std::string ships = Bytes({{"Datei", "File"}, {"Ebene", "Layer"}});
  tmp.write("program/translate.dat", ships);
  LanguageState s;
  s.file = Files();
  LoadDictionary(s.file, s.dictionary);
  const std::size_t datei = *s.dictionary.Find("Datei");
  const std::string huge(kMaxTranslateBytes / 2, 'x');  // 8 MiB and more in UTF-16
  EXPECT_FALSE(s.Edit(datei, 3, huge));
  EXPECT_EQ(s.dictionary.Slot(datei, 3), "");
  const std::string half(kMaxTranslateBytes / 4, 'x');
  EXPECT_TRUE(s.Edit(datei, 3, half));
  EXPECT_FALSE(s.Edit(*s.dictionary.Find("Ebene"), 3, half));  // two of them are too much
  EXPECT_TRUE(s.Edit(datei, 3, "Fichier"));
  s.Save();
  EXPECT_EQ(Entries(program + kTranslateFile)[0].slot(3), "Fichier");

  // Too large already (grown by texts met): it may shrink, never grow, and
  // is not written.
  s.dictionary.SetSlot(datei, 3, huge);
  EXPECT_EQ(SaveDictionary(s.file, s.dictionary), FileError::TooLarge);
  EXPECT_FALSE(std::filesystem::exists(user + kTranslateFile));
  EXPECT_EQ(Entries(program + kTranslateFile)[0].slot(3), "Fichier");
  EXPECT_FALSE(s.Edit(datei, 4, "more"));
  EXPECT_TRUE(s.Edit(datei, 3, huge.substr(1)));
}

TEST_F(DictionaryStore, FilesThatAreNoDictionary) {
  DictionaryFile f = Files();
  Dictionary d;
  std::filesystem::create_directories(program + kTranslateFile);  // a folder
  LoadDictionary(f, d);
  EXPECT_EQ(f.damage, DictionaryDamage::Unreadable);
  std::filesystem::remove(program + kTranslateFile);
  tmp.write("program/translate.dat", std::string(kMaxTranslateBytes + 1, '\0'));
  LoadDictionary(f, d);
  EXPECT_EQ(f.damage, DictionaryDamage::TooLarge);
  EXPECT_EQ(d.size(), 0u);
}

}  // namespace
}  // namespace vestrel
