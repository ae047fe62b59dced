#include "app/replayscript.h"

#include <array>
#include <utility>

#include "app/export.h"
#include "document/numbers.h"

namespace vestrel {

namespace {

using Word = ScriptStep::Word;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The commands.
struct WordInfo {
  std::string_view text;
  Word word;
};
constexpr std::array kWords{
    WordInfo{"trigger", Word::Trigger}, WordInfo{"press", Word::Press},     WordInfo{"move", Word::Move},
    WordInfo{"release", Word::Release}, WordInfo{"click", Word::Click},     WordInfo{"dblclick", Word::DblClick},
    WordInfo{"wheel", Word::Wheel},     WordInfo{"key", Word::Key},         WordInfo{"typed", Word::Typed},
    WordInfo{"combo", Word::Combo},     WordInfo{"tab", Word::Tab},         WordInfo{"answer", Word::Answer},
    WordInfo{"open", Word::Open},       WordInfo{"save", Word::Save},       WordInfo{"saveas", Word::SaveAs},
    WordInfo{"new", Word::New},         WordInfo{"new12", Word::New12},     WordInfo{"png", Word::Png},
    WordInfo{"state", Word::State},     WordInfo{"wait", Word::Wait},       WordInfo{"input", Word::Input},
    WordInfo{"timing", Word::Timing},
};

constexpr std::array<std::string_view, 4> kCombos{"ColorComboBox", "LayerCombo", "LineCombo", "LineWeightBox"};

// The words after the command, read one after the other into a step.
class Reader {
 public:
  Reader(std::vector<std::string> words, ScriptStep& step) : words_(std::move(words)), step_(step) {}

  bool done() const { return next_ >= words_.size(); }
  std::size_t left() const { return words_.size() - next_; }
  const std::string& take() { return words_[next_++]; }

  // "X Y" in whole pixels or "@X,Y" in drawing units.
  std::string point() {
    constexpr const char* kWant = "wants a point: X Y in pixels or @X,Y in drawing units";
    if (done()) return kWant;
    const std::string& first = take();
    if (first.starts_with('@')) {
      const std::string_view xy = std::string_view(first).substr(1);
      const auto comma = xy.find(',');
      const auto x = comma == std::string_view::npos ? std::nullopt : ParseDouble(xy.substr(0, comma));
      const auto y = comma == std::string_view::npos ? std::nullopt : ParseDouble(xy.substr(comma + 1));
      if (!x || !y) return kWant;
      step_.at = {true, *x, *y};
      return {};
    }
    const auto x = ParseInt(first);
    const auto y = done() ? std::nullopt : ParseInt(take());
    if (!x || !y) return kWant;
    step_.at = {false, static_cast<double>(*x), static_cast<double>(*y)};
    return {};
  }

  // The options after a mouse word's point, each once, in any order.
  std::string options(bool buttons, bool keys) {
    bool shift = false, ctrl = false;
    while (!done()) {
      const std::string& w = take();
      const ScriptButton b = w == "left" ? ScriptButton::Left
                             : w == "right" ? ScriptButton::Right
                             : w == "middle" ? ScriptButton::Middle
                                             : ScriptButton::None;
      if (b != ScriptButton::None && buttons && step_.button == ScriptButton::None) {
        step_.button = b;
      } else if (w == "shift" && keys && !shift) {
        shift = step_.shift = true;
      } else if (w == "ctrl" && keys && !ctrl) {
        ctrl = step_.ctrl = true;
      } else {
        return "does not take \"" + w + "\" here";
      }
    }
    return {};
  }

 private:
  std::vector<std::string> words_;
  std::size_t next_ = 1;
  ScriptStep& step_;
};

// Reads the words of one command into `step`; returns what is wrong.
std::string ReadStep(std::vector<std::string> words, ScriptStep& step) {
  const std::string command = words.front();
  const WordInfo* info = nullptr;
  for (const WordInfo& w : kWords)
    if (w.text == command) info = &w;
  if (!info) return "unknown command \"" + command + "\"";
  step.word = info->word;
  Reader r(std::move(words), step);
  auto exactly = [&](std::size_t n, const char* what) -> std::string {
    if (r.left() != n) return command + " wants " + what;
    return {};
  };

  std::string problem;
  switch (step.word) {
    case Word::Trigger:
    case Word::Key:
    case Word::Open:
    case Word::SaveAs:
    case Word::Png:
    case Word::Wait:
      if (!(problem = exactly(1, step.word == Word::Trigger ? "a program name"
                                 : step.word == Word::Key   ? "a key"
                                                            : "a file")).empty())
        return problem;
      step.name = r.take();
      if (step.name.empty()) return command + " wants a name, not an empty word";
      return {};
    case Word::Input:
      // Any text, the empty one too: the command field says what is wrong.
      if (!(problem = exactly(1, "one text (in quotes when it has blanks)")).empty()) return problem;
      step.name = r.take();
      return {};
    case Word::Save:
    case Word::New:
    case Word::New12:
    case Word::State:
    case Word::Timing:
      return exactly(0, "nothing after it");
    case Word::Press:
    case Word::Move:
    case Word::Click:
    case Word::Wheel:
    case Word::Release:
    case Word::DblClick: {
      if (!(problem = r.point()).empty()) return command + " " + problem;
      if (step.word == Word::Wheel) {
        const std::string dir = r.done() ? "" : r.take();
        if (dir != "up" && dir != "down") return "wheel wants up or down after its point";
        step.up = dir == "up";
      }
      const bool buttons = step.word != Word::Wheel && step.word != Word::DblClick;
      const bool keys = step.word != Word::Release && step.word != Word::DblClick;
      if (!(problem = r.options(buttons, keys)).empty()) return command + " " + problem;
      if (step.button == ScriptButton::None && step.word != Word::Move && step.word != Word::Wheel)
        step.button = ScriptButton::Left;
      return {};
    }
    case Word::Typed: {
      if (!(problem = exactly(2, "X and Y in drawing units")).empty()) return problem;
      const auto x = ParseDouble(r.take()), y = ParseDouble(r.take());
      if (!x || !y) return "typed wants X and Y in drawing units";
      step.x = *x, step.y = *y;
      return {};
    }
    case Word::Combo:
      if (!(problem = exactly(2, "a combo box and an item")).empty()) return problem;
      step.name = r.take();
      step.item = r.take();
      for (const std::string_view c : kCombos)
        if (c == step.name) return {};
      return "combo wants ColorComboBox, LayerCombo, LineCombo or LineWeightBox, not \"" + step.name + "\"";
    case Word::Tab: {
      if (!(problem = exactly(1, "a tab number")).empty()) return problem;
      const auto n = ParseInt(r.take());
      if (!n || *n < 0) return "tab wants a tab number, 0 for the model";
      step.tab = *n;
      return {};
    }
    case Word::Answer: {
      if (r.left() < 2) return "answer wants a dialog and then ok, cancel, yes or no";
      step.name = r.take();
      while (r.left() > 1) {
        const std::string& f = r.take();
        const auto eq = f.find('=');
        if (eq == std::string::npos || eq == 0) return "answer wants CONTROL=VALUE, not \"" + f + "\"";
        step.fields.push_back({f.substr(0, eq), f.substr(eq + 1)});
      }
      step.item = r.take();
      if (step.item.empty() || step.item.find('=') != std::string::npos)
        return "answer ends with the button: ok, cancel, yes or no";
      return {};
    }
  }
  return {};
}

}  // namespace

std::optional<std::vector<std::string>> ScriptWords(std::string_view line, std::string& error) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return words;
    std::string word;
    while (i < line.size() && !IsBlank(line[i])) {
      if (line[i] != '"') {
        word += line[i++];
        continue;
      }
      ++i;  // the opening quote
      while (true) {
        if (i >= line.size()) {
          error = "a quote is not closed";
          return std::nullopt;
        }
        const char c = line[i++];
        if (c == '"') break;
        if (c == '\\' && i < line.size()) {
          const char e = line[i++];
          word += e == 'n' ? '\n' : e;
        } else {
          word += c;
        }
      }
    }
    words.push_back(std::move(word));
  }
}

Script ParseScript(std::string_view text) {
  Script script;
  int number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++number;
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first == line.size() || line[first] == '#') continue;
    std::string problem;
    auto words = ScriptWords(line, problem);
    ScriptStep step;
    step.line = number;
    if (words && (problem = ReadStep(std::move(*words), step)).empty()) {
      script.steps.push_back(std::move(step));
      continue;
    }
    script.error = ScriptError{number, problem};
    break;
  }
  return script;
}

std::string ParseReplayOptions(const std::vector<std::string>& args, ReplayOptions& o) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    if (a == "--size") {
      if (i + 1 >= args.size() || !ParsePictureSize(args[i + 1], o.width, o.height))
        return "--size wants WIDTHxHEIGHT in pixels";
      if (o.width < 1 || o.height < 1 || o.width > kMostPixels || o.height > kMostPixels)
        return "--size wants 1 to " + std::to_string(kMostPixels) + " pixels each way";
      ++i;
    } else if (a.starts_with("--")) {
      return "unknown option " + std::string(a);
    } else {
      names.emplace_back(a);
    }
  }
  if (names.empty() || names.size() > 2) return "--replay wants SCRIPT and at most one FILE.dxf";
  o.script = names[0];
  if (names.size() == 2) o.file = names[1];
  return {};
}

}  // namespace vestrel
