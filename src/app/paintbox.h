// The drawing area. The drawing is rendered into a QImage, the canvas; the
// widget's paint event only copies the canvas to the screen, so whatever is
// drawn into the canvas between two renderings stays on screen.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <span>
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
  // Renders the drawing into the canvas and shows it; the rubber band goes
  // with the old picture.
  void render();
  // What the last rendering drew, for the next to redraw only what changed.
  PaintCache& paintCache() { return cache_; }
  // Draws segments in XOR over the canvas (white, one pixel, not smoothed):
  // drawing them again restores it. They are drawn together when the
  // widget is painted next.
  void xorLines(std::span<const tremove> segments);

  // The window's handlers.
  std::function<void(QImage&)> onPaint;
  std::function<void(QMouseEvent*)> onMouseDown, onMouseMove, onMouseUp;
  std::function<void(QWheelEvent*)> onWheel;
  std::function<void()> onDoubleClick;  // after the press the second click gives

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void drawPending();

  QImage canvas_;
  std::vector<tremove> pending_;
  // The segments drawn into the canvas since it was rendered: drawn again,
  // they leave the rendered picture, which the next rendering builds on.
  std::vector<tremove> drawn_;
  PaintCache cache_;
};

}  // namespace vestrel
