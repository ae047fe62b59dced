// "Zuschnitt prüfen" in the menu "Extras": the shown tab checked for
// cutting machines in its dialog, what the check found marked in the
// drawing area (until the drawing changes, another tab shows or the check
// runs again), and the view zoomed to a finding on request.
#include <cmath>
#include <string>

#include "document/numbers.h"
#include "file/encoding.h"
#include "i18n/msg.h"
#include "tools/editor.h"
#include "view/cutmarks.h"
#include "view/transform.h"

namespace vestrel {

namespace {

std::string Fixed(double v) { return FormatFixed(v, 4); }

// The names of the kinds of findings, then "Teil" and "Gesamt", in the
// language in force.
std::vector<std::string> Labels(Editor& e) {
  std::vector<std::string> labels;
  const std::string all = e.platform.Message(msg::CutCheckLabels);
  for (std::size_t from = 0; from <= all.size();) {
    const std::size_t to = std::min(all.find(';', from), all.size());
    labels.push_back(all.substr(from, to - from));
    from = to + 1;
  }
  labels.resize(CutFinding::kKinds + 2);
  return labels;
}

// What a finding's figure is: a gap, a distance or a length; nothing for
// the kinds that have none.
bool HasWidth(CutFinding::Kind k) {
  using K = CutFinding::Kind;
  return k != K::ZeroLength && k != K::SelfCrossing && k != K::NotCut;
}

CutFigureRow FigureRow(std::string part, const CutFigures& f) {
  const CutBox& b = f.box;
  return {std::move(part), Fixed(f.length), std::to_string(f.pierces), Fixed(f.area),
          b.empty ? std::string() : Fixed(b.minx) + ", " + Fixed(b.miny) + " – " + Fixed(b.maxx) + ", " + Fixed(b.maxy)};
}

// What is said of `count` rows left out of a list; nothing for none.
std::string LeftOut(Editor& e, std::size_t count) {
  if (count == 0) return {};
  std::string text = e.platform.Message(msg::CutRowsLeftOut);
  if (const auto at = text.find("%1"); at != std::string::npos) text.replace(at, 2, std::to_string(count));
  return text;
}

void Fill(Editor& e, const CutCheck& c, CutCheckDialogValues& v) {
  const std::vector<std::string> labels = Labels(e);
  v.errors.clear(), v.notCut.clear();
  std::size_t errorsLeftOut = 0, notCutLeftOut = 0;
  for (std::size_t i = 0; i < c.findings.size(); ++i) {
    const CutFinding& f = c.findings[i];
    const bool error = f.kind != CutFinding::Kind::NotCut;
    std::vector<CutFindingRow>& rows = error ? v.errors : v.notCut;
    if (rows.size() == kCutRowsShown) {
      ++(error ? errorsLeftOut : notCutLeftOut);
      continue;
    }
    rows.push_back({labels[static_cast<std::size_t>(f.kind)], Fixed(f.at.x) + ", " + Fixed(f.at.y),
                    HasWidth(f.kind) ? Fixed(f.width) : std::string(), DecodeUnicode(f.type, e.drawing.dxf.encoding),
                    i});
  }
  v.errorsLeftOut = LeftOut(e, errorsLeftOut);
  v.notCutLeftOut = LeftOut(e, notCutLeftOut);
  v.summary = e.platform.Message(c.ready() ? msg::ReadyToCut : msg::NotReadyToCut);
  v.figures.clear();
  const std::size_t parts = std::min(c.parts.size(), kCutRowsShown);
  for (std::size_t i = 0; i < parts; ++i)
    v.figures.push_back(FigureRow(labels[CutFinding::kKinds] + " " + std::to_string(i + 1), c.parts[i]));
  v.partsLeftOut = LeftOut(e, c.parts.size() - parts);
  v.figures.push_back(FigureRow(labels[CutFinding::kKinds + 1], c.total));
}

class CutCheckRun final : public CutCheckSteps {
 public:
  explicit CutCheckRun(Editor& e) : e_(e) {}

  void Check(CutCheckDialogValues& v) override {
    if (!std::isfinite(v.ToleranzEd) || v.ToleranzEd < 0) v.ToleranzEd = kCutTolerance;
    const std::uint64_t run = e_.cutchecked ? e_.cutchecked->run + 1 : 1;
    Editor::CutChecked& c = e_.cutchecked.emplace();
    c.check = CheckCut(e_.drawing, e_.view.tab, v.ToleranzEd);
    c.generation = e_.drawing.generation;
    c.tab = e_.view.tab;
    c.run = run;
    Fill(e_, c.check, v);
    e_.Repaint();
  }

  void ShowFinding(std::size_t finding) override {
    const CutCheck* c = e_.CutMarksShown();
    if (!c || finding >= c->findings.size()) return;
    const auto [a, b] = CutZoomWindow(c->findings[finding], c->total.box);
    RememberView(e_.views);
    ZoomWindow(e_.views, a, b);
    e_.RepaintView();
  }

 private:
  Editor& e_;
};

}  // namespace

const CutCheck* Editor::CutMarksShown() const {
  if (!cutchecked || cutchecked->generation != drawing.generation || cutchecked->tab != view.tab) return nullptr;
  return &cutchecked->check;
}

void Editor::ZuschnittPruefen1Click() {
  SetAlltoFalse();
  CutCheckDialogValues v;
  v.ToleranzEd = dialogs.cutTolerance;
  CutCheckRun steps(*this);
  steps.Check(v);
  platform.ShowCutCheckDialog(v, steps);
  dialogs.cutTolerance = v.ToleranzEd;
}

}  // namespace vestrel
