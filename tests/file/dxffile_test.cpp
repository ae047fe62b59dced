// Reading and writing drawing files: every byte kept, CR LF on save, what
// is not DXF text refused with its reason, and saves that leave the old
// file alone, are private from their first byte and tidy up after a kill.
#include "file/dxffile.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "support/temp_dir.h"

namespace vestrel {
namespace {

namespace fs = std::filesystem;

class DxfFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return tmp_.path(name); }
  void Write(const std::string& p, const std::string& bytes) const { std::ofstream(p, std::ios::binary) << bytes; }
  static std::string Read(const std::string& p) { return test::ReadFile(p); }

  test::TempDir tmp_;
  const std::filesystem::path& dir_ = tmp_.dir();
};

std::string Bytes(std::initializer_list<char> c) { return std::string(c); }

// What `save` returns when run in a child process; -1 when the child did
// not end by returning.
int InChild(const std::function<FileError()>& save) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(static_cast<int>(save()));
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

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

TEST_F(DxfFileTest, SavingThroughLinksWritesTheFileTheyPointToAndKeepsItsPermissions) {
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
  // A chain ending in a name that is no file yet makes it there.
  fs::create_symlink("second.dxf", path("first.dxf"));
  fs::create_symlink(path("made.dxf"), path("second.dxf"));
  ASSERT_EQ(WriteDxfFile(path("first.dxf"), lines), FileError::None);
  EXPECT_TRUE(fs::is_symlink(path("first.dxf")) && fs::is_symlink(path("second.dxf")));
  EXPECT_EQ(Read(path("made.dxf")), "new\r\n");
  fs::create_symlink("no-such-folder/x.dxf", path("nowhere.dxf"));
  EXPECT_EQ(WriteDxfFile(path("nowhere.dxf"), lines), FileError::NotFound);
}

TEST_F(DxfFileTest, AFileWithMoreNamesIsWrittenInPlaceAndKeepsThemAll) {
  const std::string p = path("plan.dxf");
  Write(p, "old text\r\n");
  fs::create_hard_link(p, path("other.dxf"));
  // What a save killed long ago left under this process's id stays.
  const std::string kept = path("plan.dxf.vestrel-copy-" + std::to_string(::getpid()) + ".dxf");
  Write(kept, "kept");
  const FileIdentity before = IdentityOf(p);
  LineList lines;
  lines.assign("new\n");
  ASSERT_EQ(WriteDxfFile(p, lines), FileError::None);
  EXPECT_EQ(Read(path("other.dxf")), "new\r\n");
  const FileIdentity after = IdentityOf(p);
  EXPECT_EQ(after.inode, before.inode);
  EXPECT_NE(after, before);
  // The same bytes again at once still tell a rewrite.
  ASSERT_EQ(WriteDxfFile(p, lines), FileError::None);
  EXPECT_NE(IdentityOf(p), after);
  EXPECT_EQ(fs::hard_link_count(p), 2u);
  EXPECT_EQ(Read(kept), "kept");
  // Neither the temporary file nor this save's copy is left.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);
}

TEST_F(DxfFileTest, LongNamesAreSavedAndTooLongOnesSaySo) {
  LineList lines;
  lines.assign("0\n");
  // 250 bytes each; the second is cut between two-byte characters.
  std::string umlauts = "x";
  for (int i = 0; i < 122; ++i) umlauts += "\xC3\xA4";
  const std::string names[] = {std::string(246, 'a') + ".dxf", umlauts + "_.dxf"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string target = path(name);
    const std::string prefix = SaveTemporaryPrefix(name);
    EXPECT_LE(prefix.size() + 10, 255u);  // room for any process id
    EXPECT_TRUE(name.starts_with(prefix.substr(1, prefix.size() - 15)));
    EXPECT_NE(prefix[prefix.size() - 15] & 0xC0, 0xC0);  // no character cut in two
    Write(path(prefix + "999999999"), "half");  // of a process that cannot be
    ASSERT_EQ(WriteDxfFile(target, lines), FileError::None);
    EXPECT_EQ(Read(target), "0\r\n");
    fs::create_hard_link(target, target + "~");  // now in place, through the copy
    ASSERT_EQ(WriteDxfFile(target, lines), FileError::None);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);
  EXPECT_EQ(WriteDxfFile(path(std::string(256, 'a')), lines), FileError::NameTooLong);
}

TEST_F(DxfFileTest, ASaveBeyondTheFileSizeLimitFailsAndLeavesTheOldFile) {
  Write(path("plan.dxf"), "old\r\n");
  Write(path("linked.dxf"), "old\r\n");
  fs::create_hard_link(path("linked.dxf"), path("other.dxf"));
  LineList lines;
  lines.assign(std::string(20000, 'x') + "\n");
  for (const char* name : {"plan.dxf", "linked.dxf"}) {
    SCOPED_TRACE(name);
    // As the program does it, the limit's signal ignored.
    EXPECT_EQ(InChild([&] {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{4096, 4096};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                return WriteDxfFile(path(name), lines);
              }),
              static_cast<int>(FileError::SizeLimit));
    EXPECT_EQ(Read(path(name)), "old\r\n");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);
}

// Saves by an ordinary user: what he may write is written, keeping owner,
// group and permissions (in place where the file cannot be replaced), and
// only what he may not write is refused.
TEST_F(DxfFileTest, AnOrdinaryUserSavesWhatHeMayWriteAndKeepsOwnerAndGroup) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs root and the user nobody to save as an ordinary user";
  const uid_t user = nobody->pw_uid, root = 0;
  const gid_t own = nobody->pw_gid, shared = 4711, foreign = 4712;  // foreign: not one of the user's
  struct Case {
    const char* name;
    mode_t folderMode;
    gid_t folderGroup;  // the folder belongs to root
    uid_t owner;
    gid_t group;
    mode_t mode;
    bool spare;  // a spare folder for the copy is given
    FileError expected;
    bool inPlace;
  };
  const Case cases[] = {
      {"writable through a supplementary group", 02775, shared, root, shared, 0664, false, FileError::None, true},
      {"writable file in a read-only folder", 0755, 0, user, own, 0644, true, FileError::None, true},
      {"the same without a spare folder", 0755, 0, user, own, 0644, false, FileError::NoPermission, false},
      {"someone else's writable file in a sticky folder", 01777, 0, root, 0, 0666, false, FileError::None, true},
      {"own file in a sticky folder", 01777, 0, user, own, 0640, false, FileError::None, false},
      {"setgid folder, a group not the user's", 02777, shared, user, foreign, 0664, false, FileError::None, true},
      {"setgid folder, the user's own group", 02777, shared, user, own, 0600, false, FileError::None, false},
      {"someone else's file", 0777, 0, root, 0, 0644, false, FileError::NoPermission, false},
      {"marked read-only", 0777, 0, user, own, 0444, false, FileError::ReadOnly, false},
  };
  fs::permissions(dir_, fs::perms(0755));
  const std::string spare = path("spare");
  fs::create_directory(spare);
  fs::permissions(spare, fs::perms(0777));
  LineList lines;
  lines.assign("new\n");
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = path(std::to_string(++n));
    const std::string file = folder + "/plan.dxf";
    fs::create_directory(folder);
    Write(file, "old\r\n");
    ASSERT_EQ(::chown(file.c_str(), c.owner, c.group), 0);
    ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
    ASSERT_EQ(::chown(folder.c_str(), root, c.folderGroup), 0);
    ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
    struct stat before {};
    ::stat(file.c_str(), &before);
    EXPECT_EQ(InChild([&] {
                if (::setgroups(1, &shared) != 0 || ::setgid(own) != 0 || ::setuid(user) != 0) ::_exit(255);
                return WriteDxfFile(file, lines, c.spare ? spare : std::string());
              }),
              static_cast<int>(c.expected));
    struct stat after {};
    ::stat(file.c_str(), &after);
    EXPECT_EQ(Read(file), c.expected == FileError::None ? "new\r\n" : "old\r\n");
    EXPECT_EQ(after.st_uid, c.owner);
    EXPECT_EQ(after.st_gid, c.group);
    EXPECT_EQ(after.st_mode & 07777, c.mode);
    if (c.expected == FileError::None) {
      EXPECT_EQ(after.st_ino == before.st_ino, c.inPlace);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  }
  EXPECT_TRUE(fs::is_empty(spare));
}

TEST_F(DxfFileTest, SomebodyElsesLinkInASharedStickyFolderIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a link of somebody else's";
  const std::string shared = path("shared");
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms(01777));
  fs::create_symlink(path("victim.dxf"), shared + "/planted.dxf");
  ASSERT_EQ(::lchown((shared + "/planted.dxf").c_str(), 4713, 4713), 0);
  fs::create_symlink(path("mine.dxf"), shared + "/mine.dxf");  // the folder owner's
  LineList lines;
  lines.assign("new\n");
  EXPECT_EQ(WriteDxfFile(shared + "/planted.dxf", lines), FileError::NoPermission);
  EXPECT_FALSE(fs::exists(path("victim.dxf")));
  EXPECT_EQ(WriteDxfFile(shared + "/mine.dxf", lines), FileError::None);
  EXPECT_EQ(Read(path("mine.dxf")), "new\r\n");
}

TEST_F(DxfFileTest, TheTemporaryFileSaysWhatItIsAndAStaleOneIsRemoved) {
  const std::string target = path("plan.dxf");
  EXPECT_EQ(SaveTemporaryPrefix("plan.dxf"), ".plan.dxf.vestrel-save.");
  // What a killed save left: of a process that is gone, and of one that
  // still runs (which may be saving right now).
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = path(SaveTemporaryPrefix("plan.dxf") + std::to_string(gone));
  const std::string running = path(SaveTemporaryPrefix("plan.dxf") + "1");
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
