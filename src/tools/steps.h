// The steps of the tool families, which the tool table (tools/tooltable.cpp)
// gives to the drawing area's mouse dispatch and to Escape; each family
// defines its own in its file (tools/zoompan.cpp, tools/draw/...). A click
// step takes a press in the drawing area; a preview step draws the rubber
// band for a mouse move. Both events carry the drawing area's transform,
// made once for the event: a step converts through that one and makes
// none of its own, and takes its points through PointStep, which gives a
// typed point exactly as typed.
#pragma once

#include "tools/editor.h"
#include "tools/tooltable.h"
#include "writers/annotationwriters.h"

namespace vestrel {

// A press or release of a mouse button in the drawing area, or a typed
// point clicked: the pixel (the typed point's nearest), the drawing area's
// transform at that moment, made once for the click (every step of it
// converts through this one), and the drawing point. A mouse click's
// drawing point is its pixel through that transform; a typed click's is
// the typed point itself, exactly.
struct Click {
  MouseButton button = MouseButton::Left;
  ShiftState shift;
  int x = 0, y = 0;
  ScreenTransform window;
  Point2 point;
  bool typed = false;
  // A typed point relative to the last fixed point: the way from there. The
  // tool's own last point takes it; `point` holds it from
  // ToolState::lastpoint, for a click without one.
  std::optional<Point2> relative;
  bool right() const { return button == MouseButton::Right; }
  Point2 pixel() const { return {static_cast<double>(x), static_cast<double>(y)}; }
};

// A mouse move over the drawing area, with the drawing area's transform
// made once for it: the rubber band converts through this one.
struct Move {
  ShiftState shift;
  int x = 0, y = 0;
  ScreenTransform window;
};

// --- shared steps (tools/pointstep.cpp) --------------------------------------

// The point a click gives, in drawing units: the rubber band erased, the
// pointer aligned with and snapped against `from` (the tool's last fixed
// point; none before its first), and where nothing caught it placed by
// the grid, ortho and polar from `from`. A typed click gives its drawing
// point (a relative one from `from` when there is one), neither aligned
// nor snapped. The point is kept as ToolState::lastpoint.
Point2 PointStep(Editor& e, std::optional<Point2> from, const Click& c);
// The same from the tool's first point (linesx, linesy).
Point2 PointStep(Editor& e, const Click& c);
// Where a drag from `from` ends: on what catches the pointer (snapped
// against itself, not aligned), else where the grid, ortho and polar put
// it from `from`, else at the pointer.
Point2 DropPoint(Editor& e, Point2 from, const Click& c);
// A tool's first click: the pointer, snapped against itself, into
// (linesx, linesy).
void FirstClick(Editor& e, const Click& c);
// A writer has taken the tool's points: the rubber band list starts anew.
void ResetRubberBand(ToolState& t);
// The pointer of a move as the rubber band shows it: as a click there would
// take it from `from` (the snap marker, or polar's guide line, drawn), in
// whole pixels. The status bar's band runs from `from` to where it lands.
Point2 PreviewPoint(Editor& e, std::optional<Point2> from, const Move& m);
// The band's length and angle in the status bar count from `fixed`, in
// drawing units: the tool's last point, where that is not the point the
// pointer aligns with.
void BandFrom(Editor& e, Point2 fixed);
// Rubber-band lines through screen points, each recorded.
void BandLine(Editor& e, Point2 a, Point2 b);
void BandPolyline(Editor& e, const std::vector<Point2>& points);

// --- the zoom and pan tools (tools/zoompan.cpp) ---------------------------------
// A press starts the drag, the right button ends the tool; moves drag; a
// release ends the drag.
void ZoomClick(Editor& e, const Click& c);
void HandClick(Editor& e, const Click& c);
void ZoomDrag(Editor& e, int x, int y);
void PanDrag(Editor& e, int x, int y);
void ZoomRelease(Editor& e, const Click& c);
void HandRelease(Editor& e, const Click& c);
// "Zoom Fenster": a press is the window's first corner, a release more than
// 3 pixels away its second, else the next press; its prompt goes by the
// corners it has.
void ZoomWindowClick(Editor& e, const Click& c);
void ZoomWindowPreview(Editor& e, const Move& m);
void ZoomWindowRelease(Editor& e, const Click& c);
int ZoomWindowStep(const ToolState& t);

// --- drawing tools (tools/draw/) -------------------------------------------------
// Each family: the click of its running mode, its first click (the tool
// armed), and its rubber band.
void LineClick(Editor& e, const Click& c);
void LineFirstClick(Editor& e, const Click& c);
void LinePreview(Editor& e, const Move& m);
void PolyClick(Editor& e, const Click& c);
void PolyFirstClick(Editor& e, const Click& c);
void PolyPreview(Editor& e, const Move& m);
// The release of the button ends a free-hand stroke.
void PolyRelease(Editor& e, const Click& c);
// The spline's prompt: its points, then its two end directions.
int SplineStep(const ToolState& t);
// Escape keeps the polyline drawn so far.
void PolyFinish(Editor& e);
void RectangleClick(Editor& e, const Click& c);
void RectangleFirstClick(Editor& e, const Click& c);
void RectanglePreview(Editor& e, const Move& m);
void ArcClick(Editor& e, const Click& c);
void ArcFirstClick(Editor& e, const Click& c);
void ArcPreview(Editor& e, const Move& m);
void CircleClick(Editor& e, const Click& c);
void CircleFirstClick(Editor& e, const Click& c);
void CirclePreview(Editor& e, const Move& m);
void EllipseClick(Editor& e, const Click& c);
void EllipseFirstClick(Editor& e, const Click& c);
void EllipsePreview(Editor& e, const Move& m);
void SolidClick(Editor& e, const Click& c);
void SolidFirstClick(Editor& e, const Click& c);
void SolidPreview(Editor& e, const Move& m);
void PointFirstClick(Editor& e, const Click& c);
void TextFirstClick(Editor& e, const Click& c);
// Adds the text dialog's text at `at`, `height` high, to `lines`; and the
// message for a drawing that keeps only its first line.
TextResult AddDialogText(Editor& e, CodeLines& lines, Point2 at, double height);
void FirstLineOnly(Editor& e);
void DimensionClick(Editor& e, const Click& c);
void DimensionFirstClick(Editor& e, const Click& c);
void DimensionPreview(Editor& e, const Move& m);
// --- editing tools (tools/modify/) -------------------------------------------------
// The right button ends the picking of each: delete and the array do
// their work, the others wait for their points.
void DeletePicked(Editor& e, const Click& c);
void CopyPicked(Editor& e, const Click& c);
void MovePicked(Editor& e, const Click& c);
void RotatePicked(Editor& e, const Click& c);
void ScalePicked(Editor& e, const Click& c);
void MirrorPicked(Editor& e, const Click& c);
void ArrayPicked(Editor& e, const Click& c);
void JoinPicked(Editor& e, const Click& c);
void ExplodePicked(Editor& e, const Click& c);
// "Brechen": the object and its first point, then the second point (the
// right button: at the first alone); "Verlängern": each click an end. The
// right button at the start ends them.
void BreakClick(Editor& e, const Click& c);
void BreakPreview(Editor& e, const Move& m);
int BreakStep(const ToolState& t);
void LengthenClick(Editor& e, const Click& c);
void LengthenPreview(Editor& e, const Move& m);
int LengthenStep(const ToolState& t);
// Trim and extend: the right button or Return ends the picking of their
// edges; then each click trims or extends the object under it, until the
// right button or Escape (CutEnd) lets the edges go.
void TrimPicked(Editor& e, const Click& c);
void ExtendPicked(Editor& e, const Click& c);
void EdgesPicked(Editor& e);
void TrimClick(Editor& e, const Click& c);
void ExtendClick(Editor& e, const Click& c);
void CutEnd(Editor& e);
// "Parallele": a click picks the object, the next gives its side (or the
// point to pass through) and makes the parallel; the right button ends
// the tool. The ghost of the parallel follows the pointer; the prompt goes
// by the step.
void OffsetClick(Editor& e, const Click& c);
void OffsetPreview(Editor& e, const Move& m);
int OffsetStep(const ToolState& t);
// Their points: the base point, then the target (copy, move), the
// direction (rotate), the factor's distance (scale) or the second point of
// the axis (mirror); the right button gives up.
void CopyClick(Editor& e, const Click& c);
void MoveClick(Editor& e, const Click& c);
void RotateClick(Editor& e, const Click& c);
void ScaleClick(Editor& e, const Click& c);
void MirrorClick(Editor& e, const Click& c);
// The selection as the pointer would move, turn, mirror or scale it, and
// while it or one of its grips is dragged.
void EditPreview(Editor& e, const Move& m);
// Fillet and chamfer (tools/modify/corner.cpp): a click takes the first
// object, the next the second and makes the corner; the right button
// after a polyline makes one at each of its vertices, else ends the tool.
// The ghost of the fillet arc or chamfer line follows the pointer over
// the second.
void CornerClick(Editor& e, const Click& c);
void CornerPreview(Editor& e, const Move& m);
int CornerStep(const ToolState& t);

// --- measuring (tools/measure.cpp) ------------------------------------------------
// Each click takes a point, the right button finishes an area or ends the
// tool; the prompt goes by the points taken.
void MeasureClick(Editor& e, const Click& c);
void MeasurePreview(Editor& e, const Move& m);
// The right button or Return: an area of three points or more is measured,
// else the tool ends.
void MeasureEnd(Editor& e);
int MeasureStep(const ToolState& t);

// Selection (tools/select.cpp): the click with nothing armed, the second
// corner of a window and its rubber band, and the end of a drag.
void SelectClick(Editor& e, const Click& c);
void MassSelectClick(Editor& e, const Click& c);
void MassSelectBand(Editor& e, int x, int y);
void DragEnd(Editor& e, const Click& c);

}  // namespace vestrel
