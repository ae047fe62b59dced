#include "dialogs/SkalierungFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TSkalierungForm::TSkalierungForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Skalierungsfaktor eingeben", "SkalierungForm");
  SkalEd = new FloatSpinEdit(this, "SkalEd", 0.00001, 100000);
  SkalEd->setValue(ScaleDialogValues{}.SkalEd);
  form->addRow("Skalierung in %:", SkalEd);
  DialogButtons(this, form, false);
}

void TSkalierungForm::Run(ScaleDialogValues& values) {
  SkalEd->setValue(values.SkalEd);
  RunDialog(this, SkalEd);
  values.SkalEd = SkalEd->value();
}

}  // namespace vestrel
