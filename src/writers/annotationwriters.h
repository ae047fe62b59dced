// The writers of texts, arrow heads, dimensions and splines: like the
// entity writers, each adds its lines to a list (see CodeLines).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "geometry/point.h"
#include "writers/insertcode.h"

namespace vestrel {

struct TextResult {
  // NothingToWrite when the text is empty.
  InsertResult result = InsertResult::NothingToWrite;
  // The drawing holds single-line texts only and the memo had more lines:
  // only its first line was written.
  bool firstLineOnly = false;
};

// The content of a text as the drawing holds it, made of a memo's lines
// (separated by "\n", "\r\n" or "\r"; a break at the very end ends the
// last line): a multi-line text has every line ended by "\P", cut in chunks
// of at most 250 characters (groups 3, then the last one group 1); a
// single-line text the first line only. Other control characters are
// written in caret notation ("^I" for a tab, a caret itself "^ ",
// CaretEncoded); characters the drawing cannot hold become "\U+XXXX"
// escapes, and a chunk never ends inside either. No chunks when there is
// no text, nor when a line holds a control character that has no caret
// notation (DEL, U+0080 to U+009F).
struct TextGroups {
  std::vector<std::string> chunks;
  bool firstLineOnly = false;     // single-line, and the memo had more lines
  bool controlCharacter = false;  // refused: a control character without notation
};
TextGroups TextOfMemo(const Drawing& d, std::string_view memo, bool single);

// Whether the drawing holds single-line texts only (R12).
inline bool SingleLineTexts(const Drawing& d) { return d.cadver < 1010; }

// A text at p, `height` high, turned by `angleDegrees`, of the memo's
// lines: newer drawings get a multi-line text, R12 drawings a single-line
// text of the first line (TextOfMemo). Nothing is written when there is no
// text, nor (ControlCharacter) when TextOfMemo refuses it.
TextResult AddText(CodeLines& l, Point3 p, double height, std::string_view memo, double angleDegrees);

// A text as one step (see Write).
TextResult WriteText(DocumentContext& c, Point3 p, double height, std::string_view memo, double angleDegrees);

// A filled arrow head 0.17 long with its tip at `tip`, its back towards
// `toward`. Nothing when the two are the same point.
InsertResult AddArrowToLine(CodeLines& l, Point2 tip, Point2 toward);

// The lines of a dimension of p1 to p2 whose dimension line runs from a to
// b: the extension lines p1-a and p2-b, the dimension line and an arrow
// head at either end of it, pointing outwards (none when a and b meet).
// Nothing is written when a value is not finite. Its text is the caller's
// (DimensionProposal, AddText), in the same list.
InsertResult AddDimensionLines(CodeLines& l, Point3 p1, Point3 p2, Point2 a, Point2 b);

// The text proposed for a dimension of p1 to p2: their distance with two
// decimals ("5.00").
std::string DimensionProposal(Point3 p1, Point3 p2);

// The spline through the clicks of the spline tool (SplineOfClicks says
// what `splinemode` makes of them); closed when `closed`. NotInThisVersion
// for an R12 drawing, NothingToWrite for fewer than two points besides the
// direction handles.
InsertResult AddSPLINE(CodeLines& l, const std::vector<PolyVertex>& polyline0, int splinemode, bool closed);

}  // namespace vestrel
