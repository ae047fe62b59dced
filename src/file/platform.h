// Everything the window system gives the editor: message boxes, questions,
// file dialogs, the caption, repaints. The window implements it with Qt;
// tests implement it with a scripted fake.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vestrel {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class Answer { Yes, No, Cancel };
// How a modal dialog was closed: OK, the extra button ("Vorschau", ...), or
// cancelled.
enum class DialogResult { Ok, All, Cancel };
// Cursors of the drawing area.
enum class Cursor { CrossHair, Magnifier, Hand, Arrow, Cross };

struct PixelSize {
  int width = 0, height = 0;
};

// The page set-up of the print dialog, in millimetres: so many millimetres
// of paper (mmEd) for so many drawing units (UnitsEd), the margin on every
// side (RandEd) and the offset of the drawing's origin (XOffsetEd, YOffsetEd).
struct PrintSetup {
  double mmEd = 1, UnitsEd = 1;
  double RandEd = 0;
  double XOffsetEd = 0, YOffsetEd = 0;
  // Millimetres of paper per drawing unit.
  double q() const { return mmEd / UnitsEd; }
};

// Millimetres per inch wherever millimetres meet printer or screen pixels.
inline constexpr double kMmPerInch = 25.39995;

// The values of the viewport dialog: the viewport's size and centre on the
// sheet, and the part of the model it shows.
struct ViewportValues {
  double Breite = 0, Hoehe = 0;          // width, height
  double MitteX = 0, MitteY = 0;         // centre
  double InhaltX = 0, InhaltY = 0;       // the model point at the centre
  double HoeheInhalt = 0;                // the height of model shown
};

// The current printer's page: its size in pixels and its pixels per inch.
struct PrinterPage {
  int width = 0, height = 0;
  int dpi = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Message `nr` of the program's message table, translated.
  virtual std::string Message(int nr) = 0;
  // A modal message box showing message `nr` of the program's message
  // table (translated) followed by `suffix`; `captionNr` 0 for none.
  virtual void ShowMessage(int nr, std::string_view suffix, MsgIcon icon, int captionNr = 0) = 0;
  // Message `nr` with Yes, No and Cancel and a question icon.
  virtual Answer AskYesNoCancel(int nr, int captionNr) = 0;

  // The open and save dialogs for drawings; nothing when cancelled. The
  // save dialog asks before overwriting and wants an existing folder.
  virtual std::optional<std::string> OpenFileDialog() = 0;
  virtual std::optional<std::string> SaveFileDialog() = 0;

  virtual void SetCaption(std::string_view caption) = 0;
  // Paints the drawing anew (and brings the window's lists up to date).
  virtual void Repaint() = 0;

  // The drawing area's size in pixels.
  virtual PixelSize PaintBoxSize() = 0;
  virtual void SetCursor(Cursor cursor) = 0;
  virtual void SetStatusText(std::string_view text) = 0;

  // The printing service: the print dialog on the page set-up, the
  // printer's own set-up dialog, and printing the shown tab.
  virtual PrinterPage PrinterPageSize() = 0;
  virtual DialogResult ShowPrintDialog(PrintSetup& setup) = 0;
  virtual void PrinterSetupDialog() = 0;
  virtual void PrintDrawing() = 0;

  // The viewport dialog on `values`; they are taken whatever closes it.
  virtual void ShowViewportDialog(ViewportValues& values) = 0;
};

}  // namespace vestrel
