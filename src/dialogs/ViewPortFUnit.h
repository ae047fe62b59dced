// The viewport dialog "Viewport konfigurieren": the size and centre of a
// new viewport on the sheet, and the part of the model it shows.
#pragma once

#include <QDialog>

#include "platform/platform.h"

class QDoubleSpinBox;

namespace vestrel {

class TViewPortForm : public QDialog {
  Q_OBJECT
 public:
  explicit TViewPortForm(QWidget* parent = nullptr);

  // Proposes `values`, and takes back what they became, whatever closes it.
  DialogResult Run(ViewportValues& values);

  QDoubleSpinBox *breiteEd, *HoeheEd, *MitteXEd, *MitteYEd, *InhaltX, *InhaltY, *HeiContEd;
};

}  // namespace vestrel
