// The view: a zoom factor and two scroll offsets that make the transform
// from drawing units to the pixels of the drawing area, the tab shown, and
// every way of changing them: zoom to extents, zoom in and out, the wheel,
// drag zoom, pan, a window, the scroll bars, the view each tab keeps and
// the views it showed before. These
// functions change the view and nothing else; the caller repaints.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "document/drawing.h"
#include "document/tabscope.h"
#include "platform/platform.h"
#include "view/screentransform.h"

namespace vestrel {

struct ViewState {
  int tab = 0;               // the layout tab shown: 0 the model
  double zoomedvalue = 100;  // pixels per drawing unit, times 100
  // The scroll bars hold the offsets, in hundredths of a pixel: twenty
  // million pixels to either side, what a 32-bit bar holds with room to
  // step beyond.
  static constexpr std::int32_t kScrollMin = -2000000000, kScrollMax = 2000000000;
  std::int32_t HorzScrollbarPosition = -2000;
  std::int32_t VertScrollbarPosition = 2000;
  bool donotstorenow = false;  // the view is not stored for the tab now
  // Views of the two tabs of a drawing without layouts.
  bool zoomsetted0 = false, zoomsetted1 = false;
  double zoomvalue0 = 0, zoomvalue1 = 0;
  std::int32_t scrollxvalue0 = 0, scrollyvalue0 = 0, scrollxvalue1 = 0, scrollyvalue1 = 0;
  // Drag zoom and pan while the button is held down.
  bool inzoomit = false, inpan = false;
  std::int32_t pansx = 0, pansy = 0, pansx0 = 0, pansy0 = 0;
  double pansy2 = 0;
  // Menu "Ansicht".
  bool Druckvorschau = false;
  bool Linienbreitezeigen = true;
  // The views each tab showed before its last zooms and pans, the latest
  // last, for "Vorherige Ansicht".
  struct Saved {
    double zoom = 100;
    std::int32_t x = 0, y = 0;
  };
  static constexpr std::size_t kPreviousViews = 10;
  std::map<int, std::vector<Saved>> previous;
};

inline constexpr double kZoomMin = 0.000001, kZoomMax = 1000000;
double ClampZoom(double z);

// What the view works on: the drawing and the view, and the sizes of the
// drawing area and of the printed page that zoom to extents fits.
struct ViewContext {
  Drawing& drawing;
  ViewState& view;
  const PrintSetup& print;
  Platform& platform;
};

// The transform of the drawing area as the view stands.
ScreenTransform WindowTransform(const ViewState& view, int height);
ScreenTransform WindowTransform(const ViewContext& c);

// World to screen and back; not rounded.
Point2 DXF2Bildschirm(const ViewContext& c, double x, double y);
Point2 Bildschirm2DXF(const ViewContext& c, double sx, double sy);

// A scroll bar moved (by the user or by the view itself); the view is
// stored for the tab when it changed.
void SetHorzScrollbar(ViewContext& c, std::int64_t position);
void SetVertScrollbar(ViewContext& c, std::int64_t position);

// Zoom and scroll so that the extents of the shown tab fill 95 % of the
// drawing area.
void ZoomFullIn(ViewContext& c);

// The sheet a tab is drawn on: its layout's paper, else the printer's page
// at the page set-up's scale, the drawing's origin at the margin plus the
// offsets from its lower left corner.
Sheet TabSheet(const Drawing& d, int tab, const PrintSetup& print, const PrinterPage& page);

// The page set-up that prints a layout's paper: at its plot scale, the
// sheet's corner on the page's corner, no margin.
PrintSetup PrintSetupOf(const LayoutPaper& paper);
// Zoom by `factor` about the screen point (px, py); a negative factor
// divides by its size.
void ZoomAbout(ViewContext& c, double px, double py, double factor);
// "Vergrößern" and "Verkleinern": about the middle of the drawing area.
void ZoomIn(ViewContext& c);
void ZoomOut(ViewContext& c);
// The wheel over the window, at (px, py) in drawing-area pixels: zoom,
// with Shift a horizontal and with Ctrl a vertical scroll.
void MouseWheel(ViewContext& c, bool up, bool shift, bool ctrl, double px, double py);
// Drag zoom and pan while the mouse moves with the button down.
void DragZoom(ViewContext& c, int x, int y);
void Pan(ViewContext& c, int x, int y);

// Zoom and scroll so that the box between the drawing points `a` and `b`
// fills the drawing area, its middle in the area's middle; a box without
// width or height keeps the zoom and only centres.
void ZoomWindow(ViewContext& c, Point2 a, Point2 b);

// The view as it stands, remembered for the shown tab before a zoom or a
// pan changes it (the last ten of each tab; the same view twice in a row
// once).
void RememberView(ViewContext& c);
// Back to the latest view the shown tab remembered, which it forgets;
// false when it remembers none.
bool PreviousView(ViewContext& c);
bool HasPreviousView(const ViewState& v);

void StoreZoom(ViewContext& c);
// The first step of a tab change: the tab's stored view, else its extents.
void RestoreZoom(ViewContext& c);

}  // namespace vestrel
