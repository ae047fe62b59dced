// The replay script, read without a window: one command a line, its words
// separated by blanks, a value with blanks in double quotes. What runs it in
// the window is replay.cpp; the format is described in the README.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vestrel {

// A place in the drawing area: whole pixels (0 0 top left), or drawing
// units that the view in force turns into the nearest pixel.
struct ScriptPoint {
  bool drawing = false;  // "@X,Y"
  double x = 0, y = 0;
};

enum class ScriptButton { None, Left, Right, Middle };

// A control of a dialog and the value it is given.
struct ScriptField {
  std::string control, value;
};

struct ScriptStep {
  enum class Word {
    Trigger, Press, Move, Release, Click, DblClick, Wheel, Key, Typed, Combo, Tab, Answer,
    Open, Save, SaveAs, New, New12, Png, State, Wait, Input, Timing,
  };
  int line = 0;  // 1-based, in the script file
  Word word = Word::State;
  // The program name (trigger, combo), the key, the dialog (answer), the
  // file (open, saveas, png, wait) or the text typed (input).
  std::string name;
  // The combo box's item; the button that answers a dialog ("ok", "cancel",
  // "yes", "no" or a button of the dialog).
  std::string item;
  ScriptPoint at;  // mouse words
  ScriptButton button = ScriptButton::None;
  bool shift = false, ctrl = false;
  bool up = false;          // wheel
  double x = 0, y = 0;      // typed, drawing units
  int tab = 0;              // tab
  std::vector<ScriptField> fields;  // answer
};

struct ScriptError {
  int line = 0;
  std::string reason;
};

struct Script {
  std::vector<ScriptStep> steps;
  std::optional<ScriptError> error;  // the first line that is no command
};

// Splits a line into its words: blanks separate them, double quotes keep
// blanks in (and take \" \\ \n as a quote, a backslash and a line break).
// Nothing, with `error` set, when a quote is not closed.
std::optional<std::vector<std::string>> ScriptWords(std::string_view line, std::string& error);

// Reads a whole script; blank lines and lines starting with "#" are
// skipped. Stops at the first line that is no command.
Script ParseScript(std::string_view text);

// What follows "--replay": SCRIPT [--size WxH] [FILE.dxf].
struct ReplayOptions {
  std::string script, file;
  int width = 1200, height = 800;
  // A macro: the script runs in the window as it stands, with its drawing.
  bool inOpenWindow = false;
};
// Returns what is wrong with the arguments, empty when nothing is.
std::string ParseReplayOptions(const std::vector<std::string>& args, ReplayOptions& options);

}  // namespace vestrel
