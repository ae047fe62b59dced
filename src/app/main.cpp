#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainUnit.h"
#include "app/commandline.h"
#include "app/export.h"
#include "document/numbers.h"

namespace {

int Usage(const std::string& problem) {
  std::cerr << "vestrel: " << problem << '\n';
  vestrel::PrintUsage(std::cerr);
  return 1;
}

// "A:B" as two numbers.
bool Pair(std::string_view text, char sep, double& a, double& b) {
  const auto at = text.find(sep);
  if (at == std::string_view::npos) return false;
  const auto x = vestrel::ParseDouble(text.substr(0, at)), y = vestrel::ParseDouble(text.substr(at + 1));
  if (!x || !y) return false;
  a = *x, b = *y;
  return true;
}

// The exports run without a window: offscreen unless told otherwise.
int Export(int argc, char** argv, bool pdf) {
  vestrel::ExportOptions o;
  std::vector<std::string> rest;
  for (int i = 2; i < argc; ++i) {
    const std::string_view a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--size" && hasValue && !pdf) {
      double w, h;
      if (!Pair(argv[++i], 'x', w, h) || w != static_cast<int>(w) || h != static_cast<int>(h))
        return Usage("--size wants WIDTHxHEIGHT in pixels");
      o.width = static_cast<int>(w), o.height = static_cast<int>(h);
    } else if (a == "--tab" && hasValue) {
      const auto t = vestrel::ParseInt(argv[++i]);
      if (!t) return Usage("--tab wants a tab number");
      o.tab = *t;
    } else if (a == "--scale" && hasValue && pdf) {
      double mm, units;
      if (!Pair(argv[++i], ':', mm, units) || !(mm > 0) || !(units > 0))
        return Usage("--scale wants MM:UNITS, two positive numbers");
      o.mm = mm, o.units = units;
    } else if (a == "--margin" && hasValue && pdf) {
      const auto m = vestrel::ParseDouble(argv[++i]);
      if (!m) return Usage("--margin wants millimetres");
      o.margin = *m;
    } else if (a == "--offset" && hasValue && pdf) {
      double x, y;
      if (!Pair(argv[++i], ':', x, y)) return Usage("--offset wants XMM:YMM");
      o.offsetx = x, o.offsety = y;
    } else if (a.starts_with("--")) {
      return Usage("unknown option " + std::string(a));
    } else {
      rest.emplace_back(a);
    }
  }
  if (argc < 3 || rest.size() != 2) return Usage(pdf ? "--export-pdf wants OUT.pdf and FILE" : "--export-png wants OUT.png and FILE");
  o.output = rest[0];
  o.input = rest[1];
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vestrel");
  QApplication::setOrganizationName("Korvel");
  return pdf ? vestrel::RunExportPdf(o, std::cerr) : vestrel::RunExportPng(o, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  // The options that need no window come first.
  if (argc >= 2) {
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") {
      vestrel::PrintUsage(std::cout);
      return 0;
    }
    if (first == "--info") {
      if (argc != 3) return Usage("--info wants one file");
      return vestrel::RunInfo(argv[2], std::cout, std::cerr);
    }
    if (first == "--export-png") return Export(argc, argv, false);
    if (first == "--export-pdf") return Export(argc, argv, true);
    if (first.starts_with("--")) return Usage("unknown option " + std::string(first));
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("Vestrel");
  QApplication::setOrganizationName("Korvel");
  std::vector<std::string> files;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) files.push_back(args[i].toStdString());

  vestrel::TMainForm form;
  form.show();
  form.FormShow(files);
  return QApplication::exec();
}
