#include "dialogs/ArrayFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TArrayForm::TArrayForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Array erstellen", "ArrayForm");
  SpaltenEd = new IntSpinEdit(this, "SpaltenEd", 1, kArrayMaxCount);
  ZeilenEd = new IntSpinEdit(this, "ZeilenEd", 1, kArrayMaxCount);
  SpaltenAbstandEd = new FloatSpinEdit(this, "SpaltenAbstandEd", -kUnbounded, kUnbounded);
  ZeilenAbstandEd = new FloatSpinEdit(this, "ZeilenAbstandEd", -kUnbounded, kUnbounded);
  RotierenEd = new FloatSpinEdit(this, "RotierenEd", -kUnbounded, kUnbounded);
  form->addRow("Spalten:", SpaltenEd);
  form->addRow("Zeilen:", ZeilenEd);
  form->addRow("Spalten Abstand:", SpaltenAbstandEd);
  form->addRow("Zeilen Abstand:", ZeilenAbstandEd);
  form->addRow("Rotieren:", RotierenEd);
  DialogButtons(this, form);
  propose(ArrayDialogValues{});
}

void TArrayForm::propose(const ArrayDialogValues& values) {
  SpaltenEd->setValue(values.SpaltenEd);
  ZeilenEd->setValue(values.ZeilenEd);
  SpaltenAbstandEd->setValue(values.SpaltenAbstandEd);
  ZeilenAbstandEd->setValue(values.ZeilenAbstandEd);
  RotierenEd->setValue(values.RotierenEd);
}

DialogResult TArrayForm::Run(ArrayDialogValues& values) {
  propose(values);
  const DialogResult result = RunDialog(this, SpaltenEd);
  if (result != DialogResult::Ok) return result;
  values.SpaltenEd = SpaltenEd->value();
  values.ZeilenEd = ZeilenEd->value();
  values.SpaltenAbstandEd = SpaltenAbstandEd->value();
  values.ZeilenAbstandEd = ZeilenAbstandEd->value();
  values.RotierenEd = RotierenEd->value();
  return result;
}

}  // namespace vestrel
