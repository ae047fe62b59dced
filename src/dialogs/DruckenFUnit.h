// The print dialog "Drucken/Seite einrichten": the scale (millimetres of
// paper for so many drawing units), the offset of the drawing's origin and
// the page margin, each millimetre field with an inch field beside it.
#pragma once

#include <QDialog>
#include <functional>

#include "platform/platform.h"

class QDoubleSpinBox;
class QSettings;

namespace vestrel {

class TDruckenForm : public QDialog {
  Q_OBJECT
 public:
  explicit TDruckenForm(QWidget* parent = nullptr);

  // Shows the dialog on `setup`; the values stay whatever button closes it.
  DialogResult Run(PrintSetup& setup);

  // The five values and the dialog's place, kept between runs.
  static void Load(QSettings& settings, PrintSetup& setup);
  static void Save(QSettings& settings, const PrintSetup& setup);

  // The printer's own set-up dialog ("Drucker einrichten").
  std::function<void()> BitBtn3Click;

  QDoubleSpinBox *mmEd, *UnitsEd, *RxSpinEdit4;
  QDoubleSpinBox *XOffsetEd, *YOffsetEd, *RxSpinEdit1, *RxSpinEdit2;
  QDoubleSpinBox *RandEd, *RxSpinEdit3;

 private:
  void FormShow();
  // Keeps a millimetre field and its inch field equal.
  void mirror(QDoubleSpinBox* mm, QDoubleSpinBox* inch);

  bool dontch = false;
};

}  // namespace vestrel
