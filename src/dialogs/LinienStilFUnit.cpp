#include "dialogs/LinienStilFUnit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "dialogs/fields.h"

namespace vestrel {

namespace {

// The patterns to start from: dashes > 0, gaps < 0, dots 0.
struct Preset {
  const char* name;
  const char* caption;
  const char* lines;
};
const Preset kPresets[] = {
    {"BitBtn3", "Punkte", "0.0\n-0.635"},
    {"BitBtn4", "Striche", "1.27\n-0.635"},
    {"BitBtn5", "Center", "6.4\n-1.27\n1.27\n-1.27"},
    {"BitBtn6", "Center 2x", "12.7\n-2.54\n2.54\n-2.54"},
    {"BitBtn7", "Phantom", "6.4\n-1.27\n1.27\n-1.27\n1.27\n-1.27"},
};

}  // namespace

TLinienstilForm::TLinienstilForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Linienstil hinzufügen", "LinienstilForm");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setMinimumHeight(120);
  form->addRow("Name:", Edit1);
  form->addRow("Beschreibung:", Edit2);
  auto* explanation = new QLabel(
      "Muster (je eine Zeile für einen Strich oder eine Lücke, negative Zahlen sind Lücken, positive Zahlen "
      "Striche. Vom Betrag her große Zahlen sind lange Striche oder Lücken, kleine Zahlen entstsprechend kleine "
      "Lücken).",
      this);
  explanation->setWordWrap(true);
  form->addRow(explanation);
  form->addRow(Memo1);
  auto* presets = new QHBoxLayout;
  for (const Preset& p : kPresets) {
    auto* b = new QPushButton(p.caption, this);
    b->setObjectName(p.name);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, lines = p.lines] { Memo1->setPlainText(lines); });
    presets->addWidget(b);
  }
  form->addRow(presets);
  DialogButtons(this, form);
}

DialogResult TLinienstilForm::Run(LineStyleDialogValues& values) {
  Edit1->setText(QString::fromStdString(values.Edit1));
  Edit2->setText(QString::fromStdString(values.Edit2));
  Memo1->setPlainText(QString::fromStdString(values.Memo1));
  const DialogResult result = RunDialog(this, Edit1);
  if (result != DialogResult::Ok) return result;
  values.Edit1 = Edit1->text().toStdString();
  values.Edit2 = Edit2->text().toStdString();
  values.Memo1 = Memo1->toPlainText().toStdString();
  return result;
}

}  // namespace vestrel
