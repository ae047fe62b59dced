// translate.dat: the dictionary on disk, and where it is kept.
//
// Little-endian: L (slots per entry, written as 20), N (entries), then N
// entries of L strings each; a string is its count c of UTF-16 code units
// followed by those 2c bytes. The file lies in the program's folder; where
// that folder cannot be written (an installed program) it goes to the
// per-user folder, which is read first at the next start.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "file/dxffile.h"
#include "i18n/dictionary.h"

namespace vestrel {

inline constexpr char kTranslateFile[] = "translate.dat";
// A dictionary file larger than this is no dictionary (all ten languages
// of every text take well below a megabyte).
inline constexpr std::uintmax_t kMaxTranslateBytes = 8u << 20;

// What is wrong with a dictionary file; what comes before it was read.
enum class DictionaryDamage {
  None,
  Unreadable,     // it is there but cannot be read
  TooLarge,       // beyond kMaxTranslateBytes
  Truncated,      // it ends before its N entries do
  NoSlots,        // L is 0
  StringTooLong,  // a string's count goes beyond the end of the file
  InvalidUtf16,   // a lone surrogate
  TrailingBytes,  // bytes after the last entry (an odd count among them)
};

struct DictionaryBytes {
  std::vector<DictionaryEntry> entries;
  DictionaryDamage damage = DictionaryDamage::None;
};

// The entries of a file's bytes, as far as they are sound. Never allocates
// more than a small multiple of the bytes' size, whatever the counts say.
DictionaryBytes ReadTranslateBytes(std::string_view bytes);
// The bytes of a file holding `entries`, with L = 20.
std::string TranslateBytes(const std::vector<DictionaryEntry>& entries);

// Where the dictionary is read from and written to.
struct DictionaryFile {
  std::string programFile;  // translate.dat in the program's folder
  std::string userFile;     // translate.dat in the per-user folder; empty for none
  std::string loadedFrom;   // the file that was read; empty when none was
  DictionaryDamage damage = DictionaryDamage::None;
  std::string keptAs;       // where the damaged file was put aside, once it was
};

// Reads the per-user file if there is one, else the program's. A missing
// file leaves the dictionary empty and is no damage.
void LoadDictionary(DictionaryFile& file, Dictionary& dictionary);
// Writes the whole dictionary: where it was read from, else into the
// program's folder, and where that cannot be written into the per-user
// folder (made when missing). A damaged file that was read is put aside as
// "translate.dat.bad" first, so it is never replaced by what could be read
// of it. Returns the error of the last place tried.
FileError SaveDictionary(DictionaryFile& file, const Dictionary& dictionary);

// Why, in German, for the message that tells of a damaged file.
std::string_view DictionaryDamageText(DictionaryDamage d);

}  // namespace vestrel
