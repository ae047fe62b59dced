#include "dialogs/PolygonFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TPolygonForm::TPolygonForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Vieleck", "PolygonForm");
  EckenEd = new IntSpinEdit(this, "EckenEd", 3, 1000);
  EckenEd->setValue(PolygonDialogValues{}.EckenEd);
  form->addRow("Anzahl der Eckpunkte:", EckenEd);
  DialogButtons(this, form);
}

DialogResult TPolygonForm::Run(PolygonDialogValues& values) {
  EckenEd->setValue(values.EckenEd);
  const DialogResult result = RunDialog(this, EckenEd);
  if (result == DialogResult::Ok) values.EckenEd = EckenEd->value();
  return result;
}

}  // namespace vestrel
