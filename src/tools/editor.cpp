#include "tools/editor.h"

#include "file/lifecycle.h"
#include "file/options.h"
#include "i18n/msg.h"
#include "tools/drafting.h"

namespace vestrel {

Editor::Editor(Platform& platform) : platform(platform) {}

Editor::~Editor() { ReleaseLock(file.lock); }

void Editor::Repaint() {
  RefreshPropertyBar(bar, drawing);
  // A tab that is gone gives way to the model.
  if (view.tab < 0 || view.tab >= static_cast<int>(bar.TabControl1.size())) view.tab = 0;
  ShowProperties(bar, drawing, view.tab);
  ShowCaption();
  platform.Repaint();
  tool.anzrem = 0;  // the rubber band went with the old picture
}

void Editor::RepaintView() {
  platform.RepaintView();
  tool.anzrem = 0;
}

void Editor::ShowCaption() { platform.SetCaption(Caption(file, platform.Message(msg::Unnamed))); }

void Editor::Report(InsertResult result) {
  switch (result) {
    case InsertResult::NoInsertionPoint: platform.ShowMessage(msg::NoInsertionPoint, "", MsgIcon::Error); break;
    case InsertResult::InvalidValue: platform.ShowMessage(msg::InvalidValue, "", MsgIcon::Error); break;
    case InsertResult::NoHandleLeft: platform.ShowMessage(msg::NoHandleLeft, "", MsgIcon::Error); break;
    case InsertResult::NotInThisVersion: platform.ShowMessage(msg::NoSplines, "", MsgIcon::Error); break;
    case InsertResult::ControlCharacter: platform.ShowMessage(msg::ControlCharacter, "", MsgIcon::Error); break;
    case InsertResult::Inserted:
    case InsertResult::NothingToWrite: break;
  }
}

void Editor::OutOfMemory() {
  platform.ShowMessage(msg::OutOfMemory, "", MsgIcon::Error);
  try {
    processdxf(drawing);
  } catch (const std::bad_alloc&) {
  }
  Repaint();
}

void Editor::ShowLoaded() {
  view.tab = 0;
  tool.lastpoint.reset();  // a point of the drawing before
  view.previous.clear();  // the views of the drawing before
  ZoomFullIn(views);
}

void Editor::FormCreate(std::string progpath) {
  if (!progpath.empty() && progpath.back() != '/') progpath += '/';
  file.progpath = std::move(progpath);
}

void Editor::FormShow(const std::vector<std::string>& args) {
  if (file.first) return;
  ShowLanguage();
  tool.snaps = static_cast<SnapModes>(platform.KeptSnaps() & kAllSnaps);
  if (const std::optional<DraftAids> aids = platform.KeptAids()) {
    tool.aids = *aids;
    if (!RasterValid(aids->grid)) tool.aids.grid = {};
    if (!PolarValid(aids->angle)) tool.aids.angle = {};
  }
  // The changes are recorded in the per-user folder, if there is one.
  const std::string user = platform.UserDataFolder();
  recovery_ = std::make_unique<RecoveryLog>(user.empty() ? std::string() : GetProgramDir(user, file.progpath) + "recovery/");
  recovery_->Attach(undos);
  NewDrawing(doc, platform, kTemplateNew);
  ShowLoaded();
  file.first = true;
  if (!args.empty() && openfilewithname(doc, platform, args.front())) {
    ShowLoaded();
    RememberFile();
  }
  Repaint();
}

bool Editor::FormCloseQuery() {
  const std::uint64_t parse = drawing.generation;
  const bool close = AskToSave(doc, platform);
  if (close) {
    SaveLanguage();
    DropRecovery();  // saved, or dropped on purpose
  }
  ShowFileKept(parse);
  return close;
}

void Editor::FormActivate() {
  if (!DiskChangeUntold(file)) return;
  const std::uint64_t parse = drawing.generation;
  if (AnswerDiskChange(doc, platform)) RememberFile();
  ShowFileKept(parse);
}

}  // namespace vestrel
