#include "dialogs/ViewPortFUnit.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <limits>

namespace vestrel {

TViewPortForm::TViewPortForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Viewport konfigurieren");
  setObjectName("ViewPortForm");
  auto* form = new QFormLayout(this);
  auto field = [&](const char* name, const char* label) {
    auto* ed = new QDoubleSpinBox(this);
    ed->setObjectName(name);
    ed->setRange(-std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
    ed->setDecimals(4);
    ed->setAlignment(Qt::AlignRight);
    ed->setMinimumWidth(140);
    form->addRow(label, ed);
    return ed;
  };
  breiteEd = field("breiteEd", "Breite:");
  HoeheEd = field("HoeheEd", "Höhe:");
  MitteXEd = field("MitteXEd", "Mitte X:");
  MitteYEd = field("MitteYEd", "Mitte Y:");
  InhaltX = field("InhaltX", "Inhalt X:");
  InhaltY = field("InhaltY", "Inhalt Y:");
  HeiContEd = field("HeiContEd", "Höhe Inhalt:");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  form->addRow(buttons);
}

void TViewPortForm::Run(ViewportValues& v) {
  breiteEd->setValue(v.Breite);
  HoeheEd->setValue(v.Hoehe);
  MitteXEd->setValue(v.MitteX);
  MitteYEd->setValue(v.MitteY);
  InhaltX->setValue(v.InhaltX);
  InhaltY->setValue(v.InhaltY);
  HeiContEd->setValue(v.HoeheInhalt);
  exec();
  v.Breite = breiteEd->value();
  v.Hoehe = HoeheEd->value();
  v.MitteX = MitteXEd->value();
  v.MitteY = MitteYEd->value();
  v.InhaltX = InhaltX->value();
  v.InhaltY = InhaltY->value();
  v.HoeheInhalt = HeiContEd->value();
}

}  // namespace vestrel
