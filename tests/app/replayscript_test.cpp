// Reading replay scripts and the --replay options: words, quotes, points,
// and the line and reason of the first line that is no command.
#include "app/replayscript.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vestrel {
namespace {

// A step as one line of text, for comparing.
std::string Describe(const ScriptStep& s) {
  static const char* const kWords[] = {"trigger", "press", "move",   "release", "click", "dblclick", "wheel",
                                       "key",     "typed", "combo",  "tab",     "answer", "open",   "save",
                                       "saveas",  "new",   "new12",  "png",     "state",    "wait",
                                       "input",   "timing"};
  static const char* const kButtons[] = {"", " left", " right", " middle"};
  char number[64];
  std::string d = std::to_string(s.line) + ":" + kWords[static_cast<int>(s.word)];
  if (!s.name.empty()) d += " [" + s.name + "]";
  for (const ScriptField& f : s.fields) d += " {" + f.control + "=" + f.value + "}";
  if (!s.item.empty()) d += " <" + s.item + ">";
  using W = ScriptStep::Word;
  if (s.word >= W::Press && s.word <= W::Wheel) {
    std::snprintf(number, sizeof number, " %s%g,%g", s.at.drawing ? "@" : "", s.at.x, s.at.y);
    d += number;
  }
  d += kButtons[static_cast<int>(s.button)];
  if (s.word == W::Wheel) d += s.up ? " up" : " down";
  if (s.shift) d += " shift";
  if (s.ctrl) d += " ctrl";
  if (s.word == W::Typed) {
    std::snprintf(number, sizeof number, " %g %g", s.x, s.y);
    d += number;
  }
  if (s.word == W::Tab) d.append(" ").append(std::to_string(s.tab));
  return d;
}

std::string Describe(const Script& script) {
  if (script.error) return "error " + std::to_string(script.error->line) + ": " + script.error->reason;
  std::string d;
  for (const ScriptStep& s : script.steps) d += (d.empty() ? "" : "; ") + Describe(s);
  return d;
}

TEST(ReplayScript, ReadsEveryCommandAndStopsAtTheFirstLineThatIsNone) {
  const struct {
    const char* script;
    const char* steps;
  } kCases[] = {
      // Blank lines, comments, CR LF and blanks around the words.
      {"\n# open it\n  \t\ntrigger LineBtn\r\n   state  \n", "4:trigger [LineBtn]; 5:state"},
      // Points in pixels or drawing units; the buttons and keys in any order.
      {"click 10 20 right shift ctrl", "1:click 10,20 right shift ctrl"},
      {"click 10 20 ctrl middle", "1:click 10,20 middle ctrl"},
      {"press @1.5,-2e1", "1:press @1.5,-20 left"},
      {"move 5 6\nmove -3 900 left ctrl", "1:move 5,6; 2:move -3,900 left ctrl"},
      {"release 5 6 middle\ndblclick 1 2", "1:release 5,6 middle; 2:dblclick 1,2 left"},
      {"wheel @0,0 down ctrl shift", "1:wheel @0,0 down shift ctrl"},
      {"key ctrl+z\ntyped 10 -2.5\ntab 2", "1:key [ctrl+z]; 2:typed 10 -2.5; 3:tab 2"},
      // Quotes keep blanks, and take escapes.
      {"combo LayerCombo \"W\xC3\xA4nde 2\"", "1:combo [LayerCombo] <W\xC3\xA4nde 2>"},
      {"answer AddTextForm \"Text=a \\\"b\\\"\\nc\" Height=\"\" ok",
       "1:answer [AddTextForm] {Text=a \"b\"\nc} {Height=} <ok>"},
      {"answer DruckenForm mmEd=10 RandEd=5 Vorschau", "1:answer [DruckenForm] {mmEd=10} {RandEd=5} <Vorschau>"},
      {"open \"my drawing.dxf\"\nsave\nsaveas out.dxf\nnew\nnew12\npng a.png",
       "1:open [my drawing.dxf]; 2:save; 3:saveas [out.dxf]; 4:new; 5:new12; 6:png [a.png]"},
      {"wait \"the other/is done\"", "1:wait [the other/is done]"},
      {"wheel 5 5 up\ntiming", "1:wheel 5,5 up; 2:timing"},
      {"input \"@2,5 < 30\"\ninput 1,2", "1:input [@2,5 < 30]; 2:input [1,2]"},

      {"state\nfrobnicate 1\nbogus", "error 2: unknown command \"frobnicate\""},
      {"Click 1 2", "error 1: unknown command \"Click\""},
      {"click 10", "error 1: click wants a point: X Y in pixels or @X,Y in drawing units"},
      {"click 1.5 2", "error 1: click wants a point: X Y in pixels or @X,Y in drawing units"},
      {"press @1;2", "error 1: press wants a point: X Y in pixels or @X,Y in drawing units"},
      {"click 1 2 left left", "error 1: click does not take \"left\" here"},
      {"click 1 2 shift shift", "error 1: click does not take \"shift\" here"},
      {"release 1 2 shift", "error 1: release does not take \"shift\" here"},
      {"dblclick 1 2 right", "error 1: dblclick does not take \"right\" here"},
      {"wheel 1 2", "error 1: wheel wants up or down after its point"},
      {"wheel 1 2 left", "error 1: wheel wants up or down after its point"},
      {"wheel 1 2 up left", "error 1: wheel does not take \"left\" here"},
      {"trigger", "error 1: trigger wants a program name"},
      {"trigger a b", "error 1: trigger wants a program name"},
      {"open \"\"", "error 1: open wants a name, not an empty word"},
      {"save now", "error 1: save wants nothing after it"},
      {"wait", "error 1: wait wants a file"},
      {"typed 1", "error 1: typed wants X and Y in drawing units"},
      {"input 1 2", "error 1: input wants one text (in quotes when it has blanks)"},
      {"typed x 1", "error 1: typed wants X and Y in drawing units"},
      {"combo Foo 1", "error 1: combo wants ColorComboBox, LayerCombo, LineCombo or LineWeightBox, not \"Foo\""},
      {"tab -1", "error 1: tab wants a tab number, 0 for the model"},
      {"answer ok", "error 1: answer wants a dialog and then ok, cancel, yes or no"},
      {"answer DruckenForm mmEd=1", "error 1: answer ends with the button: ok, cancel, yes or no"},
      {"answer DruckenForm =1 ok", "error 1: answer wants CONTROL=VALUE, not \"=1\""},
      {"answer DruckenForm mmEd ok", "error 1: answer wants CONTROL=VALUE, not \"mmEd\""},
      {"state\n\nkey \"Escape", "error 3: a quote is not closed"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Describe(ParseScript(c.script)), c.steps) << c.script;
}

TEST(ReplayScript, ReadsTheOptions) {
  const struct {
    std::vector<std::string> args;
    const char* read;  // "SCRIPT FILE WxH" or the problem
  } kCases[] = {
      {{"s.txt"}, "s.txt  1200x800"},
      {{"s.txt", "--size", "640x480", "a.dxf"}, "s.txt a.dxf 640x480"},
      {{"--size", "1x20000", "s.txt"}, "s.txt  1x20000"},
      {{}, "--replay wants SCRIPT and at most one FILE.dxf"},
      {{"s", "a.dxf", "b.dxf"}, "--replay wants SCRIPT and at most one FILE.dxf"},
      {{"s", "--size"}, "--size wants WIDTHxHEIGHT in pixels"},
      {{"s", "--size", "1.5x4"}, "--size wants WIDTHxHEIGHT in pixels"},
      {{"s", "--size", "0x5"}, "--size wants 1 to 20000 pixels each way"},
      {{"s", "--size", "20001x5"}, "--size wants 1 to 20000 pixels each way"},
      {{"s", "--zoom", "2"}, "unknown option --zoom"},
  };
  for (const auto& c : kCases) {
    ReplayOptions o;
    std::string read = ParseReplayOptions(c.args, o);
    if (read.empty()) read = o.script + " " + o.file + " " + std::to_string(o.width) + "x" + std::to_string(o.height);
    EXPECT_EQ(read, c.read) << (c.args.empty() ? "" : c.args.back());
  }
}

}  // namespace
}  // namespace vestrel
