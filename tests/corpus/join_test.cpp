// "Verbinden" on every drawing: the lines, arcs and open polylines of the
// model tab joined, one set of equal properties at a time (a join gives
// the chain the first part's properties, so only parts that look alike are
// joined together, as a drafter would). Afterwards no two ends meet alone
// without being one polyline, no open part closes on itself, and the
// picture is the one before but for the anti-aliasing of a pixel.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "editing/edit_support.h"
#include "document/numbers.h"
#include "editing/reshape.h"
#include "support/corpus.h"
#include "support/pictures.h"
#include "support/qt_app.h"
#include "view/extents.h"

namespace vestrel {
namespace {

using Key = std::tuple<std::string, std::string, int, std::uint32_t, int, std::string>;

bool Joinable(const Drawing& d, const tpoly& p) {
  if (p.kind == Kind::LINE || p.kind == Kind::ARC || p.kind == Kind::LWPOLYLINE) return true;
  if (p.kind != Kind::POLYLINE) return false;
  for (std::int32_t k = p.linefrom + 2; k + 1 <= p.linebis && Trim(d.dxf[k]) != "0"; k += 2)
    if (Trim(d.dxf[k]) == "70") return (std::atoi(std::string(Trim(d.dxf[k + 1])).c_str()) & (8 | 16 | 64)) == 0;
  return true;
}

// What makes two parts look alike: layer, line type, colour, weight, and
// the plane they lie in (the extrusion as written).
Key KeyOf(const Drawing& d, const tpoly& p) {
  std::string normal;
  for (std::int32_t k = p.linefrom + 2; k + 1 <= p.linebis && Trim(d.dxf[k]) != "0"; k += 2) {
    const std::string_view g = Trim(d.dxf[k]);
    if (g == "210" || g == "220" || g == "230") normal += std::string(Trim(d.dxf[k + 1])) + " ";
  }
  const std::string layer = p.layerpresent ? std::string(d.value(p.layerlinenr)) : "0";
  return {layer, std::string(d.ltname(p)), p.colornr, p.truecolor, p.lineweight, normal};
}

class CorpusJoin : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { test::EnsureApp<QGuiApplication>(); }
};

TEST_P(CorpusJoin, ClosesWhatMeetsAndLooksTheSame) {
  const auto doc = test::Doc::Read(GetParam());
  if (!doc) GTEST_SKIP() << "not readable";
  Drawing& d = doc->d;
  const QImage before = test::Picture(d);
  const Extents x = TabExtents(d, 0);
  const double size = std::max(x.maxx - x.minx, x.maxy - x.miny);
  const double tolerance = std::isfinite(size) && size > 0 ? size * 1e-6 : 1e-6;

  auto parts = [&] {
    std::map<Key, std::vector<std::int32_t>> out;
    for (const std::int32_t i : doc->shown()) {
      const tpoly& p = d.polys[static_cast<std::size_t>(i)];
      if (Joinable(d, p)) out[KeyOf(d, p)].push_back(i);
    }
    return out;
  };
  std::set<Key> keys;
  for (const auto& [key, members] : parts()) keys.insert(key);
  int made = 0;
  for (const Key& key : keys) {
    const auto now = parts();
    const auto it = now.find(key);
    if (it == now.end()) continue;
    for (tpoly& p : d.polys) p.selected = false;
    for (const std::int32_t i : it->second) d.polys[static_cast<std::size_t>(i)].selected = true;
    const ReshapeResult r = JoinObjects(doc->c, tolerance);
    using S = ReshapeResult::Status;
    ASSERT_TRUE(r.status == S::Done || r.status == S::NothingToJoin || r.status == S::InvalidValue)
        << static_cast<int>(r.status) << " " << r.kind;
    made += r.made;
  }
  for (tpoly& p : d.polys) p.selected = false;

  // The drawn ends of the open parts left, by their set of properties.
  struct End {
    double x, y;
    std::int32_t part;
  };
  const double cell = 2 * tolerance;
  int lonePairs = 0, closable = 0;
  for (const auto& [key, members] : parts()) {
    std::vector<End> ends;
    for (const std::int32_t i : members) {
      const tpoly& p = d.polys[static_cast<std::size_t>(i)];
      if (p.anzp < 2 || p.isclosed) continue;
      const auto pts = d.ps(p);
      const Tmypoi &a = pts.front(), &b = pts.back();
      double length = 0;
      for (std::size_t k = 1; k < pts.size(); ++k)
        length += std::hypot(pts[k].x - pts[k - 1].x, pts[k].y - pts[k - 1].y);
      if (length <= 2 * tolerance) continue;  // a point, not a contour
      if (std::hypot(a.x - b.x, a.y - b.y) <= tolerance / 2) ++closable;
      ends.push_back({a.x, a.y, i});
      ends.push_back({b.x, b.y, i});
    }
    std::unordered_map<std::int64_t, std::vector<std::size_t>> grid;
    auto cellOf = [&](double v) { return static_cast<std::int64_t>(std::floor(v / cell)); };
    for (std::size_t k = 0; k < ends.size(); ++k)
      grid[cellOf(ends[k].x) * 1000003 + cellOf(ends[k].y)].push_back(k);
    for (std::size_t k = 0; k < ends.size(); ++k) {
      std::vector<std::size_t> near;
      for (std::int64_t gx = -1; gx <= 1; ++gx)
        for (std::int64_t gy = -1; gy <= 1; ++gy) {
          const auto cellIt = grid.find((cellOf(ends[k].x) + gx) * 1000003 + cellOf(ends[k].y) + gy);
          if (cellIt == grid.end()) continue;
          for (const std::size_t m : cellIt->second)
            if (std::hypot(ends[m].x - ends[k].x, ends[m].y - ends[k].y) <= cell) near.push_back(m);
        }
      // Exactly two ends there, close together, of two parts: they should
      // have been joined.
      if (near.size() == 2) {
        const End& o = ends[near[0] == k ? near[1] : near[0]];
        if (o.part != ends[k].part && std::hypot(o.x - ends[k].x, o.y - ends[k].y) <= tolerance / 2) ++lonePairs;
      }
    }
  }
  EXPECT_EQ(lonePairs, 0) << "ends that meet alone but were not joined (each counted from both sides)";
  EXPECT_EQ(closable, 0) << "open parts whose ends meet";

  const QImage after = test::Picture(d);
  const QRgb background = before.pixel(0, 0);
  EXPECT_EQ(test::Unmatched(after, before, background), 0) << made << " polylines made";
  EXPECT_EQ(test::Unmatched(before, after, background), 0) << made << " polylines made";
}

std::string Name(const ::testing::TestParamInfo<std::string>& info) { return test::CorpusName(info.param, info.index); }

INSTANTIATE_TEST_SUITE_P(Drawings, CorpusJoin, ::testing::ValuesIn(test::CorpusFiles()), Name);

}  // namespace
}  // namespace vestrel
