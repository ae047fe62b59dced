// The language in force and the dictionary it is looked up in: every text
// the window shows and every message go through Translate.
#pragma once

#include <string>
#include <string_view>

#include "i18n/dictionary.h"
#include "i18n/translatefile.h"

namespace vestrel {

struct LanguageState {
  int language = 0;        // the language in force (0 German, 1 English, ...)
  int languagesetto = 0;   // the language read from options.dat at start
  bool dontchlang = false;  // set while the program itself ticks a language item
  bool languageChanged = false;  // chosen in this run, so worth saving
  std::string optionsFolder;  // where options.dat is; empty until it was read
  Dictionary dictionary;
  DictionaryFile file;
  // While held, texts met for the first time are added but the file is
  // written only once the hold ends.
  int holdSaves = 0;
  bool unsaved = false;

  // `text` in the language in force; a text met for the first time is
  // added to the dictionary, which is written at once (or when the hold
  // ends).
  std::string Translate(std::string_view text);
  // Message `nr` of the message table, translated; empty for a number not
  // in use.
  std::string Message(int nr);
  // Writes the dictionary now; silent when it cannot be written.
  void Save();
};

// Holds the dictionary's saves for a batch of lookups.
class HoldSaves {
 public:
  explicit HoldSaves(LanguageState& s) : s_(s) { ++s_.holdSaves; }
  ~HoldSaves() {
    if (--s_.holdSaves == 0 && s_.unsaved) s_.Save();
  }
  HoldSaves(const HoldSaves&) = delete;
  HoldSaves& operator=(const HoldSaves&) = delete;

 private:
  LanguageState& s_;
};

}  // namespace vestrel
