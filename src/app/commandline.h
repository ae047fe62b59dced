// What the program does when started from the command line without its
// window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vestrel {

// Reads and parses `path` and prints one "key: value" line per fact.
// Returns the exit code: 0, or 1 when the file cannot be read.
int RunInfo(const std::string& path, std::ostream& out, std::ostream& err);

// --check FILE.dxf [--tab N] [--tolerance T] [--json]
struct CheckOptions {
  std::string input;
  int tab = 0;
  double tolerance = 0.01;
  bool json = false;
};
// What is wrong with the arguments after --check; empty when nothing is.
std::string ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& o);
// Checks whether the drawing is ready to cut and prints the findings and
// the figures (German text, or JSON). Returns the exit code: 0 when it is
// ready, 1 when it is not, 2 when the file cannot be read or has no such
// tab.
int RunCheck(const CheckOptions& o, std::ostream& out, std::ostream& err);

// --repair IN.dxf OUT.dxf [--tab N] [--tolerance T] [--close-gaps G]
struct RepairOptions {
  std::string input, output;
  int tab = 0;
  double tolerance = 0.01;
  double gaps = 0;  // none closed
};
// What is wrong with the arguments after --repair; empty when nothing is.
std::string ParseRepairOptions(const std::vector<std::string>& args, RepairOptions& o);
// Repairs the drawing for cutting, writes it to the output file (written
// whole or not at all) and prints what it did in German. Returns the exit
// code: 0 when the file is written, 2 when the input cannot be read, has
// no such tab or cannot be repaired, or the output cannot be written.
int RunRepair(const RepairOptions& o, std::ostream& out, std::ostream& err);

// The options, for --help.
void PrintUsage(std::ostream& out);

}  // namespace vestrel
