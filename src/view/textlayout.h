// Texts as they are shown: the characters of a TEXT, MTEXT or ATTRIB
// broken into lines and runs of one style, measured with the metrics of the
// font they are drawn in (fonttable.h), without a window system.
//
// A layout has its own coordinates, in drawing units: x along the baseline,
// y up, the first line's baseline (single-line texts) or the top of the
// first line (multi-line texts) at y = 0. `place` takes them into the
// text's frame: units along the text's baseline and upright directions
// (TextData::xdir, ydir), from its insertion point. Alignment, the second
// alignment point, fitting and mirroring are all in `place`.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/drawing.h"
#include "geometry/point.h"

namespace vestrel {

// Lines drawn with a run.
enum TextLines : std::uint8_t {
  kUnderline = 1,
  kOverline = 2,
  kStrikeThrough = 4,
  kFractionBar = 8,  // the bar of a stacked fraction, as wide as the run
  kHidden = 16,      // counts as text (PlainText) but is not drawn
};

// Characters of one style on one line.
struct TextRun {
  std::uint32_t from = 0, to = 0;  // TextLayout::chars[from, to), UTF-8
  double x = 0, y = 0;             // where its baseline starts
  double height = 0;               // the height of its capital letters
  double width = 0;                // its advance
  double widthFactor = 1;          // its letters stretched by this
  double oblique = 0;              // its letters slanted by this many degrees
  double tracking = 1;             // its advances stretched by this
  std::int32_t aci = -1;           // a colour number of its own; -1 none
  std::int32_t rgb = -1;           // a colour 0xRRGGBB of its own; -1 none
  std::uint8_t lines = 0;          // TextLines
};

// A straight line of the text: under-, over- and strike-through lines and
// fraction bars.
struct TextStroke {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  double thickness = 0;
  std::int32_t aci = -1, rgb = -1;
};

struct TextLine {
  std::uint32_t firstRun = 0;  // its runs go up to the next line's first
  double baseline = 0;
  double width = 0;  // from its first character to its last, trailing blanks not counted
};

// How a text is laid out: what the entry says, its second alignment point
// already in the text's frame.
struct TextParams {
  double height = 2.5;  // of capital letters
  bool mtext = false;   // multi-line text: formatting codes, wrapping, paragraphs
  double widthFactor = 1, oblique = 0;
  // Single-line texts.
  std::int32_t halign = 0, valign = 0, generation = 0;
  bool alignSeen = false;
  double alignX = 0, alignY = 0;
  // Multi-line texts.
  std::int32_t attachment = 1;
  double boxWidth = 0;  // 0: no wrapping
  double lineSpacing = 1;
};

struct TextLayout {
  std::string chars;
  std::vector<TextRun> runs;
  std::vector<TextStroke> strokes;
  std::vector<TextLine> lines;
  // The box of what is drawn (capital height above the baselines, the
  // descender below), in the layout's coordinates; only when not empty.
  double minx = 0, miny = 0, maxx = 0, maxy = 0;
  bool empty = true;
  // Layout coordinates to frame: fx = a x + c y + e, fy = b x + d y + f.
  std::array<double, 6> place{1, 0, 0, 1, 0, 0};

  Point2 toFrame(double x, double y) const {
    return {place[0] * x + place[2] * y + place[4], place[1] * x + place[3] * y + place[5]};
  }
  std::string_view text(const TextRun& r) const { return std::string_view(chars).substr(r.from, r.to - r.from); }
  // The corners of the box in the frame, counter-clockwise from its lower left.
  std::array<Point2, 4> corners() const;
};

// Baseline to baseline of a multi-line text at line spacing 1, in capital
// heights (the usual "3 on 5" spacing).
inline constexpr double kLinePitch = 5.0 / 3;

// The width of a plain string in capital heights, as the layout measures
// it.
double TextWidth(std::string_view utf8);

// Lays `utf8` out into `out`, whose storage is reused.
void LayOutText(std::string_view utf8, const TextParams& params, TextLayout& out);

// Lays out text entry `p` of drawing `d`: its text decoded from the
// drawing's encoding, its height, alignment and box.
void LayOutText(const Drawing& d, const tpoly& p, TextLayout& out);

// How far from its insertion point what text entry `p` draws can reach,
// told without laying it out: a bound, not its size; infinite when no bound
// is cheap (a text fitted between two points, or one whose codes change
// its height or width).
double TextReach(const Drawing& d, const tpoly& p);

// The four corners of entry `p`'s layout box in the world; false when it
// shows nothing.
bool TextCorners(const Drawing& d, const tpoly& p, TextLayout& scratch, std::array<Point3, 4>& corners);

// What a text shows, its lines separated by "\n": formatting codes
// interpreted, special characters replaced, no wrapping.
std::string PlainText(std::string_view utf8, bool mtext);

}  // namespace vestrel
