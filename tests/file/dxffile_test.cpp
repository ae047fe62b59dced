// Reading and writing drawing files: every byte kept, CR LF on save, and a
// failed save that leaves the old file alone.
#include "file/dxffile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace vestrel {
namespace {

namespace fs = std::filesystem;

class DxfFileTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return tmp_.path(name); }
  void Write(const std::string& p, const std::string& bytes) const { std::ofstream(p, std::ios::binary) << bytes; }
  static std::string Read(const std::string& p) { return test::ReadFile(p); }

  test::TempDir tmp_;
  const std::filesystem::path& dir_ = tmp_.dir();
};

TEST_F(DxfFileTest, SaveWritesEveryLineWithCrLfInTheEncodingItWasReadWith) {
  const std::string cases[][2] = {
      {"  0\nSECTION\n  2\nENTITIES", "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"},
      {"a\rb\r\n\r\nc\n", "a\r\nb\r\n\r\nc\r\n"},
      {"\xEF\xBB\xBF" "x\n", "\xEF\xBB\xBF" "x\r\n"},
      {"Ma\xDF\n", "Ma\xDF\r\n"},
      {std::string("\xFF\xFE" "a\0\n\0", 6), std::string("\xFF\xFE" "a\0\r\0\n\0", 8)},
  };
  for (const auto& c : cases) {
    Write(path("in.dxf"), c[0]);
    LineList lines;
    ASSERT_TRUE(ReadDxfFile(path("in.dxf"), lines));
    ASSERT_TRUE(WriteDxfFile(path("out.dxf"), lines));
    EXPECT_EQ(Read(path("out.dxf")), c[1]);
  }
  // Nothing is left behind but the two files.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(DxfFileTest, AFileThatCannotBeReadLeavesTheLinesAlone) {
  LineList lines;
  lines.assign("keep\n");
  EXPECT_FALSE(ReadDxfFile(path("missing.dxf"), lines));
  EXPECT_FALSE(ReadDxfFile(dir_.string(), lines));
  Write(path("odd.dxf"), "\xFF\xFE" "abc");  // UTF-16 cut in the middle of a character
  EXPECT_FALSE(ReadDxfFile(path("odd.dxf"), lines));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "keep");
}

TEST_F(DxfFileTest, AFailedSaveLeavesTheOldFile) {
  LineList lines;
  lines.assign("new\n");
  EXPECT_FALSE(WriteDxfFile(path("no-such-folder/x.dxf"), lines));
  EXPECT_FALSE(WriteDxfFile(dir_.string(), lines));  // a folder is no file
  // A file standing where the folder should be.
  Write(path("file"), "old\r\n");
  EXPECT_FALSE(WriteDxfFile(path("file/x.dxf"), lines));
  EXPECT_EQ(Read(path("file")), "old\r\n");
}

TEST_F(DxfFileTest, SavingReplacesTheFileALinkPointsToAndKeepsItsPermissions) {
  Write(path("real.dxf"), "old\r\n");
  fs::permissions(path("real.dxf"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(path("real.dxf"), path("link.dxf"));
  LineList lines;
  lines.assign("new\n");
  ASSERT_TRUE(WriteDxfFile(path("link.dxf"), lines));
  EXPECT_TRUE(fs::is_symlink(path("link.dxf")));
  EXPECT_EQ(Read(path("real.dxf")), "new\r\n");
  EXPECT_EQ(fs::status(path("real.dxf")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace vestrel
