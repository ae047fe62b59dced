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
};

}  // namespace vestrel
