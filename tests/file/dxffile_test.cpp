// Reading and writing drawing files: every byte kept, CR LF on save, what
// is not DXF text refused with its reason, and saves that leave the old
// file alone, are private from their first byte and tidy up after a kill.
#include "file/dxffile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::string Bytes(std::initializer_list<char> c) { return std::string(c); }

TEST_F(DxfFileTest, SaveWritesEveryLineWithCrLfInTheEncodingItWasReadWith) {
  const std::string cases[][2] = {
      {"  0\nSECTION\n  2\nENTITIES", "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"},
      {"0\rb\r\n\r\nc\n", "0\r\nb\r\n\r\nc\r\n"},
      {"\xEF\xBB\xBF" "0\n", "\xEF\xBB\xBF" "0\r\n"},
      {"0\nMa\xDF\n", "0\r\nMa\xDF\r\n"},
      {Bytes({'\xFF', '\xFE', '0', 0, '\n', 0}), Bytes({'\xFF', '\xFE', '0', 0, '\r', 0, '\n', 0})},
      // UTF-16 without a byte-order mark is told by its zero bytes and
      // written back the same way.
      {Bytes({' ', 0, '0', 0, '\n', 0, 'A', 0}), Bytes({' ', 0, '0', 0, '\r', 0, '\n', 0, 'A', 0, '\r', 0, '\n', 0})},
      {Bytes({0, '0', 0, '\n', 0, 'A', 0, 'B'}), Bytes({0, '0', 0, '\r', 0, '\n', 0, 'A', 0, 'B', 0, '\r', 0, '\n'})},
  };
  for (const auto& c : cases) {
    Write(path("in.dxf"), c[0]);
    LineList lines;
    ASSERT_EQ(ReadDxfFile(path("in.dxf"), lines), FileError::None);
    ASSERT_EQ(WriteDxfFile(path("out.dxf"), lines), FileError::None);
    EXPECT_EQ(Read(path("out.dxf")), c[1]);
  }
  // Nothing is left behind but the two files.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(DxfFileTest, WhatIsNoDxfTextIsRefusedWithItsReasonAndTheLinesStay) {
  fs::create_directories(dir_ / "folder");
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  struct Case {
    const char* name;
    std::string bytes;  // not written for a name that stands for itself
    FileError error;
  };
  const Case cases[] = {
      {"missing.dxf", "", FileError::NotFound},
      {"folder", "", FileError::IsFolder},
      {"fifo", "", FileError::NotRegular},
      {"png.dxf", "\x89PNG\r\n\x1a\n" + Bytes({0, 0, 0, 13}) + "IHDR", FileError::BinaryData},
      {"binary.dxf", "AutoCAD Binary DXF\r\n\x1a" + Bytes({0, 0, 0}), FileError::BinaryDxf},
      {"words.dxf", "This is a letter,\nnot a drawing.\n", FileError::NotDxf},
      {"odd.dxf", "\xFF\xFE" "abc", FileError::OddUtf16},  // cut in the middle of a character
      {"odd-nomark.dxf", Bytes({' ', 0, '0', 0, '\n', 0, 'A'}), FileError::OddUtf16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.bytes.empty()) Write(path(c.name), c.bytes);
    LineList lines;
    lines.assign("keep\n");
    EXPECT_EQ(ReadDxfFile(path(c.name), lines), c.error);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "keep");
    EXPECT_FALSE(FileErrorText(c.error).empty());
  }
  // Blank lines before the first group code, and nothing at all, are fine.
  Write(path("blank.dxf"), "\n \n  0\nEOF\n");
  Write(path("empty.dxf"), "");
  LineList lines;
  EXPECT_EQ(ReadDxfFile(path("blank.dxf"), lines), FileError::None);
  EXPECT_EQ(ReadDxfFile(path("empty.dxf"), lines), FileError::None);
}

TEST_F(DxfFileTest, AFailedSaveLeavesTheOldFileAndSaysWhy) {
  LineList lines;
  lines.assign("new\n");
  EXPECT_EQ(WriteDxfFile(path("no-such-folder/x.dxf"), lines), FileError::NotFound);
  EXPECT_EQ(WriteDxfFile(dir_.string(), lines), FileError::IsFolder);  // a folder is no file
  // A file standing where the folder should be.
  Write(path("file"), "old\r\n");
  EXPECT_EQ(WriteDxfFile(path("file/x.dxf"), lines), FileError::NotFound);
  EXPECT_EQ(Read(path("file")), "old\r\n");
  // A file marked read-only is not replaced, even where the folder would
  // allow it.
  fs::permissions(path("file"), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(WriteDxfFile(path("file"), lines), FileError::ReadOnly);
  EXPECT_EQ(Read(path("file")), "old\r\n");
}

TEST_F(DxfFileTest, SavingReplacesTheFileALinkPointsToAndKeepsItsPermissions) {
  Write(path("real.dxf"), "old\r\n");
  fs::permissions(path("real.dxf"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(path("real.dxf"), path("link.dxf"));
  LineList lines;
  lines.assign("new\n");
  ASSERT_EQ(WriteDxfFile(path("link.dxf"), lines), FileError::None);
  EXPECT_TRUE(fs::is_symlink(path("link.dxf")));
  EXPECT_EQ(Read(path("real.dxf")), "new\r\n");
  EXPECT_EQ(fs::status(path("real.dxf")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(DxfFileTest, TheTemporaryFileSaysWhatItIsAndAStaleOneIsRemoved) {
  const std::string target = path("plan.dxf");
  EXPECT_EQ(SaveTemporaryPrefix(target), path(".plan.dxf.vestrel-save."));
  // What a killed save left: of a process that is gone, and of one that
  // still runs (which may be saving right now).
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = SaveTemporaryPrefix(target) + std::to_string(gone);
  const std::string running = SaveTemporaryPrefix(target) + "1";
  const std::string other = path(".other.dxf.vestrel-save.") + std::to_string(gone);
  for (const std::string& f : {stale, running, other}) Write(f, "half");
  LineList lines;
  lines.assign("0\n");
  ASSERT_EQ(WriteDxfFile(target, lines), FileError::None);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(running));
  EXPECT_TRUE(fs::exists(other));  // another drawing's
}

TEST_F(DxfFileTest, AFilesIdentityChangesWithEveryRewriteAndIsNoneWhenItIsGone) {
  const std::string p = path("plan.dxf");
  EXPECT_FALSE(IdentityOf(p).exists);
  Write(p, "one\r\n");
  const FileIdentity first = IdentityOf(p);
  EXPECT_TRUE(first.exists);
  EXPECT_EQ(first.size, 5u);
  EXPECT_EQ(IdentityOf(p), first);  // read again, nothing changed
  LineList lines;
  lines.assign("one\n");
  ASSERT_EQ(WriteDxfFile(p, lines), FileError::None);  // the same bytes, but a new file
  EXPECT_NE(IdentityOf(p), first);
  fs::remove(p);
  EXPECT_FALSE(IdentityOf(p).exists);
}

}  // namespace
}  // namespace vestrel
