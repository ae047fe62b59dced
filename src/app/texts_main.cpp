// vestrel_texts: lists every text the window shows, one a line (line
// breaks as \n, tabs as \t, backslashes as \\), for the script that makes
// the dictionary shipped with the program (scripts/make_translate.py).
#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "app/MainUnit.h"
#include "app/windowtexts.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vestrel");
  QApplication::setOrganizationName("Korvel");
  // The window as it starts, in German, without reading or writing any
  // dictionary or options.
  vestrel::TMainForm form;
  form.show();
  form.FormShow({});
  for (const std::string& text : vestrel::ShownTexts(form)) {
    std::string line;
    for (const char c : text) {
      if (c == '\\') line += "\\\\";
      else if (c == '\n') line += "\\n";
      else if (c == '\t') line += "\\t";
      else if (c == '\r') line += "\\r";
      else line += c;
    }
    std::cout << line << '\n';
  }
  return 0;
}
