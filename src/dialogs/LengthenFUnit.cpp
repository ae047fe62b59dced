#include "dialogs/LengthenFUnit.h"

#include <QComboBox>
#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TLengthenForm::TLengthenForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Verlängern", "LengthenForm");
  ArtCombo = new QComboBox(this);
  ArtCombo->setObjectName("ArtCombo");
  ArtCombo->addItems({"um", "auf"});
  // A negative change shortens.
  DeltaEd = new FloatSpinEdit(this, "DeltaEd", -kUnbounded, kUnbounded, 10);
  DeltaEd->setValue(LengthenDialogValues{}.DeltaEd);
  form->addRow("Verlängern:", ArtCombo);
  form->addRow("Länge:", DeltaEd);
  DialogButtons(this, form);
}

DialogResult TLengthenForm::Run(LengthenDialogValues& values) {
  ArtCombo->setCurrentIndex(values.ArtCombo == 1 ? 1 : 0);
  DeltaEd->setValue(values.DeltaEd);
  const DialogResult result = RunDialog(this, DeltaEd);
  if (result == DialogResult::Ok) {
    values.ArtCombo = ArtCombo->currentIndex();
    values.DeltaEd = DeltaEd->value();
  }
  return result;
}

}  // namespace vestrel
