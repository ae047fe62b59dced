// The editor without its window: all state of the main window, grouped by
// subsystem, and every handler of its menus, buttons and window events.
// The Qt window owns one, implements the Platform for it and hands every
// event to it.
//
// The handlers are defined by family: tools/editor.cpp (the window's
// life), tools/file.cpp (menu "Datei"), tools/view.cpp (menu "Ansicht",
// tabs, scroll bars, wheel), tools/zoompan.cpp (the zoom and pan tools),
// tools/modes.cpp (ending tools), tools/mouse.cpp (the drawing area's
// dispatch), tools/draw/ (tools that add to the drawing) and tools/modify/
// (tools that change it); tools/tooltable.h says which tools there are and
// which steps each runs. A handler changes the state through the lower
// layers, shows the messages their results call for, and ends with at
// most one Repaint().
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "document/drawing.h"
#include "document/journal.h"
#include "document/spatialindex.h"
#include "editing/transforms.h"
#include "geometry/path.h"
#include "geometry/point.h"
#include "file/context.h"
#include "file/recovery.h"
#include "i18n/language.h"
#include "platform/platform.h"
#include "tools/propertybar.h"
#include "view/cutcheck.h"
#include "view/inview.h"
#include "view/objectsnap.h"
#include "view/transform.h"
#include "writers/insertcode.h"

namespace vestrel {

enum class MouseButton { Left, Right, Middle };
struct ShiftState {
  bool shift = false, ctrl = false, alt = false;
};

// The tool buttons of the left tool bar, one radio group: the armed tool is
// the one whose button is down (the regular polygon's is the circle's; the
// tool table, tools/tooltable.h, names them).
enum class ToolButton {
  None, LineBtn, PolyLineBtn, RectangleBtn, ArcBtn, CircleBtn, SplineBtn, EllipseBtn, TextBtn,
  DimensionBtn, PointBtn, SolidBtn, ArrowBtn, PenBtn,
};

// The tools of the drawing area: what runs, what it has collected so far,
// and the rubber band on the screen. At most one drawing mode is on.
struct ToolState {
  // The armed tool; the first click of a tool releases its button (but for
  // the point and free-hand tools) and its mode carries on.
  ToolButton down = ToolButton::None;

  // The modes, each a row of the tool table (tools/tooltable.cpp), which
  // ends them all and dispatches the mouse to them.
  // Drawing modes: the tool has its first point and waits for the next.
  bool inlin = false;     // a line, construction line, ray or arrow
  bool inarrow = false;   // the line gets an arrow head
  bool inpoly = false;    // a polyline, free-hand stroke or spline in polyline0
  bool inrec = false;     // a rectangle
  bool inarc = false;     // an arc
  bool incircle = false;  // a circle or regular polygon
  bool inellipse = false;
  bool insolid = false;
  bool indim = false;  // a dimension
  // Editing modes: picking objects, then waiting for points.
  bool indelselect = false;
  bool incopyselect = false, incopyline = false;
  bool inmoveselect = false, inmoveline = false;
  bool inrotateselect = false, inrotateline = false;
  bool inmirrorselect = false, inmirrorline = false;
  bool inscaleselect = false, inscaleline = false;
  bool inarrayselect = false;
  bool injoinselect = false, inexplodeselect = false;
  // "Brechen": the object picked at its first point (breakobject,
  // linesx/linesy once ellipsemode is 1), then the second point;
  // "Verlängern": clicks near the ends of objects, until Escape.
  bool inbreak = false, inlengthen = false;
  std::int32_t breakobject = -1;
  // "Stutzen" and "Dehnen": their edges are picked, then the objects to cut
  // or carry on are clicked.
  bool intrimselect = false, inextendselect = false;
  bool intrim = false, inextend = false;
  // "Parallele": the object picked (-1 while one is picked) in the drawing
  // as parsed then, then its side or the point to pass through; the
  // distance (none: through a point).
  bool inoffset = false;
  std::int32_t offsetentry = -1;
  std::uint64_t offsetgeneration = 0;
  std::optional<double> offsetdistance;
  // "Abrunden" and "Fasen": the objects to round or bevel are clicked;
  // the first, once clicked, is kept with where it was clicked.
  bool infillet = false, inchamfer = false;
  std::int32_t cornerentry = -1;
  Point2 cornerpick;
  bool inzoom = false;  // the drag-zoom tool is armed
  bool inhand = false;  // the pan tool is armed
  bool inzoomwindow = false;  // "Zoom Fenster": a window to zoom to, its first corner once ellipsemode is 1
  bool inmeasure = false;     // "Messen": the points of a distance, an angle or an area (MeasureVariant in arcmode)
  // Selection: a window has its first corner; the selection or one of its
  // grips is dragged.
  bool inmassselect = false, inmove = false, inmovepoint = false;
  // Menu "Optionen": scaling and rotation ask for their value.
  bool SkalierungsfaktorperTastatureingeben = true;
  bool RotationsrichtungperTastatureingeben = false;
  // Menu "Fang": the object snaps switched on, and F3's switch that turns
  // them all off for a while, keeping which they are.
  SnapModes snaps = 0;
  bool snapsoff = false;
  SnapModes activeSnaps() const { return snapsoff ? 0 : snaps; }
  // The last point an object snap gave, and its kind.
  std::optional<SnapHit> snapped;
  // The snap grid, ortho and polar (kept for the next start too).
  DraftAids aids;
  // The last point a click or a typed point fixed, in drawing units: what
  // "@" refers to when no tool has a point of its own yet.
  std::optional<Point2> lastpoint;
  // What the status bar tells of the pointer while the rubber band shows:
  // the point it is caught at (with the object snap's kind; none for the
  // nearest drawn point), and the band from the tool's last fixed point to
  // the pointer, in drawing units.
  std::optional<Point2> caught;
  std::optional<SnapKind> caughtKind;
  std::optional<std::pair<Point2, Point2>> band;
  // The band's length, and its angle in degrees counter-clockwise from
  // the x axis, from 0 up to 360.
  struct Measure {
    double length = 0, angle = 0;
  };
  std::optional<Measure> measure() const;

  // "Messen": the points taken so far, and the last result as named
  // values ("distance", "dx", ...).
  std::vector<Point2> measuring;
  std::vector<std::pair<std::string_view, double>> measured;

  // The edges of a trim or an extension: every shown object (`all`), or
  // those picked (their entries, in order, kept as the cuts change the
  // drawing, and their handles, which find them again after an undo: the
  // parse they stand for); the curves that references among them draw, in the plan,
  // taken once when the edges are picked (the tools change no reference);
  // and how far the drawing reaches, for an end carried on.
  struct Edges {
    bool all = false;
    std::vector<std::int32_t> picked;
    std::vector<Handle> handles;
    std::uint64_t generation = 0;
    std::vector<Piece> referenced;
    double reach = 0;
  } edges;

  int arcmode = 0;      // the variant of the armed tool (LineVariant, CircleVariant, ...)
  int ellipsemode = 0;  // the clicks a multi-click tool has stored after its first
  int addmode = 0;      // polylines: the next segment is straight (0) or an arc (1)
  int splinemode = 0;   // splines: 0 fit points, 1 and 2 the two clicks after "Fertig"
  bool splineshouldclose = false;
  // The vertices of the polyline or spline being drawn; bulges in screen
  // orientation (the negatives of the drawing's).
  std::vector<PolyVertex> polyline0;
  // Points of the running tool, in drawing units.
  double linesx = 0, linesy = 0, linesx2 = 0, linesy2 = 0, linesx3 = 0, linesy3 = 0, linesz3 = 0;
  double linesx4 = 0, linesy4 = 0, linesx5 = 0, linesy5 = 0;
  double ellipsewinkel1 = 0, ellipsewinkel2 = 0;  // an elliptical arc's angles, radians
  double lastcalcbulge = 0;
  // Drags of the selection and of grips.
  double movestartx = 0, movestarty = 0;
  int movepointnr = 0, moveobjnr = 0;
  int lastmousex = 0, lastmousey = 0;
  // The middle button held: where it went down, with the keys. Once the
  // pointer moves more than 3 pixels from there it pans the view in any
  // mode; let go before, it clicks there as the left button would.
  struct MiddlePress {
    int x = 0, y = 0;
    ShiftState shift;
    bool panning = false;
  };
  std::optional<MiddlePress> middle;

  // The rubber band on the screen: every segment drawn in XOR, so that
  // drawing them again erases them.
  std::vector<tremove> remove;
  int anzrem = 0;
};

class Editor {
 public:
  explicit Editor(Platform& platform);
  // The drawing's lock goes with the editor.
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  Platform& platform;
  Drawing drawing;
  Journal undos;
  FileState file;
  ViewState view;
  PrintSetup print;
  ToolState tool;
  PropertyBar bar;
  DialogValues dialogs;  // the small dialogs' values, kept from one use to the next
  LanguageState languages;  // the language in force and the dictionary
  // Where the display list's points lie, for snapping and picking; rebuilt
  // on demand after a parse.
  SpatialIndex spatialindex;
  // Which entries the view shows, for painting, found through the index.
  InView inview{spatialindex};
  // What the object snaps keep from one mouse move to the next.
  ObjectSnap objectsnap;
  // What the lower layers work on.
  DocumentContext doc{drawing, undos, file, view.tab};
  ViewContext views{drawing, view, print, platform};

  // Brings the window up to date after a handler's work: the lists after a
  // parse, the caption, then the one repaint.
  void Repaint();
  // The repaint after a change of the view alone: zoom and scroll.
  void RepaintView();
  // Only the caption, for handlers that change nothing that is drawn.
  void ShowCaption();

  // The window's life.
  void FormCreate(std::string progpath);
  // The first showing: a new drawing, then the file named on the command
  // line, if any.
  void FormShow(const std::vector<std::string>& args);
  // Closing the window; false keeps it open.
  bool FormCloseQuery();
  // The window became active again: when another program changed or
  // removed the drawing's file since, the user is asked about it, once
  // for each change.
  void FormActivate();
  // Reads options.dat and the dictionary of the per-user folder, where
  // the locks of open drawings go too (tools/language.cpp); the window
  // calls it after FormCreate.
  void LoadLanguage();

  // Menu "Sprache": the language of the next start, and the translation
  // editor.
  void Deutsch1Click();
  void English1Click();
  void Italiano1Click();
  void Franais1Click();
  void Espaol1Click();
  void N13Click();  // Russian
  void Portugus1Click();
  void Nederlands1Click();
  void Jzykpolski1Click();
  void esky1Click();
  void bersetzen1Click();

  // Menu "Datei".
  void NeueDXFDatei1Click();
  void NeueDXFDateiR12ohneSplineohneEllipseusw1Click();
  void ffnen1Click();
  void Speichern1Click();
  void Speichernunter1Click();
  void Drucken1Click();
  void Seiteeinrichten1Click();
  void Druckereinrichten1Click();
  void Beenden1Click();
  // "Wiederherstellen...": the drawings of records that programs which
  // ended without dropping them left, offered one by one.
  void Wiederherstellen2Click();
  // After the window showed: offers those drawings, if there are any.
  void OfferRecovery();
  // Writes what the record of the changes holds to the disk (the window
  // calls it twice a second); tells once, when it `mayTell`, that no record
  // can be kept.
  void KeepRecovery(bool mayTell);
  // The drawing is dropped on purpose (the end of a replay): its record
  // goes.
  void DropRecovery();
  // "Zuletzt geöffnet": the drawings opened or saved last, the latest
  // first; opening one of them, as a file dropped onto the window is
  // opened, the question about unsaved changes first.
  const std::vector<std::string>& RecentFiles();
  void RecentFileClick(int index);
  void OpenDroppedFile(const std::string& name);
  // Menu "Extras": a macro recorded, or played back into the drawing.
  void Makroaufzeichnen1Click() { platform.RecordMacro(); }
  void Makroabspielen1Click() { platform.PlayMacro(); }
  // "Messen": the distance of two points, the angle of three, the area of
  // points or, with a selection, of the selected closed objects
  // (tools/measure.cpp).
  void MessenAbstand1Click();
  void MessenWinkel1Click();
  void MessenFlaeche1Click();
  // "Zuschnitt prüfen": the shown tab checked for cutting machines, in its
  // dialog (tools/cutting.cpp).
  void ZuschnittPruefen1Click();
  // The last check, with the parse and the tab it was made on, and which
  // check of this run it was (the window redraws the marks of a new one).
  struct CutChecked {
    CutCheck check;
    std::uint64_t generation = 0;
    int tab = 0;
    std::uint64_t run = 0;
  };
  std::optional<CutChecked> cutchecked;
  // The check whose findings the drawing area marks: the last, while the
  // drawing and the tab are still those it checked; none otherwise.
  const CutCheck* CutMarksShown() const;
  // The length of all that is selected (in the shown tab's block or
  // outside blocks), by the exact curves of what has a length.
  double SelectedLength() const;
  bool recordingMacro = false;  // the window records what the user does
  bool playingMacro = false;    // a macro plays: no other can be played meanwhile

  // Menu "Bearbeiten".
  void Rckgngig1Click();
  void Wiederherstellen1Click();
  void AllesAuswhlen1Click();
  void Nichtsauswhlen1Click();
  // Whether an object of the shown tab's block (or outside blocks) is
  // selected.
  bool IsSelected() const;
  // How many such objects are selected.
  std::size_t SelectedCount() const;

  // The editing tools ("Bearbeiten" and the right tool bar). Delete and
  // the array work on the selection at once; the others then wait for
  // their points. With nothing selected, each lets objects be picked
  // first; the right button ends the picking.
  void DelBtnClick();
  void CopyBtnClick();
  void MoveBtnClick();
  void RotateBtnClick();
  void MirrorBtnClick();
  void ScaleBtnClick();
  void ArrayBtnClick();
  // Menu "Ändern": join and explode work on the selection at once, the
  // join after asking for its tolerance.
  void JoinBtnClick();
  void ExplodeBtnClick();
  // Break and lengthen pick their object by a click; lengthen asks first
  // by how much, or to which length.
  void BreakBtnClick();
  void LengthenBtnClick();
  // Trim and extend take their edges first, then click after click.
  void TrimBtnClick();
  void ExtendBtnClick();
  // "Parallele": asks for the distance, then takes object after object and
  // the side of each until the right button or Escape.
  void OffsetBtnClick();
  // Fillet and chamfer ask for their radius or distances, then take two
  // clicked objects.
  void FilletBtnClick();
  void ChamferBtnClick();

  // Menu "Ansicht", the tabs, the scroll bars and the wheel.
  void ZoomAllClick();
  void ZoomInBtnClick();
  void ZoomOutBtnClick();
  void Druckvorschau1Click();
  void Linienbreitezeigen1Click();
  void TabControl1Change(int tab);
  void HorzScrollbarChange(int position);
  void VertScrollbarChange(int position);
  void FormMouseWheel(bool up, ShiftState shift, double x, double y);

  // The zoom and pan tools; "Zoom Fenster" zooms to a window dragged or
  // clicked open, "Vorherige Ansicht" goes back to the view before.
  void ZoomBtnClick();
  void HandBtnClick();
  void ZoomFenster1Click();
  void ZoomVorher1Click();

  // The drawing tools: each arms its tool (its button down), ending what
  // ran before.
  void LineBtnClick();
  void Konstruktionslinie1Click();
  void Strahl1Click();
  void ArrowBtnClick();
  void PolyLineBtnClick();
  void PenBtnClick();
  void SplineBtnClick();
  void PolyGonClick();
  void RectangleBtnClick();
  void ArcBtnClick();
  void N3PunkteStartEndeMitte1Click();
  void MittelpunktStart1Click();
  void CircleBtnClick();
  void MittelpunktDurchmesser1Click();
  void N2Punkte1Click();
  void N3Punkte1Click();
  void EllipseBtnClick();
  void Mittelpunkt1Click();
  void Ellipsenbogen1Click();
  void EllipsenbogenMittelpunkt1Click();
  void TextBtnClick();
  void DimensionBtnClick();
  void PointBtnClick();
  void SolidBtnClick();
  // The polyline's popup menu: finish it open or closed, and the kind of
  // its next segment.
  void Fertig1Click();
  void Linienzugschlieen1Click();
  void Kreisbogen2Click();
  void Linie2Click();

  // The keyboard: Escape ends what runs, Return a measured area (other
  // keys do nothing), and the
  // typed point (X, Y) of the panel below the tabs is clicked.
  void keyeditKeyDown(int key);
  void BenutzenBtnClick(double x, double y);
  // Menu "Optionen": whether rotation and scale ask for their value.
  void SkalierungsfaktorperTastatureingeben1Click();
  void RotationsrichtungperTastatureingeben1Click();
  // Menu "Fang": each object snap switched on or off, and all of them
  // off for a while and on again (F3); the switches are kept for the next
  // start.
  template <SnapKind K>
  void FangClick() {
    SnapSwitchClick(K);
  }
  void SnapSwitchClick(SnapKind k);
  void Objektfang1Click();
  // The snap grid (F9), ortho (F8) and polar (F10) switched on or off, and
  // the dialogs of the grid's spacing and the polar step; all kept for the
  // next start.
  void FangRaster1Click();
  void Ortho1Click();
  void Polar1Click();
  void Rasterabstand1Click();
  void Polarwinkel1Click();
  // Return in the command field beside X and Y: its entry (tools/drafting.h)
  // clicked as the typed point; an entry that is none is told in the status
  // bar, and nothing is clicked. False then.
  bool KoordEdReturn(std::string_view text);

  // Viewports.
  void Viewporthinzufgen1Click();

  // Menu "Format": the layer manager and a new line type.
  void LayerBtnClick();
  void Linienstile1Click();

  // The property boxes apply their entry to the selection; a double click
  // on a selected text edits it.
  void ColorComboBoxChange(int index);
  void LayerComboChange(int index);
  void LineComboChange(int index);
  void LineWeightBoxChange(int index);
  void PaintBox1DblClick();

  // The drawing area.
  void PaintBox1MouseDown(MouseButton button, ShiftState shift, int x, int y);
  void PaintBox1MouseMove(ShiftState shift, int x, int y);
  void PaintBox1MouseUp(MouseButton button, ShiftState shift, int x, int y);

  // Ends whatever tool runs.
  void SetAlltoFalse();
  // Erases the rubber band from the screen.
  void removeall();
  // Draws a rubber-band segment in XOR and records it for erasing;
  // `joined`: stroked as one path with the segment before it.
  void AddRubberBand(int x1, int y1, int x2, int y2, PenStyle syl = PenStyle::Solid, bool joined = false);

  // Memory ran out in the middle of an event: the user is told, and the
  // drawing is parsed again if memory now allows (else it shows nothing
  // until it does; its lines are all there and can be saved).
  void OutOfMemory();

  // Tells the user why a writer wrote nothing, when that is worth a word.
  void Report(InsertResult result);
  // Tells the user why an edit changed nothing, when that is worth a word.
  void Report(EditResult result);
  // Arms the drawing tool of `button`: whatever ran ends, the button goes
  // down (the window shows it) and `arcmode` is the tool's variant (as it
  // was for a tool without variants).
  void Arm(ToolButton button, int arcmode);
  // Releases the armed tool's button (its mode, if on, carries on).
  void Release();

 private:
  // The language step of the first showing: messages and forms in the
  // language read at start, and a damaged dictionary told of.
  void ShowLanguage();
  // Language item `n` was chosen.
  void ChooseLanguage(int n);
  // Writes options.dat, and the dictionary when texts were met since it was
  // written, at the end; tells when a language chosen in this run cannot be
  // kept.
  void SaveLanguage();
  // A drawing was loaded or started: the model tab zoomed to its extents.
  void ShowLoaded();
  // The viewports a layout tab is given on its visit when it has none.
  void AddLayoutViewports(int tab);
  // The drawing's file goes first in the recent files, when it has one.
  void RememberFile();
  // Opens `name` after the question about unsaved changes.
  void OpenNamed(const std::string& name);
  // Ends a handler of the file's life that loaded nothing itself: the
  // caption, or all of the window when the drawing was loaded anew from
  // its file on the way (parsed since `parse`), answering a question about
  // the file changed by others.
  void ShowFileKept(std::uint64_t parse);
  // Offers the drawings of records left behind; false when there was none.
  bool OfferRecoveries();
  // Makes the drawing of the record `path` and takes the record over.
  bool Recover(const std::string& path, const Recovery& r);

  // The record of the unsaved changes; none until the window first showed,
  // or without a per-user folder.
  std::unique_ptr<RecoveryLog> recovery_;

  // What SelectedLength found last: the status bar asks after every
  // repaint, and the selection seldom changes between two.
  struct LengthOfSelection {
    std::uint64_t generation = 0;
    int tab = 0;
    std::vector<std::size_t> selected;
    double length = 0;
  };
  mutable std::optional<LengthOfSelection> selectedLength_;
  bool recoveryTold_ = false;

  std::vector<std::string> recent_;
  bool recentRead_ = false;
};

}  // namespace vestrel
