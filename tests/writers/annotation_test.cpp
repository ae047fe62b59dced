// Texts, arrow heads, dimensions and splines as they are written, read
// back and taken back.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "editing/undo.h"
#include "file/encoding.h"
#include "file/lifecycle.h"
#include "geometry/clickedspline.h"
#include "writers/annotationwriters.h"
#include "writers/writers_fixture.h"

namespace vestrel {
namespace {

using AnnotationTest = WritersTest;

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// The drawing made a newer version, as if its header said so.
void SetVersion(Editor& e, std::string_view acadver) {
  e.drawing.dxf.replace(static_cast<std::size_t>(e.drawing.acadverpos), acadver);
  processdxf(e.drawing);
}

TEST_F(AnnotationTest, TextsInBothVersions) {
  ASSERT_EQ(WriteText(s, {1, 2, 0}, 2.5, "A\nB", 30).result, InsertResult::Inserted);
  EXPECT_EQ(inserted(), (Lines{"  0", "MTEXT", "  5", handle(), "330", model(), "100", "AcDbEntity", "  8", "0", "100",
                               "AcDbMText", "  10", "1", "  20", "2", "  30", "0", "  40", "2.5", "  50", "30", "  1",
                               "A\\PB"}));
  EXPECT_TRUE(editor.drawing.polys.back().ismtext());
  r12();
  const TextResult r = WriteText(s, {1, 2, 0}, 2.5, "A\nB", 30);
  EXPECT_EQ(r.result, InsertResult::Inserted);
  EXPECT_TRUE(r.firstLineOnly);
  EXPECT_EQ(inserted(), (Lines{"  0", "TEXT", "  5", handle(), "  8", "0", "  10", "1", "  20", "2", "  30",
                               "0", "  40", "2.5", "  50", "30", "  1", "A"}));
}

TEST_F(AnnotationTest, TheLinesOfAMemo) {
  struct Case {
    bool r12;
    std::string memo;
    std::string written;  // the "  1" value; empty: nothing written
    bool firstLineOnly;
    bool refused = false;  // a control character without notation
  };
  const Case cases[] = {
      {false, "Hello", "Hello", false},
      {false, "A\r\nB\n", "A\\PB", false},  // a break at the end ends the last line
      {false, "A\n\r\n\n", "A", false},    // and so do several: no empty paragraphs after it
      {false, "A\rB", "A\\PB", false},      // a lone CR must not split the file's line
      {false, "A\n\nB", "A\\P\\PB", false},
      {false, "\nB", "\\PB", false},        // an empty first line stays
      {false, "", "", false},
      {false, "\n\r\n", "", false},  // only empty lines
      // Other control characters in caret notation, a caret itself too.
      {false, "A\tB^C", "A^IB^ C", false},
      {false, std::string("A\0", 2) + "\x1F" "B\x0B", "A^@^_B^K", false},
      {false, "A\n\x7F", "", false, true},     // DEL has none
      {false, "A\xC2\x85", "", false, true},   // nor a C1 control
      {true, "Hello", "Hello", false},
      {true, "A\r\nB", "A", true},
      {true, "\nB", "", true},  // the first line is empty
      {true, "", "", false},
      {true, "A\tB", "A^IB", false},
  };
  for (const Case& c : cases) {
    if (c.r12 && editor.drawing.cadver > 1009) r12();
    SCOPED_TRACE((c.r12 ? "R12 " : "") + c.memo);
    const auto steps = editor.undos.undos.size();
    const TextResult r = WriteText(s, {0, 0, 0}, 1, c.memo, 0);
    EXPECT_EQ(r.firstLineOnly, c.firstLineOnly);
    if (c.written.empty()) {
      EXPECT_EQ(r.result, c.refused ? InsertResult::ControlCharacter : InsertResult::NothingToWrite);
      EXPECT_EQ(editor.undos.undos.size(), steps);
    } else {
      ASSERT_EQ(r.result, InsertResult::Inserted);
      EXPECT_EQ(tail(2), (Lines{"  1", c.written}));
    }
  }
}

TEST_F(AnnotationTest, LongTextsGoInChunksOf250Characters) {
  const std::string x249 = std::string(249, 'x'), x250 = std::string(250, 'x');
  struct Case {
    const char* what;
    std::string_view version;
    bool ansi;
    std::string memo;
    Lines chunks;  // the "  3" values, then the "  1" value
  };
  const Case cases[] = {
      {"600 characters", "AC1015", false, std::string(600, 'x'), {x250, x250, std::string(100, 'x')}},
      {"exactly 250", "AC1015", false, std::string(250, 'x'), {x250}},
      // UTF-8: characters are counted, a sequence is never cut.
      {"UTF-8", "AC1021", false, Repeat("\xC3\xA4", 300),
       {Repeat("\xC3\xA4", 250), Repeat("\xC3\xA4", 50)}},
      {"UTF-8 at the edge", "AC1021", false, x249 + "\xE4\xB8\xAD" "y", {x249 + "\xE4\xB8\xAD", "y"}},
      {"a caret at the edge", "AC1021", false, x249 + "\ty", {x249, "^Iy"}},
      // Code page 1252: one byte a character; what it lacks is escaped,
      // and an escape stays whole.
      {"code page", "AC1015", true, x249 + "\xC3\xA4\xE4\xB8\xAD", {x249 + "\xE4", "\\U+4E2D"}},
      {"escape pair", "AC1015", true, std::string(240, 'x') + "\xF0\x9F\x98\x80",
       {std::string(240, 'x'), "\\U+D83D\\U+DE00"}},
      // An older drawing that looks like UTF-8 gets escapes for all beyond
      // ASCII, as no other program would read UTF-8 there.
      {"older UTF-8", "AC1015", false, x249 + "\xC3\xA4", {x249, "\\U+00E4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetVersion(editor, c.version);
    editor.drawing.dxf.encoding = c.ansi ? TextEncoding::Ansi : TextEncoding::Utf8;
    ASSERT_EQ(WriteText(s, {0, 0, 0}, 1, c.memo, 0).result, InsertResult::Inserted);
    const Lines l = inserted();
    Lines chunks;
    for (std::size_t i = 22; i + 1 < l.size(); i += 2) {
      EXPECT_EQ(l[i], i + 2 == l.size() ? "  1" : "  3");
      chunks.push_back(l[i + 1]);
    }
    EXPECT_EQ(chunks, c.chunks);
  }
}

TEST_F(AnnotationTest, CharactersBeyondTheCodePageComeBackFromTheFile) {
  const std::string typed = "Gr\xC3\xBC\xC3\x9F" "e \xE4\xB8\xAD \xF0\x9F\x98\x80";  // "Grüße", a CJK sign, an emoji
  const std::string path = (std::filesystem::temp_directory_path() / "vestrel_text_roundtrip.dxf").string();
  const struct {
    std::string_view version;
    TextEncoding encoding;
  } drawings[] = {{"AC1015", TextEncoding::Ansi}, {"AC1015", TextEncoding::Utf8}, {"AC1021", TextEncoding::Utf8}};
  for (const auto& f : drawings) {
    SCOPED_TRACE(std::string(f.version) + " " + std::to_string(static_cast<int>(f.encoding)));
    editor.NeueDXFDatei1Click();
    SetVersion(editor, f.version);
    editor.drawing.dxf.encoding = f.encoding;
    ASSERT_EQ(WriteText(s, {0, 0, 0}, 1, typed, 0).result, InsertResult::Inserted);
    ASSERT_TRUE(SaveFileUnder(s, platform, path));
    ASSERT_TRUE(openfilewithname(s, platform, path));
    const Drawing& d = editor.drawing;
    ASSERT_GT(d.anzpoly(), 0);
    EXPECT_EQ(d.dxf.encoding, f.encoding);
    EXPECT_EQ(DecodeUnicode(d.text(d.polys.back()).textstr, d.dxf.encoding), typed);
  }
  std::remove(path.c_str());
}

TEST_F(AnnotationTest, ArrowHeads) {
  struct Case {
    Point2 tip, toward;
    Lines corners;  // 11, 12, 13 as written
  };
  const Case cases[] = {
      {{0, 0}, {10, 0}, {"0.17", "0.034", "0.17", "-0.034", "0.17", "-0.034"}},
      {{1, 1}, {1, -5}, {"1.034", "0.83", "0.966", "0.83", "0.966", "0.83"}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Write(s, AddArrowToLine, c.tip, c.toward), InsertResult::Inserted);
    const Lines l = inserted();
    EXPECT_EQ(l[1], "SOLID");
    EXPECT_EQ(Lines(l.begin() + 12, l.begin() + 16), (Lines{"  10", FloatToDxf(c.tip.x), "  20", FloatToDxf(c.tip.y)}));
    EXPECT_EQ((Lines{l[19], l[21], l[25], l[27], l[31], l[33]}), c.corners);
  }
  const auto steps = editor.undos.undos.size();
  EXPECT_EQ(Write(s, AddArrowToLine, {2, 3}, {2, 3}), InsertResult::NothingToWrite);
  EXPECT_EQ(Write(s, AddArrowToLine, {2, 3}, {NAN, 3}), InsertResult::InvalidValue);
  EXPECT_EQ(editor.undos.undos.size(), steps);
}

TEST_F(AnnotationTest, DimensionsAreFiveEntitiesInOneStep) {
  const auto steps = editor.undos.undos.size();
  ASSERT_EQ(Write(s, AddDimensionLines, {0, 0, 0}, {3, 4, 0}, {-2, 1}, {1, 5}), InsertResult::Inserted);
  ASSERT_EQ(editor.undos.undos.size(), steps + 1);
  const Drawing& d = editor.drawing;
  ASSERT_EQ(d.anzpoly(), 5);
  // Extension lines, dimension line, then the heads at either end pointing
  // outwards (their backs towards the other end).
  const double want[5][4] = {{0, 0, -2, 1}, {3, 4, 1, 5}, {-2, 1, 1, 5}, {-2, 1, 1, 5}, {1, 5, -2, 1}};
  for (int i = 0; i < 5; ++i) {
    const tpoly& p = d.polys[static_cast<std::size_t>(i)];
    EXPECT_EQ(p.issolid(), i >= 3);
    const auto pts = d.ps(p);
    EXPECT_NEAR(pts[0].x, want[i][0], 1e-12);
    EXPECT_NEAR(pts[0].y, want[i][1], 1e-12);
    // The far end of a line; the middle of a head's back points at the other end.
    const double fx = i < 3 ? pts[1].x : pts[1].x + (pts[2].x - pts[1].x) / 2;
    const double fy = i < 3 ? pts[1].y : pts[1].y + (pts[2].y - pts[1].y) / 2;
    EXPECT_NEAR(std::atan2(fy - pts[0].y, fx - pts[0].x),
                std::atan2(want[i][3] - want[i][1], want[i][2] - want[i][0]), 1e-9) << i;
  }
  // Without a dimension line there are no heads; without a number nothing.
  ASSERT_EQ(Write(s, AddDimensionLines, {0, 0, 0}, {0, 0, 0}, {1, 1}, {1, 1}), InsertResult::Inserted);
  EXPECT_EQ(editor.undos.undos.size(), steps + 2);
  EXPECT_EQ(editor.drawing.anzpoly(), 8);
  EXPECT_EQ(Write(s, AddDimensionLines, {0, 0, 0}, {INFINITY, 0, 0}, {1, 1}, {2, 2}), InsertResult::InvalidValue);
  EXPECT_EQ(editor.undos.undos.size(), steps + 2);
}

TEST(DimensionProposal, TwoDecimalsHalvesUp) {
  const struct {
    Point3 p1, p2;
    const char* text;
  } cases[] = {
      {{0, 0, 0}, {3, 4, 0}, "5.00"},   {{1, 1, 1}, {1, 1, 1}, "0.00"},      {{0, 0, 0}, {0, 0, 2.675}, "2.68"},
      {{0, 0, 0}, {9.995, 0, 0}, "10.00"}, {{0, 0, 0}, {0.004, 0, 0}, "0.00"}, {{5, 0, 0}, {-1229.5, 0, 0}, "1234.50"},
      {{0, 0, 0}, {1e20, 0, 0}, "100000000000000000000.00"}, {{0, 0, 0}, {NAN, 0, 0}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DimensionProposal(c.p1, c.p2), c.text);
}

// The spline of the lines a step inserted, as a reader of the file sees it.
Spline SplineOfLines(const Lines& l) {
  Spline s;
  int degree = 0;
  auto num = [](const std::string& v) {
    double x = 0;
    std::from_chars(v.data(), v.data() + v.size(), x);
    return x;
  };
  for (std::size_t i = 0; i + 1 < l.size(); i += 2) {
    const std::string& code = l[i];
    if (code == " 71") degree = static_cast<int>(num(l[i + 1]));
    if (code == "  40") s.knots.push_back(num(l[i + 1]));
    if (code == "  10") s.controls.push_back({num(l[i + 1]), 0, 0});
    if (code == "  20") s.controls.back().y = num(l[i + 1]);
  }
  s.order = degree + 1;
  return s;
}

std::vector<PolyVertex> Clicks(std::initializer_list<Point2> pts) {
  std::vector<PolyVertex> out;
  for (Point2 p : pts) out.push_back({p.x, p.y, 0, 0});
  return out;
}

TEST_F(AnnotationTest, ASplineOfFiveClicks) {
  const auto clicks = Clicks({{0, 0}, {10, 5}, {20, -3}, {30, 8}, {40, 0}});
  ASSERT_EQ(Write(s, AddSPLINE, clicks, 0, false), InsertResult::Inserted);
  const Lines l = inserted();
  EXPECT_EQ(Lines(l.begin(), l.begin() + 20), (Lines{"  0", "SPLINE", "  5", handle(), "330", model(), "100", "AcDbEntity",
                                                   "  8", "0", "100", "AcDbSpline", " 72", "9", " 73", "5", " 71", "3",
                                                   "  40", "0"}));
  const Spline sp = SplineOfLines(l);
  EXPECT_EQ(sp.knots, (std::vector<double>{0, 0, 0, 0, 1, 2, 2, 2, 2}));
  ASSERT_EQ(sp.controls.size(), 5u);
  EXPECT_EQ(Lines(l.begin() + 36, l.begin() + 42), (Lines{"  10", "0", "  20", "0", "  30", "0"}));
  EXPECT_EQ(Lines(l.end() - 6, l.end()), (Lines{"  10", "40", "  20", "0", "  30", "0"}));
  EXPECT_FALSE(editor.drawing.polys.back().isclosed);
  // Closed: " 70" "1" before the degree.
  ASSERT_EQ(Write(s, AddSPLINE, clicks, 0, true), InsertResult::Inserted);
  const Lines closed = inserted();
  EXPECT_EQ(Lines(closed.begin() + 16, closed.begin() + 20), (Lines{" 70", "1", " 71", "3"}));
  EXPECT_TRUE(editor.drawing.polys.back().isclosed);
  // R12 holds no splines.
  r12();
  const auto steps = editor.undos.undos.size();
  EXPECT_EQ(Write(s, AddSPLINE, clicks, 0, false), InsertResult::NotInThisVersion);
  EXPECT_EQ(editor.undos.undos.size(), steps);
}

TEST_F(AnnotationTest, TheSplinePassesThroughEveryClick) {
  struct Case {
    const char* what;
    std::vector<PolyVertex> clicks;
    int splinemode;
    std::vector<int> through;  // the clicks on the curve
    int degree;
  };
  const std::vector<PolyVertex> seven = Clicks({{0, 0}, {3, 7}, {9, 8}, {12, 1}, {20, 0}, {22, 9}, {15, 15}});
  const Case cases[] = {
      {"seven points", seven, 0, {0, 1, 2, 3, 4, 5, 6}, 3},
      {"four points", Clicks({{0, 0}, {1, 1}, {2, 0}, {3, 1}}), 0, {0, 1, 2, 3}, 3},
      {"the same point twice", Clicks({{0, 0}, {5, 5}, {5, 5}, {9, 0}}), 0, {0, 1, 2, 3}, 3},
      {"three points", Clicks({{0, 0}, {4, 6}, {8, 0}}), 0, {0, 1, 2}, 2},
      {"two points", Clicks({{0, 0}, {4, 6}}), 0, {0, 1}, 1},
      // Five points and the two direction handles.
      {"both directions", seven, 2, {0, 1, 2, 3, 4}, 3},
      {"start direction", seven, 1, {0, 1, 2, 3, 4, 5}, 3},
      {"two points, both directions", Clicks({{0, 0}, {10, 0}, {-5, 5}, {15, 5}}), 2, {0, 1}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Write(s, AddSPLINE, c.clicks, c.splinemode, false), InsertResult::Inserted);
    const Spline sp = SplineOfLines(inserted());
    EXPECT_EQ(sp.order - 1, c.degree);
    ASSERT_EQ(sp.knots.size(), sp.controls.size() + static_cast<std::size_t>(sp.order));
    // The points of the curve at evenly spread parameters, the last the
    // end of the curve: the fit points are among them.
    const int m = static_cast<int>(sp.controls.size());
    std::vector<Point3> on;
    for (int j = 0; j + 1 < m; ++j) on.push_back(CurvePoint(sp, sp.knots.back() * j / (m - 1)));
    on.push_back(sp.controls.back());
    for (int i : c.through) {
      const PolyVertex& q = c.clicks[static_cast<std::size_t>(i)];
      double nearest = 1e300;
      for (const Point3& p : on) nearest = std::min(nearest, std::hypot(p.x - q.x, p.y - q.y));
      EXPECT_LT(nearest, 1e-9) << "click " << i;
    }
    const std::vector<Point3> curve = FlattenSpline(sp);
    ASSERT_FALSE(curve.empty());
    const PolyVertex& last = c.clicks[c.clicks.size() - 1 - static_cast<std::size_t>(c.splinemode)];
    EXPECT_EQ(curve.front().x, c.clicks[0].x);
    EXPECT_EQ(curve.front().y, c.clicks[0].y);
    EXPECT_NEAR(curve.back().x, last.x, 1e-12);
    EXPECT_NEAR(curve.back().y, last.y, 1e-12);
  }
  const auto steps = editor.undos.undos.size();
  EXPECT_EQ(Write(s, AddSPLINE, Clicks({{1, 1}}), 0, false), InsertResult::NothingToWrite);
  EXPECT_EQ(Write(s, AddSPLINE, Clicks({{1, 1}, {2, 2}, {3, 3}}), 2, false), InsertResult::NothingToWrite);
  EXPECT_EQ(editor.undos.undos.size(), steps);
}

TEST_F(AnnotationTest, DirectionHandlesBecomeTheControlPointsNextToTheEnds) {
  // Points (0,0), (10,0), (20,0); the start handle below the first point,
  // the end handle right of the last one.
  const auto clicks = Clicks({{0, 0}, {10, 0}, {20, 0}, {0, -3}, {25, 0}});
  ASSERT_EQ(Write(s, AddSPLINE, clicks, 2, false), InsertResult::Inserted);
  const Spline sp = SplineOfLines(inserted());
  ASSERT_EQ(sp.controls.size(), 5u);
  // Half the distance to the neighbouring point, away from the handle.
  EXPECT_NEAR(sp.controls[1].x, 0, 1e-12);
  EXPECT_NEAR(sp.controls[1].y, 5, 1e-12);
  EXPECT_NEAR(sp.controls[3].x, 15, 1e-12);
  EXPECT_NEAR(sp.controls[3].y, 0, 1e-12);
}

TEST_F(AnnotationTest, TheRubberBandShowsTheCurveThatIsWritten) {
  const auto clicks = Clicks({{0, 0}, {4, 3}, {9, -2}, {14, 4}, {2, -4}, {20, 1}});
  for (int mode = 0; mode <= 2; ++mode) {
    SCOPED_TRACE(mode);
    const std::vector<PolyVertex> before(clicks.begin(), clicks.end() - 1);
    const std::vector<Point3> preview = SplinePreview(before, {clicks.back().x, clicks.back().y}, mode);
    ASSERT_EQ(Write(s, AddSPLINE, clicks, mode, false), InsertResult::Inserted);
    // What the reader draws of the written spline (its control points follow, not drawn).
    const Drawing& d = editor.drawing;
    const auto pts = d.ps(d.polys.back());
    ASSERT_EQ(pts.size(), preview.size() + 6);
    for (std::size_t i = 0; i < preview.size(); ++i) {
      EXPECT_NEAR(pts[i].x, preview[i].x, 1e-9);
      EXPECT_NEAR(pts[i].y, preview[i].y, 1e-9);
    }
  }
  EXPECT_TRUE(SplinePreview({}, {1, 1}, 0).empty());
}

TEST_F(AnnotationTest, UndoTakesBackEachInsertion) {
  const Lines before = editor.drawing.dxf.copy(0, editor.drawing.dxf.size());
  const auto clicks = Clicks({{0, 0}, {10, 5}, {20, -3}, {30, 8}});
  ASSERT_EQ(WriteText(s, {0, 0, 0}, 1, "T", 0).result, InsertResult::Inserted);
  ASSERT_EQ(Write(s, AddArrowToLine, {0, 0}, {1, 1}), InsertResult::Inserted);
  ASSERT_EQ(Write(s, AddDimensionLines, {0, 0, 0}, {4, 0, 0}, {0, 2}, {4, 2}), InsertResult::Inserted);
  ASSERT_EQ(Write(s, AddSPLINE, clicks, 0, false), InsertResult::Inserted);
  const int written[] = {1, 5, 1, 1};  // spline, dimension, arrow, text: one step each
  int entries = 8;
  for (int n : written) {
    ASSERT_TRUE(UndoLastOperation(s));
    entries -= n;
    EXPECT_EQ(editor.drawing.anzpoly(), entries);
  }
  const Lines after = editor.drawing.dxf.copy(0, editor.drawing.dxf.size());
  // All as it was, but the handle seed, which undo leaves advanced.
  ASSERT_EQ(after.size(), before.size());
  int differ = 0;
  for (std::size_t i = 0; i < after.size(); ++i) differ += after[i] != before[i];
  EXPECT_EQ(differ, 1);
  EXPECT_NE(after[static_cast<std::size_t>(editor.drawing.handleseedpos)],
            before[static_cast<std::size_t>(editor.drawing.handleseedpos)]);
}

}  // namespace
}  // namespace vestrel
