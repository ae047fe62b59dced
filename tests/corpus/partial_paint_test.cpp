// A paint after a change that redraws only where the change shows gives the
// picture a paint of the whole area gives, bit for bit: every corpus drawing
// on its model and its first layout tab, at its extents and zoomed in, in
// the print preview, through random edits and selections. So does a paint
// that visits only the entries in view, in bands on several threads, and a
// paint of everything selected that leaves out the grips later grips cover.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <functional>
#include <random>

#include "document/spatialindex.h"
#include "support/fake_platform.h"
#include "support/qt_app.h"
#include "support/random_edits.h"
#include "view/paintcache.h"
#include "view/transform.h"

namespace vestrel {
namespace {

// Where two pictures differ: the number of pixels and their box.
std::string Difference(const QImage& a, const QImage& b) {
  int count = 0, x0 = a.width(), y0 = a.height(), x1 = -1, y1 = -1;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) {
        ++count;
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  return std::to_string(count) + " pixels differ in (" + std::to_string(x0) + ", " + std::to_string(y0) + ") - (" +
         std::to_string(x1) + ", " + std::to_string(y1) + ")";
}

struct View {
  const char* name;
  int tab;
  double zoom;  // about the middle, after zoom to extents
  bool preview;
};

const View kViews[] = {{"extents", 0, 1, false}, {"zoomed in", 0, 5, false}, {"preview", 0, 2, true},
                       {"layout", 1, 1, false}};

// The drawing area painted: 480 x 360 pixels, the print preview's paper at
// half a millimetre a unit.
struct Area {
  test::FakePlatform platform;
  ViewState view;
  PrintSetup print;
  Area() {
    platform.paintBox = {480, 360};
    print.mmEd = 0.5;
  }
  // Tab `tab` (or its print preview) at its extents, zoomed by `zoom`
  // about (x, y).
  void show(Drawing& d, int tab, bool preview, double zoom, double x = 240, double y = 180) {
    ViewContext s{d, view, print, platform};
    view.tab = tab;
    view.Druckvorschau = preview;
    ZoomFullIn(s);
    if (zoom != 1) ZoomAbout(s, x, y, zoom);
  }
};

class PartialPaint : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { test::EnsureApp<QGuiApplication>(); }
};

TEST_P(PartialPaint, RandomEditsRedrawnAsAWholePaintDrawsThem) {
  int parts = 0, paints = 0;
  std::size_t entities = 0;  // objects of the ENTITIES section
  for (const View& v : kViews) {
    SCOPED_TRACE(v.name);
    Drawing d;
    ASSERT_TRUE(test::LoadDrawing(GetParam(), d));
    processdxf(d);
    entities = static_cast<std::size_t>(std::count_if(d.entryparse.begin(), d.entryparse.end(),
                                                      [](const EntryParse& e) { return e.sections == kInEntities; }));
    Area a;
    a.show(d, v.tab, v.preview, v.zoom);
    const test::FakePlatform& platform = a.platform;
    const ViewState& view = a.view;
    const PrintSetup& print = a.print;

    // The cache visits only what is in view, in bands; the whole paint
    // goes through the whole list on one thread.
    PaintCache cache;
    SpatialIndex index;
    InView inView(index);
    inView.bandedFrom = 0;
    QImage kept(480, 360, QImage::Format_RGB32), fresh(480, 360, QImage::Format_RGB32);
    index.Refresh(d);
    cache.paint(kept, d, view, print, platform.page, 96, &inView);
    Journal j;
    test::Edits edits(d, j, 11);
    for (int cycle = 0; cycle < 24; ++cycle) {
      SCOPED_TRACE("cycle " + std::to_string(cycle));
      if (cycle % 4 != 3) {
        edits.next();
        processdxf(d);
      }
      // Some entries selected, some no more.
      for (int k = 0; k < 2 && d.polys.size() > 0; ++k) {
        tpoly& p = d.polys[static_cast<std::size_t>(cycle * 7919 + k * 104729) % d.polys.size()];
        p.selected = !p.selected;
      }
      index.Refresh(d);
      cache.paint(kept, d, view, print, platform.page, 96, &inView);
      // Entries outside blocks learn whether their layer is locked from
      // either paint.
      std::vector<bool> locked;
      for (const tpoly& p : d.polys) locked.push_back(!p.isblock && p.locked);
      PaintBox1Paint(fresh, d, view, print, platform.page, 96);
      for (std::size_t i = 0; i < d.polys.size(); ++i)
        ASSERT_EQ(locked[i], !d.polys[i].isblock && d.polys[i].locked) << "entry " << i;
      ++paints;
      parts += cache.partial();
      ASSERT_TRUE(kept == fresh) << Difference(kept, fresh) << (cache.partial() ? " in part" : " whole");
    }
  }
  // Changes of one object or a few, and of the selection, are mostly
  // redrawn in part, or the comparison proves little.
  if (entities >= 20) {
    EXPECT_GE(parts, paints / 3);
  }
}

TEST_P(PartialPaint, ThePartInViewIsPaintedAsTheWholeListPaintsIt) {
  Drawing d;
  ASSERT_TRUE(test::LoadDrawing(GetParam(), d));
  processdxf(d);
  SpatialIndex index, unbuilt;
  index.Refresh(d);
  InView inView(index), everyEntry(unbuilt);
  inView.bandedFrom = everyEntry.bandedFrom = 0;
  Area a;
  // Zoomed about a point of the area after zoom to extents.
  struct Zoomed {
    int tab;
    double zoom, x, y;
    bool preview;
  };
  const Zoomed views[] = {{0, 1, 0, 0, false},     {0, 4, 240, 180, false}, {0, 30, 100, 290, false},
                          {0, 300, 400, 60, false}, {0, 2, 240, 180, true},  {1, 1, 0, 0, false},
                          {1, 8, 300, 200, false}};
  for (const Zoomed& v : views) {
    if (v.tab > 0 && d.layouts.size() < 2) continue;
    SCOPED_TRACE("tab " + std::to_string(v.tab) + " zoom " + std::to_string(v.zoom));
    a.show(d, v.tab, v.preview, v.zoom, v.x, v.y);
    QImage whole(480, 360, QImage::Format_RGB32), inview(480, 360, QImage::Format_RGB32);
    const bool complete = PaintBox1Paint(whole, d, a.view, a.print, a.platform.page, 96);
    // Twice: once letters showed, a band on another thread stops before
    // them and this one draws the rest of it.
    for (int paint = 0; paint < 2; ++paint) {
      EXPECT_EQ(PaintBox1Paint(inview, d, a.view, a.print, a.platform.page, 96, &inView), complete);
      EXPECT_TRUE(whole == inview) << paint << Difference(whole, inview);
    }
    // Before the index is built: every entry visited, in bands.
    EXPECT_EQ(PaintBox1Paint(inview, d, a.view, a.print, a.platform.page, 96, &everyEntry), complete);
    EXPECT_TRUE(whole == inview) << "without the index" << Difference(whole, inview);
  }
}

// A change of a block's member, or of its selection, is redrawn in part:
// with it every reference that draws the block, directly or through another
// block.
TEST(PartialPaintOfBlocks, AChangedMemberIsRedrawnWhereItsReferencesDrawIt) {
  test::EnsureApp<QGuiApplication>();
  Drawing d;
  ASSERT_TRUE(test::LoadDrawing("synthetic", d));
  processdxf(d);
  test::FakePlatform platform;
  platform.paintBox = {480, 360};
  ViewState view;
  PrintSetup print;
  ViewContext s{d, view, print, platform};
  ZoomFullIn(s);
  PaintCache cache;
  QImage kept(480, 360, QImage::Format_RGB32), fresh(480, 360, QImage::Format_RGB32);
  cache.paint(kept, d, view, print, platform.page, 96);
  Journal j;
  using test::Member;
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"a member of DOOR moved",
       [&] {
         ChangeStep(j, d.dxf).overwrite(Member(d, "DOOR", 1).linefrom + 7, "0.5");
         processdxf(d);
       }},
      {"a member of the dimensions' block selected", [&] { Member(d, "*D1", 0).selected = true; }},
      {"FRAME's reference to DOOR made one to *D1",
       [&] {
         ChangeStep(j, d.dxf).overwrite(Member(d, "FRAME", 0).insertstrlinenr, "*D1");
         processdxf(d);
       }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    change();
    cache.paint(kept, d, view, print, platform.page, 96);
    EXPECT_TRUE(cache.partial());
    PaintBox1Paint(fresh, d, view, print, platform.page, 96);
    EXPECT_TRUE(kept == fresh) << Difference(kept, fresh);
  }
}

// Everything selected, painted with the grips and outlines that later grips
// cover left out and the grips set into the pixels, on one thread and in
// bands, and with all drawn by QPainter: the same picture, bit for bit, and
// on one thread the same pixels noted for each entry. Returns how many grips and how many
// outlines were left out.
std::pair<std::size_t, std::size_t> ExpectGripsAsEveryGripDrawn(Drawing& d, const View& v) {
  for (tpoly& p : d.polys) p.selected = true;
  Area a;
  a.show(d, v.tab, v.preview, v.zoom);
  SpatialIndex index;
  index.Refresh(d);
  InView inView(index);
  inView.bandedFrom = 0;
  inView.refresh(d);
  QImage pictures[3];
  std::vector<PixelBox> reach[3];
  std::pair<std::size_t, std::size_t> covered;
  for (const int way : {0, 1, 2}) {
    SCOPED_TRACE(way);
    const bool cover = way > 0;
    QImage& canvas = pictures[way] = QImage(480, 360, QImage::Format_RGB32);
    QPainter g(&canvas);
    const TabPaint paint =
        PaintBackground(g, canvas.width(), canvas.height(), d, a.view, a.print, a.platform.page, 96);
    PaintPass pass;
    pass.shown = paint.shown;
    pass.coverGrips = pass.stampGrips = cover;
    if (way == 2) pass.inView = &inView;
    reach[way].assign(d.polys.size(), PixelBox{});
    pass.reach = &reach[way];
    DrawTab(g, d, paint.params, paint.layoutBlock, &pass);
    if (way == 1) covered = {pass.gripsCovered, pass.outlinesCovered};
    if (cover && pass.gripsCovered + pass.gripsStamped > 0) EXPECT_GT(pass.gripsStamped, 0u);
  }
  // (A paint of what is in view notes only what it visits.)
  EXPECT_TRUE(reach[0] == reach[1]);
  for (const int way : {1, 2})
    EXPECT_TRUE(pictures[0] == pictures[way]) << way << Difference(pictures[0], pictures[way]);
  return covered;
}

TEST_P(PartialPaint, GripsThatLaterGripsCoverAreLeftOutAsIfDrawn) {
  for (const View& v : kViews) {
    SCOPED_TRACE(v.name);
    Drawing d;
    ASSERT_TRUE(test::LoadDrawing(GetParam(), d));
    processdxf(d);
    ExpectGripsAsEveryGripDrawn(d, v);
  }
}

// Thousands of short lines on a small square, lines across them and a
// circle over them: most grips lie under later ones.
TEST(GripsOfManyObjects, MostAreCoveredAndThePictureIsTheSame) {
  test::EnsureApp<QGuiApplication>();
  std::mt19937 random(17);
  std::uniform_real_distribution<double> at(0, 100), near(-3, 3);
  std::string text = "  0\nSECTION\n  2\nENTITIES\n";
  auto line = [&](double x1, double y1, double x2, double y2) {
    text += "  0\nLINE\n  8\n0\n 10\n" + std::to_string(x1) + "\n 20\n" + std::to_string(y1) + "\n 11\n" +
            std::to_string(x2) + "\n 21\n" + std::to_string(y2) + "\n";
  };
  for (int i = 0; i < 3000; ++i) {
    const double x = at(random), y = at(random);
    line(x, y, x + near(random), y + near(random));
    if (i % 500 == 0) line(0, at(random), 100, at(random));
  }
  text += "  0\nCIRCLE\n  8\n0\n 62\n1\n 10\n50\n 20\n50\n 40\n30\n  0\nENDSEC\n  0\nEOF\n";
  Drawing d;
  ASSERT_TRUE(d.dxf.assign(text));
  processdxf(d);
  const auto [grips, outlines] = ExpectGripsAsEveryGripDrawn(d, {"extents", 0, 1, false});
  EXPECT_GT(grips, 1000u);
  EXPECT_GT(outlines, 1000u);
  EXPECT_GT(ExpectGripsAsEveryGripDrawn(d, {"zoomed in", 0, 3, false}).first, 100u);
}

INSTANTIATE_TEST_SUITE_P(Drawings, PartialPaint, ::testing::ValuesIn(test::EditedDrawings()),
                         [](const auto& info) { return test::CorpusName(info.param, info.index); });

}  // namespace
}  // namespace vestrel
