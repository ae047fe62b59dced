#include "dialogs/TranslateFUnit.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <functional>

#include "i18n/msg.h"

namespace vestrel {

namespace {

// The property of a message box that holds the number of its text.
constexpr char kMessageNumber[] = "messageNumber";

constexpr const char* kHeadings[kLanguages] = {"German",     "English", "Italian", "French", "Spanish",
                                               "Russian",    "Portuguese", "Dutch",   "Polish", "Czech"};

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// The grid's cells are the dictionary's slots; nothing else is kept.
class DictionaryModel : public QAbstractTableModel {
 public:
  DictionaryModel(QObject* parent, std::function<void(int, int, const QString&)> edited)
      : QAbstractTableModel(parent), edited_(std::move(edited)) {
    for (int c = 0; c < kSlots; ++c) headings_[static_cast<std::size_t>(c)] = TTranslateForm::Heading(c);
  }

  void show(Dictionary* dictionary) {
    beginResetModel();
    dictionary_ = dictionary;
    endResetModel();
  }
  void refill() { show(dictionary_); }
  void setFixed(bool fixed) {
    fixed_ = fixed;
    Q_EMIT headerDataChanged(Qt::Vertical, 0, std::max(0, rowCount() - 1));
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !dictionary_ ? 0 : static_cast<int>(dictionary_->size());
  }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kSlots; }

  QVariant data(const QModelIndex& i, int role) const override {
    if (!dictionary_ || !i.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return Q(dictionary_->Slot(static_cast<std::size_t>(i.row()), i.column()));
  }

  bool setData(const QModelIndex& i, const QVariant& value, int role) override {
    if (!dictionary_ || !i.isValid() || role != Qt::EditRole) return false;
    edited_(i.column(), i.row(), value.toString());
    Q_EMIT dataChanged(i, i);
    if (fixed_ && i.column() == 0) Q_EMIT headerDataChanged(Qt::Vertical, i.row(), i.row());
    return true;
  }

  Qt::ItemFlags flags(const QModelIndex& i) const override {
    return QAbstractTableModel::flags(i) | Qt::ItemIsEditable;
  }

  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (role != Qt::DisplayRole) return {};
    if (o == Qt::Horizontal) return section >= 0 && section < kSlots ? headings_[static_cast<std::size_t>(section)] : QVariant();
    // A fixed first column: the German texts stay in view beside the rows.
    if (fixed_ && dictionary_ && section >= 0 && section < rowCount()) return Q(dictionary_->Slot(static_cast<std::size_t>(section), 0));
    return section + 1;
  }

  bool setHeaderData(int section, Qt::Orientation o, const QVariant& value, int role = Qt::EditRole) override {
    if (o != Qt::Horizontal || section < 0 || section >= kSlots || role != Qt::EditRole) return false;
    headings_[static_cast<std::size_t>(section)] = value.toString();
    Q_EMIT headerDataChanged(o, section, section);
    return true;
  }

 private:
  std::function<void(int, int, const QString&)> edited_;
  Dictionary* dictionary_ = nullptr;
  std::array<QString, kSlots> headings_;
  bool fixed_ = false;
};

QString TTranslateForm::Heading(int column) {
  return column < kLanguages ? QString(kHeadings[column]) : QString("language%1").arg(column);
}

TTranslateForm::TTranslateForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TranslateForm");
  setWindowTitle("Übersetzen");
  resize(1000, 600);
  auto* column = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  BackBtn = new QPushButton("Zurück...", this);
  BackBtn->setObjectName("BackBtn");
  BackBtn->setAutoDefault(false);
  top->addWidget(BackBtn);
  top->addStretch(1);
  column->addLayout(top);

  auto* search = new QHBoxLayout;
  FilterEdit = new QLineEdit(this);
  FilterEdit->setObjectName("FilterEdit");
  FilterBtn = new QPushButton("Suchen", this);
  FilterBtn->setObjectName("FilterBtn");
  DeleteRowBtn = new QPushButton("Zeile löchen", this);
  DeleteRowBtn->setObjectName("DeleteRowBtn");
  FixedColCheck = new QCheckBox("Erste Spalte fixieren", this);
  FixedColCheck->setObjectName("FixedColCheck");
  for (QPushButton* b : {FilterBtn, DeleteRowBtn}) b->setAutoDefault(false);
  search->addWidget(FilterEdit, 1);
  search->addWidget(FilterBtn);
  search->addWidget(DeleteRowBtn);
  search->addWidget(FixedColCheck);
  column->addLayout(search);

  model_ = new DictionaryModel(this, [this](int c, int r, const QString& v) { StringGrid1SetEditText(c, r, v); });
  StringGrid1 = new QTableView(this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setModel(model_);
  StringGrid1->horizontalHeader()->setDefaultSectionSize(250);
  // The German texts of a fixed first column, as wide as a column.
  StringGrid1->verticalHeader()->setMaximumWidth(250);
  StringGrid1->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  StringGrid1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  StringGrid1->setWordWrap(false);
  StringGrid1->installEventFilter(this);
  column->addWidget(StringGrid1, 1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setSingleShot(true);
  Timer1->setInterval(1000);

  connect(BackBtn, &QPushButton::clicked, this, [this] { BackBtnClick(); });
  connect(FilterBtn, &QPushButton::clicked, this, [this] { FilterBtnClick(); });
  connect(FilterEdit, &QLineEdit::returnPressed, this, [this] { FilterBtnClick(); });
  connect(DeleteRowBtn, &QPushButton::clicked, this, [this] { DeleteRowBtnClick(); });
  connect(FixedColCheck, &QCheckBox::toggled, this, [this] { FixedColCheckClick(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TTranslateForm::Run(LanguageState& languages) {
  languages_ = &languages;
  FillStringGrid();
  FilterEdit->setFocus();
  exec();
}

void TTranslateForm::FillStringGrid() {
  if (!languages_) return;
  for (int c = 0; c < kSlots; ++c) {
    const QByteArray heading = Heading(c).toUtf8();
    model_->setHeaderData(c, Qt::Horizontal, Q(languages_->Translate(heading.toStdString())));
  }
  model_->show(&languages_->dictionary);
}

void TTranslateForm::StringGrid1SetEditText(int ACol, int ARow, const QString& Value) {
  if (!languages_ || ARow < 0 || static_cast<std::size_t>(ARow) >= languages_->dictionary.size()) return;
  if (!languages_->Edit(static_cast<std::size_t>(ARow), ACol, Value.toStdString()))
    return void(ask(msg::CellTooLong, Q(message(msg::CellTooLong)), QMessageBox::Ok, QMessageBox::Warning));
  Timer1->start();  // a second after the last change
}

void TTranslateForm::Timer1Timer() {
  Timer1->stop();
  if (languages_) languages_->Save();
}

std::string TTranslateForm::message(int nr) { return languages_ ? languages_->Message(nr) : std::string(); }

int TTranslateForm::ask(int nr, const QString& text, int buttons, QMessageBox::Icon icon) {
  QMessageBox box(icon, windowTitle(), text, QMessageBox::StandardButtons(buttons), this);
  box.setProperty(kMessageNumber, nr);
  return box.exec();
}

void TTranslateForm::FilterBtnClick() {
  const QString filter = FilterEdit->text().toUpper();
  const int rows = model_->rowCount();
  // The heading row (-1) first, then every entry, each cell from the left.
  for (int r = -1; r < rows; ++r) {
    for (int c = 0; c < kSlots; ++c) {
      const QString cell =
          r < 0 ? model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() : model_->index(r, c).data().toString();
      if (!cell.toUpper().contains(filter)) continue;
      if (r >= 0) {
        const QModelIndex at = model_->index(r, c);
        StringGrid1->setCurrentIndex(at);
        StringGrid1->scrollTo(at, QAbstractItemView::PositionAtTop);
      }
      StringGrid1->horizontalScrollBar()->setValue(StringGrid1->horizontalHeader()->sectionPosition(c));
      if (ask(msg::GoOnSearching, Q(message(msg::GoOnSearching)), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    }
  }
}

void TTranslateForm::DeleteRowBtnClick() {
  if (!languages_) return;
  const int r = StringGrid1->currentIndex().isValid() ? StringGrid1->currentIndex().row() : -1;
  Dictionary& d = languages_->dictionary;
  if (r >= 0 && static_cast<std::size_t>(r) < d.size()) {
    const QString text = Q(message(msg::DeleteEntry)) + "\n" + Q(d.Slot(static_cast<std::size_t>(r), 0));
    if (ask(msg::DeleteEntry, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) == QMessageBox::Yes)
      d.Remove(static_cast<std::size_t>(r));
  }
  Timer1->stop();
  languages_->Save();
  const int col = std::max(0, StringGrid1->currentIndex().column());
  model_->refill();
  if (r >= 0 && r < model_->rowCount()) StringGrid1->setCurrentIndex(model_->index(r, col));
}

void TTranslateForm::FixedColCheckClick() {
  const bool fixed = FixedColCheck->isChecked();
  model_->setFixed(fixed);
  StringGrid1->setColumnHidden(0, fixed);
}

void TTranslateForm::BackBtnClick() { accept(); }

void TTranslateForm::keyPressEvent(QKeyEvent* event) {
  // Escape presses the dialog's cancel button, "Zeile löchen".
  if (event->key() == Qt::Key_Escape) return DeleteRowBtnClick();
  QDialog::keyPressEvent(event);
}

bool TTranslateForm::eventFilter(QObject* watched, QEvent* event) {
  // While a cell is edited its editor has the keys, not the grid.
  if (watched == StringGrid1 && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    DeleteRowBtnClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TTranslateForm::done(int result) {
  // What was typed within the last second is not lost with the editor.
  if (Timer1->isActive()) Timer1Timer();
  StringGrid1->setCurrentIndex({});
  QDialog::done(result);
}

}  // namespace vestrel
