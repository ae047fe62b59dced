// The one application object a test program that paints needs.
#pragma once

#include <QCoreApplication>

namespace vestrel::test {

// Creates the application of kind `App` (QGuiApplication, QApplication)
// once, for the whole test program.
template <class App>
void EnsureApp() {
  static int argc = 1;
  static char name[] = "vestrel-test";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new App(argc, argv);
}

}  // namespace vestrel::test
