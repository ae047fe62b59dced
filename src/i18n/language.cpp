#include "i18n/language.h"

#include "i18n/messages.h"

namespace vestrel {

std::string LanguageState::Translate(std::string_view text) {
  bool added = false;
  std::string result = dictionary.Translate(text, language, &added);
  unsaved = unsaved || added;
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

bool LanguageState::Edit(std::size_t entry, int n, std::string text) {
  if (entry >= dictionary.size()) return true;
  const std::uintmax_t before = TranslateSize(dictionary.entries());
  std::string old = dictionary.Slot(entry, n);
  dictionary.SetSlot(entry, n, std::move(text));
  // A file that is too large already may still shrink.
  const std::uintmax_t after = TranslateSize(dictionary.entries());
  if (after <= kMaxTranslateBytes || after <= before) return true;
  dictionary.SetSlot(entry, n, std::move(old));
  return false;
}

}  // namespace vestrel
