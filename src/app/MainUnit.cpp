#include "app/MainUnit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/paintbox.h"
#include "file/encoding.h"
#include "i18n/messages.h"

namespace vestrel {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The R12 button: the new-file picture with "12" on it.
QIcon R12Icon(QStyle* style) {
  QPixmap pm = style->standardIcon(QStyle::SP_FileIcon).pixmap(24, 24);
  QPainter p(&pm);
  QFont f = p.font();
  f.setPixelSize(10);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::darkRed);
  p.drawText(pm.rect(), Qt::AlignBottom | Qt::AlignHCenter, "12");
  return QIcon(pm);
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), editor_(std::make_unique<Editor>(*this)) {
  setWindowTitle("Vestrel");
  resize(1200, 800);
  buildMenus();
  buildToolBars();
  buildCentre();
  editor_->FormCreate(QCoreApplication::applicationDirPath().toStdString());
}

TMainForm::~TMainForm() = default;

void TMainForm::buildMenus() {
  QMenu* datei = menuBar()->addMenu("Datei");
  auto add = [&](const char* caption, auto handler) {
    QAction* a = datei->addAction(caption);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  add("Neue DXF Datei ", [this] { editor_->NeueDXFDatei1Click(); })->setShortcut(QKeySequence::New);
  add("Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)",
      [this] { editor_->NeueDXFDateiR12ohneSplineohneEllipseusw1Click(); });
  add("Öffnen...", [this] { editor_->ffnen1Click(); })->setShortcut(QKeySequence::Open);
  add("Speichern", [this] { editor_->Speichern1Click(); })->setShortcut(QKeySequence::Save);
  add("Speichern unter...", [this] { editor_->Speichernunter1Click(); });
  datei->addSeparator();
  add("Beenden", [this] { close(); });
}

void TMainForm::buildToolBars() {
  ToolBar1 = addToolBar("ToolBar1");
  ToolBar1->setObjectName("ToolBar1");
  auto button = [&](const QIcon& icon, const char* hint, auto handler) {
    QAction* a = ToolBar1->addAction(icon, hint);
    a->setToolTip(hint);
    connect(a, &QAction::triggered, this, handler);
  };
  button(style()->standardIcon(QStyle::SP_FileIcon), "Neue DXF Datei ", [this] { editor_->NeueDXFDatei1Click(); });
  button(R12Icon(style()), "Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)",
         [this] { editor_->NeueDXFDateiR12ohneSplineohneEllipseusw1Click(); });
  button(style()->standardIcon(QStyle::SP_DialogOpenButton), "Öffnen...", [this] { editor_->ffnen1Click(); });
  button(style()->standardIcon(QStyle::SP_DialogSaveButton), "Speichern", [this] { editor_->Speichern1Click(); });
  ToolBar1->addSeparator();

  auto combo = [&](const char* name, const char* hint, int width) {
    auto* box = new QComboBox(ToolBar1);
    box->setObjectName(name);
    box->setToolTip(hint);
    box->setMinimumContentsLength(width);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ToolBar1->addWidget(box);
    return box;
  };
  LineCombo = combo("LineCombo", "Linienstil", 14);
  ColorComboBox = combo("ColorComboBox", "Farbe", 10);
  LayerCombo = combo("LayerCombo", "Ebene", 16);
  LineWeightBox = combo("LineWeightBox", "Linienbreite", 9);

  // The drawing and the editing tools join these as they come; an empty
  // bar is not shown.
  ToolBar2 = new QToolBar("ToolBar2", this);
  ToolBar2->setObjectName("ToolBar2");
  addToolBar(Qt::LeftToolBarArea, ToolBar2);
  ToolBar3 = new QToolBar("ToolBar3", this);
  ToolBar3->setObjectName("ToolBar3");
  addToolBar(Qt::RightToolBarArea, ToolBar3);
  ToolBar2->setVisible(!ToolBar2->actions().isEmpty());
  ToolBar3->setVisible(!ToolBar3->actions().isEmpty());
}

void TMainForm::buildCentre() {
  auto* centre = new QWidget(this);
  auto* column = new QVBoxLayout(centre);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* area = new QGridLayout;
  area->setSpacing(0);
  PaintBox1 = new PaintBox(centre);
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->onPaint = [this](QImage& canvas) { PaintBox1Paint(canvas); };
  // The scroll bars hold the view's offsets in hundredths of a pixel.
  HorzScrollbar = new QScrollBar(Qt::Horizontal, centre);
  VertScrollbar = new QScrollBar(Qt::Vertical, centre);
  for (QScrollBar* bar : {HorzScrollbar, VertScrollbar}) {
    bar->setRange(-100000000, 100000000);
    bar->setSingleStep(2000);
    bar->setPageStep(10000);
  }
  HorzScrollbar->setObjectName("HorzScrollbar");
  VertScrollbar->setObjectName("VertScrollbar");
  HorzScrollbar->setValue(-2000);
  VertScrollbar->setValue(2000);
  area->addWidget(PaintBox1, 0, 0);
  area->addWidget(VertScrollbar, 0, 1);
  area->addWidget(HorzScrollbar, 1, 0);
  column->addLayout(area, 1);

  TabControl1 = new QTabBar(centre);
  TabControl1->setObjectName("TabControl1");
  TabControl1->setShape(QTabBar::RoundedSouth);
  TabControl1->setExpanding(false);
  connect(TabControl1, &QTabBar::currentChanged, this, [this](int index) {
    editor_->drawing.bar.TabControl1.itemIndex = index;
    PaintBox1->render();
  });
  column->addWidget(TabControl1);

  Panel6 = new QWidget(centre);
  Panel6->setObjectName("Panel6");
  auto* row = new QHBoxLayout(Panel6);
  row->setContentsMargins(4, 2, 4, 2);
  auto coordinate = [&](const char* label, const char* name) {
    row->addWidget(new QLabel(label, Panel6));
    auto* ed = new QDoubleSpinBox(Panel6);
    ed->setObjectName(name);
    ed->setRange(-1e12, 1e12);
    ed->setDecimals(4);
    ed->setAlignment(Qt::AlignRight);
    ed->setMinimumWidth(120);
    row->addWidget(ed);
  };
  coordinate("X:", "Xed");
  coordinate("Y:", "YEd");
  auto* benutzen = new QPushButton("Klick an diese Stelle (Anstatt Mausklick)", Panel6);
  benutzen->setObjectName("BenutzenBtn");
  benutzen->setEnabled(false);  // the typed click comes with the drawing tools
  row->addWidget(benutzen);
  row->addStretch(1);
  column->addWidget(Panel6);

  setCentralWidget(centre);
  StatusBar1 = statusBar();
  StatusBar1->setObjectName("StatusBar1");
}

void TMainForm::FormShow(const std::vector<std::string>& args) { editor_->FormShow(args); }

void TMainForm::closeEvent(QCloseEvent* event) {
  if (editor_->FormCloseQuery())
    event->accept();
  else
    event->ignore();
}

void TMainForm::PaintBox1Paint(QImage& canvas) { canvas.fill(Qt::white); }

// --- Platform ---------------------------------------------------------------

std::string TMainForm::Message(int nr) { return std::string(GermanMessage(nr)); }

void TMainForm::ShowMessage(int nr, std::string_view suffix, MsgIcon icon, int captionNr) {
  QMessageBox box(this);
  box.setText(Q(Message(nr)) + Q(suffix));
  box.setWindowTitle(captionNr ? Q(Message(captionNr)) : QApplication::applicationDisplayName());
  switch (icon) {
    case MsgIcon::None: break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
  }
  box.exec();
}

Answer TMainForm::AskYesNoCancel(int nr, int captionNr) {
  const auto b = QMessageBox::question(this, Q(Message(captionNr)), Q(Message(nr)),
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  return b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel;
}

namespace {

std::optional<std::string> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const char* filter) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix("dxf");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace

std::optional<std::string> TMainForm::OpenFileDialog() {
  return RunFileDialog(this, QFileDialog::AcceptOpen, "DXF-Dateien (*.dxf)");
}

std::optional<std::string> TMainForm::SaveFileDialog() {
  return RunFileDialog(this, QFileDialog::AcceptSave, "DXF Dateien (*.dxf)");
}

void TMainForm::SetCaption(std::string_view caption) { setWindowTitle(Q(caption)); }

void TMainForm::Repaint() {
  showLists();
  PaintBox1->render();
}

// --- the lists of the property bar and the tabs -------------------------------

void TMainForm::fillCombo(QComboBox* box, const ItemList& list, bool documentText) {
  const QSignalBlocker block(box);
  box->clear();
  const TextEncoding enc = editor_->drawing.dxf.encoding;
  for (const std::string& item : list.items) box->addItem(Q(documentText ? DecodeUnicode(item, enc) : item));
  box->setCurrentIndex(list.itemIndex);
}

void TMainForm::showLists() {
  const PropertyBar& bar = editor_->drawing.bar;
  if (bar.generation != shownGeneration_) {
    shownGeneration_ = bar.generation;
    fillCombo(LineCombo, bar.LineCombo, true);
    fillCombo(LayerCombo, bar.LayerCombo, true);
    fillCombo(ColorComboBox, bar.ColorComboBox, false);
    fillCombo(LineWeightBox, bar.LineWeightBox, false);
    const QSignalBlocker block(TabControl1);
    while (TabControl1->count() > 0) TabControl1->removeTab(0);
    for (const std::string& tab : bar.TabControl1.items)
      TabControl1->addTab(Q(DecodeUnicode(tab, editor_->drawing.dxf.encoding)));
  }
  const QSignalBlocker block(TabControl1);
  TabControl1->setCurrentIndex(bar.TabControl1.itemIndex);
}

}  // namespace vestrel
