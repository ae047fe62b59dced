#include "dialogs/PolarFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TPolarForm::TPolarForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Polar", "PolarForm");
  WinkelEd = new FloatSpinEdit(this, "WinkelEd", 0.01, 180);
  WinkelEd->setValue(PolarDialogValues{}.WinkelEd);
  form->addRow("Winkelschritt in °:", WinkelEd);
  DialogButtons(this, form);
}

DialogResult TPolarForm::Run(PolarDialogValues& values) {
  WinkelEd->setValue(values.WinkelEd);
  const DialogResult result = RunDialog(this, WinkelEd);
  if (result == DialogResult::Ok) values.WinkelEd = WinkelEd->value();
  return result;
}

}  // namespace vestrel
