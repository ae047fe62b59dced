// A window system for tests: it records what the editor shows and answers
// questions and dialogs from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "i18n/messages.h"
#include "platform/nullplatform.h"

namespace vestrel::test {

// One of the small dialogs, scripted: each answer edits the values the
// dialog was shown on and closes it with its result; a cancelled one leaves
// the values as they were. A dialog shown without an answer left is
// cancelled.
template <class Values>
struct ScriptedDialog {
  struct Answer {
    std::function<void(Values&)> edit;
    DialogResult result = DialogResult::Ok;
  };
  std::deque<Answer> answers;
  std::deque<DiskChoice> diskAnswers;  // the question about the file changed by others
  std::vector<Values> shown;  // the values proposed, each time it was shown

  DialogResult Run(Values& values) {
    shown.push_back(values);
    if (answers.empty()) return DialogResult::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    Values typed = values;
    if (a.edit) a.edit(typed);
    if (a.result != DialogResult::Cancel) values = typed;
    return a.result;
  }
};

class FakePlatform : public NullPlatform {
 public:
  struct Shown {
    int nr;
    std::string suffix;
    MsgIcon icon;
    int captionNr;
  };

  // Script: answers to the next questions and dialogs, in order. A dialog
  // without a scripted answer is cancelled; a question without one fails
  // the test.
  std::deque<Answer> answers;
  std::deque<bool> yesNo;  // the Yes/No questions: true for Yes
  std::deque<DiskChoice> diskAnswers;  // the question about the file changed by others
  std::deque<std::optional<std::string>> openNames, saveNames;
  std::vector<std::string> recentFiles;  // as kept between runs

  // Record.
  std::vector<Shown> messages;
  std::vector<int> questions;
  struct DiskQuestion {
    int nr;
    std::string suffix;
    bool removed;
  };
  std::vector<DiskQuestion> diskQuestions;
  std::string caption;
  int repaints = 0;
  int openDialogs = 0, saveDialogs = 0;
  std::string status;
  Cursor cursor = Cursor::CrossHair;
  std::vector<tremove> xor_;  // every segment drawn in XOR, in order
  // What each report of progress said was done; the one that said
  // `stopProgressAt` is answered with a stop.
  std::vector<std::int64_t> progress;
  std::int64_t stopProgressAt = -1;
  int progressEnds = 0;

  // The drawing area and the printer.
  PixelSize paintBox{800, 600};
  PrinterPage page{4960, 7016, 600};  // A4 at 600 dpi
  std::deque<DialogResult> printDialogAnswers;
  int printed = 0, printerSetups = 0;
  PrintSetup printDialogShown, printedAt;  // what the print dialog was shown, and what was printed at
  bool printDialogRemembers = false;
  std::optional<PaperSize> paper, printedOn;  // the paper in use, and the one printed on
  int viewportDialogs = 0;
  int closes = 0;
  std::string userData;  // the per-user data folder; none when empty
  int formTranslations = 0, translateDialogs = 0;
  std::optional<ViewportValues> viewportAnswer;
  ScriptedDialog<TextDialogValues> textDialog;
  ScriptedDialog<ArrayDialogValues> arrayDialog;
  ScriptedDialog<PolygonDialogValues> polygonDialog;
  ScriptedDialog<RotationDialogValues> rotationDialog;
  ScriptedDialog<ScaleDialogValues> scaleDialog;
  ScriptedDialog<NewLayerDialogValues> newLayerDialog;
  ScriptedDialog<LayerDialogValues> layerDialog;
  ScriptedDialog<LineStyleDialogValues> lineStyleDialog;
  ScriptedDialog<JoinDialogValues> joinDialog;
  ScriptedDialog<LengthenDialogValues> lengthenDialog;
  ScriptedDialog<OffsetDialogValues> offsetDialog;
  ScriptedDialog<FilletDialogValues> filletDialog;
  ScriptedDialog<ChamferDialogValues> chamferDialog;

  // "Zuschnitt prüfen": what the user does while it is open (nothing when
  // not given), and the values it closed with, each time.
  std::function<void(CutCheckDialogValues&, CutCheckSteps&)> cutCheckUser;
  std::vector<CutCheckDialogValues> cutCheckClosed;

  std::string Message(int nr) override { return std::string(GermanMessage(nr)); }
  void ShowCutCheckDialog(CutCheckDialogValues& values, CutCheckSteps& steps) override {
    if (cutCheckUser) cutCheckUser(values, steps);
    cutCheckClosed.push_back(values);
  }
  bool Progress(int, std::int64_t done, std::int64_t) override {
    progress.push_back(done);
    return done != stopProgressAt;
  }
  void EndProgress() override { ++progressEnds; }
  void ShowMessage(int nr, std::string_view suffix, MsgIcon icon, int captionNr) override {
    messages.push_back({nr, std::string(suffix), icon, captionNr});
  }
  Answer AskYesNoCancel(int nr, int) override {
    questions.push_back(nr);
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question " << nr;
      return Answer::Cancel;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool AskYesNo(int nr, std::string_view suffix) override {
    questions.push_back(nr);
    messages.push_back({nr, std::string(suffix), MsgIcon::Question, 0});
    if (yesNo.empty()) {
      ADD_FAILURE() << "unexpected question " << nr;
      return false;
    }
    const bool yes = yesNo.front();
    yesNo.pop_front();
    return yes;
  }
  DiskChoice AskAboutDiskChange(int nr, std::string_view suffix, bool removed) override {
    diskQuestions.push_back({nr, std::string(suffix), removed});
    if (diskAnswers.empty()) {
      ADD_FAILURE() << "unexpected question " << nr << " about " << suffix;
      return DiskChoice::KeepEditing;
    }
    const DiskChoice a = diskAnswers.front();
    diskAnswers.pop_front();
    return a;
  }
  std::optional<std::string> OpenFileDialog() override { return Next(openNames, openDialogs); }
  std::optional<std::string> SaveFileDialog() override { return Next(saveNames, saveDialogs); }
  std::vector<std::string> RecentFiles() override { return recentFiles; }
  void KeepRecentFiles(const std::vector<std::string>& names) override { recentFiles = names; }
  std::string UserDataFolder() override { return userData; }
  void TranslateAllForms() override { ++formTranslations; }
  void ShowTranslateDialog() override { ++translateDialogs; }
  void SetCaption(std::string_view c) override { caption = c; }
  void Repaint() override { ++repaints; }
  void CloseMainWindow() override { ++closes; }
  PixelSize PaintBoxSize() override { return paintBox; }
  void SetCursor(Cursor c) override { cursor = c; }
  void DrawXor(std::span<const tremove> segments) override { xor_.insert(xor_.end(), segments.begin(), segments.end()); }
  void SetStatusText(std::string_view text) override { status = text; }
  PrinterPage PrinterPageSize() override { return page; }
  DialogResult ShowPrintDialog(PrintSetup& setup, bool remember) override {
    printDialogShown = setup;
    printDialogRemembers = remember;
    if (printDialogAnswers.empty()) return DialogResult::Cancel;
    const DialogResult r = printDialogAnswers.front();
    printDialogAnswers.pop_front();
    return r;
  }
  void PrinterSetupDialog() override { ++printerSetups; }
  void PrintDrawing(const PrintSetup& setup) override {
    ++printed;
    printedAt = setup;
    printedOn = paper;
  }
  void UsePaper(std::optional<PaperSize> p) override { paper = p; }
  DialogResult ShowViewportDialog(ViewportValues& values) override {
    ++viewportDialogs;
    if (!viewportAnswer) return DialogResult::Cancel;
    values = *viewportAnswer;
    return DialogResult::Ok;
  }
  DialogResult ShowTextDialog(TextDialogValues& values) override { return textDialog.Run(values); }
  DialogResult ShowArrayDialog(ArrayDialogValues& values) override { return arrayDialog.Run(values); }
  DialogResult ShowPolygonDialog(PolygonDialogValues& values) override { return polygonDialog.Run(values); }
  DialogResult ShowRotationDialog(RotationDialogValues& values) override { return rotationDialog.Run(values); }
  DialogResult ShowScaleDialog(ScaleDialogValues& values) override { return scaleDialog.Run(values); }
  DialogResult ShowNewLayerDialog(NewLayerDialogValues& values) override { return newLayerDialog.Run(values); }
  DialogResult ShowLayerDialog(LayerDialogValues& values) override { return layerDialog.Run(values); }
  DialogResult ShowLineStyleDialog(LineStyleDialogValues& values) override { return lineStyleDialog.Run(values); }
  DialogResult ShowJoinDialog(JoinDialogValues& values) override { return joinDialog.Run(values); }
  DialogResult ShowLengthenDialog(LengthenDialogValues& values) override { return lengthenDialog.Run(values); }
  DialogResult ShowOffsetDialog(OffsetDialogValues& values) override { return offsetDialog.Run(values); }
  DialogResult ShowFilletDialog(FilletDialogValues& values) override { return filletDialog.Run(values); }
  DialogResult ShowChamferDialog(ChamferDialogValues& values) override { return chamferDialog.Run(values); }

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& q, int& count) {
    ++count;
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

}  // namespace vestrel::test
