// The dialog "Zuschnitt prüfen": the tolerance, whether the drawing is
// ready to cut, the findings (the errors apart from the kinds the machines
// do not take) and what cutting costs per part and in total, which
// "Kopieren" puts on the clipboard. A changed tolerance checks again, a
// double click on a finding zooms the view to it, and "Bereinigen"
// repairs (closing gaps up to "Lücken schließen bis:") and says what it
// did, all through the editor's steps while the dialog stays open.
#pragma once

#include <QDialog>

#include "platform/platform.h"

class QLabel;
class QTreeWidget;

namespace vestrel {

class FloatSpinEdit;

class TZuschnittForm : public QDialog {
  Q_OBJECT
 public:
  explicit TZuschnittForm(QWidget* parent = nullptr);

  // Shows the dialog on `values` until OK; they hold the last check then.
  void Run(CutCheckDialogValues& values, CutCheckSteps& steps);

  FloatSpinEdit *ToleranzEd, *LueckenEd;
  QLabel *ErgebnisLabel, *BereinigtLabel, *FehlerMehrLabel, *HinweisMehrLabel, *TeileMehrLabel;
  QTreeWidget *FehlerListe, *HinweisListe, *ZahlenListe;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void show(const CutCheckDialogValues& values);
  // The figures as text: the headings and each row, tab between columns.
  QString figuresText() const;

  CutCheckDialogValues* values_ = nullptr;
  CutCheckSteps* steps_ = nullptr;
};

}  // namespace vestrel
