// The drawing as a file, driven through the editor's handlers with a
// scripted window system: start, new, open, save, save as, the question
// before dropping changes, and the caption.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

#include "file/dxffile.h"
#include "file/lifecycle.h"
#include "file/lock.h"
#include "file/templates.h"
#include "i18n/msg.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "tools/editor.h"

namespace vestrel {
namespace {

namespace fs = std::filesystem;

const char* const kSmall =
    "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n"
    "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n  0\nENDSEC\n  0\nEOF\n";
// The same with a second line, as another program wrote it.
const char* const kTwoLines =
    "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n"
    "  0\nLINE\n  8\n0\n 10\n5\n 20\n5\n 11\n6\n 21\n6\n  0\nENDSEC\n  0\nEOF\n";

class LifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(tmp_.dir() / "program");
    editor.FormCreate(VESTREL_TEMPLATE_DIR);
  }

  std::string path(const std::string& name) const { return tmp_.path(name); }
  std::string write(const std::string& name, const std::string& bytes) const { return tmp_.write(name, bytes); }
  static std::string Read(const std::string& p) { return test::ReadFile(p); }
  // An edit as the writers make it: a splice, then the changed mark.
  void edit() { Edit(editor); }
  static void Edit(Editor& e, const char* first = "  0 ") {
    e.drawing.dxf.replace(0, first);
    SetChanged(e.doc);
  }

  test::TempDir tmp_;
  const fs::path& dir_ = tmp_.dir();
  test::FakePlatform platform;
  Editor editor{platform};
};

TEST_F(LifecycleTest, StartsWithANewUnnamedDrawing) {
  editor.FormShow({});
  EXPECT_EQ(platform.caption, "Vestrel - [unbenannt.dxf]");
  EXPECT_FALSE(editor.file.changed);
  EXPECT_TRUE(editor.file.afilename.empty());
  EXPECT_EQ(editor.drawing.cadver, 1015);
  EXPECT_EQ(editor.bar.TabControl1, (std::vector<std::string>{"Model", "Layout1"}));
  EXPECT_EQ(editor.bar.LayerCombo.items, (std::vector<std::string>{"0"}));
  EXPECT_GE(editor.drawing.insertlinepos, 0);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(platform.questions.empty());
  EXPECT_GT(platform.repaints, 0);
  // A second showing does not start over.
  edit();
  editor.FormShow({});
  EXPECT_TRUE(editor.file.changed);
}

TEST_F(LifecycleTest, StartsWithTheFileOfTheCommandLine) {
  const std::string file = write("small.dxf", kSmall);
  editor.FormShow({file});
  EXPECT_EQ(platform.caption, "Vestrel - [small.dxf]");
  EXPECT_EQ(editor.file.afilename, file);
  EXPECT_EQ(editor.drawing.cadver, 1009);
  EXPECT_EQ(editor.drawing.anzpoly(), 1);
}

TEST_F(LifecycleTest, CaptionMarksChanges) {
  editor.FormShow({});
  edit();
  editor.Repaint();  // what a handler ends with
  EXPECT_EQ(platform.caption, "Vestrel - [unbenannt.dxf*]");
  SetUnChanged(editor.doc);
  editor.ShowCaption();
  EXPECT_EQ(platform.caption, "Vestrel - [unbenannt.dxf]");
}

TEST_F(LifecycleTest, NewDrawingAsksFirstAndCancelKeepsTheEdits) {
  editor.FormShow({});
  edit();
  platform.answers = {Answer::Cancel};
  editor.NeueDXFDateiR12ohneSplineohneEllipseusw1Click();
  EXPECT_EQ(platform.questions, (std::vector<int>{7}));
  EXPECT_EQ(editor.drawing.dxf[0], "  0 ");
  EXPECT_TRUE(editor.file.changed);
  EXPECT_EQ(editor.drawing.cadver, 1015);

  // No: the edits are dropped and an R12 drawing starts.
  platform.answers = {Answer::No};
  editor.NeueDXFDateiR12ohneSplineohneEllipseusw1Click();
  EXPECT_EQ(editor.drawing.cadver, 1009);
  EXPECT_FALSE(editor.file.changed);
  EXPECT_EQ(platform.caption, "Vestrel - [unbenannt.dxf]");
}

TEST_F(LifecycleTest, YesSavesBeforeGoingOn) {
  const std::string file = write("small.dxf", kSmall);
  editor.FormShow({file});
  edit();
  platform.answers = {Answer::Yes};
  editor.NeueDXFDatei1Click();
  EXPECT_EQ(Read(file).substr(0, 6), "  0 \r\n");
  EXPECT_TRUE(editor.file.afilename.empty());
  EXPECT_FALSE(editor.file.changed);

  // An unnamed drawing asks for a name; cancelling that stops everything,
  // also closing the window.
  edit();
  platform.answers = {Answer::Yes};
  EXPECT_FALSE(editor.FormCloseQuery());
  EXPECT_EQ(platform.saveDialogs, 1);
  EXPECT_TRUE(editor.file.changed);
  platform.answers = {Answer::No};
  EXPECT_TRUE(editor.FormCloseQuery());
}

TEST_F(LifecycleTest, OpenAsksFirstThenLoads) {
  editor.FormShow({});
  edit();
  const std::string file = write("small.dxf", kSmall);
  platform.answers = {Answer::No};
  platform.openNames = {file};
  editor.ffnen1Click();
  EXPECT_EQ(platform.questions, (std::vector<int>{7}));
  EXPECT_EQ(editor.file.afilename, file);
  EXPECT_FALSE(editor.file.changed);
  EXPECT_EQ(editor.drawing.anzpoly(), 1);
  EXPECT_EQ(editor.view.tab, 0);
  // A cancelled dialog changes nothing.
  editor.ffnen1Click();
  EXPECT_EQ(editor.file.afilename, file);
}

TEST_F(LifecycleTest, AFileThatCannotBeOpenedLeavesTheDrawingAsItWas) {
  const std::string file = write("small.dxf", kSmall);
  editor.FormShow({file});
  edit();
  editor.undos.undos.emplace_back();
  const std::string missing = path("missing.dxf");
  EXPECT_FALSE(openfilewithname(editor.doc, platform, missing));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].nr, msg::CannotOpen);
  // The name, and on the next line why.
  EXPECT_EQ(platform.messages[0].suffix, missing + "\n" + std::string(FileErrorText(FileError::NotFound)));
  EXPECT_EQ(platform.messages[0].icon, MsgIcon::Error);
  EXPECT_EQ(editor.drawing.dxf[0], "  0 ");
  EXPECT_EQ(editor.file.afilename, file);
  EXPECT_TRUE(editor.file.changed);
  EXPECT_EQ(editor.undos.undos.size(), 1u);  // the history too
  EXPECT_EQ(editor.drawing.anzpoly(), 1);

  // Through the menu: no new view either.
  const auto zoom = editor.view.zoomedvalue;
  editor.view.zoomedvalue = zoom * 2;
  platform.answers = {Answer::No};
  platform.openNames = {write("words.dxf", "Dear reader,\nthis is no drawing.\n")};
  editor.ffnen1Click();
  EXPECT_EQ(platform.messages.back().suffix,
            path("words.dxf") + "\n" + std::string(FileErrorText(FileError::NotDxf)));
  EXPECT_EQ(editor.view.zoomedvalue, zoom * 2);
  EXPECT_EQ(editor.undos.undos.size(), 1u);
  EXPECT_EQ(editor.file.afilename, file);
}

TEST_F(LifecycleTest, AFailedSaveKeepsTheChangedMarkAndTheOldName) {
  fs::create_directories(dir_ / "gone");
  const std::string file = write("gone/small.dxf", kSmall);
  editor.FormShow({file});
  edit();
  fs::remove_all(dir_ / "gone");
  editor.Speichern1Click();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].nr, msg::CannotWrite);
  EXPECT_EQ(platform.messages[0].suffix, file + "\n" + std::string(FileErrorText(FileError::NotFound)));
  EXPECT_TRUE(editor.file.changed);
  EXPECT_EQ(platform.caption, "Vestrel - [small.dxf*]");

  // Save as into a folder that does not exist: the old name comes back.
  platform.saveNames = {path("nowhere/other.dxf")};
  editor.Speichernunter1Click();
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(editor.file.afilename, file);
  EXPECT_TRUE(editor.file.changed);

  // Save as somewhere that works: the new name, unchanged.
  platform.saveNames = {path("other.dxf")};
  editor.Speichernunter1Click();
  EXPECT_EQ(editor.file.afilename, path("other.dxf"));
  EXPECT_FALSE(editor.file.changed);
  EXPECT_EQ(platform.caption, "Vestrel - [other.dxf]");
}

TEST_F(LifecycleTest, SavingAnUnchangedFileGivesItsTextBack) {
  const std::string file = write("small.dxf", kSmall);
  editor.FormShow({file});
  platform.saveNames = {path("copy.dxf")};
  editor.Speichernunter1Click();
  std::string expected;
  for (char c : std::string(kSmall)) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(Read(path("copy.dxf")), expected);
}

TEST_F(LifecycleTest, TemplatesFromTheWorkingFolderTheProgramFolderOrBuiltIn) {
  // Built in: no template file anywhere.
  const LineList builtIn = TemplateLines("template1.dat", path("program/"));
  LineList fromFile;
  fromFile.assign(Read(std::string(VESTREL_TEMPLATE_DIR) + "/template1.dat"));
  ASSERT_GT(builtIn.size(), 100u);
  EXPECT_EQ(builtIn.copy(0, builtIn.size()), fromFile.copy(0, fromFile.size()));
  EXPECT_GT(TemplateLines("template0.dat", path("program/")).size(), 50u);

  // The program folder's own copy comes before the built-in one.
  write("program/template1.dat", kSmall);
  EXPECT_EQ(TemplateLines("template1.dat", path("program/")).size(), 30u);

  // A new drawing takes it.
  editor.FormCreate(path("program"));
  editor.FormShow({});
  EXPECT_EQ(editor.drawing.cadver, 1009);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(LifecycleTest, TheRecentFilesAreTheLastEightOpenedOrSaved) {
  platform.recentFiles = {path("gone.dxf"), path("old.dxf")};
  editor.FormShow({});
  std::vector<std::string> names;
  for (int i = 0; i < 10; ++i) names.push_back(write("d" + std::to_string(i) + ".dxf", kSmall));
  for (const std::string& n : names) {
    platform.openNames.push_back(n);
    editor.ffnen1Click();
  }
  // Saved under a new name: it goes first, the others move down, eight stay.
  platform.saveNames.push_back(path("saved.dxf"));
  editor.Speichernunter1Click();
  ASSERT_EQ(platform.recentFiles.size(), 8u);
  EXPECT_EQ(platform.recentFiles[0], path("saved.dxf"));
  EXPECT_EQ(platform.recentFiles[1], names[9]);
  EXPECT_EQ(platform.recentFiles[7], names[3]);
  // Opened again: it moves to the front, once.
  editor.RecentFileClick(3);
  EXPECT_EQ(editor.file.afilename, names[7]);
  EXPECT_EQ(platform.recentFiles[0], names[7]);
  EXPECT_EQ(std::count(platform.recentFiles.begin(), platform.recentFiles.end(), names[7]), 1);
  // A changed drawing asks first; "Abbrechen" keeps it.
  edit();
  platform.answers.push_back(Answer::Cancel);
  editor.RecentFileClick(1);
  EXPECT_EQ(editor.file.afilename, names[7]);
  EXPECT_TRUE(editor.file.changed);
  // A file gone since is said and leaves the list.
  fs::remove(names[9]);
  const std::size_t before = platform.recentFiles.size();
  editor.RecentFileClick(2);
  ASSERT_FALSE(platform.messages.empty());
  EXPECT_EQ(platform.messages.back().nr, msg::CannotOpen);
  EXPECT_EQ(platform.recentFiles.size(), before - 1);
  EXPECT_EQ(std::count(platform.recentFiles.begin(), platform.recentFiles.end(), names[9]), 0);
  // A dropped drawing opens like one chosen.
  const std::string dropped = write("dropped.dxf", kSmall);
  platform.answers.push_back(Answer::No);
  editor.OpenDroppedFile(dropped);
  EXPECT_EQ(editor.file.afilename, dropped);
  EXPECT_EQ(platform.recentFiles[0], dropped);
}

// Another program rewrote the file since it was opened: a save asks first
// and writes only where the user says, never over the other's file.
TEST_F(LifecycleTest, ASaveOverAFileChangedByAnotherProgramAsksFirst) {
  struct Case {
    const char* what;
    DiskChoice choice;
    std::optional<std::string> saveName;  // given to the save dialog
    bool changed;
    std::string name;  // the drawing's afterwards
    int polys;
  };
  const std::string file = path("small.dxf"), mine = path("mine.dxf");
  const Case cases[] = {
      {"keep editing", DiskChoice::KeepEditing, std::nullopt, true, file, 1},
      {"reload: the other's drawing, without history", DiskChoice::Reload, std::nullopt, false, file, 2},
      {"save as", DiskChoice::SaveAs, mine, false, mine, 1},
      {"save as, the dialog cancelled", DiskChoice::SaveAs, std::nullopt, true, file, 1},
  };
  for (const Case& c : cases) {
    fs::remove(mine);
    write("small.dxf", kSmall);
    test::FakePlatform p;
    Editor e{p};
    e.FormCreate(VESTREL_TEMPLATE_DIR);
    e.FormShow({file});
    Edit(e);
    e.undos.undos.emplace_back();
    write("small.dxf", kTwoLines);
    p.diskAnswers = {c.choice};
    p.saveNames = {c.saveName};
    e.Speichern1Click();
    ASSERT_EQ(p.diskQuestions.size(), 1u) << c.what;
    EXPECT_EQ(p.diskQuestions[0].nr, msg::ChangedOnDisk) << c.what;
    EXPECT_EQ(p.diskQuestions[0].suffix, file) << c.what;
    EXPECT_FALSE(p.diskQuestions[0].removed) << c.what;
    EXPECT_EQ(Read(file), kTwoLines) << c.what;
    EXPECT_EQ(e.file.changed, c.changed) << c.what;
    EXPECT_EQ(e.file.afilename, c.name) << c.what;
    EXPECT_EQ(e.drawing.anzpoly(), c.polys) << c.what;
    EXPECT_EQ(e.undos.undos.empty(), c.choice == DiskChoice::Reload) << c.what;
    EXPECT_EQ(fs::exists(mine), c.saveName.has_value()) << c.what;
    if (c.saveName) {
      EXPECT_EQ(Read(mine).substr(0, 6), "  0 \r\n") << c.what;
    }
    // Whatever was chosen, every later save over the other's file asks
    // again.
    if (c.name != file) continue;
    Edit(e);
    p.diskAnswers = {DiskChoice::KeepEditing};
    e.Speichern1Click();
    EXPECT_EQ(p.diskQuestions.size(), c.choice == DiskChoice::Reload ? 1u : 2u) << c.what;
    EXPECT_EQ(Read(file).substr(0, 6), c.choice == DiskChoice::Reload ? "  0 \r\n" : "  0\nSE") << c.what;
  }
}

// "Speichern" in the question before closing: the window closes only when
// the drawing was saved somewhere.
TEST_F(LifecycleTest, TheQuestionBeforeClosingDoesNotSaveOverAChangedFile) {
  const std::string file = write("small.dxf", kSmall);
  editor.FormShow({file});
  edit();
  write("small.dxf", kTwoLines);
  platform.answers = {Answer::Yes};
  platform.diskAnswers = {DiskChoice::KeepEditing};
  EXPECT_FALSE(editor.FormCloseQuery());
  EXPECT_TRUE(editor.file.changed);
  platform.answers = {Answer::Yes};
  platform.diskAnswers = {DiskChoice::Reload};
  const int repaints = platform.repaints;
  EXPECT_FALSE(editor.FormCloseQuery());
  EXPECT_EQ(editor.drawing.anzpoly(), 2);
  EXPECT_GT(platform.repaints, repaints);  // the drawing loaded anew is shown
  EXPECT_EQ(platform.caption, "Vestrel - [small.dxf]");
  edit();
  write("small.dxf", kSmall);
  platform.answers = {Answer::Yes};
  platform.diskAnswers = {DiskChoice::SaveAs};
  platform.saveNames = {path("mine.dxf")};
  EXPECT_TRUE(editor.FormCloseQuery());
  EXPECT_EQ(Read(file), kSmall);
  EXPECT_EQ(platform.diskQuestions.size(), 3u);
}

// The window becoming active again asks about a change of the file once;
// a file removed meanwhile may be saved again, and a save writes it anew
// without a question.
TEST_F(LifecycleTest, BecomingActiveAsksOnceForEveryChangeOfTheFile) {
  const std::string file = write("small.dxf", kSmall);
  editor.FormShow({file});
  editor.FormActivate();  // nothing changed: no question
  write("small.dxf", kTwoLines);
  platform.diskAnswers = {DiskChoice::KeepEditing};
  editor.FormActivate();
  editor.FormActivate();
  ASSERT_EQ(platform.diskQuestions.size(), 1u);
  EXPECT_EQ(platform.diskQuestions[0].nr, msg::ChangedOnDisk);
  EXPECT_EQ(editor.drawing.anzpoly(), 1);

  // Changed once more: asked again; loaded anew, nothing more to ask.
  write("small.dxf", kSmall + std::string("  0\n"));
  platform.diskAnswers = {DiskChoice::Reload};
  editor.FormActivate();
  editor.FormActivate();
  EXPECT_EQ(platform.diskQuestions.size(), 2u);
  EXPECT_EQ(editor.drawing.dxf.size(), 31u);
  EXPECT_FALSE(editor.file.changed);

  edit();
  fs::remove(file);
  platform.diskAnswers = {DiskChoice::SaveAgain};
  editor.FormActivate();
  ASSERT_EQ(platform.diskQuestions.size(), 3u);
  EXPECT_EQ(platform.diskQuestions[2].nr, msg::RemovedOnDisk);
  EXPECT_TRUE(platform.diskQuestions[2].removed);
  EXPECT_EQ(Read(file).substr(0, 6), "  0 \r\n");
  EXPECT_FALSE(editor.file.changed);
  EXPECT_EQ(platform.caption, "Vestrel - [small.dxf]");
  editor.FormActivate();

  fs::remove(file);
  editor.drawing.dxf.replace(0, "  0  ");
  SetChanged(editor.doc);
  editor.Speichern1Click();
  EXPECT_EQ(platform.diskQuestions.size(), 3u);
  EXPECT_EQ(Read(file).substr(0, 7), "  0  \r\n");
}

// Two editors on one file, as two Vestrels of one user: the second is told
// that the first has it open; when the second saved, the first's save
// asks. The lock follows the drawing and goes with it.
TEST_F(LifecycleTest, TwoEditorsOnOneFileTheLaterSaveAsks) {
  const std::string folder = path("user") + "/";
  const std::string file = write("small.dxf", kSmall);
  const std::string lock = LockFileOf(folder, file);
  editor.file.lockFolder = folder;
  editor.FormShow({file});
  EXPECT_TRUE(fs::exists(lock));
  EXPECT_TRUE(platform.messages.empty());

  test::FakePlatform secondPlatform;
  auto second = std::make_unique<Editor>(secondPlatform);
  second->FormCreate(VESTREL_TEMPLATE_DIR);
  second->file.lockFolder = folder;
  second->FormShow({});
  secondPlatform.openNames = {file};
  second->ffnen1Click();
  EXPECT_EQ(second->file.afilename, file);
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  ASSERT_EQ(secondPlatform.messages.size(), 1u);
  EXPECT_EQ(secondPlatform.messages[0].nr, msg::OpenElsewhere);
  EXPECT_EQ(secondPlatform.messages[0].suffix,
            file + "\n" + host + " (PID " + std::to_string(::getpid()) + ")");
  EXPECT_EQ(secondPlatform.messages[0].icon, MsgIcon::Warning);

  Edit(*second, "  0  ");
  second->Speichern1Click();
  EXPECT_EQ(Read(file).substr(0, 7), "  0  \r\n");
  edit();
  platform.diskAnswers = {DiskChoice::KeepEditing};
  editor.Speichern1Click();
  EXPECT_EQ(platform.diskQuestions.size(), 1u);
  EXPECT_EQ(Read(file).substr(0, 7), "  0  \r\n");

  // The first starts a new drawing: its lock goes, and the second, opening
  // the file again, is not told and takes it.
  platform.answers = {Answer::No};
  editor.NeueDXFDatei1Click();
  EXPECT_FALSE(fs::exists(lock));
  secondPlatform.openNames = {file};
  second->ffnen1Click();
  EXPECT_EQ(secondPlatform.messages.size(), 1u);
  EXPECT_TRUE(fs::exists(lock));
  // Saved under another name, the lock moves there; it goes with the
  // editor.
  secondPlatform.saveNames = {path("moved.dxf")};
  second->Speichernunter1Click();
  EXPECT_FALSE(fs::exists(lock));
  EXPECT_TRUE(fs::exists(LockFileOf(folder, path("moved.dxf"))));
  second.reset();
  EXPECT_FALSE(fs::exists(LockFileOf(folder, path("moved.dxf"))));
}

}  // namespace
}  // namespace vestrel
