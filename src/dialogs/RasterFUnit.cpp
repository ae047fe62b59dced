#include "dialogs/RasterFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TRasterForm::TRasterForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Raster", "RasterForm");
  AbstandEd = new FloatSpinEdit(this, "AbstandEd", 0.000001, 1000000000);
  AbstandEd->setValue(RasterDialogValues{}.AbstandEd);
  form->addRow("Rasterabstand:", AbstandEd);
  DialogButtons(this, form);
}

DialogResult TRasterForm::Run(RasterDialogValues& values) {
  AbstandEd->setValue(values.AbstandEd);
  const DialogResult result = RunDialog(this, AbstandEd);
  if (result == DialogResult::Ok) values.AbstandEd = AbstandEd->value();
  return result;
}

}  // namespace vestrel
