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
  // Escape ends what runs, wherever the focus is in the window.
  for (QShortcut* s : form_.findChildren<QShortcut*>())
    if (s->key() == QKeySequence(Qt::Key_Escape))
      connections_.push_back(connect(s, &QShortcut::activated, this, [this] {
        if (on()) add("key Escape");
      }));
  qApp->installEventFilter(this);
}

std::vector<std::string> MacroRecorder::stop() {
  recording_ = false;
  qApp->removeEventFilter(this);
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
  if (event->type() == QEvent::Hide)
    if (auto* d = qobject_cast<QDialog*>(watched); d && d->isModal()) dialogClosed(*d);
  return false;
}

void MacroRecorder::dialogClosed(QDialog& d) {
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
    return add("answer message " + word);
  }
  if (auto* files = qobject_cast<QFileDialog*>(&d)) {
    const QStringList chosen = files->selectedFiles();
    if (d.result() == QDialog::Accepted && !chosen.isEmpty())
      return add("answer QFileDialog fileNameEdit=" + ScriptValue(chosen.front().toStdString()) + " ok");
    return add("answer QFileDialog cancel");
  }
  const std::string name = d.objectName().toStdString();
  if (name.empty()) return;
  add("answer " + name + Fields(d) + (d.result() == QDialog::Accepted ? " ok" : " cancel"));
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
