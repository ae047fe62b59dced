// Menu "Datei": new drawings, open, save, print, the recent files and the
// end.
#include <algorithm>
#include <filesystem>

#include "file/lifecycle.h"
#include "i18n/msg.h"
#include "tools/editor.h"

namespace vestrel {

namespace {

constexpr std::size_t kMostRecent = 8;

}  // namespace

void Editor::NeueDXFDatei1Click() {
  const std::uint64_t parse = drawing.generation;
  if (!NewDrawing(doc, platform, kTemplateNew)) return ShowFileKept(parse);
  ShowLoaded();
  Repaint();
}

void Editor::NeueDXFDateiR12ohneSplineohneEllipseusw1Click() {
  const std::uint64_t parse = drawing.generation;
  if (!NewDrawing(doc, platform, kTemplateR12)) return ShowFileKept(parse);
  ShowLoaded();
  Repaint();
}

void Editor::ffnen1Click() {
  const std::uint64_t parse = drawing.generation;
  const auto name = AskToSave(doc, platform) ? platform.OpenFileDialog() : std::nullopt;
  if (!name || !openfilewithname(doc, platform, *name)) return ShowFileKept(parse);
  ShowLoaded();
  RememberFile();
  Repaint();
}

void Editor::Speichern1Click() {
  const std::uint64_t parse = drawing.generation;
  if (SaveFile(doc, platform)) RememberFile();
  ShowFileKept(parse);
}

void Editor::Speichernunter1Click() {
  SaveFileAs(doc, platform);
  if (!file.changed) RememberFile();
  ShowCaption();
}

const std::vector<std::string>& Editor::RecentFiles() {
  if (!recentRead_) {
    recent_ = platform.RecentFiles();
    if (recent_.size() > kMostRecent) recent_.resize(kMostRecent);
    recentRead_ = true;
  }
  return recent_;
}

void Editor::RememberFile() {
  if (file.afilename.empty()) return;
  RecentFiles();
  std::erase(recent_, file.afilename);
  recent_.insert(recent_.begin(), file.afilename);
  if (recent_.size() > kMostRecent) recent_.resize(kMostRecent);
  platform.KeepRecentFiles(recent_);
}

void Editor::RecentFileClick(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= RecentFiles().size()) return;
  const std::string name = recent_[static_cast<std::size_t>(index)];
  std::error_code e;
  if (!std::filesystem::is_regular_file(name, e)) {
    // Gone since: it leaves the list.
    recent_.erase(recent_.begin() + index);
    platform.KeepRecentFiles(recent_);
    return platform.ShowMessage(msg::CannotOpen, name, MsgIcon::Error);
  }
  OpenNamed(name);
}

void Editor::OpenDroppedFile(const std::string& name) { OpenNamed(name); }

void Editor::OpenNamed(const std::string& name) {
  const std::uint64_t parse = drawing.generation;
  if (!AskToSave(doc, platform) || !openfilewithname(doc, platform, name)) return ShowFileKept(parse);
  ShowLoaded();
  RememberFile();
  Repaint();
}

void Editor::ShowFileKept(std::uint64_t parse) {
  if (drawing.generation == parse) return ShowCaption();
  // Loaded anew from its file on the way: what ran on the old drawing ends.
  SetAlltoFalse();
  Repaint();
}

void Editor::Drucken1Click() {
  // A layout on paper of its own proposes that paper and its plot scale,
  // for this print only: the page set-up of the model stays as it is.
  const auto paper = PaperOfTab(drawing, view.tab);
  PrintSetup setup = paper ? PrintSetupOf(*paper) : print;
  if (paper) platform.UsePaper(PaperSize{paper->widthMm, paper->heightMm});
  const DialogResult r = platform.ShowPrintDialog(setup, !paper);
  if (!paper && r != DialogResult::Cancel) print = setup;
  if (r == DialogResult::Preview) view.Druckvorschau = true;
  Repaint();
  if (r == DialogResult::Ok) platform.PrintDrawing(setup);
  if (paper) platform.UsePaper(std::nullopt);
}

void Editor::Seiteeinrichten1Click() {
  if (platform.ShowPrintDialog(print, true) == DialogResult::Preview) view.Druckvorschau = true;
  Repaint();
}

void Editor::Druckereinrichten1Click() {
  platform.PrinterSetupDialog();
  Repaint();  // the sheet follows the printer's page
}

void Editor::Beenden1Click() { platform.CloseMainWindow(); }

}  // namespace vestrel
