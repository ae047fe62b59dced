// vestrel --info: what it prints for a drawing, and a clear failure.
#include "app/commandline.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_dir.h"

namespace vestrel {
namespace {

TEST(CommandLineInfo, PrintsTheFactsOfTheDrawing) {
  const test::TempDir tmp;
  const std::string file = tmp.write("info.dxf",
      "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$HANDSEED\n  5\n2B\n  0\nENDSEC\n"
         "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n0\n  0\nLAYER\n  2\nW\xC3\xA4nde\n  0\nENDTAB\n"
         "  0\nTABLE\n  2\nLTYPE\n  0\nLTYPE\n  2\nContinuous\n  0\nENDTAB\n  0\nENDSEC\n"
         "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  3\nCHAIR\n  0\nLINE\n  0\nENDBLK\n  0\nENDSEC\n"
         "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n1.4\n 20\n2.6\n 11\n10.5\n 21\n-3.5\n  0\nCIRCLE\n 40\n1\n"
      "  0\nXLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n  0\n3DFACE\n  0\nENDSEC\n  0\nEOF\n");
  std::ostringstream out, err;
  EXPECT_EQ(RunInfo(file, out, err), 0);
  EXPECT_EQ(out.str(),
            "acadver: AC1015\n"
            "cadver: 1015\n"
            "layers: 2: 0, W\xC3\xA4nde\n"
            "linetypes: 1: Continuous\n"
            "blocks: 1: CHAIR\n"
            "layouts: Model, Layout1\n"
            "maxhandle: 2A\n"
            "insertlinepos: 88\n"
            "entities: 4\n"
            "entities CIRCLE: 1\n"
            "entities LINE: 2\n"
            "entities XLINE: 1\n"
            "stepped over 3DFACE: 1\n"
            "points: 70\n"
            // Exact; the construction line and the circle's centre do not
            // count.
            "extents: -1 -3.5 10.5 2.6\n");
  EXPECT_TRUE(err.str().empty());
}

TEST(CommandLineInfo, AFileThatCannotBeReadExitsWithOne) {
  std::ostringstream out, err;
  EXPECT_EQ(RunInfo("/nonexistent/drawing.dxf", out, err), 1);
  EXPECT_TRUE(out.str().empty());
  EXPECT_NE(err.str().find("/nonexistent/drawing.dxf"), std::string::npos);
}

}  // namespace
}  // namespace vestrel
