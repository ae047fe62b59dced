#include "dialogs/ViewPortFUnit.h"

#include <QFormLayout>

#include "dialogs/fields.h"

namespace vestrel {

TViewPortForm::TViewPortForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Viewport konfigurieren", "ViewPortForm");
  auto field = [&](const char* label, const char* name) {
    // "." as decimal separator whatever the locale, and ten decimals, so
    // that OK without a change keeps what the drawing has.
    auto* ed = new FloatSpinEdit(this, name, -kUnbounded, kUnbounded, 10);
    ed->setAlignment(Qt::AlignRight);
    ed->setMinimumWidth(140);
    form->addRow(label, ed);
    return ed;
  };
  breiteEd = field("Breite:", "breiteEd");
  HoeheEd = field("Höhe:", "HoeheEd");
  MitteXEd = field("Mitte X:", "MitteXEd");
  MitteYEd = field("Mitte Y:", "MitteYEd");
  InhaltX = field("Inhalt X:", "InhaltX");
  InhaltY = field("Inhalt Y:", "InhaltY");
  HeiContEd = field("Höhe Inhalt:", "HeiContEd");
  DialogButtons(this, form);
}

DialogResult TViewPortForm::Run(ViewportValues& v) {
  breiteEd->setValue(v.Breite);
  HoeheEd->setValue(v.Hoehe);
  MitteXEd->setValue(v.MitteX);
  MitteYEd->setValue(v.MitteY);
  InhaltX->setValue(v.InhaltX);
  InhaltY->setValue(v.InhaltY);
  HeiContEd->setValue(v.HoeheInhalt);
  const DialogResult result = RunDialog(this);
  if (result != DialogResult::Ok) return result;
  v.Breite = breiteEd->value();
  v.Hoehe = HoeheEd->value();
  v.MitteX = MitteXEd->value();
  v.MitteY = MitteYEd->value();
  v.InhaltX = InhaltX->value();
  v.InhaltY = InhaltY->value();
  v.HoeheInhalt = HeiContEd->value();
  return result;
}

}  // namespace vestrel
