#include "app/export.h"

#include <QCoreApplication>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QSettings>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "dialogs/DruckenFUnit.h"
#include "document/numbers.h"
#include "file/dxffile.h"
#include "platform/nullplatform.h"
#include "i18n/messages.h"
#include "i18n/msg.h"
#include "tools/editor.h"
#include "view/printing.h"
#include "view/transform.h"
#include "view/renderer.h"

namespace vestrel {

namespace {

// The window system of a run without a window: the drawing area is an
// image of the asked size, messages go to the error stream, questions and
// dialogs are cancelled.
class Headless : public NullPlatform {
 public:
  Headless(int width, int height, std::ostream& err) : NullPlatform({width, height}), err_(err) {
    printer_.setFullPage(true);
    printer_.setOutputFormat(QPrinter::PdfFormat);
  }

  QPrinter& printer() { return printer_; }
  bool failed = false;

  std::string Message(int nr) override { return std::string(GermanMessage(nr)); }
  void ShowMessage(int nr, std::string_view suffix, MsgIcon icon, int) override {
    err_ << "vestrel: " << Message(nr) << suffix << '\n';
    if (icon == MsgIcon::Error) failed = true;
  }
  PrinterPage PrinterPageSize() override {
    const QRect page = printer_.pageLayout().fullRectPixels(printer_.resolution());
    return {page.width(), page.height(), printer_.resolution()};
  }
  void UsePaper(std::optional<PaperSize> paper) override {
    if (paper) UsePaperOn(printer_, *paper);
  }

 private:
  std::ostream& err_;
  QPrinter printer_{QPrinter::HighResolution};
};

// Loads the drawing and shows the asked tab zoomed to its extents.
bool Load(Editor& editor, Headless& platform, const ExportOptions& o, std::ostream& err) {
  editor.FormCreate(QCoreApplication::applicationDirPath().toStdString());
  editor.FormShow({o.input});
  if (platform.failed || editor.file.afilename != o.input) return false;
  const int tabs = static_cast<int>(editor.bar.TabControl1.size());
  if (o.tab < 0 || o.tab >= tabs) {
    err << "vestrel: the drawing has no tab " << o.tab << " (it has " << tabs << ")\n";
    return false;
  }
  if (o.tab != 0) editor.TabControl1Change(o.tab);
  return true;
}

constexpr const char* kNotAllDrawn =
    "not all is drawn: its block references go too deep or draw too much for one picture";

// Whether `output` can be written, found out before any work is done: it is
// opened for appending (which changes nothing) and, when it was not there,
// removed again.
bool CanWrite(const std::string& output, std::ostream& err) {
  struct stat st {};
  const bool existed = ::stat(output.c_str(), &st) == 0;
  FileError e = existed && S_ISDIR(st.st_mode) ? FileError::IsFolder : FileError::None;
  if (e == FileError::None) {
    if (std::FILE* f = std::fopen(output.c_str(), "ab")) {
      std::fclose(f);
      if (!existed) std::remove(output.c_str());
    } else {
      e = errno == ENOENT || errno == ENOTDIR ? FileError::NotFound
          : errno == EACCES || errno == EPERM  ? FileError::NoPermission
          : errno == EROFS                     ? FileError::ReadOnly
          : errno == ENOSPC                    ? FileError::NoSpace
                                               : FileError::IoError;
    }
  }
  if (e == FileError::None) return true;
  err << "vestrel: cannot write " << output << ": " << FileErrorEnglish(e) << '\n';
  return false;
}

// "A:B" as two numbers.
bool Pair(std::string_view text, char sep, double& a, double& b) {
  const auto at = text.find(sep);
  if (at == std::string_view::npos) return false;
  const auto x = ParseDouble(text.substr(0, at)), y = ParseDouble(text.substr(at + 1));
  if (!x || !y) return false;
  a = *x, b = *y;
  return true;
}

// A number of pixels a picture could have.
bool Pixels(double v) { return std::floor(v) == v && std::abs(v) < 1e9; }

}  // namespace

bool ParsePictureSize(std::string_view text, int& width, int& height) {
  double w, h;
  if (!Pair(text, 'x', w, h) || !Pixels(w) || !Pixels(h)) return false;
  width = static_cast<int>(w), height = static_cast<int>(h);
  return true;
}

std::string ParseExportOptions(const std::vector<std::string>& args, bool pdf, ExportOptions& o) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const std::string* value = i + 1 < args.size() ? &args[i + 1] : nullptr;
    if (a == "--size" && !pdf) {
      if (!value || !ParsePictureSize(*value, o.width, o.height)) return "--size wants WIDTHxHEIGHT in pixels";
    } else if (a == "--tab") {
      const auto t = value ? ParseInt(*value) : std::nullopt;
      if (!t) return "--tab wants a tab number";
      o.tab = *t;
    } else if (a == "--scale" && pdf) {
      double mm, units;
      if (!value || !Pair(*value, ':', mm, units) || !(mm > 0) || !(units > 0))
        return "--scale wants MM:UNITS, two positive numbers";
      o.mm = mm, o.units = units;
    } else if (a == "--margin" && pdf) {
      const auto m = value ? ParseDouble(*value) : std::nullopt;
      if (!m) return "--margin wants millimetres";
      o.margin = *m;
    } else if (a == "--offset" && pdf) {
      double x, y;
      if (!value || !Pair(*value, ':', x, y)) return "--offset wants XMM:YMM";
      o.offsetx = x, o.offsety = y;
    } else if (a.starts_with("--")) {
      return "unknown option " + std::string(a);
    } else {
      names.emplace_back(a);
      continue;
    }
    ++i;  // the option's value
  }
  if (names.size() != 2) return pdf ? "--export-pdf wants OUT.pdf and FILE" : "--export-png wants OUT.png and FILE";
  o.output = names[0];
  o.input = names[1];
  return {};
}

int RunExportPng(const ExportOptions& o, std::ostream& err) {
  if (o.width < 1 || o.height < 1 || o.width > kMostPixels || o.height > kMostPixels) {
    err << "vestrel: a picture of " << o.width << "x" << o.height << " pixels cannot be made\n";
    return 1;
  }
  if (!CanWrite(o.output, err)) return 1;
  Headless platform(o.width, o.height, err);
  Editor editor(platform);
  if (!Load(editor, platform, o, err)) return 1;
  QImage canvas(o.width, o.height, QImage::Format_RGB32);
  if (!PaintBox1Paint(canvas, editor.drawing, editor.view, editor.print, platform.PrinterPageSize(), 96,
                      &editor.inview))
    err << "vestrel: " << kNotAllDrawn << '\n';
  if (!canvas.save(QString::fromStdString(o.output), "PNG")) {
    err << "vestrel: cannot write " << o.output << '\n';
    return 1;
  }
  return 0;
}

void UsePaperOn(QPrinter& printer, PaperSize paper) {
  const bool landscape = paper.widthMm > paper.heightMm;
  const QSizeF portrait(std::min(paper.widthMm, paper.heightMm), std::max(paper.widthMm, paper.heightMm));
  printer.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                                    landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
}

int RunExportPdf(const ExportOptions& o, std::ostream& err) {
  Headless platform(1600, 1000, err);
  Editor editor(platform);
  QSettings settings;
  TDruckenForm::Load(settings, editor.print);
  if (!CanWrite(o.output, err) || !Load(editor, platform, o, err)) return 1;
  // A layout on paper of its own is printed on that paper at its plot
  // scale; the values given still count.
  PrintSetup setup = editor.print;
  if (const auto paper = PaperOfTab(editor.drawing, editor.view.tab)) {
    setup = PrintSetupOf(*paper);
    platform.UsePaper(PaperSize{paper->widthMm, paper->heightMm});
  }
  if (o.mm) setup.mmEd = *o.mm;
  if (o.units) setup.UnitsEd = *o.units;
  if (o.margin) setup.RandEd = *o.margin;
  if (o.offsetx) setup.XOffsetEd = *o.offsetx;
  if (o.offsety) setup.YOffsetEd = *o.offsety;
  if (!(setup.mmEd > 0) || !(setup.UnitsEd > 0)) {
    err << "vestrel: the scale must be two positive numbers\n";
    return 1;
  }
  QPrinter& printer = platform.printer();
  printer.setOutputFileName(QString::fromStdString(o.output));
  printer.setDocName(QString::fromStdString(std::string(GermanMessage(msg::DxfFile))));
  if (!PrintTab(printer, editor.drawing, editor.view, setup)) err << "vestrel: " << kNotAllDrawn << '\n';
  if (printer.printerState() == QPrinter::Error) {
    err << "vestrel: cannot write " << o.output << '\n';
    return 1;
  }
  return 0;
}

}  // namespace vestrel
