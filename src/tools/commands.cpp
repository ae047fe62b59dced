#include "tools/commands.h"

#include "tools/snap.h"
#include "tools/tooltable.h"

namespace vestrel {

namespace {

bool CanUndo(const Editor& e) { return !e.undos.undos.empty(); }
bool CanRedo(const Editor& e) { return !e.undos.redos.empty(); }
bool HasPrevious(const Editor& e) { return HasPreviousView(e.view); }
bool Recording(const Editor& e) { return e.recordingMacro; }
bool NotPlaying(const Editor& e) { return !e.playingMacro; }
bool ScaleByKeyboard(const Editor& e) { return e.tool.SkalierungsfaktorperTastatureingeben; }
bool RotationByKeyboard(const Editor& e) { return e.tool.RotationsrichtungperTastatureingeben; }
template <SnapKind K>
bool SnapOn(const Editor& e) {
  return (e.tool.snaps & SnapBit(K)) != 0;
}
bool SnapsOn(const Editor& e) { return !e.tool.snapsoff; }
template <bool DraftAids::*on>
bool AidOn(const Editor& e) {
  return e.tool.aids.*on;
}
bool Previewing(const Editor& e) { return e.view.Druckvorschau; }
bool ShowingWeights(const Editor& e) { return e.view.Linienbreitezeigen; }
template <int language>
bool Speaking(const Editor& e) {
  return e.languages.language == language;
}

using E = Editor;
using B = ToolBar;

const Command kCommands[] = {
    {.name = "Datei1", .caption = "Datei"},
    {.menu = "Datei1", .name = "NeueDXFDatei1", .caption = "Neue DXF Datei ", .button = "NewBtn", .bar = B::Main,
     .hint = "Neue DXF Datei ", .icon = Icon::NewFile, .handler = &E::NeueDXFDatei1Click, .shortcut = "Ctrl+N"},
    {.menu = "Datei1", .name = "NeueDXFDateiR12ohneSplineohneEllipseusw1",
     .caption = "Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)", .button = "NewR12Btn", .bar = B::Main,
     .hint = "Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)", .icon = Icon::NewR12,
     .handler = &E::NeueDXFDateiR12ohneSplineohneEllipseusw1Click},
    {.menu = "Datei1", .name = "ffnen1", .caption = "Öffnen...", .button = "OpenBtn", .bar = B::Main,
     .hint = "Öffnen...", .icon = Icon::Open, .handler = &E::ffnen1Click, .shortcut = "Ctrl+O"},
    // Filled by the window with the drawings opened or saved last.
    {.menu = "Datei1", .name = "Zuletztgeffnet1", .caption = "Zuletzt geöffnet"},
    {.menu = "Datei1", .name = "Speichern1", .caption = "Speichern", .button = "SaveBtn", .bar = B::Main,
     .hint = "Speichern", .icon = Icon::Save, .handler = &E::Speichern1Click, .shortcut = "Ctrl+S"},
    {.menu = "Datei1", .name = "Speichernunter1", .caption = "Speichern unter...", .handler = &E::Speichernunter1Click},
    {.menu = "Datei1", .name = "Wiederherstellen2", .caption = "Wiederherstellen...",
     .handler = &E::Wiederherstellen2Click},
    {.menu = "Datei1", .name = "Drucken1", .caption = "Drucken...", .button = "PrintBtn", .bar = B::Main,
     .hint = "Drucken", .icon = Icon::Print, .handler = &E::Drucken1Click, .shortcut = "Ctrl+P", .menuGap = true},
    {.menu = "Datei1", .name = "Seiteeinrichten1", .caption = "Seite einrichten...",
     .handler = &E::Seiteeinrichten1Click},
    {.menu = "Datei1", .name = "Druckereinrichten1", .caption = "Drucker einrichten...",
     .handler = &E::Druckereinrichten1Click},
    {.menu = "Datei1", .name = "Beenden1", .caption = "Beenden", .handler = &E::Beenden1Click, .menuGap = true},

    {.name = "Bearbeiten1", .caption = "Bearbeiten"},
    {.menu = "Bearbeiten1", .name = "Rckgngig1", .caption = "Rückgängig", .button = "UndoBtn", .bar = B::Main,
     .hint = "Rückgängig", .icon = Icon::Undo, .handler = &E::Rckgngig1Click, .shortcut = "Ctrl+Z",
     .enabled = CanUndo},
    {.menu = "Bearbeiten1", .name = "Wiederherstellen1", .caption = "Wiederherstellen", .button = "RedoBtn",
     .bar = B::Main, .hint = "Wiederherstellen", .icon = Icon::Redo, .handler = &E::Wiederherstellen1Click,
     .shortcut = "Ctrl+Y", .enabled = CanRedo},
    // The editing tools; their buttons stand on the right.
    {.menu = "Bearbeiten1", .name = "Lschen1", .caption = "Löschen", .button = "DelBtn", .bar = B::Editing,
     .hint = "Löschen", .icon = Icon::Delete, .handler = &E::DelBtnClick, .shortcut = "Del", .menuGap = true},
    {.menu = "Bearbeiten1", .name = "Kopieren1", .caption = "Kopieren", .button = "CopyBtn", .bar = B::Editing,
     .hint = "Kopieren", .icon = Icon::Copy, .handler = &E::CopyBtnClick},
    {.menu = "Bearbeiten1", .name = "Verschieben1", .caption = "Verschieben", .button = "MoveBtn", .bar = B::Editing,
     .hint = "Verschieben", .icon = Icon::Move, .handler = &E::MoveBtnClick},
    {.menu = "Bearbeiten1", .name = "Rotieren1", .caption = "Rotieren", .button = "RotateBtn", .bar = B::Editing,
     .hint = "Rotieren", .icon = Icon::Rotate, .handler = &E::RotateBtnClick},
    {.menu = "Bearbeiten1", .name = "Spiegeln1", .caption = "Spiegeln", .button = "MirrorBtn", .bar = B::Editing,
     .hint = "Spiegeln", .icon = Icon::Mirror, .handler = &E::MirrorBtnClick},
    {.menu = "Bearbeiten1", .name = "Skalieren1", .caption = "Skalieren", .button = "ScaleBtn", .bar = B::Editing,
     .hint = "Skalieren", .icon = Icon::Scale, .handler = &E::ScaleBtnClick},
    {.menu = "Bearbeiten1", .name = "Array1", .caption = "Array...", .button = "ArrayBtn", .bar = B::Editing,
     .hint = "Array", .icon = Icon::Array, .handler = &E::ArrayBtnClick},
    {.menu = "Bearbeiten1", .name = "AllesAuswhlen1", .caption = "Alles Auswählen", .handler = &E::AllesAuswhlen1Click,
     .shortcut = "Ctrl+A", .menuGap = true},
    {.menu = "Bearbeiten1", .name = "Nichtsauswhlen1", .caption = "Nichts auswählen",
     .handler = &E::Nichtsauswhlen1Click},

    // What changes the shape of the selected objects.
    {.name = "ndern1", .caption = "Ändern"},
    {.menu = "ndern1", .name = "Verbinden1", .caption = "Verbinden...", .button = "JoinBtn", .bar = B::Editing,
     .hint = "Verbinden", .icon = Icon::Join, .handler = &E::JoinBtnClick},
    {.menu = "ndern1", .name = "Zerlegen1", .caption = "Zerlegen", .button = "ExplodeBtn", .bar = B::Editing,
     .hint = "Zerlegen", .icon = Icon::Explode, .handler = &E::ExplodeBtnClick},
    {.menu = "ndern1", .name = "Brechen1", .caption = "Brechen", .button = "BreakBtn", .bar = B::Editing,
     .hint = "Brechen", .icon = Icon::Break, .handler = &E::BreakBtnClick},
    {.menu = "ndern1", .name = "Verlngern1", .caption = "Verlängern...", .button = "LengthenBtn", .bar = B::Editing,
     .hint = "Verlängern", .icon = Icon::Lengthen, .handler = &E::LengthenBtnClick},
    {.menu = "ndern1", .name = "Stutzen1", .caption = "Stutzen", .button = "TrimBtn", .bar = B::Editing,
     .hint = "Stutzen", .icon = Icon::Trim, .handler = &E::TrimBtnClick},
    {.menu = "ndern1", .name = "Dehnen1", .caption = "Dehnen", .button = "ExtendBtn", .bar = B::Editing,
     .hint = "Dehnen", .icon = Icon::Extend, .handler = &E::ExtendBtnClick},
    {.menu = "ndern1", .name = "Parallele1", .caption = "Parallele...", .button = "OffsetBtn", .bar = B::Editing,
     .hint = "Parallele", .icon = Icon::Offset, .handler = &E::OffsetBtnClick},
    {.menu = "ndern1", .name = "Abrunden1", .caption = "Abrunden...", .button = "FilletBtn", .bar = B::Editing,
     .hint = "Abrunden", .icon = Icon::Fillet, .handler = &E::FilletBtnClick},
    {.menu = "ndern1", .name = "Fasen1", .caption = "Fasen...", .button = "ChamferBtn", .bar = B::Editing,
     .hint = "Fasen", .icon = Icon::Chamfer, .handler = &E::ChamferBtnClick},

    {.name = "Ansicht1", .caption = "Ansicht"},
    {.menu = "Ansicht1", .name = "Alleszeigen1", .caption = "Alles zeigen", .button = "ZoomAll", .bar = B::Main,
     .hint = "Zeige alles", .icon = Icon::ZoomAll, .handler = &E::ZoomAllClick, .barGap = true},
    {.menu = "Ansicht1", .name = "Vergrern1", .caption = "Vergrößern", .button = "ZoomInBtn", .bar = B::Main,
     .hint = "Vergrößern", .icon = Icon::ZoomIn, .handler = &E::ZoomInBtnClick, .shortcut = "Ctrl++"},
    {.menu = "Ansicht1", .name = "Verkleinern1", .caption = "Verkleinern", .button = "ZoomOutBtn", .bar = B::Main,
     .hint = "Verkleinern", .icon = Icon::ZoomOut, .handler = &E::ZoomOutBtnClick, .shortcut = "Ctrl+-"},
    {.button = "ZoomBtn", .bar = B::Main, .hint = "Vergrößern/Verkleinern", .icon = Icon::Zoom,
     .handler = &E::ZoomBtnClick},
    {.button = "HandBtn", .bar = B::Main, .hint = "Verschieben", .icon = Icon::Hand, .handler = &E::HandBtnClick},
    {.menu = "Ansicht1", .name = "ZoomFenster1", .caption = "Zoom Fenster", .button = "ZoomFensterBtn",
     .bar = B::Main, .hint = "Auf ein Fenster vergrößern", .icon = Icon::ZoomWindow,
     .handler = &E::ZoomFenster1Click},
    {.menu = "Ansicht1", .name = "ZoomVorher1", .caption = "Vorherige Ansicht", .button = "ZoomVorherBtn",
     .bar = B::Main, .hint = "Zurück zur vorherigen Ansicht", .icon = Icon::ZoomPrevious,
     .handler = &E::ZoomVorher1Click, .enabled = HasPrevious},
    {.menu = "Ansicht1", .name = "Druckvorschau1", .caption = "Druckvorschau", .button = "PreviewBtn", .bar = B::Main,
     .hint = "Druckvorschau  an/aus", .icon = Icon::Preview, .handler = &E::Druckvorschau1Click, .menuGap = true,
     .checked = Previewing},
    {.menu = "Ansicht1", .name = "Linienbreitezeigen1", .caption = "Linienbreite zeigen",
     .handler = &E::Linienbreitezeigen1Click, .checked = ShowingWeights},
    {.menu = "Ansicht1", .name = "Viewporthinzufgen1", .caption = "Viewport hinzufügen...",
     .handler = &E::Viewporthinzufgen1Click, .menuGap = true},

    // The drawing tools; their buttons are one radio group on the left.
    {.name = "Zeichnen1", .caption = "Zeichnen"},
    {.menu = "Zeichnen1", .name = "Linie1", .caption = "Linie", .button = "LineBtn", .bar = B::Drawing,
     .hint = "Linie", .icon = Icon::Line, .handler = &E::LineBtnClick},
    {.menu = "Zeichnen1", .name = "Konstruktionslinie1", .caption = "Konstruktionslinie",
     .handler = &E::Konstruktionslinie1Click},
    {.menu = "Zeichnen1", .name = "Strahl1", .caption = "Strahl", .handler = &E::Strahl1Click},
    {.menu = "Zeichnen1", .name = "Pfeil1", .caption = "Pfeil", .button = "ArrowBtn", .bar = B::Drawing,
     .hint = "Pfeil", .icon = Icon::Arrow, .handler = &E::ArrowBtnClick},
    {.menu = "Zeichnen1", .name = "Polylinie1", .caption = "Polylinie", .button = "PolyLineBtn", .bar = B::Drawing,
     .hint = "Polylinie", .icon = Icon::PolyLine, .handler = &E::PolyLineBtnClick, .menuGap = true},
    {.menu = "Zeichnen1", .name = "Freihand1", .caption = "Freihand", .button = "PenBtn", .bar = B::Drawing,
     .hint = "Freihand", .icon = Icon::Pen, .handler = &E::PenBtnClick},
    {.button = "SplineBtn", .bar = B::Drawing, .hint = "Spline", .icon = Icon::Spline, .handler = &E::SplineBtnClick},
    {.menu = "Zeichnen1", .name = "Rechteck1", .caption = "Rechteck", .button = "RectangleBtn", .bar = B::Drawing,
     .hint = "Rechteck", .icon = Icon::Rectangle, .handler = &E::RectangleBtnClick},
    {.menu = "Zeichnen1", .name = "Kreisbogen1", .caption = "Kreisbogen", .menuGap = true},
    {.menu = "Kreisbogen1", .name = "StartMitteEnde1", .caption = "3 Punkte (Start, Mitte, Ende)", .button = "ArcBtn",
     .bar = B::Drawing, .hint = "Kreisbogen", .icon = Icon::Arc, .handler = &E::ArcBtnClick},
    {.menu = "Kreisbogen1", .name = "N3PunkteStartEndeMitte1", .caption = "3 Punkte (Start, Ende, Mitte)",
     .handler = &E::N3PunkteStartEndeMitte1Click},
    {.menu = "Kreisbogen1", .name = "MittelpunktStart1", .caption = "Mittelpunkt, Start, Ende",
     .handler = &E::MittelpunktStart1Click},
    {.menu = "Zeichnen1", .name = "Kreis1", .caption = "Kreis"},
    {.menu = "Kreis1", .name = "MittelpunktRadius1", .caption = "Mittelpunkt, Radius", .button = "CircleBtn",
     .bar = B::Drawing, .hint = "Kreis", .icon = Icon::Circle, .handler = &E::CircleBtnClick},
    {.menu = "Kreis1", .name = "MittelpunktDurchmesser1", .caption = "Mittelpunkt, Durchmesser",
     .handler = &E::MittelpunktDurchmesser1Click},
    {.menu = "Kreis1", .name = "N2Punkte1", .caption = "2 Punkte", .handler = &E::N2Punkte1Click},
    {.menu = "Kreis1", .name = "N3Punkte1", .caption = "3 Punkte", .handler = &E::N3Punkte1Click},
    {.menu = "Zeichnen1", .name = "Vieleck1", .caption = "Vieleck", .button = "PolyGon", .bar = B::Drawing,
     .hint = "Vieleck", .icon = Icon::Polygon, .handler = &E::PolyGonClick},
    {.menu = "Zeichnen1", .name = "Ellipse1", .caption = "Ellipse"},
    {.menu = "Ellipse1", .name = "Achsen1", .caption = "Achsen", .button = "EllipseBtn", .bar = B::Drawing,
     .hint = "Ellipse", .icon = Icon::Ellipse, .handler = &E::EllipseBtnClick},
    {.menu = "Ellipse1", .name = "Mittelpunkt1", .caption = "Mittelpunkt", .handler = &E::Mittelpunkt1Click},
    {.menu = "Ellipse1", .name = "Ellipsenbogen1", .caption = "Ellipsenbogen Achsen",
     .handler = &E::Ellipsenbogen1Click},
    {.menu = "Ellipse1", .name = "EllipsenbogenMittelpunkt1", .caption = "Ellipsenbogen Mittelpunkt",
     .handler = &E::EllipsenbogenMittelpunkt1Click},
    {.menu = "Zeichnen1", .name = "Pukt1", .caption = "Punkt", .button = "PointBtn", .bar = B::Drawing,
     .hint = "Punkt", .icon = Icon::Point, .handler = &E::PointBtnClick, .menuGap = true},
    {.menu = "Zeichnen1", .name = "Flche1", .caption = "Fläche", .button = "SolidBtn", .bar = B::Drawing,
     .hint = "Fläche", .icon = Icon::Solid, .handler = &E::SolidBtnClick},
    {.menu = "Zeichnen1", .name = "Punkt1", .caption = "Text", .button = "TextBtn", .bar = B::Drawing, .hint = "Text",
     .icon = Icon::Text, .handler = &E::TextBtnClick, .menuGap = true},
    {.menu = "Zeichnen1", .name = "Bemaung1", .caption = "Bemaßung", .button = "DimensionBtn", .bar = B::Drawing,
     .hint = "Bemaßung", .icon = Icon::Dimension, .handler = &E::DimensionBtnClick},

    // The drawing's tables.
    {.name = "Format1", .caption = "Format"},
    {.menu = "Format1", .name = "Layer1", .caption = "Ebenen...", .button = "LayerBtn", .bar = B::Main,
     .hint = "Ebenen...", .icon = Icon::Layers, .handler = &E::LayerBtnClick, .barGap = true},
    {.menu = "Format1", .name = "Linienstile1", .caption = "Linienstile...", .handler = &E::Linienstile1Click},

    // What the user does, recorded and played back.
    {.name = "Extras1", .caption = "Extras"},
    {.menu = "Extras1", .name = "Makroaufzeichnen1", .caption = "Makro aufzeichnen...",
     .handler = &E::Makroaufzeichnen1Click, .checked = Recording},
    {.menu = "Extras1", .name = "Makroabspielen1", .caption = "Makro abspielen...", .handler = &E::Makroabspielen1Click,
     .enabled = NotPlaying},
    {.menu = "Extras1", .name = "Messen1", .caption = "Messen", .menuGap = true},
    {.menu = "Messen1", .name = "MessenAbstand1", .caption = "Abstand", .hint = "Abstand zweier Punkte",
     .handler = &E::MessenAbstand1Click},
    {.menu = "Messen1", .name = "MessenWinkel1", .caption = "Winkel", .hint = "Winkel an einem Scheitelpunkt",
     .handler = &E::MessenWinkel1Click},
    {.menu = "Messen1", .name = "MessenFlaeche1", .caption = "Fläche",
     .hint = "Fläche und Umfang von Punkten oder der gewählten geschlossenen Objekte", .handler = &E::MessenFlaeche1Click},
    {.menu = "Extras1", .name = "ZuschnittPruefen1", .caption = "Zuschnitt prüfen...",
     .hint = "Ob die Zeichnung zum Schneiden bereit ist, und was das Schneiden kostet",
     .handler = &E::ZuschnittPruefen1Click},

    {.name = "Optionen1", .caption = "Optionen"},
    {.menu = "Optionen1", .name = "SkalierungsfaktorperTastatureingeben1",
     .caption = "Skalierungsfaktor per Tastatur eingeben", .handler = &E::SkalierungsfaktorperTastatureingeben1Click,
     .checked = ScaleByKeyboard},
    {.menu = "Optionen1", .name = "RotationsrichtungperTastatureingeben1",
     .caption = "Rotationsrichtung per Tastatur eingeben", .handler = &E::RotationsrichtungperTastatureingeben1Click,
     .checked = RotationByKeyboard},

    // The object snaps, each on its own, and F3 for all of them.
    {.name = "Fang1", .caption = "Fang"},
    {.menu = "Fang1", .name = kSnapItems[0], .caption = "Endpunkt", .button = "FangEndpunktBtn", .bar = B::Snaps,
     .hint = "Endpunkt", .icon = Icon::SnapEndpoint, .handler = &E::FangClick<SnapKind::Endpoint>,
     .checked = SnapOn<SnapKind::Endpoint>},
    {.menu = "Fang1", .name = kSnapItems[1], .caption = "Mittelpunkt", .button = "FangMitteBtn", .bar = B::Snaps,
     .hint = "Mittelpunkt", .icon = Icon::SnapMidpoint, .handler = &E::FangClick<SnapKind::Midpoint>,
     .checked = SnapOn<SnapKind::Midpoint>},
    {.menu = "Fang1", .name = kSnapItems[2], .caption = "Zentrum", .button = "FangZentrumBtn", .bar = B::Snaps,
     .hint = "Zentrum", .icon = Icon::SnapCentre, .handler = &E::FangClick<SnapKind::Centre>,
     .checked = SnapOn<SnapKind::Centre>},
    {.menu = "Fang1", .name = kSnapItems[3], .caption = "Quadrant", .button = "FangQuadrantBtn", .bar = B::Snaps,
     .hint = "Quadrant", .icon = Icon::SnapQuadrant, .handler = &E::FangClick<SnapKind::Quadrant>,
     .checked = SnapOn<SnapKind::Quadrant>},
    {.menu = "Fang1", .name = kSnapItems[4], .caption = "Schnittpunkt", .button = "FangSchnittBtn", .bar = B::Snaps,
     .hint = "Schnittpunkt", .icon = Icon::SnapIntersection, .handler = &E::FangClick<SnapKind::Intersection>,
     .checked = SnapOn<SnapKind::Intersection>},
    {.menu = "Fang1", .name = kSnapItems[5], .caption = "Lot", .button = "FangLotBtn", .bar = B::Snaps, .hint = "Lot",
     .icon = Icon::SnapPerpendicular, .handler = &E::FangClick<SnapKind::Perpendicular>,
     .checked = SnapOn<SnapKind::Perpendicular>},
    {.menu = "Fang1", .name = kSnapItems[6], .caption = "Tangente", .button = "FangTangenteBtn", .bar = B::Snaps,
     .hint = "Tangente", .icon = Icon::SnapTangent, .handler = &E::FangClick<SnapKind::Tangent>,
     .checked = SnapOn<SnapKind::Tangent>},
    {.menu = "Fang1", .name = kSnapItems[7], .caption = "Nächster", .button = "FangNaechsterBtn", .bar = B::Snaps,
     .hint = "Nächster", .icon = Icon::SnapNearest, .handler = &E::FangClick<SnapKind::Nearest>,
     .checked = SnapOn<SnapKind::Nearest>},
    {.menu = "Fang1", .name = kSnapItems[8], .caption = "Basispunkt", .button = "FangBasisBtn", .bar = B::Snaps,
     .hint = "Basispunkt", .icon = Icon::SnapBase, .handler = &E::FangClick<SnapKind::Base>,
     .checked = SnapOn<SnapKind::Base>},
    {.menu = "Fang1", .name = "Objektfang1", .caption = "Objektfang ein/aus", .hint = "Objektfang ein/aus",
     .handler = &E::Objektfang1Click, .shortcut = "F3", .menuGap = true, .checked = SnapsOn},
    // The snap grid, ortho and polar, each on its key, and their values.
    {.menu = "Fang1", .name = "FangRaster1", .caption = "Raster", .hint = "Raster ein/aus",
     .handler = &E::FangRaster1Click, .shortcut = "F9", .menuGap = true, .checked = AidOn<&DraftAids::raster>},
    {.menu = "Fang1", .name = "Rasterabstand1", .caption = "Rasterabstand...", .hint = "Rasterabstand",
     .handler = &E::Rasterabstand1Click},
    {.menu = "Fang1", .name = "Ortho1", .caption = "Ortho", .hint = "Ortho ein/aus", .handler = &E::Ortho1Click,
     .shortcut = "F8", .checked = AidOn<&DraftAids::ortho>},
    {.menu = "Fang1", .name = "Polar1", .caption = "Polar", .hint = "Polar ein/aus", .handler = &E::Polar1Click,
     .shortcut = "F10", .checked = AidOn<&DraftAids::polar>},
    {.menu = "Fang1", .name = "Polarwinkel1", .caption = "Polarwinkel...", .hint = "Polarwinkel",
     .handler = &E::Polarwinkel1Click},

    // The language of the next start; each language by its own name.
    {.name = "Sprache1", .caption = "Sprache"},
    {.menu = "Sprache1", .name = "Deutsch1", .caption = "Deutsch", .handler = &E::Deutsch1Click,
     .checked = Speaking<0>, .radio = true},
    {.menu = "Sprache1", .name = "English1", .caption = "English", .handler = &E::English1Click,
     .checked = Speaking<1>, .radio = true},
    {.menu = "Sprache1", .name = "Italiano1", .caption = "Italiano", .handler = &E::Italiano1Click,
     .checked = Speaking<2>, .radio = true},
    {.menu = "Sprache1", .name = "Franais1", .caption = "Français", .handler = &E::Franais1Click,
     .checked = Speaking<3>, .radio = true},
    {.menu = "Sprache1", .name = "Espaol1", .caption = "Español", .handler = &E::Espaol1Click,
     .checked = Speaking<4>, .radio = true},
    {.menu = "Sprache1", .name = "N13", .caption = "Русский", .handler = &E::N13Click, .checked = Speaking<5>,
     .radio = true},
    {.menu = "Sprache1", .name = "Portugus1", .caption = "Português", .handler = &E::Portugus1Click,
     .checked = Speaking<6>, .radio = true},
    {.menu = "Sprache1", .name = "Nederlands1", .caption = "Nederlands", .handler = &E::Nederlands1Click,
     .checked = Speaking<7>, .radio = true},
    {.menu = "Sprache1", .name = "Jzykpolski1", .caption = "Język polski", .handler = &E::Jzykpolski1Click,
     .checked = Speaking<8>, .radio = true},
    {.menu = "Sprache1", .name = "esky1", .caption = "Česky", .handler = &E::esky1Click, .checked = Speaking<9>,
     .radio = true},
    {.menu = "Sprache1", .name = "bersetzen1", .caption = "Übersetzen...", .handler = &E::bersetzen1Click,
     .menuGap = true},

    // At the pointer while a polyline is drawn.
    {.popup = true, .name = "PopupMenu1"},
    {.menu = "PopupMenu1", .name = "Fertig1", .caption = "Fertig", .handler = &E::Fertig1Click},
    {.menu = "PopupMenu1", .name = "Linienzugschlieen1", .caption = "Linienzug schließen",
     .handler = &E::Linienzugschlieen1Click},
    {.menu = "PopupMenu1", .name = "Kreisbogen2", .caption = "Kreisbogen", .handler = &E::Kreisbogen2Click,
     .menuGap = true},
    {.menu = "PopupMenu1", .name = "Linie2", .caption = "Linie", .handler = &E::Linie2Click},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

bool Checkable(const Command& c) { return c.checked || ShowsTool(c.button); }

bool Checked(const Editor& e, const Command& c) { return c.checked ? c.checked(e) : ToolShown(e, c.button); }

}  // namespace vestrel
