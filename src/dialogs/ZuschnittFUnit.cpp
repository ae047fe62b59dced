#include "dialogs/ZuschnittFUnit.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "dialogs/fields.h"
#include "i18n/translateforms.h"

namespace vestrel {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QTreeWidget* List(QWidget* parent, const char* name, const QStringList& headings, int height) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setUniformRowHeights(true);
  list->setHeaderLabels(headings);
  list->setMinimumSize(480, height);
  return list;
}

// A label of a text made in the language in force.
QLabel* Told(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setProperty(kNotTranslated, true);
  return label;
}

void Fill(QTreeWidget* list, const std::vector<CutFindingRow>& rows) {
  list->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const CutFindingRow& r : rows) {
    auto* item = new QTreeWidgetItem({Q(r.kind), Q(r.place), Q(r.width), Q(r.object)});
    item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(r.finding));
    items << item;
  }
  list->addTopLevelItems(items);
}

// A label shown only when it has something to say.
void ShowIfAny(QLabel* label, const std::string& text) {
  label->setText(Q(text));
  label->setVisible(!text.empty());
}

}  // namespace

TZuschnittForm::TZuschnittForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Zuschnitt prüfen", "ZuschnittForm");
  ToleranzEd = new FloatSpinEdit(this, "ToleranzEd", 0, 1e9, 10);
  // Checked again once the value is entered, not at every key.
  ToleranzEd->setKeyboardTracking(false);
  form->addRow("Toleranz:", ToleranzEd);
  LueckenEd = new FloatSpinEdit(this, "LueckenEd", 0, 1e9, 10);
  form->addRow("Lücken schließen bis:", LueckenEd);
  ErgebnisLabel = Told(this, "ErgebnisLabel");
  form->addRow(ErgebnisLabel);
  BereinigtLabel = Told(this, "BereinigtLabel");
  BereinigtLabel->setWordWrap(true);
  form->addRow(BereinigtLabel);
  const QStringList findings{"Art", "Ort", "Maß", "Objekt"};
  FehlerListe = List(this, "FehlerListe", findings, 160);
  form->addRow(new QLabel("Fehler:", this));
  form->addRow(FehlerListe);
  FehlerMehrLabel = Told(this, "FehlerMehrLabel");
  form->addRow(FehlerMehrLabel);
  HinweisListe = List(this, "HinweisListe", findings, 80);
  form->addRow(new QLabel("Nicht schneidbar (keine Fehler):", this));
  form->addRow(HinweisListe);
  HinweisMehrLabel = Told(this, "HinweisMehrLabel");
  form->addRow(HinweisMehrLabel);
  ZahlenListe = List(this, "ZahlenListe", {"Teil", "Schnittlänge", "Einstiche", "Fläche", "Box"}, 100);
  form->addRow(new QLabel("Kosten:", this));
  form->addRow(ZahlenListe);
  TeileMehrLabel = Told(this, "TeileMehrLabel");
  form->addRow(TeileMehrLabel);
  QDialogButtonBox* buttons = DialogButtons(this, form, false);
  QPushButton* repair = buttons->addButton("Bereinigen", QDialogButtonBox::ActionRole);
  repair->setObjectName("BereinigenBtn");
  repair->setAutoDefault(false);
  QPushButton* copy = buttons->addButton("Kopieren", QDialogButtonBox::ActionRole);
  copy->setObjectName("KopierenBtn");
  copy->setAutoDefault(false);
  connect(repair, &QPushButton::clicked, this, [this] {
    if (!values_) return;
    LueckenEd->interpretText();
    values_->LueckenEd = LueckenEd->value();
    steps_->Repair(*values_);
    show(*values_);
  });
  connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(figuresText()); });
  connect(ToleranzEd, &QDoubleSpinBox::valueChanged, this, [this](double tolerance) {
    if (!values_ || tolerance == values_->ToleranzEd) return;
    values_->ToleranzEd = tolerance;
    steps_->Check(*values_);
    show(*values_);
  });
  for (QTreeWidget* list : {FehlerListe, HinweisListe})
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
      if (steps_ && item) steps_->ShowFinding(item->data(0, Qt::UserRole).toULongLong());
    });
}

void TZuschnittForm::keyPressEvent(QKeyEvent* event) {
  // Return enters what was typed and leaves the dialog open.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    for (FloatSpinEdit* field : {ToleranzEd, LueckenEd}) field->interpretText();
    return event->accept();
  }
  QDialog::keyPressEvent(event);
}

void TZuschnittForm::show(const CutCheckDialogValues& v) {
  ErgebnisLabel->setText(Q(v.summary));
  ShowIfAny(BereinigtLabel, v.repaired);
  Fill(FehlerListe, v.errors);
  Fill(HinweisListe, v.notCut);
  ShowIfAny(FehlerMehrLabel, v.errorsLeftOut);
  ShowIfAny(HinweisMehrLabel, v.notCutLeftOut);
  ZahlenListe->clear();
  QList<QTreeWidgetItem*> items;
  for (const CutFigureRow& r : v.figures)
    items << new QTreeWidgetItem({Q(r.part), Q(r.length), Q(r.pierces), Q(r.area), Q(r.box)});
  ZahlenListe->addTopLevelItems(items);
  ShowIfAny(TeileMehrLabel, v.partsLeftOut);
  for (QTreeWidget* list : {FehlerListe, HinweisListe, ZahlenListe})
    for (int c = 0; c < list->columnCount(); ++c) list->resizeColumnToContents(c);
}

QString TZuschnittForm::figuresText() const {
  QStringList lines;
  QStringList cells;
  for (int c = 0; c < ZahlenListe->columnCount(); ++c) cells << ZahlenListe->headerItem()->text(c);
  lines << cells.join('\t');
  for (int i = 0; i < ZahlenListe->topLevelItemCount(); ++i) {
    cells.clear();
    for (int c = 0; c < ZahlenListe->columnCount(); ++c) cells << ZahlenListe->topLevelItem(i)->text(c);
    lines << cells.join('\t');
  }
  return lines.join('\n') + '\n';
}

void TZuschnittForm::Run(CutCheckDialogValues& values, CutCheckSteps& steps) {
  values_ = nullptr;  // the value proposed is no change
  ToleranzEd->setValue(values.ToleranzEd);
  LueckenEd->setValue(values.LueckenEd);
  values_ = &values;
  steps_ = &steps;
  show(values);
  // Beside the drawing area's middle, where a finding zoomed to shows.
  if (QWidget* window = parentWidget()) {
    adjustSize();
    const QRect area = window->geometry();
    move(std::max(area.left(), area.right() - width() - 16), area.top() + 80);
  }
  RunDialog(this, ToleranzEd);
  values.LueckenEd = LueckenEd->value();
  values_ = nullptr;
  steps_ = nullptr;
}

}  // namespace vestrel
