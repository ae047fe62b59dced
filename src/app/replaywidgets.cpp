#include "app/replaywidgets.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTextEdit>
#include <cstdio>

#include "app/MainUnit.h"
#include "app/paintbox.h"
#include "document/numbers.h"

// Qt's own way of giving a key to the shortcuts first, as a key pressed by
// hand goes (exported by Qt Gui and declared so by Qt Test as well).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace vestrel {

namespace {

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
  if (r < 0) return "it has no row \"" + row + "\"";
  const QModelIndex at = m->index(r, std::max(0, v.currentIndex().column()));
  v.setCurrentIndex(at);
  v.scrollTo(at);
  return {};
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

}  // namespace

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

std::string DoubleClickRow(QWidget& c) {
  auto* v = qobject_cast<QAbstractItemView*>(&c);
  if (!v || !v->model()) return "it is no list or grid";
  if (!v->currentIndex().isValid()) return "no row is selected";
  v->scrollTo(v->currentIndex());
  const QPointF at = v->visualRect(v->currentIndex()).center();
  QWidget* surface = v->viewport();
  // The second press of a double click comes as its own event, after a
  // first click on the same row.
  for (const QEvent::Type type :
       {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
    const bool down = type != QEvent::MouseButtonRelease;
    QMouseEvent e(type, at, surface->mapToGlobal(at), Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(surface, &e);
  }
  return {};
}

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

std::optional<QKeyCombination> KeyOf(const std::string& name) {
  const QKeySequence seq = QKeySequence::fromString(Q(name), QKeySequence::PortableText);
  if (seq.count() != 1 || seq[0].key() == Qt::Key_unknown) return std::nullopt;
  return seq[0];
}

void WindowUser::mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
  PaintBox* box = form_.PaintBox1;
  QMouseEvent e(type, QPointF(p), QPointF(box->mapToGlobal(p)), button, held, mods);
  HoldModifiers(box, mods);
  QApplication::sendEvent(box, &e);
  HoldModifiers(box, Qt::NoModifier);
  pointer_ = p;
}

void WindowUser::pointerTo(QPoint p, Qt::KeyboardModifiers mods) {
  if (p != pointer_) mouse(QEvent::MouseMove, p, Qt::NoButton, mods);
}

void WindowUser::wheel(QPoint p, bool up, Qt::KeyboardModifiers mods) {
  PaintBox* box = form_.PaintBox1;
  QWheelEvent e(QPointF(p), QPointF(box->mapToGlobal(p)), QPoint(), QPoint(0, up ? 120 : -120), held, mods,
                Qt::NoScrollPhase, false);
  HoldModifiers(box, mods);
  QApplication::sendEvent(box, &e);
  HoldModifiers(box, Qt::NoModifier);
}

void WindowUser::key(const std::string& name) {
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

std::string WindowUser::trigger(const std::string& name) {
  const QString n = Q(name);
  QAction* action = form_.findChild<QAction*>(n);
  QAbstractButton* button = action ? nullptr : form_.findChild<QAbstractButton*>(n);
  if (!action && !button) return "there is no button or menu item " + name;
  if (action ? !action->isEnabled() : !button->isEnabled() || !button->isVisible())
    return name + " cannot be used now";
  // Choosing closes an open popup menu, whatever is chosen.
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  if (action)
    action->trigger();
  else
    button->click();
  return {};
}

}  // namespace vestrel
