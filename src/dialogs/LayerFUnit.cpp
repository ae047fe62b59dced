#include "dialogs/LayerFUnit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/fields.h"

namespace vestrel {

namespace {

enum Column { kName, kFarbe, kSichtbar, kGesperrt, kLinienstil, kLinienbreite };

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QComboBox* List(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setMinimumContentsLength(14);
  return box;
}

}  // namespace

TLayerForm::TLayerForm(QWidget* parent) : QDialog(parent) {
  setObjectName("LayerForm");
  setWindowTitle("Ebenen");
  auto* column = new QVBoxLayout(this);
  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setRootIsDecorated(false);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setHeaderLabels({"Name", "Farbe", "Sichtbar", "Gesperrt", "Linienstil", "Linienbreite"});
  ListView1->setMinimumSize(620, 260);
  column->addWidget(ListView1);

  auto* grid = new QGridLayout;
  ColorComboBox = List(this, "ColorComboBox");
  LineCombo = List(this, "LineCombo");
  LineWeightBox = List(this, "LineWeightBox");
  for (const int w : kLayerLineWeights)
    LineWeightBox->addItem(w < 0 ? QString("Standard") : QString::asprintf("%d.%02d mm", w / 100, w % 100));
  BitBtn2 = Button(this, "BitBtn2", "Farbe setzen");
  BitBtn3 = Button(this, "BitBtn3", "Sichtbar machen");
  BitBtn4 = Button(this, "BitBtn4", "Unsichtbar machen");
  BitBtn6 = Button(this, "BitBtn6", "Sperren");
  BitBtn7 = Button(this, "BitBtn7", "Entsperren");
  BitBtn8 = Button(this, "BitBtn8", "Linienstil setzen");
  BitBtn9 = Button(this, "BitBtn9", "Linienbreite setzen");
  AktuellBtn = Button(this, "AktuellBtn", "Aktuell");
  grid->addWidget(new QLabel("Farbe:", this), 0, 0);
  grid->addWidget(ColorComboBox, 0, 1);
  grid->addWidget(BitBtn2, 0, 2);
  grid->addWidget(BitBtn3, 1, 0);
  grid->addWidget(BitBtn4, 1, 1);
  grid->addWidget(BitBtn6, 2, 0);
  grid->addWidget(BitBtn7, 2, 1);
  grid->addWidget(new QLabel("Linienstil:", this), 3, 0);
  grid->addWidget(LineCombo, 3, 1);
  grid->addWidget(BitBtn8, 3, 2);
  grid->addWidget(new QLabel("Linienbreite:", this), 4, 0);
  grid->addWidget(LineWeightBox, 4, 1);
  grid->addWidget(BitBtn9, 4, 2);
  grid->addWidget(AktuellBtn, 5, 0);
  column->addLayout(grid);

  auto* buttons = new QDialogButtonBox(this);
  BitBtn5 = Button(this, "BitBtn5", "Neue Ebene...");
  BitBtn1 = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  BitBtn1->setObjectName("OKBtn");
  BitBtn1->setDefault(true);
  buttons->addButton(BitBtn5, QDialogButtonBox::ActionRole);
  buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole)->setObjectName("AbbrechenBtn");
  column->addWidget(buttons);

  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(BitBtn5, &QPushButton::clicked, this, [this] {
    newLayer_ = true;
    accept();
  });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { setSelected(kFarbe, ColorComboBox->currentText()); });
  connect(BitBtn3, &QPushButton::clicked, this,
          [this] { setSelected(kSichtbar, Q(values_->visible), Q(values_->invisible)); });
  connect(BitBtn4, &QPushButton::clicked, this,
          [this] { setSelected(kSichtbar, Q(values_->invisible), Q(values_->visible)); });
  connect(BitBtn6, &QPushButton::clicked, this,
          [this] { setSelected(kGesperrt, Q(values_->locked), Q(values_->unlocked)); });
  connect(BitBtn7, &QPushButton::clicked, this,
          [this] { setSelected(kGesperrt, Q(values_->unlocked), Q(values_->locked)); });
  connect(BitBtn8, &QPushButton::clicked, this, [this] { setSelected(kLinienstil, LineCombo->currentText()); });
  connect(AktuellBtn, &QPushButton::clicked, this, [this] {
    if (QTreeWidgetItem* row = ListView1->currentItem(); row && row->isSelected())
      setCurrent(ListView1->indexOfTopLevelItem(row));
  });
  connect(BitBtn9, &QPushButton::clicked, this, [this] {
    const int i = LineWeightBox->currentIndex();
    if (i < 0 || i >= static_cast<int>(std::size(kLayerLineWeights))) return;
    // In millimetres, as the column shows weights: "Standard" is -0.03.
    setSelected(kLinienbreite, QString::number(kLayerLineWeights[i] / 100.0, 'g', 15));
  });
}

void TLayerForm::setSelected(int column, const QString& text, const QString& only) {
  QTreeWidgetItem* row = ListView1->currentItem();
  if (!row || !row->isSelected()) return;
  if (only.isEmpty() || row->text(column) == only) row->setText(column, text);
}

void TLayerForm::setCurrent(int row) {
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = ListView1->topLevelItem(i);
    QFont font = item->font(kName);
    font.setBold(i == row);
    for (int c = 0; c < ListView1->columnCount(); ++c) item->setFont(c, font);
  }
  current_ = row;
}

DialogResult TLayerForm::Run(LayerDialogValues& values) {
  values_ = &values;
  newLayer_ = false;
  ListView1->clear();
  for (const LayerRow& r : values.rows)
    ListView1->addTopLevelItem(new QTreeWidgetItem(
        ListView1, {Q(r.name), Q(r.Farbe), Q(r.Sichtbar), Q(r.Gesperrt), Q(r.Linienstil), Q(r.Linienbreite)}));
  setCurrent(values.current);
  for (int c = 0; c < ListView1->columnCount(); ++c) ListView1->resizeColumnToContents(c);
  ColorComboBox->clear();
  for (const std::string& name : values.colours) ColorComboBox->addItem(Q(name));
  LineCombo->clear();
  for (const std::string& name : values.linetypes) LineCombo->addItem(Q(name));
  ColorComboBox->setCurrentIndex(0);
  LineCombo->setCurrentIndex(0);
  LineWeightBox->setCurrentIndex(0);
  const DialogResult result = RunDialog(this);
  values_ = nullptr;
  if (result != DialogResult::Ok) return result;
  // OK or "Neue Ebene...": the rows are what it leaves.
  for (int i = 0; i < ListView1->topLevelItemCount() && static_cast<std::size_t>(i) < values.rows.size(); ++i) {
    const QTreeWidgetItem* row = ListView1->topLevelItem(i);
    LayerRow& r = values.rows[static_cast<std::size_t>(i)];
    r.Farbe = row->text(kFarbe).toStdString();
    r.Sichtbar = row->text(kSichtbar).toStdString();
    r.Gesperrt = row->text(kGesperrt).toStdString();
    r.Linienstil = row->text(kLinienstil).toStdString();
    r.Linienbreite = row->text(kLinienbreite).toStdString();
  }
  values.newLayer = newLayer_;
  values.current = current_;
  return result;
}

}  // namespace vestrel
