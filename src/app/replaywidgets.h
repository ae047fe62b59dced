// The replay's hands on the window: the widgets driven as a user drives
// them, by typing, choosing, pressing and clicking. The interpreter
// (replay.cpp) says what to do; this says how a user does it. Each function
// that can fail returns why, empty when it did what was asked.
#pragma once

#include <QDialog>
#include <QEvent>
#include <QKeyCombination>
#include <QPoint>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace vestrel {

class TMainForm;

QString Q(std::string_view s);
// A caption without its accelerator marks, as it is shown.
std::string Shown(const QString& caption);
// A text on one line: its line breaks written as "\n".
std::string OneLine(const QString& text);
std::string Number(double v);

// The name a script gives a dialog: "message" for a message box, else its
// program name (its class's when it has none, as Qt's own dialogs).
std::string FormName(const QDialog& d);
// Fills a control of `window` with `value` as a user would, by typing or
// choosing (a list or grid: the row of that first column or index).
std::string SetControl(QWidget& c, const std::string& value, const QWidget& window);
// Types `value` into column `column` of the selected row, as a user edits
// a cell.
std::string SetCell(QWidget& c, int column, const std::string& value);
// Double-clicks the selected row of a list or grid, as a user does.
std::string DoubleClickRow(QWidget& c);
// Presses the button `word` of a dialog: "ok", "cancel", "yes" or "no" by
// their roles, any other by its program name or its caption. "cancel" on a
// dialog without such a button is the Escape key.
std::string Press(QDialog& d, const std::string& word);

// A key by its name, as QKeySequence reads it ("Escape", "Return",
// "ctrl+z").
std::optional<QKeyCombination> KeyOf(const std::string& name);

// A user's hands on the main window: the pointer and the mouse buttons over
// its drawing area, the keyboard, the tool buttons and menu items.
class WindowUser {
 public:
  explicit WindowUser(TMainForm& form) : form_(form) {}

  // A mouse event at pixel `p` of the drawing area, with the buttons
  // `held` then.
  void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers mods);
  // The pointer goes to `p` before it presses there, as a hand moves it.
  void pointerTo(QPoint p, Qt::KeyboardModifiers mods);
  void wheel(QPoint p, bool up, Qt::KeyboardModifiers mods);
  // A key (a name KeyOf knows), shortcuts first, as a key pressed by hand.
  void key(const std::string& name);
  // Clicks the tool button or menu item of that program name.
  std::string trigger(const std::string& name);

  Qt::MouseButtons held;  // the mouse buttons held down

 private:
  TMainForm& form_;
  QPoint pointer_{-1, -1};
};

}  // namespace vestrel
