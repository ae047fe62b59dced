// The property boxes on the selection, and the text edit of a double
// click.
#include <cmath>
#include <iterator>
#include <string>

#include "editing/properties.h"
#include "i18n/msg.h"
#include "tools/screensearch.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

constexpr double kTextReach = 5;       // pixels, in x and in y, from a text's insertion point

// The entry of a box's list, or nothing when the index is outside it.
const std::string* Item(const ItemList& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.items.size()) return nullptr;
  return &list.items[static_cast<std::size_t>(index)];
}

}  // namespace

// With objects selected the boxes set their properties; with none, what
// new objects take.
void Editor::ColorComboBoxChange(int index) {
  // "Wie Ebene", "Wie Block", then the colours 1 to 9.
  if (index < 0 || static_cast<std::size_t>(index) >= bar.ColorComboBox.items.size()) return;
  const int color = index == 0 ? 256 : index - 1;
  if (AnySelected(doc))
    SetColorForObjects(doc, color);
  else
    SetCurrentProperty(doc, current::Color, std::to_string(color));
  Repaint();
}

void Editor::LayerComboChange(int index) {
  if (const std::string* name = Item(bar.LayerCombo, index)) {
    if (AnySelected(doc))
      SetLayerForObjects(doc, *name);
    else
      SetCurrentProperty(doc, current::Layer, *name);
    Repaint();
  }
}

void Editor::LineComboChange(int index) {
  if (const std::string* name = Item(bar.LineCombo, index)) {
    if (AnySelected(doc))
      SetLineTypeForObjects(doc, *name);
    else
      SetCurrentProperty(doc, current::LineType, *name);
    Repaint();
  }
}

void Editor::LineWeightBoxChange(int index) {
  // "Wie Ebene", then the weights in hundredths of a millimetre.
  const bool weight = index > 0 && static_cast<std::size_t>(index) < std::size(kLayerLineWeights);
  if (!AnySelected(doc)) {
    if (drawing.cadver < 1010) return platform.ShowMessage(msg::NoLineWeights, "", MsgIcon::Error);
    SetCurrentProperty(doc, current::LineWeight, weight ? std::to_string(kLayerLineWeights[index]) : "-1");
  } else if (!SetLeineWeightForObjects(doc, std::to_string(weight ? kLayerLineWeights[index] : kLayerLineWeights[0]))) {
    return platform.ShowMessage(msg::NoLineWeights, "", MsgIcon::Error);
  }
  Repaint();
}

void Editor::PaintBox1DblClick() {
  // The first selected text shown whose insertion point lies near the
  // pointer.
  const ScreenSearch s(*this, WindowTransform(views));
  const double x = tool.lastmousex, y = tool.lastmousey;
  int found = -1;
  for (std::size_t i = 0; i < drawing.polys.size() && found < 0; ++i) {
    const tpoly& p = drawing.polys[i];
    if (!p.selected || p.extrakind != ExtraKind::Text || p.anzp < 1 || !s.scope.shows(p)) continue;
    if (drawing.text(p).textstr.empty()) continue;
    const Tmypoi& q = drawing.ps(p)[0];
    if (q.linex <= 0) continue;
    const Point2 at = s.pixel(q);
    if (std::abs(at.x - x) <= kTextReach && std::abs(at.y - y) <= kTextReach) found = static_cast<int>(i);
  }
  if (found < 0) return;
  removeall();
  TextDialogValues& text = dialogs.text;
  text.Memo1 = TextForEditing(drawing, found);
  text.dimension = false;
  text.textChange = true;
  if (platform.ShowTextDialog(text) == DialogResult::Ok) {
    const TextChange r = ChangeText(doc, found, text.Memo1);
    if (r.firstLineOnly) platform.ShowMessage(msg::FirstLineOnly, "", MsgIcon::Error);
    if (r.controlCharacter) platform.ShowMessage(msg::ControlCharacter, "", MsgIcon::Error);
  }
  text.textChange = false;
  // The second press of the double click grabbed the text: that ends too.
  SetAlltoFalse();
  Repaint();
}

}  // namespace vestrel
