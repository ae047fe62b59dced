// The view: one linear transform from drawing units to the pixels of the
// drawing area, made of a zoom factor and two scroll offsets, and every way
// of changing it: zoom to extents, zoom in and out, the wheel, drag zoom,
// pan, the scroll bars, and the view each tab keeps.
#pragma once

#include <cstdint>

#include "document/drawing.h"
#include "file/platform.h"

namespace vestrel {

struct ViewState {
  double zoomedvalue = 100;  // pixels per drawing unit, times 100
  // The scroll bars hold the offsets, in hundredths of a pixel.
  static constexpr std::int32_t kScrollMin = -100000000, kScrollMax = 100000000;
  std::int32_t HorzScrollbarPosition = -2000;
  std::int32_t VertScrollbarPosition = 2000;
  bool donotdrawnow = false;   // a paint request now draws nothing
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
};

inline constexpr double kZoomMin = 0.000001, kZoomMax = 1000000;
double ClampZoom(double z);

// What the view works on.
struct ViewSession {
  Drawing& drawing;
  ViewState& view;
  const PrintSetup& print;
  Platform& platform;
};

// World to screen and back; not rounded.
void DXF2Bildschirm(const ViewSession& s, double x, double y, double& sx, double& sy);
void Bildschirm2DXF(const ViewSession& s, double sx, double sy, double& x, double& y);

// Setting a scroll bar stores the view for the tab and repaints, as the
// bar's change event does.
void SetHorzScrollbar(ViewSession& s, std::int64_t position);
void SetVertScrollbar(ViewSession& s, std::int64_t position);
// The change events of the two bars.
void HorzScrollbarChange(ViewSession& s);
void VertScrollbarChange(ViewSession& s);

// Zoom and scroll so that the extents of the current tab fill 95 % of the
// drawing area; no repaint.
void ZoomFullIn(ViewSession& s);
// Zoom by `factor` about the screen point (px, py); repaints.
void ZoomAbout(ViewSession& s, double px, double py, double factor);
void ZoomInBtnClick(ViewSession& s);
void ZoomOutBtnClick(ViewSession& s);
void ZoomAllClick(ViewSession& s);
// The wheel over the window, at (px, py) in drawing-area pixels.
void MouseWheel(ViewSession& s, bool up, bool shift, bool ctrl, double px, double py);
// Drag zoom and pan while the mouse moves with the button down.
void DragZoom(ViewSession& s, int x, int y);
void Pan(ViewSession& s, int x, int y);

void StoreZoom(ViewSession& s);
// The first step of a tab change: the tab's stored view, else its extents.
void RestoreZoom(ViewSession& s);

}  // namespace vestrel
