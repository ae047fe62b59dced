#include "i18n/language.h"

#include "i18n/messages.h"

namespace vestrel {

std::string LanguageState::Translate(std::string_view text) {
  bool added = false;
  std::string result = dictionary.Translate(text, language, &added);
  if (added) {
    unsaved = true;
    if (holdSaves == 0) Save();
  }
  return result;
}

std::string LanguageState::Message(int nr) {
  const std::string_view german = GermanMessage(nr);
  return german.empty() ? std::string() : Translate(german);
}

void LanguageState::Save() {
  unsaved = false;
  SaveDictionary(file, dictionary);
}

}  // namespace vestrel
