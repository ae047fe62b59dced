// The editor driven as the window drives it: handlers called and mouse
// events at points of the drawing, in the tables of the tool tests; and a
// new drawing shown one pixel per unit with the origin at pixel (100, 500).
#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "support/fake_platform.h"
#include "tools/editor.h"

namespace vestrel::test {

using Handler = void (Editor::*)();

// One step of a case: a handler called, a mouse event at a drawing point,
// or an answer queued for a dialog.
struct Step {
  enum Kind { Call, Click, Right, Move, Press, Release, Escape, Return, Answer } kind;
  double x = 0, y = 0;
  Handler handler = nullptr;
  std::function<void(FakePlatform&)> answer = {};
};
inline Step C(Handler h) { return {Step::Call, 0, 0, h}; }
inline Step L(double x, double y) { return {Step::Click, x, y}; }
inline Step R() { return {Step::Right}; }
inline Step M(double x, double y) { return {Step::Move, x, y}; }
inline Step P(double x, double y) { return {Step::Press, x, y}; }
inline Step U(double x, double y) { return {Step::Release, x, y}; }
inline Step Esc() { return {Step::Escape}; }
inline Step Ret() { return {Step::Return}; }
// The next showing of the dialog closes with OK on what it proposes.
template <class Values>
Step Ok(ScriptedDialog<Values> FakePlatform::*dialog) {
  return {Step::Answer, 0, 0, nullptr, [dialog](FakePlatform& p) { (p.*dialog).answers.push_back({}); }};
}

// Ctrl held: a click is taken where it is, not snapped.
inline constexpr ShiftState kNoSnap{false, true};

inline void RunSteps(Editor& e, const std::vector<Step>& steps) {
  for (const Step& s : steps) {
    const Point2 at = DXF2Bildschirm(e.views, s.x, s.y);
    const int px = static_cast<int>(std::lround(at.x)), py = static_cast<int>(std::lround(at.y));
    switch (s.kind) {
      case Step::Call: (e.*s.handler)(); break;
      case Step::Click:
        e.PaintBox1MouseDown(MouseButton::Left, kNoSnap, px, py);
        e.PaintBox1MouseUp(MouseButton::Left, kNoSnap, px, py);
        break;
      case Step::Right: e.PaintBox1MouseDown(MouseButton::Right, {}, 0, 0); break;
      case Step::Move: e.PaintBox1MouseMove(kNoSnap, px, py); break;
      case Step::Press: e.PaintBox1MouseDown(MouseButton::Left, kNoSnap, px, py); break;
      case Step::Release: e.PaintBox1MouseUp(MouseButton::Left, kNoSnap, px, py); break;
      case Step::Escape: e.keyeditKeyDown(27); break;
      case Step::Return: e.keyeditKeyDown(13); break;
      case Step::Answer: s.answer(dynamic_cast<FakePlatform&>(e.platform)); break;
    }
  }
}

// A new drawing (R12 with `r12`) in an editor on a fake platform.
struct EditorOnScreen {
  std::unique_ptr<FakePlatform> platform = std::make_unique<FakePlatform>();
  std::unique_ptr<Editor> editor = std::make_unique<Editor>(*platform);

  explicit EditorOnScreen(bool r12 = false) {
    editor->FormCreate(VESTREL_TEMPLATE_DIR);
    editor->FormShow({});
    if (r12) editor->NeueDXFDateiR12ohneSplineohneEllipseusw1Click();
    editor->view.zoomedvalue = 100;
    editor->view.HorzScrollbarPosition = -10000;
    editor->view.VertScrollbarPosition = 9900;
  }
};

}  // namespace vestrel::test
