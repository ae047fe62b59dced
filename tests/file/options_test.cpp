// options.dat and the per-user folder.
#include "file/options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vestrel {
namespace {

TEST(Options, FilesOfAnySize) {
  struct Case {
    const char* what;
    std::string bytes;
    std::optional<int> language;
  };
  const Case cases[] = {
      {"empty", "", std::nullopt},
      {"three bytes", std::string("\x01\0\0", 3), std::nullopt},
      {"English", std::string("\x01\0\0\0", 4), 1},
      {"twelve, no language of the menu", std::string("\x0c\0\0\0", 4), 12},
      {"negative", "\xff\xff\xff\xff", -1},
      {"a megabyte: its first four bytes", std::string("\x03\0\0\0", 4) + std::string(1 << 20, 'x'), 3},
  };
  for (const Case& c : cases) {
    test::TempDir tmp;
    tmp.write(kOptionsFile, c.bytes);
    EXPECT_EQ(LoadOptions(tmp.dir().string() + "/"), c.language) << c.what;
  }
  test::TempDir tmp;
  EXPECT_EQ(LoadOptions(tmp.dir().string() + "/"), std::nullopt);  // none
  std::filesystem::create_directory(tmp.path(kOptionsFile));
  EXPECT_EQ(LoadOptions(tmp.dir().string() + "/"), std::nullopt);  // a folder
  std::filesystem::remove(tmp.path(kOptionsFile));
  ASSERT_EQ(::mkfifo(tmp.path(kOptionsFile).c_str(), 0600), 0);
  EXPECT_EQ(LoadOptions(tmp.dir().string() + "/"), std::nullopt);  // a FIFO is not waited for
}

TEST(Options, SavedIntoAFolderMadeWithItsParents) {
  test::TempDir tmp;
  const std::string folder = GetProgramDir(tmp.path("data"), "/opt/vestrel/");
  EXPECT_EQ(folder, tmp.path("data") + "/Korvel/Vestrel/");
  EXPECT_EQ(GetProgramDir(tmp.path("data") + "/", "/opt/vestrel/"), folder);
  EXPECT_EQ(GetProgramDir("", "/opt/vestrel/"), "/opt/vestrel/");  // no per-user folder
  EXPECT_EQ(SaveOptions(folder, 1), FileError::None);
  EXPECT_EQ(test::ReadFile(folder + kOptionsFile), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(LoadOptions(folder), 1);
  EXPECT_EQ(SaveOptions(folder, -2), FileError::None);
  EXPECT_EQ(LoadOptions(folder), -2);

  // A file where a folder should be: said, not silently lost.
  tmp.write("blocked", "x");
  EXPECT_NE(SaveOptions(GetProgramDir(tmp.path("blocked"), ""), 1), FileError::None);
  EXPECT_NE(CreateProgramDir(tmp.path("blocked") + "/Korvel/Vestrel/"), FileError::None);
}

}  // namespace
}  // namespace vestrel
