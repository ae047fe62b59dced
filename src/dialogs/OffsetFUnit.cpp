#include "dialogs/OffsetFUnit.h"

#include <QCheckBox>
#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TOffsetForm::TOffsetForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Parallele", "OffsetForm");
  AbstandEd = new FloatSpinEdit(this, "AbstandEd", 0, kUnbounded, 9);
  AbstandEd->setValue(OffsetDialogValues{}.AbstandEd);
  form->addRow("Abstand:", AbstandEd);
  DurchPunktCb = new QCheckBox("Durch einen Punkt", this);
  DurchPunktCb->setObjectName("DurchPunktCb");
  form->addRow(DurchPunktCb);
  DialogButtons(this, form);
}

DialogResult TOffsetForm::Run(OffsetDialogValues& values) {
  AbstandEd->setValue(values.AbstandEd);
  DurchPunktCb->setChecked(values.DurchPunktCb);
  const DialogResult result = RunDialog(this, AbstandEd);
  if (result == DialogResult::Ok) {
    values.AbstandEd = AbstandEd->value();
    values.DurchPunktCb = DurchPunktCb->isChecked();
  }
  return result;
}

}  // namespace vestrel
