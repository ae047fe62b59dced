#include "writers/insertcode.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "document/journal.h"
#include "document/tabscope.h"

namespace vestrel {

namespace {

// C's exponent ("1e+18") as the program writes it ("1E18").
std::string ExponentForm(std::string s) {
  const auto e = s.find('e');
  if (e == std::string::npos) return s;
  std::string exp = s.substr(e + 1);
  bool negative = false;
  if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) negative = exp[0] == '-', exp.erase(0, 1);
  while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
  return s.substr(0, e) + "E" + (negative ? "-" : "") + exp;
}

}  // namespace

std::string FloatToDxf(double value) {
  if (value == 0) return "0";
  char buf[512];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string general(buf, r.ptr);
  if (general.find('e') == std::string::npos) return general;
  if (std::abs(value) >= 1e18) {
    r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 18);
    return ExponentForm(std::string(buf, r.ptr));
  }
  // Fixed point: at most 18 significant digits and 20 decimals, then
  // exactly 18 decimals.
  const int exponent = static_cast<int>(std::floor(std::log10(std::abs(value))));
  const int decimals = std::max(0, std::min(20, 18 - (exponent + 1)));
  r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  std::string fixed(buf, r.ptr);
  const auto point = fixed.find('.');
  const std::size_t have = point == std::string::npos ? 0 : fixed.size() - point - 1;
  if (point == std::string::npos) fixed += '.';
  if (have > 18) fixed.resize(fixed.size() - (have - 18));
  if (have < 18) fixed.append(18 - have, '0');
  return fixed;
}

std::string HandleText(Handle h) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, h, 16);
  std::string s(buf, r.ptr);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s.size() < 2 ? "0" + s : s;
}

std::optional<Handle> IssueHandle(DocumentContext& c) {
  Handle& top = c.drawing.maxhandle;
  top = std::max(top, c.undos.handlesIssued);
  if (top >= std::numeric_limits<Handle>::max() - 1) return std::nullopt;
  return c.undos.handlesIssued = ++top;
}

std::int32_t InsertionLine(const Drawing& d, int tab) {
  if (const tblock* b = TabScope::OfTab(d, tab).ownBlock()) return b->linetoinsert > 0 ? b->linetoinsert : -1;
  return d.insertlinepos;
}

CodeLines::CodeLines(const DocumentContext& c)
    : d_(&c.drawing),
      tab_(c.tab),
      at_(InsertionLine(c.drawing, c.tab)),
      handle_(std::max(c.drawing.maxhandle, c.undos.handlesIssued)),
      viewportId_(c.drawing.maxviewportid) {}

void CodeLines::add(std::string_view code, std::string_view value) {
  lines_.emplace_back(code);
  lines_.emplace_back(value);
}

void CodeLines::add(std::string_view code, double value) {
  if (!std::isfinite(value)) valid_ = false;
  add(code, std::string_view(FloatToDxf(value)));
}

void CodeLines::add(std::string_view code, int value) { add(code, std::string_view(std::to_string(value))); }

void CodeLines::addHandle() {
  if (handle_ >= std::numeric_limits<Handle>::max() - 1)
    handlesLeft_ = false;
  else
    ++handle_, handleTaken_ = true;
  add("  5", std::string_view(HandleText(handle_)));
}

std::string NewObjectLayer(const Drawing& d) {
  const std::string_view name = d.currentValue(current::Layer);
  for (std::int32_t i = 0; i < d.anzlayer && !name.empty(); ++i)
    if (SameName(d.layers[static_cast<std::size_t>(i)].name, name)) return d.layers[static_cast<std::size_t>(i)].name;
  return d.anzlayer > 0 ? d.layers.front().name : "0";
}

std::optional<std::int32_t> NewObjectColor(const Drawing& d) {
  const auto color = ParseInt(d.currentValue(current::Color));
  if (!color || *color < 0 || *color > 255) return std::nullopt;
  return color;
}

std::string NewObjectLineType(const Drawing& d) {
  const std::string_view name = d.currentValue(current::LineType);
  if (SameName(name, "BYBLOCK")) return std::string(name);
  if (SameName(name, "BYLAYER")) return {};
  for (std::int32_t i = 0; i < d.anzlt && !name.empty(); ++i)
    if (SameName(d.linetype[static_cast<std::size_t>(i)].name, name)) return d.linetype[static_cast<std::size_t>(i)].name;
  return {};
}

std::optional<std::int32_t> NewObjectLineWeight(const Drawing& d) {
  if (d.cadver < 1010) return std::nullopt;
  // "By block", "default" and the weights DXF knows, in hundredths of a
  // millimetre.
  constexpr std::int32_t kWeights[] = {-2, -3, 0,  5,  9,  13, 15,  18,  20,  25,  30,  35,  40,
                                       50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
  const auto weight = ParseInt(d.currentValue(current::LineWeight));
  if (!weight || std::find(std::begin(kWeights), std::end(kWeights), *weight) == std::end(kWeights)) return std::nullopt;
  return weight;
}

bool AddToLayout(CodeLines& lines) {
  const TabScope scope = TabScope::OfTab(lines.drawing(), lines.tab());
  if (const auto h = scope.layhan()) lines.add("330", std::string_view(HandleText(*h)));
  return !scope.model();
}

InsertResult InsertCode(DocumentContext& c, const CodeLines& lines) {
  Drawing& d = c.drawing;
  const std::int32_t at = lines.at();
  if (lines.lines().empty()) return InsertResult::NothingToWrite;
  if (at < 0 || at > static_cast<std::int32_t>(d.dxf.size())) return InsertResult::NoInsertionPoint;
  if (!lines.valid()) return InsertResult::InvalidValue;
  if (!lines.handlesLeft()) return InsertResult::NoHandleLeft;
  ChangeStep(c.undos, d.dxf).insert(at, lines.lines());
  if (lines.tookHandles()) d.maxhandle = c.undos.handlesIssued = lines.lastHandle();
  d.maxviewportid = std::max(d.maxviewportid, lines.lastViewportId());
  // The seed names the next free handle; undo leaves it where it is.
  if (d.handleseedpos >= 0 && d.maxhandle < std::numeric_limits<Handle>::max()) {
    const std::size_t seed =
        static_cast<std::size_t>(d.handleseedpos) + (d.handleseedpos >= at ? lines.lines().size() : 0);
    OverwriteKept(c.undos, d.dxf, seed, HandleText(d.maxhandle + 1));
  }
  SetChanged(c);
  return InsertResult::Inserted;
}

InsertResult ReplaceCode(DocumentContext& c, std::vector<std::pair<std::int32_t, std::int32_t>> erase,
                         const CodeLines& lines, const std::vector<std::pair<std::int32_t, std::int32_t>>& at) {
  Drawing& d = c.drawing;
  const auto size = static_cast<std::int32_t>(d.dxf.size());
  if (lines.lines().empty()) return InsertResult::NothingToWrite;
  if (!lines.valid()) return InsertResult::InvalidValue;
  if (!lines.handlesLeft()) return InsertResult::NoHandleLeft;
  for (const auto& [where, count] : at)
    if (where < 0 || where > size) return InsertResult::NoInsertionPoint;
  // Made from the last place to the first, so that every place still
  // names its line; where lines go and come at one place, they go first.
  struct Splice {
    std::int32_t line;
    bool insertion;
    std::int32_t first, count;  // the range erased, or the list's lines put in
  };
  // Ranges that follow each other go as one (a join of many parts drawn
  // one after another is one erasure), but not across a place where lines
  // come.
  std::vector<std::int32_t> places;
  for (const auto& [where, count] : at) places.push_back(where);
  std::sort(places.begin(), places.end());
  std::sort(erase.begin(), erase.end());
  std::vector<Splice> splices;
  for (const auto& [from, to] : erase) {
    const bool follows = !splices.empty() && splices.back().first + splices.back().count == from;
    if (follows && !std::binary_search(places.begin(), places.end(), from))
      splices.back().count += to - from + 1;
    else
      splices.push_back({from, false, from, to - from + 1});
  }
  std::int32_t next = 0;
  for (const auto& [where, count] : at) splices.push_back({where, true, next, count}), next += count;
  std::stable_sort(splices.begin(), splices.end(), [](const Splice& a, const Splice& b) {
    return a.line != b.line ? a.line > b.line : !a.insertion && b.insertion;
  });
  std::int64_t seedShift = 0;
  ChangeStep step(c.undos, d.dxf);
  for (std::size_t k = 0; k < splices.size(); ++k) {
    const Splice& s = splices[k];
    if (!s.insertion && k + 1 < splices.size() && splices[k + 1].insertion && splices[k + 1].line == s.line) {
      // Lines that go and come at one place: those both cover are
      // overwritten where they differ, and only what is left over is
      // spliced, so that the lines after them move once at most.
      const Splice& in = splices[++k];
      const std::int32_t common = std::min(s.count, in.count);
      for (std::int32_t j = 0; j < common; ++j) {
        const std::string& text = lines.lines()[static_cast<std::size_t>(in.first + j)];
        if (d.dxf[static_cast<std::size_t>(s.first + j)] != text) step.overwrite(s.first + j, text);
      }
      const std::int32_t rest = s.first + common;
      if (in.count > common) {
        const auto begin = lines.lines().begin() + in.first + common;
        step.insert(rest, std::vector<std::string>(begin, begin + (in.count - common)));
        if (d.handleseedpos >= rest) seedShift += in.count - common;
      } else if (s.count > common) {
        step.erase(rest, s.count - common);
        if (d.handleseedpos > rest) seedShift -= s.count - common;
      }
      continue;
    }
    if (s.insertion) {
      const auto begin = lines.lines().begin() + s.first;
      step.insert(s.line, std::vector<std::string>(begin, begin + s.count));
      if (d.handleseedpos >= s.line) seedShift += s.count;
    } else {
      step.erase(s.first, s.count);
      if (d.handleseedpos > s.first) seedShift -= s.count;
    }
  }
  if (lines.tookHandles()) d.maxhandle = c.undos.handlesIssued = lines.lastHandle();
  d.maxviewportid = std::max(d.maxviewportid, lines.lastViewportId());
  if (d.handleseedpos >= 0 && d.maxhandle < std::numeric_limits<Handle>::max())
    OverwriteKept(c.undos, d.dxf, static_cast<std::size_t>(d.handleseedpos + seedShift), HandleText(d.maxhandle + 1));
  SetChanged(c);
  return InsertResult::Inserted;
}

InsertResult InsertAndParse(DocumentContext& c, const CodeLines& lines) {
  const InsertResult r = InsertCode(c, lines);
  if (r == InsertResult::Inserted) processdxf(c.drawing);
  return r;
}

}  // namespace vestrel
