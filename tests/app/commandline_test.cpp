// vestrel --info, --check and --repair: what they print for a drawing,
// their exit codes, and clear failures.
#include "app/commandline.h"

#include <gtest/gtest.h>

#include <sstream>

#include "file/dxffile.h"

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

// A plate of 10 by 10 with a hole of radius 1 in the middle; `more` adds
// what else the drawing holds.
std::string Plate(const std::string& more = "") {
  return "  0\nSECTION\n  2\nENTITIES\n  0\nLWPOLYLINE\n  8\n0\n 90\n4\n 70\n1\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n"
         " 10\n10\n 20\n10\n 10\n0\n 20\n10\n  0\nCIRCLE\n  8\n0\n 10\n5\n 20\n5\n 40\n1\n" +
         more + "  0\nENDSEC\n  0\nEOF\n";
}

TEST(CommandLineCheck, ExitCodesAndArguments) {
  const test::TempDir tmp;
  const std::string ready = tmp.write("ready.dxf", Plate());
  const std::string open = tmp.write("open.dxf", Plate("  0\nLINE\n  8\n0\n 10\n20\n 20\n0\n 11\n30\n 21\n0\n"));
  const std::string text = tmp.write("text.dxf", Plate("  0\nTEXT\n  8\n0\n 10\n1\n 20\n1\n 40\n1\n  1\nA\n"));
  struct Case {
    std::vector<std::string> args;
    int code;  // -1: the arguments are refused
    std::string err;  // what stderr says
  } cases[] = {
      {{ready}, 0, ""},
      {{ready, "--json"}, 0, ""},
      {{open}, 1, ""},
      {{text}, 0, ""},  // a text is listed, not an error
      {{open, "--tolerance", "0"}, 1, ""},
      {{ready, "--tab", "1"}, 0, ""},
      {{ready, "--tab", "2"}, 2, "no tab 2"},
      {{"/nonexistent/drawing.dxf"}, 2, "cannot read /nonexistent/drawing.dxf"},
      {{}, -1, "--check wants one file"},
      {{ready, open}, -1, "--check wants one file"},
      {{ready, "--tolerance"}, -1, "--tolerance wants"},
      {{ready, "--tolerance", "-1"}, -1, "--tolerance wants"},
      {{ready, "--tolerance", "nan"}, -1, "--tolerance wants"},
      {{ready, "--tab", "x"}, -1, "--tab wants"},
      {{ready, "--tabs", "1"}, -1, "unknown option --tabs"},
  };
  for (const Case& c : cases) {
    CheckOptions o;
    const std::string problem = ParseCheckOptions(c.args, o);
    const std::string name = c.args.empty() ? "no arguments" : c.args.back();
    if (c.code < 0) {
      EXPECT_NE(problem.find(c.err), std::string::npos) << name << ": " << problem;
      continue;
    }
    ASSERT_EQ(problem, "") << name;
    std::ostringstream out, err;
    EXPECT_EQ(RunCheck(o, out, err), c.code) << name;
    EXPECT_NE(err.str().find(c.err), std::string::npos) << name << ": " << err.str();
    EXPECT_EQ(out.str().empty(), c.code == 2) << name;
  }
}

TEST(CommandLineCheck, PrintsFindingsAndFiguresInGermanOrAsJson) {
  const test::TempDir tmp;
  const std::string file = tmp.write("open.dxf", Plate("  0\nLINE\n  8\n0\n 10\n20\n 20\n0\n 11\n30\n 21\n0\n"));
  CheckOptions o;
  o.input = file;
  std::ostringstream text, json, err;
  EXPECT_EQ(RunCheck(o, text, err), 1);
  EXPECT_EQ(text.str(),
            "Die Zeichnung ist nicht bereit zum Zuschneiden.\n"
            "Offene Kontur: 1\nFast treffende Enden: 0\nDoppelt: 0\n\xC3\x9C"
            "berlappung: 0\nZu kurzes Segment: 0\nOhne L\xC3\xA4nge: 0\n"
            "Selbst\xC3\xBC" "berschneidung: 0\nNicht schneidbar: 0\n"
            "Offene Kontur bei 25.0000, 0.0000: 10.0000 (LINE)\n"
            "Teil 1: Schnittl\xC3\xA4nge 46.2832, Einstiche 2, Fl\xC3\xA4" "che 96.8584, Box 0.0000, 0.0000 bis "
            "10.0000, 10.0000\n"
            "Gesamt: Schnittl\xC3\xA4nge 56.2832, Einstiche 3, Fl\xC3\xA4" "che 96.8584, Box 0.0000, 0.0000 bis "
            "30.0000, 10.0000\n");
  o.json = true;
  EXPECT_EQ(RunCheck(o, json, err), 1);
  const std::string j = json.str();
  for (const char* part : {"\"ready\": false", "\"open_contour\": 1", "\"kind\": \"open_contour\", \"type\": \"LINE\"",
                           "\"width\": 10}", "\"pierces\": 3", "\"contours\": 3", "\"box\": [0, 0, 30, 10]"})
    EXPECT_NE(j.find(part), std::string::npos) << part << " in\n" << j;
}

TEST(CommandLineRepair, WritesTheRepairedDrawingOrSaysWhyNot) {
  const test::TempDir tmp;
  // The plate with its square drawn twice and a line that nearly closes
  // a triangle with two others.
  const std::string twice =
      Plate("  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n10\n 21\n0\n"
            "  0\nLINE\n  8\n0\n 10\n20\n 20\n0\n 11\n30\n 21\n0\n  0\nLINE\n  8\n0\n 10\n30\n 20\n0\n 11\n20\n 21\n10\n"
            "  0\nLINE\n  8\n0\n 10\n20\n 20\n10\n 11\n20\n 21\n0.5\n");
  const std::string in = tmp.write("in.dxf", twice);
  const std::string ready = tmp.write("ready.dxf", Plate());
  const std::string folder = tmp.path("no/such/folder/out.dxf");
  struct Case {
    std::vector<std::string> args;
    int code;         // -1: the arguments are refused
    std::string out;  // what stdout or stderr says
    int left = 0;     // open contours a check finds in the file written
  } cases[] = {
      {{in, tmp.path("a.dxf")}, 0,
       "Bereinigt: 1 doppelte Objekte gel\xC3\xB6scht, 0 \xC3\xBC" "berlappende gek\xC3\xBCrzt, 0 Enden "
       "zusammengef\xC3\xBChrt, 0 Konturen geschlossen, 0 L\xC3\xBC" "cken \xC3\xBC" "berbr\xC3\xBC" "ckt.\n",
       1},
      {{in, tmp.path("b.dxf"), "--close-gaps", "0.5"}, 0, "1 Konturen geschlossen, 1 L\xC3\xBC" "cken", 0},
      {{in, tmp.path("c.dxf"), "--tolerance", "0.5"}, 0, "1 Enden zusammengef\xC3\xBChrt, 1 Konturen", 0},
      {{ready, tmp.path("d.dxf")}, 0, "nichts zu bereinigen", 0},
      {{in, folder}, 2, "cannot write " + folder},
      {{"/nonexistent/drawing.dxf", tmp.path("e.dxf")}, 2, "cannot read /nonexistent/drawing.dxf"},
      {{in, tmp.path("f.dxf"), "--tab", "2"}, 2, "no tab 2"},
      {{in}, -1, "--repair wants the drawing to repair and the file to write"},
      {{in, "--close-gaps", "-1", tmp.path("g.dxf")}, -1, "--close-gaps wants"},
      {{in, tmp.path("g.dxf"), "--json"}, -1, "unknown option --json"},
  };
  for (const Case& c : cases) {
    RepairOptions o;
    const std::string problem = ParseRepairOptions(c.args, o);
    const std::string name = c.args.empty() ? "no arguments" : c.args.back();
    if (c.code < 0) {
      EXPECT_NE(problem.find(c.out), std::string::npos) << name << ": " << problem;
      continue;
    }
    ASSERT_EQ(problem, "") << name;
    std::ostringstream out, err;
    EXPECT_EQ(RunRepair(o, out, err), c.code) << name;
    EXPECT_NE((c.code == 0 ? out : err).str().find(c.out), std::string::npos) << name << ": " << out.str() << err.str();
    LineList written;
    EXPECT_EQ(ReadDxfFile(o.output, written) == FileError::None, c.code == 0) << name;
    if (c.code != 0) continue;
    CheckOptions check;
    check.input = o.output;
    std::ostringstream found;
    RunCheck(check, found, err);
    EXPECT_NE(found.str().find("Offene Kontur: " + std::to_string(c.left) + "\n"), std::string::npos) << found.str();
    EXPECT_NE(found.str().find("Doppelt: 0\n"), std::string::npos) << found.str();
  }
  // The drawing repaired over itself.
  RepairOptions self;
  ASSERT_EQ(ParseRepairOptions({in, in, "--close-gaps", "1"}, self), "");
  std::ostringstream out, err;
  EXPECT_EQ(RunRepair(self, out, err), 0) << err.str();
  CheckOptions check;
  check.input = in;
  EXPECT_EQ(RunCheck(check, out, err), 0) << out.str();
}

}  // namespace
}  // namespace vestrel
