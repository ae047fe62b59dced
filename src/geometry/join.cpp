#include "geometry/join.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <unordered_map>

namespace vestrel {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr int kCrowd = 64;

// Whether a part takes part in joining: some length, finite, no ellipse.
bool Joinable(const Path& part) {
  return !part.pieces.empty() && IsFinite(part) && Length(part) > 0 &&
         std::none_of(part.pieces.begin(), part.pieces.end(), [](const Piece& p) { return p.elliptic; });
}

}  // namespace

Outcome<std::vector<Joined>> Join(const std::vector<Path>& parts, double tolerance) {
  using Result = std::vector<Joined>;
  if (!std::isfinite(tolerance) || tolerance < 0) return Refused<Result>(GeometryFault::NotFinite);
  // The ends of the open parts: 2i is the start of part i, 2i + 1 its end.
  const std::size_t count = parts.size();
  std::vector<bool> open(count, false);
  std::vector<Point2> ends(2 * count);
  double extent = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!Joinable(parts[i]) || parts[i].closed) continue;
    open[i] = true;
    ends[2 * i] = parts[i].pieces.front().a, ends[2 * i + 1] = parts[i].pieces.back().b;
    for (const Point2 p : {ends[2 * i], ends[2 * i + 1]}) extent = std::max({extent, std::abs(p.x), std::abs(p.y)});
  }
  // A grid of cells of the tolerance (no finer than the numbers allow):
  // ends within reach lie in neighbouring cells.
  const double cell = std::max({tolerance, extent * 1e-12, 1e-300});
  auto key = [&](std::int64_t x, std::int64_t y) {
    return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
  };
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> grid;
  grid.reserve(2 * count);
  for (std::size_t e = 0; e < 2 * count; ++e)
    if (open[e / 2])
      grid[key(static_cast<std::int64_t>(std::floor(ends[e].x / cell)),
               static_cast<std::int64_t>(std::floor(ends[e].y / cell)))]
          .push_back(e);

  // Every pair of ends within reach, nearest first.
  std::vector<std::tuple<double, std::size_t, std::size_t>> pairs;
  for (std::size_t e = 0; e < 2 * count; ++e) {
    if (!open[e / 2]) continue;
    const auto x = static_cast<std::int64_t>(std::floor(ends[e].x / cell));
    const auto y = static_cast<std::int64_t>(std::floor(ends[e].y / cell));
    int looked = 0;
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        const auto it = grid.find(key(x + dx, y + dy));
        if (it == grid.end()) continue;
        for (const std::size_t f : it->second) {
          if (f <= e || looked >= kCrowd) continue;
          // A part's own ends close it only when it is more than one piece.
          if (f / 2 == e / 2 && parts[e / 2].pieces.size() < 2) continue;
          const double d = std::hypot(ends[e].x - ends[f].x, ends[e].y - ends[f].y);
          if (d <= tolerance) pairs.emplace_back(d, e, f), ++looked;
        }
      }
  }
  std::sort(pairs.begin(), pairs.end());
  std::vector<std::size_t> link(2 * count, kNone);
  for (const auto& [d, e, f] : pairs)
    if (link[e] == kNone && link[f] == kNone) link[e] = f, link[f] = e;

  Result chains;
  std::vector<bool> used(count, false);
  // Walks from part i, entered at its start (or at its end when
  // `reversed`), along the links.
  auto walk = [&](std::size_t i, bool reversed) {
    Joined chain;
    const std::size_t first = i;
    bool closes = false;
    while (true) {
      used[i] = true;
      chain.parts.push_back(i);
      chain.reversed.push_back(reversed);
      const Path part = reversed ? Reversed(parts[i]) : parts[i];
      const std::size_t from = chain.path.pieces.size();
      chain.path.pieces.insert(chain.path.pieces.end(), part.pieces.begin(), part.pieces.end());
      if (from > 0) chain.path.pieces[from].a = chain.path.pieces[from - 1].b;
      const std::size_t exit = 2 * i + (reversed ? 0 : 1), next = link[exit];
      if (next == kNone) break;
      if (next / 2 == first && next == 2 * first + (chain.reversed.front() ? 1 : 0)) {
        closes = true;
        break;
      }
      if (used[next / 2]) break;
      i = next / 2;
      reversed = next % 2 == 1;
    }
    if (closes) {
      chain.path.closed = true;
      chain.path.pieces.back().b = chain.path.pieces.front().a;
    }
    chains.push_back(std::move(chain));
  };
  for (std::size_t i = 0; i < count; ++i) {
    if (used[i] || !Joinable(parts[i])) continue;
    if (!open[i]) {
      used[i] = true;
      chains.push_back({parts[i], {i}, {false}});
    } else if (link[2 * i] == kNone) {
      walk(i, false);
    } else if (link[2 * i + 1] == kNone) {
      walk(i, true);
    }
  }
  // What is left runs round in loops.
  for (std::size_t i = 0; i < count; ++i)
    if (open[i] && !used[i]) walk(i, false);
  return {chains};
}

}  // namespace vestrel
