// The new-layer dialog "Neue Ebene hinzufügen": the name of a new layer,
// its line type, colour and line weight. Whether the name will do is
// decided by its caller.
#pragma once

#include <QDialog>

#include "platform/platform.h"

class QComboBox;
class QLineEdit;

namespace vestrel {

class TAddNewLayerForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAddNewLayerForm(QWidget* parent = nullptr);

  // Shows the dialog on `values` (its line types listed from them), which
  // hold what was typed and chosen afterwards, whatever closed it.
  DialogResult Run(NewLayerDialogValues& values);

  QLineEdit* Edit1;
  QComboBox *LineCombo, *ColorComboBox, *LineWeightBox;
};

}  // namespace vestrel
