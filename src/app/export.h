// Pictures and PDF pages of a drawing, made without a window.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

class QPrinter;

namespace vestrel {

struct ExportOptions {
  std::string input, output;
  int width = 1600, height = 1000;  // --size, PNG only
  int tab = 0;                      // --tab
  // PDF only: values given on the command line instead of the stored ones.
  std::optional<double> mm, units, margin, offsetx, offsety;
};

// The largest side of a picture, and of the drawing area of a replay.
inline constexpr int kMostPixels = 20000;

// "WxH" as a picture's size: two whole numbers of pixels. False when it is
// no such pair; whether the size can be made is the caller's to check.
bool ParsePictureSize(std::string_view text, int& width, int& height);

// Reads the options and the two names that follow "--export-png" or
// "--export-pdf" (`pdf`) into `options`; returns what is wrong with them,
// empty when nothing is.
std::string ParseExportOptions(const std::vector<std::string>& args, bool pdf, ExportOptions& options);

// What the window would show after zoom to extents, as a PNG file.
// Returns the exit code: 0, or 1 with a message on `err`.
int RunExportPng(const ExportOptions& options, std::ostream& err);

// Sets the printer's page to `paper`: portrait, or landscape when the paper
// is wider than high.
void UsePaperOn(QPrinter& printer, PaperSize paper);

// The tab printed into a PDF file with the stored page set-up (or the
// values given).
int RunExportPdf(const ExportOptions& options, std::ostream& err);

}  // namespace vestrel
