#include "tools/tooltable.h"

#include <algorithm>

#include "tools/steps.h"

namespace vestrel {

namespace {

using T = ToolState;

const Mode kModes[] = {
    {.name = "inlin", .on = &T::inlin, .click = LineClick, .preview = LinePreview},
    // The line gets an arrow head: it ends with the modes and runs nothing.
    {.name = "inarrow", .on = &T::inarrow},
    {.name = "inpoly", .on = &T::inpoly, .click = PolyClick, .preview = PolyPreview, .release = PolyRelease,
     .finish = PolyFinish},
    {.name = "inrec", .on = &T::inrec, .click = RectangleClick, .preview = RectanglePreview},
    {.name = "inarc", .on = &T::inarc, .click = ArcClick, .preview = ArcPreview},
    {.name = "incircle", .on = &T::incircle, .click = CircleClick, .preview = CirclePreview},
    {.name = "inellipse", .on = &T::inellipse, .click = EllipseClick, .preview = EllipsePreview},
    {.name = "insolid", .on = &T::insolid, .click = SolidClick, .preview = SolidPreview},
    {.name = "indim", .on = &T::indim, .click = DimensionClick, .preview = DimensionPreview},
    // The editing tools: the right button ends their picking, then they
    // take their points.
    {.name = "indelselect", .on = &T::indelselect, .click = DeletePicked, .rightOnly = true},
    {.name = "incopyselect", .on = &T::incopyselect, .click = CopyPicked, .rightOnly = true},
    {.name = "incopyline", .on = &T::incopyline, .click = CopyClick, .preview = EditPreview},
    {.name = "inmoveselect", .on = &T::inmoveselect, .click = MovePicked, .rightOnly = true},
    {.name = "inmoveline", .on = &T::inmoveline, .click = MoveClick, .preview = EditPreview},
    {.name = "inrotateselect", .on = &T::inrotateselect, .click = RotatePicked, .rightOnly = true},
    {.name = "inrotateline", .on = &T::inrotateline, .click = RotateClick, .preview = EditPreview},
    {.name = "inmirrorselect", .on = &T::inmirrorselect, .click = MirrorPicked, .rightOnly = true},
    {.name = "inmirrorline", .on = &T::inmirrorline, .click = MirrorClick, .preview = EditPreview},
    {.name = "inscaleselect", .on = &T::inscaleselect, .click = ScalePicked, .rightOnly = true},
    {.name = "inscaleline", .on = &T::inscaleline, .click = ScaleClick, .preview = EditPreview},
    {.name = "inarrayselect", .on = &T::inarrayselect, .click = ArrayPicked, .rightOnly = true},
    {.name = "injoinselect", .on = &T::injoinselect, .click = JoinPicked, .rightOnly = true},
    {.name = "inexplodeselect", .on = &T::inexplodeselect, .click = ExplodePicked, .rightOnly = true},
    {.name = "inbreak", .on = &T::inbreak, .click = BreakClick, .preview = BreakPreview},
    {.name = "inlengthen", .on = &T::inlengthen, .click = LengthenClick, .preview = LengthenPreview},
    {.name = "intrimselect", .on = &T::intrimselect, .click = TrimPicked, .rightOnly = true},
    {.name = "intrim", .on = &T::intrim, .click = TrimClick, .finish = CutEnd},
    {.name = "inextendselect", .on = &T::inextendselect, .click = ExtendPicked, .rightOnly = true},
    {.name = "inextend", .on = &T::inextend, .click = ExtendClick, .finish = CutEnd},
    {.name = "inoffset", .on = &T::inoffset, .click = OffsetClick, .preview = OffsetPreview},
    {.name = "infillet", .on = &T::infillet, .click = CornerClick, .preview = CornerPreview},
    {.name = "inchamfer", .on = &T::inchamfer, .click = CornerClick, .preview = CornerPreview},
    {.name = "inmeasure", .on = &T::inmeasure, .click = MeasureClick, .preview = MeasurePreview},
    {.name = "inzoom", .on = &T::inzoom, .click = ZoomClick, .release = ZoomRelease},
    {.name = "inhand", .on = &T::inhand, .click = HandClick, .release = HandRelease},
    {.name = "inzoomwindow", .on = &T::inzoomwindow, .click = ZoomWindowClick, .preview = ZoomWindowPreview,
     .release = ZoomWindowRelease},
    // Selection: a window has its first corner; the selection or one of
    // its grips is dragged.
    {.name = "inmassselect", .on = &T::inmassselect, .click = MassSelectClick, .drag = MassSelectBand,
     .prompt = "Zweite Ecke des Fensters"},
    {.name = "inmove", .on = &T::inmove, .preview = EditPreview, .release = DragEnd,
     .prompt = "Loslassen, wo die Auswahl hin soll"},
    {.name = "inmovepoint", .on = &T::inmovepoint, .preview = EditPreview, .release = DragEnd,
     .prompt = "Loslassen, wo der Griff hin soll"},
};

// What each tool asks for, step by step.
using Asks = std::string_view[];
constexpr Asks kLineAsks = {"Erster Punkt", "Nächster Punkt oder Rechtsklick für Ende"};
constexpr Asks kThroughAsks = {"Bezugspunkt", "Durchgangspunkt oder Rechtsklick für Ende"};
// After the arrow the line chains on.
constexpr Asks kArrowAsks = {"Spitze des Pfeils", "Ende des Pfeils"};
constexpr Asks kPolyAsks = {"Erster Punkt", "Nächster Punkt oder Rechtsklick für Ende"};
constexpr Asks kFreeHandAsks = {"Maustaste drücken und zeichnen", "Zeichnen, Loslassen für Ende"};
constexpr Asks kSplineAsks = {"Erster Punkt", "Nächster Punkt oder Rechtsklick für Ende", "Richtung am Anfang",
                              "Richtung am Ende"};
constexpr Asks kRectangleAsks = {"Erste Ecke", "Gegenüberliegende Ecke"};
constexpr Asks kArcSmeAsks = {"Startpunkt", "Punkt auf dem Bogen", "Endpunkt"};
constexpr Asks kArcSemAsks = {"Startpunkt", "Endpunkt", "Punkt auf dem Bogen"};
constexpr Asks kArcCseAsks = {"Mittelpunkt", "Startpunkt", "Endpunkt"};
constexpr Asks kCircleRadiusAsks = {"Mittelpunkt", "Radius"};
constexpr Asks kCircleDiameterAsks = {"Mittelpunkt", "Durchmesser"};
constexpr Asks kCircleTwoAsks = {"Erster Punkt des Durchmessers", "Zweiter Punkt des Durchmessers"};
constexpr Asks kCircleThreeAsks = {"Erster Punkt", "Zweiter Punkt", "Dritter Punkt"};
constexpr Asks kPolygonAsks = {"Mittelpunkt", "Ecke"};
constexpr Asks kEllipseAxesAsks = {"Erster Endpunkt der Achse", "Zweiter Endpunkt der Achse", "Andere Halbachse"};
constexpr Asks kEllipseCentreAsks = {"Mittelpunkt", "Endpunkt der Achse", "Andere Halbachse"};
constexpr Asks kEllipseArcAxesAsks = {"Erster Endpunkt der Achse", "Zweiter Endpunkt der Achse", "Andere Halbachse",
                                      "Startwinkel", "Endwinkel"};
constexpr Asks kEllipseArcCentreAsks = {"Mittelpunkt", "Endpunkt der Achse", "Andere Halbachse", "Startwinkel",
                                        "Endwinkel"};
constexpr Asks kPointAsks = {"Punkt"};
constexpr Asks kSolidAsks = {"Erste Ecke", "Zweite Ecke", "Dritte Ecke", "Vierte Ecke oder Rechtsklick für Dreieck"};
constexpr Asks kTextAsks = {"Einfügepunkt des Textes"};
constexpr Asks kDimensionAsks = {"Erster Punkt", "Zweiter Punkt", "Lage der Maßlinie"};
constexpr Asks kPickAsks = {"Objekte wählen, Rechtsklick für Ende"};
constexpr Asks kTrimAsks = {"Schnittkanten wählen, Eingabetaste oder Rechtsklick für Ende (keine gewählt: alle)",
                            "Wegzuschneidenden Teil anklicken, Esc oder Rechtsklick für Ende"};
constexpr Asks kExtendAsks = {"Begrenzungskanten wählen, Eingabetaste oder Rechtsklick für Ende (keine gewählt: alle)",
                              "Zu dehnendes Ende anklicken, Esc oder Rechtsklick für Ende"};
constexpr Asks kCopyMoveAsks = {"Objekte wählen, Rechtsklick für Ende", "Bezugspunkt", "Zielpunkt"};
constexpr Asks kRotateAsks = {"Objekte wählen, Rechtsklick für Ende", "Drehpunkt", "Richtung"};
constexpr Asks kMirrorAsks = {"Objekte wählen, Rechtsklick für Ende", "Erster Punkt der Spiegelachse",
                              "Zweiter Punkt der Spiegelachse"};
constexpr Asks kScaleAsks = {"Objekte wählen, Rechtsklick für Ende", "Bezugspunkt", "Abstand für den Faktor"};
constexpr Asks kBreakAsks = {"Objekt am ersten Bruchpunkt wählen",
                             "Zweiter Bruchpunkt; Rechtsklick oder @0,0 bricht am ersten"};
constexpr Asks kLengthenAsks = {"Objekt nahe dem Ende wählen, das sich ändern soll; Esc für Ende"};
constexpr Asks kOffsetAsks = {"Objekt für die Parallele wählen, Rechtsklick für Ende",
                               "Seite der Parallele, ohne Abstand ein Punkt auf ihr"};
constexpr Asks kCornerAsks = {"Erstes Objekt wählen",
                              "Zweites Objekt wählen; nach einer Polylinie Rechtsklick für alle Ecken"};
constexpr Asks kMeasureDistanceAsks = {"Erster Punkt", "Zweiter Punkt"};
constexpr Asks kMeasureAngleAsks = {"Punkt auf dem ersten Schenkel", "Scheitelpunkt", "Punkt auf dem zweiten Schenkel"};
constexpr Asks kMeasureAreaAsks = {"Erster Punkt der Fläche", "Nächster Punkt der Fläche",
                                   "Nächster Punkt, Rechtsklick oder Eingabetaste für Ende"};
constexpr Asks kZoomAsks = {"Nach oben ziehen vergrößert, nach unten verkleinert; Rechtsklick für Ende"};
constexpr Asks kHandAsks = {"Ziehen verschiebt die Ansicht; Rechtsklick für Ende"};
constexpr Asks kZoomWindowAsks = {"Erste Ecke des Fensters", "Zweite Ecke des Fensters"};

using B = ToolButton;

// A family's rows stand together, the row of its own button first (the
// button's name is that row's).
const Tool kTools[] = {
    // The drawing tools.
    {.menu = "Linie1", .button = "LineBtn", .down = B::LineBtn, .variant = kLineSegment, .mode = &T::inlin,
     .first = LineFirstClick,
     .prompts = kLineAsks},
    {.menu = "Konstruktionslinie1", .button = "LineBtn", .down = B::LineBtn, .variant = kConstructionLine,
     .mode = &T::inlin, .first = LineFirstClick,
     .prompts = kThroughAsks},
    {.menu = "Strahl1", .button = "LineBtn", .down = B::LineBtn, .variant = kRay, .mode = &T::inlin,
     .first = LineFirstClick,
     .prompts = kThroughAsks},
    {.menu = "Pfeil1", .button = "ArrowBtn", .down = B::ArrowBtn, .mode = &T::inlin, .first = LineFirstClick,
     .prompts = kArrowAsks, .running = &T::inarrow},
    {.menu = "Polylinie1", .button = "PolyLineBtn", .down = B::PolyLineBtn, .variant = kPolyline, .mode = &T::inpoly,
     .first = PolyFirstClick,
     .prompts = kPolyAsks},
    {.menu = "Freihand1", .button = "PenBtn", .down = B::PenBtn, .variant = kFreeHand, .mode = &T::inpoly,
     .first = PolyFirstClick,
     .prompts = kFreeHandAsks},
    {.button = "SplineBtn", .down = B::SplineBtn, .variant = kSpline, .mode = &T::inpoly, .first = PolyFirstClick,
     .prompts = kSplineAsks, .step = SplineStep},
    {.menu = "Rechteck1", .button = "RectangleBtn", .down = B::RectangleBtn, .mode = &T::inrec,
     .first = RectangleFirstClick,
     .prompts = kRectangleAsks},
    {.menu = "StartMitteEnde1", .button = "ArcBtn", .down = B::ArcBtn, .variant = kArcStartMiddleEnd, .mode = &T::inarc,
     .first = ArcFirstClick,
     .prompts = kArcSmeAsks},
    {.menu = "N3PunkteStartEndeMitte1", .button = "ArcBtn", .down = B::ArcBtn, .variant = kArcStartEndMiddle,
     .mode = &T::inarc, .first = ArcFirstClick,
     .prompts = kArcSemAsks},
    {.menu = "MittelpunktStart1", .button = "ArcBtn", .down = B::ArcBtn, .variant = kArcCentreStartEnd,
     .mode = &T::inarc, .first = ArcFirstClick,
     .prompts = kArcCseAsks},
    {.menu = "MittelpunktRadius1", .button = "CircleBtn", .down = B::CircleBtn, .variant = kCircleCentreRadius,
     .mode = &T::incircle, .first = CircleFirstClick,
     .prompts = kCircleRadiusAsks},
    {.menu = "MittelpunktDurchmesser1", .button = "CircleBtn", .down = B::CircleBtn,
     .variant = kCircleCentreDiameter, .mode = &T::incircle, .first = CircleFirstClick,
     .prompts = kCircleDiameterAsks},
    {.menu = "N2Punkte1", .button = "CircleBtn", .down = B::CircleBtn, .variant = kCircleTwoPoints,
     .mode = &T::incircle, .first = CircleFirstClick,
     .prompts = kCircleTwoAsks},
    {.menu = "N3Punkte1", .button = "CircleBtn", .down = B::CircleBtn, .variant = kCircleThreePoints,
     .mode = &T::incircle, .first = CircleFirstClick,
     .prompts = kCircleThreeAsks},
    // The regular polygon is placed like a circle: armed through the
    // circle's button, shown by its own.
    {.menu = "Vieleck1", .button = "PolyGon", .down = B::CircleBtn, .variant = kPolygon, .mode = &T::incircle,
     .first = CircleFirstClick,
     .prompts = kPolygonAsks},
    {.menu = "Achsen1", .button = "EllipseBtn", .down = B::EllipseBtn, .variant = kEllipseAxes,
     .mode = &T::inellipse, .first = EllipseFirstClick,
     .prompts = kEllipseAxesAsks},
    {.menu = "Mittelpunkt1", .button = "EllipseBtn", .down = B::EllipseBtn, .variant = kEllipseCentre,
     .mode = &T::inellipse, .first = EllipseFirstClick,
     .prompts = kEllipseCentreAsks},
    {.menu = "Ellipsenbogen1", .button = "EllipseBtn", .down = B::EllipseBtn, .variant = kEllipseArcAxes,
     .mode = &T::inellipse, .first = EllipseFirstClick,
     .prompts = kEllipseArcAxesAsks},
    {.menu = "EllipsenbogenMittelpunkt1", .button = "EllipseBtn", .down = B::EllipseBtn,
     .variant = kEllipseArcCentre, .mode = &T::inellipse, .first = EllipseFirstClick,
     .prompts = kEllipseArcCentreAsks},
    {.menu = "Pukt1", .button = "PointBtn", .down = B::PointBtn, .first = PointFirstClick,
     .prompts = kPointAsks},
    {.menu = "Flche1", .button = "SolidBtn", .down = B::SolidBtn, .mode = &T::insolid, .first = SolidFirstClick,
     .prompts = kSolidAsks},
    {.menu = "Punkt1", .button = "TextBtn", .down = B::TextBtn, .first = TextFirstClick,
     .prompts = kTextAsks},
    {.menu = "Bemaung1", .button = "DimensionBtn", .down = B::DimensionBtn, .mode = &T::indim,
     .first = DimensionFirstClick,
     .prompts = kDimensionAsks},

    // The editing tools; delete and the array need no points.
    {.menu = "Lschen1", .button = "DelBtn", .shows = ButtonShows::Running, .picking = &T::indelselect,
     .prompts = kPickAsks},
    {.menu = "Kopieren1", .button = "CopyBtn", .shows = ButtonShows::Running, .picking = &T::incopyselect,
     .mode = &T::incopyline,
     .prompts = kCopyMoveAsks},
    {.menu = "Verschieben1", .button = "MoveBtn", .shows = ButtonShows::Running, .picking = &T::inmoveselect,
     .mode = &T::inmoveline,
     .prompts = kCopyMoveAsks},
    {.menu = "Rotieren1", .button = "RotateBtn", .shows = ButtonShows::Running, .picking = &T::inrotateselect,
     .mode = &T::inrotateline,
     .prompts = kRotateAsks},
    {.menu = "Spiegeln1", .button = "MirrorBtn", .shows = ButtonShows::Running, .picking = &T::inmirrorselect,
     .mode = &T::inmirrorline,
     .prompts = kMirrorAsks},
    {.menu = "Skalieren1", .button = "ScaleBtn", .shows = ButtonShows::Running, .picking = &T::inscaleselect,
     .mode = &T::inscaleline,
     .prompts = kScaleAsks},
    {.menu = "Array1", .button = "ArrayBtn", .shows = ButtonShows::Running, .picking = &T::inarrayselect,
     .prompts = kPickAsks},
    {.menu = "Verbinden1", .button = "JoinBtn", .shows = ButtonShows::Running, .picking = &T::injoinselect,
     .prompts = kPickAsks},
    {.menu = "Zerlegen1", .button = "ExplodeBtn", .shows = ButtonShows::Running, .picking = &T::inexplodeselect,
     .prompts = kPickAsks},
    {.menu = "Brechen1", .button = "BreakBtn", .shows = ButtonShows::Running, .mode = &T::inbreak,
     .prompts = kBreakAsks, .step = BreakStep},
    {.menu = "Verlngern1", .button = "LengthenBtn", .shows = ButtonShows::Running, .mode = &T::inlengthen,
     .prompts = kLengthenAsks, .step = LengthenStep},
    {.menu = "Stutzen1", .button = "TrimBtn", .shows = ButtonShows::Running, .picking = &T::intrimselect,
     .mode = &T::intrim, .prompts = kTrimAsks},
    {.menu = "Dehnen1", .button = "ExtendBtn", .shows = ButtonShows::Running, .picking = &T::inextendselect,
     .mode = &T::inextend, .prompts = kExtendAsks},
    {.menu = "Parallele1", .button = "OffsetBtn", .shows = ButtonShows::Running, .mode = &T::inoffset,
     .prompts = kOffsetAsks, .step = OffsetStep},
    {.menu = "Abrunden1", .button = "FilletBtn", .shows = ButtonShows::Running, .mode = &T::infillet,
     .prompts = kCornerAsks, .step = CornerStep},
    {.menu = "Fasen1", .button = "ChamferBtn", .shows = ButtonShows::Running, .mode = &T::inchamfer,
     .prompts = kCornerAsks, .step = CornerStep},

    // Measuring: armed until the right button, taking point after point.
    {.menu = "MessenAbstand1", .shows = ButtonShows::Never, .variant = kMeasureDistance, .mode = &T::inmeasure,
     .prompts = kMeasureDistanceAsks, .step = MeasureStep},
    {.menu = "MessenWinkel1", .shows = ButtonShows::Never, .variant = kMeasureAngle, .mode = &T::inmeasure,
     .prompts = kMeasureAngleAsks, .step = MeasureStep},
    {.menu = "MessenFlaeche1", .shows = ButtonShows::Never, .variant = kMeasureArea, .mode = &T::inmeasure,
     .prompts = kMeasureAreaAsks, .step = MeasureStep},

    // The zoom and pan tools stay armed until the right button.
    {.button = "ZoomBtn", .shows = ButtonShows::Never, .mode = &T::inzoom,
     .prompts = kZoomAsks},
    {.menu = "ZoomFenster1", .button = "ZoomFensterBtn", .shows = ButtonShows::Never, .mode = &T::inzoomwindow,
     .prompts = kZoomWindowAsks, .step = ZoomWindowStep},
    {.button = "HandBtn", .shows = ButtonShows::Never, .mode = &T::inhand,
     .prompts = kHandAsks},
};

}  // namespace

std::span<const Mode> Modes() { return kModes; }
std::span<const Tool> Tools() { return kTools; }

const Tool* ArmedTool(const ToolState& t) {
  if (t.down == ToolButton::None) return nullptr;
  for (const Tool& tool : kTools)
    if (tool.down == t.down && (tool.variant == kAnyVariant || tool.variant == t.arcmode)) return &tool;
  return nullptr;
}

bool AnyModeOn(const ToolState& t) {
  for (const Mode& m : kModes)
    if (t.*m.on) return true;
  return false;
}

std::string_view Prompt(const ToolState& t) {
  auto at = [](const Tool& tool, int step) {
    if (tool.prompts.empty()) return std::string_view{};
    return tool.prompts[static_cast<std::size_t>(std::clamp(step, 0, static_cast<int>(tool.prompts.size()) - 1))];
  };
  auto running = [&](const Tool& tool) { return at(tool, tool.step ? tool.step(t) : 1 + t.ellipsemode); };
  for (const Tool& tool : kTools)
    if (tool.picking && t.*tool.picking) return at(tool, 0);
  for (const Tool& tool : kTools)
    if (tool.running && t.*tool.running) return running(tool);
  for (const Tool& tool : kTools)
    if (tool.mode && t.*tool.mode && (tool.variant == kAnyVariant || tool.variant == t.arcmode))
      return running(tool);
  if (const Tool* armed = ArmedTool(t)) return at(*armed, 0);
  for (const Mode& m : kModes)
    if (t.*m.on && !m.prompt.empty()) return m.prompt;
  return kSelectPrompt;
}

bool ShowsTool(std::string_view button) {
  for (const Tool& tool : kTools)
    if (tool.button == button) return tool.shows != ButtonShows::Never;
  return false;
}

bool ToolShown(const Editor& e, std::string_view button) {
  for (const Tool& tool : kTools) {
    if (tool.button != button) continue;
    switch (tool.shows) {
      case ButtonShows::Armed: {
        const Tool* armed = ArmedTool(e.tool);
        return armed && armed->button == button;
      }
      case ButtonShows::Running: return (tool.picking && e.tool.*tool.picking) || (tool.mode && e.tool.*tool.mode);
      case ButtonShows::Never: return false;
    }
  }
  return false;
}

std::string_view ButtonName(ToolButton b) {
  for (const Tool& tool : kTools)
    if (b != ToolButton::None && tool.down == b) return tool.button;
  return {};
}

}  // namespace vestrel
