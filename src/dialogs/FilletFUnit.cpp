#include "dialogs/FilletFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TFilletForm::TFilletForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Abrunden", "FilletForm");
  // Radius 0 makes a sharp corner.
  RadiusEd = new FloatSpinEdit(this, "RadiusEd", 0, 1e9);
  RadiusEd->setValue(FilletDialogValues{}.RadiusEd);
  form->addRow("Radius:", RadiusEd);
  DialogButtons(this, form);
}

DialogResult TFilletForm::Run(FilletDialogValues& values) {
  RadiusEd->setValue(values.RadiusEd);
  const DialogResult result = RunDialog(this, RadiusEd);
  if (result == DialogResult::Ok) values.RadiusEd = RadiusEd->value();
  return result;
}

}  // namespace vestrel
