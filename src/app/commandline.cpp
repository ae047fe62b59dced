#include "app/commandline.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "document/drawing.h"
#include "document/numbers.h"
#include "file/context.h"
#include "file/dxffile.h"
#include "file/encoding.h"
#include "i18n/messages.h"
#include "i18n/msg.h"
#include "tools/propertybar.h"
#include "view/cutcheck.h"
#include "view/cutrepair.h"
#include "view/extents.h"

namespace vestrel {

namespace {

template <class Names>
void PrintNames(std::ostream& out, const char* key, std::size_t count, const Names& names,
                TextEncoding encoding) {
  out << key << ": " << count;
  const char* sep = ": ";
  for (const auto& n : names) {
    out << sep << DecodeUnicode(n, encoding);
    sep = ", ";
  }
  out << '\n';
}

// A coordinate in the fewest digits that tell it (at most ten).
std::string Coordinate(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", v);
  return text;
}

// A number for JSON: as many digits as tell it; null for one that is not
// finite.
std::string JsonNumber(double v) {
  if (!std::isfinite(v)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\', out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += code;
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string JsonBox(const CutBox& b) {
  if (b.empty) return "null";
  return "[" + JsonNumber(b.minx) + ", " + JsonNumber(b.miny) + ", " + JsonNumber(b.maxx) + ", " +
         JsonNumber(b.maxy) + "]";
}

// The line of the drawing where an object starts (counted from 1).
std::string JsonLine(const Drawing& d, std::size_t entry) {
  return entry < d.polys.size() ? std::to_string(d.polys[entry].linefrom + 1) : "null";
}

std::string JsonFigures(const CutFigures& f) {
  return "{\"length\": " + JsonNumber(f.length) + ", \"pierces\": " + std::to_string(f.pierces) +
         ", \"area\": " + JsonNumber(f.area) + ", \"box\": " + JsonBox(f.box) + "}";
}

void PrintJson(const CheckOptions& o, const Drawing& d, const CutCheck& c, std::ostream& out) {
  out << "{\n  \"file\": " << JsonString(o.input) << ",\n  \"tab\": " << o.tab
      << ",\n  \"tolerance\": " << JsonNumber(o.tolerance) << ",\n  \"ready\": " << (c.ready() ? "true" : "false")
      << ",\n  \"counts\": {";
  for (std::size_t k = 0; k < CutFinding::kKinds; ++k)
    out << (k ? ", " : "") << JsonString(FindingName(static_cast<CutFinding::Kind>(k))) << ": " << c.counts[k];
  out << "},\n  \"findings\": [";
  const char* sep = "\n    ";
  for (const CutFinding& f : c.findings) {
    out << sep << "{\"kind\": " << JsonString(FindingName(f.kind))
        << ", \"type\": " << JsonString(DecodeUnicode(f.type, d.dxf.encoding)) << ", \"line\": " << JsonLine(d, f.entry)
        << ", \"other_line\": " << JsonLine(d, f.other) << ", \"at\": [" << JsonNumber(f.at.x) << ", "
        << JsonNumber(f.at.y) << "], \"box\": " << JsonBox(f.box) << ", \"width\": " << JsonNumber(f.width) << "}";
    sep = ",\n    ";
  }
  out << (c.findings.empty() ? "" : "\n  ") << "],\n  \"parts\": [";
  sep = "\n    ";
  for (const CutFigures& f : c.parts) out << sep << JsonFigures(f), sep = ",\n    ";
  out << (c.parts.empty() ? "" : "\n  ") << "],\n  \"contours\": " << c.contours
      << ",\n  \"total\": " << JsonFigures(c.total) << "\n}\n";
}

// A message with %1, %2, ... replaced by the texts.
std::string Filled(int nr, std::initializer_list<std::string> values) {
  // In one pass: the first %1 to %9 of each value given takes it, and what
  // a value brings is never read as a mark.
  const std::string_view text = GermanMessage(nr);
  std::string out;
  out.reserve(text.size() + 64);
  unsigned used = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t k = text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9'
                              ? static_cast<std::size_t>(text[i + 1] - '1')
                              : values.size();
    if (k < values.size() && !(used >> k & 1u)) {
      out += values.begin()[k];
      used |= 1u << k, ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void PrintText(const Drawing& d, const CutCheck& c, std::ostream& out) {
  std::vector<std::string> labels;
  const std::string_view all = GermanMessage(msg::CutCheckLabels);
  for (std::size_t from = 0; from <= all.size();) {
    const std::size_t to = std::min(all.find(';', from), all.size());
    labels.emplace_back(all.substr(from, to - from));
    from = to + 1;
  }
  labels.resize(CutFinding::kKinds + 2);
  auto fixed = [](double v) { return FormatFixed(v, 4); };
  out << GermanMessage(c.ready() ? msg::ReadyToCut : msg::NotReadyToCut) << '\n';
  for (std::size_t k = 0; k < CutFinding::kKinds; ++k) out << labels[k] << ": " << c.counts[k] << '\n';
  std::unordered_map<std::string_view, std::string> types;  // each kind of object's name, decoded once
  for (const CutFinding& f : c.findings) {
    auto [type, fresh] = types.try_emplace(f.type);
    if (fresh) type->second = DecodeUnicode(f.type, d.dxf.encoding);
    out << Filled(msg::CutFindingLine, {labels[static_cast<std::size_t>(f.kind)], fixed(f.at.x), fixed(f.at.y),
                                        fixed(f.width), type->second})
        << '\n';
  }
  auto figures = [&](const std::string& label, const CutFigures& f) {
    const CutBox& b = f.box;
    out << Filled(msg::CutFiguresLine, {label, fixed(f.length), std::to_string(f.pierces), fixed(f.area),
                                        fixed(b.empty ? 0 : b.minx), fixed(b.empty ? 0 : b.miny),
                                        fixed(b.empty ? 0 : b.maxx), fixed(b.empty ? 0 : b.maxy)})
        << '\n';
  };
  for (std::size_t i = 0; i < c.parts.size(); ++i)
    figures(labels[CutFinding::kKinds] + " " + std::to_string(i + 1), c.parts[i]);
  figures(labels[CutFinding::kKinds + 1], c.total);
}

// The options --check and --repair share, the files they name, and each
// one's own (--json of the check, --close-gaps of the repair, when given).
std::string ParseCutOptions(const std::vector<std::string>& args, int& tab, double& tolerance, bool* json,
                            double* gaps, std::vector<std::string>& names) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const std::string* value = i + 1 < args.size() ? &args[i + 1] : nullptr;
    if (a == "--json" && json) {
      *json = true;
      continue;
    }
    if (a == "--tab") {
      const auto t = value ? ParseInt(*value) : std::nullopt;
      if (!t || *t < 0) return "--tab wants a tab number";
      tab = *t;
    } else if (a == "--tolerance" || (a == "--close-gaps" && gaps)) {
      const auto t = value ? ParseDouble(*value) : std::nullopt;
      if (!t || *t < 0) return std::string(a) + " wants a number of drawing units, 0 or more";
      (a == "--tolerance" ? tolerance : *gaps) = *t;
    } else if (a.starts_with("--")) {
      return "unknown option " + std::string(a);
    } else {
      names.emplace_back(a);
      continue;
    }
    ++i;  // the option's value
  }
  return {};
}

// Reads and parses the drawing at `path` and makes sure it has tab `tab`;
// false, with the reason on `err`, when not.
bool ReadTab(const std::string& path, int tab, Drawing& d, std::ostream& err) {
  if (const FileError e = ReadDxfFile(path, d.dxf); e != FileError::None) {
    err << "vestrel: cannot read " << path << ": " << FileErrorEnglish(e) << '\n';
    return false;
  }
  processdxf(d);
  PropertyBar bar;
  RefreshPropertyBar(bar, d);
  const int tabs = static_cast<int>(bar.TabControl1.size());
  if (tab < 0 || tab >= tabs) {
    err << "vestrel: the drawing has no tab " << tab << " (it has " << tabs << ")\n";
    return false;
  }
  return true;
}

}  // namespace

std::string ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& o) {
  std::vector<std::string> names;
  if (std::string problem = ParseCutOptions(args, o.tab, o.tolerance, &o.json, nullptr, names); !problem.empty())
    return problem;
  if (names.size() != 1) return "--check wants one file";
  o.input = names[0];
  return {};
}

int RunCheck(const CheckOptions& o, std::ostream& out, std::ostream& err) {
  Drawing d;
  if (!ReadTab(o.input, o.tab, d, err)) return 2;
  const CutCheck c = CheckCut(d, o.tab, o.tolerance);
  if (o.json)
    PrintJson(o, d, c, out);
  else
    PrintText(d, c, out);
  return c.ready() ? 0 : 1;
}

std::string ParseRepairOptions(const std::vector<std::string>& args, RepairOptions& o) {
  std::vector<std::string> names;
  if (std::string problem = ParseCutOptions(args, o.tab, o.tolerance, nullptr, &o.gaps, names); !problem.empty())
    return problem;
  if (names.size() != 2) return "--repair wants the drawing to repair and the file to write";
  o.input = names[0], o.output = names[1];
  return {};
}

int RunRepair(const RepairOptions& o, std::ostream& out, std::ostream& err) {
  Drawing d;
  if (!ReadTab(o.input, o.tab, d, err)) return 2;
  Journal journal;
  FileState file;
  DocumentContext c{d, journal, file, o.tab};
  const CutRepair r = RepairCut(c, o.tolerance, o.gaps);
  using S = CutRepair::Status;
  if (r.status != S::Done && r.status != S::NothingToRepair) {
    err << "vestrel: cannot repair " << o.input << ": "
        << GermanMessage(r.status == S::NoHandleLeft       ? msg::NoHandleLeft
                         : r.status == S::NoInsertionPoint ? msg::NoInsertionPoint
                                                           : msg::InvalidValue)
        << '\n';
    return 2;
  }
  // Written whole or not at all: the old file stays when the write fails,
  // so the drawing may be written over itself.
  if (const FileError e = WriteDxfFile(o.output, d.dxf); e != FileError::None) {
    err << "vestrel: cannot write " << o.output << ": " << FileErrorEnglish(e) << '\n';
    return 2;
  }
  if (r.status == S::Done)
    out << Filled(msg::CutRepaired, {std::to_string(r.duplicates), std::to_string(r.overlaps), std::to_string(r.ends),
                                     std::to_string(r.contours), std::to_string(r.gaps)})
        << '\n';
  else
    out << GermanMessage(msg::NothingToRepair) << '\n';
  return 0;
}

int RunInfo(const std::string& path, std::ostream& out, std::ostream& err) {
  Drawing d;
  if (const FileError e = ReadDxfFile(path, d.dxf); e != FileError::None) {
    err << "vestrel: cannot read " << path << ": " << FileErrorEnglish(e) << '\n';
    return 1;
  }
  processdxf(d);
  const TextEncoding enc = d.dxf.encoding;

  out << "acadver: " << (d.acadverpos >= 0 ? DecodeUnicode(d.value(d.acadverpos), enc) : "") << '\n';
  out << "cadver: " << d.cadver << '\n';
  std::vector<std::string> names;
  for (std::int32_t i = 0; i < d.anzlayer; ++i) names.push_back(d.layers[static_cast<std::size_t>(i)].name);
  PrintNames(out, "layers", names.size(), names, enc);
  names.clear();
  for (std::int32_t i = 0; i < d.anzlt; ++i) names.push_back(d.linetype[static_cast<std::size_t>(i)].name);
  PrintNames(out, "linetypes", names.size(), names, enc);
  names.clear();
  for (const tblock& b : d.blocks) names.push_back(b.blockname);
  PrintNames(out, "blocks", names.size(), names, enc);
  out << "layouts: ";
  const char* sep = "";
  PropertyBar bar;
  RefreshPropertyBar(bar, d);
  for (const std::string& tab : bar.TabControl1) {
    out << sep << DecodeUnicode(tab, enc);
    sep = ", ";
  }
  out << '\n';
  char hex[24];
  std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(d.maxhandle));
  out << "maxhandle: " << hex << '\n';
  out << "insertlinepos: " << d.insertlinepos << '\n';

  // The kind of an entry is the value of its first pair; counted by its
  // text in the drawing, then in order of the names.
  std::unordered_map<std::string_view, int> counted;
  for (const tpoly& p : d.polys) ++counted[d.value(p.linefrom + 1)];
  const std::map<std::string_view, int> kinds(counted.begin(), counted.end());
  out << "entities: " << d.polys.size() << '\n';
  for (const auto& [kind, count] : kinds) out << "entities " << kind << ": " << count << '\n';
  const std::map<std::string, int> stepped(d.steppedover.begin(), d.steppedover.end());
  for (const auto& [kind, count] : stepped) out << "stepped over " << DecodeUnicode(kind, enc) << ": " << count << '\n';
  std::size_t points = 0;  // those made when asked included
  for (const tpoly& p : d.polys) points += static_cast<std::size_t>(p.anzp);
  out << "points: " << points << '\n';
  const Extents e = TabExtents(d, 0);
  out << "extents: " << Coordinate(e.minx) << ' ' << Coordinate(e.miny) << ' ' << Coordinate(e.maxx) << ' '
      << Coordinate(e.maxy) << '\n';
  return 0;
}

void PrintUsage(std::ostream& out) {
  out << "Usage: vestrel [FILE.dxf]\n"
         "       vestrel --info FILE.dxf\n"
         "       vestrel --check FILE.dxf [--tab N] [--tolerance T] [--json]\n"
         "       vestrel --repair IN.dxf OUT.dxf [--tab N] [--tolerance T] [--close-gaps G]\n"
         "       vestrel --export-png OUT.png [--size WxH] [--tab N] FILE.dxf\n"
         "       vestrel --export-pdf OUT.pdf [--tab N] [--scale MM:UNITS] [--margin MM]\n"
         "                            [--offset XMM:YMM] FILE.dxf\n"
         "       vestrel --replay SCRIPT [--size WxH] [FILE.dxf]\n"
         "       vestrel --version\n"
         "       vestrel --help\n"
         "\n"
         "  FILE.dxf       open this drawing in the editor\n"
         "  --info         read and parse the drawing without a window and print\n"
         "                 what it holds, one \"key: value\" per line\n"
         "  --check        check whether tab N (0 unless --tab says otherwise) is\n"
         "                 ready to cut: open contours, near ends (within T, 0.01\n"
         "                 unless --tolerance says otherwise), duplicates, short\n"
         "                 segments, self-crossings; and per part its cut length,\n"
         "                 pierces, area and box. Exits 0 when ready, 1 when not,\n"
         "                 2 when the file cannot be read; --json prints JSON\n"
         "  --repair       repair tab N of IN.dxf for cutting and write OUT.dxf (may\n"
         "                 be IN.dxf): duplicates and overlaps out, ends within T\n"
         "                 made one, chains that close joined into polylines, gaps\n"
         "                 up to G bridged with a line (none unless --close-gaps\n"
         "                 says); prints what it did. Exits 0 when OUT.dxf is\n"
         "                 written, 2 when IN.dxf cannot be read or OUT.dxf written\n"
         "  --export-png   write what the window shows after zoom to extents\n"
         "                 (1600x1000 pixels unless --size says otherwise) of tab N\n"
         "                 (0, the model, unless --tab says otherwise)\n"
         "  --export-pdf   print tab N into a PDF file with the stored page set-up;\n"
         "                 --scale, --margin and --offset replace its values for\n"
         "                 this run only (millimetres of paper per drawing units,\n"
         "                 the margin and the origin's offset in millimetres)\n"
         "  --replay       run SCRIPT in the window (offscreen without a display),\n"
         "                 its drawing area WxH pixels (1200x800 unless --size says\n"
         "                 otherwise), on FILE.dxf or a new drawing; exits 0 when\n"
         "                 every line ran, else says which line could not\n"
         "  --version      print the program's version and the Qt version\n"
         "  --help         show this text\n";
}

}  // namespace vestrel
