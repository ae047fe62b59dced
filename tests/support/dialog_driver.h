// Working a modal dialog of the real window from a test: keys typed into
// its controls and buttons pressed while it is shown.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

namespace vestrel::test {

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
