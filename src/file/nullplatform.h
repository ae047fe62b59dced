// A window system without a window: nothing is shown, every question and
// dialog is cancelled, the drawing area has a fixed size and the printer is
// an A4 page at 600 dots per inch. Runs without a window (the exports, the
// benchmarks) start from it and change what they need.
#pragma once

#include "file/platform.h"

namespace vestrel {

class NullPlatform : public Platform {
 public:
  explicit NullPlatform(PixelSize paintBox = {800, 600}) : paintBox_(paintBox) {}

  std::string Message(int) override { return {}; }
  void ShowMessage(int, std::string_view, MsgIcon, int) override {}
  Answer AskYesNoCancel(int, int) override { return Answer::Cancel; }
  std::optional<std::string> OpenFileDialog() override { return std::nullopt; }
  std::optional<std::string> SaveFileDialog() override { return std::nullopt; }
  void SetCaption(std::string_view) override {}
  void Repaint() override {}
  PixelSize PaintBoxSize() override { return paintBox_; }
  void SetCursor(Cursor) override {}
  void SetStatusText(std::string_view) override {}
  PrinterPage PrinterPageSize() override { return {4960, 7016, 600}; }
  DialogResult ShowPrintDialog(PrintSetup&) override { return DialogResult::Cancel; }
  void PrinterSetupDialog() override {}
  void PrintDrawing() override {}
  void ShowViewportDialog(ViewportValues&) override {}

 private:
  PixelSize paintBox_;
};

}  // namespace vestrel
