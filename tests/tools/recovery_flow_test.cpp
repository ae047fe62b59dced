// A program that ends without saving, and the next start: its drawing
// offered and made again with its undo history, under its name or, when the
// file changed since, under none; kept when refused; gone when saved or
// dropped on purpose; and said once when no record can be kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "file/lifecycle.h"
#include "i18n/msg.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "tools/editor.h"
#include "writers/entitywriters.h"

namespace vestrel {
namespace {

namespace fs = std::filesystem;


// One run of the program, with the per-user folder of the test.
struct Program {
  explicit Program(const std::string& user, const std::vector<std::string>& args = {}) {
    platform.userData = user;
    editor.FormCreate(VESTREL_TEMPLATE_DIR);
    editor.FormShow(args);
  }
  // Lines drawn, the last one taken back, and the record written.
  void Draw(int lines) {
    for (int i = 0; i < lines; ++i) Write(editor.doc, AddLine, LineKind::Line, {0, double(i), 0}, {10, double(i), 0});
    editor.Rckgngig1Click();
    editor.KeepRecovery(true);
  }
  bool Asked(int nr) const { return std::count(platform.questions.begin(), platform.questions.end(), nr) > 0; }
  bool Told(int nr) const {
    return std::any_of(platform.messages.begin(), platform.messages.end(),
                       [&](const test::FakePlatform::Shown& m) { return m.nr == nr && m.icon != MsgIcon::Question; });
  }
  // The drawing as it stands: its text and the length of its histories.
  std::tuple<std::string, std::size_t, std::size_t> State() const {
    return {editor.drawing.dxf.join("\n"), editor.undos.undos.size(), editor.undos.redos.size()};
  }

  test::FakePlatform platform;
  Editor editor{platform};
};

class RecoveryFlow : public ::testing::Test {
 protected:
  std::string Records() const { return tmp.path("data/Korvel/Vestrel/recovery"); }
  std::size_t RecordCount() const {
    std::error_code ec;
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(Records(), ec)) n += e.path().extension() == ".vrec";
    return n;
  }
  // A drawing of the template, saved as a file.
  std::string Drawing() {
    Program maker(user);
    SaveFileUnder(maker.editor.doc, maker.platform, tmp.path("plan.dxf"));
    return tmp.path("plan.dxf");
  }

  test::TempDir tmp;
  std::string user = tmp.path("data");
};

TEST_F(RecoveryFlow, AProgramThatEndedWithoutSavingHasItsDrawingMadeAgainAtTheNextStart) {
  const std::string plan = Drawing();
  auto first = std::make_unique<Program>(user, std::vector<std::string>{plan});
  first->Draw(3);
  const auto left = first->State();
  first.reset();  // ended without a word: killed, or the power gone
  ASSERT_EQ(RecordCount(), 1u);

  auto second = std::make_unique<Program>(user);
  second->platform.yesNo = {true};
  second->editor.OfferRecovery();
  EXPECT_TRUE(second->Asked(msg::Recover));
  EXPECT_EQ(second->State(), left);
  EXPECT_EQ(std::get<1>(left), 2u);
  EXPECT_EQ(std::get<2>(left), 1u);
  EXPECT_EQ(second->editor.file.afilename, plan);
  EXPECT_TRUE(second->editor.file.changed);
  // Its record goes on: a change now, then the end again, and it is made
  // again as it stood then. (While it runs, nobody else is offered it.)
  second->editor.Wiederherstellen1Click();
  second->Draw(1);
  const auto later = second->State();
  Program meanwhile(user);
  meanwhile.editor.OfferRecovery();
  EXPECT_FALSE(meanwhile.Asked(msg::Recover));
  second.reset();
  Program third(user);
  EXPECT_EQ(RecordCount(), 1u);
  third.platform.yesNo = {true};
  third.editor.OfferRecovery();
  EXPECT_EQ(third.State(), later);
  // Its file is what the drawing began from: saved over without a question.
  third.editor.Speichern1Click();
  EXPECT_FALSE(third.editor.file.changed);
  EXPECT_EQ(RecordCount(), 0u);
}

TEST_F(RecoveryFlow, RefusedItStaysToBeOfferedAgain) {
  auto first = std::make_unique<Program>(user);  // a drawing never saved
  first->Draw(2);
  const auto left = first->State();
  first.reset();
  Program second(user);
  second.platform.yesNo = {false};
  second.editor.OfferRecovery();
  EXPECT_EQ(RecordCount(), 1u);
  EXPECT_FALSE(second.editor.file.changed);
  second.platform.yesNo = {true};
  second.editor.Wiederherstellen2Click();  // "Wiederherstellen..."
  EXPECT_EQ(second.State(), left);
  EXPECT_TRUE(second.editor.file.afilename.empty());
}

TEST_F(RecoveryFlow, AFileChangedSinceGivesTheDrawingWithoutANameOrNotAtAll) {
  for (const bool copyKept : {true, false}) {
    SCOPED_TRACE(copyKept);
    const std::string plan = Drawing();
    auto first = std::make_unique<Program>(user, std::vector<std::string>{plan});
    first->Draw(2);
    const auto left = first->State();
    first.reset();
    // Another program saves over the file, through a new one.
    fs::remove(plan);
    std::ofstream(plan, std::ios::binary) << "  0\r\nEOF\r\n";
    if (!copyKept)
      for (const auto& e : fs::directory_iterator(Records())) if (e.path().extension() == ".base") fs::remove(e.path());
    Program second(user);
    second.platform.yesNo = {true};
    second.editor.OfferRecovery();
    if (copyKept) {
      EXPECT_TRUE(second.Told(msg::OriginalChanged));
      EXPECT_EQ(second.State(), left);
      EXPECT_TRUE(second.editor.file.afilename.empty());  // saved, it asks for a new name
    } else {
      EXPECT_TRUE(second.Told(msg::CannotRecover));
      EXPECT_FALSE(second.editor.file.changed);
      EXPECT_EQ(RecordCount(), 1u);  // it stays
    }
    second.editor.DropRecovery();
    fs::remove_all(Records());
  }
}

TEST_F(RecoveryFlow, ASavedOrDroppedDrawingLeavesNoRecord) {
  const std::string plan = Drawing();
  {
    Program saved(user, {plan});
    saved.Draw(2);
    // The record keeps the file it begins from under a second name, which
    // the save does not take for a link of the user's.
    EXPECT_EQ(fs::hard_link_count(plan), 2u);
    const auto before = IdentityOf(plan);
    saved.editor.Speichern1Click();
    EXPECT_EQ(RecordCount(), 0u);
    EXPECT_EQ(fs::hard_link_count(plan), 1u);
    EXPECT_NE(IdentityOf(plan).inode, before.inode);  // a new file, not the old one written over
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.dir()), fs::directory_iterator()), 2);  // plan.dxf, data
  }
  {
    Program dropped(user, {plan});
    dropped.Draw(2);
    EXPECT_EQ(RecordCount(), 1u);
    dropped.platform.answers = {Answer::No};  // the changes not saved, on purpose
    EXPECT_TRUE(dropped.editor.FormCloseQuery());
    EXPECT_EQ(RecordCount(), 0u);
  }
  Program next(user);
  next.editor.OfferRecovery();  // nothing is asked
  next.editor.Wiederherstellen2Click();
  EXPECT_TRUE(next.Told(msg::NothingToRecover));
}

TEST_F(RecoveryFlow, NoRecordCanBeKeptIsSaidOnce) {
  fs::create_directories(tmp.path("data/Korvel/Vestrel"));
  std::ofstream(Records()) << "a file where the folder should be";
  Program p(user);
  p.Draw(1);
  p.Draw(1);
  EXPECT_EQ(std::count_if(p.platform.messages.begin(), p.platform.messages.end(),
                          [](const test::FakePlatform::Shown& m) { return m.nr == msg::CannotRecord; }),
            1);
}

}  // namespace
}  // namespace vestrel
