#include "app/windowtexts.h"

#include <set>

#include "app/MainUnit.h"
#include "file/dxffile.h"
#include "i18n/messages.h"
#include "i18n/translateforms.h"
#include "i18n/translatefile.h"
#include "tools/tooltable.h"

namespace vestrel {

std::vector<std::string> ShownTexts(TMainForm& form) {
  std::vector<std::string> texts;
  std::set<std::string, std::less<>> seen;
  auto add = [&](std::string_view text) {
    const std::string_view source = TrimBlanks(text);
    if (!source.empty() && seen.emplace(source).second) texts.emplace_back(source);
  };
  for (int nr = 1; nr <= kMessageCount; ++nr) add(GermanMessage(nr));
  add(form.editor().file.maincap);
  ForEachFormText({&form}, [&](const QString& text, const QObject&) {
    add(text.toStdString());
    return text;
  });
  for (const std::string_view t : {kNotAllDrawn, kFirstTabsOnly, kOpenFilter, kSaveFilter, kPdfFilter, kReload,
                                   kSaveAgain, kKeepEditing, kSaveUnder, kCaughtPoint, kBandLength, kSelectedCount, kSelectedLength,
                                   kSelectPrompt})
    add(t);
  // What the status bar asks for, tool by tool and step by step.
  for (const Tool& tool : Tools())
    for (const std::string_view t : tool.prompts) add(t);
  for (const Mode& m : Modes()) add(m.prompt);
  for (int e = static_cast<int>(FileError::None); e <= static_cast<int>(FileError::NameTooLong); ++e)
    add(FileErrorText(static_cast<FileError>(e)));
  for (int d = static_cast<int>(DictionaryDamage::None); d <= static_cast<int>(DictionaryDamage::TrailingBytes); ++d)
    add(DictionaryDamageText(static_cast<DictionaryDamage>(d)));
  return texts;
}

}  // namespace vestrel
