// The main window as the editor's Platform: message boxes, questions, the
// dialogs, the caption, repaints, the printer.
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPageLayout>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTransform>
#include <cmath>
#include <fstream>

#include "app/MainUnit.h"
#include "app/export.h"
#include "app/icons.h"
#include "app/macro.h"
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
#include "i18n/msg.h"
#include "i18n/translateforms.h"
#include "view/printing.h"
#include "view/renderer.h"

namespace vestrel {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::optional<std::string> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
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

std::string TMainForm::Message(int nr) { return editor_->languages.Message(nr); }

std::string TMainForm::Translate(std::string_view text) { return editor_->languages.Translate(text); }

std::string TMainForm::UserDataFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
}

void TMainForm::UseLanguage(int language) { InstallQtTranslations(language); }

void TMainForm::TranslateAllForms() {
  vestrel::TranslateAllForms({this}, [this](std::string_view text) { return Translate(text); });
}

void TMainForm::ShowTranslateDialog() { TranslateForm->Run(editor_->languages); }

void TMainForm::ShowMessage(int nr, std::string_view suffix, MsgIcon icon, int captionNr) {
  QMessageBox box(this);
  box.setText(Q(Message(nr)) + Q(suffix));
  box.setProperty(kMessageNumber, nr);
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
  QMessageBox box(QMessageBox::Question, Q(Message(captionNr)), Q(Message(nr)),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  box.setProperty(kMessageNumber, nr);
  const int b = box.exec();
  return b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel;
}

bool TMainForm::AskYesNo(int nr, std::string_view suffix) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), Q(Message(nr)) + Q(suffix),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setProperty(kMessageNumber, nr);
  return box.exec() == QMessageBox::Yes;
}

DiskChoice TMainForm::AskAboutDiskChange(int nr, std::string_view suffix, bool removed) {
  QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), Q(Message(nr)) + Q(suffix),
                  QMessageBox::NoButton, this);
  box.setProperty(kMessageNumber, nr);
  // Escape, and a box closed any other way, keep on editing: nothing is
  // written, nothing dropped.
  QPushButton* first = box.addButton(translated(removed ? kSaveAgain : kReload), QMessageBox::ActionRole);
  first->setObjectName(removed ? "SaveAgainBtn" : "ReloadBtn");
  QPushButton* keep = box.addButton(translated(kKeepEditing), QMessageBox::RejectRole);
  keep->setObjectName("KeepEditingBtn");
  QPushButton* saveAs = box.addButton(translated(kSaveUnder), QMessageBox::ActionRole);
  saveAs->setObjectName("SaveAsBtn");
  box.setDefaultButton(keep);
  box.setEscapeButton(keep);
  box.exec();
  if (box.clickedButton() == first) return removed ? DiskChoice::SaveAgain : DiskChoice::Reload;
  if (box.clickedButton() == saveAs) return DiskChoice::SaveAs;
  return DiskChoice::KeepEditing;
}

std::optional<std::string> TMainForm::OpenFileDialog() {
  return RunFileDialog(this, QFileDialog::AcceptOpen, translated(kOpenFilter), "dxf");
}

std::optional<std::string> TMainForm::SaveFileDialog() {
  return RunFileDialog(this, QFileDialog::AcceptSave, translated(kSaveFilter), "dxf");
}

void TMainForm::SetCaption(std::string_view caption) { setWindowTitle(Q(caption)); }

void TMainForm::Repaint() {
  showState();
  PaintBox1->render();
}

void TMainForm::RepaintView() {
  const ViewState& v = editor_->view;
  const std::optional<PictureView>& p = pictureView_;
  if (!p || p->tab != v.tab || p->preview != v.Druckvorschau || p->weights != v.Linienbreitezeigen) return Repaint();
  // Of the state the window shows, the view changed: the bars, and
  // whether there is a view to go back to.
  showScrollbars();
  showCommands();
  // Both transforms scale and shift: where two pixels go says where all go.
  // A pixel's centre lies half a pixel into it.
  const ScreenTransform now = WindowTransform(editor_->views);
  constexpr double kSpan = 1000;
  const Point2 wa = p->window.toWorld(0, 0), wb = p->window.toWorld(kSpan, kSpan);
  const Point2 a = now.toScreen(wa.x, wa.y), b = now.toScreen(wb.x, wb.y);
  const double kx = (b.x - a.x) / kSpan, ky = (b.y - a.y) / kSpan;
  const QTransform move(kx, 0, 0, ky, a.x + 0.5 - 0.5 * kx, a.y + 0.5 - 0.5 * ky);
  if (!(kx > 0 && ky > 0) || !std::isfinite(move.dx()) || !std::isfinite(move.dy())) return PaintBox1->render();
  PaintBox1->renderMoved(move, GroundColor(editor_->drawing, v));
}

void TMainForm::ShowState() { showState(); }

void TMainForm::ShowPopupMenu(int x, int y) { PopupMenu1->popup(PaintBox1->mapToGlobal(QPoint(x, y))); }

void TMainForm::CloseMainWindow() { close(); }

PixelSize TMainForm::PaintBoxSize() { return {PaintBox1->width(), PaintBox1->height()}; }

void TMainForm::DrawXor(std::span<const tremove> segments) { PaintBox1->xorLines(segments); }

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

bool TMainForm::Progress(int nr, std::int64_t done, std::int64_t total) {
  if (!progressClock_.isValid()) {
    progressClock_.start();
    progressEventsAt_ = 0;
    progressCancelled_ = false;
  }
  if (done >= total) {
    // What is left cannot be stopped: the bar stays full, without its
    // button, until the end.
    if (progress_) {
      progress_->setCancelButton(nullptr);
      progress_->setValue(1000);
    }
    return true;
  }
  const qint64 ms = progressClock_.elapsed();
  if (!progress_) {
    // Shown once the work has taken a second, or sooner when what it has
    // done so far says it will.
    if (ms < 1000 && (ms < 200 || done == 0 || ms * total / done < 1000)) return true;
    progress_ = new QProgressDialog(Q(Message(nr)), translated("Abbrechen"), 0, 1000, this);
    progress_->setWindowTitle(QApplication::applicationDisplayName());
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    // Its button, Escape, or the window closed.
    connect(progress_, &QProgressDialog::canceled, this, [this] { progressCancelled_ = true; });
    connect(progress_, &QDialog::rejected, this, [this] { progressCancelled_ = true; });
    progress_->show();
  }
  // The window has its turn a few times a second.
  if (ms - progressEventsAt_ >= 50 || progressEventsAt_ == 0) {
    progressEventsAt_ = ms;
    progress_->setValue(static_cast<int>(done * 1000 / total));
    QApplication::processEvents();
  }
  return !progressCancelled_;
}

void TMainForm::EndProgress() {
  progressClock_.invalidate();
  if (progress_) {
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
  }
}

PrinterPage TMainForm::PrinterPageSize() {
  const QRect page = printer_.pageLayout().fullRectPixels(printer_.resolution());
  return {page.width(), page.height(), printer_.resolution()};
}

DialogResult TMainForm::ShowPrintDialog(PrintSetup& setup, bool remember) {
  const DialogResult r = DruckenForm->Run(setup);
  QSettings settings;
  if (r != DialogResult::Cancel && remember) TDruckenForm::Save(settings, setup);
  settings.setValue("DruckenForm/geometry", DruckenForm->saveGeometry());
  return r;
}

void TMainForm::PrinterSetupDialog() {
  QPrintDialog dialog(&printer_, this);
  dialog.setOption(QAbstractPrintDialog::PrintToFile);
  dialog.exec();
}

// A file's name is its bytes, which need not be UTF-8: such a name is kept
// as bytes, any other as text (as all were kept before).
std::vector<std::string> TMainForm::RecentFiles() {
  std::vector<std::string> names;
  for (const QVariant& name : QSettings().value("RecentFiles").toList())
    names.push_back(name.typeId() == QMetaType::QByteArray ? name.toByteArray().toStdString()
                                                            : name.toString().toStdString());
  return names;
}

std::uint32_t TMainForm::KeptSnaps() { return keepSwitches_ ? QSettings().value("Snaps").toUInt() : 0; }

void TMainForm::KeepSnaps(std::uint32_t modes) {
  if (keepSwitches_) QSettings().setValue("Snaps", modes);
}

std::optional<DraftAids> TMainForm::KeptAids() {
  QSettings settings;
  if (!keepSwitches_ || !settings.contains("Aids/raster")) return std::nullopt;
  DraftAids aids;
  aids.raster = settings.value("Aids/raster").toBool();
  aids.ortho = settings.value("Aids/ortho").toBool();
  aids.polar = settings.value("Aids/polar").toBool();
  aids.grid.AbstandEd = settings.value("Aids/spacing", aids.grid.AbstandEd).toDouble();
  aids.angle.WinkelEd = settings.value("Aids/angle", aids.angle.WinkelEd).toDouble();
  return aids;
}

void TMainForm::KeepAids(const DraftAids& aids) {
  if (!keepSwitches_) return;
  QSettings settings;
  settings.setValue("Aids/raster", aids.raster);
  settings.setValue("Aids/ortho", aids.ortho);
  settings.setValue("Aids/polar", aids.polar);
  settings.setValue("Aids/spacing", aids.grid.AbstandEd);
  settings.setValue("Aids/angle", aids.angle.WinkelEd);
}

void TMainForm::KeepRecentFiles(const std::vector<std::string>& names) {
  QVariantList list;
  for (const std::string& name : names)
    list << (IsValidUtf8(name) ? QVariant(QString::fromStdString(name)) : QVariant(QByteArray::fromStdString(name)));
  QSettings().setValue("RecentFiles", list);
  fillRecentFiles();
}

void TMainForm::RecordMacro() {
  if (!recorder_) recorder_ = new MacroRecorder(*this);
  if (!recorder_->recording()) {
    recorder_->start();
    editor_->recordingMacro = true;
    return showState();
  }
  const std::vector<std::string> lines = recorder_->stop();
  editor_->recordingMacro = false;
  showState();
  const auto name = RunFileDialog(this, QFileDialog::AcceptSave, "Makros (*.replay)", "replay");
  if (!name) return;
  std::ofstream out(*name, std::ios::binary);
  out << "# Vestrel macro: vestrel --replay runs it, \"Makro abspielen...\" plays it\n";
  for (const std::string& line : lines) out << line << '\n';
  out.close();
  if (!out) ShowMessage(msg::MacroNotSaved, *name, MsgIcon::Error, 0);
}

void TMainForm::PlayMacro() {
  // While recording, the macro's file dialog and messages are no part of
  // the recording; what the macro does is.
  const auto pause = [this](bool paused) {
    if (recorder_) recorder_->pause(paused);
  };
  pause(true);
  const auto name = RunFileDialog(this, QFileDialog::AcceptOpen, "Makros (*.replay)", "replay");
  MacroPlay played;
  if (name) {
    pause(false);
    played = vestrel::PlayMacro(*this, *name);
    pause(true);
  }
  if (played.unreadable != FileError::None)
    ShowMessage(msg::MacroUnreadable, *name + "\n" + Translate(FileErrorText(played.unreadable)), MsgIcon::Error, 0);
  else if (!played.stopped.empty())
    ShowMessage(msg::MacroStopped, played.stopped, MsgIcon::Error, 0);
  pause(false);
}

DialogResult TMainForm::ShowViewportDialog(ViewportValues& values) { return ViewPortForm->Run(values); }

DialogResult TMainForm::ShowTextDialog(TextDialogValues& values) {
  const DialogResult r = AddTextForm->Run(values);
  if (r == DialogResult::Ok) {
    QSettings settings;
    TAddTextForm::Save(settings, values);
  }
  return r;
}

DialogResult TMainForm::ShowArrayDialog(ArrayDialogValues& values) { return ArrayForm->Run(values); }

DialogResult TMainForm::ShowPolygonDialog(PolygonDialogValues& values) { return PolygonForm->Run(values); }

DialogResult TMainForm::ShowRotationDialog(RotationDialogValues& values) { return RotationsForm->Run(values); }

DialogResult TMainForm::ShowScaleDialog(ScaleDialogValues& values) { return SkalierungForm->Run(values); }

DialogResult TMainForm::ShowRasterDialog(RasterDialogValues& values) { return RasterForm->Run(values); }

DialogResult TMainForm::ShowPolarDialog(PolarDialogValues& values) { return PolarForm->Run(values); }
DialogResult TMainForm::ShowJoinDialog(JoinDialogValues& values) { return JoinForm->Run(values); }
DialogResult TMainForm::ShowLengthenDialog(LengthenDialogValues& values) { return LengthenForm->Run(values); }
DialogResult TMainForm::ShowOffsetDialog(OffsetDialogValues& values) { return OffsetForm->Run(values); }
DialogResult TMainForm::ShowFilletDialog(FilletDialogValues& values) { return FilletForm->Run(values); }
DialogResult TMainForm::ShowChamferDialog(ChamferDialogValues& values) { return ChamferForm->Run(values); }
void TMainForm::ShowMeasureDialog(std::string_view text) { MessenForm->Run(text); }
void TMainForm::ShowCutCheckDialog(CutCheckDialogValues& values, CutCheckSteps& steps) {
  ZuschnittForm->Run(values, steps);
}

DialogResult TMainForm::ShowNewLayerDialog(NewLayerDialogValues& values) { return AddNewLayerForm->Run(values); }
DialogResult TMainForm::ShowLayerDialog(LayerDialogValues& values) { return LayerForm->Run(values); }
DialogResult TMainForm::ShowLineStyleDialog(LineStyleDialogValues& values) { return LinienstilForm->Run(values); }

void TMainForm::UsePaper(std::optional<PaperSize> paper) {
  if (!paper) {
    if (ownPage_) printer_.setPageLayout(*std::exchange(ownPage_, std::nullopt));
    return;
  }
  if (!ownPage_) ownPage_ = printer_.pageLayout();
  UsePaperOn(printer_, *paper);
}

void TMainForm::PrintDrawing(const PrintSetup& setup) {
  // Without a printer the page goes into a PDF file.
  if (printer_.outputFormat() == QPrinter::PdfFormat && printer_.outputFileName().isEmpty()) {
    const auto name = RunFileDialog(this, QFileDialog::AcceptSave, translated(kPdfFilter), "pdf");
    if (!name) return;
    printer_.setOutputFileName(QString::fromStdString(*name));
  }
  printer_.setDocName(Q(Message(msg::DxfFile)));
  PrintTab(printer_, editor_->drawing, editor_->view, setup);
}

}  // namespace vestrel
