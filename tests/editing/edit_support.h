// A drawing with its journal, as the editing operations take it, and what
// their tests ask of it.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "document/drawing.h"
#include "document/tabscope.h"
#include "file/context.h"
#include "file/dxffile.h"

namespace vestrel::test {

struct Doc {
  Drawing d;
  Journal j;
  FileState f;
  int tab = 0;
  DocumentContext c{d, j, f, tab};

  static std::unique_ptr<Doc> Read(const std::string& path) {
    auto doc = std::make_unique<Doc>();
    if (ReadDxfFile(path, doc->d.dxf) != FileError::None) return nullptr;
    processdxf(doc->d);
    return doc;
  }
  static std::unique_ptr<Doc> Of(std::string text) {
    auto doc = std::make_unique<Doc>();
    doc->d.dxf.assign(std::move(text));
    processdxf(doc->d);
    return doc;
  }
  std::vector<std::string> lines() const { return d.dxf.copy(0, d.dxf.size()); }
  std::string kind(const tpoly& p) const { return std::string(d.value(p.linefrom + 1)); }
  // The entries the shown tab shows outside blocks: what can be picked
  // (but a layout's sheet, its viewport 1).
  std::vector<std::int32_t> shown() const {
    const TabScope s = TabScope::OfTab(d, tab);
    std::vector<std::int32_t> out;
    for (std::int32_t i = 0; i < d.anzpoly(); ++i) {
      const tpoly& p = d.polys[static_cast<std::size_t>(i)];
      if (s.shows(p) && !p.isblock && !(p.isviewport() && d.viewport(p).id == 1)) out.push_back(i);
    }
    return out;
  }
  // Selects the entries at positions `which` of shown().
  void select(const std::vector<std::size_t>& which) {
    const std::vector<std::int32_t> s = shown();
    for (tpoly& p : d.polys) p.selected = false;
    for (const std::size_t k : which)
      if (k < s.size()) d.polys[static_cast<std::size_t>(s[k])].selected = true;
  }
  void selectAll() {
    for (const std::int32_t i : shown()) d.polys[static_cast<std::size_t>(i)].selected = true;
  }
};

}  // namespace vestrel::test
