// The dimension tool: two clicks give the points measured, the third the
// place of the dimension line; the text dialog then proposes the distance.
// With OK it is written as lines, arrow heads and a text, one undo step;
// cancelled, nothing is written.
#include <algorithm>
#include <cmath>

#include "tools/steps.h"
#include "view/textlayout.h"
#include "writers/annotationwriters.h"

namespace vestrel {

namespace {

// The ends of the dimension line of p1 to p2 that passes through m:
// where the line through m parallel to p1-p2 meets the perpendiculars
// through p1 and p2. The two points measured themselves when they meet.
std::pair<Point2, Point2> DimensionLine(Point2 p1, Point2 p2, Point2 m) {
  const double dx = p2.x - p1.x, dy = p2.y - p1.y, len = std::hypot(dx, dy);
  if (!(len > 0)) return {p1, p2};
  const double nx = -dy / len, ny = dx / len;
  const double off = (m.x - p1.x) * nx + (m.y - p1.y) * ny;
  return {{p1.x + off * nx, p1.y + off * ny}, {p2.x + off * nx, p2.y + off * ny}};
}

// The widest line of a text, in text heights, and its number of lines.
std::pair<double, int> TextBox(std::string_view memo) {
  double widest = 0;
  for (int lines = 1;; ++lines) {
    const std::size_t nl = memo.find('\n');
    widest = std::max(widest, TextWidth(memo.substr(0, nl)));
    if (nl == std::string_view::npos) return {widest, lines};
    memo.remove_prefix(nl + 1);
  }
}

// The dimension line through m into linesx4..linesy5, its middle into
// linesx3/linesy3.
void PlaceDimensionLine(ToolState& t, Point2 m) {
  const auto [a, b] = DimensionLine({t.linesx, t.linesy}, {t.linesx2, t.linesy2}, m);
  t.linesx4 = a.x, t.linesy4 = a.y;
  t.linesx5 = b.x, t.linesy5 = b.y;
  t.linesx3 = (a.x + b.x) / 2, t.linesy3 = (a.y + b.y) / 2, t.linesz3 = 0;
}

void AddDimension(Editor& e) {
  const ToolState& t = e.tool;
  const Point3 p1{t.linesx, t.linesy, 0}, p2{t.linesx2, t.linesy2, 0};
  // The distance is proposed.
  TextDialogValues& text = e.dialogs.text;
  text.Memo1 = DimensionProposal(p1, p2);
  text.dimension = true;
  text.textChange = false;
  const DialogResult answer = e.platform.ShowTextDialog(text);
  text.dimension = false;
  if (answer != DialogResult::Ok) return;
  // A text that cannot be written leaves no lines without it.
  if (TextOfMemo(e.drawing, text.Memo1, SingleLineTexts(e.drawing)).controlCharacter)
    return e.Report(InsertResult::ControlCharacter);
  CodeLines code(e.doc);
  const InsertResult drawn = AddDimensionLines(code, p1, p2, {t.linesx4, t.linesy4}, {t.linesx5, t.linesy5});
  if (drawn != InsertResult::Inserted) return e.Report(drawn);
  // Centred over the line, its last baseline half a text height above it:
  // a single-line text stands on its baseline, a multi-line one hangs from
  // the top of its first line.
  const double h = text.FontSizeDimensionEd;
  const auto [width, lines] = TextBox(text.Memo1);
  const double above = e.drawing.cadver < 1010 ? h / 2 : h / 2 + h + (lines - 1) * kLinePitch * h;
  const TextResult written = AddDialogText(e, code, {t.linesx3 - width * h / 2, t.linesy3 + above}, h);
  const InsertResult r = InsertAndParse(e.doc, code);
  if (r == InsertResult::Inserted && written.firstLineOnly) FirstLineOnly(e);
  e.Report(r);
}

}  // namespace

void Editor::DimensionBtnClick() { Arm(ToolButton::DimensionBtn, tool.arcmode); }

void DimensionFirstClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  t.indim = true;
  t.ellipsemode = 0;
  t.arcmode = 0;
  ResetRubberBand(t);
  FirstClick(e, c);
  e.Release();
}

void DimensionClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) {
    t.indim = false;
    return e.removeall();
  }
  const Point2 p = PointStep(e, c);
  if (t.ellipsemode == 0) {
    t.linesx2 = p.x, t.linesy2 = p.y, t.ellipsemode = 1;
    return;
  }
  // The line goes through the click itself, also when it was typed and no
  // rubber band showed it.
  PlaceDimensionLine(t, p);
  t.indim = false;
  AddDimension(e);
  ResetRubberBand(t);
  e.Repaint();
}

void DimensionPreview(Editor& e, const Move& m) {
  ToolState& t = e.tool;
  const Point2 s1 = m.window.toScreen(t.linesx, t.linesy);
  e.removeall();
  const Point2 p = PreviewPoint(e, Point2{t.linesx, t.linesy}, m);
  if (t.ellipsemode == 0) return BandLine(e, s1, p);
  BandFrom(e, {t.linesx2, t.linesy2});
  PlaceDimensionLine(t, m.window.toWorld(p.x, p.y));
  const Point2 s2 = m.window.toScreen(t.linesx2, t.linesy2);
  const Point2 a = m.window.toScreen(t.linesx4, t.linesy4), b = m.window.toScreen(t.linesx5, t.linesy5);
  BandLine(e, s1, a);
  BandLine(e, s2, b);
  BandLine(e, a, b);
}

}  // namespace vestrel
