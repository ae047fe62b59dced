// What the sanitizers are told in every test program of the sanitizer build:
// stop at the first report, with its stack, and leave alone what the
// system's font and window libraries keep for the life of the process.
extern "C" const char* __asan_default_options() { return "detect_leaks=1"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n"
         "leak:libfreetype\n"
         "leak:libQt6Gui\n"
         "leak:libQt6Core\n";
}
