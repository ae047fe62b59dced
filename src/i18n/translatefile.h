// translate.dat: the dictionary on disk, and where it is kept.
//
// Little-endian: L (slots per entry), N (entries), then N entries of L
// strings each; a string is its count c of UTF-16 code units followed by
// those 2c bytes. Slots beyond the 20 kept are skipped when read, missing
// ones are empty; the program writes L as the slots its fullest entry uses,
// so that an empty slot costs four bytes only where an entry needs it.
//
// The dictionary the program ships lies beside a built program, which keeps
// it whole there, or in an installed program's data folder, where it is
// only read. What the user adds or changes where the program's own cannot
// be written goes into a file of the same form in the per-user folder,
// which holds only that and is laid over the shipped one at every start.
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

// The entries of a file's bytes, as far as they are sound; an entry of no
// text at all is left out. Never allocates more than a small multiple of
// the bytes' size, whatever the counts say.
DictionaryBytes ReadTranslateBytes(std::string_view bytes);
// The bytes of a file holding `entries` (but those of no text at all).
// Entries as read from a file take no more bytes than they were read from.
std::string TranslateBytes(const std::vector<DictionaryEntry>& entries);
// Their size, without making them.
std::uintmax_t TranslateSize(const std::vector<DictionaryEntry>& entries);

// Where the dictionary is read from and written to.
struct DictionaryFile {
  std::string programFile;  // translate.dat in the program's folder: read and written whole
  std::string shippedFile;  // translate.dat in an installed program's data folder: only read
  std::string userFile;     // translate.dat in the per-user folder; empty for none
  std::string loadedFrom;   // the shipped dictionary that was read (one of the two above); empty for none
  std::vector<DictionaryEntry> shipped;  // what it held: the per-user file leaves that out
  std::string damagedFile;  // a file read that was damaged; empty for none
  DictionaryDamage damage = DictionaryDamage::None;
  std::string keptAs;       // where the damaged file was put aside, once it was
};

// Reads the program's file, else the installed one, and lays the per-user
// file over it: a translation there wins where it is not empty, a text the
// shipped one lacks is added. A missing file is no damage; none at all
// leaves the dictionary empty.
void LoadDictionary(DictionaryFile& file, Dictionary& dictionary);
// Writes the dictionary: whole into the program's folder, unless what was
// read is the installed one or the user has a file of his own; else, or
// where that cannot be written, into the per-user folder (made when
// missing) the entries that differ from the shipped ones. A file larger
// than kMaxTranslateBytes, which the next start would refuse, is not
// written (TooLarge). A damaged file that was read is put aside first, as
// "translate.dat.bad" or, where such copies are kept already, as the next
// free of "translate.dat.bad.1", ".bad.2", ..., so that it is never
// replaced by what could be read of it. Returns the error of the last place
// tried.
FileError SaveDictionary(DictionaryFile& file, const Dictionary& dictionary);

// Why, in German, for the message that tells of a damaged file.
std::string_view DictionaryDamageText(DictionaryDamage d);

}  // namespace vestrel
