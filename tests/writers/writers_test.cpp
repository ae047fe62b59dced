// The lines every writer puts into the drawing, in both versions.
#include <gtest/gtest.h>

#include <cmath>

#include "writers/entitywriters.h"
#include "writers/tablewriters.h"
#include "writers/writers_fixture.h"

namespace vestrel {
namespace {

TEST_F(WritersTest, ALineInBothVersions) {
  ASSERT_EQ(Write(s, AddLine, LineKind::Line, {0, 0, 0}, {10, 5, 0}), InsertResult::Inserted);
  EXPECT_EQ(inserted(), (Lines{"  0", "LINE", "  5", handle(), "330", model(), "100", "AcDbEntity", "  8", "0", "100",
                               "AcDbLine", "  10", "0", "  20", "0", "  30", "0", "  11", "10", "  21", "5", "  31", "0"}));
  r12();
  ASSERT_EQ(Write(s, AddLine, LineKind::Line, {0, 0, 0}, {10, 5, 0}), InsertResult::Inserted);
  EXPECT_EQ(inserted(), (Lines{"  0", "LINE", "  5", handle(), "  8", "0", "  10", "0", "  20", "0", "  30", "0", "  11",
                               "10", "  21", "5", "  31", "0"}));
  EXPECT_EQ(editor.drawing.anzpoly(), 1);
  EXPECT_TRUE(editor.file.changed);
}

TEST_F(WritersTest, RaysAndConstructionLinesStoreTheirDirection) {
  EXPECT_EQ(LineKindOf(2), LineKind::Ray);
  EXPECT_EQ(LineKindOf(1), LineKind::XLine);
  EXPECT_EQ(LineKindOf(0), LineKind::Line);
  ASSERT_EQ(Write(s, AddLine, LineKind::Ray, {1, 1, 0}, {4, 5, 0}), InsertResult::Inserted);
  Lines l = inserted();
  EXPECT_EQ(l[1], "RAY");
  EXPECT_EQ(l[11], "AcDbRay");
  EXPECT_EQ(Lines(l.end() - 6, l.end()), (Lines{"  11", "0.6", "  21", "0.8", "  31", "0"}));
  ASSERT_EQ(Write(s, AddLine, LineKind::XLine, {1, 1, 0}, {0, 1, 0}), InsertResult::Inserted);
  l = inserted();
  EXPECT_EQ(l[11], "AcDbXline");
  EXPECT_EQ(Lines(l.end() - 6, l.end()), (Lines{"  11", "-1", "  21", "0", "  31", "0"}));
  // Through one point only there is no direction.
  const std::size_t size = editor.drawing.dxf.size();
  EXPECT_EQ(Write(s, AddLine, LineKind::XLine, {1, 1, 0}, {1, 1, 0}), InsertResult::NothingToWrite);
  EXPECT_EQ(editor.drawing.dxf.size(), size);
}

TEST_F(WritersTest, SolidsPointsAndCircles) {
  ASSERT_EQ(Write(s, AddSolid, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}), InsertResult::Inserted);
  Lines l = inserted();
  EXPECT_EQ(l[11], "AcDbTrace");
  // The third corner written is the fourth given.
  EXPECT_EQ(Lines(l.begin() + 24, l.begin() + 30), (Lines{"  12", "0", "  22", "1", "  32", "0"}));
  EXPECT_EQ(Lines(l.begin() + 30, l.end()), (Lines{"  13", "1", "  23", "1", "  33", "0"}));
  ASSERT_EQ(Write(s, AddPoint, {2.5, -1, 0}), InsertResult::Inserted);
  EXPECT_EQ(tail(6), (Lines{"  10", "2.5", "  20", "-1", "  30", "0"}));
  ASSERT_EQ(Write(s, AddCircle, 0, {1, 1, 0}, {4, 5, 0}), InsertResult::Inserted);
  EXPECT_EQ(inserted().back(), "5");
  ASSERT_EQ(Write(s, AddCircle, 2, {1, 1, 0}, {4, 5, 0}), InsertResult::Inserted);  // centre and diameter
  EXPECT_EQ(inserted().back(), "2.5");
  ASSERT_EQ(Write(s, AddCircleDurch3Punkte, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}), InsertResult::Inserted);
  EXPECT_EQ(tail(8), (Lines{"  10", "0", "  20", "0", "  30", "0", "  40", "1"}));
  const auto steps = editor.undos.undos.size();
  EXPECT_EQ(Write(s, AddCircleDurch3Punkte, {0, 0, 0}, {1, 1, 0}, {2, 2, 0}), InsertResult::NothingToWrite);  // on one line: nothing
  EXPECT_EQ(editor.undos.undos.size(), steps);
}

TEST_F(WritersTest, ArcsInTheirThreeVariants) {
  ASSERT_EQ(Write(s, AddArc, 0, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}), InsertResult::Inserted);
  Lines l = inserted();
  EXPECT_EQ(Lines(l.begin() + 12, l.end()), (Lines{"  10", "0", "  20", "0", "  30", "0", "  40", "1", "100", "AcDbArc",
                                                   "  50", "0", "  51", "180"}));
  ASSERT_EQ(Write(s, AddArc, 3, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}), InsertResult::Inserted);  // start, end, middle
  EXPECT_EQ(tail(4), (Lines{"  50", "0", "  51", "180"}));
  // Centre, start, end: counter-clockwise from -90 to 0 becomes 270 to 360.
  ASSERT_EQ(Write(s, AddArc, 1, {0, 0, 0}, {0, -2, 0}, {5, 0, 0}), InsertResult::Inserted);
  l = inserted();
  EXPECT_EQ(l[19], "2");
  EXPECT_EQ(Lines(l.end() - 4, l.end()), (Lines{"  50", "270", "  51", "360"}));
  const auto steps = editor.undos.undos.size();
  EXPECT_EQ(Write(s, AddArc, 0, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}), InsertResult::NothingToWrite);
  EXPECT_EQ(Write(s, AddArc, 5, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}), InsertResult::NothingToWrite);
  EXPECT_EQ(editor.undos.undos.size(), steps);
}

TEST_F(WritersTest, Ellipses) {
  ASSERT_EQ(Write(s, AddEllipse, 0, {0, 0, 0}, {10, 0, 0}, {5, 2, 0}, 0, 0), InsertResult::Inserted);  // by the axis ends
  Lines l = inserted();
  EXPECT_EQ(l[11], "AcDbEllipse");
  EXPECT_EQ(Lines(l.begin() + 12, l.end()), (Lines{"  10", "5", "  20", "0", "  30", "0", "  11", "5", "  21", "0",
                                                   "  31", "0", "  40", "0.4"}));
  ASSERT_EQ(Write(s, AddEllipse, 3, {0, 0, 0}, {0, 4, 0}, {1, 0, 0}, 0.5, 2), InsertResult::Inserted);  // centre, arc
  EXPECT_EQ(tail(6), (Lines{"  40", "0.25", "  41", "0.5", "  42", "2"}));
  ASSERT_EQ(Write(s, AddEllipse, 2, {3, 3, 0}, {3, 3, 0}, {4, 4, 0}, 0, 0), InsertResult::Inserted);  // no axis
  EXPECT_EQ(inserted().back(), "1");
}

TEST_F(WritersTest, PolylinesInBothVersions) {
  std::vector<PolyVertex> pts(3);
  pts[1].x = 1, pts[2].x = 2, pts[2].y = 1;
  pts[1].bulge = -0.5;  // the tools' sign: the drawing gets 0.5
  ASSERT_EQ(Write(s, AddPolyLine, pts, false), InsertResult::Inserted);
  Lines l = inserted();
  EXPECT_EQ(Lines(l.begin(), l.begin() + 14), (Lines{"  0", "LWPOLYLINE", "  5", handle(), "330", model(), "100",
                                                     "AcDbEntity", "  8", "0", "100", "AcDbPolyline", " 90", "3"}));
  EXPECT_EQ(Lines(l.begin() + 20, l.begin() + 28), (Lines{"  10", "1", "  20", "0", "  30", "0", "  42", "0.5"}));
  EXPECT_EQ(l.size(), 14u + 6 + 8 + 6);
  // A closed R12 polyline of two points: four handles.
  r12();
  const Handle before = editor.drawing.maxhandle;
  pts.resize(2);
  pts[1].bulge = 0;
  ASSERT_EQ(Write(s, AddPolyLine, pts, true), InsertResult::Inserted);
  l = inserted();
  EXPECT_EQ(Lines(l.begin(), l.begin() + 10),
            (Lines{"  0", "POLYLINE", "  5", HandleText(before + 1), "  8", "0", " 66", "1", " 70", "1"}));
  EXPECT_EQ(Lines(l.begin() + 10, l.begin() + 16), (Lines{"  0", "VERTEX", "  5", HandleText(before + 2), "  8", "0"}));
  EXPECT_EQ(Lines(l.end() - 6, l.end()), (Lines{"  0", "SEQEND", "  5", HandleText(before + 4), "  8", "0"}));
  EXPECT_EQ(editor.drawing.polys.back().isclosed, true);
}

TEST_F(WritersTest, RegularPolygons) {
  ASSERT_EQ(Write(s, AddPolyGon, {0, 0, 0}, {1, 0, 0}, 4), InsertResult::Inserted);
  const Lines l = inserted();
  const double expected[][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {0, 1}};
  std::vector<double> xs, ys;
  for (std::size_t i = 0; i + 1 < l.size(); i += 2) {
    if (l[i] == "  10") xs.push_back(*ParseDouble(l[i + 1]));
    if (l[i] == "  20") ys.push_back(*ParseDouble(l[i + 1]));
  }
  ASSERT_EQ(xs.size(), 5u);
  ASSERT_EQ(ys.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_NEAR(xs[i], expected[i][0], 1e-12);
    EXPECT_NEAR(ys[i], expected[i][1], 1e-12);
  }
  EXPECT_EQ(l[13], "5");
  EXPECT_EQ(l[15], "1");  // closed
}

TEST_F(WritersTest, LayersAndLineTypes) {
  const int at = editor.drawing.layerinsertlinenr;
  editor.drawing.plotstylereaded = "F";  // what the reader found in the layer table
  ASSERT_EQ(Write(s, AddNewLayer, "N", "L", "-3", "1"), InsertResult::Inserted);
  EXPECT_EQ(editor.undos.undos.back().actions.back().start, at);
  EXPECT_EQ(inserted(), (Lines{"  0", "LAYER", "  5", handle(), "100", "AcDbSymbolTableRecord", "100", "AcDbLayerTableRecord",
                               "  2", "N", " 70", "0", " 62", "1", " 6", "L", " 370", "-3", " 390", "F"}));
  EXPECT_EQ(editor.drawing.layers[static_cast<std::size_t>(editor.drawing.anzlayer - 1)].name, "N");
  EXPECT_EQ(editor.drawing.plotstylereaded, "F");  // the new layer's, read again
  // Without a plot style there is no pointer to one.
  editor.drawing.plotstylereaded.clear();
  ASSERT_EQ(Write(s, AddNewLayer, "M", "L", "-3", "1"), InsertResult::Inserted);
  EXPECT_EQ(inserted().back(), "-3");
  ASSERT_EQ(Write(s, AddLineStil, "STRICH", "__ __", {0.5, -0.25}), InsertResult::Inserted);
  EXPECT_EQ(inserted(), (Lines{"  0", "LTYPE", "  5", handle(), "100", "AcDbSymbolTableRecord", "100",
                               "AcDbLinetypeTableRecord", "  2", "STRICH", " 70", "0", "  3", "__ __", " 72", "65", " 73",
                               "2", " 40", "0.75", "  49", "0.5", "  74", "0", "  49", "-0.25", "  74", "0"}));
  EXPECT_EQ(editor.drawing.linetype[static_cast<std::size_t>(editor.drawing.anzlt - 1)].parts,
            (std::vector<float>{0.5f, -0.25f}));
  r12();
  ASSERT_EQ(Write(s, AddNewLayer, "R", "CONTINUOUS", "-3", "2"), InsertResult::Inserted);
  EXPECT_EQ(inserted().size(), 12u);  // no subclasses, no weight, no plot style
}

TEST_F(WritersTest, ViewportsNumberThemselves) {
  editor.view.tab = 1;
  ViewportValues v;
  v.Breite = 100, v.Hoehe = 50, v.MitteX = 60, v.MitteY = 35, v.InhaltX = 5, v.InhaltY = 6, v.HoeheInhalt = 20;
  ASSERT_EQ(Write(s, AddViewport, true, v), InsertResult::Inserted);
  Lines l = inserted();
  EXPECT_EQ(Lines(l.begin() + 14, l.begin() + 28), (Lines{"  10", "60", "  20", "35", "  30", "0", "  40", "100", "  41",
                                                         "50", "68", "1", "69", "1"}));
  EXPECT_EQ(l.size(), 104u);
  EXPECT_EQ(Lines(l.begin() + 72, l.begin() + 74), (Lines{"  1", ""}));
  ASSERT_EQ(Write(s, AddViewport, false, v), InsertResult::Inserted);
  l = inserted();
  const std::string n = std::to_string(editor.drawing.maxviewportid);
  EXPECT_EQ(Lines(l.begin() + 24, l.begin() + 32), (Lines{"68", n, "  69", n, "  12", "5", "  22", "6"}));
  const tpoly& p = editor.drawing.polys.back();
  EXPECT_TRUE(p.isviewport() && p.ispaperspace);
  EXPECT_EQ(editor.drawing.viewport(p).viewheight, 20);
  // R12 keeps the view in extended data, which the reader finds again.
  r12();
  editor.view.tab = 1;
  ASSERT_EQ(Write(s, AddViewport, false, v), InsertResult::Inserted);
  l = inserted();
  EXPECT_EQ(Lines(l.begin() + 18, l.begin() + 24), (Lines{"68", "3", "69", "3", "1001", "ACAD"}));
  EXPECT_EQ(editor.drawing.viewport(editor.drawing.polys.back()).viewheight, 20);
  EXPECT_EQ(editor.drawing.viewport(editor.drawing.polys.back()).panx, 5);
}

TEST_F(WritersTest, AViewportProposedForThePage) {
  Write(s, AddLine, LineKind::Line, {0, 0, 0}, {100, 40, 0});
  editor.view.tab = 1;
  PrintSetup print;
  print.mmEd = 1, print.UnitsEd = 2, print.RandEd = 5;
  ASSERT_EQ(Write(s, AddViewport, false, ProposedViewport(platform.page, print, {0, 0, 100, 40})), InsertResult::Inserted);
  const tpoly& p = editor.drawing.polys.back();
  const double pw = 4960 / 600.0 * kMmPerInch, ph = 7016 / 600.0 * kMmPerInch;
  const ViewportData& v = editor.drawing.viewport(p);
  EXPECT_NEAR(v.widx, (pw - 10 - 20) * 2, 1e-9);
  EXPECT_NEAR(v.widy, (ph - 10 - 20) * 2, 1e-9);
  EXPECT_NEAR(p.cx, v.widx / 2 + 10, 1e-9);
  EXPECT_EQ(v.panx, 50);
  EXPECT_EQ(v.pany, 20);
  EXPECT_EQ(v.viewheight, 80);
}

}  // namespace
}  // namespace vestrel
