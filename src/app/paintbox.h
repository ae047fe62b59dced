// The drawing area. The drawing is rendered into a QImage, the canvas; the
// widget's paint event only copies the canvas to the screen, so whatever is
// drawn into the canvas between two renderings stays on screen.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace vestrel {

class PaintBox : public QWidget {
  Q_OBJECT
 public:
  explicit PaintBox(QWidget* parent = nullptr);

  QImage& canvas() { return canvas_; }
  // Renders the drawing into the canvas and shows it.
  void render();

  // The window's handlers.
  std::function<void(QImage&)> onPaint;
  std::function<void(QMouseEvent*)> onMouseDown, onMouseMove, onMouseUp;
  std::function<void(QWheelEvent*)> onWheel;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QImage canvas_;
};

}  // namespace vestrel
