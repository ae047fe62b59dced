// The values of the program's own dialogs: each dialog edits one of these
// and nothing else; what the values mean for the drawing is decided below
// the window.
#pragma once

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
};

}  // namespace vestrel
