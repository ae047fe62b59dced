// Working a modal dialog of the real window from a test: keys typed into
// its controls and buttons pressed while it is shown; and the watchdog that
// fails a test which leaves a dialog without an answer.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <functional>

#include "support/qt_app.h"

namespace vestrel::test {

// A modal dialog or message box still open `patience` after it showed was
// left without an answer and would hold the test for ever: the watchdog
// fails the test that runs, naming the dialog and its text, and closes the
// dialog, so that the test and the run go on.
class DialogWatchdog : public QObject {
 public:
  std::chrono::milliseconds patience{10000};

  // "QMessageBox "TEXT"" or "PolygonForm (PolygonFUnit) "TITLE"".
  static std::string Describe(const QDialog& d) {
    std::string name = d.metaObject()->className();
    if (!d.objectName().isEmpty()) name = d.objectName().toStdString() + " (" + name + ")";
    const auto* box = qobject_cast<const QMessageBox*>(&d);
    return name + " \"" + (box ? box->text() : d.windowTitle()).toStdString() + "\"";
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* d = event->type() == QEvent::Show ? qobject_cast<QDialog*>(watched) : nullptr;
    if (!d || !d->isModal()) return false;
    // Counted, so that a wait for an earlier showing does not end this one.
    const int showing = d->property("watchdogShowing").toInt() + 1;
    d->setProperty("watchdogShowing", showing);
    QTimer::singleShot(patience, this, [open = QPointer<QDialog>(d), showing, patience = patience] {
      if (!open || !open->isVisible() || open->property("watchdogShowing").toInt() != showing) return;
      ADD_FAILURE() << Describe(*open) << " was left without an answer for " << patience.count() << " ms";
      open->reject();
    });
    return false;
  }
};

// The application of the window tests, with the watchdog on every dialog.
inline DialogWatchdog& EnsureWindowApp() {
  EnsureApp<QApplication>();
  static DialogWatchdog* const watchdog = [] {
    auto* w = new DialogWatchdog;
    QCoreApplication::instance()->installEventFilter(w);
    return w;
  }();
  return *watchdog;
}

// Types `text` into `w` as keys; "\n" is the Enter key. A spin edit's text
// is selected first, so that the keys replace it.
inline void Type(QWidget* w, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) spin->selectAll();
  for (const QChar c : text) {
    const int key = c == '\n' ? int{Qt::Key_Return} : int{c.toUpper().unicode()};
    const QString typed = c == '\n' ? QString("\r") : QString(c);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, typed);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, typed);
    QApplication::sendEvent(w, &release);
  }
}

// Presses the button of `dialog` named `name`.
inline void Press(QDialog& dialog, const char* name) {
  auto* button = dialog.findChild<QAbstractButton*>(name);
  if (button) {
    button->click();
  } else {
    ADD_FAILURE() << dialog.objectName().toStdString() << " has no button " << name;
    dialog.reject();
  }
}

// Lets `act` work `dialog` as soon as `show` has shown it modally, and
// returns what `show` returns.
template <class Show>
auto WhileShown(QDialog& dialog, std::function<void()> act, Show show) {
  QTimer::singleShot(0, &dialog, std::move(act));
  return show();
}

}  // namespace vestrel::test
