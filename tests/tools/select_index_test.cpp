// Snapping and picking through the spatial index find exactly what a walk
// over the whole display list finds, on random drawings, views and
// pointers.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <vector>

#include "document/tabscope.h"
#include "geometry/segments.h"
#include "support/dxf_text.h"
#include "support/fake_platform.h"
#include "tools/editor.h"
#include "tools/select.h"
#include "tools/snap.h"
#include "view/colors.h"

namespace vestrel {
namespace {

std::string Num(double v) {
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// A drawing of lines, polylines (open and closed, with arcs), circles, arcs
// and two-loop hatches on three layers, some in paper space; on a coarse
// grid, so that many points share pixels and distances tie.
std::string RandomDrawing(std::mt19937& rng, int entries) {
  std::uniform_int_distribution<int> coord(0, 120), kind(0, 5), small(0, 9);
  auto at = [&] { return Num(coord(rng) * 2.5); };
  auto pair = [&](const char* x, const char* y) { return std::string(x) + at() + "\n" + y + at() + "\n"; };
  const char* layers[] = {"0", "0", "0", "LOCKED", "OFF"};
  std::string s;
  for (int i = 0; i < entries; ++i) {
    const std::string common = "  8\n" + std::string(layers[small(rng) % 5]) + "\n" + (small(rng) == 0 ? " 67\n1\n" : "");
    switch (kind(rng)) {
      case 0: s += "  0\nLINE\n" + common + pair(" 10\n", " 20\n") + pair(" 11\n", " 21\n"); break;
      case 1: {
        s += "  0\nLWPOLYLINE\n" + common + " 70\n" + (small(rng) < 3 ? "1" : "0") + "\n";
        for (int k = 2 + small(rng); k > 0; --k) {
          s += pair(" 10\n", " 20\n");
          if (small(rng) < 2) s += " 42\n" + Num((small(rng) - 4.5) / 4) + "\n";
        }
        break;
      }
      case 2: s += "  0\nCIRCLE\n" + common + pair(" 10\n", " 20\n") + " 40\n" + Num(1 + small(rng) * 3) + "\n"; break;
      case 3:
        s += "  0\nARC\n" + common + pair(" 10\n", " 20\n") + " 40\n" + Num(1 + small(rng) * 3) + "\n 50\n" +
             Num(small(rng) * 40) + "\n 51\n" + Num(small(rng) * 35) + "\n";
        break;
      case 4: {
        s += "  0\nHATCH\n" + common + " 10\n0\n 20\n0\n 30\n0\n  2\nSOLID\n 70\n1\n 91\n2\n";
        for (int loop = 0; loop < 2; ++loop) {
          s += " 92\n2\n 72\n0\n 73\n1\n 93\n3\n" + pair(" 10\n", " 20\n") + pair(" 10\n", " 20\n") +
               pair(" 10\n", " 20\n");
        }
        s += " 97\n0\n 75\n0\n 76\n1\n 98\n0\n";
        break;
      }
      default:  // a line reaching far out of the drawing
        s += "  0\nLINE\n" + common + pair(" 10\n", " 20\n") + " 11\n" + (small(rng) < 5 ? "1e300" : "-3e12") +
             "\n 21\n" + at() + "\n";
    }
  }
  return s;
}

// The plain walk over every entry.
class Walk {
 public:
  explicit Walk(Editor& e)
      : e_(e), t_(WindowTransform(e.views)), scope_(TabScope::OfTab(e.drawing, e.view.tab)), tables_(e.drawing) {}

  bool shown(const tpoly& p) const { return scope_.shows(p) && !tables_.layer(p).off; }
  bool pickable(const tpoly& p) const { return shown(p) && !tables_.layer(p).locked; }
  Point2 pixel(const Tmypoi& q) const { return t_.toPixel(q.x, q.y); }

  // The segments drawn, and the first drawn point alone (as a segment
  // from itself).
  std::vector<std::pair<Point2, Point2>> outline(const tpoly& p) const {
    std::vector<std::pair<Point2, Point2>> out;
    const Tmypoi *prev = nullptr, *piece = nullptr;
    for (const Tmypoi& q : e_.drawing.ps(p)) {
      if (q.donotdraw) continue;
      if (!prev) out.push_back({pixel(q), pixel(q)});
      else if (!q.moveonly) out.push_back({pixel(*prev), pixel(q)});
      if (!piece || q.moveonly) piece = &q;
      prev = &q;
    }
    if (p.isclosed && prev && prev != piece) out.push_back({pixel(*prev), pixel(*piece)});
    return out;
  }

  struct Snap {
    bool caught = false;
    double x = 0, y = 0, ex = 0, ey = 0;
  };
  Snap snap(double ox, double oy) const {
    Snap best;
    double bestd = 0;
    for (const tpoly& p : e_.drawing.polys) {
      if (!shown(p)) continue;
      const Drawing& d = e_.drawing;
      const auto own = d.ps(p);
      for (const std::span<const Tmypoi> list : {own.span(), d.snap(p)}) {
        for (const Tmypoi& q : list) {
          const Point2 s = pixel(q);
          if (!(std::abs(s.x - ox) <= 5 && std::abs(s.y - oy) <= 5)) continue;
          const double d = std::sqrt((s.x - ox) * (s.x - ox) + (s.y - oy) * (s.y - oy));
          if (best.caught && !(d < bestd)) continue;
          best = {true, s.x, s.y, q.x, q.y}, bestd = d;
        }
      }
    }
    return best;
  }

  struct Click {
    std::vector<bool> selected;
    int grip = -1, gripobj = -1;
    bool drag = false, hit = false;
  };
  Click click(double px, double py, bool keep) const {
    Click c;
    for (const tpoly& p : e_.drawing.polys) c.selected.push_back(p.selected);
    const auto n = static_cast<int>(c.selected.size());
    for (int i = 0; i < n && c.grip < 0; ++i) {
      const tpoly& p = e_.drawing.polys[static_cast<std::size_t>(i)];
      if (!pickable(p)) continue;
      const double reach = c.selected[static_cast<std::size_t>(i)] ? 5 : 3;
      const auto pts = e_.drawing.ps(p);
      for (std::size_t j = 0; j < pts.size(); ++j) {
        const Point2 s = pixel(pts[j]);
        if (pts[j].linex <= 0 || std::abs(s.x - px) > reach || std::abs(s.y - py) > reach) continue;
        const bool was = c.selected[static_cast<std::size_t>(i)];
        c.selected[static_cast<std::size_t>(i)] = keep;
        c.hit = true;
        if (was && keep) c.grip = static_cast<int>(j), c.gripobj = i;
        break;
      }
    }
    if (c.grip >= 0) return c;
    for (int i = 0; i < n && !c.drag; ++i) {
      const tpoly& p = e_.drawing.polys[static_cast<std::size_t>(i)];
      if (!pickable(p)) continue;
      for (const auto& [a, b] : outline(p)) {
        if (!PointNearSegment({px, py}, a, b)) continue;
        const bool was = c.selected[static_cast<std::size_t>(i)];
        c.selected[static_cast<std::size_t>(i)] = keep;
        c.hit = true;
        c.drag = was && keep;
        break;
      }
    }
    return c;
  }

  std::vector<bool> window(Point2 c1, Point2 c2, bool deselect) const {
    std::vector<bool> selected;
    for (const tpoly& p : e_.drawing.polys) {
      bool in = false;
      if (pickable(p))
        for (const auto& [a, b] : outline(p)) in = in || PointInBox(a, c1, c2) || PointInBox(b, c1, c2);
      selected.push_back(in ? !deselect : p.selected);
    }
    return selected;
  }

 private:
  Editor& e_;
  ScreenTransform t_;
  TabScope scope_;
  StyleTables tables_;
};

std::vector<bool> Selected(const Editor& e) {
  std::vector<bool> s;
  for (const tpoly& p : e.drawing.polys) s.push_back(p.selected);
  return s;
}

TEST(SpatialIndex, FindsWhatTheWalkOverEveryEntryFinds) {
  const char* const layers =
      "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n0\n 70\n0\n 62\n7\n"
      "  0\nLAYER\n  2\nLOCKED\n 70\n4\n 62\n1\n  0\nLAYER\n  2\nOFF\n 70\n0\n 62\n-5\n  0\nENDTAB\n";
  std::mt19937 rng(20240611);
  test::FakePlatform platform;
  Editor e{platform};
  std::uniform_real_distribution<double> unit(0, 1);
  std::uniform_int_distribution<int> offset(-8, 8);
  int snaps = 0, grips = 0, drags = 0, clicks = 0, windows = 0;
  for (int drawing = 0; drawing < 12; ++drawing) {
    e.drawing.dxf.assign(test::WithEof(test::Section("TABLES", layers) +
                                       test::Section("ENTITIES", RandomDrawing(rng, 20 + drawing * 40))));
    processdxf(e.drawing);
    e.view.tab = drawing % 3 == 2 ? 1 : 0;  // now and then the paper
    for (int view = 0; view < 4; ++view) {
      const double zooms[] = {100, 250, 37.5, 1000.0 / 3};
      e.view.zoomedvalue = zooms[view];
      e.view.HorzScrollbarPosition = static_cast<std::int32_t>(unit(rng) * 20000) - 5000;
      e.view.VertScrollbarPosition = static_cast<std::int32_t>(unit(rng) * 20000) - 5000;
      for (int probe = 0; probe < 60; ++probe) {
        SCOPED_TRACE(::testing::Message() << "drawing " << drawing << " view " << view << " probe " << probe);
        for (tpoly& p : e.drawing.polys) p.selected = unit(rng) < 0.3;
        e.tool = {};
        // Near a random point of the drawing, or anywhere.
        double px = unit(rng) * 800, py = unit(rng) * 600;
        if (e.drawing.points.size() > 0 && probe % 4 != 0) {
          const Tmypoi& q = e.drawing.points[static_cast<std::size_t>(unit(rng) * e.drawing.points.size())];
          const Point2 s = WindowTransform(e.views).toPixel(q.x, q.y);
          px = s.x + offset(rng), py = s.y + offset(rng);
          if (probe % 3 == 0) px += unit(rng), py += unit(rng);
        }
        const Walk walk(e);

        const Walk::Snap expected = walk.snap(px, py);
        double x = px, y = py, ex = 0, ey = 0;
        ASSERT_EQ(SnapPoints(e, WindowTransform(e.views), px, py, x, y, ex, ey, {}), expected.caught);
        if (expected.caught) {
          ++snaps;
          EXPECT_EQ(x, expected.x);
          EXPECT_EQ(y, expected.y);
          EXPECT_EQ(ex, expected.ex);
          EXPECT_EQ(ey, expected.ey);
        }

        const bool keep = probe % 5 != 0;
        const Walk::Click c = walk.click(px, py, keep);
        e.tool = {};
        SelectAt(e, WindowTransform(e.views), px, py, !keep);
        ASSERT_EQ(Selected(e), c.selected);
        EXPECT_EQ(e.tool.inmovepoint, c.grip >= 0);
        EXPECT_EQ(e.tool.inmove, c.drag);
        EXPECT_EQ(e.tool.inmassselect, !c.hit);
        if (c.grip >= 0) {
          ++grips;
          EXPECT_EQ(e.tool.movepointnr, c.grip);
          EXPECT_EQ(e.tool.moveobjnr, c.gripobj);
        }
        drags += c.drag;
        clicks += c.hit;

        const Point2 c1{px, py}, c2{px + (unit(rng) - 0.5) * 300, py + (unit(rng) - 0.5) * 300};
        const std::vector<bool> w = walk.window(c1, c2, !keep);
        const bool changed = w != Selected(e);
        MassSelect(e, WindowTransform(e.views), c1.x, c1.y, c2.x, c2.y, !keep);
        ASSERT_EQ(Selected(e), w);
        windows += changed;
      }
    }
  }
  // The probes found something often enough to mean something.
  EXPECT_GT(snaps, 500);
  EXPECT_GT(grips, 50);
  EXPECT_GT(drags, 50);
  EXPECT_GT(clicks, 500);
  EXPECT_GT(windows, 200);
}

}  // namespace
}  // namespace vestrel
