#include "file/lifecycle.h"

#include <filesystem>
#include <new>

#include "file/dxffile.h"
#include "file/lock.h"
#include "file/options.h"
#include "file/templates.h"
#include "i18n/msg.h"

namespace vestrel {

namespace {

// The file's name and, on the next line, why it failed.
std::string NameAndReason(Platform& p, const std::string& name, FileError e) {
  return name + "\n" + p.Translate(FileErrorText(e));
}

// The file as it is now is the drawing's: nothing to tell about it.
void KeepIdentity(FileState& file, const FileIdentity& identity) { file.identity = file.toldOf = identity; }

// The drawing's lock follows its name: the old one goes, the file named
// now is locked. When another Vestrel has it open, the user is told so,
// if `tell`.
void LockTheFile(DocumentContext& c, Platform& p, bool tell) {
  ReleaseLock(c.file.lock);
  if (c.file.afilename.empty()) return;
  const auto other = LockDrawing(c.file.lockFolder, c.file.afilename, c.file.lock);
  if (other && tell)
    p.ShowMessage(msg::OpenElsewhere,
                  c.file.afilename + "\n" + other->host + " (PID " + std::to_string(other->pid) + ")",
                  MsgIcon::Warning);
}

}  // namespace

std::string Caption(const FileState& file, std::string_view unnamed) {
  const std::string name =
      file.afilename.empty() ? std::string(unnamed) : std::filesystem::path(file.afilename).filename().string();
  return file.maincap + " - [" + name + (file.changed ? "*]" : "]");
}

bool AskToSave(DocumentContext& c, Platform& p) {
  if (!c.file.changed) return true;
  switch (p.AskYesNoCancel(msg::NotSaved, msg::Save)) {
    case Answer::Yes: return SaveFile(c, p);
    case Answer::No: return true;
    case Answer::Cancel: return false;
  }
  return false;
}

bool openfilewithname(DocumentContext& c, Platform& p, const std::string& name) {
  // The file is read and parsed beside the drawing, which it replaces only
  // when all of it could be held. What the file is is taken before it is
  // read: a change while it is read is told of later rather than missed.
  const FileIdentity identity = IdentityOf(name);
  Drawing fresh;
  FileError e = ReadDxfFile(name, fresh.dxf);
  if (e == FileError::None) {
    try {
      processdxf(fresh);
    } catch (const std::bad_alloc&) {
      e = FileError::OutOfMemory;
    }
  }
  if (e != FileError::None) {
    p.ShowMessage(msg::CannotOpen, NameAndReason(p, name, e), MsgIcon::Error);
    return false;
  }
  c.drawing = std::move(fresh);
  FreeUndos(c.undos);
  c.file.afilename = name;
  KeepIdentity(c.file, identity);
  SetUnChanged(c);
  LockTheFile(c, p, true);
  Restarted(c.undos, c.drawing.dxf, name);
  return true;
}

bool NewDrawing(DocumentContext& c, Platform& p, std::string_view templateName) {
  if (!AskToSave(c, p)) return false;
  c.drawing.dxf = TemplateLines(templateName, c.file.progpath);
  FreeUndos(c.undos);
  processdxf(c.drawing);
  c.file.afilename.clear();
  KeepIdentity(c.file, {});
  ReleaseLock(c.file.lock);
  SetUnChanged(c);
  Restarted(c.undos, c.drawing.dxf, {});
  return true;
}

void BelongTo(DocumentContext& c, Platform& p, const std::string& name) {
  c.file.afilename = name;
  KeepIdentity(c.file, name.empty() ? FileIdentity{} : IdentityOf(name));
  LockTheFile(c, p, true);
}

bool SaveFileUnder(DocumentContext& c, Platform& p, const std::string& name) {
  // A drawing in a folder that takes no new file is written in place; the
  // copy that keeps it safe meanwhile goes into the per-user folder.
  if (c.undos.listener) c.undos.listener->Saving(name);
  const FileError e = WriteDxfFile(name, c.drawing.dxf, GetProgramDir(p.UserDataFolder(), c.file.progpath));
  if (e == FileError::None) return true;
  p.ShowMessage(msg::CannotWrite, NameAndReason(p, name, e), MsgIcon::None);
  return false;
}

bool SaveTheFile(DocumentContext& c, Platform& p) {
  const bool ok = SaveFileUnder(c, p, c.file.afilename);
  if (!ok) return false;
  KeepIdentity(c.file, IdentityOf(c.file.afilename));
  SetUnChanged(c);
  Restarted(c.undos, c.drawing.dxf, c.file.afilename);
  return true;
}

namespace {

// Saves under a name from the save dialog; a failure keeps the old name
// and leaves the drawing marked changed.
bool SaveUnderChosenName(DocumentContext& c, Platform& p) {
  const auto name = p.SaveFileDialog();
  if (!name) return false;
  const std::string old = c.file.afilename;
  c.file.afilename = *name;
  if (SaveTheFile(c, p)) {
    if (*name != old) LockTheFile(c, p, false);
    return true;
  }
  c.file.afilename = old;
  SetChanged(c);
  return false;
}

}  // namespace

bool SaveFile(DocumentContext& c, Platform& p) {
  if (c.file.afilename.empty()) return SaveUnderChosenName(c, p);
  if (DiskStateOf(c.file) == DiskState::Changed) return AnswerDiskChange(c, p);
  return SaveTheFile(c, p);
}

void SaveFileAs(DocumentContext& c, Platform& p) { SaveUnderChosenName(c, p); }

DiskState DiskStateOf(const FileState& file) {
  if (file.afilename.empty() || !file.identity.exists) return DiskState::Same;
  const FileIdentity now = IdentityOf(file.afilename);
  return now == file.identity ? DiskState::Same : now.exists ? DiskState::Changed : DiskState::Removed;
}

bool DiskChangeUntold(const FileState& file) {
  if (file.afilename.empty() || !file.identity.exists) return false;
  const FileIdentity now = IdentityOf(file.afilename);
  return now != file.identity && now != file.toldOf;
}

bool AnswerDiskChange(DocumentContext& c, Platform& p) {
  const std::string name = c.file.afilename;
  const FileIdentity now = IdentityOf(name);
  c.file.toldOf = now;  // asked once about it, whatever the answer
  const bool removed = !now.exists;
  switch (p.AskAboutDiskChange(removed ? msg::RemovedOnDisk : msg::ChangedOnDisk, name, removed)) {
    case DiskChoice::Reload:
      if (!removed) openfilewithname(c, p, name);
      return false;
    case DiskChoice::SaveAgain: return removed && SaveTheFile(c, p);
    case DiskChoice::SaveAs: return SaveUnderChosenName(c, p);
    case DiskChoice::KeepEditing: return false;
  }
  return false;
}

}  // namespace vestrel
