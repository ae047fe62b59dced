#include <QApplication>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "app/commandline.h"

int main(int argc, char** argv) {
  // The options that need no window come first.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      vestrel::PrintUsage(std::cout);
      return 0;
    }
    if (std::strcmp(argv[i], "--info") == 0) {
      if (i + 1 >= argc) {
        std::cerr << "vestrel: --info needs a file\n";
        vestrel::PrintUsage(std::cerr);
        return 1;
      }
      return vestrel::RunInfo(argv[i + 1], std::cout, std::cerr);
    }
    if (std::strncmp(argv[i], "--", 2) == 0) {
      std::cerr << "vestrel: unknown option " << argv[i] << '\n';
      vestrel::PrintUsage(std::cerr);
      return 1;
    }
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
