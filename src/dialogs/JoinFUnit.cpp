#include "dialogs/JoinFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TJoinForm::TJoinForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Verbinden", "JoinForm");
  // Tolerances of a millionth of the drawing's size need the decimals.
  ToleranzEd = new FloatSpinEdit(this, "ToleranzEd", 0, 1e9, 12);
  ToleranzEd->setValue(JoinDialogValues{}.ToleranzEd);
  form->addRow("Toleranz:", ToleranzEd);
  DialogButtons(this, form);
}

DialogResult TJoinForm::Run(JoinDialogValues& values) {
  ToleranzEd->setValue(values.ToleranzEd);
  const DialogResult result = RunDialog(this, ToleranzEd);
  if (result == DialogResult::Ok) values.ToleranzEd = ToleranzEd->value();
  return result;
}

}  // namespace vestrel
