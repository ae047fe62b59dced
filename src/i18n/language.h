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
  // Texts were met, or a damaged file read, since the dictionary was last
  // written: it is written once at the end of the start, after the user's
  // edits and at the end of the program, never once per text.
  bool unsaved = false;

  // `text` in the language in force; a text met for the first time is
  // added to the dictionary.
  std::string Translate(std::string_view text);
  // Message `nr` of the message table, translated; empty for a number not
  // in use.
  std::string Message(int nr);
  // Writes the dictionary now; silent when it cannot be written.
  void Save();
  // Sets slot `n` of `entry`, as typed into the translation editor. False,
  // with nothing changed, when the dictionary's file would then grow beyond
  // what its reader takes (kMaxTranslateBytes).
  bool Edit(std::size_t entry, int n, std::string text);
};

}  // namespace vestrel
