#include "writers/tablewriters.h"

#include <algorithm>
#include <cmath>

#include "writers/entitywriters.h"

namespace vestrel {

InsertResult AddNewLayer(CodeLines& l, const std::string& name, const std::string& linetypename,
                         const std::string& lineweight, const std::string& colour) {
  const Drawing& d = l.drawing();
  if (d.layerinsertlinenr == -1) return InsertResult::NothingToWrite;
  l.insertAt(d.layerinsertlinenr);
  l.add("  0", std::string_view("LAYER"));
  l.addHandle();
  if (d.cadver >= 1010) {
    l.add("100", std::string_view("AcDbSymbolTableRecord"));
    l.add("100", std::string_view("AcDbLayerTableRecord"));
  }
  l.add("  2", std::string_view(name));
  l.add(" 70", std::string_view("0"));
  l.add(" 62", std::string_view(colour));
  l.add(" 6", std::string_view(linetypename));
  if (d.cadver >= 1010) {
    l.add(" 370", std::string_view(lineweight));
    // A pointer to the plot style the other layers use; none without one.
    if (!d.plotstylereaded.empty()) l.add(" 390", std::string_view(d.plotstylereaded));
  }
  return InsertResult::Inserted;
}

InsertResult AddLineStil(CodeLines& l, const std::string& name, const std::string& description,
                         const std::vector<double>& parts) {
  const Drawing& d = l.drawing();
  if (d.ltypeinsetlinenr == -1 || parts.empty()) return InsertResult::NothingToWrite;
  l.insertAt(d.ltypeinsetlinenr);
  l.add("  0", std::string_view("LTYPE"));
  l.addHandle();
  if (d.cadver > 1009) {
    l.add("100", std::string_view("AcDbSymbolTableRecord"));
    l.add("100", std::string_view("AcDbLinetypeTableRecord"));
  }
  l.add("  2", std::string_view(name));
  l.add(" 70", std::string_view("0"));
  l.add("  3", std::string_view(description));
  l.add(" 72", std::string_view("65"));
  l.add(" 73", static_cast<int>(parts.size()));
  // The pattern's total length: dashes and gaps alike.
  double sum = 0;
  for (const double v : parts) sum += std::abs(v);
  l.add(" 40", sum);
  for (const double v : parts) {
    l.add("  49", v);
    l.add("  74", std::string_view("0"));
  }
  return InsertResult::Inserted;
}

InsertResult AddViewport(CodeLines& l, bool first, const ViewportValues& v) {
  const std::string id = first ? "1" : std::to_string(l.newViewportId());
  const bool newer = l.drawing().cadver > 1009;
  EntityStart(l, "VIEWPORT", "AcDbViewport");
  l.add("  10", v.MitteX);
  l.add("  20", v.MitteY);
  l.add("  30", std::string_view("0"));
  l.add("  40", v.Breite);
  l.add("  41", v.Hoehe);
  auto fixed = [&l](const char* code, const char* value) { l.add(code, std::string_view(value)); };
  if (newer) {
    l.add("68", std::string_view(id));
    l.add(first ? "69" : "  69", std::string_view(id));
    l.add("  12", v.InhaltX);
    l.add("  22", v.InhaltY);
    fixed("  13", "0.0"), fixed("  23", "0.0"), fixed("  14", "10.0"), fixed("  24", "10.0");
    fixed("  15", "10.0"), fixed("  25", "10.0"), fixed("  16", "0.0"), fixed("  26", "0.0");
    fixed("  36", "1.0"), fixed("  17", "0.0"), fixed("  27", "0.0"), fixed("  37", "0.0");
    fixed("  42", "50.0"), fixed("  43", "0.0"), fixed("  44", "0.0");
    l.add("  45", v.HoeheInhalt);
    fixed("  50", "0.0"), fixed("  51", "0.0"), fixed("  72", "1000"), fixed("  90", "33056");
    fixed("  1", ""), fixed("  281", "0"), fixed("  71", "1"), fixed("  74", "0");
    fixed("  110", "0.0"), fixed("  120", "0.0"), fixed("  130", "0.0");
    fixed("  111", "1.0"), fixed("  121", "0.0"), fixed("  131", "0.0");
    fixed("  112", "0.0"), fixed("  122", "1.0"), fixed("  132", "0.0");
    fixed("  79", "0"), fixed("  146", "0.0"), fixed("  170", "0");
  } else {
    // R12 keeps the view in extended data.
    l.add("68", std::string_view(id));
    l.add("69", std::string_view(id));
    fixed("1001", "ACAD"), fixed("1000", "MVIEW"), fixed("1002", "{"), fixed("1070", "    16");
    fixed("1010", "0.0"), fixed("1020", "0.0"), fixed("1030", "0.0");
    fixed("1010", "0.0"), fixed("1020", "0.0"), fixed("1030", "1.0");
    fixed("1040", "0.0");
    l.add("1040", v.HoeheInhalt);
    l.add("1040", v.InhaltX);
    l.add("1040", v.InhaltY);
    fixed("1040", "50.0"), fixed("1040", "0.0"), fixed("1040", "0.0");
    fixed("1070", "     0"), fixed("1070", "  1000"), fixed("1070", "     1"), fixed("1070", "     3");
    for (int i = 0; i < 4; ++i) fixed("1070", "     0");
    for (int i = 0; i < 3; ++i) fixed("1040", "0.0");
    for (int i = 0; i < 4; ++i) fixed("1040", "10.0");
    fixed("1070", "     0"), fixed("1002", "{"), fixed("1002", "}"), fixed("1002", "}");
  }
  return InsertResult::Inserted;
}

namespace {

// The view of the whole model: its centre, twice its height.
void ShowModel(ViewportValues& v, const ModelBox& model) {
  v.InhaltX = (model.minx + model.maxx) / 2;
  v.InhaltY = (model.miny + model.maxy) / 2;
  v.HoeheInhalt = std::abs(model.maxy - model.miny) * 2;
}

}  // namespace

ViewportValues ProposedViewport(const PrinterPage& page, const PrintSetup& print, const ModelBox& model) {
  const double r = page.dpi > 0 ? page.dpi : 600;
  const double scale = print.q();
  const double m = 2 * print.RandEd;
  ViewportValues v;
  v.Breite = (page.width / r * kMmPerInch - m - 2 * 10) / scale;
  v.Hoehe = (page.height / r * kMmPerInch - m - 2 * 10) / scale;
  v.MitteX = v.Breite / 2 + 10;
  v.MitteY = v.Hoehe / 2 + 10;
  ShowModel(v, model);
  return v;
}

ViewportValues ProposedViewport(const LayoutPaper& paper, const ModelBox& model) {
  const Sheet& s = paper.sheet;
  const double unit = (s.x1 - s.x0) > 0 && paper.widthMm > 0 ? paper.widthMm / (s.x1 - s.x0) : 1;  // mm per paper unit
  const double room = std::min({10 / unit, (s.px1 - s.px0) / 4, (s.py1 - s.py0) / 4});
  ViewportValues v;
  v.Breite = s.px1 - s.px0 - 2 * room;
  v.Hoehe = s.py1 - s.py0 - 2 * room;
  v.MitteX = (s.px0 + s.px1) / 2;
  v.MitteY = (s.py0 + s.py1) / 2;
  ShowModel(v, model);
  return v;
}

}  // namespace vestrel
