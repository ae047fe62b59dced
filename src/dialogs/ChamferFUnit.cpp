#include "dialogs/ChamferFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TChamferForm::TChamferForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Fasen", "ChamferForm");
  Abstand1Ed = new FloatSpinEdit(this, "Abstand1Ed", 0, 1e9);
  Abstand1Ed->setValue(ChamferDialogValues{}.Abstand1Ed);
  form->addRow("Erster Abstand:", Abstand1Ed);
  Abstand2Ed = new FloatSpinEdit(this, "Abstand2Ed", 0, 1e9);
  Abstand2Ed->setValue(ChamferDialogValues{}.Abstand2Ed);
  form->addRow("Zweiter Abstand:", Abstand2Ed);
  DialogButtons(this, form);
}

DialogResult TChamferForm::Run(ChamferDialogValues& values) {
  Abstand1Ed->setValue(values.Abstand1Ed);
  Abstand2Ed->setValue(values.Abstand2Ed);
  const DialogResult result = RunDialog(this, Abstand1Ed);
  if (result == DialogResult::Ok) {
    values.Abstand1Ed = Abstand1Ed->value();
    values.Abstand2Ed = Abstand2Ed->value();
  }
  return result;
}

}  // namespace vestrel
