#include "dialogs/numberforms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

#include "dialogs/fields.h"

namespace vestrel {

NumberFormBase::NumberFormBase(QWidget* parent, const char* caption, const char* name)
    : QDialog(parent), form_(DialogForm(this, caption, name)) {}

QWidget* NumberFormBase::add(const NumberRow& row) {
  const QString label = QString::fromUtf8(row.label);
  QWidget* control = nullptr;
  switch (row.kind) {
    case NumberRow::Decimal: control = new FloatSpinEdit(this, row.name, row.min, row.max, row.decimals); break;
    case NumberRow::Whole: control = new IntSpinEdit(this, row.name, int(row.min), int(row.max)); break;
    case NumberRow::Choice: {
      auto* box = new QComboBox(this);
      box->setObjectName(row.name);
      box->addItems(row.items);
      control = box;
      break;
    }
    case NumberRow::Switch: {
      auto* box = new QCheckBox(label, this);
      box->setObjectName(row.name);
      form_->addRow(box);
      return box;
    }
    case NumberRow::Note: form_->addRow(new QLabel(label, this)); return nullptr;
  }
  if (!focus_ && qobject_cast<QAbstractSpinBox*>(control)) focus_ = control;
  form_->addRow(label, control);
  return control;
}

void NumberFormBase::addButtons() { DialogButtons(this, form_); }

DialogResult NumberFormBase::runForm() { return RunDialog(this, focus_); }

void NumberFormBase::put(QWidget* control, double value) {
  if (auto* e = qobject_cast<QDoubleSpinBox*>(control))
    e->setValue(value);
  else if (auto* e = qobject_cast<QSpinBox*>(control))
    e->setValue(int(value));
  else if (auto* b = qobject_cast<QComboBox*>(control))  // an index beyond the list: its first item
    b->setCurrentIndex(value >= 0 && value < b->count() ? int(value) : 0);
  else if (auto* b = qobject_cast<QCheckBox*>(control))
    b->setChecked(value != 0);
}

double NumberFormBase::take(QWidget* control) {
  if (auto* e = qobject_cast<QDoubleSpinBox*>(control)) return e->value();
  if (auto* e = qobject_cast<QSpinBox*>(control)) return e->value();
  if (auto* b = qobject_cast<QComboBox*>(control)) return b->currentIndex();
  if (auto* b = qobject_cast<QCheckBox*>(control)) return b->isChecked();
  return 0;
}

TPolarForm::TPolarForm(QWidget* parent)
    : NumberForm(parent, "Polar", "PolarForm",
                 {Decimal<&PolarDialogValues::WinkelEd>("WinkelEd", "Winkelschritt in °:", 0.01, 180)}) {}

TRasterForm::TRasterForm(QWidget* parent)
    : NumberForm(parent, "Raster", "RasterForm",
                 {Decimal<&RasterDialogValues::AbstandEd>("AbstandEd", "Rasterabstand:", 0.000001, 1000000000)}) {}

TPolygonForm::TPolygonForm(QWidget* parent)
    : NumberForm(parent, "Vieleck", "PolygonForm",
                 {Whole<&PolygonDialogValues::EckenEd>("EckenEd", "Anzahl der Eckpunkte:", 3, 1000)}) {}

TRotationsForm::TRotationsForm(QWidget* parent)
    : NumberForm(parent, "Rotationswinkel eingeben", "RotationsForm",
                 {Decimal<&RotationDialogValues::RotEd>("RotEd", "Rotation in °:", -kUnbounded, kUnbounded),
                  Note("Die Rotation erfolgt im Uhrzeigersinn.")}) {}

TSkalierungForm::TSkalierungForm(QWidget* parent)
    : NumberForm(parent, "Skalierungsfaktor eingeben", "SkalierungForm",
                 {Decimal<&ScaleDialogValues::SkalEd>("SkalEd", "Skalierung in %:", 0.00001, 100000)}) {}

// Tolerances of a millionth of the drawing's size need the decimals.
TJoinForm::TJoinForm(QWidget* parent)
    : NumberForm(parent, "Verbinden", "JoinForm",
                 {Decimal<&JoinDialogValues::ToleranzEd>("ToleranzEd", "Toleranz:", 0, 1e9, 12)}) {}

// A negative change shortens.
TLengthenForm::TLengthenForm(QWidget* parent)
    : NumberForm(parent, "Verlängern", "LengthenForm",
                 {Choice<&LengthenDialogValues::ArtCombo>("ArtCombo", "Verlängern:", {"um", "auf"}),
                  Decimal<&LengthenDialogValues::DeltaEd>("DeltaEd", "Länge:", -kUnbounded, kUnbounded, 10)}) {}

TOffsetForm::TOffsetForm(QWidget* parent)
    : NumberForm(parent, "Parallele", "OffsetForm",
                 {Decimal<&OffsetDialogValues::AbstandEd>("AbstandEd", "Abstand:", 0, kUnbounded, 9),
                  Switch<&OffsetDialogValues::DurchPunktCb>("DurchPunktCb", "Durch einen Punkt")}) {}

// Radius 0 makes a sharp corner.
TFilletForm::TFilletForm(QWidget* parent)
    : NumberForm(parent, "Abrunden", "FilletForm",
                 {Decimal<&FilletDialogValues::RadiusEd>("RadiusEd", "Radius:", 0, 1e9)}) {}

TArrayForm::TArrayForm(QWidget* parent)
    : NumberForm(parent, "Array erstellen", "ArrayForm",
                 {Whole<&ArrayDialogValues::SpaltenEd>("SpaltenEd", "Spalten:", 1, kArrayMaxCount),
                  Whole<&ArrayDialogValues::ZeilenEd>("ZeilenEd", "Zeilen:", 1, kArrayMaxCount),
                  Decimal<&ArrayDialogValues::SpaltenAbstandEd>("SpaltenAbstandEd", "Spalten Abstand:", -kUnbounded,
                          kUnbounded),
                  Decimal<&ArrayDialogValues::ZeilenAbstandEd>("ZeilenAbstandEd", "Zeilen Abstand:", -kUnbounded,
                          kUnbounded),
                  Decimal<&ArrayDialogValues::RotierenEd>("RotierenEd", "Rotieren:", -kUnbounded, kUnbounded)}) {}

TChamferForm::TChamferForm(QWidget* parent)
    : NumberForm(parent, "Fasen", "ChamferForm",
                 {Decimal<&ChamferDialogValues::Abstand1Ed>("Abstand1Ed", "Erster Abstand:", 0, 1e9),
                  Decimal<&ChamferDialogValues::Abstand2Ed>("Abstand2Ed", "Zweiter Abstand:", 0, 1e9)}) {}

}  // namespace vestrel
