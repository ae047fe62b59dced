// The child of the kill test: reads SOURCE once, says "ready", then saves it
// to TARGET again and again until it is killed.
#include <cstdio>
#include <string>

#include "file/dxffile.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: save_child SOURCE TARGET\n");
    return 2;
  }
  vestrel::LineList lines;
  if (vestrel::ReadDxfFile(argv[1], lines) != vestrel::FileError::None) return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;)
    if (vestrel::WriteDxfFile(argv[2], lines) != vestrel::FileError::None) return 1;
}
