#include "dialogs/DruckenFUnit.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

namespace vestrel {

namespace {

QDoubleSpinBox* Field(QWidget* parent, const char* name, double min, double max, int decimals, double step) {
  auto* ed = new QDoubleSpinBox(parent);
  ed->setObjectName(name);
  ed->setRange(min, max);
  ed->setDecimals(decimals);
  ed->setSingleStep(step);
  ed->setAlignment(Qt::AlignRight);
  ed->setMinimumWidth(110);
  return ed;
}

constexpr double kNoLimit = 1e12;

}  // namespace

TDruckenForm::TDruckenForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Drucken/Seite einrichten");
  setObjectName("DruckenForm");
  auto* column = new QVBoxLayout(this);

  auto* scale = new QGroupBox("Skalierung", this);
  auto* s = new QGridLayout(scale);
  mmEd = Field(scale, "mmEd", 0.0001, 10000000000, 4, 1);
  UnitsEd = Field(scale, "UnitsEd", 0.0001, 10000000000, 4, 1);
  RxSpinEdit4 = Field(scale, "RxSpinEdit4", 0.0001, 10000000000, 4, 0.1);
  s->addWidget(mmEd, 0, 0);
  s->addWidget(new QLabel("mm =", scale), 0, 1);
  s->addWidget(UnitsEd, 0, 2);
  s->addWidget(new QLabel("Einheiten", scale), 0, 3);
  s->addWidget(RxSpinEdit4, 1, 0);
  s->addWidget(new QLabel("Zoll", scale), 1, 1);
  column->addWidget(scale);

  auto* offset = new QGroupBox("Offset", this);
  auto* o = new QGridLayout(offset);
  XOffsetEd = Field(offset, "XOffsetEd", -kNoLimit, kNoLimit, 4, 1);
  YOffsetEd = Field(offset, "YOffsetEd", -kNoLimit, kNoLimit, 4, 1);
  RxSpinEdit1 = Field(offset, "RxSpinEdit1", -kNoLimit, kNoLimit, 4, 0.1);
  RxSpinEdit2 = Field(offset, "RxSpinEdit2", -kNoLimit, kNoLimit, 4, 0.1);
  o->addWidget(new QLabel("X:", offset), 0, 0);
  o->addWidget(XOffsetEd, 0, 1);
  o->addWidget(new QLabel("mm", offset), 0, 2);
  o->addWidget(RxSpinEdit1, 0, 3);
  o->addWidget(new QLabel("Zoll", offset), 0, 4);
  o->addWidget(new QLabel("Y:", offset), 1, 0);
  o->addWidget(YOffsetEd, 1, 1);
  o->addWidget(new QLabel("mm", offset), 1, 2);
  o->addWidget(RxSpinEdit2, 1, 3);
  o->addWidget(new QLabel("Zoll", offset), 1, 4);
  column->addWidget(offset);

  auto* margin = new QHBoxLayout;
  RandEd = Field(this, "RandEd", -kNoLimit, kNoLimit, 4, 1);
  RxSpinEdit3 = Field(this, "RxSpinEdit3", -kNoLimit, kNoLimit, 4, 0.1);
  margin->addWidget(new QLabel("Seitenrand:", this));
  margin->addWidget(RandEd);
  margin->addWidget(new QLabel("mm", this));
  margin->addWidget(RxSpinEdit3);
  margin->addWidget(new QLabel("Zoll", this));
  column->addLayout(margin);

  mirror(mmEd, RxSpinEdit4);
  mirror(XOffsetEd, RxSpinEdit1);
  mirror(YOffsetEd, RxSpinEdit2);
  mirror(RandEd, RxSpinEdit3);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* setup = buttons->addButton("Drucker einrichten", QDialogButtonBox::ActionRole);
  setup->setObjectName("BitBtn3");
  buttons->addButton(QDialogButtonBox::Ok);
  QPushButton* preview = buttons->addButton("Vorschau", QDialogButtonBox::ActionRole);
  buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
  connect(setup, &QPushButton::clicked, this, [this] {
    if (BitBtn3Click) BitBtn3Click();
  });
  connect(preview, &QPushButton::clicked, this, [this] { done(static_cast<int>(DialogResult::Preview) + 100); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
}

void TDruckenForm::mirror(QDoubleSpinBox* mm, QDoubleSpinBox* inch) {
  connect(mm, &QDoubleSpinBox::valueChanged, this, [this, inch](double v) {
    if (dontch) return;
    dontch = true;
    inch->setValue(v / kMmPerInch);
    dontch = false;
  });
  connect(inch, &QDoubleSpinBox::valueChanged, this, [this, mm](double v) {
    if (dontch) return;
    dontch = true;
    mm->setValue(v * kMmPerInch);
    dontch = false;
  });
}

void TDruckenForm::FormShow() {
  dontch = true;
  RxSpinEdit4->setValue(mmEd->value() / kMmPerInch);
  RxSpinEdit1->setValue(XOffsetEd->value() / kMmPerInch);
  RxSpinEdit2->setValue(YOffsetEd->value() / kMmPerInch);
  RxSpinEdit3->setValue(RandEd->value() / kMmPerInch);
  dontch = false;
}

DialogResult TDruckenForm::Run(PrintSetup& setup) {
  dontch = true;
  mmEd->setValue(setup.mmEd);
  UnitsEd->setValue(setup.UnitsEd);
  XOffsetEd->setValue(setup.XOffsetEd);
  YOffsetEd->setValue(setup.YOffsetEd);
  RandEd->setValue(setup.RandEd);
  dontch = false;
  FormShow();
  const int closed = exec();
  const DialogResult result = closed == QDialog::Accepted                                   ? DialogResult::Ok
                              : closed == static_cast<int>(DialogResult::Preview) + 100 ? DialogResult::Preview
                                                                                         : DialogResult::Cancel;
  if (result == DialogResult::Cancel) return result;
  setup.mmEd = mmEd->value();
  setup.UnitsEd = UnitsEd->value();
  setup.XOffsetEd = XOffsetEd->value();
  setup.YOffsetEd = YOffsetEd->value();
  setup.RandEd = RandEd->value();
  return result;
}

void TDruckenForm::Load(QSettings& settings, PrintSetup& setup) {
  settings.beginGroup("DruckenForm");
  // A stored value the dialog could not show (not a number, infinite, a
  // scale of nothing) is not taken: the setting stays as it was.
  auto take = [&](const char* key, double& value, double least) {
    const double stored = settings.value(key, value).toDouble();
    if (std::isfinite(stored) && stored >= least) value = stored;
  };
  const double any = -std::numeric_limits<double>::max();
  take("XOffsetEd", setup.XOffsetEd, any);
  take("YOffsetEd", setup.YOffsetEd, any);
  take("RandEd", setup.RandEd, any);
  take("UnitsEd", setup.UnitsEd, 0.0001);
  take("mmEd", setup.mmEd, 0.0001);
  settings.endGroup();
}

void TDruckenForm::Save(QSettings& settings, const PrintSetup& setup) {
  settings.beginGroup("DruckenForm");
  settings.setValue("XOffsetEd", setup.XOffsetEd);
  settings.setValue("YOffsetEd", setup.YOffsetEd);
  settings.setValue("RandEd", setup.RandEd);
  settings.setValue("UnitsEd", setup.UnitsEd);
  settings.setValue("mmEd", setup.mmEd);
  settings.endGroup();
}

}  // namespace vestrel
