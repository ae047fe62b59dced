// The dialog "Raster": the spacing of the snap grid, in drawing units.
#pragma once

#include <QDialog>

#include "platform/platform.h"

namespace vestrel {

class FloatSpinEdit;

class TRasterForm : public QDialog {
  Q_OBJECT
 public:
  explicit TRasterForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was typed afterwards.
  DialogResult Run(RasterDialogValues& values);

  FloatSpinEdit* AbstandEd;
};

}  // namespace vestrel
