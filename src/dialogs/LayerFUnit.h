// The layer manager "Ebenen": the drawing's layers in a list with their
// colour, visibility, lock, line type and weight, and the buttons that
// change the selected row. The list is the edit buffer; what it holds when
// the dialog closes is written back by its caller.
#pragma once

#include <QDialog>

#include "platform/platform.h"

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace vestrel {

class TLayerForm : public QDialog {
  Q_OBJECT
 public:
  explicit TLayerForm(QWidget* parent = nullptr);

  // Shows the dialog on `values`; their rows come back as the buttons left
  // them, and newLayer tells whether "Neue Ebene..." closed it.
  DialogResult Run(LayerDialogValues& values);

  QTreeWidget* ListView1;
  QComboBox *ColorComboBox, *LineCombo, *LineWeightBox;
  QPushButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4, *BitBtn5, *BitBtn6, *BitBtn7, *BitBtn8, *BitBtn9, *AktuellBtn;

 private:
  // Sets column `column` of the selected row to `text`, when `only` is
  // empty or the column holds it.
  void setSelected(int column, const QString& text, const QString& only = {});

  // Makes row `row` the current layer's, shown in bold.
  void setCurrent(int row);

  const LayerDialogValues* values_ = nullptr;
  bool newLayer_ = false;
  int current_ = -1;
};

}  // namespace vestrel
