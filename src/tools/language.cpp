// Menu "Sprache", options.dat and the dictionary at start and end.
#include "file/options.h"
#include "file/templates.h"
#include "i18n/messages.h"
#include "i18n/msg.h"
#include "tools/editor.h"

namespace vestrel {

void Editor::LoadLanguage() {
  LanguageState& l = languages;
  const std::string user = GetProgramDir(platform.UserDataFolder(), file.progpath);
  l.optionsFolder = user;
  file.lockFolder = user;
  l.file.programFile = file.progpath + kTranslateFile;
  l.file.shippedFile = file.progpath + std::string(kInstalledData) + kTranslateFile;
  l.file.userFile = user == file.progpath ? std::string() : user + kTranslateFile;
  LoadDictionary(l.file, l.dictionary);
  // What could be read of a damaged file is written anew at the start, the
  // damaged one kept aside, so that it is told of once.
  l.unsaved = l.file.damage != DictionaryDamage::None;
  // Without options.dat the program speaks its own language, German.
  l.languagesetto = LoadOptions(user).value_or(0);
  l.language = 0;
}

void Editor::ShowLanguage() {
  LanguageState& l = languages;
  for (int nr = 1; nr <= kMessageCount; ++nr) l.Message(nr);
  l.dontchlang = true;
  l.language = l.languagesetto;
  l.dontchlang = false;
  platform.UseLanguage(l.language);
  file.maincap = l.Translate(file.maincap);  // the program's name, in every language
  if (l.language != 0) platform.TranslateAllForms();
  // What the start met is written once; what comes later with the user's
  // edits or at the end.
  if (l.unsaved) l.Save();
  if (l.file.damage != DictionaryDamage::None)
    platform.ShowMessage(msg::DamagedDictionary,
                         (l.file.keptAs.empty() ? l.file.damagedFile : l.file.keptAs) + "\n" +
                             platform.Translate(DictionaryDamageText(l.file.damage)),
                         MsgIcon::Warning);
}

void Editor::ChooseLanguage(int n) {
  LanguageState& l = languages;
  if (l.dontchlang) return;
  l.language = n;
  l.languageChanged = true;
  platform.ShowState();
  platform.ShowMessage(msg::Restart, "", MsgIcon::Information, msg::Translate);
}

void Editor::SaveLanguage() {
  if (languages.unsaved) languages.Save();  // the texts met since the start
  const std::string& folder = languages.optionsFolder;
  if (folder.empty()) return;  // the options were never read
  const FileError e = SaveOptions(folder, languages.language);
  if (e != FileError::None && languages.languageChanged)
    platform.ShowMessage(msg::OptionsNotSaved, folder + kOptionsFile + "\n" + platform.Translate(FileErrorText(e)),
                         MsgIcon::Warning);
}

void Editor::Deutsch1Click() { ChooseLanguage(0); }
void Editor::English1Click() { ChooseLanguage(1); }
void Editor::Italiano1Click() { ChooseLanguage(2); }
void Editor::Franais1Click() { ChooseLanguage(3); }
void Editor::Espaol1Click() { ChooseLanguage(4); }
void Editor::N13Click() { ChooseLanguage(5); }
void Editor::Portugus1Click() { ChooseLanguage(6); }
void Editor::Nederlands1Click() { ChooseLanguage(7); }
void Editor::Jzykpolski1Click() { ChooseLanguage(8); }
void Editor::esky1Click() { ChooseLanguage(9); }

void Editor::bersetzen1Click() {
  platform.ShowTranslateDialog();
  platform.ShowMessage(msg::Restart, "", MsgIcon::Information, msg::Translate);
}

}  // namespace vestrel
