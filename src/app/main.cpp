#include <QApplication>
#include <QTimer>
#include <QtGlobal>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainUnit.h"
#include "app/commandline.h"
#include "app/export.h"
#include "app/replay.h"

namespace {

// The program's application: an allocation that fails in any event ends
// that event, not the program with the user's unsaved work.
class Application : public QApplication {
 public:
  using QApplication::QApplication;
  vestrel::TMainForm* form = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
      if (form) form->editor().OutOfMemory();
      return false;
    }
  }
};

// What runs without a window: a failed allocation is a message and exit 1
// (or `failed`).
template <class F>
int Guarded(F run, int failed = 1) {
  try {
    return run();
  } catch (const std::bad_alloc&) {
    std::cerr << "vestrel: not enough memory\n";
    return failed;
  }
}

int Usage(const std::string& problem) {
  std::cerr << "vestrel: " << problem << '\n';
  vestrel::PrintUsage(std::cerr);
  return 1;
}

// The exports run without a window: offscreen unless told otherwise.
int Export(int argc, char** argv, bool pdf) {
  vestrel::ExportOptions o;
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (const std::string problem = vestrel::ParseExportOptions(args, pdf, o); !problem.empty()) return Usage(problem);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vestrel");
  QApplication::setOrganizationName("Korvel");
  return Guarded([&] { return pdf ? vestrel::RunExportPdf(o, std::cerr) : vestrel::RunExportPng(o, std::cerr); });
}

// The window is the real one, offscreen when there is no display; every
// dialog is Qt's own, so that the script can answer it.
int Replay(int argc, char** argv) {
  vestrel::ReplayOptions o;
  if (const std::string problem = vestrel::ParseReplayOptions({argv + 2, argv + argc}, o); !problem.empty())
    return Usage(problem);
  vestrel::Script script;
  if (!vestrel::LoadScript(o.script, script, std::cerr)) return 1;
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  int qtArgc = 1;  // the script's arguments are not Qt's
  Application app(qtArgc, argv);
  QApplication::setApplicationName("Vestrel");
  QApplication::setOrganizationName("Korvel");
  vestrel::TMainForm form;
  form.editor().LoadLanguage();
  app.form = &form;
  return Guarded([&] { return vestrel::RunReplay(form, o, script, std::cout, std::cerr); });
}

}  // namespace

int main(int argc, char** argv) {
  // A file grown past the system's size limit (ulimit -f) would kill the
  // editor in the middle of a save, its edits lost; ignored, the write
  // fails instead and the save says why. The setting is the whole
  // process's, so it is made here, once, for every way of writing.
  std::signal(SIGXFSZ, SIG_IGN);
  // The options that need no window come first.
  if (argc >= 2) {
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") {
      vestrel::PrintUsage(std::cout);
      return 0;
    }
    if (first == "--version") {
      std::cout << "vestrel " << VESTREL_VERSION << " (Qt " << qVersion() << ")\n";
      return 0;
    }
    if (first == "--info") {
      if (argc != 3) return Usage("--info wants one file");
      return Guarded([&] { return vestrel::RunInfo(argv[2], std::cout, std::cerr); });
    }
    if (first == "--check") {
      vestrel::CheckOptions o;
      if (const std::string problem = vestrel::ParseCheckOptions({argv + 2, argv + argc}, o); !problem.empty())
        return Usage(problem), 2;
      return Guarded([&] { return vestrel::RunCheck(o, std::cout, std::cerr); }, 2);
    }
    if (first == "--repair") {
      vestrel::RepairOptions o;
      if (const std::string problem = vestrel::ParseRepairOptions({argv + 2, argv + argc}, o); !problem.empty())
        return Usage(problem), 2;
      return Guarded([&] { return vestrel::RunRepair(o, std::cout, std::cerr); }, 2);
    }
    if (first == "--export-png") return Export(argc, argv, false);
    if (first == "--export-pdf") return Export(argc, argv, true);
    if (first == "--replay") return Replay(argc, argv);
    if (first.starts_with("--")) return Usage("unknown option " + std::string(first));
  }

  Application app(argc, argv);
  QApplication::setApplicationName("Vestrel");
  QApplication::setOrganizationName("Korvel");
  // The files as the system names them, in bytes (which need not be
  // UTF-8); Qt has taken its own options out of argv.
  std::vector<std::string> files(argv + 1, argv + argc);

  vestrel::TMainForm form;
  form.editor().LoadLanguage();
  app.form = &form;
  form.show();
  form.FormShow(files);
  // The drawings of a program that ended without saving are offered once
  // the window stands.
  QTimer::singleShot(0, &form, [&form] { form.editor().OfferRecovery(); });
  return QApplication::exec();
}
