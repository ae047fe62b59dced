// "Messen" in the menu "Extras": the distance and direction between two
// points, the angle at a vertex, the area and perimeter of clicked points
// or of the selected closed objects (holes subtracted). The result goes to
// the status bar and into its dialog, and stays as named values for the
// replay's `state`.
#include "view/measure.h"

#include <cmath>
#include <string>
#include <vector>

#include "document/tabscope.h"
#include "document/workers.h"
#include "i18n/msg.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

void StartMeasuring(Editor& e, MeasureVariant variant) {
  e.SetAlltoFalse();
  ToolState& t = e.tool;
  t.down = ToolButton::None;
  t.inmeasure = true;
  t.arcmode = variant;
  t.measuring.clear();
  ResetRubberBand(t);
  e.platform.ShowState();
}

// The message `nr` with %1, %2, ... replaced by the values, as the program
// shows measurements.
std::string Filled(Editor& e, int nr, std::initializer_list<double> values) {
  std::string text = e.platform.Message(nr);
  int k = 1;
  for (const double v : values) {
    const std::string mark = "%" + std::to_string(k++);
    if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), FormatFixed(v, 4));
  }
  return text;
}

void Show(Editor& e, std::vector<std::pair<std::string_view, double>> values, const std::string& text) {
  e.tool.measured = std::move(values);
  e.platform.SetStatusText(text);
  e.platform.ShowMeasureDialog(text);
}

void ShowArea(Editor& e, const Surface& s) {
  Show(e, {{"area", s.area}, {"perimeter", s.perimeter}}, Filled(e, msg::MeasuredArea, {s.area, s.perimeter}));
}

// The selected objects of the shown tab, each with the kind it has in the
// text, as contours.
struct Selected {
  std::vector<Contour> contours;
  std::string_view noLength, open;  // the first kind without a length, the first that does not close
};
Selected SelectedContours(const Editor& e) {
  Selected s;
  const Drawing& d = e.drawing;
  const TabScope scope = TabScope::OfTab(d, e.view.tab);
  Blocks blocks(d);
  for (std::size_t i = 0; i < d.polys.size(); ++i) {
    const tpoly& p = d.polys[i];
    if (!p.selected || !scope.inBlock(p)) continue;
    const std::size_t before = s.contours.size();
    const std::string_view kind = d.value(p.linefrom + 1);
    if (!AddContours(d, blocks, i, s.contours, true)) {
      if (s.noLength.empty()) s.noLength = kind;
      continue;
    }
    for (std::size_t k = before; k < s.contours.size(); ++k)
      if (!s.contours[k].closed && s.open.empty()) s.open = kind;
  }
  return s;
}

// The area of the selection: every selected object must close.
void MeasureSelection(Editor& e) {
  const Selected s = SelectedContours(e);
  if (!s.noLength.empty()) return e.platform.ShowMessage(msg::NoLength, s.noLength, MsgIcon::Error);
  if (!s.open.empty()) return e.platform.ShowMessage(msg::NoArea, s.open, MsgIcon::Error);
  ShowArea(e, AreaOf(s.contours));
}

void Measured(Editor& e) {
  ToolState& t = e.tool;
  const std::vector<Point2>& p = t.measuring;
  if (t.arcmode == kMeasureDistance) {
    const Distance d = DistanceOf(p[0], p[1]);
    Show(e, {{"distance", d.distance}, {"dx", d.dx}, {"dy", d.dy}, {"angle", d.angle}},
         Filled(e, msg::MeasuredDistance, {d.distance, d.dx, d.dy, d.angle}));
  } else if (t.arcmode == kMeasureAngle) {
    const double angle = AngleAt(p[0], p[1], p[2]);
    if (std::isnan(angle)) e.platform.ShowMessage(msg::NoAngle, "", MsgIcon::Error);
    else Show(e, {{"angle", angle}}, Filled(e, msg::MeasuredAngle, {angle}));
  } else {
    const Contour polygon = ContourOf(PolygonPath(p));
    ShowArea(e, {std::abs(polygon.area), polygon.length});
  }
  t.measuring.clear();
}

}  // namespace

void Editor::MessenAbstand1Click() { StartMeasuring(*this, kMeasureDistance); }
void Editor::MessenWinkel1Click() { StartMeasuring(*this, kMeasureAngle); }

void Editor::MessenFlaeche1Click() {
  if (!IsSelected()) return StartMeasuring(*this, kMeasureArea);
  SetAlltoFalse();
  tool.down = ToolButton::None;
  MeasureSelection(*this);
  platform.ShowState();
}

double Editor::SelectedLength() const {
  const TabScope scope = TabScope::OfTab(drawing, view.tab);
  std::vector<std::size_t> selected;
  for (std::size_t i = 0; i < drawing.polys.size(); ++i)
    if (drawing.polys[i].selected && scope.inBlock(drawing.polys[i])) selected.push_back(i);
  if (selectedLength_ && selectedLength_->generation == drawing.generation && selectedLength_->tab == view.tab &&
      selectedLength_->selected == selected)
    return selectedLength_->length;
  // Measured on the machine's cores, every other run of the objects on
  // each; their lengths then added in their order.
  constexpr std::size_t kRun = 256;
  std::vector<std::vector<double>> lengths((selected.size() + kRun - 1) / kRun);
  RunInRuns(
      selected.size(), kRun, WorkerCount(), [&] { return Blocks(drawing); },
      [&](Blocks& blocks, std::size_t run, std::size_t from, std::size_t to) {
        std::vector<Contour> contours;
        for (std::size_t k = from; k < to; ++k) AddContours(drawing, blocks, selected[k], contours, false);
        for (const Contour& c : contours) lengths[run].push_back(c.length);
      });
  double length = 0;
  for (const std::vector<double>& run : lengths)
    for (const double l : run) length += l;
  selectedLength_ = LengthOfSelection{drawing.generation, view.tab, std::move(selected), length};
  return length;
}

int MeasureStep(const ToolState& t) { return static_cast<int>(t.measuring.size()); }

void MeasureEnd(Editor& e) {
  ToolState& t = e.tool;
  e.removeall();
  if (t.arcmode == kMeasureArea && t.measuring.size() >= 3) {
    Measured(e);
    ResetRubberBand(t);
  } else {
    t.inmeasure = false;
    t.measuring.clear();
  }
  e.platform.ShowState();
}

void MeasureClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) return MeasureEnd(e);
  const std::optional<Point2> from = t.measuring.empty() ? std::nullopt : std::optional(t.measuring.back());
  t.measuring.push_back(PointStep(e, from, c));
  const std::size_t needed = t.arcmode == kMeasureDistance ? 2 : t.arcmode == kMeasureAngle ? 3 : 0;
  if (t.measuring.size() == needed) Measured(e);
  ResetRubberBand(t);
  e.platform.ShowState();
}

void MeasurePreview(Editor& e, const Move& m) {
  ToolState& t = e.tool;
  e.removeall();
  if (t.measuring.empty()) {
    PreviewPoint(e, std::nullopt, m);
    t.band.reset();  // no point is fixed yet
    return;
  }
  std::vector<Point2> band;
  for (const Point2 p : t.measuring) band.push_back(m.window.toScreen(p.x, p.y));
  band.push_back(PreviewPoint(e, t.measuring.back(), m));
  // An area shows its polygon closed.
  if (t.arcmode == kMeasureArea && band.size() > 2) band.push_back(band.front());
  BandPolyline(e, band);
}

}  // namespace vestrel
