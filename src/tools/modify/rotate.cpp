// "Rotieren", "Skalieren" and "Spiegeln": the selection turned about a
// point towards a second one, scaled about a point by the distance to a
// second one, or mirrored across the line through two. Rotation and scale
// can ask for their value after the base point instead (menu "Optionen").
#include <cmath>

#include "tools/modify/picking.h"

namespace vestrel {

void Editor::RotateBtnClick() { ArmEdit(*this, &ToolState::inrotateselect, &ToolState::inrotateline); }
void Editor::ScaleBtnClick() { ArmEdit(*this, &ToolState::inscaleselect, &ToolState::inscaleline); }
void Editor::MirrorBtnClick() { ArmEdit(*this, &ToolState::inmirrorselect, &ToolState::inmirrorline); }

void RotatePicked(Editor& e, const Click&) { EndPicking(e, &ToolState::inrotateselect, &ToolState::inrotateline); }
void ScalePicked(Editor& e, const Click&) { EndPicking(e, &ToolState::inscaleselect, &ToolState::inscaleline); }
void MirrorPicked(Editor& e, const Click&) { EndPicking(e, &ToolState::inmirrorselect, &ToolState::inmirrorline); }

void RotateClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  auto turn = [&](Point2 p) { return RotateObjects(e.doc, t.linesx, t.linesy, p.x, p.y, kRotate); };
  TwoPoints(e, c, &ToolState::inrotateline, turn, [&] {
    if (!t.RotationsrichtungperTastatureingeben) return;
    Asked(e, &ToolState::inrotateline, [&] {
      if (e.platform.ShowRotationDialog(e.dialogs.rotation) != DialogResult::Ok) return EditResult::Unchanged;
      // The typed angle turns clockwise.
      const double r = e.dialogs.rotation.RotEd * kPi / 180;
      return turn({t.linesx + std::cos(r), t.linesy - std::sin(r)});
    });
  });
}

void ScaleClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  auto scale = [&](Point2 p) { return RotateObjects(e.doc, t.linesx, t.linesy, p.x, p.y, kScale); };
  TwoPoints(e, c, &ToolState::inscaleline, scale, [&] {
    if (!t.SkalierungsfaktorperTastatureingeben) return;
    Asked(e, &ToolState::inscaleline, [&] {
      if (e.platform.ShowScaleDialog(e.dialogs.scale) != DialogResult::Ok) return EditResult::Unchanged;
      // Percent; a factor must be above 0 (the distance a negative one
      // gives would scale by its amount).
      const double v = e.dialogs.scale.SkalEd;
      return !std::isfinite(v) ? EditResult::InvalidValue
             : !(v > 0)        ? EditResult::BadFactor
                               : scale({t.linesx + v / 100, t.linesy});
    });
  });
}

void MirrorClick(Editor& e, const Click& c) {
  const ToolState& t = e.tool;
  TwoPoints(e, c, &ToolState::inmirrorline,
            [&](Point2 p) { return RotateObjects(e.doc, t.linesx, t.linesy, p.x, p.y, kMirror); });
}

}  // namespace vestrel
