// What the program's small dialogs are made of: spin edits with limits, the
// frame of a dialog with its OK and "Abbrechen" buttons, and showing it.
#pragma once

#include <QDoubleSpinBox>
#include <QSpinBox>

#include "platform/platform.h"

class QDialog;
class QDialogButtonBox;
class QFormLayout;

namespace vestrel {

// No limit for a decimal field.
inline constexpr double kUnbounded = 1.7976931348623157e308;

// A spin edit for decimals. It writes and reads "." as decimal separator
// whatever the locale, shows its value in the shortest form, and brings a
// value typed beyond its limits back to the nearest limit when the edit is
// left (or the dialog closed).
class FloatSpinEdit : public QDoubleSpinBox {
 public:
  FloatSpinEdit(QWidget* parent, const char* name, double min, double max, int decimals = 6);

  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
  double valueFromText(const QString& text) const override;
  QString textFromValue(double value) const override;
};

// The same for whole numbers.
class IntSpinEdit : public QSpinBox {
 public:
  IntSpinEdit(QWidget* parent, const char* name, int min, int max);

  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
  int valueFromText(const QString& text) const override;
  QString textFromValue(int value) const override;
};

// Gives `dialog` its caption and form name and a form for its fields, the
// buttons below it.
QFormLayout* DialogForm(QDialog* dialog, const char* caption, const char* name);
// Ends the form with the OK button ("OKBtn", the default) and, unless
// `cancel` is false, "Abbrechen" ("AbbrechenBtn"), which Escape presses
// too. The buttons of the dialog's own go beside them.
QDialogButtonBox* DialogButtons(QDialog* dialog, QFormLayout* form, bool cancel = true);
// Shows `dialog` modally, with the focus in `focus` (its text selected)
// when one is given; afterwards every spin edit in it holds what was typed
// into it, brought within its limits.
DialogResult RunDialog(QDialog* dialog, QWidget* focus = nullptr);

}  // namespace vestrel
