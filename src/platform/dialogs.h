// The values of the program's own dialogs: each dialog edits one of these
// and nothing else; what the values mean for the drawing is decided below
// the window.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vestrel {

// Millimetres per inch wherever millimetres meet printer or screen pixels.
inline constexpr double kMmPerInch = 25.39995;

// The print dialog "Drucken/Seite einrichten", in millimetres: so many
// millimetres of paper (mmEd) for so many drawing units (UnitsEd), the
// margin on every side (RandEd) and the offset of the drawing's origin
// (XOffsetEd, YOffsetEd). The page set-up of printing, the sheet and the
// print preview.
struct PrintSetup {
  double mmEd = 1, UnitsEd = 1;
  double RandEd = 0;
  double XOffsetEd = 0, YOffsetEd = 0;
  // Millimetres of paper per drawing unit.
  double q() const { return mmEd / UnitsEd; }
};

// The viewport dialog "Viewport konfigurieren": the viewport's size and
// centre on the sheet, and the part of the model it shows.
struct ViewportValues {
  double Breite = 0, Hoehe = 0;     // width, height
  double MitteX = 0, MitteY = 0;    // centre
  double InhaltX = 0, InhaltY = 0;  // the model point at the centre
  double HoeheInhalt = 0;           // the height of model shown
  bool operator==(const ViewportValues&) const = default;
};

// The text dialog "Text hinzufügen": the text, its height and its angle
// in degrees. Memo1 holds the lines as typed, UTF-8, one "\n" between two
// lines (none after the last). The two switches are the caller's, set for
// each showing: they stay as they are set.
struct TextDialogValues {
  std::string Memo1;
  double FontSizeEd = 0.2;           // the height of a text
  double FontSizeDimensionEd = 0.5;  // the height of a dimension's text
  double WinkEd = 0;
  bool dimension = false;   // shows FontSizeDimensionEd instead of FontSizeEd
  bool textChange = false;  // FontSizeEd and WinkEd disabled (changing an existing text)
  bool operator==(const TextDialogValues&) const = default;
};

// The array dialog "Array erstellen": columns and rows (1 to
// kArrayMaxCount each), their spacing, and the array's rotation in degrees.
inline constexpr int kArrayMaxCount = 10000;
struct ArrayDialogValues {
  int SpaltenEd = 4, ZeilenEd = 4;
  double SpaltenAbstandEd = 4, ZeilenAbstandEd = 4, RotierenEd = 0;
  bool operator==(const ArrayDialogValues&) const = default;
};

// The polygon dialog "Vieleck": the number of corners.
struct PolygonDialogValues {
  int EckenEd = 3;
  bool operator==(const PolygonDialogValues&) const = default;
};

// The rotation dialog "Rotationswinkel eingeben": degrees, clockwise.
struct RotationDialogValues {
  double RotEd = 0;
  bool operator==(const RotationDialogValues&) const = default;
};

// The scale dialog "Skalierungsfaktor eingeben": the factor in percent.
struct ScaleDialogValues {
  double SkalEd = 100;
  bool operator==(const ScaleDialogValues&) const = default;
};

// The line weights of the new layer's "Linienbreite:" list, in hundredths
// of a millimetre: "Standard" (the DXF's default, -3), then "0.00 mm" to
// "2.11 mm".
inline constexpr int kLayerLineWeights[] = {-3, 0,  5,  9,  13, 15,  20,  25,  30,  35,  40, 50,
                                            60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

// The new-layer dialog "Neue Ebene hinzufügen": the name as typed (UTF-8),
// the line types it offers (as shown) and the entries chosen in its three
// lists: LineCombo in `linetypes`, ColorComboBox 0 "Rot" to 8 "Hellgrau"
// (colour numbers 1 to 9), LineWeightBox in kLayerLineWeights.
struct NewLayerDialogValues {
  std::string Edit1;
  std::vector<std::string> linetypes;
  int LineCombo = 0, ColorComboBox = 0, LineWeightBox = 0;
  bool operator==(const NewLayerDialogValues&) const = default;
};

// The layer dialog "Ebenen". Its list is its edit buffer: one row per layer
// of the table, in table order, each the layer's name and the texts of its
// columns, which the dialog's buttons change on the selected row. The
// texts are those of the language in force.
struct LayerRow {
  std::string name;      // as shown
  std::string Farbe;     // a colour name of `colours`, or the colour number
  std::string Sichtbar;  // `visible` or `invisible`
  std::string Gesperrt;  // `locked` or `unlocked`
  std::string Linienstil;
  std::string Linienbreite;  // millimetres: "0.25", "-0.03" (by default)
};
struct LayerDialogValues {
  std::vector<LayerRow> rows;
  std::vector<std::string> linetypes;  // LineCombo: the drawing's but "ByLayer" and "ByBlock"
  std::vector<std::string> colours;    // ColorComboBox: the names of the colours 1 to 9
  std::string visible, invisible, locked, unlocked;
  bool newLayer = false;  // closed with "Neue Ebene..."
  int current = -1;       // the row of the layer new objects go to; "Aktuell" makes it the selected one
};

// The line-style dialog "Linienstil hinzufügen": the name, the description
// and the pattern, one length a line (UTF-8, "\n" between lines). Its
// values stay for the next showing.
struct LineStyleDialogValues {
  std::string Edit1, Edit2;
  std::string Memo1 = "6.4\n-1.27\n1.27\n-1.27";
  bool operator==(const LineStyleDialogValues&) const = default;
};

// The grid dialog "Raster": the spacing of the snap grid, in drawing units.
struct RasterDialogValues {
  double AbstandEd = 10;
  bool operator==(const RasterDialogValues&) const = default;
};

// The polar dialog "Polar": the step of the polar angles, in degrees.
struct PolarDialogValues {
  double WinkelEd = 15;
  bool operator==(const PolarDialogValues&) const = default;
};

// The join dialog "Verbinden": how near two ends must come to be joined,
// in drawing units (proposed anew for each join from the drawing's size).
struct JoinDialogValues {
  double ToleranzEd = 1e-6;
  bool operator==(const JoinDialogValues&) const = default;
};

// The dialog "Verlängern": by how much (ArtCombo 0, "um") or to which
// total length (1, "auf") the clicked ends go; negative shortens.
struct LengthenDialogValues {
  double DeltaEd = 1;
  int ArtCombo = 0;
  bool operator==(const LengthenDialogValues&) const = default;
};

// The dialog "Parallele": the distance of the parallels, or none: they
// pass through a point clicked (also when the distance is left at 0).
struct OffsetDialogValues {
  double AbstandEd = 1;
  bool DurchPunktCb = false;
  bool operator==(const OffsetDialogValues&) const = default;
};

// "Abrunden": the radius of the fillets, and "Fasen": how far the chamfer
// cuts back along the first and the second object; kept from one use to
// the next while the program runs.
struct FilletDialogValues {
  double RadiusEd = 10;
  bool operator==(const FilletDialogValues&) const = default;
};
struct ChamferDialogValues {
  double Abstand1Ed = 10, Abstand2Ed = 10;
  bool operator==(const ChamferDialogValues&) const = default;
};

// The aids to drawing precisely in the menu "Fang", each switched on and
// off on its own: the snap grid, ortho and polar, with the values of their
// dialogs.
struct DraftAids {
  bool raster = false, ortho = false, polar = false;
  RasterDialogValues grid;
  PolarDialogValues angle;
  bool operator==(const DraftAids&) const = default;
};

// The dialog "Zuschnitt prüfen": the tolerance of the check in drawing
// units and the widest gap "Bereinigen" closes (0: none), what the check
// found, and what the last repair did, as shown (texts in the language in
// force). The findings that are errors and those of kinds the machines
// do not take are listed apart, each at most kCutRowsShown rows (what is
// left out is said below the list); a row knows its finding by its index
// in the check. The figures are one row per part (as many at most), then
// the total.
inline constexpr std::size_t kCutRowsShown = 5000;
struct CutFindingRow {
  std::string kind, place, width, object;
  std::size_t finding = 0;
};
struct CutFigureRow {
  std::string part, length, pierces, area, box;
};
struct CutCheckDialogValues {
  double ToleranzEd = 0.01, LueckenEd = 0;
  std::vector<CutFindingRow> errors, notCut;
  std::string errorsLeftOut, notCutLeftOut;  // empty when none is
  std::string summary;
  std::vector<CutFigureRow> figures;
  std::string partsLeftOut;
  std::string repaired;  // empty before "Bereinigen"
};
// What the open dialog "Zuschnitt prüfen" asks of the editor: the check
// again at the tolerance typed, the view zoomed to a finding (a double
// click on its row), and the repair, one undo step, then the check again;
// the check and the repair fill the values anew for the dialog to show.
class CutCheckSteps {
 public:
  virtual void Check(CutCheckDialogValues& values) = 0;
  virtual void ShowFinding(std::size_t finding) = 0;
  virtual void Repair(CutCheckDialogValues& values) = 0;

 protected:
  ~CutCheckSteps() = default;
};

// What the editor keeps of its small dialogs from one use to the next.
struct DialogValues {
  TextDialogValues text;
  ArrayDialogValues array;
  PolygonDialogValues polygon;
  RotationDialogValues rotation;
  ScaleDialogValues scale;
  NewLayerDialogValues newLayer;
  LineStyleDialogValues lineStyle;
  JoinDialogValues join;
  LengthenDialogValues lengthen;
  OffsetDialogValues offset;
  FilletDialogValues fillet;
  ChamferDialogValues chamfer;
  double cutTolerance = 0.01, cutGaps = 0;  // "Zuschnitt prüfen"
};

}  // namespace vestrel
