#include "editing/splineobject.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "document/numbers.h"
#include "editing/objectmap.h"

namespace vestrel {

Spline SplineOf(const Drawing& d, std::int32_t from, std::int32_t to) {
  int degree = 3;
  std::vector<Point3> controls, fits;
  std::vector<double> knots, weights;
  std::optional<Point3> start, end;
  auto set = [](std::vector<Point3>& v, int axis, double x) {
    if (axis == 0) v.push_back({x, 0, 0});
    else if (!v.empty()) (axis == 1 ? v.back().y : v.back().z) = x;
  };
  auto tangent = [](std::optional<Point3>& t, int axis, double x) {
    if (axis == 0) t = Point3{x, 0, 0};
    else if (t) (axis == 1 ? t->y : t->z) = x;
  };
  for (std::int32_t k = from + 2; k + 1 <= to; k += 2) {
    const auto code = ParseInt(d.value(k));
    const auto v = ParseDouble(d.value(k + 1));
    if (!code || !v) continue;
    switch (*code) {
      case 71: degree = static_cast<int>(*v); break;
      case 40: knots.push_back(*v); break;
      case 41: weights.push_back(*v); break;
      case 10: case 20: case 30: set(controls, *code / 10 - 1, *v); break;
      case 11: case 21: case 31: set(fits, *code / 10 - 1, *v); break;
      case 12: case 22: case 32: tangent(start, *code / 10 - 1, *v); break;
      case 13: case 23: case 33: tangent(end, *code / 10 - 1, *v); break;
      default: break;
    }
  }
  return SplineOfFile(degree, controls, knots, weights, fits, start, end);
}

Spline SplineOf(const Drawing& d, const tpoly& p) { return SplineOf(d, p.linefrom, p.linebis); }

SplineObject ReadSplineObject(const Drawing& d, std::int32_t from, std::int32_t to) {
  SplineObject o;
  o.curve = SplineOf(d, from, to);
  o.cuttable = Cuttable(o.curve);
  int flags = 0;
  for (std::int32_t k = from + 2; k + 1 <= to; k += 2)
    if (GroupCode(d.value(k)) == 70) flags = static_cast<int>(ParseDouble(d.value(k + 1)).value_or(0));
  if (o.cuttable && (flags & 3) != 0) {
    const Point3 a = CurveAndDerivative(o.curve, SplineStart(o.curve)).at;
    const Point3 b = CurveAndDerivative(o.curve, SplineEnd(o.curve)).at;
    double size = 0;
    for (const Point3& c : o.curve.controls) size = std::max(size, std::hypot(c.x - a.x, c.y - a.y, c.z - a.z));
    o.closed = std::hypot(a.x - b.x, a.y - b.y, a.z - b.z) <= 1e-9 * size;
  }
  return o;
}

void WriteSpline(CodeLines& l, const EditUnit& like, const Spline& part, bool copy) {
  const Drawing& d = l.drawing();
  const bool rational = !part.weights.empty();
  // The code lines as the file writes them, for the groups written anew.
  auto codeOf = [&](int g) {
    for (std::int32_t k = like.from + 2; k + 1 <= like.to; k += 2)
      if (GroupCode(d.value(k)) == g) return std::string(d.dxf[static_cast<std::size_t>(k)]);
    return CodeText(g);
  };
  // Weights one after another (before the controls, or after them as the
  // file has them), or each after its control.
  std::int32_t firstControl = -1, firstWeight = -1;
  bool counts[3] = {false, false, false};
  for (std::int32_t k = like.from + 2; k + 1 <= like.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (g == 10 && firstControl < 0) firstControl = k;
    if (g == 41 && firstWeight < 0) firstWeight = k;
    if (g >= 72 && g <= 74) counts[g - 72] = true;
  }
  const bool weightsBefore = firstWeight < 0 || firstControl < 0 || firstWeight < firstControl;
  const bool eachAfter = !weightsBefore && [&] {
    // Interleaved when a control follows the first weight.
    for (std::int32_t k = firstWeight; k + 1 <= like.to; k += 2)
      if (GroupCode(d.value(k)) == 10) return true;
    return false;
  }();
  bool knotsDone = false, weightsDone = !rational, controlsDone = false;
  const std::string c40 = codeOf(40), c41 = codeOf(41), c10 = codeOf(10), c20 = codeOf(20), c30 = codeOf(30);
  auto knots = [&] {
    if (knotsDone) return;
    knotsDone = true;
    if (!counts[0]) l.add(codeOf(72), static_cast<int>(part.knots.size()));
    if (!counts[1]) l.add(codeOf(73), static_cast<int>(part.controls.size()));
    for (const double k : part.knots) l.add(c40, k);
  };
  auto weights = [&] {
    if (weightsDone) return;
    weightsDone = true;
    for (const double w : part.weights) l.add(c41, w);
  };
  auto controls = [&] {
    if (controlsDone) return;
    knots();
    if (weightsBefore) weights();
    controlsDone = true;
    for (std::size_t i = 0; i < part.controls.size(); ++i) {
      l.add(c10, part.controls[i].x);
      l.add(c20, part.controls[i].y);
      l.add(c30, part.controls[i].z);
      if (eachAfter && rational) l.add(c41, part.weights[i]);
    }
    if (eachAfter) weightsDone = true;
  };
  bool skipping = false;
  l.add(d.dxf[static_cast<std::size_t>(like.from)], d.dxf[static_cast<std::size_t>(like.from) + 1]);
  for (std::int32_t k = like.from + 2; k + 1 <= like.to; k += 2) {
    const int g = GroupCode(d.value(k));
    const std::string_view code = d.dxf[static_cast<std::size_t>(k)], value = d.dxf[static_cast<std::size_t>(k) + 1];
    if (copy) {
      if (g == 102) {
        skipping = d.value(k + 1).starts_with('{');
        continue;
      }
      if (skipping) continue;
      if (g == 5) {
        l.addHandle();
        continue;
      }
    }
    switch (g) {
      case 70: {
        const int flags = static_cast<int>(ParseDouble(d.value(k + 1)).value_or(0));
        l.add(code, (flags & ~(1 | 2 | 4)) | (rational ? 4 : 0));
        break;
      }
      // (A curve through fit points alone is a cubic, whatever degree the
      // file gives.)
      case 71: l.add(code, part.order - 1); break;
      case 72: l.add(code, static_cast<int>(part.knots.size())); break;
      case 73: l.add(code, static_cast<int>(part.controls.size())); break;
      case 74: l.add(code, 0); break;
      case 40: knots(); break;
      case 41: if (!eachAfter) weights(); break;
      case 10: case 20: case 30: controls(); break;
      // The fit points, their tangents and tolerance describe the old curve.
      case 11: case 21: case 31: case 12: case 22: case 32: case 13: case 23: case 33: case 44: break;
      case 1001: controls(), weights(), l.add(code, value); break;
      default: l.add(code, value);
    }
  }
  controls();
  weights();
}

}  // namespace vestrel
