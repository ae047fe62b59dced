#include "tools/editor.h"

namespace vestrel {

void Editor::FormCreate(std::string progpath) {
  if (!progpath.empty() && progpath.back() != '/') progpath += '/';
  file.progpath = std::move(progpath);
}

void Editor::FormShow(const std::vector<std::string>& args) {
  if (file.first) return;
  NewDrawing(files, kTemplateNew);
  file.first = true;
  if (!args.empty()) openfilewithname(files, args.front());
}

bool Editor::FormCloseQuery() { return AskToSave(files); }

void Editor::NeueDXFDatei1Click() { NewDrawing(files, kTemplateNew); }

void Editor::NeueDXFDateiR12ohneSplineohneEllipseusw1Click() { NewDrawing(files, kTemplateR12); }

void Editor::ffnen1Click() {
  if (AskToSave(files)) OpenFile(files);
}

void Editor::Speichern1Click() { SaveFile(files); }

void Editor::Speichernunter1Click() { SaveFileAs(files); }

}  // namespace vestrel
