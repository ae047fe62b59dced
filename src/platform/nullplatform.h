// A window system without a window: nothing is shown, every question and
// dialog is cancelled, the drawing area has a fixed size and the printer is
// an A4 page at 600 dots per inch. Runs without a window (the exports, the
// benchmarks) and the tests' fake start from it and change what they need.
#pragma once

#include "platform/platform.h"

namespace vestrel {

class NullPlatform : public Platform {
 public:
  explicit NullPlatform(PixelSize paintBox = {800, 600}) : paintBox_(paintBox) {}

  std::string Message(int) override { return {}; }
  void ShowMessage(int, std::string_view, MsgIcon, int) override {}
  void SetCaption(std::string_view) override {}
  void Repaint() override {}
  void CloseMainWindow() override {}
  PixelSize PaintBoxSize() override { return paintBox_; }
  void SetCursor(Cursor) override {}
  void SetStatusText(std::string_view) override {}
  PrinterPage PrinterPageSize() override { return {4960, 7016, 600}; }
  void PrintDrawing(const PrintSetup&) override {}

 protected:
  PixelSize paintBox_;
};

}  // namespace vestrel
