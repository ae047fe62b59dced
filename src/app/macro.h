// Macros: what the user does in the window, recorded as a replay script
// (tool buttons and menu items by their program names, clicks as drawing
// coordinates so that a macro works at any zoom, typed points, the
// property boxes, the tabs, the answers of dialogs), and a saved macro
// played back into the open drawing. `vestrel --replay` runs the same
// files.
#pragma once

#include <QObject>
#include <QPoint>
#include <map>
#include <string>
#include <vector>

#include "file/dxffile.h"

class QDialog;
class QEvent;

namespace vestrel {

class TMainForm;

class MacroRecorder : public QObject {
 public:
  explicit MacroRecorder(TMainForm& form);

  bool recording() const { return recording_; }
  // Starts recording; what was recorded before is forgotten.
  void start();
  // While paused nothing is recorded: a macro played while recording is
  // recorded as what it does, not as its file dialog and messages.
  void pause(bool paused) { paused_ = paused; }
  // Stops recording and gives back the script's lines.
  std::vector<std::string> stop();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Whether what happens now goes into the macro.
  bool on() const { return recording_ && !paused_; }
  void add(std::string line) { lines_.push_back(std::move(line)); }
  // The pointer's drawing point, as "@X,Y".
  std::string at(QPoint pixel) const;
  // A modal dialog opened: its answer keeps its place before the answers
  // of the dialogs it opens in turn, and the presses of its buttons that
  // leave it open go into it.
  void dialogOpened(QDialog& d);
  // Its answer, as it closed.
  std::string dialogClosed(QDialog& d);

  TMainForm& form_;
  bool recording_ = false, paused_ = false;
  std::vector<std::string> lines_;
  // A press not written yet: it becomes a click at its release, or a press
  // before the first move that drags.
  bool pressed_ = false, dragged_ = false;
  std::string press_;
  // What start() connected, for stop() to undo.
  std::vector<QMetaObject::Connection> connections_;
  // The dialogs open now: the line their answer goes to, the presses of
  // their buttons so far with the values they were pressed on (each
  // written when it changed), and what listens to those.
  struct OpenDialog {
    std::size_t line = 0;
    std::string presses, fields;
    std::string pressedOn, pressedFields;  // what the button held down now was pressed on
    std::vector<QMetaObject::Connection> buttons;
  };
  std::map<const QDialog*, OpenDialog> open_;
};

// What came of playing a macro.
struct MacroPlay {
  FileError unreadable = FileError::None;  // the file is none to read a script from: nothing ran
  std::string stopped;  // why a line could not run ("LINE: reason"); empty when every line ran
};

// Plays the script in `path` in the window as it is, the drawing open in
// it. While it plays, "Makro abspielen..." cannot be used: a macro that
// plays a macro stops there.
MacroPlay PlayMacro(TMainForm& form, const std::string& path);

// A value as a script writes it: in double quotes when it has blanks,
// quotes, backslashes or line breaks (written \", \\ and \n).
std::string ScriptValue(const std::string& value);

}  // namespace vestrel
