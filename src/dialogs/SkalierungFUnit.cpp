#include "dialogs/SkalierungFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TSkalierungForm::TSkalierungForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Skalierungsfaktor eingeben", "SkalierungForm");
  SkalEd = new FloatSpinEdit(this, "SkalEd", 0.00001, 100000);
  SkalEd->setValue(ScaleDialogValues{}.SkalEd);
  form->addRow("Skalierung in %:", SkalEd);
  DialogButtons(this, form);
}

DialogResult TSkalierungForm::Run(ScaleDialogValues& values) {
  SkalEd->setValue(values.SkalEd);
  const DialogResult result = RunDialog(this, SkalEd);
  if (result == DialogResult::Ok) values.SkalEd = SkalEd->value();
  return result;
}

}  // namespace vestrel
