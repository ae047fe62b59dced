// Drawing precisely: what the command field takes, and where the grid,
// ortho and polar put a point taken from the pointer.
#include "tools/drafting.h"

#include <gtest/gtest.h>

#include <cmath>

#include "i18n/msg.h"
#include "support/editor_steps.h"
#include "tools/steps.h"

namespace vestrel {
namespace {

using namespace test;

TEST(PointEntry, ReadsWhatTheCommandFieldTakes) {
  const struct {
    const char* text;
    int error;
    bool relative;
    Point2 value;
  } kCases[] = {
      {"10,20", 0, false, {10, 20}},
      {"  -1.5 , 2e2 ", 0, false, {-1.5, 200}},
      {"@10,5", 0, true, {10, 5}},
      {"@ -3,0.25", 0, true, {-3, 0.25}},
      // The comma as decimal mark where only one reading is left.
      {"1,5,2,5", 0, false, {1.5, 2.5}},
      {"1.5,2,5", 0, false, {1.5, 2.5}},
      {"-1,5,-2", 0, false, {-1.5, -2}},
      {"@2.5<30", 0, true, {2.5 * std::cos(kPi / 6), 2.5 * std::sin(kPi / 6)}},
      {"@2,5<30", 0, true, {2.5 * std::cos(kPi / 6), 2.5 * std::sin(kPi / 6)}},
      // Along the axes exactly, whatever way round.
      {"@10<90", 0, true, {0, 10}},
      {"@10<-90", 0, true, {0, -10}},
      {"@4<540", 0, true, {-4, 0}},
      {"@-4<0", 0, true, {-4, 0}},
      {"", msg::EntryEmpty, false, {}},
      {" \t", msg::EntryEmpty, false, {}},
      {"@", msg::EntryNotAPoint, true, {}},
      {"10", msg::EntryNotAPoint, false, {}},
      {"10;20", msg::EntryNotAPoint, false, {}},
      {"a,b", msg::EntryNotAPoint, false, {}},
      {"1.5.2,3", msg::EntryNotAPoint, false, {}},
      {"1,2,3,4,5", msg::EntryNotAPoint, false, {}},
      {"inf,0", msg::EntryNotAPoint, false, {}},
      {"nan,0", msg::EntryNotAPoint, false, {}},
      {"10<30", msg::EntryNotAPoint, false, {}},  // polar only from the last point
      {"@10<", msg::EntryNotAPoint, true, {}},
      {"@10<30<5", msg::EntryNotAPoint, true, {}},
      {"1,5,2", msg::EntryAmbiguous, false, {}},
      {"@1,5,2", msg::EntryAmbiguous, true, {}},
      {"1e13,0", msg::EntryTooFar, false, {}},
      {"@1e300<45", msg::EntryTooFar, true, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const PointEntry e = ParsePointEntry(c.text);
    EXPECT_EQ(e.error, c.error);
    if (c.error != 0) continue;
    EXPECT_EQ(e.relative, c.relative);
    EXPECT_NEAR(e.value.x, c.value.x, 1e-12);
    EXPECT_NEAR(e.value.y, c.value.y, 1e-12);
    if (c.value.x == 0 || c.value.y == 0) {
      EXPECT_TRUE(e.value.x == c.value.x && e.value.y == c.value.y);
    }
  }
}

TEST(DraftAids, GridValuesAreTheDecimalsOfTheSpacing) {
  const struct {
    double v, spacing, want;
  } kCases[] = {
      {0.26, 0.1, 0.3},  // not 3 x 0.1 = 0.30000000000000004
      {-0.74, 0.1, -0.7},
      {1.234, 0.01, 1.23},
      {17, 2.5, 17.5},
      {-14.9, 10, -10},
      {7, 1e-300, 7},  // no whole number of such spacings: the value itself
      {1e300, 3, 1e300},
  };
  for (const auto& c : kCases) EXPECT_EQ(GridValue(c.v, c.spacing), c.want) << c.v << " by " << c.spacing;
}

// The grid of `spacing`, ortho and polar by `step` degrees, as switched.
DraftAids Aids(bool raster, bool ortho, bool polar, double spacing = 10, double step = 15) {
  return {raster, ortho, polar, {spacing}, {step}};
}

// A new drawing, one pixel per unit with the origin at pixel (100, 500),
// the line tool clicked by the pointer and typed.
class DraftTest : public ::testing::Test {
 protected:
  Editor& ed() { return *screen_.editor; }
  FakePlatform& pf() { return *screen_.platform; }
  void Pointer(double x, double y, ShiftState shift = {}) {
    const Point2 at = DXF2Bildschirm(ed().views, x, y);
    ed().PaintBox1MouseDown(MouseButton::Left, shift, static_cast<int>(at.x), static_cast<int>(at.y));
    ed().PaintBox1MouseUp(MouseButton::Left, shift, static_cast<int>(at.x), static_cast<int>(at.y));
  }
  void Move(double x, double y, ShiftState shift = {}) {
    const Point2 at = DXF2Bildschirm(ed().views, x, y);
    ed().PaintBox1MouseMove(shift, static_cast<int>(at.x), static_cast<int>(at.y));
  }
  // The points of the last object written, and how many were written.
  std::vector<Point2> Last() {
    const Drawing& d = ed().drawing;
    std::vector<Point2> points;
    if (d.polys.size() == before_) return points;
    for (const Tmypoi& q : d.ps(d.polys.back())) points.push_back({q.x, q.y});
    return points;
  }

  EditorOnScreen screen_;
  std::size_t before_ = screen_.editor->drawing.polys.size();
};

TEST_F(DraftTest, TheCommandFieldClicksExactlyWhereItsEntrySays) {
  // "@" before any point was taken has nothing to refer to.
  ed().LineBtnClick();
  EXPECT_FALSE(ed().KoordEdReturn("@1,1"));
  EXPECT_EQ(pf().status, GermanMessage(msg::NoLastPoint));
  const struct {
    const char* first;
    const char* second;
    Point2 from, to;
  } kCases[] = {
      {"10,20", "@30,0", {10, 20}, {40, 20}},
      // A first point relative to the last one taken, a polar second one.
      {"@0,5", "@5<90", {40, 25}, {40, 30}},
      {"1234.567,-987.654", "@0,0.5", {1234.567, -987.654}, {1234.567, -987.654 + 0.5}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.first);
    ed().LineBtnClick();
    ASSERT_TRUE(ed().KoordEdReturn(c.first));
    ASSERT_TRUE(ed().KoordEdReturn(c.second));
    ed().keyeditKeyDown(27);
    const std::vector<Point2> line = Last();
    ASSERT_EQ(line.size(), 2u);
    EXPECT_EQ(line[0].x, c.from.x);
    EXPECT_EQ(line[0].y, c.from.y);
    EXPECT_EQ(line[1].x, c.to.x);
    EXPECT_EQ(line[1].y, c.to.y);
  }
  // A bad entry says why and clicks nowhere: the tool still waits for its
  // second point.
  ed().LineBtnClick();
  ASSERT_TRUE(ed().KoordEdReturn("5,0"));
  const std::size_t steps = ed().undos.undos.size();
  for (const auto& [text, nr] : {std::pair{"1,5,2", msg::EntryAmbiguous}, std::pair{"x", msg::EntryNotAPoint},
                                 std::pair{"@1e12,0", msg::EntryTooFar}}) {
    EXPECT_FALSE(ed().KoordEdReturn(text));
    EXPECT_EQ(pf().status, GermanMessage(nr)) << text;
  }
  EXPECT_EQ(ed().undos.undos.size(), steps);
  EXPECT_TRUE(ed().tool.inlin);
  // A good one takes the message's place.
  EXPECT_TRUE(ed().KoordEdReturn("@1<90"));
  EXPECT_EQ(pf().status, "5.0000, 1.0000");
}

TEST_F(DraftTest, TheAidsPlaceThePointerWhereNothingCatchesIt) {
  // A line from (0, 0) to the pointer at `at`, with the aids given.
  const struct {
    const char* what;
    DraftAids aids;
    Point2 at;
    ShiftState shift;
    Point2 want;
  } kCases[] = {
      {"nothing on: where the pointer is", {}, {40, 7}, {}, {40, 7}},
      {"nothing on, Shift: ortho for this point", {}, {40, 7}, {true}, {40, 0}},
      {"ortho: horizontal", Aids(false, true, false), {40, 7}, {}, {40, 0}},
      {"ortho: vertical", Aids(false, true, false), {7, -40}, {}, {0, -40}},
      {"ortho, Shift: free", Aids(false, true, false), {40, 7}, {true}, {40, 7}},
      {"ortho, Ctrl: free", Aids(false, true, false), {40, 7}, {false, true}, {40, 7}},
      {"ortho and the grid", Aids(true, true, false), {43, 7}, {}, {40, 0}},
      {"the grid", Aids(true, false, false), {23, 38}, {}, {20, 40}},
      {"the grid, Ctrl: free", Aids(true, false, false), {23, 38}, {false, true}, {23, 38}},
      {"the grid of 2.5", Aids(true, false, false, 2.5), {23, -38}, {}, {22.5, -37.5}},
      {"polar by 45", Aids(false, false, true, 10, 45), {30, 32}, {}, {31, 31}},
      {"polar by 90 is ortho", Aids(false, false, true, 10, 90), {5, -40}, {}, {0, -40}},
      {"polar by 15", Aids(false, false, true), {-30, 1}, {}, {-30, 0}},
      {"polar and the grid: whole spacings along the ray", Aids(true, false, true, 10, 45),
       {30, 32}, {}, {40 / std::sqrt(2.0), 40 / std::sqrt(2.0)}},
      {"polar, Shift: ortho wins", Aids(false, false, true, 10, 45), {30, 32}, {true}, {0, 32}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ed().tool.aids = c.aids;
    ed().LineBtnClick();
    ASSERT_TRUE(ed().KoordEdReturn("0,0"));
    Pointer(c.at.x, c.at.y, c.shift);
    ed().keyeditKeyDown(27);
    const std::vector<Point2> line = Last();
    ASSERT_EQ(line.size(), 2u);
    EXPECT_NEAR(line[1].x, c.want.x, 1e-9);
    EXPECT_NEAR(line[1].y, c.want.y, 1e-9);
    // Along an axis exactly.
    if (c.want.y == 0) {
      EXPECT_EQ(line[1].y, 0);
    }
    if (c.want.x == 0) {
      EXPECT_EQ(line[1].x, 0);
    }
    ed().Rckgngig1Click();  // nothing of it left to catch
  }
}

TEST_F(DraftTest, WhatTheDrawingCatchesAndWhatIsTypedBeatTheAids) {
  ed().LineBtnClick();
  ASSERT_TRUE(ed().KoordEdReturn("13,17"));
  ASSERT_TRUE(ed().KoordEdReturn("@0.5,100"));
  ed().keyeditKeyDown(27);
  ed().tool.aids = Aids(true, true, true);
  // The nearest vertex within 5 pixels.
  ed().LineBtnClick();
  ASSERT_TRUE(ed().KoordEdReturn("-50,-50"));
  Pointer(15, 19);
  EXPECT_EQ(Last()[1].x, 13);
  EXPECT_EQ(Last()[1].y, 17);
  // An object snap (the line's midpoint).
  ed().tool.snaps = SnapBit(SnapKind::Midpoint);
  Pointer(13.5, 64);
  EXPECT_EQ(Last()[1].x, 13.25);
  EXPECT_EQ(Last()[1].y, 67);
  // A typed point.
  ASSERT_TRUE(ed().KoordEdReturn("1.25,3.5"));
  EXPECT_EQ(Last()[1].x, 1.25);
  EXPECT_EQ(Last()[1].y, 3.5);
}

TEST_F(DraftTest, AGripDraggedLandsWhereOrthoPutsIt) {
  ed().LineBtnClick();
  ASSERT_TRUE(ed().KoordEdReturn("0,0"));
  ASSERT_TRUE(ed().KoordEdReturn("10,0"));
  ed().keyeditKeyDown(27);
  ed().tool.aids.ortho = true;
  // The end from (10, 0) to (20, 3), level; then Shift let go of at (28, 6)
  // takes it there as it is.
  const struct {
    Point2 from, to;
    ShiftState release;
    Point2 want;
  } kDrags[] = {{{10, 0}, {20, 3}, {}, {20, 0}}, {{20, 0}, {28, 6}, {true}, {28, 6}}};
  for (const auto& d : kDrags) {
    ed().AllesAuswhlen1Click();
    const Point2 a = DXF2Bildschirm(ed().views, d.from.x, d.from.y), b = DXF2Bildschirm(ed().views, d.to.x, d.to.y);
    ed().PaintBox1MouseDown(MouseButton::Left, {}, static_cast<int>(a.x), static_cast<int>(a.y));
    ed().PaintBox1MouseMove({}, static_cast<int>(b.x), static_cast<int>(b.y));
    ed().PaintBox1MouseUp(MouseButton::Left, d.release, static_cast<int>(b.x), static_cast<int>(b.y));
    const std::vector<Point2> line = Last();
    ASSERT_EQ(line.size(), 2u);
    EXPECT_EQ(line[1].x, d.want.x);
    EXPECT_EQ(line[1].y, d.want.y);
  }
}

TEST_F(DraftTest, PolarShowsItsGuideDashedAndErasesIt) {
  ed().tool.aids = Aids(false, false, true, 10, 45);
  ed().LineBtnClick();
  ASSERT_TRUE(ed().KoordEdReturn("0,0"));
  pf().xor_.clear();
  Move(30, 32);
  std::vector<tremove> guides;
  for (const tremove& r : pf().xor_)
    if (r.syl == PenStyle::Dot) guides.push_back(r);
  ASSERT_EQ(guides.size(), 1u);
  // On from the band's end at (31, 31), up to the right on the ray from the
  // last point at pixel (100, 500), beyond the drawing area.
  EXPECT_EQ(guides[0].x1 - 100, 500 - guides[0].y1);
  EXPECT_EQ(guides[0].x2 - 100, 500 - guides[0].y2);
  EXPECT_GT(guides[0].x1, 131);
  EXPECT_GT(guides[0].x2, 800);
  for (const tremove& band : pf().xor_) {
    if (band.syl == PenStyle::Solid) {
      EXPECT_TRUE(band.x2 == 131 && band.y2 == 469);
    }
  }
  // The next move erases both.
  pf().xor_.clear();
  ed().tool.aids.polar = false;
  Move(30, 32);
  int dashed = 0;
  for (const tremove& r : pf().xor_) dashed += r.syl == PenStyle::Dot ? 1 : 0;
  EXPECT_EQ(dashed, 1);  // the old guide, erased; no new one
}

TEST_F(DraftTest, TheSwitchesAndValuesAreKeptAndCheckedWhenRead) {
  struct Kept : FakePlatform {
    std::optional<DraftAids> kept;
    std::optional<DraftAids> KeptAids() override { return kept; }
    void KeepAids(const DraftAids& a) override { kept = a; }
    std::deque<double> spacings;
    DialogResult ShowRasterDialog(RasterDialogValues& v) override {
      v.AbstandEd = spacings.front();
      spacings.pop_front();
      return DialogResult::Ok;
    }
  } platform;
  Editor e(platform);
  e.FormCreate(VESTREL_TEMPLATE_DIR);
  e.FormShow({});
  EXPECT_EQ(e.tool.aids, DraftAids{});  // nothing kept yet
  e.FangRaster1Click();
  e.Ortho1Click();
  e.Polar1Click();
  platform.spacings = {0.5, -1, std::nan("")};
  e.Rasterabstand1Click();
  ASSERT_TRUE(platform.kept);
  EXPECT_EQ(*platform.kept, (DraftAids{true, true, true, {0.5}, {15}}));
  // Values that are no spacing are refused with a message.
  for (int i = 0; i < 2; ++i) {
    platform.messages.clear();
    e.Rasterabstand1Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].nr, msg::BadAidValue);
  }
  EXPECT_EQ(platform.kept->grid.AbstandEd, 0.5);
  // The next start takes them; damaged values give way to the defaults.
  platform.kept->grid.AbstandEd = 0, platform.kept->angle.WinkelEd = 720;
  Editor next(platform);
  next.FormCreate(VESTREL_TEMPLATE_DIR);
  next.FormShow({});
  EXPECT_EQ(next.tool.aids, (DraftAids{true, true, true, {}, {}}));
}

TEST(DraftAids, GridDotsOnlyWhereTheyStandApart) {
  const ScreenTransform window(100, -100, 0, 600);  // one pixel per unit
  EXPECT_TRUE(GridDots(window, 7.9, 800, 600).empty());
  EXPECT_TRUE(GridDots(window, 0, 800, 600).empty());
  const std::vector<Point2> dots = GridDots(window, 8, 800, 600);
  ASSERT_EQ(dots.size(), 100u * 75u);
  for (const Point2 p : dots) {
    EXPECT_TRUE(p.x >= 0 && p.x <= 799 && p.y >= 0 && p.y <= 599);
    EXPECT_EQ(std::fmod(p.x - 100, 8), 0);
  }
  // Far out, where the spacing is lost in the coordinates, none.
  EXPECT_TRUE(GridDots(ScreenTransform(100, 1e18, 0, 600), 10, 800, 600).empty());
}

}  // namespace
}  // namespace vestrel
