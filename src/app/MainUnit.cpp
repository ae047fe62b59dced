#include "app/MainUnit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QTimer>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <map>

#include "app/icons.h"
#include "app/paintbox.h"
#include "dialogs/AddNewLayerFUnit.h"
#include "dialogs/AddTextFUnit.h"
#include "dialogs/DruckenFUnit.h"
#include "dialogs/LayerFUnit.h"
#include "dialogs/LinienStilFUnit.h"
#include "dialogs/numberforms.h"
#include "dialogs/MessenFUnit.h"
#include "dialogs/TranslateFUnit.h"
#include "dialogs/ViewPortFUnit.h"
#include "dialogs/ZuschnittFUnit.h"
#include "app/windowtexts.h"
#include "file/encoding.h"
#include "i18n/translateforms.h"
#include "tools/drafting.h"
#include "document/numbers.h"
#include "tools/snap.h"
#include "tools/tooltable.h"
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
  setProperty(kNotTranslated, true);  // the caption names the file
  resize(1200, 800);
  printer_.setFullPage(true);
  DruckenForm = new TDruckenForm(this);
  ViewPortForm = new TViewPortForm(this);
  AddTextForm = new TAddTextForm(this);
  ArrayForm = new TArrayForm(this);
  PolygonForm = new TPolygonForm(this);
  RotationsForm = new TRotationsForm(this);
  SkalierungForm = new TSkalierungForm(this);
  RasterForm = new TRasterForm(this);
  PolarForm = new TPolarForm(this);
  JoinForm = new TJoinForm(this);
  LengthenForm = new TLengthenForm(this);
  OffsetForm = new TOffsetForm(this);
  FilletForm = new TFilletForm(this);
  ChamferForm = new TChamferForm(this);
  MessenForm = new TMessenForm(this);
  ZuschnittForm = new TZuschnittForm(this);
  AddNewLayerForm = new TAddNewLayerForm(this);
  LayerForm = new TLayerForm(this);
  LinienstilForm = new TLinienstilForm(this);
  AddNewLayerForm->LineCombo->setProperty(kNotTranslated, true);
  LinienstilForm->Memo1->setProperty(kNotTranslated, true);  // lengths
  TranslateForm = new TTranslateForm(this);
  DruckenForm->BitBtn3Click = [this] { PrinterSetupDialog(); };
  QSettings settings;
  TDruckenForm::Load(settings, editor_->print);
  TAddTextForm::Load(settings, editor_->dialogs.text);
  DruckenForm->restoreGeometry(settings.value("DruckenForm/geometry").toByteArray());
  buildCommands();
  buildCentre();
  // Where the window stood, how large, and where its tool bars were.
  setAcceptDrops(true);
  setWindowIcon(QIcon::fromTheme("vestrel"));
  restoreGeometry(settings.value("MainWindow/geometry").toByteArray());
  restoreState(settings.value("MainWindow/state").toByteArray());
  if (QMenu* recent = findChild<QMenu*>("Zuletztgeffnet1"))
    connect(recent, &QMenu::aboutToShow, this, &TMainForm::fillRecentFiles);
  // Escape ends what runs, wherever the focus is in the window.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] {
    editor_->keyeditKeyDown(27);
    showPointer();
  });
  // Return in the drawing area ends a measured area.
  auto* enter = new QShortcut(QKeySequence(Qt::Key_Return), PaintBox1, nullptr, nullptr, Qt::WidgetShortcut);
  connect(enter, &QShortcut::activated, this, [this] {
    editor_->keyeditKeyDown(13);
    showPointer();
  });
  editor_->FormCreate(QCoreApplication::applicationDirPath().toStdString());
  fillRecentFiles();
  // The record of the unsaved changes reaches the disk within a second.
  auto* keep = new QTimer(this);
  connect(keep, &QTimer::timeout, this, [this] { editor_->KeepRecovery(!QApplication::activeModalWidget()); });
  keep->start(500);
}

TMainForm::~TMainForm() {
  // The editor goes before the widgets: a picture still to come is not
  // painted as the window closes.
  PaintBox1->onPaint = nullptr;
  PaintBox1->onBandGone = nullptr;
}

void TMainForm::buildCommands() {
  ToolBar1 = addToolBar("ToolBar1");
  ToolBar1->setObjectName("ToolBar1");
  ToolBar2 = new QToolBar("ToolBar2", this);
  ToolBar2->setObjectName("ToolBar2");
  addToolBar(Qt::LeftToolBarArea, ToolBar2);
  ToolBar3 = new QToolBar("ToolBar3", this);
  ToolBar3->setObjectName("ToolBar3");
  addToolBar(Qt::RightToolBarArea, ToolBar3);
  // The snaps in a row of their own below the main bar.
  addToolBarBreak();
  ToolBar4 = addToolBar("ToolBar4");
  ToolBar4->setObjectName("ToolBar4");
  const std::map<ToolBar, QToolBar*> bars{{ToolBar::Main, ToolBar1},
                                          {ToolBar::Drawing, ToolBar2},
                                          {ToolBar::Editing, ToolBar3},
                                          {ToolBar::Snaps, ToolBar4}};

  std::map<std::string_view, QMenu*> menus;
  std::map<std::string_view, QActionGroup*> radios;
  for (const Command& c : Commands()) {
    Control control{&c, nullptr, nullptr};
    auto connectHandler = [&](QAction* a) {
      // A step may end without a repaint (the spline's "Fertig"): the
      // prompt follows every command.
      if (c.handler) connect(a, &QAction::triggered, this, [this, h = c.handler] {
        ((*editor_).*h)();
        showPointer();
      });
    };
    if (!c.name.empty() && !c.handler) {
      // A menu: in the menu bar, in another menu, or at the pointer.
      QMenu* menu = c.popup       ? new QMenu(this)
                    : c.menu.empty() ? menuBar()->addMenu(Q(c.caption))
                                     : menus.at(c.menu)->addMenu(Q(c.caption));
      if (!c.menu.empty() && c.menuGap) menus.at(c.menu)->insertSeparator(menu->menuAction());
      menu->setObjectName(Q(c.name));
      menus[c.name] = menu;
      if (c.popup) PopupMenu1 = menu;
    } else if (!c.name.empty()) {
      QMenu* menu = menus.at(c.menu);
      if (c.menuGap) menu->addSeparator();
      QAction* a = menu->addAction(Q(c.caption));
      a->setObjectName(Q(c.name));
      a->setStatusTip(Q(c.hint));
      if (!c.shortcut.empty()) a->setShortcut(QKeySequence(Q(c.shortcut)));
      a->setCheckable(Checkable(c));
      if (c.radio) {
        QActionGroup*& group = radios[c.menu];
        if (!group) group = new QActionGroup(menu);
        group->addAction(a);
      }
      connectHandler(a);
      control.item = a;
    }
    if (!c.button.empty()) {
      QToolBar* bar = bars.at(c.bar);
      if (c.barGap) bar->addSeparator();
      QAction* a = bar->addAction(icons::Of(c.icon), Q(c.hint));
      a->setObjectName(Q(c.button));
      a->setToolTip(Q(c.hint));
      a->setCheckable(Checkable(c));
      connectHandler(a);
      control.button = a;
    }
    controls_.push_back(control);
  }
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
  // Names from the drawing are shown as they are, in any language.
  LineCombo->setProperty(kNotTranslated, true);
  LayerCombo->setProperty(kNotTranslated, true);
  // Choosing an entry applies it to the selection, also the entry shown.
  for (const auto& [box, handler] : {std::pair{LineCombo, &Editor::LineComboChange},
                                     std::pair{ColorComboBox, &Editor::ColorComboBoxChange},
                                     std::pair{LayerCombo, &Editor::LayerComboChange},
                                     std::pair{LineWeightBox, &Editor::LineWeightBoxChange}})
    connect(box, &QComboBox::activated, this, [this, handler](int i) { (editor_.get()->*handler)(i); });

  // The bars' names (in the window's context menu) are names.
  for (QToolBar* bar : {ToolBar1, ToolBar2, ToolBar3, ToolBar4}) bar->toggleViewAction()->setProperty(kNotTranslated, true);
  // An empty bar is not shown.
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
  PaintBox1->onBandGone = [this] { editor_->tool.anzrem = 0; };
  PaintBox1->setFocusPolicy(Qt::ClickFocus);
  PaintBox1->onMouseDown = [this](QMouseEvent* e) {
    // Keys pressed while working in the drawing reach the editor.
    PaintBox1->setFocus();
    editor_->PaintBox1MouseDown(Button(e->button()), Shift(e->modifiers()), static_cast<int>(e->position().x()),
                                static_cast<int>(e->position().y()));
    showPointer();
  };
  PaintBox1->onMouseMove = [this](QMouseEvent* e) {
    editor_->PaintBox1MouseMove(Shift(e->modifiers()), static_cast<int>(e->position().x()),
                                static_cast<int>(e->position().y()));
    showPointer();
  };
  PaintBox1->onMouseUp = [this](QMouseEvent* e) {
    editor_->PaintBox1MouseUp(Button(e->button()), Shift(e->modifiers()), static_cast<int>(e->position().x()),
                              static_cast<int>(e->position().y()));
    showPointer();
  };
  PaintBox1->onWheel = [this](QWheelEvent* e) { wheelEvent(e); };
  PaintBox1->onDoubleClick = [this] { editor_->PaintBox1DblClick(); };

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
  TabControl1->setProperty(kNotTranslated, true);
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
  connect(benutzen, &QPushButton::clicked, this, [this] {
    const auto* x = Panel6->findChild<QDoubleSpinBox*>("Xed");
    const auto* y = Panel6->findChild<QDoubleSpinBox*>("YEd");
    editor_->BenutzenBtnClick(x->value(), y->value());
    showPointer();
  });
  row->addWidget(benutzen);
  // The command field: Return clicks at the point typed; the entry stays,
  // selected, for the next to replace or to be clicked again.
  KoordEd = new QLineEdit(Panel6);
  KoordEd->setObjectName("KoordEd");
  KoordEd->setPlaceholderText("x,y  @dx,dy  @Abstand<Winkel");
  KoordEd->setToolTip("Punkt eingeben: x,y oder @dx,dy oder @Abstand<Winkel, dann Eingabetaste");
  KoordEd->setMinimumWidth(200);
  connect(KoordEd, &QLineEdit::returnPressed, this, [this] {
    editor_->KoordEdReturn(KoordEd->text().toStdString());
    // Entered: the field's own undo history goes (setText clears it), so
    // Ctrl+Z undoes the drawing, as after a click.
    KoordEd->setText(KoordEd->text());
    KoordEd->selectAll();
    showPointer();
  });
  KoordEd->installEventFilter(this);
  row->addWidget(KoordEd);
  row->addStretch(1);
  column->addWidget(Panel6);

  setCentralWidget(centre);
  StatusBar1 = statusBar();
  StatusBar1->setObjectName("StatusBar1");
  // Permanent, beside the messages and the pointer's coordinates; their
  // texts are put into the language as they are set.
  for (auto [label, name] : {std::pair{&PromptLabel, "PromptLabel"}, std::pair{&SnapLabel, "SnapLabel"},
                             std::pair{&BandLabel, "BandLabel"}, std::pair{&SelectedLabel, "SelectedLabel"}}) {
    *label = new QLabel(StatusBar1);
    (*label)->setObjectName(name);
    (*label)->setProperty(kNotTranslated, true);
    StatusBar1->addPermanentWidget(*label);
  }
}

void TMainForm::showPointer() {
  const ToolState& t = editor_->tool;
  PromptLabel->setText(translated(Prompt(t)));
  QString caught;
  if (t.caught) {
    QString kind = translated(kCaughtPoint);
    if (t.caughtKind)
      if (const auto* item = findChild<QAction*>(Q(kSnapItems[static_cast<int>(*t.caughtKind)])))
        kind = item->text().remove('&');
    caught = QString("%1: %2, %3").arg(kind, Q(FormatFixed(t.caught->x, 4)), Q(FormatFixed(t.caught->y, 4)));
  }
  SnapLabel->setText(caught);
  QString band;
  if (const auto m = t.measure())
    band = translated(kBandLength).arg(Q(FormatFixed(m->length, 4)), Q(FormatFixed(m->angle, 2)));
  BandLabel->setText(band);
}

void TMainForm::FormShow(const std::vector<std::string>& args) { editor_->FormShow(args); }

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // A line edit takes Ctrl+Z for itself even with nothing to undo; left
  // alone here, the shortcut reaches "Rückgängig".
  if (watched == KoordEd && event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->matches(QKeySequence::Undo) && !KoordEd->isUndoAvailable()) ||
        (key->matches(QKeySequence::Redo) && !KoordEd->isRedoAvailable()))
      return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!editor_->FormCloseQuery()) return event->ignore();
  QSettings settings;
  settings.setValue("MainWindow/geometry", saveGeometry());
  settings.setValue("MainWindow/state", saveState());
  event->accept();
}

void TMainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Not while one of its own dialogs or menus is up: that one gives the
  // window back when it closes.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !QApplication::activeModalWidget() &&
      !QApplication::activePopupWidget())
    editor_->FormActivate();
}

void TMainForm::fillRecentFiles() {
  QMenu* menu = findChild<QMenu*>("Zuletztgeffnet1");
  if (!menu) return;
  menu->clear();
  const std::vector<std::string>& names = editor_->RecentFiles();
  for (std::size_t i = 0; i < names.size(); ++i) {
    QAction* a = menu->addAction(QString("&%1 %2").arg(i + 1).arg(QFile::decodeName(QByteArray::fromStdString(names[i]))));
    a->setObjectName(QString("RecentFile%1").arg(i + 1));
    a->setProperty(kNotTranslated, true);  // a file's name
    connect(a, &QAction::triggered, this, [this, i] { editor_->RecentFileClick(static_cast<int>(i)); });
  }
  menu->setEnabled(!names.empty());
}

namespace {

// The one local .dxf file a drag brings, or nothing.
QString DroppedDrawing(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().front();
  if (!url.isLocalFile()) return {};
  const QString path = url.toLocalFile();
  return QFileInfo(path).suffix().compare("dxf", Qt::CaseInsensitive) == 0 ? path : QString();
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedDrawing(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedDrawing(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  const QString path = DroppedDrawing(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  editor_->OpenDroppedFile(path.toStdString());
}

void TMainForm::wheelEvent(QWheelEvent* event) {
  const QPointF at = PaintBox1->mapFromGlobal(event->globalPosition());
  const int delta = event->angleDelta().y();
  if (delta != 0) editor_->FormMouseWheel(delta > 0, Shift(event->modifiers()), at.x(), at.y());
  event->accept();
}

void TMainForm::PaintBox1Paint(QImage& canvas) {
  // The grid's dots lie over the picture: a paint of a part only keeps
  // what is there while they stay as they are.
  const DraftAids& aids = editor_->tool.aids;
  const double grid = aids.raster ? aids.grid.AbstandEd : 0;
  // So do the marks of the cut check.
  const CutCheck* check = editor_->CutMarksShown();
  const std::uint64_t marks = check ? editor_->cutchecked->run : 0;
  if (grid != shownGrid_ || marks != shownCutMarks_) PaintBox1->paintCache().forget();
  shownGrid_ = grid;
  shownCutMarks_ = marks;
  // After a parse of the whole drawing the picture does not wait for the
  // spatial index: it visits every entry, and the index is built once the
  // picture shows (what is in view is noted while it packs its tree).
  if (!editor_->spatialindex.Follow(editor_->drawing))
    PaintBox1->afterNextFrame([this] {
      editor_->spatialindex.Refresh(editor_->drawing, [this] { editor_->inview.prepare(editor_->drawing); });
    });
  if (!PaintBox1->paintCache().paint(canvas, editor_->drawing, editor_->view, editor_->print, PrinterPageSize(),
                                     PaintBox1->logicalDpiX(), &editor_->inview))
    StatusBar1->showMessage(translated(kNotAllDrawn));
  if (grid > 0) {
    QPainter g(&canvas);
    g.setPen(QColor(0x80, 0x80, 0x80));
    for (const Point2 p : GridDots(WindowTransform(editor_->views), grid, canvas.width(), canvas.height()))
      g.drawPoint(WholePixels(p.x), WholePixels(p.y));
  }
  if (check) {
    QPainter g(&canvas);
    DrawCutMarks(g, CutMarks(*check, WindowTransform(editor_->views), canvas.width(), canvas.height()));
  }
  const ViewState& v = editor_->view;
  pictureView_ = PictureView{WindowTransform(editor_->views), v.tab, v.Druckvorschau, v.Linienbreitezeigen};
}

// --- what the window shows of the editor's state --------------------------------

void TMainForm::fillCombo(QComboBox* box, const ItemList& list, bool documentText) {
  const QSignalBlocker block(box);
  box->clear();
  const TextEncoding enc = editor_->drawing.dxf.encoding;
  QStringList items;
  items.reserve(static_cast<qsizetype>(list.items.size()));
  for (const std::string& item : list.items) items << (documentText ? Q(DecodeUnicode(item, enc)) : translated(item));
  box->addItems(items);
  box->setCurrentIndex(list.itemIndex);
}

QString TMainForm::translated(std::string_view text) { return Q(editor_->languages.Translate(text)); }

void TMainForm::showScrollbars() {
  const QSignalBlocker blockH(HorzScrollbar), blockV(VertScrollbar);
  HorzScrollbar->setValue(editor_->view.HorzScrollbarPosition);
  VertScrollbar->setValue(editor_->view.VertScrollbarPosition);
}

void TMainForm::showState() {
  const Editor& e = *editor_;
  const PropertyBar& bar = e.bar;
  if (bar.generation != shownGeneration_) {
    shownGeneration_ = bar.generation;
    fillCombo(LineCombo, bar.LineCombo, true);
    fillCombo(LayerCombo, bar.LayerCombo, true);
    fillCombo(ColorComboBox, bar.ColorComboBox, false);
    fillCombo(LineWeightBox, bar.LineWeightBox, false);
    // A tab bar lays itself out anew for every tab added: a drawing of
    // many thousand layouts shows the first of them.
    constexpr std::size_t kMostTabs = 256;
    const QSignalBlocker block(TabControl1);
    while (TabControl1->count() > 0) TabControl1->removeTab(0);
    const std::size_t shown = std::min(bar.TabControl1.size(), kMostTabs);
    for (std::size_t i = 0; i < shown; ++i)
      TabControl1->addTab(Q(DecodeUnicode(bar.TabControl1[i], e.drawing.dxf.encoding)));
    if (shown < bar.TabControl1.size())
      StatusBar1->showMessage(translated(kFirstTabsOnly)
                                  .arg(bar.TabControl1.size())
                                  .arg(shown));
  }
  for (const auto& [box, list] : {std::pair{LineCombo, &bar.LineCombo}, std::pair{LayerCombo, &bar.LayerCombo},
                                  std::pair{ColorComboBox, &bar.ColorComboBox}, std::pair{LineWeightBox, &bar.LineWeightBox}}) {
    const QSignalBlocker block(box);
    box->setCurrentIndex(list->itemIndex);
  }
  const QSignalBlocker blockTabs(TabControl1);
  TabControl1->setCurrentIndex(e.view.tab);
  showScrollbars();
  // With a selection, the length of what it draws.
  const std::size_t selected = e.SelectedCount();
  const double length = selected ? e.SelectedLength() : 0;
  SelectedLabel->setText(length > 0 ? translated(kSelectedLength).arg(selected).arg(Q(FormatFixed(length, 4)))
                                    : translated(kSelectedCount).arg(selected));
  showPointer();
  showCommands();
}

void TMainForm::showCommands() {
  for (const Control& c : controls_) {
    for (QAction* a : {c.item, c.button}) {
      if (!a) continue;
      if (Checkable(*c.command)) a->setChecked(Checked(*editor_, *c.command));
      if (c.command->enabled) a->setEnabled(c.command->enabled(*editor_));
    }
  }
}

}  // namespace vestrel
