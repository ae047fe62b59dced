#include "dialogs/AddTextFUnit.h"

#include <QFormLayout>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextBlock>
#include <algorithm>
#include <cmath>

#include "dialogs/fields.h"

namespace vestrel {

namespace {

constexpr double kMinHeight = 0.000001, kMaxHeight = 1000000;

// The memo's lines, one "\n" between two. A line break typed with Shift
// breaks the line too; everything else stays as typed (no-break spaces
// included).
std::string MemoText(const QPlainTextEdit* memo) {
  QString text;
  for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next()) {
    if (b != memo->document()->begin()) text += '\n';
    text += b.text();
  }
  text.replace(QChar::LineSeparator, '\n');
  return text.toStdString();
}

// A stored height, as the field would take it; nothing stored or a stored
// text that is no number leaves `height` as it is.
void LoadHeight(QSettings& settings, const char* key, double& height) {
  bool ok = false;
  const double v = settings.value(key).toDouble(&ok);
  if (ok && std::isfinite(v)) height = std::clamp(v, kMinHeight, kMaxHeight);
}

}  // namespace

TAddTextForm::TAddTextForm(QWidget* parent) : QDialog(parent) {
  form_ = DialogForm(this, "Text hinzufügen", "AddTextForm");
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setTabChangesFocus(true);
  form_->addRow(Memo1);
  FontSizeEd = new FloatSpinEdit(this, "FontSizeEd", kMinHeight, kMaxHeight);
  FontSizeDimensionEd = new FloatSpinEdit(this, "FontSizeDimensionEd", kMinHeight, kMaxHeight);
  WinkEd = new FloatSpinEdit(this, "WinkEd", 0, 360);
  form_->addRow("Schriftgröße:", FontSizeEd);
  form_->addRow("Schriftgröße:", FontSizeDimensionEd);
  form_->addRow("Winkel:", WinkEd);
  DialogButtons(this, form_);
  propose(TextDialogValues{});
}

void TAddTextForm::propose(const TextDialogValues& values) {
  QString memo = QString::fromStdString(values.Memo1);
  memo.replace("\r\n", "\n").replace('\r', '\n');
  Memo1->setPlainText(memo);
  FontSizeEd->setValue(values.FontSizeEd);
  FontSizeDimensionEd->setValue(values.FontSizeDimensionEd);
  WinkEd->setValue(values.WinkEd);
  form_->setRowVisible(FontSizeEd, !values.dimension);
  form_->setRowVisible(FontSizeDimensionEd, values.dimension);
  FontSizeEd->setEnabled(!values.textChange);
  WinkEd->setEnabled(!values.textChange);
}

DialogResult TAddTextForm::Run(TextDialogValues& values) {
  propose(values);
  const DialogResult result = RunDialog(this, Memo1);
  if (result != DialogResult::Ok) return result;
  values.Memo1 = MemoText(Memo1);
  values.FontSizeEd = FontSizeEd->value();
  values.FontSizeDimensionEd = FontSizeDimensionEd->value();
  values.WinkEd = WinkEd->value();
  return result;
}

void TAddTextForm::Load(QSettings& settings, TextDialogValues& values) {
  settings.beginGroup("AddTextForm");
  LoadHeight(settings, "FontSizeEd", values.FontSizeEd);
  LoadHeight(settings, "FontSizeDimensionEd", values.FontSizeDimensionEd);
  settings.endGroup();
}

void TAddTextForm::Save(QSettings& settings, const TextDialogValues& values) {
  settings.beginGroup("AddTextForm");
  settings.setValue("FontSizeEd", values.FontSizeEd);
  settings.setValue("FontSizeDimensionEd", values.FontSizeDimensionEd);
  settings.endGroup();
}

}  // namespace vestrel
