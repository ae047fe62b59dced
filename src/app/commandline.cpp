#include "app/commandline.h"

#include <cstdio>
#include <map>

#include "document/drawing.h"
#include "file/dxffile.h"
#include "file/encoding.h"
#include "tools/propertybar.h"
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

}  // namespace

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

  // The kind of an entry is the value of its first pair.
  std::map<std::string, int> kinds;
  for (const tpoly& p : d.polys) ++kinds[std::string(d.value(p.linefrom + 1))];
  out << "entities: " << d.polys.size() << '\n';
  for (const auto& [kind, count] : kinds) out << "entities " << kind << ": " << count << '\n';
  const std::map<std::string, int> stepped(d.steppedover.begin(), d.steppedover.end());
  for (const auto& [kind, count] : stepped) out << "stepped over " << DecodeUnicode(kind, enc) << ": " << count << '\n';
  out << "points: " << d.points.size() << '\n';
  const Extents e = TabExtents(d, 0);
  out << "extents: " << Coordinate(e.minx) << ' ' << Coordinate(e.miny) << ' ' << Coordinate(e.maxx) << ' '
      << Coordinate(e.maxy) << '\n';
  return 0;
}

void PrintUsage(std::ostream& out) {
  out << "Usage: vestrel [FILE.dxf]\n"
         "       vestrel --info FILE.dxf\n"
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
