// The main window: menus, tool bars, the property boxes, the drawing area
// with its scroll bars, the layout tabs, the coordinate panel and the status
// bar. Its menus and tool bars are built from the command table; it
// implements the Platform for the editor (in MainPlatform.cpp) and hands
// every event to it.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tools/commands.h"
#include "tools/editor.h"

class QAction;
class QComboBox;
class QLineEdit;
class QLabel;
class QMenu;
class QProgressDialog;
class QScrollBar;
class QStatusBar;
class QTabBar;
class QToolBar;
class QWidget;

namespace vestrel {

class PaintBox;
class MacroRecorder;
class TAddNewLayerForm;
class TLayerForm;
class TLinienstilForm;
class TAddTextForm;
class TArrayForm;
class TDruckenForm;
class TPolygonForm;
class TRotationsForm;
class TSkalierungForm;
class TRasterForm;
class TPolarForm;
class TJoinForm;
class TLengthenForm;
class TOffsetForm;
class TFilletForm;
class TChamferForm;
class TMessenForm;
class TZuschnittForm;
class TTranslateForm;
class TViewPortForm;
struct ItemList;

// The property of a message box that holds the number of its text in the
// message table.
inline constexpr char kMessageNumber[] = "messageNumber";

class TMainForm : public QMainWindow, public Platform {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  Editor& editor() { return *editor_; }
  QPrinter& printer() { return printer_; }

  // The first showing: a new drawing, then the file of the command line.
  void FormShow(const std::vector<std::string>& args);

  // Platform.
  std::string Message(int nr) override;
  std::string Translate(std::string_view text) override;
  std::string UserDataFolder() override;
  void TranslateAllForms() override;
  void UseLanguage(int language) override;
  void ShowTranslateDialog() override;
  void ShowMessage(int nr, std::string_view suffix, MsgIcon icon, int captionNr) override;
  void SetCaption(std::string_view caption) override;
  void Repaint() override;
  void RepaintView() override;
  void ShowState() override;
  void ShowPopupMenu(int x, int y) override;
  void CloseMainWindow() override;
  PixelSize PaintBoxSize() override;
  void SetCursor(Cursor cursor) override;
  void DrawXor(std::span<const tremove> segments) override;
  void SetStatusText(std::string_view text) override;
  bool Progress(int nr, std::int64_t done, std::int64_t total) override;
  void EndProgress() override;
  PrinterPage PrinterPageSize() override;
  void PrintDrawing(const PrintSetup& setup) override;
  void UsePaper(std::optional<PaperSize> paper) override;
  Answer AskYesNoCancel(int nr, int captionNr) override;
  bool AskYesNo(int nr, std::string_view suffix) override;
  DiskChoice AskAboutDiskChange(int nr, std::string_view suffix, bool removed) override;
  std::optional<std::string> OpenFileDialog() override;
  std::optional<std::string> SaveFileDialog() override;
  DialogResult ShowPrintDialog(PrintSetup& setup, bool remember) override;
  void PrinterSetupDialog() override;
  DialogResult ShowViewportDialog(ViewportValues& values) override;
  DialogResult ShowTextDialog(TextDialogValues& values) override;
  DialogResult ShowArrayDialog(ArrayDialogValues& values) override;
  DialogResult ShowPolygonDialog(PolygonDialogValues& values) override;
  DialogResult ShowRotationDialog(RotationDialogValues& values) override;
  DialogResult ShowScaleDialog(ScaleDialogValues& values) override;
  DialogResult ShowNewLayerDialog(NewLayerDialogValues& values) override;
  std::vector<std::string> RecentFiles() override;
  void RecordMacro() override;
  void PlayMacro() override;
  void KeepRecentFiles(const std::vector<std::string>& names) override;
  std::uint32_t KeptSnaps() override;
  void KeepSnaps(std::uint32_t modes) override;
  std::optional<DraftAids> KeptAids() override;
  void KeepAids(const DraftAids& aids) override;
  DialogResult ShowRasterDialog(RasterDialogValues& values) override;
  DialogResult ShowPolarDialog(PolarDialogValues& values) override;
  DialogResult ShowJoinDialog(JoinDialogValues& values) override;
  DialogResult ShowLengthenDialog(LengthenDialogValues& values) override;
  DialogResult ShowOffsetDialog(OffsetDialogValues& values) override;
  DialogResult ShowFilletDialog(FilletDialogValues& values) override;
  DialogResult ShowChamferDialog(ChamferDialogValues& values) override;
  void ShowMeasureDialog(std::string_view text) override;
  void ShowCutCheckDialog(CutCheckDialogValues& values, CutCheckSteps& steps) override;
  DialogResult ShowLayerDialog(LayerDialogValues& values) override;
  // A script starts with the object snaps, the grid, ortho and polar off
  // and their spacing and angle as at a first start, whatever the user
  // keeps, and leaves what the user keeps as it was: it runs the same on
  // every machine.
  void KeepNoSwitches() { keepSwitches_ = false; }
  DialogResult ShowLineStyleDialog(LineStyleDialogValues& values) override;

  // The controls, named as the program names them.
  PaintBox* PaintBox1 = nullptr;
  QScrollBar* HorzScrollbar = nullptr;
  QScrollBar* VertScrollbar = nullptr;
  QTabBar* TabControl1 = nullptr;
  QComboBox* LineCombo = nullptr;
  QComboBox* ColorComboBox = nullptr;
  QComboBox* LayerCombo = nullptr;
  QComboBox* LineWeightBox = nullptr;
  QToolBar* ToolBar1 = nullptr;  // files, view and properties
  QToolBar* ToolBar2 = nullptr;  // drawing tools, left
  QToolBar* ToolBar3 = nullptr;  // editing tools, right
  QToolBar* ToolBar4 = nullptr;  // object snaps
  QWidget* Panel6 = nullptr;     // below the tabs: typed coordinates
  QLineEdit* KoordEd = nullptr;  // in Panel6: a typed point, "x,y", "@dx,dy" or "@distance<angle"
  QStatusBar* StatusBar1 = nullptr;
  // Beside the pointer's coordinates in the status bar: what the tool asks
  // for, the point the pointer is caught at, the rubber band's length and
  // angle, and how many objects are selected.
  QLabel* PromptLabel = nullptr;
  QLabel* SnapLabel = nullptr;
  QLabel* BandLabel = nullptr;
  QLabel* SelectedLabel = nullptr;
  // Shows what the tool asks for and what the pointer caught.
  void showPointer();
  QMenu* PopupMenu1 = nullptr;  // at the pointer while a polyline is drawn
  TDruckenForm* DruckenForm = nullptr;
  TViewPortForm* ViewPortForm = nullptr;
  TAddTextForm* AddTextForm = nullptr;
  TArrayForm* ArrayForm = nullptr;
  TPolygonForm* PolygonForm = nullptr;
  TRotationsForm* RotationsForm = nullptr;
  TSkalierungForm* SkalierungForm = nullptr;
  TRasterForm* RasterForm = nullptr;
  TPolarForm* PolarForm = nullptr;
  TJoinForm* JoinForm = nullptr;
  TLengthenForm* LengthenForm = nullptr;
  TOffsetForm* OffsetForm = nullptr;
  TFilletForm* FilletForm = nullptr;
  TChamferForm* ChamferForm = nullptr;
  TMessenForm* MessenForm = nullptr;
  TZuschnittForm* ZuschnittForm = nullptr;
  TAddNewLayerForm* AddNewLayerForm = nullptr;
  TLayerForm* LayerForm = nullptr;
  TLinienstilForm* LinienstilForm = nullptr;
  TTranslateForm* TranslateForm = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The command field leaves Ctrl+Z and its redo to the drawing once what
  // was typed there has been entered.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Becoming the active window again: the editor looks whether others
  // changed the drawing's file meanwhile.
  void changeEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  // A drawing dropped onto the window is opened; nothing else is taken.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // A command's menu item and tool button, as far as it has them.
  struct Control {
    const Command* command;
    QAction* item;
    QAction* button;
  };

  void buildCommands();
  // The items of "Zuletzt geöffnet", one a recent drawing ("RecentFile1" ...).
  void fillRecentFiles();
  void buildCentre();
  void showState();
  // The view's offsets on the scroll bars.
  void showScrollbars();
  // The check marks and the enabled state of every command.
  void showCommands();
  void fillCombo(QComboBox* box, const ItemList& list, bool documentText);
  QString translated(std::string_view text);
  void PaintBox1Paint(QImage& canvas);

  std::unique_ptr<Editor> editor_;
  MacroRecorder* recorder_ = nullptr;
  QPrinter printer_{QPrinter::HighResolution};
  std::optional<QPageLayout> ownPage_;  // the printer's own page while a layout's paper is used
  std::vector<Control> controls_;
  std::uint64_t shownGeneration_ = ~std::uint64_t{0};
  double shownGrid_ = 0;  // the spacing of the grid the canvas shows; 0 for none
  std::uint64_t shownCutMarks_ = 0;  // the check whose marks the canvas shows; 0 for none
  // The view the paint box's picture was last rendered for.
  struct PictureView {
    ScreenTransform window;
    int tab;
    bool preview, weights;
  };
  std::optional<PictureView> pictureView_;
  // The long work under way: since when, its progress bar once shown, when
  // the window last had its turn, and whether the user cancelled it.
  QElapsedTimer progressClock_;
  QPointer<QProgressDialog> progress_;
  qint64 progressEventsAt_ = 0;
  bool progressCancelled_ = false;
  bool keepSwitches_ = true;
};

}  // namespace vestrel
