// Dragging one grip of an object: the value lines behind the grip are
// written anew, as one undo step.
#pragma once

#include "editing/transforms.h"
#include "file/context.h"
#include "geometry/point.h"
#include "platform/dialogs.h"

namespace vestrel {

// Grip `grip` of entry `objnr` dragged by d (drawing units, in the plan)
// to `at`. A vertex, end point or centre moves by d in its object's own
// plane; a radius, an ellipse's minor axis and an arc's end angle follow
// `at`; an ellipse's minor axis dragged past its major axis becomes the
// major axis. A viewport's corners change its size and centre, its pan and
// zoom grips the part of the model it shows. The step is made even when no
// line changed; the drawing is parsed again. ZeroAxis, and nothing done,
// when the ellipse would be left with an axis of no length.
EditResult MovePoint(DocumentContext& c, int objnr, int grip, Point2 d, Point2 at);

// The grip of a viewport that opens its dialog.
inline constexpr int kViewportPropertiesGrip = 7;

// What the viewport dialog shows for viewport entry `objnr`.
ViewportValues ViewportValuesOf(const Drawing& d, int objnr);

// Viewport entry `objnr` set to `v` (centre, size and view), as one undo
// step; the drawing is parsed again.
void SetViewportValues(DocumentContext& c, int objnr, const ViewportValues& v);

}  // namespace vestrel
