// The interpreter of the replay: each line of the script in turn, the
// dialogs it opens answered from the answers queued before it, and the
// first line that cannot run told with its reason. How a user's hands do
// each thing is in replaywidgets.cpp, what `state` prints in
// replaystate.cpp.
#include "app/replay.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <chrono>
#include <deque>
#include <new>
#include <optional>
#include <thread>
#include <utility>

#include "app/MainUnit.h"
#include "app/paintbox.h"
#include "app/replaystate.h"
#include "app/replaywidgets.h"
#include "document/numbers.h"
#include "file/dxffile.h"
#include "view/screentransform.h"

namespace vestrel {

namespace {

using Word = ScriptStep::Word;

Qt::MouseButton ButtonOf(ScriptButton b) {
  switch (b) {
    case ScriptButton::Left: return Qt::LeftButton;
    case ScriptButton::Right: return Qt::RightButton;
    case ScriptButton::Middle: return Qt::MiddleButton;
    case ScriptButton::None: break;
  }
  return Qt::NoButton;
}

// The file the next file dialog is given.
struct FileAnswer {
  bool save = false;
  QString path;
};

class Replayer : public QObject {
 public:
  Replayer(TMainForm& form, const ReplayOptions& options, std::ostream& out)
      : form_(form), options_(options), out_(out), user_(form) {}

  int run(const Script& script, std::ostream& err);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool start(std::ostream& err);
  void step(const ScriptStep& s);
  // Remembers why the line that runs cannot run (the first reason only).
  void fail(std::string reason) {
    if (!failure_) failure_ = ScriptError{line_, std::move(reason)};
  }

  void dialogShown(QDialog& d);
  void answerDialog(QDialog& d);
  void giveFile(QFileDialog& d);
  void popupShown(QMenu& menu);

  QPoint pixelOf(const ScriptPoint& at) const;
  bool inside(QPoint p);
  void trigger(const std::string& name) {
    if (const std::string why = user_.trigger(name); !why.empty()) fail(why);
  }
  void fileCommand(const char* action, std::optional<FileAnswer> file);
  // Another program's turn: the script goes on once `name` exists.
  void waitFor(const std::string& name);
  // When the line before showed its first frame and its exact picture.
  void printTiming();

  // The replay that runs now: a macro played from a script runs inside
  // it, and only the inner one answers dialogs until it ends.
  static inline Replayer* innermost_ = nullptr;

  TMainForm& form_;
  const ReplayOptions& options_;
  std::ostream& out_;
  int line_ = 0;             // the line that runs; 0 while the window starts
  bool inStep_ = false;      // a line's events are being handled
  std::optional<ScriptError> failure_;
  std::deque<const ScriptStep*> answers_;
  std::optional<FileAnswer> file_;
  WindowUser user_;
  // The start of the last line run but `timing`, and the frames it showed.
  PaintBox::Clock::time_point stepStart_;
  PaintBox::Frames stepFrames_;
};

bool Replayer::eventFilter(QObject* watched, QEvent* event) {
  if (innermost_ != this) return false;
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* w = static_cast<QWidget*>(watched);
    if (w->isWindow()) {
      if (auto* d = qobject_cast<QDialog*>(w)) dialogShown(*d);
      if (auto* m = qobject_cast<QMenu*>(w)) popupShown(*m);
    }
  }
  return false;
}

void Replayer::dialogShown(QDialog& d) {
  if (auto* box = qobject_cast<QMessageBox*>(&d))
    out_ << "message " << box->property(kMessageNumber).toInt() << ": " << OneLine(box->text()) << std::endl;
  // The answer comes once the dialog waits for it, in its own event loop.
  QTimer::singleShot(0, &d, [this, &d] {
    if (!d.isVisible()) return;
    if (line_ == 0 || failure_) return d.reject();  // at the start nothing is answered
    if (auto* f = qobject_cast<QFileDialog*>(&d); f && file_) return giveFile(*f);
    answerDialog(d);
  });
}

void Replayer::answerDialog(QDialog& d) {
  const std::string form = FormName(d);
  QPointer<QDialog> open(&d);
  bool answered = false;
  // A dialog that stays open after its button (a value it refused) takes
  // the next answer for it.
  while (open && open->isVisible() && !failure_) {
    if (answers_.empty() || answers_.front()->name != form) {
      const std::string what = form + (answered ? " is still open after its answer" : " opened");
      if (answers_.empty())
        fail(what + (answered ? "" : " with no answer queued"));
      else
        fail(what + ", but the answer queued (line " + std::to_string(answers_.front()->line) + ") is for " +
             answers_.front()->name);
      break;
    }
    const ScriptStep& a = *answers_.front();
    answers_.pop_front();
    answered = true;
    for (const ScriptField& f : a.fields) {
      if (!open || !open->isVisible()) {
        fail(form + " closed before " + f.control + "=" + f.value);
        break;
      }
      // A button of the dialog pressed before the one that closes it.
      if (f.control == "press") {
        if (const std::string why = Press(*open, f.value); !why.empty()) fail(why);
        if (failure_) break;
        continue;
      }
      // The selected row of a list double-clicked.
      if (f.control == "dblclick") {
        QWidget* list = open->findChild<QWidget*>(Q(f.value));
        const std::string why = list ? DoubleClickRow(*list) : form + " has no control " + f.value;
        if (!why.empty()) fail(form + " dblclick=" + f.value + ": " + why);
        if (failure_) break;
        continue;
      }
      // NAME.COLUMN: a cell of the selected row of a grid.
      std::string name = f.control;
      std::optional<int> column;
      if (const auto dot = name.rfind('.'); dot != std::string::npos) {
        column = ParseInt(name.substr(dot + 1));
        if (column) name.resize(dot);
      }
      QWidget* c = open->findChild<QWidget*>(Q(name));
      if (!c) {
        fail(form + " has no control " + name);
        break;
      }
      const std::string why = column ? SetCell(*c, *column, f.value) : SetControl(*c, f.value, *open);
      if (!why.empty()) {
        fail(form + " " + f.control + ": " + why);
        break;
      }
    }
    if (failure_ || !open) break;
    if (const std::string why = Press(*open, a.item); !why.empty()) fail(why);
  }
  if (open && open->isVisible()) open->reject();
}

void Replayer::giveFile(QFileDialog& d) {
  const bool save = d.acceptMode() == QFileDialog::AcceptSave;
  QPointer<QFileDialog> open(&d);
  if (file_->save != save) {
    fail(save ? "a save dialog opened, but the file is one to open"
              : "an open dialog opened, but the file is one to save");
  } else {
    const QString path = file_->path;
    file_.reset();
    d.selectFile(path);
    static_cast<QDialog&>(d).accept();  // as its own button does
    if (open && open->isVisible() && !failure_) fail("the file dialog did not take " + path.toStdString());
  }
  if (open && open->isVisible()) open->reject();
}

void Replayer::popupShown(QMenu& menu) {
  // A popup menu that waits in its own loop (exec) would hold the script
  // up: it is closed unchosen, and its items are there to trigger.
  QTimer::singleShot(0, &menu, [this, &menu] {
    if (inStep_ && menu.isVisible()) menu.close();
  });
}

QPoint Replayer::pixelOf(const ScriptPoint& at) const {
  if (!at.drawing) return {static_cast<int>(at.x), static_cast<int>(at.y)};
  const Point2 p = WindowTransform(form_.editor().views).toPixel(at.x, at.y);
  return {WholePixels(p.x), WholePixels(p.y)};
}

bool Replayer::inside(QPoint p) {
  if (form_.PaintBox1->rect().contains(p)) return true;
  fail("the point " + std::to_string(p.x()) + " " + std::to_string(p.y()) + " lies outside the drawing area " +
       std::to_string(options_.width) + "x" + std::to_string(options_.height));
  return false;
}

void Replayer::fileCommand(const char* action, std::optional<FileAnswer> file) {
  file_ = std::move(file);
  trigger(action);
  if (file_ && !failure_) fail("the file dialog did not open");
  file_.reset();
}

void Replayer::waitFor(const std::string& name) {
  constexpr int kPatienceS = 60;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(kPatienceS);
  while (!QFileInfo::exists(Q(name))) {
    if (std::chrono::steady_clock::now() >= until)
      return fail(name + " did not appear within " + std::to_string(kPatienceS) + " s");
    // The window goes on meanwhile.
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void Replayer::printTiming() {
  auto since = [&](const std::optional<PaintBox::Clock::time_point>& at) {
    if (!at) return std::string("-");
    return FormatFixed(std::chrono::duration<double, std::milli>(*at - stepStart_).count(), 3);
  };
  out_ << "timing: first=" << since(stepFrames_.first) << " exact=" << since(stepFrames_.exact) << std::endl;
}

void Replayer::step(const ScriptStep& s) {
  const Qt::KeyboardModifiers mods = (s.shift ? Qt::ShiftModifier : Qt::NoModifier) |
                                     (s.ctrl ? Qt::ControlModifier : Qt::NoModifier);
  const Qt::MouseButton button = ButtonOf(s.button);
  switch (s.word) {
    case Word::Trigger: return trigger(s.name);
    case Word::Press:
    case Word::Click: {
      const QPoint p = pixelOf(s.at);
      if (!inside(p)) return;
      user_.pointerTo(p, mods);
      user_.held |= button;
      user_.mouse(QEvent::MouseButtonPress, p, button, mods);
      if (s.word == Word::Press) return;
      user_.held &= ~button;
      return user_.mouse(QEvent::MouseButtonRelease, p, button, mods);
    }
    case Word::Move: {
      const Qt::MouseButtons held = user_.held;
      user_.held |= button;
      user_.mouse(QEvent::MouseMove, pixelOf(s.at), Qt::NoButton, mods);
      user_.held = held;
      return;
    }
    case Word::Release:
      user_.held &= ~button;
      return user_.mouse(QEvent::MouseButtonRelease, pixelOf(s.at), button, mods);
    case Word::DblClick: {
      const QPoint p = pixelOf(s.at);
      if (!inside(p)) return;
      user_.pointerTo(p, mods);
      for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                      QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        if (type == QEvent::MouseButtonRelease) user_.held &= ~Qt::LeftButton;
        else user_.held |= Qt::LeftButton;
        user_.mouse(type, p, Qt::LeftButton, mods);
      }
      return;
    }
    case Word::Wheel: {
      const QPoint p = pixelOf(s.at);
      if (!inside(p)) return;
      user_.pointerTo(p, mods);
      return user_.wheel(p, s.up, mods);
    }
    case Word::Key: return user_.key(s.name);
    case Word::Typed: {
      const std::pair<const char*, double> fields[] = {{"Xed", s.x}, {"YEd", s.y}};
      for (const auto& [name, value] : fields) {
        QWidget* c = form_.findChild<QWidget*>(name);
        if (!c) return fail(std::string("the window has no ") + name);
        if (const std::string why = SetControl(*c, Number(value), form_); !why.empty())
          return fail(std::string(name) + ": " + why);
      }
      return trigger("BenutzenBtn");
    }
    case Word::Input: {
      // Typed into the command field, and Return pressed there.
      QLineEdit* field = form_.KoordEd;
      if (const std::string why = SetControl(*field, s.name, form_); !why.empty()) return fail("KoordEd: " + why);
      field->setFocus();
      for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(field, &key);
      }
      return;
    }
    case Word::Combo: {
      // The property boxes of the tool bar; a dialog may have boxes of the
      // same names.
      QComboBox* box = form_.ToolBar1->findChild<QComboBox*>(Q(s.name));
      if (!box) return fail("the window has no " + s.name);
      if (const std::string why = SetControl(*box, s.item, form_); !why.empty()) return fail(s.name + ": " + why);
      return;
    }
    case Word::Tab: {
      QTabBar* tabs = form_.TabControl1;
      if (s.tab >= tabs->count()) return fail("there is no tab " + std::to_string(s.tab) + " (there are " +
                                               std::to_string(tabs->count()) + ")");
      if (!tabs->isEnabled() || !tabs->isTabEnabled(s.tab)) return fail("the tabs cannot be used now");
      Q_EMIT tabs->tabBarClicked(s.tab);  // as a click on it does
      tabs->setCurrentIndex(s.tab);
      return;
    }
    case Word::Answer: answers_.push_back(&s); return;
    case Word::Open: {
      const QFileInfo info(Q(s.name));
      if (!info.isFile()) return fail("there is no file " + s.name);
      return fileCommand("ffnen1", FileAnswer{false, info.absoluteFilePath()});
    }
    case Word::SaveAs: return fileCommand("Speichernunter1", FileAnswer{true, QFileInfo(Q(s.name)).absoluteFilePath()});
    case Word::Save: return fileCommand("Speichern1", std::nullopt);
    case Word::New: return trigger("NeueDXFDatei1");
    case Word::New12: return trigger("NeueDXFDateiR12ohneSplineohneEllipseusw1");
    case Word::Png:
      if (!form_.PaintBox1->grab().save(Q(s.name), "PNG")) fail("cannot write " + s.name);
      return;
    case Word::State: return PrintState(form_, out_);
    case Word::Wait: return waitFor(s.name);
    case Word::Timing: return printTiming();
  }
}

bool Replayer::start(std::ostream& err) {
  form_.PaintBox1->setFixedSize(options_.width, options_.height);
  form_.show();
  form_.activateWindow();
  QApplication::processEvents();
  if (form_.PaintBox1->size() != QSize(options_.width, options_.height)) {
    err << "vestrel: the window cannot give the drawing area " << options_.width << "x" << options_.height
        << " pixels\n";
    return false;
  }
  std::vector<std::string> files;
  if (!options_.file.empty()) files.push_back(options_.file);
  form_.KeepNoSwitches();
  form_.FormShow(files);
  QApplication::processEvents();
  if (!options_.file.empty() && form_.editor().file.afilename != options_.file) {
    err << "vestrel: cannot open " << options_.file << '\n';
    return false;
  }
  return true;
}

int Replayer::run(const Script& script, std::ostream& err) {
  Replayer* const outer = std::exchange(innermost_, this);
  qApp->installEventFilter(this);
  bool ran = options_.inOpenWindow || start(err);
  for (const ScriptStep& s : script.steps) {
    if (!ran || failure_) break;
    line_ = s.line;
    if (!form_.isVisible()) {
      fail("the window is closed");
      break;
    }
    // The window system gives the window back its keyboard when a dialog
    // has closed.
    if (QApplication::activeWindow() != &form_ && !QApplication::activePopupWidget()) {
      form_.activateWindow();
      QApplication::processEvents();
    }
    inStep_ = true;
    const auto start = PaintBox::Clock::now();
    form_.PaintBox1->watchFrames();
    try {
      step(s);
    } catch (const std::bad_alloc&) {
      fail("not enough memory");
    }
    inStep_ = false;
    QApplication::processEvents();
    // The next line sees the exact picture of this one's view.
    form_.PaintBox1->settle();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (s.word != Word::Timing) {
      stepStart_ = start;
      stepFrames_ = form_.PaintBox1->frames();
    }
    // The answers are for the dialogs of the line that follows them.
    if (s.word != Word::Answer && !answers_.empty())
      fail("the answer of line " + std::to_string(answers_.front()->line) + " for " + answers_.front()->name +
           " was not asked for");
  }
  if (ran && !failure_ && !answers_.empty())
    failure_ = ScriptError{answers_.front()->line, "the answer for " + answers_.front()->name + " was never asked for"};
  qApp->removeEventFilter(this);
  innermost_ = outer;
  // A replay of its own ends its drawing: what it did not save it drops.
  if (!options_.inOpenWindow) form_.editor().DropRecovery();
  if (!ran) return 1;
  if (!failure_) return 0;
  err << options_.script << ':' << failure_->line << ": " << failure_->reason << std::endl;
  return 1;
}

}  // namespace

bool CheckScript(const std::string& path, std::string_view text, Script& script, std::ostream& err) {
  try {
    script = ParseScript(text);
  } catch (const std::bad_alloc&) {
    err << path << ": not enough memory for the script\n";
    return false;
  }
  // The steps all come before a line that is no command.
  for (const ScriptStep& s : script.steps)
    if (s.word == Word::Key && !KeyOf(s.name)) {
      script.error = ScriptError{s.line, "unknown key " + s.name};
      break;
    }
  if (!script.error) return true;
  err << path << ':' << script.error->line << ": " << script.error->reason << '\n';
  return false;
}

bool LoadScript(const std::string& path, Script& script, std::ostream& err) {
  std::string text;
  if (const FileError e = ReadWholeFile(path, text, kMostScriptBytes); e != FileError::None) {
    err << "vestrel: cannot read " << path << ": " << FileErrorEnglish(e) << '\n';
    return false;
  }
  return CheckScript(path, text, script, err);
}

int RunReplay(TMainForm& form, const ReplayOptions& options, const Script& script, std::ostream& out,
              std::ostream& err) {
  Replayer replayer(form, options, out);
  return replayer.run(script, err);
}

}  // namespace vestrel
