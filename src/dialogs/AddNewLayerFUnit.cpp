#include "dialogs/AddNewLayerFUnit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include "dialogs/fields.h"

namespace vestrel {

namespace {

QComboBox* List(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setMinimumContentsLength(16);
  return box;
}

// Entry `index` of `box`, or its first when there is no such entry.
void Choose(QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0); }

}  // namespace

TAddNewLayerForm::TAddNewLayerForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Neue Ebene hinzufügen", "AddNewLayerForm");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  LineCombo = List(this, "LineCombo");
  ColorComboBox = List(this, "ColorComboBox");
  ColorComboBox->addItems({"Rot", "Gelb", "Grün", "Hellblau", "Blau", "Rosa", "Schwarz", "Grau", "Hellgrau"});
  LineWeightBox = List(this, "LineWeightBox");
  for (const int w : kLayerLineWeights)
    LineWeightBox->addItem(w < 0 ? QString("Standard") : QString::asprintf("%d.%02d mm", w / 100, w % 100));
  form->addRow("Name:", Edit1);
  form->addRow("Linienstil:", LineCombo);
  form->addRow("Linienfarbe:", ColorComboBox);
  form->addRow("Linienbreite:", LineWeightBox);
  DialogButtons(this, form);
}

DialogResult TAddNewLayerForm::Run(NewLayerDialogValues& values) {
  Edit1->setText(QString::fromStdString(values.Edit1));
  LineCombo->clear();
  for (const std::string& name : values.linetypes) LineCombo->addItem(QString::fromStdString(name));
  Choose(LineCombo, values.LineCombo);
  Choose(ColorComboBox, values.ColorComboBox);
  Choose(LineWeightBox, values.LineWeightBox);
  const DialogResult result = RunDialog(this, Edit1);
  if (result != DialogResult::Ok) return result;
  values.Edit1 = Edit1->text().toStdString();
  values.LineCombo = LineCombo->currentIndex();
  values.ColorComboBox = ColorComboBox->currentIndex();
  values.LineWeightBox = LineWeightBox->currentIndex();
  return result;
}

}  // namespace vestrel
