// Menu "Sprache" and the language at start and end, through the handlers
// with a scripted window system.
#include <gtest/gtest.h>

#include <filesystem>

#include "file/dxffile.h"
#include "file/options.h"
#include "i18n/msg.h"
#include "i18n/translatefile.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "tools/commands.h"
#include "tools/editor.h"

namespace vestrel {
namespace {


class LanguageTest : public ::testing::Test {
 protected:
  LanguageTest() {
    platform.userData = tmp.path("data");
    std::filesystem::create_directories(program);
    editor.FormCreate(program);
  }
  // A start: options.dat and the dictionary read, then the first showing.
  void Start() {
    editor.LoadLanguage();
    editor.FormShow({});
  }
  // The items of the menu "Sprache" that show a check mark.
  std::vector<std::string_view> Ticked() const {
    std::vector<std::string_view> ticked;
    for (const Command& c : Commands())
      if (c.menu == "Sprache1" && c.checked && c.checked(editor)) ticked.push_back(c.name);
    return ticked;
  }

  test::TempDir tmp;
  std::string program = tmp.path("program") + "/", user = tmp.path("data") + "/Korvel/Vestrel/";
  test::FakePlatform platform;
  Editor editor{platform};
};

TEST_F(LanguageTest, TheLanguageOfTheOptionsFileAtStart) {
  struct Case {
    std::optional<std::string> options;
    int language;
    std::vector<std::string_view> ticked;
  };
  const Case cases[] = {
      {std::nullopt, 0, {"Deutsch1"}},  // no file: the program's own German
      {std::string("\x01\0\0\0", 4), 1, {"English1"}},
      {std::string("\x03\0\0\0", 4), 3, {"Franais1"}},
      {std::string("\x0c\0\0\0", 4), 12, {}},  // no item for 12
      {std::string("\x01\0", 2), 0, {"Deutsch1"}},
  };
  for (const Case& c : cases) {
    test::FakePlatform p;
    p.userData = tmp.path("data");
    Editor e{p};
    std::filesystem::remove_all(user);
    if (c.options) {
      std::filesystem::create_directories(user);
      tmp.write("data/Korvel/Vestrel/options.dat", *c.options);
    }
    e.FormCreate(program);
    e.LoadLanguage();
    e.FormShow({});
    EXPECT_EQ(e.languages.language, c.language);
    std::vector<std::string_view> ticked;
    for (const Command& cmd : Commands())
      if (cmd.menu == "Sprache1" && cmd.checked && cmd.checked(e)) ticked.push_back(cmd.name);
    EXPECT_EQ(ticked, c.ticked) << c.language;
    EXPECT_EQ(p.formTranslations, c.language == 0 ? 0 : 1);
    EXPECT_TRUE(p.messages.empty());
    // Every message is in the dictionary from the start.
    EXPECT_TRUE(e.languages.dictionary.Find("unbenannt.dxf"));
  }
}

TEST_F(LanguageTest, ChoosingALanguageTellsOfTheRestartAndKeepsItForTheNext) {
  Start();
  editor.English1Click();
  EXPECT_EQ(editor.languages.language, 1);
  EXPECT_EQ(Ticked(), std::vector<std::string_view>{"English1"});
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].nr, msg::Restart);
  EXPECT_EQ(platform.messages[0].captionNr, msg::Translate);
  EXPECT_EQ(platform.messages[0].icon, MsgIcon::Information);
  EXPECT_EQ(platform.formTranslations, 0);  // the windows keep their texts until then
  // While the program itself ticks an item, its handler does nothing.
  editor.languages.dontchlang = true;
  editor.N13Click();
  editor.languages.dontchlang = false;
  EXPECT_EQ(editor.languages.language, 1);
  EXPECT_TRUE(editor.FormCloseQuery());
  EXPECT_EQ(test::ReadFile(user + kOptionsFile), std::string("\x01\0\0\0", 4));

  editor.esky1Click();
  EXPECT_EQ(editor.languages.language, 9);
  EXPECT_TRUE(editor.FormCloseQuery());
  EXPECT_EQ(LoadOptions(user), 9);
}

TEST_F(LanguageTest, ALanguageThatCannotBeKeptIsSaid) {
  tmp.write("data", "a file where the folder should be");
  Start();
  EXPECT_TRUE(editor.FormCloseQuery());  // nothing chosen: nothing to say
  EXPECT_TRUE(platform.messages.empty());
  editor.English1Click();
  EXPECT_TRUE(editor.FormCloseQuery());
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[1].nr, msg::OptionsNotSaved);
  EXPECT_TRUE(platform.messages[1].suffix.starts_with(user + kOptionsFile + "\n")) << platform.messages[1].suffix;
}

TEST_F(LanguageTest, ADamagedDictionaryIsToldOnceAtTheFirstShowing) {
  tmp.write("program/translate.dat", std::string("\x14\0\0\0\x05\0\0\0\x05\0\0\0D\0", 14));
  Start();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].nr, msg::DamagedDictionary);
  // It names the copy kept of the damaged file.
  EXPECT_EQ(platform.messages[0].suffix,
            program + "translate.dat.bad\n" + std::string(DictionaryDamageText(DictionaryDamage::StringTooLong)));
  // The messages met at start went into a new file, the damaged one aside.
  EXPECT_TRUE(std::filesystem::exists(program + "translate.dat.bad"));
  EXPECT_EQ(ReadTranslateBytes(test::ReadFile(program + kTranslateFile)).damage, DictionaryDamage::None);
  editor.FormShow({});
  editor.NeueDXFDatei1Click();
  EXPECT_EQ(platform.messages.size(), 1u);
}

// The texts met at the start are written at its end, those met later at
// the end of the program: never one write per text.
TEST_F(LanguageTest, TheDictionaryIsWrittenOnceAtTheStartAndAgainAtTheEnd) {
  Start();
  const std::string file = program + kTranslateFile;
  const FileIdentity started = IdentityOf(file);
  ASSERT_TRUE(started.exists);
  EXPECT_TRUE(editor.languages.dictionary.Find("unbenannt.dxf"));
  for (const char* text : {"Neu 1", "Neu 2", "Neu 3"}) editor.languages.Translate(text);
  EXPECT_EQ(IdentityOf(file), started);
  EXPECT_TRUE(editor.FormCloseQuery());
  Dictionary written;
  written.Assign(ReadTranslateBytes(test::ReadFile(file)).entries);
  EXPECT_TRUE(written.Find("Neu 3"));
  EXPECT_TRUE(written.Find("unbenannt.dxf"));
}

TEST_F(LanguageTest, TheTranslationEditorIsFollowedByTheRestartMessage) {
  Start();
  editor.bersetzen1Click();
  EXPECT_EQ(platform.translateDialogs, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].nr, msg::Restart);
}

}  // namespace
}  // namespace vestrel
