#include "file/lifecycle.h"

#include <filesystem>
#include <new>

#include "file/dxffile.h"
#include "file/options.h"
#include "file/templates.h"

namespace vestrel {

namespace {

constexpr int kMsgCannotWrite = 6;
constexpr int kMsgNotSaved = 7;
constexpr int kMsgSave = 8;
constexpr int kMsgCannotOpen = 32;

// The file's name and, on the next line, why it failed.
std::string NameAndReason(Platform& p, const std::string& name, FileError e) {
  return name + "\n" + p.Translate(FileErrorText(e));
}

}  // namespace

std::string Caption(const FileState& file, std::string_view unnamed) {
  const std::string name =
      file.afilename.empty() ? std::string(unnamed) : std::filesystem::path(file.afilename).filename().string();
  return file.maincap + " - [" + name + (file.changed ? "*]" : "]");
}

bool AskToSave(DocumentContext& c, Platform& p) {
  if (!c.file.changed) return true;
  switch (p.AskYesNoCancel(kMsgNotSaved, kMsgSave)) {
    case Answer::Yes: return SaveFile(c, p);
    case Answer::No: return true;
    case Answer::Cancel: return false;
  }
  return false;
}

bool openfilewithname(DocumentContext& c, Platform& p, const std::string& name) {
  // The file is read and parsed beside the drawing, which it replaces only
  // when all of it could be held.
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
    p.ShowMessage(kMsgCannotOpen, NameAndReason(p, name, e), MsgIcon::Error);
    return false;
  }
  c.drawing = std::move(fresh);
  FreeUndos(c.undos);
  c.file.afilename = name;
  SetUnChanged(c);
  Restarted(c.undos, c.drawing.dxf, name);
  return true;
}

bool NewDrawing(DocumentContext& c, Platform& p, std::string_view templateName) {
  if (!AskToSave(c, p)) return false;
  c.drawing.dxf = TemplateLines(templateName, c.file.progpath);
  FreeUndos(c.undos);
  processdxf(c.drawing);
  c.file.afilename.clear();
  SetUnChanged(c);
  Restarted(c.undos, c.drawing.dxf, {});
  return true;
}

bool SaveFileUnder(DocumentContext& c, Platform& p, const std::string& name) {
  // A drawing in a folder that takes no new file is written in place; the
  // copy that keeps it safe meanwhile goes into the per-user folder.
  if (c.undos.listener) c.undos.listener->Saving(name);
  const FileError e = WriteDxfFile(name, c.drawing.dxf, GetProgramDir(p.UserDataFolder(), c.file.progpath));
  if (e == FileError::None) return true;
  p.ShowMessage(kMsgCannotWrite, NameAndReason(p, name, e), MsgIcon::None);
  return false;
}

bool SaveTheFile(DocumentContext& c, Platform& p) {
  const bool ok = SaveFileUnder(c, p, c.file.afilename);
  if (!ok) return false;
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
  if (SaveTheFile(c, p)) return true;
  c.file.afilename = old;
  SetChanged(c);
  return false;
}

}  // namespace

bool SaveFile(DocumentContext& c, Platform& p) {
  return c.file.afilename.empty() ? SaveUnderChosenName(c, p) : SaveTheFile(c, p);
}

void SaveFileAs(DocumentContext& c, Platform& p) { SaveUnderChosenName(c, p); }

}  // namespace vestrel
