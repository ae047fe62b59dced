#include "app/export.h"

#include <QCoreApplication>
#include <QImage>
#include <QPrinter>
#include <QSettings>

#include "dialogs/DruckenFUnit.h"
#include "platform/nullplatform.h"
#include "i18n/messages.h"
#include "tools/editor.h"
#include "view/printing.h"
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

}  // namespace

int RunExportPng(const ExportOptions& o, std::ostream& err) {
  if (o.width < 1 || o.height < 1 || o.width > 20000 || o.height > 20000) {
    err << "vestrel: a picture of " << o.width << "x" << o.height << " pixels cannot be made\n";
    return 1;
  }
  Headless platform(o.width, o.height, err);
  Editor editor(platform);
  if (!Load(editor, platform, o, err)) return 1;
  QImage canvas(o.width, o.height, QImage::Format_RGB32);
  PaintBox1Paint(canvas, editor.drawing, editor.view, editor.print, platform.PrinterPageSize(), 96);
  if (!canvas.save(QString::fromStdString(o.output), "PNG")) {
    err << "vestrel: cannot write " << o.output << '\n';
    return 1;
  }
  return 0;
}

int RunExportPdf(const ExportOptions& o, std::ostream& err) {
  Headless platform(1600, 1000, err);
  Editor editor(platform);
  QSettings settings;
  TDruckenForm::Load(settings, editor.print);
  if (o.mm) editor.print.mmEd = *o.mm;
  if (o.units) editor.print.UnitsEd = *o.units;
  if (o.margin) editor.print.RandEd = *o.margin;
  if (o.offsetx) editor.print.XOffsetEd = *o.offsetx;
  if (o.offsety) editor.print.YOffsetEd = *o.offsety;
  if (!(editor.print.mmEd > 0) || !(editor.print.UnitsEd > 0)) {
    err << "vestrel: the scale must be two positive numbers\n";
    return 1;
  }
  if (!Load(editor, platform, o, err)) return 1;
  QPrinter& printer = platform.printer();
  printer.setOutputFileName(QString::fromStdString(o.output));
  printer.setDocName(QString::fromStdString(std::string(GermanMessage(11))));
  PrintTab(printer, editor.drawing, editor.view, editor.print);
  if (printer.printerState() == QPrinter::Error) {
    err << "vestrel: cannot write " << o.output << '\n';
    return 1;
  }
  return 0;
}

}  // namespace vestrel
