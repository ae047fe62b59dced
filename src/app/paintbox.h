// The drawing area. The drawing is rendered into a picture, and the canvas
// shows it; the widget's paint event only copies the canvas to the screen,
// so whatever is drawn into the canvas between two renderings stays on
// screen. After a change of the view alone the canvas shows the last
// picture moved and scaled at once, and the exact picture replaces it as
// soon as that frame is on the screen.
#pragma once

#include <QImage>
#include <QTimer>
#include <QTransform>
#include <QWidget>
#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "view/paintcache.h"

namespace vestrel {

class PaintBox : public QWidget {
  Q_OBJECT
 public:
  explicit PaintBox(QWidget* parent = nullptr);

  // The canvas with every rubber-band segment drawn into it.
  QImage& canvas();
  // Renders the drawing and shows it; the rubber band goes with the old
  // picture.
  void render();
  // Shows the last picture rendered with `move` (from its pixels to the
  // area's) and `ground` where it has no pixels, at once; the rubber band
  // goes with the old picture. The exact picture is rendered once this
  // frame is on the screen, unless a rendering comes first.
  void renderMoved(const QTransform& move, const QColor& ground);
  // Whether the canvas shows the exact picture (and no moved one).
  bool settled() const { return !exact_.isActive(); }
  // Renders the exact picture now if it is still to come.
  void settle();
  // When the first frame since watchFrames() was shown, and the first that
  // showed the exact picture; nothing while none was.
  using Clock = std::chrono::steady_clock;
  struct Frames {
    std::optional<Clock::time_point> first, exact;
  };
  void watchFrames() { frames_ = {}; }
  const Frames& frames() const { return frames_; }
  // What the last rendering drew, for the next to redraw only what changed.
  PaintCache& paintCache() { return cache_; }
  // Draws segments in XOR over the canvas (white, one pixel, not smoothed):
  // drawing them again restores it. They are drawn together when the
  // widget is painted next.
  void xorLines(std::span<const tremove> segments);
  // Work that starts once the next frame is on the screen (the last given
  // of it, once).
  void afterNextFrame(std::function<void()> work) { afterFrame_ = std::move(work); }

  // The window's handlers.
  std::function<void(QImage&)> onPaint;
  std::function<void()> onBandGone;  // a rendering dropped the rubber band
  std::function<void(QMouseEvent*)> onMouseDown, onMouseMove, onMouseUp;
  std::function<void(QWheelEvent*)> onWheel;
  std::function<void()> onDoubleClick;  // after the press the second click gives

 protected:
  // While the exact picture is to come: what may start work on the drawing
  // (input other than the wheel and the pointer's moves, the window
  // becoming active) waits for it.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void drawPending();
  // Renders the exact picture in place of the moved one.
  void showExact();
  // The canvas shows `picture_`, the rubber band drawn since over it.
  void showPicture();

  QImage picture_;  // the last rendering, as the paint cache keeps it
  QImage canvas_;   // what the screen shows: a picture, and the rubber band over it
  std::vector<tremove> pending_;
  // The segments drawn into a moved picture: the exact picture gets them
  // too, for drawing them again to erase them there.
  std::vector<tremove> drawn_;
  PaintCache cache_;
  QTimer exact_;  // the exact picture still to come
  Frames frames_;
  std::function<void()> afterFrame_;
};

}  // namespace vestrel
