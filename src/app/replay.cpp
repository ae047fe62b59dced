#include "app/replay.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <chrono>
#include <cstdio>
#include <deque>
#include <new>
#include <optional>
#include <sstream>
#include <thread>
#include <utility>

#include "app/MainUnit.h"
#include "app/paintbox.h"
#include "document/numbers.h"
#include "file/dxffile.h"
#include "tools/tooltable.h"
#include "view/screentransform.h"

// Qt's own way of giving a key to the shortcuts first, as a key pressed by
// hand goes (exported by Qt Gui and declared so by Qt Test as well).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace vestrel {

namespace {

using Word = ScriptStep::Word;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A caption without its accelerator marks, as it is shown.
std::string Shown(const QString& caption) {
  QString s;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    s += caption[i];
  }
  return s.toStdString();
}

// A text on one line: its line breaks written as "\n".
std::string OneLine(const QString& text) {
  std::string s;
  for (const char c : text.toStdString()) {
    if (c == '\n') s += "\\n";
    else if (c != '\r') s += c;
  }
  return s;
}

// The name a script gives a dialog: "message" for a message box, else its
// program name (its class's when it has none, as Qt's own dialogs).
std::string FormName(const QDialog& d) {
  if (qobject_cast<const QMessageBox*>(&d)) return "message";
  if (!d.objectName().isEmpty()) return d.objectName().toStdString();
  return d.metaObject()->className();
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", v);
  return text;
}

// Picks an item of a combo box as a user does: by its text, or else by its
// index.
std::string Choose(QComboBox& box, const std::string& item) {
  int i = box.findText(Q(item), Qt::MatchExactly);
  if (i < 0) {
    const auto n = ParseInt(item);
    if (n && *n >= 0 && *n < box.count()) i = *n;
  }
  if (i < 0) return "it has no item \"" + item + "\"";
  box.setCurrentIndex(i);
  Q_EMIT box.activated(i);
  Q_EMIT box.textActivated(box.itemText(i));
  return {};
}

std::optional<bool> Checked(const std::string& v) {
  if (v == "1" || v == "true" || v == "yes" || v == "on") return true;
  if (v == "0" || v == "false" || v == "no" || v == "off") return false;
  return std::nullopt;
}

// A spin box's value, typed within its range.
template <class SpinBox, class Value>
std::string SetNumber(SpinBox& box, std::optional<Value> v, const std::string& typed, const char* kind) {
  if (!v) return "\"" + typed + "\" is no " + kind;
  if (*v < box.minimum() || *v > box.maximum())
    return typed + " lies outside its range " + Number(box.minimum()) + " to " + Number(box.maximum());
  box.setValue(*v);
  return {};
}

// Selects the row of a list or grid whose first column shows `row`, or
// else the row of that index (0 the first below the headings).
std::string SelectRow(QAbstractItemView& v, const std::string& row) {
  QAbstractItemModel* m = v.model();
  if (!m) return "it shows nothing";
  int r = -1;
  for (int i = 0; i < m->rowCount() && r < 0; ++i)
    if (m->index(i, 0).data().toString() == Q(row)) r = i;
  if (r < 0) {
    const auto n = ParseInt(row);
    if (n && *n >= 0 && *n < m->rowCount()) r = *n;
  }
  if (r < 0) return "it has no row "" + row + """;
  const QModelIndex at = m->index(r, std::max(0, v.currentIndex().column()));
  v.setCurrentIndex(at);
  v.scrollTo(at);
  return {};
}

// Types `value` into column `column` of the selected row, as a user edits
// a cell.
std::string SetCell(QWidget& c, int column, const std::string& value) {
  auto* v = qobject_cast<QAbstractItemView*>(&c);
  if (!v || !v->model()) return "it is no list or grid";
  if (!v->currentIndex().isValid()) return "no row is selected";
  const QModelIndex at = v->model()->index(v->currentIndex().row(), column);
  if (!at.isValid() || !(v->model()->flags(at) & Qt::ItemIsEditable)) return "its cell cannot be edited";
  v->setCurrentIndex(at);
  if (!v->model()->setData(at, Q(value), Qt::EditRole)) return "its cell does not take \"" + value + "\"";
  return {};
}

// Fills a control of `window` with `value` as a user would, by typing or
// choosing; returns what stops it.
std::string SetControl(QWidget& c, const std::string& value, const QWidget& window) {
  if (!c.isEnabled()) return "it is disabled";
  if (!c.isVisibleTo(&window)) return "it is hidden";
  if (auto* v = qobject_cast<QAbstractItemView*>(&c)) return SelectRow(*v, value);
  if (auto* s = qobject_cast<QDoubleSpinBox*>(&c)) return SetNumber(*s, ParseDouble(value), value, "number");
  if (auto* s = qobject_cast<QSpinBox*>(&c)) return SetNumber(*s, ParseInt(value), value, "whole number");
  if (auto* e = qobject_cast<QLineEdit*>(&c)) {
    if (e->isReadOnly()) return "it is read-only";
    e->setText(Q(value));
    Q_EMIT e->textEdited(e->text());
    return {};
  }
  if (auto* e = qobject_cast<QPlainTextEdit*>(&c)) {
    if (e->isReadOnly()) return "it is read-only";
    e->setPlainText(Q(value));
    return {};
  }
  if (auto* e = qobject_cast<QTextEdit*>(&c)) {
    if (e->isReadOnly()) return "it is read-only";
    e->setPlainText(Q(value));
    return {};
  }
  if (auto* b = qobject_cast<QComboBox*>(&c)) return Choose(*b, value);
  if (auto* b = qobject_cast<QAbstractButton*>(&c); b && b->isCheckable()) {
    const auto want = Checked(value);
    if (!want) return "wants 1 or 0, not \"" + value + "\"";
    if (b->isChecked() != *want) b->click();
    if (b->isChecked() != *want) return "it cannot be set to " + value;
    return {};
  }
  return std::string("a ") + c.metaObject()->className() + " cannot be set";
}

// Presses the button `word` of a dialog: "ok", "cancel", "yes" or "no" by
// their roles, any other by its program name or its caption. "cancel" on a
// dialog without such a button is the Escape key.
std::string Press(QDialog& d, const std::string& word) {
  std::optional<QDialogButtonBox::ButtonRole> role;
  if (word == "ok") role = QDialogButtonBox::AcceptRole;
  if (word == "cancel") role = QDialogButtonBox::RejectRole;
  if (word == "yes") role = QDialogButtonBox::YesRole;
  if (word == "no") role = QDialogButtonBox::NoRole;
  QAbstractButton* button = nullptr;
  if (role) {
    if (auto* box = qobject_cast<QMessageBox*>(&d)) {
      for (QAbstractButton* b : box->buttons())
        if (static_cast<int>(box->buttonRole(b)) == static_cast<int>(*role)) button = b;
    } else {
      for (QDialogButtonBox* bar : d.findChildren<QDialogButtonBox*>())
        for (QAbstractButton* b : bar->buttons())
          if (bar->buttonRole(b) == *role) button = b;
    }
  } else {
    button = d.findChild<QAbstractButton*>(Q(word));
    for (QAbstractButton* b : d.findChildren<QAbstractButton*>())
      if (!button && Shown(b->text()) == word) button = b;
  }
  if (!button && word == "cancel") {
    d.reject();
    return {};
  }
  if (!button) return FormName(d) + " has no button " + word;
  if (!button->isEnabled() || !button->isVisibleTo(&d))
    return "the button " + word + " of " + FormName(d) + " is not there to press";
  button->click();
  return {};
}

// A key by its name, as QKeySequence reads it ("Escape", "Return",
// "ctrl+z").
std::optional<QKeyCombination> KeyOf(const std::string& name) {
  const QKeySequence seq = QKeySequence::fromString(Q(name), QKeySequence::PortableText);
  if (seq.count() != 1 || seq[0].key() == Qt::Key_unknown) return std::nullopt;
  return seq[0];
}

// The text a key types.
QString KeyText(Qt::Key key, Qt::KeyboardModifiers mods) {
  if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return {};
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return "\r";
    case Qt::Key_Escape: return "\x1b";
    case Qt::Key_Tab: return "\t";
    case Qt::Key_Backspace: return "\b";
    case Qt::Key_Delete: return "\x7f";
    default: break;
  }
  if (key < Qt::Key_Space || key > Qt::Key_AsciiTilde) return {};
  const QChar c(static_cast<char16_t>(key));
  return (mods & Qt::ShiftModifier) ? QString(c.toUpper()) : QString(c.toLower());
}

// The keys Shift and Ctrl held down, or let go, as the application sees
// them (QGuiApplication::keyboardModifiers) apart from the events: a key
// that is no key passes the shortcuts by and leaves only that.
void HoldModifiers(QObject* to, Qt::KeyboardModifiers mods) {
  qt_sendShortcutOverrideEvent(to, 0, Qt::Key_unknown, mods);
}

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
      : form_(form), options_(options), out_(out) {}

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
  void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers mods);
  void pointerTo(QPoint p, Qt::KeyboardModifiers mods);
  void wheel(QPoint p, bool up, Qt::KeyboardModifiers mods);
  void key(const std::string& name);
  void trigger(const std::string& name);
  void fileCommand(const char* action, std::optional<FileAnswer> file);
  // Another program's turn: the script goes on once `name` exists.
  void waitFor(const std::string& name);
  void printState();

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
  Qt::MouseButtons held_;
  QPoint pointer_{-1, -1};
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

void Replayer::mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
  PaintBox* box = form_.PaintBox1;
  QMouseEvent e(type, QPointF(p), QPointF(box->mapToGlobal(p)), button, held_, mods);
  HoldModifiers(box, mods);
  QApplication::sendEvent(box, &e);
  HoldModifiers(box, Qt::NoModifier);
  pointer_ = p;
}

// The pointer goes to `p` before it presses there, as a hand moves it.
void Replayer::pointerTo(QPoint p, Qt::KeyboardModifiers mods) {
  if (p != pointer_) mouse(QEvent::MouseMove, p, Qt::NoButton, mods);
}

void Replayer::wheel(QPoint p, bool up, Qt::KeyboardModifiers mods) {
  PaintBox* box = form_.PaintBox1;
  QWheelEvent e(QPointF(p), QPointF(box->mapToGlobal(p)), QPoint(), QPoint(0, up ? 120 : -120), held_, mods,
                Qt::NoScrollPhase, false);
  HoldModifiers(box, mods);
  QApplication::sendEvent(box, &e);
  HoldModifiers(box, Qt::NoModifier);
}

void Replayer::key(const std::string& name) {
  const QKeyCombination k = *KeyOf(name);  // checked before the run
  const Qt::Key code = k.key();
  const Qt::KeyboardModifiers mods = k.keyboardModifiers();
  const QString text = KeyText(code, mods);
  QWidget* target = QApplication::activePopupWidget();
  if (!target) target = QApplication::focusWidget();
  if (!target) target = &form_;
  QPointer<QWidget> alive(target);
  if (!qt_sendShortcutOverrideEvent(target, 0, code, mods, text)) {
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(target, &press);
  }
  if (alive) {
    QKeyEvent release(QEvent::KeyRelease, code, mods, text);
    QApplication::sendEvent(alive, &release);
  }
  HoldModifiers(&form_, Qt::NoModifier);
}

void Replayer::trigger(const std::string& name) {
  const QString n = Q(name);
  QAction* action = form_.findChild<QAction*>(n);
  QAbstractButton* button = action ? nullptr : form_.findChild<QAbstractButton*>(n);
  if (!action && !button) return fail("there is no button or menu item " + name);
  if (action ? !action->isEnabled() : !button->isEnabled() || !button->isVisible())
    return fail(name + " cannot be used now");
  // Choosing closes an open popup menu, whatever is chosen.
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  if (action)
    action->trigger();
  else
    button->click();
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

void Replayer::printState() {
  const Editor& e = form_.editor();
  const ToolState& t = e.tool;
  std::string modes;
  for (const Mode& m : Modes())
    if (t.*m.on) modes += std::string(modes.empty() ? "" : " ") + std::string(m.name);
  for (const auto& [name, on] : {std::pair{"useexact", t.useexact}, std::pair{"inzoomit", e.view.inzoomit},
                                 std::pair{"inpan", e.view.inpan}})
    if (on) modes += std::string(modes.empty() ? "" : " ") + name;
  std::size_t selected = 0;
  for (const tpoly& p : e.drawing.polys) selected += p.selected ? 1 : 0;
  std::string menus;
  for (const QAction* a : form_.menuBar()->actions())
    if (a->isVisible()) menus += (menus.empty() ? "" : ", ") + Shown(a->text());
  auto line = [&](const char* key, const std::string& value) {
    out_ << key << ':' << (value.empty() ? "" : " ") << value << '\n';
  };
  line("modes", modes);
  line("down", std::string(ButtonName(t.down)));
  line("arcmode", std::to_string(t.arcmode));
  line("ellipsemode", std::to_string(t.ellipsemode));
  line("polyline0", std::to_string(t.polyline0.size()));
  line("selected", std::to_string(selected));
  line("anzrem", std::to_string(t.anzrem));
  line("undo", std::to_string(e.undos.undos.size()));
  line("modified", e.file.changed ? "1" : "0");
  line("zoom", Number(e.view.zoomedvalue));
  line("tab", std::to_string(e.view.tab));
  line("status", OneLine(form_.StatusBar1->currentMessage()));
  line("caption", OneLine(form_.windowTitle()));
  line("menus", menus);
  out_ << std::flush;
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
      pointerTo(p, mods);
      held_ |= button;
      mouse(QEvent::MouseButtonPress, p, button, mods);
      if (s.word == Word::Press) return;
      held_ &= ~button;
      return mouse(QEvent::MouseButtonRelease, p, button, mods);
    }
    case Word::Move: {
      const Qt::MouseButtons held = held_;
      held_ |= button;
      mouse(QEvent::MouseMove, pixelOf(s.at), Qt::NoButton, mods);
      held_ = held;
      return;
    }
    case Word::Release:
      held_ &= ~button;
      return mouse(QEvent::MouseButtonRelease, pixelOf(s.at), button, mods);
    case Word::DblClick: {
      const QPoint p = pixelOf(s.at);
      if (!inside(p)) return;
      pointerTo(p, mods);
      for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                      QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        if (type == QEvent::MouseButtonRelease) held_ &= ~Qt::LeftButton;
        else held_ |= Qt::LeftButton;
        mouse(type, p, Qt::LeftButton, mods);
      }
      return;
    }
    case Word::Wheel: {
      const QPoint p = pixelOf(s.at);
      if (!inside(p)) return;
      pointerTo(p, mods);
      return wheel(p, s.up, mods);
    }
    case Word::Key: return key(s.name);
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
    case Word::State: return printState();
    case Word::Wait: return waitFor(s.name);
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
    try {
      step(s);
    } catch (const std::bad_alloc&) {
      fail("not enough memory");
    }
    inStep_ = false;
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
