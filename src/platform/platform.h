// Everything the window system gives the editor: message boxes, questions,
// the dialogs, file dialogs, the caption, repaints, the drawing area's size
// and cursor, the status bar, progress bars and the printer. The window
// implements it with Qt; runs without a window and tests start from the
// null platform.
//
// Every dialog method has a default that cancels, so that an implementation
// only overrides the dialogs it shows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/dialogs.h"

namespace vestrel {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class Answer { Yes, No, Cancel };
// What to do about the drawing's file, changed or removed by others since
// it was opened or saved: go on editing without writing, load it anew
// (dropping the edits made here), write it again where it was removed, or
// save under a name from the save dialog.
enum class DiskChoice { KeepEditing, Reload, SaveAgain, SaveAs };
// How a modal dialog was closed: OK, its preview button ("Vorschau"), or
// cancelled.
enum class DialogResult { Ok, Preview, Cancel };
// Cursors of the drawing area.
enum class Cursor { CrossHair, Magnifier, Hand, Arrow, Cross };

struct PixelSize {
  int width = 0, height = 0;
};

// The pen of a rubber-band segment.
enum class PenStyle : std::uint8_t { Solid, Dot };

// A segment of the rubber band, in pixels of the drawing area. A joined
// segment is stroked as one path with the one before it, so that where
// the two meet or cross the XOR does not wipe itself out.
struct tremove {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  PenStyle syl = PenStyle::Solid;
  bool joined = false;
};

// The current printer's page: its size in pixels and its pixels per inch.
struct PrinterPage {
  int width = 0, height = 0;
  int dpi = 0;
};

// The paper of a print in millimetres, as it lies (its width across).
struct PaperSize {
  double widthMm = 0, heightMm = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Message `nr` of the program's message table, translated.
  virtual std::string Message(int nr) = 0;
  // Any other text the program shows, translated.
  virtual std::string Translate(std::string_view text) { return std::string(text); }
  // The user's own folder for application data (the per-user program
  // folder lies below it); empty when the system names none.
  virtual std::string UserDataFolder() { return {}; }
  // Puts every text of every window into the language in force.
  virtual void TranslateAllForms() {}
  // The window system's own texts (the buttons of message boxes, the file
  // and print dialogs) in language `language` of the menu "Sprache".
  virtual void UseLanguage(int /*language*/) {}
  // A modal message box showing message `nr` of the program's message
  // table (translated) followed by `suffix`; `captionNr` 0 for none.
  virtual void ShowMessage(int nr, std::string_view suffix, MsgIcon icon, int captionNr = 0) = 0;

  virtual void SetCaption(std::string_view caption) = 0;
  // Shows the editor's state: the drawing painted anew, the lists, tabs,
  // scroll bars and the state of every command.
  virtual void Repaint() = 0;
  // The same after a change of the view alone (zoom and scroll; nothing
  // else changed since the last Repaint): the window may show its last
  // picture moved and scaled at once and the exact one right after.
  virtual void RepaintView() { Repaint(); }
  // Shows the state of every command (pressed buttons, check marks,
  // enabled items) without painting the drawing anew.
  virtual void ShowState() {}
  // The polyline's popup menu ("Fertig", "Linienzug schließen",
  // "Kreisbogen", "Linie") at a point of the drawing area.
  virtual void ShowPopupMenu(int /*x*/, int /*y*/) {}
  // Closes the main window (which asks about unsaved changes first).
  virtual void CloseMainWindow() = 0;

  // The drawing area's size in pixels.
  virtual PixelSize PaintBoxSize() = 0;
  virtual void SetCursor(Cursor cursor) = 0;
  // Draws segments onto the drawing area in XOR (white, one pixel, not
  // smoothed), over what was painted: drawing them again restores it.
  // Joined segments are stroked together as one path. A full repaint
  // wipes them.
  virtual void DrawXor(std::span<const tremove> /*segments*/) {}
  virtual void SetStatusText(std::string_view text) = 0;
  // Long work, `done` of `total` parts done: once it will take more than
  // a second, by what it has done so far, a progress bar with message `nr`
  // and a cancel button shows it; false once the user cancelled. All done,
  // the rest cannot be cancelled; EndProgress, which ends the work in any
  // case, closes it.
  virtual bool Progress(int /*nr*/, std::int64_t /*done*/, std::int64_t /*total*/) { return true; }
  virtual void EndProgress() {}

  // The printing service: the current printer's page, and printing the
  // shown tab on it at the page set-up `setup`.
  virtual PrinterPage PrinterPageSize() = 0;
  virtual void PrintDrawing(const PrintSetup& setup) = 0;
  // The paper of what is printed next: `paper`, or the printer's own page
  // again when there is none.
  virtual void UsePaper(std::optional<PaperSize> /*paper*/) {}

  // Questions and dialogs.

  // Message `nr` with Yes, No and Cancel and a question icon.
  virtual Answer AskYesNoCancel(int /*nr*/, int /*captionNr*/) { return Answer::Cancel; }
  // Message `nr` followed by `suffix`, with Yes and No and a question icon;
  // true for Yes.
  virtual bool AskYesNo(int /*nr*/, std::string_view /*suffix*/) { return false; }
  // Message `nr` followed by `suffix` about the drawing's file changed by
  // others, with "Neu laden" ("Speichern" when the file was `removed`),
  // "Weiter bearbeiten" and "Speichern unter...".
  virtual DiskChoice AskAboutDiskChange(int /*nr*/, std::string_view /*suffix*/, bool /*removed*/) {
    return DiskChoice::KeepEditing;
  }
  // The open and save dialogs for drawings; nothing when cancelled. The
  // save dialog asks before overwriting and wants an existing folder.
  virtual std::optional<std::string> OpenFileDialog() { return std::nullopt; }
  virtual std::optional<std::string> SaveFileDialog() { return std::nullopt; }
  // Macros: recording what the user does in the window starts, or ends and
  // is saved; a saved one is played back into the open drawing.
  virtual void RecordMacro() {}
  virtual void PlayMacro() {}
  // The drawings opened or saved last, the latest first, kept between runs.
  virtual std::vector<std::string> RecentFiles() { return {}; }
  virtual void KeepRecentFiles(const std::vector<std::string>& /*names*/) {}
  // The object snaps switched on (one bit per kind), kept from one start
  // to the next.
  virtual std::uint32_t KeptSnaps() { return 0; }
  virtual void KeepSnaps(std::uint32_t /*modes*/) {}
  // The grid, ortho and polar, kept likewise; nothing before the first
  // start that kept them.
  virtual std::optional<DraftAids> KeptAids() { return std::nullopt; }
  virtual void KeepAids(const DraftAids& /*aids*/) {}
  // The print dialog on the page set-up; its values are taken unless it is
  // cancelled, and kept for the next run when `remember`.
  virtual DialogResult ShowPrintDialog(PrintSetup& /*setup*/, bool /*remember*/) { return DialogResult::Cancel; }
  // The printer's own set-up dialog.
  virtual void PrinterSetupDialog() {}
  // The dialogs below close with OK or Cancel (Escape). Each is shown on
  // the values it proposes; with OK what was typed is in them afterwards,
  // a cancelled one leaves them as they were.
  // The viewport dialog.
  virtual DialogResult ShowViewportDialog(ViewportValues& /*values*/) { return DialogResult::Cancel; }
  // The small dialogs of the tools.
  virtual DialogResult ShowTextDialog(TextDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowArrayDialog(ArrayDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowPolygonDialog(PolygonDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowRotationDialog(RotationDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowScaleDialog(ScaleDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowNewLayerDialog(NewLayerDialogValues& /*values*/) { return DialogResult::Cancel; }
  // The layer dialog: with OK or "Neue Ebene..." its rows come back as the
  // buttons left them.
  virtual DialogResult ShowLayerDialog(LayerDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowLineStyleDialog(LineStyleDialogValues& /*values*/) { return DialogResult::Cancel; }
  // The spacing of the grid and the step of the polar angles.
  virtual DialogResult ShowRasterDialog(RasterDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowPolarDialog(PolarDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowJoinDialog(JoinDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowLengthenDialog(LengthenDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowOffsetDialog(OffsetDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowFilletDialog(FilletDialogValues& /*values*/) { return DialogResult::Cancel; }
  virtual DialogResult ShowChamferDialog(ChamferDialogValues& /*values*/) { return DialogResult::Cancel; }
  // The result of "Messen", as the status bar shows it; its button
  // "Kopieren" puts it on the clipboard.
  virtual void ShowMeasureDialog(std::string_view /*text*/) {}
  // "Zuschnitt prüfen" on what the check found, until OK; meanwhile
  // `steps` checks again, zooms the view and repairs.
  virtual void ShowCutCheckDialog(CutCheckDialogValues& /*values*/, CutCheckSteps& /*steps*/) {}
  // The translation editor on the whole dictionary; its edits are in the
  // dictionary (and on disk) when it closes.
  virtual void ShowTranslateDialog() {}
};

}  // namespace vestrel
