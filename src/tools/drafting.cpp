#include "tools/drafting.h"

#include <algorithm>
#include <cmath>

#include "document/numbers.h"
#include "i18n/msg.h"
#include "tools/editor.h"

namespace vestrel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A number with "." or "," as its decimal mark, one of them at most.
std::optional<double> EntryNumber(std::string_view s) {
  std::string n(Trimmed(s));
  if (std::count(n.begin(), n.end(), '.') + std::count(n.begin(), n.end(), ',') > 1) return std::nullopt;
  std::replace(n.begin(), n.end(), ',', '.');
  return ParseDouble(n);
}

bool Within(Point2 p) { return std::abs(p.x) <= kMostTyped && std::abs(p.y) <= kMostTyped; }

}  // namespace

Point2 DirectionOf(double degrees) {
  double r = std::fmod(degrees, 360);
  if (r < 0) r += 360;
  if (r == 0) return {1, 0};
  if (r == 90) return {0, 1};
  if (r == 180) return {-1, 0};
  if (r == 270) return {0, -1};
  return {std::cos(r * kPi / 180), std::sin(r * kPi / 180)};
}

PointEntry ParsePointEntry(std::string_view text) {
  PointEntry e;
  std::string_view s = Trimmed(text);
  if (s.empty()) return e.error = msg::EntryEmpty, e;
  if (s.front() == '@') e.relative = true, s = Trimmed(s.substr(1));
  if (const auto lt = s.find('<'); lt != std::string_view::npos) {
    // A distance and an angle: the comma can only be a decimal mark.
    const auto d = EntryNumber(s.substr(0, lt)), a = EntryNumber(s.substr(lt + 1));
    if (!e.relative || !d || !a) return e.error = msg::EntryNotAPoint, e;
    const Point2 u = DirectionOf(*a);
    e.value = {*d * u.x, *d * u.y};
  } else {
    // Two numbers: every comma is tried as the one between them (of which,
    // with one decimal mark to each number, there are three at most).
    if (std::count(s.begin(), s.end(), ',') > 3) return e.error = msg::EntryNotAPoint, e;
    int readings = 0;
    for (auto comma = s.find(','); comma != std::string_view::npos; comma = s.find(',', comma + 1)) {
      const auto x = EntryNumber(s.substr(0, comma)), y = EntryNumber(s.substr(comma + 1));
      if (!x || !y) continue;
      if (++readings > 1) return e.error = msg::EntryAmbiguous, e;
      e.value = {*x, *y};
    }
    if (readings == 0) return e.error = msg::EntryNotAPoint, e;
  }
  if (!Within(e.value)) e.error = msg::EntryTooFar;
  return e;
}

Point2 OrthoPoint(Point2 from, Point2 p) {
  if (std::abs(p.x - from.x) >= std::abs(p.y - from.y)) return {p.x, from.y};
  return {from.x, p.y};
}

Point2 PolarPoint(Point2 from, Point2 p, double step, double spacing) {
  const double dx = p.x - from.x, dy = p.y - from.y;
  if (dx == 0 && dy == 0) return from;
  const double k = std::nearbyint(std::atan2(dy, dx) * 180 / kPi / step);
  const Point2 u = DirectionOf(k * step);
  double along = dx * u.x + dy * u.y;
  if (spacing > 0) along = GridValue(along, spacing);
  return {from.x + along * u.x, from.y + along * u.y};
}

double GridValue(double v, double spacing) {
  const double k = std::nearbyint(v / spacing);
  if (!std::isfinite(k)) return v;
  // A spacing of d decimals is m / 10^d with m whole: k m is exact while it
  // stays below 2^53, and one division rounds it as the decimal number.
  constexpr double kExact = 9007199254740992.0;  // 2^53
  double scale = 1;
  for (int d = 0; d <= 15; ++d, scale *= 10) {
    const double m = spacing * scale, whole = std::nearbyint(m);
    if (whole < 1 || std::abs(m - whole) > 1e-9 * m) continue;
    if (whole >= kExact || std::abs(k) * whole >= kExact) break;
    return k * whole / scale;
  }
  return k * spacing;
}

std::optional<Point2> AidedPoint(const DraftAids& aids, bool ortho, std::optional<Point2> from, Point2 p) {
  const double spacing = aids.raster && aids.grid.AbstandEd > 0 ? aids.grid.AbstandEd : 0;
  if (from && ortho) {
    const Point2 q = OrthoPoint(*from, p);
    if (spacing == 0) return q;
    return q.y == from->y ? Point2{GridValue(q.x, spacing), q.y} : Point2{q.x, GridValue(q.y, spacing)};
  }
  if (from && aids.polar && aids.angle.WinkelEd > 0) return PolarPoint(*from, p, aids.angle.WinkelEd, spacing);
  if (spacing > 0) return Point2{GridValue(p.x, spacing), GridValue(p.y, spacing)};
  return std::nullopt;
}

std::vector<Point2> GridDots(const ScreenTransform& window, double spacing, int width, int height) {
  std::vector<Point2> dots;
  if (!(spacing > 0) || !(window.pixels(spacing) >= kGridMinPixels) || width <= 0 || height <= 0) return dots;
  const Point2 a = window.toWorld(0, 0), b = window.toWorld(width - 1, height - 1);
  const double i0 = std::ceil(std::min(a.x, b.x) / spacing), i1 = std::floor(std::max(a.x, b.x) / spacing);
  const double j0 = std::ceil(std::min(a.y, b.y) / spacing), j1 = std::floor(std::max(a.y, b.y) / spacing);
  // Far out, where whole spacings no longer count one by one, none.
  constexpr double kCounted = 4503599627370496.0;  // 2^52
  if (!(std::abs(i0) < kCounted && std::abs(i1) < kCounted && std::abs(j0) < kCounted && std::abs(j1) < kCounted))
    return dots;
  if (!(i1 - i0 < width) || !(j1 - j0 < height)) return dots;
  for (double i = i0; i <= i1; ++i)
    for (double j = j0; j <= j1; ++j) dots.push_back(window.toScreen(i * spacing, j * spacing));
  return dots;
}

bool RasterValid(const RasterDialogValues& v) { return std::isfinite(v.AbstandEd) && v.AbstandEd > 0; }
bool PolarValid(const PolarDialogValues& v) { return std::isfinite(v.WinkelEd) && v.WinkelEd > 0 && v.WinkelEd <= 180; }

namespace {

// A switch of the aids flipped, and kept.
void Flip(Editor& e, bool DraftAids::*on) {
  e.tool.aids.*on = !(e.tool.aids.*on);
  e.platform.KeepAids(e.tool.aids);
}

// A dialog of the aids: what it gives is taken when it is valid, else
// told of and nothing changes.
template <class Values>
void AskAid(Editor& e, Values DraftAids::*values, DialogResult (Platform::*show)(Values&), bool (*valid)(const Values&)) {
  Values v = e.tool.aids.*values;
  if ((e.platform.*show)(v) != DialogResult::Ok) return;
  if (!valid(v)) return e.platform.ShowMessage(msg::BadAidValue, "", MsgIcon::Error);
  e.tool.aids.*values = v;
  e.platform.KeepAids(e.tool.aids);
}

}  // namespace

void Editor::FangRaster1Click() {
  Flip(*this, &DraftAids::raster);
  Repaint();  // the grid's dots come or go
}

void Editor::Ortho1Click() {
  Flip(*this, &DraftAids::ortho);
  platform.ShowState();
}

void Editor::Polar1Click() {
  Flip(*this, &DraftAids::polar);
  platform.ShowState();
}

void Editor::Rasterabstand1Click() {
  AskAid(*this, &DraftAids::grid, &Platform::ShowRasterDialog, RasterValid);
  Repaint();
}

void Editor::Polarwinkel1Click() {
  AskAid(*this, &DraftAids::angle, &Platform::ShowPolarDialog, PolarValid);
  platform.ShowState();
}

}  // namespace vestrel
