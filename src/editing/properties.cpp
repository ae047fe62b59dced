#include "editing/properties.h"

#include <algorithm>
#include <string>
#include <vector>

#include "document/tabscope.h"
#include "file/encoding.h"
#include "writers/annotationwriters.h"

namespace vestrel {

namespace {

// The common groups of an entry: from its type line up to its own
// subclass (after "100" "AcDbEntity") or its first vertex or attribute.
struct CommonGroups {
  const Drawing& d;
  const tpoly& p;

  // The value line of the first group `code` there; -1 when there is none.
  std::int32_t find(std::string_view code) const {
    std::int32_t at = -1;
    walk([&](std::int32_t i) {
      if (d.value(i) != code) return true;
      at = i + 1;
      return false;
    });
    return at;
  }
  // Where a missing common group goes: after the layer, or else after the
  // subclass marker of the common groups, or else after the type.
  std::int32_t insertionLine() const {
    if (const std::int32_t layer = find("8"); layer >= 0) return layer + 1;
    std::int32_t at = p.linefrom + 2;
    walk([&](std::int32_t i) {
      if (d.value(i) != "100" || d.value(i + 1) != "AcDbEntity") return true;
      at = i + 2;
      return false;
    });
    return at;
  }
  // Calls f with each code line until it returns false.
  template <class F>
  void walk(F f) const {
    bool common = false;
    for (std::int32_t i = p.linefrom + 2; i + 1 <= p.linebis; i += 2) {
      const std::string_view code = d.value(i);
      if (code == "0") return;
      if (code == "100") {
        if (common) return;
        common = d.value(i + 1) == "AcDbEntity";
      }
      if (!f(i)) return;
    }
  }
};

// The selected objects of the shown tab, the last first, so that what is
// spliced into one leaves the line numbers of those before it alone.
template <class F>
bool ForSelected(DocumentContext& c, F edit) {
  const TabScope scope = TabScope::OfTab(c.drawing, c.tab);
  bool any = false;
  for (std::size_t k = c.drawing.polys.size(); k-- > 0;) {
    const tpoly& p = c.drawing.polys[k];
    if (!p.selected || !scope.shows(p)) continue;
    any = true;
    edit(p);
  }
  return any;
}

// The group `code` of each selected object set to `value`: overwritten
// where the object has it, added where it has not; first the groups in
// `drop` taken out (a true colour overrides a colour number).
void SetCommonGroup(DocumentContext& c, std::string_view code, std::string_view value,
                    std::initializer_list<std::string_view> drop = {}) {
  Drawing& d = c.drawing;
  ChangeStep step(c.undos, d.dxf);
  const bool any = ForSelected(c, [&](const tpoly& p) {
    const CommonGroups g{d, p};
    for (const std::string_view gone : drop)
      for (std::int32_t at; (at = g.find(gone)) >= 0;) step.erase(at - 1, 2);
    if (const std::int32_t at = g.find(code); at >= 0)
      step.overwrite(at, value);
    else
      step.insert(g.insertionLine(), {std::string(3 - std::min<std::size_t>(code.size(), 3), ' ') + std::string(code),
                                      std::string(value)});
  });
  if (any) processdxf(d);
  SetChanged(c);
}

}  // namespace

bool AnySelected(const DocumentContext& c) {
  const TabScope scope = TabScope::OfTab(c.drawing, c.tab);
  return std::any_of(c.drawing.polys.begin(), c.drawing.polys.end(),
                     [&](const tpoly& p) { return p.selected && scope.shows(p); });
}

bool SetHeaderVariable(ChangeStep& step, const Drawing& d, current::Id id, std::string_view value) {
  const current::Variable& v = current::kVariables[id];
  if (const std::int32_t at = d.currentpos[id]; at >= 0) {
    if (d.value(at) == value) return false;
    step.overwrite(at, value);
  } else if (d.headerendpos >= 0) {
    step.insert(d.headerendpos, {"  9", std::string(v.name), std::string(v.code), std::string(value)});
  } else {
    step.insert(0, {"  0", "SECTION", "  2", "HEADER", "  9", std::string(v.name), std::string(v.code),
                    std::string(value), "  0", "ENDSEC"});
  }
  return true;
}

void SetCurrentProperty(DocumentContext& c, current::Id id, std::string_view value) {
  Drawing& d = c.drawing;
  if (d.currentpos[id] >= 0 && d.value(d.currentpos[id]) == value) return;
  ChangeStep step(c.undos, d.dxf);
  SetHeaderVariable(step, d, id, value);
  processdxf(d);
  SetChanged(c);
}

void SetColorForObjects(DocumentContext& c, int color) {
  SetCommonGroup(c, "62", std::to_string(color), {"420", "430"});
}

void SetLineTypeForObjects(DocumentContext& c, std::string_view name) { SetCommonGroup(c, "6", name); }

void SetLayerForObjects(DocumentContext& c, std::string_view name) { SetCommonGroup(c, "8", name); }

bool SetLeineWeightForObjects(DocumentContext& c, std::string_view weight) {
  if (c.drawing.cadver < 1010) return false;
  if (!weight.empty() && weight.front() != '-') {
    SetCommonGroup(c, "370", weight);
    return true;
  }
  // By layer: the objects' own weights go.
  Drawing& d = c.drawing;
  ChangeStep step(c.undos, d.dxf);
  const bool any = ForSelected(c, [&](const tpoly& p) {
    for (std::int32_t at; (at = CommonGroups{d, p}.find("370")) >= 0;) step.erase(at - 1, 2);
  });
  if (any) processdxf(d);
  SetChanged(c);
  return true;
}

std::string TextForEditing(const Drawing& d, int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= d.polys.size()) return {};
  const tpoly& p = d.polys[static_cast<std::size_t>(i)];
  if (p.extrakind != ExtraKind::Text) return {};
  std::string text = DecodeUnicode(d.text(p).textstr, d.dxf.encoding);
  std::string memo;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text.compare(k, 2, "\\P") == 0) {
      memo += '\n';
      ++k;
    } else {
      memo += text[k];
    }
  }
  memo = CaretDecoded(memo);
  // A single-line text shows a line break written with a caret as a
  // blank: it stays one line.
  if (p.kind != Kind::MTEXT)
    std::replace_if(memo.begin(), memo.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return memo;
}

TextChange ChangeText(DocumentContext& c, int i, std::string_view memo) {
  Drawing& d = c.drawing;
  TextChange r;
  if (i < 0 || static_cast<std::size_t>(i) >= d.polys.size()) return r;
  const tpoly& p = d.polys[static_cast<std::size_t>(i)];
  if (!p.selected || p.extrakind != ExtraKind::Text) return r;
  const bool single = p.kind != Kind::MTEXT;
  const TextGroups g = TextOfMemo(d, memo, single);
  r.controlCharacter = g.controlCharacter;
  if (g.chunks.empty()) return r;
  r.firstLineOnly = g.firstLineOnly;
  // The text as it stands: nothing to write.
  std::string whole;
  for (const std::string& chunk : g.chunks) whole += chunk;
  if (whole == d.text(p).textstr) return r;
  // The chunks (groups 3) and the rest (group 1) where the text has them.
  std::vector<std::int32_t> threes;
  std::int32_t one = -1;
  for (std::int32_t k = p.linefrom + 2; k + 1 <= p.linebis && one < 0; k += 2) {
    if (d.value(k) == "3" && !single) threes.push_back(k + 1);
    if (d.value(k) == "1") one = k + 1;
  }
  if (one < 0) return r;
  ChangeStep step(c.undos, d.dxf);
  const std::size_t n = g.chunks.size() - 1;  // chunks before the rest
  step.overwrite(one, g.chunks.back());
  // More chunks than the text had: new ones just before its group 1; fewer:
  // the last ones go. Only then the chunks it had, overwritten.
  std::vector<std::string> added;
  for (std::size_t k = threes.size(); k < n; ++k) {
    added.emplace_back("  3");
    added.push_back(g.chunks[k]);
  }
  if (!added.empty()) step.insert(one - 1, added);
  for (std::size_t k = threes.size(); k-- > n;) step.erase(threes[k] - 1, 2);
  for (std::size_t k = 0; k < threes.size() && k < n; ++k) step.overwrite(threes[k], g.chunks[k]);
  processdxf(d);
  SetChanged(c);
  r.changed = true;
  return r;
}

}  // namespace vestrel
