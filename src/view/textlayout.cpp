#include "view/textlayout.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "file/encoding.h"
#include "view/fonttable.h"

namespace vestrel {

namespace {

namespace ft = fonttable;

constexpr double kCap = ft::kCapHeight;
constexpr double kDescent = ft::kDescender / kCap;  // below the baseline, in capital heights
// The advance of characters the font does not have: that of digits and
// most small letters.
constexpr int kDefaultAdvance = 1139;
// The parts of a stacked fraction are this much smaller than the text.
constexpr double kStackScale = 0.7;
// Where lines go, in capital heights above the baseline, and how thick.
constexpr double kUnderlineAt = -ft::kUnderlinePosition / kCap;
constexpr double kOverlineAt = 1 + 2 * ft::kUnderlinePosition / kCap;
constexpr double kStrikeAt = ft::kStrikePosition / kCap;
constexpr double kThickness = ft::kLineThickness / kCap;

// What one text may cost: the bytes of it that are read, the bytes of
// characters laid out, and the nested groups that keep a style of their
// own. A text beyond these is shown cut off.
constexpr std::size_t kMostInput = std::size_t{1} << 20;
constexpr std::size_t kMostChars = std::size_t{1} << 18;
constexpr std::size_t kMostDepth = 64;
// Heights, widths and their factors stay within these, so that nothing a
// file says makes a text infinite or turns it inside out.
constexpr double kLargest = 1e100;
constexpr double kMostFactor = 1e4;

bool Combining(char32_t c) {
  return (c >= 0x300 && c <= 0x36F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
         (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200B || c == 0xFEFF;
}

// East Asian characters: an em wide.
bool Wide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// In font units.
int Advance(char32_t c) {
  if (c >= 0x20 && c < 0x180) {
    if (const int a = ft::kLatin[c - 0x20]) return a;
    return c < 0xA0 ? 0 : kDefaultAdvance;  // the control characters have none
  }
  if (c < 0x20) return 0;
  if (c <= 0xFFFF) {
    const auto* it = std::lower_bound(std::begin(ft::kOthers), std::end(ft::kOthers), c,
                                      [](const std::uint16_t(&e)[2], char32_t v) { return e[0] < v; });
    if (it != std::end(ft::kOthers) && (*it)[0] == c) return (*it)[1];
  }
  if (Combining(c)) return 0;
  if (Wide(c)) return ft::kUnitsPerEm;
  return kDefaultAdvance;
}

// The code point at s[i], i moved past it; a byte that begins no UTF-8
// sequence counts as U+FFFD, one byte long.
char32_t NextChar(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {  // most text: no call for it
    ++i;
    return b;
  }
  const std::int32_t cp = NextCodePoint(s, i);
  if (cp >= 0) return static_cast<char32_t>(cp);
  ++i;
  return 0xFFFD;
}

double Clamp(double v, double lo, double hi) { return std::isfinite(v) ? std::clamp(v, lo, hi) : lo; }

// The value of a code at s[i], a finite number, "x" after it for one
// relative to what is in force; i moves past it.
bool ReadNumber(std::string_view s, std::size_t& i, double& v, bool& relative) {
  std::size_t j = i;
  if (j < s.size() && s[j] == '+') ++j;
  if (j >= s.size() || !(std::isdigit(static_cast<unsigned char>(s[j])) || s[j] == '.' || s[j] == '-')) return false;
  double value = 0;
  const auto [end, ec] = std::from_chars(s.data() + j, s.data() + s.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return false;
  j = static_cast<std::size_t>(end - s.data());
  relative = j < s.size() && (s[j] == 'x' || s[j] == 'X');
  if (relative) ++j;
  i = j;
  v = value;
  return true;
}

struct Style {
  double height = 0, widthFactor = 1, oblique = 0, tracking = 1;
  std::int32_t aci = -1, rgb = -1;
  std::uint8_t lines = 0;
};

class Layouter {
 public:
  Layouter(const TextParams& p, TextLayout& out) : p_(p), out_(out) {
    out_.chars.clear();
    out_.runs.clear();
    out_.strokes.clear();
    out_.lines.clear();
    out_.empty = true;
    out_.place = {1, 0, 0, 1, 0, 0};
    st_.height = Clamp(p.height, 0, kLargest);
    base_ = st_.height;
    fitted_ = !p.mtext && (p.halign == 3 || p.halign == 5) && p.alignSeen;
    // A text fitted between two points takes its width from them.
    st_.widthFactor = fitted_ ? 1 : Clamp(p.widthFactor, 1 / kMostFactor, kMostFactor);
    st_.oblique = Clamp(p.oblique, -85, 85);
    wrapAt_ = p.mtext && p.boxWidth > 0 && std::isfinite(p.boxWidth) ? std::min(p.boxWidth, kLargest) : 0;
  }

  void read(std::string_view s);
  void finish();

 private:
  struct Break {
    std::size_t run = 0;
    std::uint32_t byte = 0;
    double x = 0, ink = 0;
  };

  void character(std::string_view bytes, char32_t c, bool breakable = false);
  void tab();
  void paragraph() {
    endLine(out_.runs.size(), ink_);
    x_ = ink_ = 0;
    canBreak_ = false;
  }
  TextRun& newRun(const Style& s, double x, double y);
  void wrap();
  void endLine(std::size_t firstNext, double width);
  void stack(std::string_view expr);
  double widthOf(std::string_view utf8, const Style& s) const;
  TextRun* placeRun(std::string_view utf8, const Style& s, double x, double y, std::uint8_t lines = 0);
  bool percent(std::string_view s, std::size_t& i);
  void code(std::string_view s, std::size_t& i);
  void skipTerminator(std::string_view s, std::size_t& i) const {
    if (i < s.size() && s[i] == ';') ++i;
  }
  void finishSingle();
  void finishMulti();
  void decorate();

  const TextParams& p_;
  TextLayout& out_;
  Style st_;
  double base_ = 0;  // the text's own height
  bool fitted_ = false;
  double wrapAt_ = 0;
  std::vector<Style> saved_;  // the styles of the enclosing groups
  std::size_t depth_ = 0;     // how deep in groups, also beyond those saved
  std::size_t lineFirst_ = 0; // the first run of the line being laid out
  double x_ = 0;              // where the next character goes on it
  double ink_ = 0;            // where its last character that is not a blank ends
  bool canBreak_ = false;
  Break break_;
  bool open_ = false;  // the last run takes the next character of its style
  std::vector<double> lineHeights_;
  bool full_ = false;
};

TextRun& Layouter::newRun(const Style& s, double x, double y) {
  TextRun& r = out_.runs.emplace_back();
  r.from = r.to = static_cast<std::uint32_t>(out_.chars.size());
  r.x = x, r.y = y;
  r.height = s.height, r.widthFactor = s.widthFactor, r.oblique = s.oblique, r.tracking = s.tracking;
  r.aci = s.aci, r.rgb = s.rgb, r.lines = s.lines;
  return r;
}

void Layouter::character(std::string_view bytes, char32_t c, bool breakable) {
  if (full_ || out_.chars.size() + bytes.size() > kMostChars) {
    full_ = true;
    return;
  }
  const double a = Advance(c) / kCap * st_.height * st_.widthFactor * st_.tracking;
  if (!breakable && wrapAt_ > 0 && canBreak_ && x_ + a > wrapAt_) wrap();
  TextRun* r = open_ && out_.runs.size() > lineFirst_ ? &out_.runs.back() : nullptr;
  const bool goesOn = r && r->height == st_.height && r->widthFactor == st_.widthFactor &&
                      r->oblique == st_.oblique && r->tracking == st_.tracking && r->aci == st_.aci &&
                      r->rgb == st_.rgb && r->lines == st_.lines;
  if (!goesOn) r = &newRun(st_, x_, 0);
  open_ = true;
  out_.chars.append(bytes);
  r->to = static_cast<std::uint32_t>(out_.chars.size());
  r->width += a;
  x_ += a;
  if (breakable) {
    break_ = {out_.runs.size() - 1, r->to, x_, ink_};
    canBreak_ = true;
  } else if (c != ' ' && c != 0xA0) {
    ink_ = x_;
  }
}

void Layouter::tab() {
  // Tab stops every four capital heights of the text.
  const double every = 4 * base_;
  if (!(every > 0)) return;
  x_ = (std::floor(x_ / every) + 1) * every;
  open_ = false;
  break_ = {out_.runs.size() - 1, static_cast<std::uint32_t>(out_.chars.size()), x_, ink_};
  canBreak_ = !out_.runs.empty() && out_.runs.size() > lineFirst_;
}

// Moves what follows the last place to break onto a line of its own.
void Layouter::wrap() {
  const Break b = break_;
  canBreak_ = false;
  std::size_t first = b.run + 1;
  TextRun& r = out_.runs[b.run];
  if (b.byte > r.from && b.byte < r.to) {
    TextRun tail = r;
    tail.from = b.byte;
    tail.x = b.x;
    tail.width = r.x + r.width - b.x;
    r.to = b.byte;
    r.width = b.x - r.x;
    out_.runs.insert(out_.runs.begin() + static_cast<std::ptrdiff_t>(first), tail);
  } else if (b.byte <= r.from) {
    first = b.run;
  }
  endLine(first, b.ink);
  for (std::size_t i = first; i < out_.runs.size(); ++i) out_.runs[i].x -= b.x;
  x_ -= b.x;
  ink_ = std::max(0.0, ink_ - b.x);
}

void Layouter::endLine(std::size_t firstNext, double width) {
  double h = 0;
  for (std::size_t i = lineFirst_; i < firstNext; ++i) h = std::max(h, out_.runs[i].height);
  lineHeights_.push_back(h > 0 ? h : st_.height);
  TextLine& l = out_.lines.emplace_back();
  l.firstRun = static_cast<std::uint32_t>(lineFirst_);
  l.width = width;
  lineFirst_ = firstNext;
  open_ = open_ && firstNext < out_.runs.size();
}

double Layouter::widthOf(std::string_view utf8, const Style& s) const {
  return TextWidth(utf8) * s.height * s.widthFactor * s.tracking;
}

// A run of its own, which the next character does not continue.
TextRun* Layouter::placeRun(std::string_view utf8, const Style& s, double x, double y, std::uint8_t lines) {
  open_ = false;
  if (utf8.empty()) return nullptr;
  if (out_.chars.size() + utf8.size() > kMostChars) {
    full_ = true;
    return nullptr;
  }
  TextRun& r = newRun(s, x, y);
  r.lines = static_cast<std::uint8_t>(r.lines | lines);
  out_.chars.append(utf8);
  r.to = static_cast<std::uint32_t>(out_.chars.size());
  r.width = widthOf(utf8, s);
  return &r;
}

// A stacked fraction: "a/b" above and below a bar, "a^b" above and below
// each other, "a#b" side by side with a slash.
void Layouter::stack(std::string_view expr) {
  std::string upper, lower;
  char kind = 0;
  for (std::size_t i = 0; i < expr.size(); ++i) {
    char c = expr[i];
    if (c == '\\' && i + 1 < expr.size()) {
      c = expr[++i];
    } else if (!kind && (c == '/' || c == '^' || c == '#')) {
      kind = c;
      continue;
    }
    (kind ? lower : upper) += c;
  }
  auto trim = [](std::string& s) {
    const std::string_view t = Trim(s);
    s = std::string(t);
  };
  trim(upper), trim(lower);
  if (upper.empty() && lower.empty()) return;
  Style small = st_;
  small.height = st_.height * kStackScale;
  const double h = st_.height;
  const double wu = widthOf(upper, small), wl = widthOf(lower, small);
  if (kind == '#') {
    const double ws = widthOf("/", st_);
    const double w = wu + ws + wl;
    if (wrapAt_ > 0 && canBreak_ && x_ + w > wrapAt_) wrap();
    placeRun(upper, small, x_, 0.4 * h);
    placeRun("/", st_, x_ + wu, 0);
    placeRun(lower, small, x_ + wu + ws, 0);
    x_ += w;
  } else {
    const double w = std::max(wu, wl);
    if (wrapAt_ > 0 && canBreak_ && x_ + w > wrapAt_) wrap();
    const bool centred = kind == '/';
    const double bar = 0.45 * h, gap = 0.15 * small.height;
    placeRun(upper, small, x_ + (centred ? (w - wu) / 2 : 0), bar + gap);
    // Holds the bar, and the slash of what the text says.
    if (TextRun* r = placeRun("/", st_, x_, bar, static_cast<std::uint8_t>(kHidden | (kind == '/' ? kFractionBar : 0))))
      r->width = w;
    placeRun(lower, small, x_ + (centred ? (w - wl) / 2 : 0), bar - gap - small.height);
    x_ += w;
  }
  ink_ = x_;
}

// "%%" codes at s[i]: true when one was taken (i moved past it).
bool Layouter::percent(std::string_view s, std::size_t& i) {
  if (i + 2 >= s.size() || s[i + 1] != '%') return false;
  const char k = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i + 2])));
  switch (k) {
    case 'c': character("\xC3\x98", 0xD8); break;    // Ø, the diameter
    case 'd': character("\xC2\xB0", 0xB0); break;    // °
    case 'p': character("\xC2\xB1", 0xB1); break;    // ±
    case '%': character("%", '%'); break;
    case 'u': st_.lines ^= kUnderline; break;
    case 'o': st_.lines ^= kOverline; break;
    case 'k': st_.lines ^= kStrikeThrough; break;
    default: {
      // "%%nnn": the character of that number.
      std::size_t j = i + 2;
      int n = 0;
      while (j < s.size() && j < i + 5 && std::isdigit(static_cast<unsigned char>(s[j]))) n = n * 10 + (s[j++] - '0');
      if (j == i + 2) return false;
      const std::string utf8 =
          n < 256 ? DecodeUnicode(std::string(1, static_cast<char>(n)), TextEncoding::Ansi) : [n] {
            std::string u;
            u += static_cast<char>(0xC0 | n >> 6);
            u += static_cast<char>(0x80 | (n & 0x3F));
            return u;
          }();
      std::size_t at = 0;
      if (n >= 0x20) character(utf8, NextChar(utf8, at));
      i = j;
      return true;
    }
  }
  i += 3;
  return true;
}

// The formatting code after the backslash at s[i - 1]; i moves past it.
void Layouter::code(std::string_view s, std::size_t& i) {
  if (i >= s.size()) return;  // a backslash at the end shows nothing
  const char c = s[i++];
  auto skipPast = [&](char end) {
    const std::size_t at = s.find(end, i);
    i = at == std::string_view::npos ? s.size() : at + 1;
  };
  double v = 0;
  bool relative = false;
  switch (c) {
    case '\\':
    case '{':
    case '}': character(s.substr(i - 1, 1), static_cast<unsigned char>(c)); break;
    case 'P':
    case 'N':  // a new column: we have one
    case 'X': paragraph(); break;
    case '~': character(" ", 0xA0); break;
    case 'L': st_.lines |= kUnderline; break;
    case 'l': st_.lines &= ~kUnderline; break;
    case 'O': st_.lines |= kOverline; break;
    case 'o': st_.lines &= ~kOverline; break;
    case 'K': st_.lines |= kStrikeThrough; break;
    case 'k': st_.lines &= ~kStrikeThrough; break;
    case 'f':
    case 'F':  // the font: we draw in ours
    case 'p':  // paragraph indents, tabs and alignment
      skipPast(';');
      break;
    case 'H':
      if (ReadNumber(s, i, v, relative))
        st_.height = Clamp(relative ? st_.height * std::abs(v) : std::abs(v), base_ / kMostFactor, base_ * kMostFactor);
      skipTerminator(s, i);
      break;
    case 'W':
      if (ReadNumber(s, i, v, relative))
        st_.widthFactor = Clamp(relative ? st_.widthFactor * std::abs(v) : std::abs(v), 0.01, 100);
      skipTerminator(s, i);
      break;
    case 'T':
      if (ReadNumber(s, i, v, relative))
        st_.tracking = Clamp(relative ? st_.tracking * std::abs(v) : std::abs(v), 0.5, 4);
      skipTerminator(s, i);
      break;
    case 'Q':
      if (ReadNumber(s, i, v, relative)) st_.oblique = Clamp(v, -85, 85);
      skipTerminator(s, i);
      break;
    case 'C':
    case 'c':
      if (ReadNumber(s, i, v, relative) && v >= 0 && v < 1 << 24) {
        const auto n = static_cast<std::int32_t>(v);
        if (c == 'c') {
          // Red in the lowest byte.
          st_.rgb = (n & 0xFF) << 16 | (n & 0xFF00) | (n >> 16 & 0xFF);
        } else {
          st_.aci = n >= 1 && n <= 255 ? n : -1;  // 0 and 256: the text's own
          st_.rgb = -1;
        }
      }
      skipTerminator(s, i);
      break;
    case 'A':  // where in the line: we keep the baseline
      if (i < s.size() && s[i] >= '0' && s[i] <= '2') ++i;
      skipTerminator(s, i);
      break;
    case 'S': {
      // Up to a ";" that no backslash escapes.
      std::size_t end = i;
      while (end < s.size() && s[end] != ';') end += s[end] == '\\' ? 2 : 1;
      end = std::min(end, s.size());
      stack(s.substr(i, end - i));
      i = std::min(end + 1, s.size());
      break;
    }
    default:
      // Not a code we know: shown as it stands.
      --i;
      character("\\", '\\');
      break;
  }
}

void Layouter::read(std::string_view s) {
  s = s.substr(0, kMostInput);
  const bool m = p_.mtext;
  for (std::size_t i = 0; i < s.size() && !full_;) {
    const char c = s[i];
    if (m && c == '\\') {
      ++i;
      code(s, i);
    } else if (m && c == '{') {
      if (depth_ < kMostDepth) saved_.push_back(st_);
      ++depth_, ++i;
    } else if (m && c == '}') {
      if (depth_ > 0) {
        if (depth_ <= kMostDepth) {
          st_ = saved_.back();
          saved_.pop_back();
        }
        --depth_;
      }
      ++i;
    } else if (c == '%' && percent(s, i)) {
    } else if (c == '^' && i + 1 < s.size() && s[i + 1] == ' ') {
      // A caret itself.
      i += 2;
      character("^", '^');
    } else if (const bool caret = c == '^' && i + 1 < s.size() && s[i + 1] >= '@' && s[i + 1] <= '_';
               caret || static_cast<unsigned char>(c) < 0x20) {
      // A control character, as it stands or in caret notation ("^I" a
      // tab, "^J" a line feed).
      const char k = caret ? static_cast<char>(s[i + 1] - 0x40) : c;
      i += caret ? 2 : 1;
      if (k == '\t')
        tab();
      else if (k == '\n' && m)
        paragraph();
      else if (k != '\r')
        character(" ", ' ', m);
    } else {
      const std::size_t at = i;
      const char32_t cp = NextChar(s, i);
      if (cp == 0xFFFD && i == at + 1 && static_cast<unsigned char>(c) >= 0x80)
        character("\xEF\xBF\xBD", cp);
      else
        character(s.substr(at, i - at), cp, m && c == ' ');
    }
  }
}

void Layouter::finishSingle() {
  endLine(out_.runs.size(), x_);
  const double w = x_;
  double ax = 0, ay = 0;  // the anchor, in the layout
  double px = 0, py = 0;  // where it goes, in the frame
  double angle = 0, sx = 1, sy = 1;
  const double h = base_;
  const int halign = p_.halign, valign = halign >= 3 ? 0 : p_.valign;
  const double reach = std::hypot(p_.alignX, p_.alignY);
  if (fitted_ && w > 0 && reach > 0 && std::isfinite(reach)) {
    // Between the insertion point and the second point: aligned keeps the
    // letters' proportions, fit only stretches them.
    angle = std::atan2(p_.alignY, p_.alignX);
    sx = reach / w;
    sy = halign == 3 ? sx : 1;
    ax = w / 2;
    px = p_.alignX / 2, py = p_.alignY / 2;
  } else {
    if (halign == 1 || halign == 4 || (fitted_ && w > 0)) ax = w / 2;
    if (halign == 2) ax = w;
    if (valign == 1) ay = -kDescent * h;
    if (valign == 2) ay = h / 2;
    if (valign == 3) ay = h;
    if (halign == 4) ay = (1 - kDescent) * h / 2;  // the middle of the text's height
    // A text not left on its baseline stands on its second alignment point.
    if ((halign != 0 || valign != 0) && p_.alignSeen && !fitted_) px = p_.alignX, py = p_.alignY;
  }
  if (p_.generation & 2) sx = -sx;  // mirrored left to right
  if (p_.generation & 4) sy = -sy;  // upside down
  const double c = angle == 0 ? 1 : std::cos(angle), s = angle == 0 ? 0 : std::sin(angle);
  out_.place = {c * sx, s * sx, -s * sy, c * sy, px - (c * sx * ax - s * sy * ay), py - (s * sx * ax + c * sy * ay)};
}

void Layouter::finishMulti() {
  endLine(out_.runs.size(), ink_);
  const double spacing = Clamp(p_.lineSpacing, 0.25, 4);
  std::vector<TextLine>& lines = out_.lines;
  double top = 0, widest = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    lines[k].baseline = top - lineHeights_[k];
    top -= kLinePitch * spacing * lineHeights_[k];
    widest = std::max(widest, lines[k].width);
  }
  const double height = lines.empty() ? 0 : -lines.back().baseline;
  const int a = p_.attachment >= 1 && p_.attachment <= 9 ? p_.attachment - 1 : 0;
  const int across = a % 3, down = a / 3;  // left, centre, right; top, middle, bottom
  const double box = wrapAt_ > 0 ? wrapAt_ : widest;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const double x0 = across == 0 ? 0 : across == 1 ? (box - lines[k].width) / 2 : box - lines[k].width;
    const std::size_t end = k + 1 < lines.size() ? lines[k + 1].firstRun : out_.runs.size();
    for (std::size_t i = lines[k].firstRun; i < end; ++i) {
      out_.runs[i].x += x0;
      out_.runs[i].y += lines[k].baseline;
    }
  }
  const double ax = across * box / 2, ay = down == 0 ? 0 : down == 1 ? -height / 2 : -height;
  out_.place = {1, 0, 0, 1, -ax, -ay};
}

// The lines of the runs, and the box of it all.
void Layouter::decorate() {
  auto stroke = [&](const TextRun& r, double at) {
    out_.strokes.push_back({r.x, r.y + at * r.height, r.x + r.width, r.y + at * r.height, kThickness * r.height,
                            r.aci, r.rgb});
  };
  for (const TextRun& r : out_.runs) {
    if (r.lines & kFractionBar) stroke(r, 0);
    if (r.lines & kHidden) continue;
    if (r.lines & kUnderline) stroke(r, kUnderlineAt);
    if (r.lines & kOverline) stroke(r, kOverlineAt);
    if (r.lines & kStrikeThrough) stroke(r, kStrikeAt);
  }
  bool any = false;
  auto add = [&](double x0, double y0, double x1, double y1) {
    if (!any) {
      out_.minx = x0, out_.miny = y0, out_.maxx = x1, out_.maxy = y1;
      any = true;
      return;
    }
    out_.minx = std::min(out_.minx, x0), out_.miny = std::min(out_.miny, y0);
    out_.maxx = std::max(out_.maxx, x1), out_.maxy = std::max(out_.maxy, y1);
  };
  for (const TextRun& r : out_.runs) {
    if ((r.lines & kHidden) || r.from == r.to) continue;
    // A slanted letter leans out of its advance above the baseline.
    const double lean = r.oblique == 0 ? 0 : std::tan(r.oblique * kPi / 180) * r.height;
    add(r.x + std::min({0.0, lean, -kDescent * lean}), r.y - kDescent * r.height,
        r.x + r.width + std::max({0.0, lean, -kDescent * lean}), r.y + r.height);
  }
  for (const TextStroke& s : out_.strokes)
    add(std::min(s.x0, s.x1), std::min(s.y0, s.y1) - s.thickness / 2, std::max(s.x0, s.x1),
        std::max(s.y0, s.y1) + s.thickness / 2);
  out_.empty = !any;
}

void Layouter::finish() {
  if (p_.mtext)
    finishMulti();
  else
    finishSingle();
  decorate();
  // A text without height shows nothing.
  if (!(base_ > 0)) out_.empty = true;
  for (const double v : out_.place)
    if (!std::isfinite(v)) out_.empty = true;
}

}  // namespace

std::array<Point2, 4> TextLayout::corners() const {
  return {toFrame(minx, miny), toFrame(maxx, miny), toFrame(maxx, maxy), toFrame(minx, maxy)};
}

double TextWidth(std::string_view utf8) {
  double units = 0;
  for (std::size_t i = 0; i < utf8.size();) units += Advance(NextChar(utf8, i));
  return units / kCap;
}

void LayOutText(std::string_view utf8, const TextParams& params, TextLayout& out) {
  Layouter l(params, out);
  l.read(utf8);
  l.finish();
}

void LayOutText(const Drawing& d, const tpoly& p, TextLayout& out) {
  const TextData& t = d.text(p);
  TextParams s;
  // Without a height of its own, the usual one.
  s.height = p.radiuslinenr > 0 ? std::abs(p.radius) : 2.5;
  s.mtext = p.ismtext();
  s.widthFactor = t.widthFactor;
  s.oblique = t.oblique;
  s.halign = t.halign, s.valign = t.valign, s.generation = t.generation;
  s.attachment = t.attachment, s.boxWidth = t.boxWidth, s.lineSpacing = t.lineSpacing;
  if (t.alignSeen && p.anzp > 0) {
    // The second point in the text's frame: the offset from the insertion
    // point in units along its baseline and its upright.
    const Tmypoi& at = d.ps(p)[0];
    const double vx = t.alignx - at.x, vy = t.aligny - at.y;
    const double det = t.xdirx * t.ydiry - t.xdiry * t.ydirx;
    if (std::abs(det) > 1e-12) {
      s.alignX = (vx * t.ydiry - vy * t.ydirx) / det;
      s.alignY = (t.xdirx * vy - t.xdiry * vx) / det;
      s.alignSeen = std::isfinite(s.alignX) && std::isfinite(s.alignY);
    }
  }
  // What is read of a text: plain ASCII as it stands, anything else decoded.
  const std::string_view raw = std::string_view(t.textstr).substr(0, kMostInput);
  const bool plain = std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }) &&
                     raw.find("\\U+") == std::string_view::npos;
  if (plain) {
    LayOutText(raw, s, out);
  } else {
    LayOutText(DecodeUnicode(raw, d.dxf.encoding), s, out);
  }
}

double TextReach(const Drawing& d, const tpoly& p) {
  constexpr double kFar = std::numeric_limits<double>::infinity();
  const TextData& t = d.text(p);
  const std::string_view raw = std::string_view(t.textstr).substr(0, kMostInput);
  if (p.anzp == 0 || (!p.ismtext() && (t.halign == 3 || t.halign == 5))) return kFar;
  const double h = p.radiuslinenr > 0 ? std::abs(p.radius) : 2.5;
  // How much higher, wider and further apart than the text's own its
  // letters may get through codes: relative ones multiply.
  double high = 1, wide = 1, apart = 1;
  if (p.ismtext()) {
    double highest = 1, widest = 1, furthest = 1;
    for (std::size_t at = raw.find('\\'); at != std::string_view::npos && at + 1 < raw.size();
         at = raw.find('\\', at + 2)) {
      const char c = raw[at + 1];
      std::size_t i = at + 2;
      double v = 0;
      bool relative = false;
      if ((c != 'H' && c != 'W' && c != 'T') || !ReadNumber(raw, i, v, relative)) continue;
      double& most = c == 'H' ? highest : c == 'W' ? widest : furthest;
      double& factor = c == 'H' ? high : c == 'W' ? wide : apart;
      if (relative)
        factor = std::min(factor * std::max(std::abs(v), 1.0), kMostFactor);
      else
        most = std::max(most, c == 'H' && h > 0 ? std::abs(v) / h : std::abs(v));
    }
    high = std::min(high * highest, kMostFactor), wide = std::min(wide * widest, 100.0);
    apart = std::min(apart * furthest, 4.0);
  } else {
    wide = Clamp(t.widthFactor, 1 / kMostFactor, kMostFactor);
  }
  // Every byte may be a character, none wider than 1.6 capitals (a tab 4),
  // or a line of its own.
  const bool tabs = raw.find_first_of("\t^") != std::string_view::npos;
  const double n = static_cast<double>(raw.size()) + 1;
  const double tall = h * high;
  // Slanted letters lean out of their advance.
  const double slant = p.ismtext() && raw.find("\\Q") != std::string_view::npos ? 85 : std::min(std::abs(t.oblique), 85.0);
  double reach = n * (tabs ? 4 : 1.6) * tall * wide * apart + (2 + std::tan(slant * kPi / 180)) * tall;
  if (p.ismtext()) reach += std::max(t.boxWidth, 0.0) + n * kLinePitch * Clamp(t.lineSpacing, 0.25, 4) * tall;
  if (t.alignSeen) reach += std::hypot(t.alignx - d.ps(p)[0].x, t.aligny - d.ps(p)[0].y);
  return std::isfinite(reach) ? reach : kFar;
}

bool TextCorners(const Drawing& d, const tpoly& p, TextLayout& scratch, std::array<Point3, 4>& corners) {
  if (!p.istext() || p.anzp == 0 || d.text(p).invisible) return false;
  LayOutText(d, p, scratch);
  if (scratch.empty) return false;
  const TextData& t = d.text(p);
  const Tmypoi& at = d.ps(p)[0];
  const std::array<Point2, 4> frame = scratch.corners();
  for (std::size_t k = 0; k < 4; ++k) {
    const Point2 f = frame[k];
    corners[k] = {at.x + f.x * t.xdirx + f.y * t.ydirx, at.y + f.x * t.xdiry + f.y * t.ydiry, at.z};
    if (!std::isfinite(corners[k].x) || !std::isfinite(corners[k].y)) return false;
  }
  return true;
}

std::string PlainText(std::string_view utf8, bool mtext) {
  TextParams s;
  s.height = 1;
  s.mtext = mtext;
  TextLayout l;
  LayOutText(utf8, s, l);
  std::string out;
  for (std::size_t k = 0; k < l.lines.size(); ++k) {
    if (k > 0) out += '\n';
    const std::size_t end = k + 1 < l.lines.size() ? l.lines[k + 1].firstRun : l.runs.size();
    for (std::size_t i = l.lines[k].firstRun; i < end; ++i) out += l.text(l.runs[i]);
  }
  return out;
}

}  // namespace vestrel
