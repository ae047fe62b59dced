#include "file/lifecycle.h"

#include <filesystem>

#include "file/dxffile.h"
#include "file/templates.h"

namespace vestrel {

namespace {

constexpr int kMsgCannotWrite = 6;
constexpr int kMsgNotSaved = 7;
constexpr int kMsgSave = 8;
constexpr int kMsgCannotOpen = 32;
constexpr int kMsgUnnamed = 34;

void SetCaption(Session& s, std::string_view end) {
  const std::string name = s.state.afilename.empty()
                               ? s.platform.Message(kMsgUnnamed)
                               : std::filesystem::path(s.state.afilename).filename().string();
  s.platform.SetCaption(s.state.maincap + " - [" + name + std::string(end));
}

// After the line list was replaced (or a load failed): no history, a fresh
// parse, the model tab, and the picture.
void ShowNewDocument(Session& s) {
  FreeUndos(s.undos);
  processdxf(s.drawing);
  s.drawing.bar.TabControl1.itemIndex = 0;
  if (s.showLoaded)
    s.showLoaded();
  else
    s.platform.Repaint();
}

}  // namespace

void SetChanged(Session& s) {
  s.state.changed = true;
  SetCaption(s, "*]");
}

void SetUnChanged(Session& s) {
  s.state.changed = false;
  SetCaption(s, "]");
}

bool AskToSave(Session& s) {
  if (!s.state.changed) return true;
  switch (s.platform.AskYesNoCancel(kMsgNotSaved, kMsgSave)) {
    case Answer::Yes: return SaveFile(s);
    case Answer::No: return true;
    case Answer::Cancel: return false;
  }
  return false;
}

bool openfilewithname(Session& s, const std::string& name) {
  const bool ok = ReadDxfFile(name, s.drawing.dxf);
  if (!ok) s.platform.ShowMessage(kMsgCannotOpen, name, MsgIcon::Error);
  ShowNewDocument(s);
  if (ok) {
    s.state.afilename = name;
    SetUnChanged(s);
  }
  return ok;
}

bool OpenFile(Session& s) {
  const auto name = s.platform.OpenFileDialog();
  return name && openfilewithname(s, *name);
}

void NewDrawing(Session& s, std::string_view templateName) {
  if (!AskToSave(s)) return;
  s.drawing.dxf = TemplateLines(templateName, s.state.progpath);
  ShowNewDocument(s);
  s.state.afilename.clear();
  SetUnChanged(s);
}

bool SaveFileUnder(Session& s, const std::string& name) {
  if (WriteDxfFile(name, s.drawing.dxf)) return true;
  s.platform.ShowMessage(kMsgCannotWrite, name, MsgIcon::None);
  return false;
}

bool SaveTheFile(Session& s) {
  const bool ok = SaveFileUnder(s, s.state.afilename);
  if (ok) SetUnChanged(s);
  return ok;
}

namespace {

// Saves under a name from the save dialog; a failure keeps the old name
// and leaves the drawing marked changed.
bool SaveUnderChosenName(Session& s) {
  const auto name = s.platform.SaveFileDialog();
  if (!name) return false;
  const std::string old = s.state.afilename;
  s.state.afilename = *name;
  if (SaveTheFile(s)) return true;
  s.state.afilename = old;
  SetChanged(s);
  return false;
}

}  // namespace

bool SaveFile(Session& s) {
  return s.state.afilename.empty() ? SaveUnderChosenName(s) : SaveTheFile(s);
}

void SaveFileAs(Session& s) { SaveUnderChosenName(s); }

}  // namespace vestrel
