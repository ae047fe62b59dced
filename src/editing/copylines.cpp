#include "editing/copylines.h"

#include <algorithm>

#include "document/numbers.h"
#include "writers/insertcode.h"

namespace vestrel {

std::vector<std::string> EditedLines(const LineList& src, std::int32_t from, std::int32_t to, const LineEdits& edits) {
  std::unordered_map<std::int32_t, const std::string*> overwritten;
  for (const auto& [line, text] : edits.overwrite) overwritten[line] = &text;
  std::vector<const LineEdits::Insertion*> inserted;
  for (const LineEdits::Insertion& i : edits.insert) inserted.push_back(&i);
  std::stable_sort(inserted.begin(), inserted.end(), [](auto* a, auto* b) { return a->at < b->at; });
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(to - from + 1));
  auto next = inserted.begin();
  for (std::int32_t line = from; line <= to + 1; ++line) {
    for (; next != inserted.end() && (*next)->at == line; ++next)
      out.insert(out.end(), (*next)->lines.begin(), (*next)->lines.end());
    if (line > to) break;
    const auto o = overwritten.find(line);
    out.emplace_back(o != overwritten.end() ? std::string_view(*o->second) : src[static_cast<std::size_t>(line)]);
  }
  return out;
}

std::int64_t HandlesIn(const LineList& src, std::int32_t from, std::int32_t to) {
  std::int64_t n = 0;
  for (std::int32_t k = from; k + 1 <= to; k += 2)
    if (GroupCode(Trim(src[static_cast<std::size_t>(k)])) == 5) ++n;
  return n;
}

namespace {

// Groups that hold the handle of another object: owners, soft and hard
// pointers.
bool PointerGroup(int g) { return g == 330 || (g >= 320 && g <= 369) || (g >= 390 && g <= 399); }

}  // namespace

bool CopyLines(DocumentContext& c, const LineList& src, std::int32_t from, std::int32_t to, const LineEdits& edits,
               CopyState& state, std::vector<std::string>& out) {
  const std::vector<std::string> lines = EditedLines(src, from, to, edits);
  // Every object of the copy gets its handle first, so that a reference to
  // one that comes later finds it too.
  for (std::size_t k = 0; k + 1 < lines.size(); k += 2) {
    if (GroupCode(Trim(lines[k])) != 5) continue;
    const auto old = ParseHandle(Trim(lines[k + 1]));
    if (!old) continue;
    const std::optional<Handle> h = IssueHandle(c);
    if (!h) return false;
    state.handles[*old] = *h;
  }
  std::string_view kind;
  int skipping = 0;  // inside a group of the original's own: its extension dictionary, its reactors
  for (std::size_t k = 0; k + 1 < lines.size(); k += 2) {
    const std::string_view code = Trim(lines[k]);
    const std::string_view value = Trim(lines[k + 1]);
    const int g = GroupCode(code);
    if (g == 0) kind = value;
    if (g == 102) {
      if (skipping) {
        if (value == "}") --skipping;
        continue;
      }
      if (value == "{ACAD_XDICTIONARY" || value == "{ACAD_REACTORS") {
        ++skipping;
        continue;
      }
    }
    if (skipping) continue;
    std::string v = lines[k + 1];
    if (g == 5 || PointerGroup(g)) {
      if (const auto old = ParseHandle(value))
        if (const auto it = state.handles.find(*old); it != state.handles.end()) v = HandleText(it->second);
    } else if (g == 69 && kind == "VIEWPORT") {
      v = std::to_string(state.nextViewportId++);
    } else if (!state.renameFrom.empty() && value == state.renameFrom &&
               ((kind == "BLOCK" && (g == 2 || g == 3)) || (kind == "BLOCK_RECORD" && g == 2) ||
                (kind == "DIMENSION" && g == 2))) {
      v = state.renameTo;
    }
    out.emplace_back(state.trimCodes ? std::string(code) : lines[k]);
    out.push_back(std::move(v));
  }
  return true;
}

}  // namespace vestrel
