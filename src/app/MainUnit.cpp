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
#include <QPageLayout>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/icons.h"
#include "app/paintbox.h"
#include "dialogs/DruckenFUnit.h"
#include "dialogs/ViewPortFUnit.h"
#include "file/encoding.h"
#include "i18n/messages.h"
#include "view/printing.h"
#include "view/renderer.h"

namespace vestrel {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

ShiftState Shift(Qt::KeyboardModifiers m) {
  return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier), m.testFlag(Qt::AltModifier)};
}

MouseButton Button(Qt::MouseButton b) {
  return b == Qt::RightButton ? MouseButton::Right : b == Qt::MiddleButton ? MouseButton::Middle : MouseButton::Left;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), editor_(std::make_unique<Editor>(*this)) {
  setWindowTitle("Vestrel");
  resize(1200, 800);
  printer_.setFullPage(true);
  DruckenForm = new TDruckenForm(this);
  ViewPortForm = new TViewPortForm(this);
  DruckenForm->BitBtn3Click = [this] { PrinterSetupDialog(); };
  QSettings settings;
  TDruckenForm::Load(settings, editor_->print);
  DruckenForm->restoreGeometry(settings.value("DruckenForm/geometry").toByteArray());
  buildMenus();
  buildToolBars();
  buildCentre();
  editor_->FormCreate(QCoreApplication::applicationDirPath().toStdString());
}

TMainForm::~TMainForm() = default;

void TMainForm::buildMenus() {
  auto add = [this](QMenu* menu, const char* caption, auto handler) {
    QAction* a = menu->addAction(caption);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  QMenu* datei = menuBar()->addMenu("Datei");
  add(datei, "Neue DXF Datei ", [this] { editor_->NeueDXFDatei1Click(); })->setShortcut(QKeySequence::New);
  add(datei, "Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)",
      [this] { editor_->NeueDXFDateiR12ohneSplineohneEllipseusw1Click(); });
  add(datei, "Öffnen...", [this] { editor_->ffnen1Click(); })->setShortcut(QKeySequence::Open);
  add(datei, "Speichern", [this] { editor_->Speichern1Click(); })->setShortcut(QKeySequence::Save);
  add(datei, "Speichern unter...", [this] { editor_->Speichernunter1Click(); });
  datei->addSeparator();
  add(datei, "Drucken...", [this] { editor_->Drucken1Click(); })->setShortcut(QKeySequence::Print);
  add(datei, "Seite einrichten...", [this] { editor_->Seiteeinrichten1Click(); });
  add(datei, "Drucker einrichten...", [this] { editor_->Druckereinrichten1Click(); });
  datei->addSeparator();
  add(datei, "Beenden", [this] { close(); });

  QMenu* bearbeiten = menuBar()->addMenu("Bearbeiten");
  Rckgngig1 = add(bearbeiten, "Rückgängig", [this] { editor_->Rckgngig1Click(); });
  Rckgngig1->setShortcut(QKeySequence::Undo);
  // The item is there exactly when there is something to take back.
  connect(bearbeiten, &QMenu::aboutToShow, this, [this] { Rckgngig1->setEnabled(!editor_->undos.undos.empty()); });

  QMenu* ansicht = menuBar()->addMenu("Ansicht");
  add(ansicht, "Alles zeigen", [this] { editor_->ZoomAllClick(); });
  add(ansicht, "Vergrößern", [this] { editor_->ZoomInBtnClick(); })->setShortcut(QKeySequence::ZoomIn);
  add(ansicht, "Verkleinern", [this] { editor_->ZoomOutBtnClick(); })->setShortcut(QKeySequence::ZoomOut);
  ansicht->addSeparator();
  Druckvorschau1 = add(ansicht, "Druckvorschau", [this] { editor_->Druckvorschau1Click(); });
  Druckvorschau1->setCheckable(true);
  Linienbreitezeigen1 = add(ansicht, "Linienbreite zeigen", [this] { editor_->Linienbreitezeigen1Click(); });
  Linienbreitezeigen1->setCheckable(true);
  Linienbreitezeigen1->setChecked(true);
  ansicht->addSeparator();
  add(ansicht, "Viewport hinzufügen...", [this] { editor_->Viewporthinzufgen1Click(); });
}

void TMainForm::buildToolBars() {
  ToolBar1 = addToolBar("ToolBar1");
  ToolBar1->setObjectName("ToolBar1");
  auto button = [&](const QIcon& icon, const char* hint, auto handler) {
    QAction* a = ToolBar1->addAction(icon, hint);
    a->setToolTip(hint);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  button(style()->standardIcon(QStyle::SP_FileIcon), "Neue DXF Datei ", [this] { editor_->NeueDXFDatei1Click(); });
  button(icons::NewR12(), "Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)",
         [this] { editor_->NeueDXFDateiR12ohneSplineohneEllipseusw1Click(); });
  button(style()->standardIcon(QStyle::SP_DialogOpenButton), "Öffnen...", [this] { editor_->ffnen1Click(); });
  button(style()->standardIcon(QStyle::SP_DialogSaveButton), "Speichern", [this] { editor_->Speichern1Click(); });
  button(icons::Print(), "Drucken", [this] { editor_->Drucken1Click(); });
  UndoBtn = button(style()->standardIcon(QStyle::SP_ArrowBack), "Rückgängig", [this] { editor_->Rckgngig1Click(); });
  ToolBar1->addSeparator();
  button(icons::ZoomAll(), "Zeige alles", [this] { editor_->ZoomAllClick(); });
  button(icons::ZoomIn(), "Vergrößern", [this] { editor_->ZoomInBtnClick(); });
  button(icons::ZoomOut(), "Verkleinern", [this] { editor_->ZoomOutBtnClick(); });
  button(icons::Zoom(), "Vergrößern/Verkleinern", [this] { editor_->ZoomBtnClick(); });
  button(icons::Hand(), "Verschieben", [this] { editor_->HandBtnClick(); });
  button(icons::Preview(), "Druckvorschau  an/aus", [this] { editor_->Druckvorschau1Click(); });
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
  PaintBox1->setCursor(Qt::CrossCursor);
  PaintBox1->onPaint = [this](QImage& canvas) { PaintBox1Paint(canvas); };
  PaintBox1->onMouseDown = [this](QMouseEvent* e) {
    editor_->PaintBox1MouseDown(Button(e->button()), Shift(e->modifiers()), static_cast<int>(e->position().x()),
                                static_cast<int>(e->position().y()));
  };
  PaintBox1->onMouseMove = [this](QMouseEvent* e) {
    editor_->PaintBox1MouseMove(Shift(e->modifiers()), static_cast<int>(e->position().x()),
                                static_cast<int>(e->position().y()));
  };
  PaintBox1->onMouseUp = [this](QMouseEvent* e) {
    editor_->PaintBox1MouseUp(Button(e->button()), Shift(e->modifiers()), static_cast<int>(e->position().x()),
                              static_cast<int>(e->position().y()));
  };
  PaintBox1->onWheel = [this](QWheelEvent* e) { wheelEvent(e); };

  // The scroll bars hold the view's offsets in hundredths of a pixel.
  HorzScrollbar = new QScrollBar(Qt::Horizontal, centre);
  VertScrollbar = new QScrollBar(Qt::Vertical, centre);
  for (QScrollBar* bar : {HorzScrollbar, VertScrollbar}) {
    bar->setRange(ViewState::kScrollMin, ViewState::kScrollMax);
    bar->setSingleStep(2000);
    bar->setPageStep(10000);
  }
  HorzScrollbar->setObjectName("HorzScrollbar");
  VertScrollbar->setObjectName("VertScrollbar");
  HorzScrollbar->setValue(editor_->view.HorzScrollbarPosition);
  VertScrollbar->setValue(editor_->view.VertScrollbarPosition);
  connect(HorzScrollbar, &QScrollBar::valueChanged, this, [this](int v) { editor_->HorzScrollbarChange(v); });
  connect(VertScrollbar, &QScrollBar::valueChanged, this, [this](int v) { editor_->VertScrollbarChange(v); });
  area->addWidget(PaintBox1, 0, 0);
  area->addWidget(VertScrollbar, 0, 1);
  area->addWidget(HorzScrollbar, 1, 0);
  column->addLayout(area, 1);

  TabControl1 = new QTabBar(centre);
  TabControl1->setObjectName("TabControl1");
  TabControl1->setShape(QTabBar::RoundedSouth);
  TabControl1->setExpanding(false);
  connect(TabControl1, &QTabBar::currentChanged, this, [this](int index) { editor_->TabControl1Change(index); });
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

void TMainForm::wheelEvent(QWheelEvent* event) {
  const QPointF at = PaintBox1->mapFromGlobal(event->globalPosition());
  const int delta = event->angleDelta().y();
  if (delta != 0) editor_->FormMouseWheel(delta > 0, Shift(event->modifiers()), at.x(), at.y());
  event->accept();
}

void TMainForm::PaintBox1Paint(QImage& canvas) {
  vestrel::PaintBox1Paint(canvas, editor_->drawing, editor_->view, editor_->print, PrinterPageSize(),
                          PaintBox1->logicalDpiX());
}

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

std::optional<std::string> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const char* filter,
                                         const char* suffix) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace

std::optional<std::string> TMainForm::OpenFileDialog() {
  return RunFileDialog(this, QFileDialog::AcceptOpen, "DXF-Dateien (*.dxf)", "dxf");
}

std::optional<std::string> TMainForm::SaveFileDialog() {
  return RunFileDialog(this, QFileDialog::AcceptSave, "DXF Dateien (*.dxf)", "dxf");
}

void TMainForm::SetCaption(std::string_view caption) { setWindowTitle(Q(caption)); }

void TMainForm::Repaint() {
  showState();
  PaintBox1->render();
}

PixelSize TMainForm::PaintBoxSize() { return {PaintBox1->width(), PaintBox1->height()}; }

void TMainForm::SetCursor(Cursor cursor) {
  switch (cursor) {
    case Cursor::CrossHair: PaintBox1->setCursor(Qt::CrossCursor); break;
    case Cursor::Magnifier: PaintBox1->setCursor(icons::Magnifier()); break;
    case Cursor::Hand: PaintBox1->setCursor(Qt::PointingHandCursor); break;
    case Cursor::Arrow: PaintBox1->setCursor(Qt::ArrowCursor); break;
    case Cursor::Cross: PaintBox1->setCursor(Qt::SizeAllCursor); break;
  }
}

void TMainForm::SetStatusText(std::string_view text) { StatusBar1->showMessage(Q(text)); }

PrinterPage TMainForm::PrinterPageSize() {
  const QRect page = printer_.pageLayout().fullRectPixels(printer_.resolution());
  return {page.width(), page.height(), printer_.resolution()};
}

DialogResult TMainForm::ShowPrintDialog(PrintSetup& setup) {
  const DialogResult r = DruckenForm->Run(setup);
  QSettings settings;
  TDruckenForm::Save(settings, setup);
  settings.setValue("DruckenForm/geometry", DruckenForm->saveGeometry());
  return r;
}

void TMainForm::PrinterSetupDialog() {
  QPrintDialog dialog(&printer_, this);
  dialog.setOption(QAbstractPrintDialog::PrintToFile);
  dialog.exec();
}

void TMainForm::ShowViewportDialog(ViewportValues& values) { ViewPortForm->Run(values); }

void TMainForm::PrintDrawing() {
  // Without a printer the page goes into a PDF file.
  if (printer_.outputFormat() == QPrinter::PdfFormat && printer_.outputFileName().isEmpty()) {
    const auto name = RunFileDialog(this, QFileDialog::AcceptSave, "PDF (*.pdf)", "pdf");
    if (!name) return;
    printer_.setOutputFileName(QString::fromStdString(*name));
  }
  printer_.setDocName(Q(Message(11)));
  PrintTab(printer_, editor_->drawing, editor_->view, editor_->print);
}

// --- what the window shows of the editor's state --------------------------------

void TMainForm::fillCombo(QComboBox* box, const ItemList& list, bool documentText) {
  const QSignalBlocker block(box);
  box->clear();
  const TextEncoding enc = editor_->drawing.dxf.encoding;
  for (const std::string& item : list.items) box->addItem(Q(documentText ? DecodeUnicode(item, enc) : item));
  box->setCurrentIndex(list.itemIndex);
}

void TMainForm::showState() {
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
  const QSignalBlocker blockTabs(TabControl1);
  TabControl1->setCurrentIndex(bar.TabControl1.itemIndex);
  const QSignalBlocker blockH(HorzScrollbar), blockV(VertScrollbar);
  HorzScrollbar->setValue(editor_->view.HorzScrollbarPosition);
  VertScrollbar->setValue(editor_->view.VertScrollbarPosition);
  Druckvorschau1->setChecked(editor_->view.Druckvorschau);
  UndoBtn->setEnabled(!editor_->undos.undos.empty());
  Linienbreitezeigen1->setChecked(editor_->view.Linienbreitezeigen);
}

}  // namespace vestrel
