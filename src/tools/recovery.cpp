// The drawings of programs that ended without saving them, made again from
// their records ("Wiederherstellen..."), and the record of this program's.
#include <ctime>
#include <filesystem>

#include "file/lifecycle.h"
#include "i18n/msg.h"
#include "tools/editor.h"

namespace vestrel {

namespace {

// A record is never larger than the drawing and its changes: what no
// drawing can be is no record.
constexpr std::uintmax_t kMostRecordBytes = std::uintmax_t{16} << 30;

// "plan.dxf, 9.12.2026 17:03, 12 Änderungen" for the question.
std::string Describe(const Recovery& r, std::string_view unnamed) {
  const std::string name = r.fromFile ? r.path : std::string(unnamed);
  const std::time_t began = static_cast<std::time_t>(r.began);
  char when[64] = "";
  if (const std::tm* t = std::localtime(&began)) std::strftime(when, sizeof when, "%d.%m.%Y %H:%M", t);
  return "\n" + name + " (" + when + ")";
}

}  // namespace

void Editor::Wiederherstellen2Click() {
  if (!OfferRecoveries()) platform.ShowMessage(msg::NothingToRecover, "", MsgIcon::Information);
}

void Editor::OfferRecovery() { OfferRecoveries(); }

bool Editor::OfferRecoveries() {
  if (!recovery_) return false;
  bool any = false;
  for (const std::string& path : recovery_->Orphans()) {
    std::string bytes;
    if (ReadWholeFile(path, bytes, kMostRecordBytes) != FileError::None) continue;
    const Recovery r = ReadRecovery(bytes);
    if (!r.based() || r.events.empty()) {
      // Begun, but nothing of a change reached the disk: nothing is lost.
      std::error_code ec;
      std::filesystem::remove(path, ec);
      std::filesystem::remove(path + ".base", ec);
      continue;
    }
    any = true;
    if (!platform.AskYesNo(msg::Recover, Describe(r, platform.Message(msg::Unnamed)))) continue;
    if (!AskToSave(doc, platform)) break;
    if (Recover(path, r)) break;
  }
  ShowCaption();
  return any;
}

bool Editor::Recover(const std::string& path, const Recovery& r) {
  // The lines the record begins from: the file it names, as long as it
  // holds them still, else the second name of that file kept beside the
  // record; a drawing never saved has them in the record.
  LineList base;
  bool unnamed = !r.fromFile;
  if (!r.fromFile) {
    base.insert(0, r.lines);
    base.encoding = r.encoding;
  } else if (ReadDxfFile(r.path, base) != FileError::None || LinesHash(base) != r.hash) {
    if (ReadDxfFile(path + ".base", base) != FileError::None || LinesHash(base) != r.hash) {
      platform.ShowMessage(msg::CannotRecover, "\n" + path, MsgIcon::Error);
      return false;
    }
    platform.ShowMessage(msg::OriginalChanged, "\n" + r.path, MsgIcon::Warning);
    unnamed = true;
  }
  // Made beside the drawing, which it replaces when all of it is there.
  Drawing fresh;
  Journal j;
  fresh.dxf = base;
  std::size_t played = ReplayRecovery(r, fresh.dxf, j);
  const std::size_t whole = WholeFlushes(r, played);
  if (whole != played) {
    // A change did not fit: the drawing as it was at the last whole flush.
    fresh.dxf = std::move(base);
    j = Journal{};
    played = ReplayRecovery(r, fresh.dxf, j, whole);
  }
  try {
    processdxf(fresh);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
    return false;
  }
  drawing = std::move(fresh);
  undos.undos = std::move(j.undos);
  undos.redos = std::move(j.redos);
  undos.handlesIssued = j.handlesIssued;
  BelongTo(doc, platform, unnamed ? std::string() : r.path);
  SetChanged(doc);
  recovery_->Adopt(path, r, played, drawing.dxf);
  if (r.damaged || played != r.events.size()) platform.ShowMessage(msg::DamagedRecord, "", MsgIcon::Warning);
  ShowLoaded();
  Repaint();
  return true;
}

void Editor::KeepRecovery(bool mayTell) {
  if (!recovery_) return;
  recovery_->Flush();
  if (recovery_->error() == FileError::None || recoveryTold_ || !mayTell) return;
  recoveryTold_ = true;
  platform.ShowMessage(msg::CannotRecord, "\n" + platform.Translate(FileErrorText(recovery_->error())),
                       MsgIcon::Warning);
}

void Editor::DropRecovery() {
  if (recovery_) recovery_->Discard();
}

}  // namespace vestrel
