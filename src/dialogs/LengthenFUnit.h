// The dialog "Verlängern": by how much, or to which total length, the
// clicked ends go.
#pragma once

#include <QDialog>

#include "platform/platform.h"

class QComboBox;

namespace vestrel {

class FloatSpinEdit;

class TLengthenForm : public QDialog {
  Q_OBJECT
 public:
  explicit TLengthenForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`, which hold what was chosen afterwards.
  DialogResult Run(LengthenDialogValues& values);

  QComboBox* ArtCombo;
  FloatSpinEdit* DeltaEd;
};

}  // namespace vestrel
