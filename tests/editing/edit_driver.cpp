// Runs the editing operations on a drawing for the ezdxf oracle
// (oracle_edits.py), which checks what they wrote with an independent
// reader.
//
//   edit_driver IN OUT [--tab N] OP ARGS...
//     selects every object the tab shows (N = 0, the model, by default),
//     then one of
//       move DX DY | copy DX DY | delete
//       rotate X1 Y1 X2 Y2 | mirror X1 Y1 X2 Y2 | scale X1 Y1 X2 Y2
//       array COLUMNS ROWS COLUMN_SPACING ROW_SPACING DEGREES
//     and writes the drawing to OUT.
//   edit_driver random IN SEED COUNT EDITED UNDONE
//     COUNT edits of every kind, each on a random part of what the model
//     or a layout shows, written to EDITED; then every step undone, the
//     result written to UNDONE.
// Exit status 0 when every edit did its work, else 1 (with the reason).
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "edit_support.h"
#include "editing/transforms.h"
#include "editing/undo.h"

namespace vestrel {
namespace {

using test::Doc;

const char* Name(EditResult r) {
  switch (r) {
    case EditResult::Done: return "done";
    case EditResult::Unchanged: return "unchanged";
    case EditResult::NothingSelected: return "nothing selected";
    case EditResult::InvalidValue: return "invalid value";
    case EditResult::BadFactor: return "bad factor";
    case EditResult::NoMirrorAxis: return "no mirror axis";
    case EditResult::ZeroAxis: return "zero axis";
    case EditResult::BadCount: return "bad count";
    case EditResult::TooLarge: return "too large";
    case EditResult::NoInsertionPoint: return "no insertion point";
    case EditResult::NoHandleLeft: return "no handle left";
    case EditResult::Cancelled: return "cancelled";
  }
  return "?";
}

EditResult Run(Doc& doc, const std::string& op, const std::vector<double>& a) {
  auto need = [&](std::size_t n) {
    if (a.size() < n) {
      std::cerr << "edit_driver: " << op << " needs " << n << " numbers\n";
      std::exit(2);
    }
  };
  if (op == "move") return need(2), MoveObjects(doc.c, a[0], a[1]);
  if (op == "copy") return need(2), CopyObjects(doc.c, a[0], a[1]);
  if (op == "delete") return Loeschen(doc.c) ? EditResult::Done : EditResult::NothingSelected;
  if (op == "rotate") return need(4), RotateObjects(doc.c, a[0], a[1], a[2], a[3], kRotate);
  if (op == "mirror") return need(4), RotateObjects(doc.c, a[0], a[1], a[2], a[3], kMirror);
  if (op == "scale") return need(4), RotateObjects(doc.c, a[0], a[1], a[2], a[3], kScale);
  if (op == "array") {
    need(5);
    ArrayDialogValues v;
    v.SpaltenEd = static_cast<int>(a[0]), v.ZeilenEd = static_cast<int>(a[1]);
    v.SpaltenAbstandEd = a[2], v.ZeilenAbstandEd = a[3], v.RotierenEd = a[4];
    return MakeArray(doc.c, v);
  }
  std::cerr << "edit_driver: no operation " << op << "\n";
  std::exit(2);
}

std::unique_ptr<Doc> Read(const std::string& path) {
  auto doc = Doc::Read(path);
  if (!doc) std::cerr << "edit_driver: cannot read " << path << "\n";
  return doc;
}

bool Write(const Doc& doc, const std::string& path) {
  if (WriteDxfFile(path, doc.d.dxf) == FileError::None) return true;
  std::cerr << "edit_driver: cannot write " << path << "\n";
  return false;
}

int One(int argc, char** argv) {
  const auto read = Read(argv[1]);
  if (!read) return 1;
  Doc& doc = *read;
  int k = 3;
  if (k + 1 < argc && std::string(argv[k]) == "--tab") doc.tab = std::atoi(argv[k + 1]), k += 2;
  if (k >= argc) return std::cerr << "edit_driver: no operation\n", 2;
  const std::string op = argv[k++];
  std::vector<double> a;
  for (; k < argc; ++k) a.push_back(std::strtod(argv[k], nullptr));
  for (const std::int32_t i : doc.shown()) doc.d.polys[static_cast<std::size_t>(i)].selected = true;
  const EditResult r = Run(doc, op, a);
  if (r != EditResult::Done) return std::cerr << "edit_driver: " << op << ": " << Name(r) << "\n", 1;
  return Write(doc, argv[2]) ? 0 : 1;
}

int Random(char** argv) {
  const auto read = Read(argv[2]);
  if (!read) return 1;
  Doc& doc = *read;
  std::mt19937 random(static_cast<unsigned>(std::atoi(argv[3])));
  const int count = std::atoi(argv[4]);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  auto chance = [&](double p) { return std::bernoulli_distribution(p)(random); };
  // Points and ways of the size of the drawing.
  double size = 1;
  for (const Tmypoi& q : doc.d.points) size = std::max({size, std::abs(q.x), std::abs(q.y)});
  size = std::min(size, 1e6);
  int done = 0;
  for (int n = 0; n < count; ++n) {
    doc.tab = doc.d.layouts.size() > 1 && chance(0.15) ? 1 : 0;
    const std::vector<std::int32_t> shown = doc.shown();
    if (shown.empty()) continue;
    // Few objects as the drawing grows, so that copies and arrays keep it small.
    const double p = std::min(0.5, 20.0 / static_cast<double>(shown.size()));
    bool any = false;
    for (const std::int32_t i : shown)
      if (chance(p)) doc.d.polys[static_cast<std::size_t>(i)].selected = any = true;
    if (!any) doc.d.polys[static_cast<std::size_t>(shown[random() % shown.size()])].selected = true;
    const double x1 = uniform(-size, size), y1 = uniform(-size, size);
    const double angle = uniform(-kPi, kPi);
    static const char* const kOps[] = {"move", "rotate", "mirror", "scale", "copy", "array", "delete"};
    const std::string op = kOps[random() % 7];
    std::vector<double> a;
    if (op == "move" || op == "copy") a = {uniform(-size, size) / 4, uniform(-size, size) / 4};
    if (op == "rotate" || op == "mirror") a = {x1, y1, x1 + std::cos(angle), y1 + std::sin(angle)};
    if (op == "scale") a = {x1, y1, x1 + uniform(0.25, 4), y1};
    if (op == "array") a = {1.0 + static_cast<double>(random() % 3), 1.0 + static_cast<double>(random() % 2),
                            uniform(-size, size) / 4, uniform(-size, size) / 4, uniform(-180, 180)};
    // Deletes now and then only, so that the drawing keeps what to edit.
    if (op == "delete" && !chance(0.3)) continue;
    const EditResult r = Run(doc, op, a);
    if (r != EditResult::Done && r != EditResult::Unchanged) {
      std::cerr << "edit_driver: edit " << n << " (" << op << "): " << Name(r) << "\n";
      return 1;
    }
    ++done;
  }
  std::cout << done << " edits, " << doc.j.undos.size() << " undo steps, " << doc.d.dxf.size() << " lines\n";
  if (!Write(doc, argv[5])) return 1;
  const std::string edited = doc.d.dxf.join("\n");
  while (UndoLastOperation(doc.c)) {
  }
  if (!Write(doc, argv[6])) return 1;
  // Every step done again gives back the edited drawing exactly.
  while (RedoLastOperation(doc.c)) {
  }
  if (doc.d.dxf.join("\n") != edited) {
    std::cerr << "edit_driver: redoing every edit does not give back the edited drawing\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace vestrel

int main(int argc, char** argv) {
  if (argc >= 7 && std::string(argv[1]) == "random") return vestrel::Random(argv);
  if (argc >= 4) return vestrel::One(argc, argv);
  std::cerr << "usage: edit_driver IN OUT [--tab N] OP ARGS... | edit_driver random IN SEED COUNT EDITED UNDONE\n";
  return 2;
}
