// Menu "Datei": new drawings, open, save, print, and the end.
#include "file/lifecycle.h"
#include "tools/editor.h"

namespace vestrel {

void Editor::NeueDXFDatei1Click() {
  if (!NewDrawing(doc, platform, kTemplateNew)) return ShowCaption();
  ShowLoaded();
  Repaint();
}

void Editor::NeueDXFDateiR12ohneSplineohneEllipseusw1Click() {
  if (!NewDrawing(doc, platform, kTemplateR12)) return ShowCaption();
  ShowLoaded();
  Repaint();
}

void Editor::ffnen1Click() {
  const auto name = AskToSave(doc, platform) ? platform.OpenFileDialog() : std::nullopt;
  if (!name || !openfilewithname(doc, platform, *name)) return ShowCaption();
  ShowLoaded();
  Repaint();
}

void Editor::Speichern1Click() {
  SaveFile(doc, platform);
  ShowCaption();
}

void Editor::Speichernunter1Click() {
  SaveFileAs(doc, platform);
  ShowCaption();
}

void Editor::Drucken1Click() {
  const DialogResult r = platform.ShowPrintDialog(print);
  if (r == DialogResult::Preview) view.Druckvorschau = true;
  Repaint();
  if (r == DialogResult::Ok) platform.PrintDrawing();
}

void Editor::Seiteeinrichten1Click() {
  if (platform.ShowPrintDialog(print) == DialogResult::Preview) view.Druckvorschau = true;
  Repaint();
}

void Editor::Druckereinrichten1Click() {
  platform.PrinterSetupDialog();
  Repaint();  // the sheet follows the printer's page
}

void Editor::Beenden1Click() { platform.CloseMainWindow(); }

}  // namespace vestrel
