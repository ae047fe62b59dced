// What each kind of entity becomes in the display list: its points, grips,
// snap points and the lines they come from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "document/splineahead.h"
#include "geometry/point.h"
#include "support/drawing_state.h"
#include "support/dxf_text.h"

namespace vestrel {
namespace {

using test::GroupLine;
using test::LineOf;


// A drawing of the given entity pairs in the ENTITIES section.
Drawing Entities(const std::string& body) { return test::Parsed(test::WithEof(test::Section("ENTITIES", body))); }

std::vector<Tmypoi> Points(const Drawing& d, int i = 0) {
  const auto ps = d.ps(d.polys[static_cast<std::size_t>(i)]);
  return {ps.begin(), ps.end()};
}

void ExpectAt(const Tmypoi& p, double x, double y, double tolerance = 1e-9) {
  EXPECT_NEAR(p.x, x, tolerance);
  EXPECT_NEAR(p.y, y, tolerance);
}

// --- lines and light-weight polylines -------------------------------------------------

TEST(LineFamily, ALineHasItsTwoPointsAndTheirLines) {
  const Drawing d = Entities("  0\nLINE\n  8\n0\n 10\n1\n 20\n2\n 30\n0\n 11\n4\n 21\n6\n 31\n0\n");
  const auto ps = Points(d);
  ASSERT_EQ(ps.size(), 2u);
  ExpectAt(ps[0], 1, 2);
  ExpectAt(ps[1], 4, 6);
  EXPECT_EQ(ps[0].linex, GroupLine(d, "10"));
  EXPECT_EQ(ps[0].liney, GroupLine(d, "20"));
  EXPECT_EQ(ps[0].linez, GroupLine(d, "30"));
  EXPECT_EQ(ps[1].linex, GroupLine(d, "11"));
}

TEST(LineFamily, ConstructionLinesAndRaysReachFarOut) {
  const Drawing d = Entities(
      "  0\nXLINE\n 10\n0\n 20\n0\n 30\n0\n 11\n1\n 21\n0\n 31\n0\n"
      "  0\nRAY\n 10\n5\n 20\n5\n 30\n0\n 11\n0\n 21\n1\n 31\n0\n");
  auto ps = Points(d, 0);
  ExpectAt(ps[0], -10000, 0);
  ExpectAt(ps[1], 10000, 0);
  EXPECT_TRUE(d.polys[0].xline());
  ps = Points(d, 1);
  ExpectAt(ps[0], 5, 5);
  ExpectAt(ps[1], 5, 10005);
}

TEST(LineFamily, ABulgeBecomesItsArc) {
  const Drawing d = Entities("  0\nLWPOLYLINE\n 90\n2\n 70\n0\n 10\n0\n 20\n0\n 42\n1\n 10\n2\n 20\n0\n");
  const auto ps = Points(d);
  // A half circle in 32 pieces: 31 points between its ends.
  ASSERT_EQ(ps.size(), 33u);
  ExpectAt(ps[0], 0, 0);
  ExpectAt(ps[32], 2, 0);
  ExpectAt(ps[16], 1, -1);
  for (std::size_t i = 1; i <= 31; ++i) {
    EXPECT_NEAR(std::hypot(ps[i].x - 1, ps[i].y), 1, 1e-9);
    EXPECT_LE(ps[i].y, 1e-9);  // counter-clockwise from (0,0): below the chord
    EXPECT_EQ(ps[i].linex, 0);
  }
  EXPECT_EQ(ps[0].linex, GroupLine(d, "10"));
  const tpoly& p = d.polys[0];
  ASSERT_EQ(p.anzs, 1);
  ExpectAt(d.snap(p)[0], 1, 0);
}

TEST(LineFamily, AClosedPolylineComesBackToItsStart) {
  const Drawing d = Entities("  0\nLWPOLYLINE\n 70\n1\n 10\n0\n 20\n0\n 10\n4\n 20\n0\n 10\n4\n 20\n3\n");
  const auto ps = Points(d);
  ASSERT_EQ(ps.size(), 4u);
  ExpectAt(ps[3], 0, 0);
  EXPECT_EQ(ps[3].linex, ps[0].linex);
  const tpoly& p = d.polys[0];
  EXPECT_TRUE(p.isclosed);
  // The closing segment takes the last vertex's bulge.
  const Drawing bulged = Entities("  0\nLWPOLYLINE\n 70\n1\n 10\n0\n 20\n0\n 10\n4\n 20\n0\n 42\n1\n");
  EXPECT_EQ(Points(bulged).size(), 34u);
}

TEST(LineFamily, WidthsAndLeaderArrows) {
  const Drawing d = Entities(
      "  0\nLWPOLYLINE\n 43\n0.5\n 10\n0\n 20\n0\n 40\n2\n 41\n3\n 10\n1\n 20\n0\n"
      "  0\nLEADER\n 71\n0\n 10\n0\n 20\n0\n 10\n1\n 20\n1\n  0\nLEADER\n 10\n0\n 20\n0\n");
  const tpoly& p = d.polys[0];
  EXPECT_TRUE(p.setwidonce);
  EXPECT_EQ(p.thewid, 0.5);
  const auto ps = Points(d);
  EXPECT_FALSE(ps[0].setwid);
  EXPECT_TRUE(ps[1].setwid);
  EXPECT_EQ(ps[1].startwid, 2);  // the segment widens from 2 to 3
  EXPECT_EQ(ps[1].wid, 3);
  EXPECT_FALSE(d.polys[1].arrowhead);
  EXPECT_TRUE(d.polys[2].arrowhead);
  // A half circle that widens from 0 to 4: its pieces share the widening.
  const Drawing arc = Entities("  0\nLWPOLYLINE\n 10\n0\n 20\n0\n 40\n0\n 41\n4\n 42\n1\n 10\n2\n 20\n0\n");
  const auto half = Points(arc);
  ASSERT_EQ(half.size(), 33u);
  for (std::size_t k = 1; k < half.size(); ++k) {
    EXPECT_FLOAT_EQ(half[k].startwid, 4.0f * (k - 1) / 32) << k;
    EXPECT_FLOAT_EQ(half[k].wid, 4.0f * k / 32) << k;
  }
}

TEST(LineFamily, StrayGroupsBeforeTheFirstPointAreDropped) {
  const Drawing d = Entities("  0\nLINE\n 20\n7\n 42\n1\n 10\nx\n 10\n1\n 20\n2\n");
  const auto ps = Points(d);
  ASSERT_EQ(ps.size(), 1u);
  ExpectAt(ps[0], 1, 2);
}

// --- old-style polylines ------------------------------------------------------------------

std::string Polyline(const std::string& header, const std::vector<std::string>& vertices) {
  std::string s = "  0\nPOLYLINE\n  8\n0\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n" + header;
  for (const std::string& v : vertices) s += "  0\nVERTEX\n  8\n0\n" + v;
  return s + "  0\nSEQEND\n  8\n0\n";
}

TEST(OldPolyline, VerticesAreItsPointsAndTheHeaderPointIsNot) {
  const Drawing d = Entities(Polyline(" 70\n0\n", {" 10\n1\n 20\n2\n 30\n3\n", " 10\n4\n 20\n5\n", " 10\n6\n 20\n7\n"}));
  const auto ps = Points(d);
  ASSERT_EQ(ps.size(), 3u);
  ExpectAt(ps[0], 1, 2);
  EXPECT_EQ(ps[0].z, 3);
  EXPECT_EQ(ps[0].linez, GroupLine(d, "30", 1));
  ExpectAt(ps[2], 6, 7);
}

TEST(OldPolyline, OnlyItsOwnFlagsCloseIt) {
  // Closed by its header, whatever flags its vertices carry.
  Drawing d = Entities(Polyline(" 70\n1\n", {" 10\n0\n 20\n0\n 70\n0\n", " 10\n1\n 20\n0\n 70\n0\n", " 10\n1\n 20\n1\n 70\n0\n"}));
  EXPECT_TRUE(d.polys[0].isclosed);
  EXPECT_EQ(d.polys[0].anzp, 4);
  // A 3-D polyline marks every vertex with 32; that closes nothing.
  d = Entities(Polyline(" 70\n8\n", {" 10\n0\n 20\n0\n 70\n32\n", " 10\n1\n 20\n0\n 70\n32\n"}));
  EXPECT_FALSE(d.polys[0].isclosed);
  EXPECT_EQ(d.polys[0].anzp, 2);
}

TEST(OldPolyline, AVertexWidthCountsFromTheNextVertexOn) {
  const Drawing d = Entities(Polyline("", {" 10\n0\n 20\n0\n 40\n2\n 41\n2\n", " 10\n1\n 20\n0\n", " 10\n2\n 20\n0\n"}));
  const auto ps = Points(d);
  EXPECT_FALSE(ps[0].setwid);
  EXPECT_TRUE(ps[1].setwid);
  EXPECT_EQ(ps[1].wid, 2);
}

TEST(OldPolyline, OwnerIsThePolylinesNotItsVertices) {
  const Drawing d = Entities(
      "  0\nPOLYLINE\n  5\nA0\n330\n1F\n  8\n0\n  0\nVERTEX\n  5\nA1\n330\nA0\n 10\n0\n 20\n0\n"
      "  0\nSEQEND\n  5\nA2\n330\nA0\n");
  EXPECT_EQ(d.polys[0].layhan, 0x1Fu);
  EXPECT_EQ(d.polys[0].han, 0xA2u);  // the handle is the SEQEND's
}

// --- arcs and circles ------------------------------------------------------------------------

TEST(ArcsAndCircles, ACircleHasItsCentreAndQuadrantGrips) {
  const Drawing d = Entities("  0\nCIRCLE\n 10\n0\n 20\n0\n 30\n0\n 40\n2\n");
  const auto ps = Points(d);
  // The centre, then 64 pieces of a full turn.
  ASSERT_EQ(ps.size(), 66u);
  EXPECT_TRUE(ps[0].donotdraw);
  EXPECT_EQ(ps[0].linex, GroupLine(d, "10"));
  EXPECT_EQ(ps[0].linez, GroupLine(d, "30"));
  const int radiusLine = GroupLine(d, "40");
  EXPECT_EQ(d.polys[0].radiuslinenr, radiusLine);
  const double angles[] = {0, 90, 180, 270};
  for (int q = 0; q < 4; ++q) {
    const Tmypoi& g = ps[static_cast<std::size_t>(1 + 16 * q)];
    EXPECT_EQ(g.mode, 1);
    EXPECT_EQ(g.linex, radiusLine);
    ExpectAt(g, 2 * std::cos(angles[q] * kPi / 180), 2 * std::sin(angles[q] * kPi / 180));
  }
  EXPECT_EQ(ps[2].linex, 0);
  ExpectAt(ps[65], 2, 0);
  EXPECT_FALSE(d.polys[0].isclosed);
  ASSERT_EQ(d.polys[0].anzs, 1);
  ExpectAt(d.snap(d.polys[0])[0], 0, 0);
}

TEST(ArcsAndCircles, AnArcThroughZeroDegrees) {
  const Drawing d = Entities("  0\nARC\n 10\n1\n 20\n1\n 40\n1\n 50\n350\n 51\n10\n");
  const auto ps = Points(d);
  // The centre, the two angle grips, and 20 degrees in four pieces.
  ASSERT_EQ(ps.size(), 8u);
  // The two angle grips.
  EXPECT_EQ(ps[1].mode, 3);
  EXPECT_EQ(ps[1].linex, GroupLine(d, "50"));
  EXPECT_EQ(ps[2].linex, GroupLine(d, "51"));
  EXPECT_TRUE(ps[1].donotdraw && ps[2].donotdraw);
  // The outline runs 350 .. 370 degrees; its middle is the radius grip at 0.
  ExpectAt(ps[3], 1 + std::cos(350 * kPi / 180), 1 + std::sin(350 * kPi / 180));
  ExpectAt(ps[5], 2, 1);
  EXPECT_EQ(ps[5].mode, 1);
  ExpectAt(ps[7], 1 + std::cos(10 * kPi / 180), 1 + std::sin(10 * kPi / 180));
}

TEST(ArcsAndCircles, AnOutlineInThePlanOrOfAnEllipseIsMadeWhenAskedOthersAreKept) {
  struct Case {
    const char* entity;
    bool made;           // the outline is not in the pool
    std::size_t points;  // all of them
  } cases[] = {
      {"  0\nCIRCLE\n 10\n1\n 20\n2\n 30\n3\n 40\n2\n", true, 66},
      {"  0\nARC\n 10\n1\n 20\n1\n 40\n1\n 50\n350\n 51\n10\n", true, 8},
      {"  0\nARC\n 10\n1\n 20\n1\n 40\n1\n 50\n10\n 51\n10\n", true, 68},  // a full turn
      {"  0\nARC\n 10\n0\n 20\n0\n 40\n5\n 50\n-7200.5\n 51\n1e6\n", true, 0},
      {"  0\nCIRCLE\n 10\n2\n 20\n3\n 40\n1\n210\n0\n220\n0\n230\n2\n", true, 66},        // up, not unit
      {"  0\nCIRCLE\n 10\n2\n 20\n3\n 40\n1\n210\n0\n220\n0\n230\n-1\n", false, 66},      // seen from below
      {"  0\nARC\n 10\n2\n 20\n3\n 40\n1\n 51\n90\n210\n1\n220\n0\n230\n0\n", false, 0},  // upright
      {"  0\nCIRCLE\n 10\n1e308\n 20\n0\n 40\n1e308\n", false, 66},                       // would overflow
      {"  0\nARC\n 10\n0\n 20\n-1e299\n 40\n1e300\n 50\n0\n 51\n45\n", false, 0},
      {"  0\nCIRCLE\n 10\n0\n 20\n0\n 40\nnan\n", true, 66},  // an unread radius is 0
      {"  0\nELLIPSE\n 10\n1\n 20\n2\n 30\n3\n 11\n4\n 21\n1\n 40\n0.5\n 41\n0\n 42\n6.283185307179586\n", true, 68},
      {"  0\nELLIPSE\n 10\n1\n 20\n2\n 11\n0\n 21\n-3\n 40\n0.25\n 41\n5\n 42\n1\n", true, 0},        // through 0
      {"  0\nELLIPSE\n 10\n1\n 20\n2\n 11\n3\n 31\n4\n 40\n0.5\n210\n0\n220\n1\n230\n0\n", true, 0},  // upright
      {"  0\nELLIPSE\n 10\n1\n 20\n2\n 11\n4\n 40\n0.5\n 41\n0\n 42\n3\n230\n-1\n", true, 0},         // from below
      {"  0\nELLIPSE\n 10\n1e300\n 20\n0\n 11\n1e300\n 21\n0\n 40\n1\n", false, 0},                   // would overflow
      {"  0\nELLIPSE\n 10\n0\n 20\n0\n 11\n2\n 21\n0\n 40\n1e300\n", false, 0},  // a ratio far too large
  };
  for (const Case& c : cases) {
    const Drawing d = Entities(c.entity);
    ASSERT_EQ(d.anzpoly(), 1) << c.entity;
    const tpoly& p = d.polys[0];
    EXPECT_EQ(p.outline != 0, c.made) << c.entity;
    EXPECT_EQ(d.points.size(), p.stored()) << c.entity;
    const auto ps = Points(d);
    ASSERT_EQ(ps.size(), static_cast<std::size_t>(p.anzp)) << c.entity;
    if (c.points) EXPECT_EQ(ps.size(), c.points) << c.entity;
    // The outline runs from the start grip round to the end grip, each
    // point on the circle, and the box holds them all.
    const std::size_t first = p.kind == Kind::CIRCLE ? 1 : 3;
    const double r = p.radius, scale = std::max({r, std::abs(p.cx), std::abs(p.cy), p.radius1, 1.0});
    // How far a point is off the curve: off the circle, or, on an
    // ellipse, by how much its parameter's cosine and sine miss the unit
    // circle, times the major axis.
    const EllipseData& e = d.ellipse(p);
    auto off = [&](const Tmypoi& q) {
      if (p.kind != Kind::ELLIPSE) return std::hypot(q.x - p.cx, q.y - p.cy) - r;
      const Point3 v{q.x - e.centre.x, q.y - e.centre.y, q.z - e.centre.z};
      auto along = [&](const Point3& a) {
        return (v.x * a.x + v.y * a.y + v.z * a.z) / (a.x * a.x + a.y * a.y + a.z * a.z);
      };
      return (std::hypot(along(e.major), along(e.minor)) - 1) * p.radius1;
    };
    if (p.kind == Kind::ARC) {
      EXPECT_EQ(ps[first].x, ps[1].x) << c.entity;
      EXPECT_EQ(ps[first].y, ps[1].y) << c.entity;
      EXPECT_NEAR(ps.back().x, ps[2].x, 1e-9 * scale) << c.entity;
      EXPECT_NEAR(ps.back().y, ps[2].y, 1e-9 * scale) << c.entity;
    }
    int grips = 0;
    for (std::size_t k = first; k < ps.size(); ++k) {
      const Tmypoi& q = ps[k];
      ASSERT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z)) << c.entity;
      EXPECT_FALSE(q.donotdraw) << c.entity;
      if (c.made) EXPECT_NEAR(off(q), 0, 1e-9 * scale) << c.entity;
      EXPECT_TRUE(q.x >= p.boxminx && q.x <= p.boxmaxx && q.y >= p.boxminy && q.y <= p.boxmaxy) << c.entity;
      if (q.mode != 1) continue;
      ++grips;
      EXPECT_EQ(q.linex, p.radiuslinenr) << c.entity;
    }
    EXPECT_EQ(grips, p.kind == Kind::ARC ? 1 : p.kind == Kind::CIRCLE ? 4 : 0) << c.entity;
    // A copy of the points stands on its own.
    std::optional<EntryPoints> copy;
    {
      const EntryPoints all = d.ps(p);
      copy.emplace(all);
    }
    ASSERT_EQ(copy->size(), ps.size());
    EXPECT_TRUE(std::equal(ps.begin(), ps.end(), copy->begin(), [](const Tmypoi& a, const Tmypoi& b) {
      return a.x == b.x && a.y == b.y && a.z == b.z && a.linex == b.linex && a.mode == b.mode;
    })) << c.entity;
  }
}

// --- ellipses ---------------------------------------------------------------------------------

TEST(Ellipses, AxisRatioGripsAndDirection) {
  const std::string e = "  0\nELLIPSE\n 10\n1\n 20\n2\n 30\n0\n 11\n4\n 21\n0\n 31\n0\n 40\n0.5\n 41\n0\n 42\n6.283185307179586\n";
  const Drawing d = Entities(e + e.substr(0, e.size()) + "230\n-1\n");
  const tpoly& p = d.polys[0];
  EXPECT_DOUBLE_EQ(p.radius1, 4);
  EXPECT_TRUE(p.needext230);
  const auto ps = Points(d, 0);
  ASSERT_EQ(ps.size(), 68u);
  ExpectAt(ps[0], 1, 2);
  ExpectAt(ps[1], 5, 2);  // the end of the major axis
  EXPECT_EQ(ps[1].linex, GroupLine(d, "11"));
  ExpectAt(ps[2], 1, 4);  // the minor-axis grip edits the ratio
  EXPECT_EQ(ps[2].mode, 2);
  EXPECT_EQ(ps[2].linex, LineOf(d, "0.5"));
  ExpectAt(ps[19], 1, 4);  // a quarter of the way round, counter-clockwise
  // With the extrusion pointing down the same ellipse runs the other way.
  const auto mirrored = Points(d, 1);
  EXPECT_FALSE(d.polys[1].needext230);
  ExpectAt(mirrored[19], 1, 0);
}

// --- solids, points, hatches, wipeouts -----------------------------------------------------------

TEST(Areas, SolidCornersAreReorderedIntoAnOutline) {
  const Drawing d = Entities("  0\nSOLID\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n 12\n0\n 22\n1\n 13\n1\n 23\n1\n");
  const auto ps = Points(d);
  ASSERT_EQ(ps.size(), 4u);
  ExpectAt(ps[2], 1, 1);
  ExpectAt(ps[3], 0, 1);
  // The line numbers stay with their place, not with the coordinates.
  EXPECT_EQ(ps[2].linex, GroupLine(d, "12"));
  EXPECT_TRUE(d.polys[0].issolid() && d.polys[0].isclosed);
}

TEST(Areas, HatchBoundariesWithoutElevationAndSeeds) {
  const Drawing d = Entities(
      "  0\nHATCH\n 10\n0\n 20\n0\n 30\n5\n 91\n1\n 92\n2\n 72\n1\n 73\n1\n 93\n3\n"
      " 10\n0\n 20\n0\n 10\n2\n 20\n0\n 42\n1\n 10\n2\n 20\n2\n 98\n1\n 10\n9\n 20\n9\n");
  const tpoly& p = d.polys[0];
  EXPECT_TRUE(p.patternfill() && p.issolid() && p.isclosed);
  const auto ps = Points(d);
  // 3 vertices, the closing copy, and a half circle's 31 points after the
  // bulged vertex.
  ASSERT_EQ(ps.size(), 35u);
  ExpectAt(ps[0], 0, 0);
  EXPECT_EQ(ps[0].linex, 0);
  ExpectAt(ps[33], 2, 2);
  ExpectAt(ps[34], 0, 0);
}

// --- hatches ---------------------------------------------------------------------------------------

// A hatch of boundary paths (what follows group 91), and what comes after them.
std::string Hatch(const std::string& paths, const std::string& after = " 75\n0\n 76\n1\n 98\n0\n") {
  return "  0\nHATCH\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n  2\nSOLID\n 70\n1\n 91\n1\n" + paths + after;
}

// How far (x, y) is from the nearest segment of the points.
double FromOutline(const std::vector<Tmypoi>& ps, double x, double y) {
  double best = 1e300;
  for (std::size_t i = 1; i < ps.size(); ++i) {
    const double ax = ps[i - 1].x, ay = ps[i - 1].y, dx = ps[i].x - ax, dy = ps[i].y - ay;
    const double len2 = dx * dx + dy * dy;
    const double k = len2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0, 1.0) : 0;
    best = std::min(best, std::hypot(ax + k * dx - x, ay + k * dy - y));
  }
  return best;
}

TEST(Hatches, EveryKindOfPathBecomesItsClosedLoop) {
  const std::string line = " 72\n1\n 10\n0\n 20\n0\n 11\n2\n 21\n0\n";  // (0,0) to (2,0)
  const std::string halfCircle = " 72\n2\n 10\n1\n 20\n0\n 40\n1\n 50\n0\n 51\n180\n 73\n";
  struct Case {
    const char* what;
    std::string path;  // from group 92 on
    std::vector<Point2> on, off;  // points on the outline, points that must not be
  } cases[] = {
      {"line edges, one of them written backwards",
       " 92\n1\n 93\n4\n 72\n1\n 10\n0\n 20\n0\n 11\n4\n 21\n0\n 72\n1\n 10\n4\n 20\n4\n 11\n4\n 21\n0\n"
       " 72\n1\n 10\n4\n 20\n4\n 11\n0\n 21\n4\n 72\n1\n 10\n0\n 20\n4\n 11\n0\n 21\n0\n",
       {{4, 2}, {2, 4}}, {{2, 2}}},
      {"counter-clockwise arc", " 92\n1\n 93\n2\n" + line + halfCircle + "1\n", {{1, 1}}, {{1, -1}}},
      // A clockwise arc keeps its angles as seen from below: 0 to 180 is
      // the lower half, run from (2,0) to (0,0).
      {"clockwise arc", " 92\n1\n 93\n2\n" + line + halfCircle + "0\n", {{1, -1}}, {{1, 1}}},
      // 50/51 are the angles of the end points seen from the centre.
      {"elliptic arc", " 92\n1\n 93\n1\n 72\n3\n 10\n0\n 20\n0\n 11\n2\n 21\n0\n 40\n0.5\n 50\n0\n 51\n45\n 73\n1\n",
       {{0.894427191, 0.894427191}, {2, 0}}, {{0, 1}, {0, -1}}},
      {"spline by control points",
       " 92\n1\n 93\n2\n 72\n4\n 94\n3\n 73\n0\n 74\n0\n 95\n8\n 96\n4\n 40\n0\n 40\n0\n 40\n0\n 40\n0\n 40\n1\n 40\n1\n"
       " 40\n1\n 40\n1\n 10\n0\n 20\n0\n 10\n0\n 20\n4\n 10\n4\n 20\n4\n 10\n4\n 20\n0\n"
       " 72\n1\n 10\n4\n 20\n0\n 11\n0\n 21\n0\n",
       {{2, 3}}, {{0, 4}, {2, 4}}},
      {"spline by fit points",
       " 92\n1\n 93\n1\n 72\n4\n 94\n3\n 73\n0\n 74\n0\n 95\n0\n 96\n0\n 97\n3\n 11\n0\n 21\n0\n 11\n2\n 21\n2\n 11\n4\n 21\n0\n",
       {{2, 2}}, {{2, 0.5}}},
      {"polyline path with a bulge", " 92\n2\n 72\n1\n 73\n1\n 93\n2\n 10\n0\n 20\n0\n 42\n1\n 10\n2\n 20\n0\n",
       {{1, -1}}, {{1, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Drawing d = Entities(Hatch(c.path));
    const auto ps = Points(d);
    ASSERT_GT(ps.size(), 2u);
    EXPECT_EQ(ps.front().x, ps.back().x);
    EXPECT_EQ(ps.front().y, ps.back().y);
    for (const Tmypoi& q : ps) EXPECT_FALSE(q.moveonly || q.donotdraw);
    for (const Point2& q : c.on) EXPECT_LT(FromOutline(ps, q.x, q.y), 2e-3) << q.x << " " << q.y;
    for (const Point2& q : c.off) EXPECT_GT(FromOutline(ps, q.x, q.y), 0.2) << q.x << " " << q.y;
  }
  // The edge written backwards is turned round: four corners and the start again.
  EXPECT_EQ(Points(Entities(Hatch(cases[0].path))).size(), 5u);
}

TEST(Hatches, LoopsApartAtTheirHeightWithoutTheSeedPoints) {
  const Drawing d = Entities(
      "  0\nHATCH\n  8\n0\n 10\n0\n 20\n0\n 30\n5\n  2\nSOLID\n 70\n1\n 91\n2\n"
      " 92\n2\n 72\n0\n 73\n1\n 93\n4\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n 10\n10\n 20\n10\n 10\n0\n 20\n10\n 97\n0\n"
      " 92\n1\n 93\n4\n 72\n1\n 10\n2\n 20\n2\n 11\n4\n 21\n2\n 72\n1\n 10\n4\n 20\n2\n 11\n4\n 21\n4\n"
      " 72\n1\n 10\n4\n 20\n4\n 11\n2\n 21\n4\n 72\n1\n 10\n2\n 20\n4\n 11\n2\n 21\n2\n 97\n1\n330\n2A\n"
      " 75\n0\n 76\n1\n 98\n1\n 10\n50\n 20\n50\n");
  const auto ps = Points(d);
  ASSERT_EQ(ps.size(), 10u);
  for (std::size_t i = 0; i < ps.size(); ++i) {
    EXPECT_EQ(ps[i].moveonly, i == 5) << i;  // only the second loop's start: no segment between the loops
    EXPECT_EQ(ps[i].z, 5);
  }
  ExpectAt(ps[4], 0, 0);
  ExpectAt(ps[5], 2, 2);
  ExpectAt(ps[9], 2, 2);
  const tpoly& p = d.polys[0];
  EXPECT_TRUE(p.isclosed && p.issolid() && p.patternfill());
  EXPECT_EQ(p.boxmaxx, 10);  // the seed point is not part of it
  EXPECT_EQ(d.hatch(p).elevation, 5);
}

TEST(Hatches, PatternLinesGradientsAndTheExtrusionGoToTheirTable) {
  const std::string square = " 92\n2\n 72\n0\n 73\n1\n 93\n3\n 10\n0\n 20\n0\n 10\n1\n 20\n0\n 10\n1\n 20\n1\n";
  const Drawing d = Entities(
      "  0\nHATCH\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n210\n0\n220\n0\n230\n-1\n  2\nANSI31\n 70\n0\n 91\n1\n" + square +
      " 75\n1\n 76\n1\n 52\n0\n 41\n1\n 77\n0\n 78\n2\n 53\n45\n 43\n0\n 44\n0\n 45\n-2.2\n 46\n2.2\n 79\n0\n"
      " 53\n135\n 43\n1\n 44\n2\n 45\n3\n 46\n4\n 79\n3\n 49\n5\n 49\n-2.5\n 49\n0\n 47\n0.1\n 98\n1\n 10\n3\n 20\n3\n" +
      // A named SOLID without the flag, a gradient of two colours.
      "  0\nHATCH\n  8\n0\n  2\nSOLID\n 70\n0\n 91\n1\n" + square +
      " 75\n1\n 76\n1\n 98\n0\n450\n1\n451\n0\n452\n0\n453\n2\n463\n0\n421\n255\n463\n1\n 63\n2\n421\n16776960\n"
      "470\nLINEAR\n" +
      "  0\nHATCH\n  8\n0\n  2\nUSER\n 70\n0\n 91\n1\n" + square + " 75\n1\n 76\n0\n 52\n0\n 41\n1\n 77\n0\n 78\n1\n"
      " 53\n0\n 43\n0\n 44\n0\n 45\n0\n 46\n1\n 79\n0\n");
  ASSERT_EQ(d.anzpoly(), 3);
  const HatchData& pattern = d.hatch(d.polys[0]);
  EXPECT_FALSE(pattern.solid || pattern.gradient);
  EXPECT_EQ(pattern.nz, -1);
  const auto lines = d.lines(pattern);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].angle, 45);
  EXPECT_EQ(lines[0].offsetx, -2.2);
  EXPECT_EQ(lines[0].offsety, 2.2);
  EXPECT_TRUE(d.dashes(lines[0]).empty());
  EXPECT_EQ(lines[1].basex, 1);
  EXPECT_EQ(lines[1].basey, 2);
  EXPECT_EQ(lines[1].offsety, 4);
  const auto dashes = d.dashes(lines[1]);
  EXPECT_EQ(std::vector<double>(dashes.begin(), dashes.end()), (std::vector<double>{5, -2.5, 0}));
  const HatchData& gradient = d.hatch(d.polys[1]);
  EXPECT_TRUE(gradient.solid && gradient.gradient);
  EXPECT_EQ(gradient.gradientRgb, 255);  // the first colour
  EXPECT_EQ(gradient.gradientAci, -1);   // it has no colour number; the second one's is not its
  EXPECT_TRUE(d.lines(gradient).empty());
  const auto user = d.lines(d.hatch(d.polys[2]));
  ASSERT_EQ(user.size(), 1u);
  EXPECT_EQ(user[0].offsety, 1);
  // An entry of another kind has no hatch.
  EXPECT_EQ(d.lines(d.hatch(tpoly{})).size(), 0u);
}

TEST(Areas, WipeoutClipPointsAreMappedIntoTheDrawing) {
  const Drawing d = Entities(
      "  0\nWIPEOUT\n 10\n10\n 20\n20\n 30\n0\n 11\n4\n 21\n0\n 31\n0\n 12\n0\n 22\n2\n 32\n0\n"
      " 14\n-0.5\n 24\n-0.5\n 14\n0.5\n 24\n0.5\n");
  const auto ps = Points(d);
  ASSERT_EQ(ps.size(), 2u);
  ExpectAt(ps[0], 10, 22);
  ExpectAt(ps[1], 14, 20);
  EXPECT_TRUE(d.polys[0].iswipeout());
}

// --- viewports -------------------------------------------------------------------------------------

TEST(Viewports, FrameAndHiddenGrips) {
  const Drawing d = Entities(
      "  0\nVIEWPORT\n 67\n1\n 10\n100\n 20\n50\n 30\n0\n 40\n40\n 41\n20\n 69\n1\n"
      "  0\nVIEWPORT\n 67\n1\n 10\n100\n 20\n50\n 30\n0\n 40\n40\n 41\n20\n 12\n7\n 22\n8\n 45\n30\n 69\n4\n");
  EXPECT_EQ(d.polys[0].anzp, 0);
  EXPECT_EQ(d.viewport(d.polys[0]).id, 1);
  const auto ps = Points(d, 1);
  ASSERT_EQ(ps.size(), 8u);
  const double frame[5][2] = {{80, 40}, {120, 40}, {120, 60}, {80, 60}, {80, 40}};
  for (int i = 0; i < 5; ++i) {
    ExpectAt(ps[static_cast<std::size_t>(i)], frame[i][0], frame[i][1]);
    EXPECT_FALSE(ps[static_cast<std::size_t>(i)].donotdraw);
  }
  EXPECT_EQ(ps[2].linex, GroupLine(d, "40", 1));
  ExpectAt(ps[5], 100, 50);
  EXPECT_EQ(ps[5].linex, GroupLine(d, "12"));
  EXPECT_EQ(ps[5].liney, GroupLine(d, "22"));
  ExpectAt(ps[6], 100, 55);
  ExpectAt(ps[7], 100, 45);
  EXPECT_EQ(ps[6].linex, GroupLine(d, "45"));
  EXPECT_TRUE(ps[5].donotdraw && ps[6].donotdraw && ps[7].donotdraw);
  const tpoly& p = d.polys[1];
  EXPECT_EQ(d.viewport(p).panx, 7);
  EXPECT_EQ(d.viewport(p).viewheight, 30);
  EXPECT_EQ(d.maxviewportid, 4);
  EXPECT_FALSE(d.viewport(p).off);
  // Switched off: by its flags where it has them (a layout not current
  // when saved writes status and id 0 for viewports that are on), else by
  // its status, or by an id of -1 without a status.
  const char* off[] = {" 68\n0\n 69\n2\n", " 68\n1\n 90\n131072\n 69\n2\n", " 69\n-1\n",
                       " 68\n0\n 69\n0\n 90\n163840\n"};
  const char* on[] = {" 68\n1\n 69\n2\n", " 68\n-1\n 69\n2\n", " 68\n1\n 69\n-1\n", " 69\n2\n",
                      " 68\n0\n 69\n0\n 90\n32768\n"};
  for (const auto& [cases, expected] : {std::pair{std::span<const char* const>(off), true},
                                        std::pair{std::span<const char* const>(on), false}})
    for (const char* groups : cases) {
      const Drawing v = Entities(std::string("  0\nVIEWPORT\n 10\n0\n 20\n0\n 40\n4\n 41\n2\n") + groups);
      EXPECT_EQ(v.viewport(v.polys[0]).off, expected) << groups;
    }
}

TEST(Viewports, TheLayoutsOwnPaperViewHasNoFrame) {
  // In a layout not current when saved, the first viewport views exactly
  // itself; a viewport of the same size onto another part does not, and
  // outside a layout's block the rule does not apply.
  auto sheet = [](const char* view, bool inBlock) {
    const std::string vp = std::string("  0\nVIEWPORT\n 10\n148\n 20\n105\n 40\n300\n 41\n210\n 68\n0\n 69\n0\n") + view;
    const Drawing d = test::Parsed(test::WithEof(
        inBlock ? test::Section("BLOCKS", "  0\nBLOCK\n  3\n*Paper_Space0\n" + vp + "  0\nENDBLK\n") : test::Section("ENTITIES", vp)));
    if (d.polys.size() != 1) return std::pair{false, -1};
    return std::pair{bool(d.polys[0].issheet), d.polys[0].anzp};
  };
  EXPECT_EQ(sheet(" 12\n148\n 22\n105\n 45\n210\n", true), std::pair(true, 0));
  EXPECT_EQ(sheet(" 12\n148\n 22\n105\n 45\n100\n", true), std::pair(false, 8));
  EXPECT_EQ(sheet(" 12\n0\n 22\n105\n 45\n210\n", true), std::pair(false, 8));
  EXPECT_EQ(sheet(" 12\n148\n 22\n105\n 45\n210\n", false), std::pair(false, 8));
}

TEST(Viewports, OlderFilesKeepTheViewInExtendedData) {
  const Drawing d = Entities(
      "  0\nVIEWPORT\n 10\n0\n 20\n0\n 40\n10\n 41\n10\n 69\n2\n"
      "1001\nACAD\n1040\n0.0\n1040\n25\n1040\n3\n1040\n4\n1040\n99\n");
  const tpoly& p = d.polys[0];
  EXPECT_EQ(d.viewport(p).viewheight, 25);
  EXPECT_EQ(d.viewport(p).panx, 3);
  EXPECT_EQ(d.viewport(p).pany, 4);
  EXPECT_EQ(Points(d)[6].linex, GroupLine(d, "1040", 1));
}

// --- splines ---------------------------------------------------------------------------------------

std::string Controls(const std::vector<std::pair<double, double>>& pts, const char* code = " 10") {
  std::string s;
  const std::string y = std::string(code) == " 10" ? " 20" : " 21";
  for (const auto& [x, yy] : pts) s += std::string(code) + "\n" + std::to_string(x) + "\n" + y + "\n" + std::to_string(yy) + "\n";
  return s;
}

// The drawn vertices of an entry, and its hidden ones.
std::pair<std::vector<Tmypoi>, std::vector<Tmypoi>> DrawnAndHidden(const Drawing& d, int i) {
  std::pair<std::vector<Tmypoi>, std::vector<Tmypoi>> r;
  for (const Tmypoi& q : Points(d, i)) (q.donotdraw ? r.second : r.first).push_back(q);
  return r;
}

TEST(Splines, ControlPointsAndKnotsGiveTheCurveThenTheControls) {
  const std::string controls = Controls({{0, 0}, {1, 2}, {3, 2}, {4, 0}});
  const Drawing d = Entities(
      "  0\nSPLINE\n 70\n8\n 71\n3\n 72\n8\n 73\n4\n 40\n0\n 40\n0\n 40\n0\n 40\n0\n 40\n1\n 40\n1\n 40\n1\n 40\n1\n" +
      controls + "  0\nSPLINE\n 71\n3\n" + controls);
  for (int i = 0; i < 2; ++i) {
    const auto [drawn, hidden] = DrawnAndHidden(d, i);
    ASSERT_GT(drawn.size(), 8u);
    ExpectAt(drawn.front(), 0, 0);
    EXPECT_EQ(drawn.back().x, 4);  // exactly the last control point
    // The controls follow, hidden, with their lines.
    ASSERT_EQ(hidden.size(), 4u);
    EXPECT_EQ(hidden[1].linex, LineOf(d, "1.000000", i));
    ExpectAt(hidden[2], 3, 2);
  }
  // Both give the same curve: the missing knots are the clamped ones.
  EXPECT_EQ(DrawnAndHidden(d, 0).first.size(), DrawnAndHidden(d, 1).first.size());
  EXPECT_EQ(DrawnAndHidden(d, 0).first[5].y, DrawnAndHidden(d, 1).first[5].y);
}

TEST(Splines, FitPointsAloneAreInterpolatedWithTheirEndTangents) {
  const std::vector<std::pair<double, double>> fits = {{0, 0}, {10, 20}, {30, -5}, {40, 10}, {50, 0}};
  const Drawing d = Entities("  0\nSPLINE\n 71\n3\n 74\n5\n" + Controls(fits, " 11") +
                             "  0\nSPLINE\n 71\n3\n 12\n0\n 22\n-1\n 32\n0\n" + Controls(fits, " 11") +
                             "  0\nSPLINE\n 71\n3\n 13\n0\n 23\n1\n 33\n0\n" + Controls(fits, " 11"));
  for (int i = 0; i < 3; ++i) {
    const auto [drawn, hidden] = DrawnAndHidden(d, i);
    ExpectAt(drawn.front(), 0, 0);
    ExpectAt(drawn.back(), 50, 0);
    // Every fit point is a vertex of the curve.
    for (const auto& [x, y] : fits) {
      double best = 1e300;
      for (const Tmypoi& q : drawn) best = std::min(best, std::hypot(q.x - x, q.y - y));
      EXPECT_LT(best, 1e-9);
    }
    EXPECT_EQ(hidden.size(), fits.size() + 2);  // the control points of the curve
  }
  // The start tangent points down: the curve leaves the origin downwards.
  EXPECT_GT(DrawnAndHidden(d, 0).first[1].y, 0);
  EXPECT_LT(DrawnAndHidden(d, 1).first[1].y, 0);
  // The end tangent points up: the curve comes to its end from below.
  EXPECT_GT(DrawnAndHidden(d, 0).first.end()[-2].y, 0);
  EXPECT_LT(DrawnAndHidden(d, 2).first.end()[-2].y, 0);
}

TEST(Splines, WhatCannotMakeACurveIsDrawnThroughItsPoints) {
  // Fewer control points than the order; fit points all in one place; a
  // degree of 0; a degree beyond any integer.
  const Drawing d = Entities("  0\nSPLINE\n 71\n3\n" + Controls({{1, 1}, {5, 1}}) + "  0\nSPLINE\n" +
                             Controls({{1, 1}, {1, 1}, {1, 1}}, " 11") + "  0\nSPLINE\n 71\n0\n" +
                             Controls({{1, 1}, {5, 1}, {5, 5}}) + "  0\nSPLINE\n 71\n2147483647\n" +
                             Controls({{1, 1}, {5, 1}, {5, 5}}));
  auto ps = Points(d, 0);
  ASSERT_EQ(ps.size(), 4u);  // the two points drawn, then the two grips
  ExpectAt(ps[0], 1, 1);
  ExpectAt(ps[1], 5, 1);
  EXPECT_FALSE(ps[1].donotdraw);
  EXPECT_TRUE(ps[3].donotdraw);
  ps = Points(d, 1);
  ASSERT_EQ(ps.size(), 3u);
  ExpectAt(ps[2], 1, 1);
  EXPECT_EQ(d.polys[2].anzp, 6);
  EXPECT_EQ(d.polys[3].anzp, 6);
  // Never a curve that falls back to the origin.
  for (int i = 0; i < 4; ++i)
    for (const Tmypoi& q : Points(d, i)) EXPECT_GE(q.x, 1);
}

// A large drawing has its splines flattened ahead of the reader on another
// core: what it reads is the same to the last bit, whether the helper is
// ahead, behind or held back by the points it keeps, and whatever it meets
// that the reader reads otherwise (a SPLINE among the objects, a broken
// number, a spline with no curve).
TEST(Splines, FlattenedAheadOnAnotherCoreTheyAreTheSame) {
  std::string entities, blocks = "  0\nBLOCK\n  2\nB\n 10\n0\n 20\n0\n";
  for (int i = 0; i < 3000; ++i) {
    const double x = i % 97, y = i / 97;
    std::string spline = "  0\nSPLINE\n  8\n0\n 71\n" + std::to_string(2 + i % 3) + "\n";
    if (i % 5 == 0) spline += " 41\n1\n 41\n0.5\n 41\n2\n 41\n1\n 41\n1\n";  // rational
    if (i % 7 == 0) spline += " 40\nx\n";                                    // a number that does not read
    spline += i % 11 == 0 ? Controls({{x, y}, {x + 3, y + 8}, {x + 5, y - 2}, {x + 9, y + 1}}, " 11")
                          : Controls({{x, y}, {x + 1, y + 4}, {x + 3, y - 4}, {x + 4, y + 2}, {x + 6, y}});
    if (i % 13 == 0) spline = "  0\nSPLINE\n 71\n3\n" + Controls({{x, y}, {x + 1, y}});  // no curve
    (i % 50 == 0 ? blocks : entities) += spline;
    entities += "  0\nLINE\n 10\n" + std::to_string(x) + "\n 20\n0\n 11\n1\n 21\n1\n";
  }
  blocks += "  0\nENDBLK\n";
  const std::string text =
      test::WithEof(test::Section("BLOCKS", blocks) + test::Section("ENTITIES", entities) +
                    test::Section("OBJECTS", "  0\nSPLINE\n 71\n3\n" + Controls({{0, 0}, {1, 1}})));
  Drawing ahead, alone;
  ahead.dxf.assign(text), alone.dxf.assign(text);
  processdxf(ahead, 0);
  processdxf(alone, SIZE_MAX);
  EXPECT_GT(ahead.points.size(), reader::SplinesAhead::kAhead);  // the helper is held back
  EXPECT_EQ(test::DrawingDifference(ahead, alone), "");
}

// --- texts and inserts ------------------------------------------------------------------------------

TEST(Texts, RotationFromGroup50OrFromTheDirection) {
  const Drawing d = Entities(
      "  0\nTEXT\n 10\n1\n 20\n2\n 30\n0\n 40\n2.5\n  1\nHallo\n 50\n30\n"
      "  0\nMTEXT\n 10\n0\n 20\n0\n 40\n2\n 11\n0\n 21\n1\n 31\n0\n  3\nErster Teil \n  1\nZweiter\n"
      "  0\nTEXT\n 10\n0\n 20\n0\n  1\nMitte\n 50\n15\n 72\n1\n 11\n100\n 21\n50\n");
  const tpoly& text = d.polys[0];
  EXPECT_TRUE(text.istext());
  EXPECT_EQ(d.text(text).rotation, 30);
  EXPECT_EQ(d.text(text).textstr, "Hallo");
  EXPECT_EQ(text.radius, 2.5);
  EXPECT_EQ(text.radiuslinenr, LineOf(d, "2.5"));
  EXPECT_EQ(text.cx, 1);
  EXPECT_EQ(Points(d, 0)[0].linex, GroupLine(d, "10"));
  const tpoly& mtext = d.polys[1];
  EXPECT_TRUE(mtext.ismtext());
  EXPECT_DOUBLE_EQ(d.text(mtext).rotation, 90);
  EXPECT_EQ(d.text(mtext).textstr, "Erster Teil Zweiter");  // the blank at a chunk's end stays
  // A single-line text's 11/21/31 is its alignment point, not a direction.
  EXPECT_EQ(d.text(d.polys[2]).rotation, 15);
}

TEST(Texts, InsertsKeepTheirBlockAndInsertionPoint) {
  const Drawing d = Entities("  0\nINSERT\n  2\nCHAIR\n 10\n3\n 20\n4\n 30\n0\n 41\n2\n 50\n45\n");
  const tpoly& p = d.polys[0];
  EXPECT_EQ(d.insertstr(p), "CHAIR");
  EXPECT_EQ(d.text(p).rotation, 0);
  const auto ps = Points(d);
  ASSERT_EQ(ps.size(), 1u);
  ExpectAt(ps[0], 3, 4);
  EXPECT_EQ(ps[0].linex, 0);
}

TEST(Texts, AlignmentWidthAndAttributesAfterTheirReference) {
  const Drawing d = Entities(
      "  0\nTEXT\n 10\n0\n 20\n0\n 40\n1\n  1\nA\n 41\n0.8\n 72\n2\n 11\n5\n 21\n6\n 73\n3\n 71\n2\n"
      "  0\nMTEXT\n 10\n0\n 20\n0\n 40\n1\n 41\n30\n 71\n5\n 44\n1.5\n  1\nB\n"
      "  0\nINSERT\n  8\n0\n 66\n1\n  2\nTITLE\n 10\n0\n 20\n0\n 67\n1\n"
      "  0\nATTRIB\n330\nABC\n 10\n1\n 20\n1\n 40\n2\n  1\nVALUE\n  2\nTAG\n 70\n1\n 73\n9\n 74\n2\n"
      "101\nEmbedded Object\n 10\n50\n  1\nMULTI\n"
      "  0\nSEQEND\n");
  const TextData& text = d.text(d.polys[0]);
  EXPECT_EQ(text.widthFactor, 0.8);
  EXPECT_EQ(text.halign, 2);
  EXPECT_EQ(text.valign, 3);
  EXPECT_EQ(text.generation, 2);
  EXPECT_TRUE(text.alignSeen);
  EXPECT_EQ(text.alignx, 5);
  EXPECT_EQ(text.aligny, 6);
  const TextData& mtext = d.text(d.polys[1]);
  EXPECT_EQ(mtext.boxWidth, 30);
  EXPECT_EQ(mtext.attachment, 5);
  EXPECT_EQ(mtext.lineSpacing, 1.5);
  EXPECT_EQ(mtext.widthFactor, 1);
  // The attribute: its own placement, in its reference's space; its
  // vertical alignment is group 74; what its embedded text says is not
  // read over it.
  ASSERT_EQ(d.polys.size(), 4u);
  const tpoly& attrib = d.polys[3];
  EXPECT_TRUE(attrib.istext());
  EXPECT_TRUE(attrib.ispaperspace);
  EXPECT_EQ(attrib.layhan, d.polys[2].layhan);
  const TextData& value = d.text(attrib);
  EXPECT_EQ(value.textstr, "VALUE");
  EXPECT_TRUE(value.invisible);
  EXPECT_EQ(value.valign, 2);
  ExpectAt(Points(d, 3)[0], 1, 1);
}

TEST(Texts, AMultileaderHasItsTextAndLinesFromEachArrowHeadToItsLeadersEnd) {
  // Two leaders: one of two lines, one with a horizontal piece of length 2.
  const Drawing d = Entities(
      "  0\nMULTILEADER\n  8\n0\n300\nCONTEXT_DATA{\n 40\n1\n 10\n9\n 20\n9\n 41\n2.5\n140\n0.5\n"
      "290\n1\n304\nNotiz\n 11\n0\n 21\n0\n 31\n1\n 12\n20\n 22\n10\n 32\n0\n 13\n1\n 23\n0\n 33\n0\n"
      " 43\n30\n171\n1\n"
      "302\nLEADER{\n290\n1\n291\n1\n 10\n18\n 20\n9\n 30\n0\n 11\n1\n 21\n0\n 31\n0\n 40\n0\n"
      "304\nLEADER_LINE{\n 10\n0\n 20\n0\n 30\n0\n 10\n5\n 20\n5\n 30\n0\n 91\n0\n305\n}\n"
      "304\nLEADER_LINE{\n 10\n0\n 20\n9\n 30\n0\n305\n}\n271\n0\n303\n}\n"
      "302\nLEADER{\n 10\n40\n 20\n9\n 30\n0\n 11\n-1\n 21\n0\n 31\n0\n 40\n2\n"
      "304\nLEADER_LINE{\n 10\n50\n 20\n0\n 30\n0\n305\n}\n303\n}\n"
      "301\n}\n340\n14\n170\n1\n291\n1\n 41\n2\n 42\n4\n");
  ASSERT_EQ(d.polys.size(), 1u);
  const tpoly& p = d.polys[0];
  EXPECT_TRUE(p.ismleader() && p.istext());
  const TextData& t = d.text(p);
  EXPECT_EQ(t.textstr, "Notiz");
  EXPECT_EQ(p.radius, 2.5);
  EXPECT_EQ(t.arrowSize, 0.5);
  EXPECT_EQ(t.boxWidth, 30);
  const auto ps = Points(d);
  // The text's insertion point, hidden; then the lines.
  ASSERT_EQ(ps.size(), 1u + 4 + 3 + 3);
  EXPECT_TRUE(ps[0].donotdraw);
  ExpectAt(ps[0], 20, 10);
  struct Expected {
    double x, y;
    bool moveonly, arrow;
  } lines[] = {
      {0, 0, false, false}, {5, 5, false, true}, {18, 9, false, false}, {18, 9, false, false},  // to the end, no piece
      {0, 9, true, false},  {18, 9, false, true}, {18, 9, false, false},
      {50, 0, true, false}, {40, 9, false, true}, {38, 9, false, false},  // the piece, 2 to the left
  };
  for (std::size_t k = 0; k < std::size(lines); ++k) {
    ExpectAt(ps[k + 1], lines[k].x, lines[k].y);
    EXPECT_EQ(ps[k + 1].moveonly, lines[k].moveonly) << k;
    EXPECT_EQ(ps[k + 1].botharrows == 1, lines[k].arrow) << k;
  }
}

// --- object coordinate systems ----------------------------------------------------------------------

TEST(ObjectCoordinates, PlanarKindsSeenFromBelowAreMirroredWorldKindsStay) {
  const char* down = "210\n0\n220\n0\n230\n-1\n";
  struct Case {
    std::string entity;
    std::size_t point;  // which point
    double x, y, z;     // where it lands in the world
  } cases[] = {
      {"  0\nARC\n 10\n2\n 20\n0\n 40\n1\n 50\n0\n 51\n90\n", 0, -2, 0, 0},  // the centre
      {"  0\nARC\n 10\n2\n 20\n0\n 40\n1\n 50\n0\n 51\n90\n", 1, -3, 0, 0},  // the start
      {"  0\nARC\n 10\n2\n 20\n0\n 40\n1\n 50\n0\n 51\n90\n", 2, -2, 1, 0},  // the end
      {"  0\nCIRCLE\n 10\n2\n 20\n3\n 40\n1\n", 0, -2, 3, 0},
      {"  0\nLWPOLYLINE\n 38\n5\n 10\n1\n 20\n1\n 10\n2\n 20\n1\n", 0, -1, 1, -5},
      {"  0\nSOLID\n 10\n1\n 20\n0\n 11\n2\n 21\n0\n 12\n1\n 22\n1\n", 1, -2, 0, 0},
      {"  0\nPOLYLINE\n 70\n0\n  0\nVERTEX\n 10\n4\n 20\n5\n  0\nSEQEND\n", 0, -4, 5, 0},
      {"  0\nTEXT\n 10\n1\n 20\n2\n 40\n1\n  1\nT\n", 0, -1, 2, 0},
      {"  0\nINSERT\n  2\nB\n 10\n3\n 20\n4\n", 0, -3, 4, 0},
      {"  0\nHATCH\n 10\n0\n 20\n0\n 30\n2\n 91\n1\n 92\n2\n 93\n3\n 10\n1\n 20\n2\n 10\n3\n 20\n2\n 10\n3\n 20\n4\n",
       0, -1, 2, -2},
      // Kinds whose points are in the world whatever their extrusion.
      {"  0\nPOLYLINE\n 70\n8\n  0\nVERTEX\n 10\n4\n 20\n5\n  0\nSEQEND\n", 0, 4, 5, 0},
      {"  0\nLINE\n 10\n1\n 20\n2\n 11\n3\n 21\n4\n", 0, 1, 2, 0},
      {"  0\nPOINT\n 10\n1\n 20\n2\n", 0, 1, 2, 0},
      {"  0\nMTEXT\n 10\n1\n 20\n2\n 40\n1\n  1\nT\n", 0, 1, 2, 0},
  };
  for (const Case& c : cases) {
    std::string entity = c.entity;
    // The extrusion goes with the header, before any vertex.
    const std::size_t at = entity.find("  0\nVERTEX");
    entity.insert(at == std::string::npos ? entity.size() : at, down);
    const Drawing d = Entities(entity);
    const auto ps = Points(d);
    ASSERT_GT(ps.size(), c.point) << entity;
    EXPECT_NEAR(ps[c.point].x, c.x, 1e-12) << entity;
    EXPECT_NEAR(ps[c.point].y, c.y, 1e-12) << entity;
    EXPECT_NEAR(ps[c.point].z, c.z, 1e-12) << entity;
  }
  // A text seen from below reads from right to left; one in the world's
  // plan from left to right.
  const Drawing texts = Entities(std::string("  0\nTEXT\n 10\n1\n 20\n2\n  1\nT\n") + down +
                                 "  0\nMTEXT\n 10\n1\n 20\n2\n  1\nT\n 50\n90\n");
  const TextData& fromBelow = texts.text(texts.polys[0]);
  EXPECT_EQ(fromBelow.xdirx, -1);
  EXPECT_EQ(fromBelow.ydiry, 1);
  EXPECT_NEAR(texts.text(texts.polys[1]).xdiry, 1, 1e-15);
  EXPECT_NEAR(texts.text(texts.polys[1]).ydirx, -1, 1e-15);
  // A circle standing upright, its extrusion along x: its plane is the
  // world's y-z plane.
  const Drawing upright = Entities("  0\nCIRCLE\n 10\n2\n 20\n3\n 40\n1\n210\n1\n220\n0\n230\n0\n");
  const Tmypoi centre = Points(upright)[0];
  EXPECT_NEAR(centre.x, 0, 1e-15);
  EXPECT_NEAR(centre.y, 2, 1e-15);
  EXPECT_NEAR(centre.z, 3, 1e-15);
}

// --- dimensions ------------------------------------------------------------------------------------

std::string Dimension(int type, const std::string& points) {
  return "  0\nDIMENSION\n  2\n*D1\n 70\n" + std::to_string(type) + "\n 42\n12.34567\n" + points;
}

TEST(Dimensions, RadiusAndDiameter) {
  const Drawing d = Entities(Dimension(4, " 10\n5\n 20\n0\n 15\n0\n 25\n0\n") +
                             Dimension(3, " 10\n5\n 20\n0\n 15\n-5\n 25\n0\n"));
  auto ps = Points(d, 0);
  ASSERT_EQ(ps.size(), 2u);
  ExpectAt(ps[0], 0, 0);
  EXPECT_TRUE(ps[1].doadddimtexthere);
  EXPECT_FALSE(ps[0].doadddimtexthere);
  EXPECT_EQ(d.polys[0].addtextmode, 2);
  EXPECT_TRUE(d.polys[0].arrowhead);
  EXPECT_EQ(d.dimension(d.polys[0]).messuaretxt, "12.3457");
  ps = Points(d, 1);
  EXPECT_EQ(ps[1].botharrows, 3);
  EXPECT_EQ(d.polys[1].addtextmode, 1);
}

TEST(Dimensions, AngularArcsAndTheirReversal) {
  // Vertex at the origin, the lines towards (1,0) and (0,1).
  const std::string def = " 13\n1\n 23\n0\n 14\n0\n 24\n1\n 15\n0\n 25\n0\n";
  const Drawing d = Entities(Dimension(5, " 10\n2\n 20\n2\n" + def) + Dimension(5, " 10\n-2\n 20\n-2\n" + def));
  auto ps = Points(d, 0);
  // The quarter circle in 16 pieces between the two measured points.
  ASSERT_EQ(ps.size(), 19u);
  EXPECT_NEAR(d.polys[0].radius, std::sqrt(8.0), 1e-12);
  ExpectAt(ps[0], 1, 0);
  ExpectAt(ps[9], std::sqrt(8.0) * std::cos(kPi / 4), std::sqrt(8.0) * std::sin(kPi / 4));
  ExpectAt(ps[18], 0, 1);
  EXPECT_TRUE(ps[18].doadddimtexthere);
  // The arc's place lies outside the angle: the long way round, three
  // quarters of a turn in 48 pieces, from the second leg to the first.
  ps = Points(d, 1);
  ASSERT_EQ(ps.size(), 51u);
  EXPECT_EQ(d.polys[1].addtextmode, 3);
  ExpectAt(ps[0], 0, 1);
  ExpectAt(ps[1], 0, std::sqrt(8.0));
  ExpectAt(ps[25], std::sqrt(8.0) * std::cos(1.25 * kPi), std::sqrt(8.0) * std::sin(1.25 * kPi));
  ExpectAt(ps[49], std::sqrt(8.0), 0);
  ExpectAt(ps[50], 1, 0);
  // Legs on both sides of the half turn: the short way across it.
  const Drawing across = Entities(
      Dimension(5, " 10\n-3\n 20\n0.1\n 13\n-1\n 23\n0.2\n 14\n-1\n 24\n-0.2\n 15\n0\n 25\n0\n"));
  for (const Tmypoi& q : Points(across)) EXPECT_LT(q.x, 0);
}

TEST(Dimensions, LinearAndAligned) {
  // Aligned: the dimension line parallel to the measured points.
  const Drawing d = Entities(Dimension(1, " 10\n0\n 20\n5\n 13\n0\n 23\n0\n 14\n10\n 24\n0\n") +
                             // Linear at its own angle (here horizontal) between points that are not level.
                             Dimension(0, " 10\n0\n 20\n8\n 13\n0\n 23\n0\n 14\n10\n 24\n4\n"));
  auto ps = Points(d, 0);
  ASSERT_EQ(ps.size(), 6u);
  ExpectAt(ps[0], 0, 0);
  ExpectAt(ps[1], 0, 5);
  ExpectAt(ps[2], 10, 0);
  EXPECT_TRUE(ps[2].moveonly);
  ExpectAt(ps[3], 10, 5);
  EXPECT_TRUE(ps[4].moveonly);
  EXPECT_EQ(ps[5].botharrows, 3);
  EXPECT_TRUE(ps[5].doadddimtexthere);
  ps = Points(d, 1);
  ExpectAt(ps[1], 0, 8);
  ExpectAt(ps[3], 10, 8);
}

TEST(Dimensions, OrdinateLeadersAndDegenerateInput) {
  const Drawing d = Entities(Dimension(6, " 13\n1\n 23\n1\n 14\n1.5\n 24\n6\n") +
                             Dimension(1, " 10\n3\n 20\n3\n 13\n2\n 23\n2\n 14\n2\n 24\n2\n"));
  auto ps = Points(d, 0);
  ASSERT_EQ(ps.size(), 4u);
  ExpectAt(ps[1], 1, 5.2);
  ExpectAt(ps[2], 1.5, 5.6);
  EXPECT_EQ(d.dimension(d.polys[0]).dimtextrotate, 90);
  // The measured points coincide: no direction, but nothing undefined.
  for (const Tmypoi& q : Points(d, 1)) {
    EXPECT_TRUE(std::isfinite(q.x));
    EXPECT_TRUE(std::isfinite(q.y));
  }
}

// --- owners and extreme numbers ---------------------------------------------------------------------

TEST(Owners, ReactorsBeforeAndReferencesAfterTheOwner) {
  const Drawing d = Entities(
      "  0\nHATCH\n  5\n50\n102\n{ACAD_REACTORS\n330\n77\n102\n}\n330\n1F\n100\nAcDbEntity\n  8\n0\n"
      " 91\n1\n 92\n1\n 93\n0\n 97\n1\n330\n51\n");
  EXPECT_EQ(d.polys[0].layhan, 0x1Fu);
}

TEST(ExtremeInput, NoInfiniteOrUndefinedNumberReachesTheDisplayList) {
  const Drawing d = Entities(
      "  0\nXLINE\n 10\n1e308\n 20\n0\n 11\n1e308\n 21\n-1e308\n"
      "  0\nELLIPSE\n 10\n0\n 20\n0\n 11\n1e300\n 21\n1e300\n 40\n1e300\n"
      "  0\nLWPOLYLINE\n 10\n-1e308\n 20\n0\n 42\n1e308\n 10\n1e308\n 20\n0\n"
      "  0\nARC\n 10\n1e308\n 20\n1e308\n 40\n1e308\n"
      "  0\nSPLINE\n 71\n3\n 40\n0\n 40\n0\n 40\n0\n 40\n0\n 40\n1e308\n 40\n1e308\n 40\n1e308\n 40\n1e308\n" +
      Controls({{1e308, 1}, {-1e308, 2}, {1e308, 3}, {-1e308, 4}}));
  ASSERT_EQ(d.anzpoly(), 5);
  for (const tpoly& p : d.polys) {
    for (const Tmypoi& q : d.ps(p)) {
      EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z));
    }
    EXPECT_TRUE(std::isfinite(p.radius1) && std::isfinite(p.radius));
  }
  for (const Tmypoi& q : d.snaps) EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y));
}

}  // namespace
}  // namespace vestrel
