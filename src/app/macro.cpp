#include "app/macro.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSpinBox>
#include <QTabBar>
#include <QAbstractItemView>
#include <QToolBar>
#include <QWheelEvent>
#include <cstdio>
#include <sstream>

#include "app/MainUnit.h"
#include "app/paintbox.h"
#include "app/replay.h"

namespace vestrel {

namespace {

std::string Number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

const char* ButtonWord(Qt::MouseButton b) {
  return b == Qt::RightButton ? " right" : b == Qt::MiddleButton ? " middle" : "";
}

std::string Modifiers(Qt::KeyboardModifiers m) {
  return std::string(m & Qt::ShiftModifier ? " shift" : "") + (m & Qt::ControlModifier ? " ctrl" : "");
}

// The controls of a dialog a script can set, by their program names, with
// the values they hold.
std::string Fields(const QDialog& d) {
  std::string fields;
  auto field = [&](const QObject* c, const QString& value) {
    if (c->objectName().isEmpty() || c->objectName().startsWith("qt_")) return;
    fields += " " + c->objectName().toStdString() + "=" + ScriptValue(value.toStdString());
  };
  for (const QLineEdit* e : d.findChildren<QLineEdit*>())
    if (!qobject_cast<QAbstractSpinBox*>(e->parent()) && !qobject_cast<QComboBox*>(e->parent()) && e->isVisible())
      field(e, e->text());
  for (const QPlainTextEdit* e : d.findChildren<QPlainTextEdit*>())
    if (e->isVisible() && !e->isReadOnly()) field(e, e->toPlainText());
  for (const QAbstractSpinBox* e : d.findChildren<QAbstractSpinBox*>())
    if (e->isVisible() && e->isEnabled()) field(e, e->text());
  for (const QComboBox* e : d.findChildren<QComboBox*>())
    if (e->isVisible() && e->isEnabled()) field(e, e->currentText());
  for (const QCheckBox* e : d.findChildren<QCheckBox*>())
    if (e->isVisible() && e->isEnabled()) field(e, e->isChecked() ? "1" : "0");
  return fields;
}

// The rows selected in the dialog's lists and grids, by the text of their
// first column, as a button that works on the selected row needs them.
std::string Rows(const QDialog& d) {
  std::string rows;
  for (const QAbstractItemView* view : d.findChildren<QAbstractItemView*>()) {
    if (view->objectName().isEmpty() || !view->isVisible() || !view->model() || !view->selectionModel()) continue;
    const QModelIndex at = view->currentIndex();
    if (!at.isValid() || !view->selectionModel()->isSelected(at)) continue;
    const QString first = view->model()->index(at.row(), 0, at.parent()).data().toString();
    rows += " " + view->objectName().toStdString() + "=" + ScriptValue(first.toStdString());
  }
  return rows;
}

}  // namespace

std::string ScriptValue(const std::string& value) {
  if (!value.empty() && value.find_first_of(" \t\"\\\n\r") == std::string::npos) return value;
  std::string quoted = "\"";
  for (const char c : value) {
    if (c == '"' || c == '\\') quoted += '\\';
    if (c == '\n') {
      quoted += "\\n";
      continue;
    }
    if (c != '\r') quoted += c;
  }
  return quoted + "\"";
}

MacroRecorder::MacroRecorder(TMainForm& form) : QObject(&form), form_(form) {}

void MacroRecorder::start() {
  lines_.clear();
  pressed_ = dragged_ = paused_ = false;
  recording_ = true;
  // A command runs before this hears of it, so the answers of the dialogs
  // it opened are written before it, as a script has them. A macro played
  // meanwhile is recorded as what it does: played again, it does the same
  // without its file.
  for (QAction* a : form_.findChildren<QAction*>()) {
    if (a->objectName().isEmpty() || a->objectName() == "Makroaufzeichnen1" || a->objectName() == "Makroabspielen1")
      continue;
    connections_.push_back(connect(a, &QAction::triggered, this, [this, a] {
      if (on()) add("trigger " + a->objectName().toStdString());
    }));
  }
  for (QComboBox* box : form_.ToolBar1->findChildren<QComboBox*>())
    connections_.push_back(connect(box, &QComboBox::activated, this, [this, box](int i) {
      if (on()) add("combo " + box->objectName().toStdString() + " " + ScriptValue(box->itemText(i).toStdString()));
    }));
  connections_.push_back(connect(form_.TabControl1, &QTabBar::tabBarClicked, this, [this](int i) {
    if (on() && i >= 0) add("tab " + std::to_string(i));
  }));
  if (auto* use = form_.findChild<QAbstractButton*>("BenutzenBtn"))
    connections_.push_back(connect(use, &QAbstractButton::clicked, this, [this] {
      const auto* x = form_.findChild<QDoubleSpinBox*>("Xed");
      const auto* y = form_.findChild<QDoubleSpinBox*>("YEd");
      if (on() && x && y) add("typed " + Number(x->value()) + " " + Number(y->value()));
    }));
  // The command field's entries, clicked with Return.
  connections_.push_back(connect(form_.KoordEd, &QLineEdit::returnPressed, this, [this] {
    if (on()) add("input " + ScriptValue(form_.KoordEd->text().toStdString()));
  }));
  // Escape ends what runs, wherever the focus is in the window; Return in
  // the drawing area ends a measured area.
  for (QShortcut* s : form_.findChildren<QShortcut*>())
    for (const char* key : {"Escape", "Return"})
      if (s->key() == QKeySequence(key))
        connections_.push_back(connect(s, &QShortcut::activated, this, [this, key] {
          if (on()) add(std::string("key ") + key);
        }));
  qApp->installEventFilter(this);
}

std::vector<std::string> MacroRecorder::stop() {
  recording_ = false;
  qApp->removeEventFilter(this);
  // A dialog still open (none can be, the menu being out of reach) has no
  // answer.
  for (auto& [dialog, open] : open_)
    for (const QMetaObject::Connection& c : open.buttons) disconnect(c);
  open_.clear();
  std::erase(lines_, std::string());
  // The window's signals no longer reach this: a second recording hears
  // each of them once.
  for (const QMetaObject::Connection& c : connections_) disconnect(c);
  connections_.clear();
  // The stop itself came through the menu: it is no part of the macro.
  return std::move(lines_);
}

std::string MacroRecorder::at(QPoint pixel) const {
  const Point2 w = Bildschirm2DXF(form_.editor().views, pixel.x(), pixel.y());
  return "@" + Number(w.x) + "," + Number(w.y);
}

bool MacroRecorder::eventFilter(QObject* watched, QEvent* event) {
  if (!on()) return false;
  if (watched == form_.PaintBox1) {
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        const auto* m = static_cast<QMouseEvent*>(event);
        press_ = at(m->position().toPoint());
        press_ += ButtonWord(m->button()) + Modifiers(m->modifiers());
        pressed_ = true, dragged_ = false;
        break;
      }
      case QEvent::MouseButtonDblClick: {
        const auto* m = static_cast<QMouseEvent*>(event);
        // The double click's first click is written already.
        if (!lines_.empty() && lines_.back().starts_with("click ")) lines_.pop_back();
        add("dblclick " + at(m->position().toPoint()));
        pressed_ = false;
        break;
      }
      case QEvent::MouseMove: {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (!pressed_ || m->buttons() == Qt::NoButton) break;
        if (!dragged_) add("press " + press_);
        dragged_ = true;
        add("move " + at(m->position().toPoint()) + ButtonWord(Qt::LeftButton) + Modifiers(m->modifiers()));
        break;
      }
      case QEvent::MouseButtonRelease: {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (!pressed_) break;
        if (dragged_)
          add("release " + at(m->position().toPoint()) + ButtonWord(m->button()));
        else
          add("click " + press_);
        pressed_ = dragged_ = false;
        break;
      }
      case QEvent::Wheel: {
        const auto* w = static_cast<QWheelEvent*>(event);
        if (w->angleDelta().y() != 0)
          add("wheel " + at(w->position().toPoint()) + (w->angleDelta().y() > 0 ? " up" : " down") +
              Modifiers(w->modifiers()));
        break;
      }
      default: break;
    }
  }
  if (event->type() == QEvent::Show)
    if (auto* d = qobject_cast<QDialog*>(watched); d && d->isModal()) dialogOpened(*d);
  if (event->type() == QEvent::Hide)
    if (auto* d = qobject_cast<QDialog*>(watched); d && d->isModal()) {
      std::string answer = dialogClosed(*d);
      const auto open = open_.find(d);
      if (open == open_.end()) {
        if (!answer.empty()) add(std::move(answer));
        return false;
      }
      for (const QMetaObject::Connection& c : open->second.buttons) disconnect(c);
      // The dialogs it opened have closed: its line is the last reserved.
      if (answer.empty())
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(open->second.line));
      else
        lines_[open->second.line] = std::move(answer);
      open_.erase(open);
    }
  return false;
}

void MacroRecorder::dialogOpened(QDialog& d) {
  if (open_.contains(&d)) return;
  OpenDialog& open = open_[&d];
  open.line = lines_.size();
  add({});
  // Message boxes close with every button, and the file dialog's own
  // buttons are no answer.
  if (qobject_cast<QMessageBox*>(&d) || qobject_cast<QFileDialog*>(&d) || d.objectName().isEmpty()) return;
  for (QAbstractButton* b : d.findChildren<QAbstractButton*>()) {
    if (b->objectName().isEmpty() || b->objectName().startsWith("qt_")) continue;
    // The rows and values it is pressed on, before it works on them.
    open.buttons.push_back(connect(b, &QAbstractButton::pressed, this, [this, &d] {
      if (const auto at = open_.find(&d); on() && at != open_.end()) {
        OpenDialog& open = at->second;
        open.pressedOn = Rows(d);
        std::string fields = Fields(d);
        if (fields != open.fields) open.pressedOn += fields;
        open.pressedFields = std::move(fields);
      }
    }));
    // Heard after the button did its work: a button that closed the
    // dialog is its answer's end, not a press.
    open.buttons.push_back(connect(b, &QAbstractButton::clicked, this, [this, &d, b] {
      const auto at = open_.find(&d);
      if (!on() || at == open_.end() || !d.isVisible()) return;
      OpenDialog& open = at->second;
      open.presses += open.pressedOn + " press=" + b->objectName().toStdString();
      open.fields = open.pressedFields;
    }));
  }
}

std::string MacroRecorder::dialogClosed(QDialog& d) {
  if (auto* box = qobject_cast<QMessageBox*>(&d)) {
    const QAbstractButton* clicked = box->clickedButton();
    const auto role = clicked ? box->buttonRole(const_cast<QAbstractButton*>(clicked)) : QMessageBox::RejectRole;
    std::string word = role == QMessageBox::YesRole      ? "yes"
                       : role == QMessageBox::NoRole     ? "no"
                       : role == QMessageBox::AcceptRole ? "ok"
                                                         : "cancel";
    // A button of the box's own ("Neu laden") by its program name.
    if (role == QMessageBox::ActionRole && !clicked->objectName().isEmpty())
      word = clicked->objectName().toStdString();
    return "answer message " + word;
  }
  if (auto* files = qobject_cast<QFileDialog*>(&d)) {
    const QStringList chosen = files->selectedFiles();
    if (d.result() == QDialog::Accepted && !chosen.isEmpty())
      return "answer QFileDialog fileNameEdit=" + ScriptValue(chosen.front().toStdString()) + " ok";
    return "answer QFileDialog cancel";
  }
  const std::string name = d.objectName().toStdString();
  if (name.empty()) return {};
  const auto open = open_.find(&d);
  std::string presses, fields = Fields(d);
  if (open != open_.end()) {
    presses = open->second.presses;
    if (fields == open->second.fields) fields.clear();
  }
  return "answer " + name + presses + fields + (d.result() == QDialog::Accepted ? " ok" : " cancel");
}

MacroPlay PlayMacro(TMainForm& form, const std::string& path) {
  MacroPlay played;
  std::string text;
  if ((played.unreadable = ReadWholeFile(path, text, kMostScriptBytes)) != FileError::None) return played;
  Script script;
  std::ostringstream err, out;
  if (!CheckScript(path, text, script, err)) {
    played.stopped = err.str();
    return played;
  }
  ReplayOptions options;
  options.script = path;
  options.inOpenWindow = true;
  Editor& editor = form.editor();
  editor.playingMacro = true;
  form.ShowState();
  const int exit = RunReplay(form, options, script, out, err);
  editor.playingMacro = false;
  form.ShowState();
  if (exit != 0) played.stopped = err.str();
  return played;
}

}  // namespace vestrel
