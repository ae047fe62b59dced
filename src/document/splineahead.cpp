#include "document/splineahead.h"

#include <cstring>

#include "document/numbers.h"
#include "geometry/spline.h"

namespace vestrel::reader {

namespace {

std::vector<Point3> AsPoints(const std::vector<Tmypoi>& pts) {
  std::vector<Point3> out;
  out.reserve(pts.size());
  for (const Tmypoi& q : pts) out.push_back({q.x, q.y, q.z});
  return out;
}

template <class T>
bool Bits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool SamePoints(const std::vector<Tmypoi>& a, const std::vector<Tmypoi>& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const Tmypoi& p, const Tmypoi& q) {
           return Bits(p.x, q.x) && Bits(p.y, q.y) && Bits(p.z, q.z) && p.linex == q.linex && p.liney == q.liney &&
                  p.linez == q.linez && p.donotdraw == q.donotdraw;
         });
}

bool SameNumbers(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

}  // namespace

void SplineGroups::clear() {
  degree = 3;
  controls.clear(), fits.clear(), knots.clear(), weights.clear();
  startTangent = endTangent = false;
  tangent0 = tangent1 = {};
}

void SplineGroups::take(int group, std::string_view value, std::int32_t line) {
  Tmypoi* control = controls.empty() ? nullptr : &controls.back();
  switch (group) {
    case 71:
      degree = ParseInt(value).value_or(degree);
      break;
    case 40:
      if (double k; ParseDouble(value, k)) knots.push_back(k);
      break;
    case 10: {
      double x;
      if (!ParseDouble(value, x)) break;
      Tmypoi& c = controls.emplace_back();
      c.x = x;
      c.linex = line;
      c.donotdraw = true;
      break;
    }
    case 20:
      if (control && ParseDouble(value, control->y)) control->liney = line;
      break;
    case 30:
      if (control && ParseDouble(value, control->z)) control->linez = line;
      break;
    case 11:
      if (double x; ParseDouble(value, x)) fits.emplace_back().x = x;
      break;
    case 21:
      if (!fits.empty()) ParseDouble(value, fits.back().y);
      break;
    case 31:
      if (!fits.empty()) ParseDouble(value, fits.back().z);
      break;
    case 41:
      if (double w; ParseDouble(value, w)) weights.push_back(w);
      break;
    // The directions of the curve at its start (12, 22, 32) and end (13,
    // 23, 33); its x says whether it has one.
    case 12:
    case 22:
    case 32:
    case 13:
    case 23:
    case 33: {
      Point3& tangent = group % 10 == 2 ? tangent0 : tangent1;
      const bool read = ParseDouble(value, group < 20 ? tangent.x : group < 30 ? tangent.y : tangent.z);
      if (group < 20) (group == 12 ? startTangent : endTangent) = read;
      break;
    }
    default:
      break;
  }
}

std::vector<Tmypoi> SplineGroups::points() const {
  const Spline s = SplineOfFile(degree, AsPoints(controls), knots, weights, AsPoints(fits),
                                startTangent ? std::optional(tangent0) : std::nullopt,
                                endTangent ? std::optional(tangent1) : std::nullopt);
  const std::vector<Point3> curve = FlattenSpline(s);
  std::vector<Tmypoi> out;
  auto add = [&](const Point3& c) -> Tmypoi& {
    Tmypoi& q = out.emplace_back();
    q.x = c.x, q.y = c.y, q.z = c.z;
    return q;
  };
  if (curve.empty()) {
    // What makes no curve is drawn through its defining points.
    for (const Tmypoi& q : !controls.empty() ? controls : fits) add({q.x, q.y, q.z});
  } else {
    out.reserve(curve.size() + std::max(controls.size(), s.controls.size()));
    for (const Point3& c : curve) add(c);
  }
  // The control points stay reachable for grips and snapping.
  if (!controls.empty()) {
    out.insert(out.end(), controls.begin(), controls.end());
  } else if (!curve.empty()) {
    for (const Point3& c : s.controls) add(c).donotdraw = true;
  }
  return out;
}

bool SplineGroups::same(const SplineGroups& o) const {
  return degree == o.degree && SamePoints(controls, o.controls) && SamePoints(fits, o.fits) &&
         SameNumbers(knots, o.knots) && SameNumbers(weights, o.weights) && startTangent == o.startTangent &&
         endTangent == o.endTangent && Bits(tangent0, o.tangent0) && Bits(tangent1, o.tangent1);
}

void SplinesAhead::work() {
  try {
    const std::size_t n = lines_.size();
    auto group = [&](std::size_t i) { return GroupCode(Trim(lines_[i])); };
    SplineGroups groups;
    // Pair by pair, as the reader reads them.
    for (std::size_t i = 0; i + 1 < n;) {
      if (group(i) != 0 || Trim(lines_[i + 1]) != "SPLINE") {
        i += 2;
        continue;
      }
      const auto line = static_cast<std::int32_t>(i);
      groups.clear();
      for (i += 2; i + 1 < n && group(i) != 0; i += 2)
        groups.take(group(i), Trim(lines_[i + 1]), static_cast<std::int32_t>(i + 1));
      if (!groups.worthAhead()) continue;
      {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return stopped_ || held_ < kAhead; });
        if (stopped_) return;
        if (passed(line)) continue;
      }
      std::vector<Tmypoi> points = groups.points();
      const std::lock_guard lock(m_);
      if (stopped_) return;
      if (passed(line)) continue;
      const std::size_t weight = 4 + points.size() + groups.controls.size() + groups.fits.size() +
                                 (groups.knots.size() + groups.weights.size()) / 6;
      held_ += weight;
      made_.push_back({line, std::move(groups), std::move(points), weight});
    }
  } catch (...) {
    // Out of memory: the reader makes what is left.
  }
}

void SplinesAhead::stop() {
  {
    const std::lock_guard lock(m_);
    stopped_ = true;
  }
  cv_.notify_all();
}

std::optional<std::vector<Tmypoi>> SplinesAhead::take(std::int32_t line, const SplineGroups& groups) {
  std::optional<Made> found;
  {
    const std::lock_guard lock(m_);
    readerAt_ = line;
    while (!made_.empty() && made_.front().line <= line) {
      held_ -= made_.front().weight;
      if (made_.front().line == line) found = std::move(made_.front());
      made_.pop_front();
    }
  }
  cv_.notify_all();
  if (!found || !found->groups.same(groups)) return std::nullopt;
  return std::move(found->points);
}

}  // namespace vestrel::reader
