#include "tools/tooltable.h"

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
    {.name = "inzoom", .on = &T::inzoom, .click = ZoomClick, .release = ZoomRelease},
    {.name = "inhand", .on = &T::inhand, .click = HandClick, .release = HandRelease},
    // Selection: a window has its first corner; the selection or one of
    // its grips is dragged.
    {.name = "inmassselect", .on = &T::inmassselect, .click = MassSelectClick, .drag = MassSelectBand},
    {.name = "inmove", .on = &T::inmove, .preview = EditPreview, .release = DragEnd},
    {.name = "inmovepoint", .on = &T::inmovepoint, .preview = EditPreview, .release = DragEnd},
};

using B = ToolButton;

// A family's rows stand together, the row of its own button first (the
// button's name is that row's).
const Tool kTools[] = {
    // The drawing tools.
    {.menu = "Linie1", .button = "LineBtn", .down = B::LineBtn, .variant = kLineSegment, .mode = &T::inlin,
     .first = LineFirstClick},
    {.menu = "Konstruktionslinie1", .button = "LineBtn", .down = B::LineBtn, .variant = kConstructionLine,
     .mode = &T::inlin, .first = LineFirstClick},
    {.menu = "Strahl1", .button = "LineBtn", .down = B::LineBtn, .variant = kRay, .mode = &T::inlin,
     .first = LineFirstClick},
    {.menu = "Pfeil1", .button = "ArrowBtn", .down = B::ArrowBtn, .mode = &T::inlin, .first = LineFirstClick},
    {.menu = "Polylinie1", .button = "PolyLineBtn", .down = B::PolyLineBtn, .variant = kPolyline, .mode = &T::inpoly,
     .first = PolyFirstClick},
    {.menu = "Freihand1", .button = "PenBtn", .down = B::PenBtn, .variant = kFreeHand, .mode = &T::inpoly,
     .first = PolyFirstClick},
    {.button = "SplineBtn", .down = B::SplineBtn, .variant = kSpline, .mode = &T::inpoly, .first = PolyFirstClick},
    {.menu = "Rechteck1", .button = "RectangleBtn", .down = B::RectangleBtn, .mode = &T::inrec,
     .first = RectangleFirstClick},
    {.menu = "StartMitteEnde1", .button = "ArcBtn", .down = B::ArcBtn, .variant = kArcStartMiddleEnd, .mode = &T::inarc,
     .first = ArcFirstClick},
    {.menu = "N3PunkteStartEndeMitte1", .button = "ArcBtn", .down = B::ArcBtn, .variant = kArcStartEndMiddle,
     .mode = &T::inarc, .first = ArcFirstClick},
    {.menu = "MittelpunktStart1", .button = "ArcBtn", .down = B::ArcBtn, .variant = kArcCentreStartEnd,
     .mode = &T::inarc, .first = ArcFirstClick},
    {.menu = "MittelpunktRadius1", .button = "CircleBtn", .down = B::CircleBtn, .variant = kCircleCentreRadius,
     .mode = &T::incircle, .first = CircleFirstClick},
    {.menu = "MittelpunktDurchmesser1", .button = "CircleBtn", .down = B::CircleBtn,
     .variant = kCircleCentreDiameter, .mode = &T::incircle, .first = CircleFirstClick},
    {.menu = "N2Punkte1", .button = "CircleBtn", .down = B::CircleBtn, .variant = kCircleTwoPoints,
     .mode = &T::incircle, .first = CircleFirstClick},
    {.menu = "N3Punkte1", .button = "CircleBtn", .down = B::CircleBtn, .variant = kCircleThreePoints,
     .mode = &T::incircle, .first = CircleFirstClick},
    // The regular polygon is placed like a circle: armed through the
    // circle's button, shown by its own.
    {.menu = "Vieleck1", .button = "PolyGon", .down = B::CircleBtn, .variant = kPolygon, .mode = &T::incircle,
     .first = CircleFirstClick},
    {.menu = "Achsen1", .button = "EllipseBtn", .down = B::EllipseBtn, .variant = kEllipseAxes,
     .mode = &T::inellipse, .first = EllipseFirstClick},
    {.menu = "Mittelpunkt1", .button = "EllipseBtn", .down = B::EllipseBtn, .variant = kEllipseCentre,
     .mode = &T::inellipse, .first = EllipseFirstClick},
    {.menu = "Ellipsenbogen1", .button = "EllipseBtn", .down = B::EllipseBtn, .variant = kEllipseArcAxes,
     .mode = &T::inellipse, .first = EllipseFirstClick},
    {.menu = "EllipsenbogenMittelpunkt1", .button = "EllipseBtn", .down = B::EllipseBtn,
     .variant = kEllipseArcCentre, .mode = &T::inellipse, .first = EllipseFirstClick},
    {.menu = "Pukt1", .button = "PointBtn", .down = B::PointBtn, .first = PointFirstClick},
    {.menu = "Flche1", .button = "SolidBtn", .down = B::SolidBtn, .mode = &T::insolid, .first = SolidFirstClick},
    {.menu = "Punkt1", .button = "TextBtn", .down = B::TextBtn, .first = TextFirstClick},
    {.menu = "Bemaung1", .button = "DimensionBtn", .down = B::DimensionBtn, .mode = &T::indim,
     .first = DimensionFirstClick},

    // The editing tools; delete and the array need no points.
    {.menu = "Lschen1", .button = "DelBtn", .shows = ButtonShows::Running, .picking = &T::indelselect},
    {.menu = "Kopieren1", .button = "CopyBtn", .shows = ButtonShows::Running, .picking = &T::incopyselect,
     .mode = &T::incopyline},
    {.menu = "Verschieben1", .button = "MoveBtn", .shows = ButtonShows::Running, .picking = &T::inmoveselect,
     .mode = &T::inmoveline},
    {.menu = "Rotieren1", .button = "RotateBtn", .shows = ButtonShows::Running, .picking = &T::inrotateselect,
     .mode = &T::inrotateline},
    {.menu = "Spiegeln1", .button = "MirrorBtn", .shows = ButtonShows::Running, .picking = &T::inmirrorselect,
     .mode = &T::inmirrorline},
    {.menu = "Skalieren1", .button = "ScaleBtn", .shows = ButtonShows::Running, .picking = &T::inscaleselect,
     .mode = &T::inscaleline},
    {.menu = "Array1", .button = "ArrayBtn", .shows = ButtonShows::Running, .picking = &T::inarrayselect},

    // The zoom and pan tools stay armed until the right button.
    {.button = "ZoomBtn", .shows = ButtonShows::Never, .mode = &T::inzoom},
    {.button = "HandBtn", .shows = ButtonShows::Never, .mode = &T::inhand},
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
