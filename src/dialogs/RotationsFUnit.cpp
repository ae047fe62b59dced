#include "dialogs/RotationsFUnit.h"

#include <QFormLayout>
#include <QLabel>

#include "dialogs/fields.h"

namespace vestrel {

TRotationsForm::TRotationsForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Rotationswinkel eingeben", "RotationsForm");
  RotEd = new FloatSpinEdit(this, "RotEd", -kUnbounded, kUnbounded);
  RotEd->setValue(RotationDialogValues{}.RotEd);
  form->addRow("Rotation in °:", RotEd);
  form->addRow(new QLabel("Die Rotation erfolgt im Uhrzeigersinn.", this));
  DialogButtons(this, form);
}

DialogResult TRotationsForm::Run(RotationDialogValues& values) {
  RotEd->setValue(values.RotEd);
  const DialogResult result = RunDialog(this, RotEd);
  if (result == DialogResult::Ok) values.RotEd = RotEd->value();
  return result;
}

}  // namespace vestrel
