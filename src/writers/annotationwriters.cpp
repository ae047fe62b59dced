#include "writers/annotationwriters.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "file/encoding.h"
#include "geometry/clickedspline.h"
#include "writers/entitywriters.h"

namespace vestrel {

namespace {

// A multi-line text is written in chunks of this many characters.
constexpr std::size_t kChunk = 250;

// The lines of a memo. A break at the very end ends the last line rather
// than starting an empty one.
std::vector<std::string_view> MemoLines(std::string_view memo) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < memo.size(); ++i) {
    if (memo[i] != '\r' && memo[i] != '\n') continue;
    lines.push_back(memo.substr(start, i - start));
    if (memo[i] == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < memo.size()) lines.push_back(memo.substr(start));
  return lines;
}

// The code unit of the escape "\U+XXXX" at s[i]; -1 when there is none.
int EscapeAt(std::string_view s, std::size_t i) {
  if (s.substr(i, 3) != "\\U+" || i + 7 > s.size()) return -1;
  int u = 0;
  for (std::size_t k = i + 3; k < i + 7; ++k) {
    int h = 0;
    if (std::from_chars(s.data() + k, s.data() + k + 1, h, 16).ptr != s.data() + k + 1) return -1;
    u = u << 4 | h;
  }
  return u;
}

// What must stay within one chunk, starting at s[i]: an escape (two for
// the halves of a character beyond U+FFFF) or a caret with the character
// after it, else one character, which in
// a code page is one byte and in UTF-8 its sequence. Its length in bytes;
// `chars` gets how many characters it counts.
std::size_t PieceAt(std::string_view s, std::size_t i, bool codePage, std::size_t& chars) {
  if (const int u = EscapeAt(s, i); u >= 0) {
    const bool pair = u >= 0xD800 && u < 0xDC00 && EscapeAt(s, i + 7) >= 0xDC00 && EscapeAt(s, i + 7) < 0xE000;
    chars = pair ? 14 : 7;
    return chars;
  }
  if (s[i] == '^' && i + 1 < s.size()) {  // a caret and the character it escapes
    chars = 2;
    return chars;
  }
  chars = 1;
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t len = codePage || b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  len = std::min(len, s.size() - i);
  for (std::size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return k;
  return len;
}

// Chunks of at most kChunk characters while more than that remain, then
// the rest.
std::vector<std::string> Chunks(std::string_view text, bool codePage) {
  std::vector<std::size_t> ends, counts;  // the pieces: where each ends, characters up to there
  std::size_t total = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t chars;
    i += PieceAt(text, i, codePage, chars);
    total += chars;
    ends.push_back(i);
    counts.push_back(total);
  }
  std::vector<std::string> chunks;
  std::size_t from = 0, done = 0, piece = 0;
  while (total - done > kChunk) {
    while (piece < ends.size() && counts[piece] - done <= kChunk) ++piece;
    chunks.emplace_back(text.substr(from, ends[piece - 1] - from));
    from = ends[piece - 1];
    done = counts[piece - 1];
  }
  chunks.emplace_back(text.substr(from));
  return chunks;
}

bool Finite(Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
bool Finite(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

TextGroups TextOfMemo(const Drawing& d, std::string_view memo, bool single) {
  std::vector<std::string_view> lines = MemoLines(memo);
  // Breaks at the end end the last line: they start no empty paragraph.
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  TextGroups g;
  g.firstLineOnly = single && lines.size() > 1;
  const bool empty = single ? lines.empty() || lines[0].empty()
                            : std::all_of(lines.begin(), lines.end(), [](std::string_view s) { return s.empty(); });
  if (empty) return g;
  std::string text;
  for (std::size_t i = 0; i < lines.size() && !(single && i > 0); ++i) {
    if (i > 0) text += "\\P";
    const std::string line = CaretEncoded(lines[i]);
    if (HasControlCharacter(line)) return {{}, false, true};
    text += EncodeUnicode(line, d.dxf.encoding, d.cadver);
  }
  if (single)
    g.chunks.push_back(std::move(text));
  else
    g.chunks = Chunks(text, d.dxf.encoding == TextEncoding::Ansi);
  return g;
}

TextResult AddText(CodeLines& l, Point3 p, double height, std::string_view memo, double angleDegrees) {
  const Drawing& d = l.drawing();
  const bool single = SingleLineTexts(d);
  const TextGroups g = TextOfMemo(d, memo, single);
  TextResult r;
  r.firstLineOnly = g.firstLineOnly;
  if (g.controlCharacter) r.result = InsertResult::ControlCharacter;
  if (g.chunks.empty()) return r;
  EntityStart(l, single ? "TEXT" : "MTEXT", "AcDbMText");
  l.add("  10", p.x);
  l.add("  20", p.y);
  l.add("  30", p.z);
  l.add("  40", height);
  l.add("  50", angleDegrees);
  for (std::size_t i = 0; i + 1 < g.chunks.size(); ++i) l.add("  3", std::string_view(g.chunks[i]));
  l.add("  1", std::string_view(g.chunks.back()));
  r.result = InsertResult::Inserted;
  return r;
}

TextResult WriteText(DocumentContext& c, Point3 p, double height, std::string_view memo, double angleDegrees) {
  CodeLines l(c);
  TextResult r = AddText(l, p, height, memo, angleDegrees);
  if (r.result == InsertResult::Inserted) r.result = InsertAndParse(c, l);
  return r;
}

InsertResult AddArrowToLine(CodeLines& l, Point2 tip, Point2 toward) {
  if (!Finite(tip) || !Finite(toward)) return InsertResult::InvalidValue;
  const double dx = toward.x - tip.x, dy = toward.y - tip.y;
  const double length = std::hypot(dx, dy);
  if (length == 0) return InsertResult::NothingToWrite;
  const double ux = dx / length * 0.17, uy = dy / length * 0.17;
  const double wx = -0.2 * uy, wy = 0.2 * ux;
  const Point3 back1{tip.x + ux + wx, tip.y + uy + wy, 0}, back2{tip.x + ux - wx, tip.y + uy - wy, 0};
  return AddSolid(l, {tip.x, tip.y, 0}, back1, back2, back2);
}

InsertResult AddDimensionLines(CodeLines& l, Point3 p1, Point3 p2, Point2 a, Point2 b) {
  if (!Finite(p1) || !Finite(p2) || !Finite(a) || !Finite(b)) return InsertResult::InvalidValue;
  const Point3 A{a.x, a.y, p1.z}, B{b.x, b.y, p1.z};
  AddLine(l, LineKind::Line, p1, A);
  AddLine(l, LineKind::Line, p2, B);
  AddLine(l, LineKind::Line, A, B);
  // Arrow heads need a dimension line of some length.
  if (AddArrowToLine(l, a, b) == InsertResult::Inserted) AddArrowToLine(l, b, a);
  return InsertResult::Inserted;
}

std::string DimensionProposal(Point3 p1, Point3 p2) {
  const double d = std::hypot(p2.x - p1.x, p2.y - p1.y, p2.z - p1.z);
  if (!std::isfinite(d)) return {};
  // The distance to 15 significant digits, as it is written everywhere,
  // then to two decimals with halves rounded up: 2.675 is "2.68".
  const int magnitude = d > 0 ? static_cast<int>(std::floor(std::log10(d))) : 0;
  char buf[512];
  const auto end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed, std::max(3, 14 - magnitude)).ptr;
  std::string s(buf, end);
  const std::size_t point = s.find('.');
  const bool up = s[point + 3] >= '5';
  s.resize(point + 3);
  for (std::size_t i = s.size(); up && i-- > 0;) {
    if (s[i] == '.') continue;
    if (s[i] != '9') {
      ++s[i];
      break;
    }
    s[i] = '0';
    if (i == 0) s.insert(s.begin(), '1');
  }
  return s;
}

InsertResult AddSPLINE(CodeLines& l, const std::vector<PolyVertex>& polyline0, int splinemode, bool closed) {
  if (l.drawing().cadver <= 1009) return InsertResult::NotInThisVersion;
  const Spline s = SplineOfClicks(polyline0, splinemode);
  if (s.controls.empty()) return InsertResult::NothingToWrite;
  EntityStart(l, "SPLINE", "AcDbSpline");
  l.add(" 72", static_cast<int>(s.knots.size()));
  l.add(" 73", static_cast<int>(s.controls.size()));
  if (closed) l.add(" 70", std::string_view("1"));
  l.add(" 71", s.order - 1);
  for (double k : s.knots) l.add("  40", k);
  for (const Point3& q : s.controls) {
    l.add("  10", q.x);
    l.add("  20", q.y);
    l.add("  30", q.z);
  }
  return InsertResult::Inserted;
}

}  // namespace vestrel
