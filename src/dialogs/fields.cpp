#include "dialogs/fields.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace vestrel {

namespace {

// "." as decimal separator, no thousands separators, whatever the user's
// locale.
const QLocale& Dot() {
  static const QLocale dot = [] {
    QLocale l = QLocale::c();
    l.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return l;
  }();
  return dot;
}

std::optional<double> Decimal(const QString& text) {
  bool ok = false;
  const double v = Dot().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A whole number; for one beyond what a long long holds, the nearest that
// does.
std::optional<long long> Whole(const QString& text) {
  const QString t = text.trimmed();
  const bool negative = t.startsWith('-');
  const QStringView digits = QStringView(t).mid(negative || t.startsWith('+') ? 1 : 0);
  if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
    return std::nullopt;
  bool ok = false;
  const long long v = t.toLongLong(&ok);
  if (ok) return v;
  return negative ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
}

// Text the user may still be typing a number into ("", "-", "1e", "2.").
bool Unfinished(const QString& text, bool decimal) {
  const QString more = text.trimmed() + '0';
  return decimal ? Decimal(more).has_value() : Whole(more).has_value();
}

template <class T>
QValidator::State Check(std::optional<T> v, const QString& text, bool decimal, T min, T max) {
  if (!v) return Unfinished(text, decimal) ? QValidator::Intermediate : QValidator::Invalid;
  return *v < min || *v > max ? QValidator::Intermediate : QValidator::Acceptable;
}

}  // namespace

FloatSpinEdit::FloatSpinEdit(QWidget* parent, const char* name, double min, double max, int decimals)
    : QDoubleSpinBox(parent) {
  setObjectName(name);
  setLocale(Dot());
  setDecimals(decimals);
  setRange(min, max);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  setAlignment(Qt::AlignRight);
  setMinimumWidth(120);
}

QValidator::State FloatSpinEdit::validate(QString& text, int&) const {
  return Check(Decimal(text), text, true, minimum(), maximum());
}

void FloatSpinEdit::fixup(QString& text) const {
  text = textFromValue(std::clamp(Decimal(text).value_or(0.0), minimum(), maximum()));
}

double FloatSpinEdit::valueFromText(const QString& text) const {
  return std::clamp(Decimal(text).value_or(0.0), minimum(), maximum());
}

QString FloatSpinEdit::textFromValue(double value) const {
  QString s = Dot().toString(value, 'f', decimals());
  if (s.contains('.')) {
    while (s.endsWith('0')) s.chop(1);
    if (s.endsWith('.')) s.chop(1);
  }
  return s == "-0" ? QString("0") : s;
}

IntSpinEdit::IntSpinEdit(QWidget* parent, const char* name, int min, int max) : QSpinBox(parent) {
  setObjectName(name);
  setLocale(Dot());
  setRange(min, max);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  setAlignment(Qt::AlignRight);
  setMinimumWidth(120);
}

QValidator::State IntSpinEdit::validate(QString& text, int&) const {
  return Check<long long>(Whole(text), text, false, minimum(), maximum());
}

void IntSpinEdit::fixup(QString& text) const {
  text = textFromValue(static_cast<int>(std::clamp<long long>(Whole(text).value_or(0), minimum(), maximum())));
}

int IntSpinEdit::valueFromText(const QString& text) const {
  return static_cast<int>(std::clamp<long long>(Whole(text).value_or(0), minimum(), maximum()));
}

QString IntSpinEdit::textFromValue(int value) const { return QString::number(value); }

QFormLayout* DialogForm(QDialog* dialog, const char* caption, const char* name) {
  dialog->setWindowTitle(QString::fromUtf8(caption));
  dialog->setObjectName(name);
  return new QFormLayout(dialog);
}

QDialogButtonBox* DialogButtons(QDialog* dialog, QFormLayout* form, bool cancel) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("OKBtn");
  ok->setDefault(true);
  if (cancel) buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole)->setObjectName("AbbrechenBtn");
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  form->addRow(buttons);
  return buttons;
}

DialogResult RunDialog(QDialog* dialog, QWidget* focus) {
  if (focus) {
    focus->setFocus();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus)) spin->selectAll();
    if (auto* edit = qobject_cast<QLineEdit*>(focus)) edit->selectAll();
  }
  const int result = dialog->exec();
  for (QAbstractSpinBox* edit : dialog->findChildren<QAbstractSpinBox*>()) edit->interpretText();
  return result == QDialog::Accepted ? DialogResult::Ok : DialogResult::Cancel;
}

}  // namespace vestrel
