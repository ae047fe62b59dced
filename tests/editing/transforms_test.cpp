// The editing operations on small drawings: what each writes, kind by
// kind, and what each refuses; what an array costs.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "edit_support.h"
#include "editing/transforms.h"
#include "editing/undo.h"
#include "support/dxf_text.h"

namespace vestrel {
namespace {

using test::Doc;
using Pairs = std::vector<std::pair<std::string, std::string>>;

// An object: its kind and its pairs, the group codes as our writers write
// them.
std::string Obj(std::string_view kind, const Pairs& pairs) {
  std::string s = "  0\n" + std::string(kind) + "\n";
  for (const auto& [code, value] : pairs) s += std::string(3 - std::min<std::size_t>(3, code.size()), ' ') + code + "\n" + value + "\n";
  return s;
}

// A drawing of version 2000 with these entities, blocks and objects.
std::string Drawing2000(const std::string& entities, const std::string& blocks = "", const std::string& objects = "") {
  std::string text = test::Section("HEADER", "  9\n$ACADVER\n  1\nAC1015\n  9\n$HANDSEED\n  5\n100\n");
  text += test::Section("TABLES", "  0\nTABLE\n  2\nBLOCK_RECORD\n" + Obj("BLOCK_RECORD", {{"5", "1F"}, {"2", "*Model_Space"}}) +
                                      Obj("BLOCK_RECORD", {{"5", "30"}, {"2", "*D1"}}) + "  0\nENDTAB\n");
  text += test::Section("BLOCKS", blocks);
  text += test::Section("ENTITIES", entities);
  if (!objects.empty()) text += test::Section("OBJECTS", objects);
  return test::WithEof(text);
}

// The value line of the `nth` group `code` of the object with handle
// `handle`, as it stands; "(none)" when it has none.
std::string RawValue(const Doc& doc, std::string_view handle, std::string_view code, int nth = 0) {
  const Drawing& d = doc.d;
  for (std::size_t k = 0; k + 3 < d.dxf.size(); k += 2) {
    if (Trim(d.dxf[k]) != "0" || Trim(d.dxf[k + 2]) != "5" || Trim(d.dxf[k + 3]) != handle) continue;
    for (std::size_t i = k + 2; i + 1 < d.dxf.size() && Trim(d.dxf[i]) != "0"; i += 2)
      if (Trim(d.dxf[i]) == code && nth-- == 0) return std::string(d.dxf[i + 1]);
    return "(none)";
  }
  return "(no object)";
}

std::string Value(const Doc& doc, std::string_view handle, std::string_view code, int nth = 0) {
  return std::string(Trim(RawValue(doc, handle, code, nth)));
}

double Number(const Doc& doc, std::string_view handle, std::string_view code, int nth = 0) {
  return std::stod(Value(doc, handle, code, nth));
}

// Selects the objects with these handles.
void Select(Doc& doc, std::initializer_list<std::string_view> handles) {
  for (tpoly& p : doc.d.polys) {
    p.selected = false;
    for (const std::string_view h : handles)
      if (p.han == ParseHandle(h)) p.selected = true;
  }
}

constexpr double kNear = 1e-9;

// A number the edit must have written: group `code` (its `nth`) of the
// object with handle `handle`.
struct Written {
  const char* handle;
  const char* code;
  double want;
  int nth = 0;
};
void ExpectWritten(const Doc& doc, std::initializer_list<Written> table) {
  for (const Written& w : table)
    EXPECT_NEAR(Number(doc, w.handle, w.code, w.nth), w.want, kNear) << w.handle << " " << w.code << " " << w.nth;
}

const std::string kLine = Obj("LINE", {{"5", "A1"}, {"8", "0"}, {"10", "1"}, {"20", "2"}, {"30", "0"}, {"11", "4"}, {"21", "6"}, {"31", "0"}});
const std::string kEllipse = Obj("ELLIPSE", {{"5", "A2"}, {"8", "0"}, {"10", "10"}, {"20", "0"}, {"30", "0"}, {"11", "3"},
                                             {"21", "0"}, {"31", "0"}, {"40", "0.5"}, {"41", "0"}, {"42", "1.5"}});
// A circle and an arc seen from below: their x axis is the world's -x.
const std::string kBelow = Obj("CIRCLE", {{"5", "A3"}, {"8", "0"}, {"10", "5"}, {"20", "1"}, {"30", "0"}, {"40", "2"},
                                          {"210", "0"}, {"220", "0"}, {"230", "-1"}}) +
                           Obj("ARC", {{"5", "A4"}, {"8", "0"}, {"10", "0"}, {"20", "0"}, {"30", "0"}, {"40", "1"},
                                       {"50", "0"}, {"51", "90"}, {"210", "0"}, {"220", "0"}, {"230", "-1"}});
const std::string kArc = Obj("ARC", {{"5", "A5"}, {"8", "0"}, {"10", "2"}, {"20", "3"}, {"30", "0"}, {"40", "1"}, {"50", "300"}, {"51", "30"}});
const std::string kText = Obj("TEXT", {{"5", "A6"}, {"8", "0"}, {"10", "1"}, {"20", "1"}, {"30", "0"}, {"40", "2"}, {"1", " A b "}});
const std::string kPolyline = Obj("LWPOLYLINE", {{"5", "A7"}, {"8", "0"}, {"90", "2"}, {"70", "0"}, {"10", "0"}, {"20", "0"},
                                                 {"42", "0.5"}, {"10", "4"}, {"20", "0"}});
const std::string kInsert = Obj("INSERT", {{"5", "A8"}, {"8", "0"}, {"66", "1"}, {"2", "B"}, {"10", "10"}, {"20", "5"}, {"30", "0"},
                                           {"50", "30"}}) +
                            Obj("ATTRIB", {{"5", "A9"}, {"330", "A8"}, {"8", "0"}, {"10", "10"}, {"20", "4"}, {"30", "0"},
                                           {"40", "1"}, {"1", "7"}, {"2", "NR"}}) +
                            Obj("SEQEND", {{"5", "AA"}, {"330", "A8"}, {"8", "0"}});
// A dimension and the block that draws it.
const std::string kDimension = Obj("DIMENSION", {{"5", "C0"}, {"8", "0"}, {"2", "*D1"}, {"10", "0"}, {"20", "2"}, {"11", "2"},
                                                 {"21", "2.5"}, {"70", "33"}, {"13", "0"}, {"23", "0"}, {"14", "4"}, {"24", "0"}});
const std::string kPicture = Obj("BLOCK", {{"5", "C1"}, {"330", "30"}, {"8", "0"}, {"2", "*D1"}, {"70", "1"}, {"10", "0"},
                                           {"20", "0"}, {"3", "*D1"}}) +
                             Obj("LINE", {{"5", "C2"}, {"330", "30"}, {"8", "0"}, {"10", "0"}, {"20", "2"}, {"11", "4"}, {"21", "2"}}) +
                             Obj("ENDBLK", {{"5", "C3"}, {"330", "30"}, {"8", "0"}});
const std::string kBlockB = Obj("BLOCK", {{"5", "B0"}, {"8", "0"}, {"2", "B"}, {"70", "0"}, {"10", "0"}, {"20", "0"}, {"30", "0"}, {"3", "B"}}) +
                            Obj("LINE", {{"5", "B1"}, {"8", "0"}, {"10", "0"}, {"20", "0"}, {"11", "1"}, {"21", "0"}}) +
                            Obj("ENDBLK", {{"5", "B2"}, {"8", "0"}});

TEST(Move, EachKindByItsOwnRules) {
  auto doc = Doc::Of(Drawing2000(kLine + kEllipse + kBelow + kText + kInsert));
  const std::vector<std::string> before = doc->lines();
  Select(*doc, {"A1", "A2", "A3", "A4", "A6", "A8"});
  ASSERT_EQ(MoveObjects(doc->c, 5, -2), EditResult::Done);
  ExpectWritten(*doc, {
      {"A1", "10", 6}, {"A1", "20", 0}, {"A1", "11", 9}, {"A1", "21", 4},
      // The ellipse's 11/21 is its axis, no point.
      {"A2", "10", 15}, {"A2", "11", 3}, {"A2", "21", 0},
      // Seen from below, the plane's x runs the other way.
      {"A3", "10", 0}, {"A3", "20", -1}, {"A4", "10", -5}, {"A4", "20", -2}, {"A4", "50", 0},
      {"A6", "10", 6}, {"A6", "20", -1},
      // A block reference takes its attributes along.
      {"A8", "10", 15}, {"A8", "20", 3}, {"A8", "50", 30}, {"A9", "10", 15}, {"A9", "20", 2},
  });
  EXPECT_EQ(Value(*doc, "A3", "230"), "-1");
  ASSERT_EQ(doc->j.undos.size(), 1u);
  ASSERT_TRUE(UndoLastOperation(doc->c));
  EXPECT_EQ(doc->lines(), before);
}

TEST(Move, OnlyWhatTheTabShowsAndNothingThatStays) {
  auto doc = Doc::Of(Drawing2000(kLine + kArc));
  Select(*doc, {"A1"});
  EXPECT_EQ(MoveObjects(doc->c, 0, 0), EditResult::Unchanged);
  doc->tab = 1;  // selected on the model, the sheet shows it not
  EXPECT_EQ(MoveObjects(doc->c, 1, 1), EditResult::NothingSelected);
  EXPECT_TRUE(doc->j.undos.empty());
  EXPECT_FALSE(doc->f.changed);
}

TEST(Rotate, AnglesAndPointsTurn) {
  auto doc = Doc::Of(Drawing2000(kArc + kText + kInsert + kPolyline));
  Select(*doc, {"A5", "A6", "A8", "A7"});
  // A quarter turn about the arc's centre.
  ASSERT_EQ(RotateObjects(doc->c, 2, 3, 2, 4, kRotate), EditResult::Done);
  ExpectWritten(*doc, {
      // Angles go up by 90 and are not brought back below 360.
      {"A5", "10", 2}, {"A5", "20", 3}, {"A5", "50", 390}, {"A5", "51", 120},
      // A text without an angle gets one.
      {"A6", "10", 4}, {"A6", "20", 2}, {"A6", "50", 90},
      {"A8", "10", 0}, {"A8", "20", 11}, {"A8", "50", 120},
      {"A7", "10", 5}, {"A7", "20", 1}, {"A7", "42", 0.5}, {"A7", "10", 5, 1}, {"A7", "20", 5, 1},
  });
}

TEST(Mirror, RunsArcsBulgesAndReferencesTheOtherWay) {
  auto doc = Doc::Of(Drawing2000(kArc + kPolyline + kInsert + kText + kEllipse + kBelow));
  const std::vector<std::string> before = doc->lines();
  Select(*doc, {"A5", "A7", "A8", "A6", "A2", "A3", "A4"});
  // Across the y axis.
  ASSERT_EQ(RotateObjects(doc->c, 0, 0, 0, 1, kMirror), EditResult::Done);
  ExpectWritten(*doc, {
      // 300..30 through 0 becomes 150..240 through 180.
      {"A5", "10", -2}, {"A5", "50", 150}, {"A5", "51", 240},
      {"A7", "10", 0}, {"A7", "42", -0.5},
      // Mirrored along its own x axis, turned the other way.
      {"A8", "10", -10}, {"A8", "41", -1}, {"A8", "50", 330}, {"A9", "10", -10},
      // Its place and direction mirrored, its letters not.
      {"A6", "10", -1}, {"A6", "50", 180}, {"A6", "40", 2},
      // The parameters run back from 2 pi; the ratio stays.
      {"A2", "10", -10}, {"A2", "11", -3}, {"A2", "40", 0.5}, {"A2", "41", 2 * kPi - 1.5}, {"A2", "42", 2 * kPi},
      // Seen from below they stay so.
      {"A3", "10", -5}, {"A3", "230", -1}, {"A4", "50", 90}, {"A4", "51", 180},
  });
  EXPECT_EQ(RawValue(*doc, "A6", "1"), " A b ") << "the text as it was";
  EXPECT_EQ(Value(*doc, "A6", "71"), "(none)") << "no letters mirrored";
  // Nothing added that one undo does not take back.
  ASSERT_EQ(doc->j.undos.size(), 1u);
  ASSERT_TRUE(UndoLastOperation(doc->c));
  EXPECT_EQ(doc->lines(), before);
}

TEST(Scale, LengthsScaleRatiosDoNot) {
  auto doc = Doc::Of(Drawing2000(kArc + kText + kEllipse + kPolyline));
  Select(*doc, {"A5", "A6", "A2", "A7"});
  ASSERT_EQ(RotateObjects(doc->c, 0, 0, 2, 0, kScale), EditResult::Done);
  ExpectWritten(*doc, {
      {"A5", "10", 4}, {"A5", "40", 2}, {"A5", "50", 300}, {"A6", "40", 4}, {"A6", "10", 2},
      {"A2", "11", 6}, {"A2", "40", 0.5}, {"A2", "41", 0}, {"A7", "10", 0}, {"A7", "42", 0.5},
  });
}

TEST(Edits, WhatIsNoNumberOrNoScaleChangesNothing) {
  struct Case {
    const char* what;
    EditResult (*edit)(DocumentContext&);
    EditResult want;
  } cases[] = {
      {"move by no number", [](DocumentContext& c) { return MoveObjects(c, std::numeric_limits<double>::quiet_NaN(), 1); },
       EditResult::InvalidValue},
      {"copy by infinity", [](DocumentContext& c) { return CopyObjects(c, std::numeric_limits<double>::infinity(), 0); },
       EditResult::InvalidValue},
      {"scale by 0", [](DocumentContext& c) { return RotateObjects(c, 1, 1, 1, 1, kScale); }, EditResult::BadFactor},
      {"turn to no number", [](DocumentContext& c) { return RotateObjects(c, 0, 0, std::nan(""), 1, kRotate); },
       EditResult::InvalidValue},
      // Finite values whose results lie beyond the numbers there are (the
      // line stands at 1e308): the whole edit is refused.
      {"scale beyond", [](DocumentContext& c) { return RotateObjects(c, 0, 0, 1e300, 0, kScale); },
       EditResult::InvalidValue},
      {"move beyond", [](DocumentContext& c) { return MoveObjects(c, 1.7e308, 0); }, EditResult::InvalidValue},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto doc = Doc::Of(Drawing2000(kArc + Obj("LINE", {{"5", "C1"}, {"10", "1e308"}, {"20", "0"}, {"11", "0"}, {"21", "0"}})));
    const std::vector<std::string> before = doc->lines();
    Select(*doc, {"A5", "C1"});
    EXPECT_EQ(c.edit(doc->c), c.want);
    EXPECT_EQ(doc->lines(), before);
    EXPECT_TRUE(doc->j.undos.empty());
  }
}

TEST(Delete, TheSelectionWithWhatBelongsToItInOneStep) {
  const std::string objects = Obj("DICTIONARY", {{"5", "D1"}, {"330", "A1"}, {"3", "X"}, {"360", "D2"}}) +
                              Obj("XRECORD", {{"5", "D2"}, {"330", "D1"}, {"1", "x"}}) +
                              Obj("XRECORD", {{"5", "D3"}, {"330", "0"}, {"1", "stays"}});
  const std::string line = Obj("LINE", {{"5", "A1"}, {"102", "{ACAD_XDICTIONARY"}, {"360", "D1"}, {"102", "}"}, {"8", "0"},
                                        {"10", "1"}, {"20", "2"}, {"11", "4"}, {"21", "6"}});
  auto doc = Doc::Of(Drawing2000(line + kArc + kInsert + kText, "", objects));
  const std::vector<std::string> before = doc->lines();
  Select(*doc, {"A1", "A5", "A8"});
  ASSERT_TRUE(Loeschen(doc->c));
  for (const char* gone : {"A1", "A5", "A8", "A9", "AA", "D1", "D2"}) EXPECT_EQ(Value(*doc, gone, "8"), "(no object)") << gone;
  EXPECT_EQ(Value(*doc, "A6", "1"), "A b");
  EXPECT_EQ(Value(*doc, "D3", "1"), "stays");
  ASSERT_EQ(doc->j.undos.size(), 1u);
  ASSERT_TRUE(UndoLastOperation(doc->c));
  EXPECT_EQ(doc->lines(), before);
  // Nothing selected: nothing, and no step.
  Select(*doc, {});
  EXPECT_FALSE(Loeschen(doc->c));
  EXPECT_TRUE(doc->j.undos.empty());
}

TEST(Copy, NewHandlesOwnersAndBlocks) {
  auto doc = Doc::Of(Drawing2000(kText + kInsert + kDimension, kPicture + kBlockB));
  const std::size_t lines = doc->d.dxf.size();
  Select(*doc, {"A6", "A8", "A9", "C0"});
  ASSERT_EQ(CopyObjects(doc->c, 10, 0), EditResult::Done);
  ASSERT_EQ(doc->j.undos.size(), 1u);
  // The copies come last: a text, a reference with its attribute and end
  // (the attribute once, with its reference), a dimension.
  std::vector<std::string> kinds;
  for (const tpoly& p : doc->d.polys)
    if (!p.isblock) kinds.push_back(doc->kind(p));
  EXPECT_EQ(kinds, (std::vector<std::string>{"TEXT", "INSERT", "ATTRIB", "DIMENSION", "TEXT", "INSERT", "ATTRIB", "DIMENSION"}));
  const tpoly& text = doc->d.polys[doc->d.polys.size() - 4];
  EXPECT_EQ(doc->d.value(text.linefrom), "0");
  EXPECT_EQ(doc->d.dxf[static_cast<std::size_t>(text.linefrom)], "0") << "group codes of copies have no blanks";
  EXPECT_EQ(RawValue(*doc, "100", "1"), " A b ") << "the text as it was, its blanks too";
  EXPECT_EQ(Number(*doc, "100", "10"), 11);
  // New handles, one above the other: the text's, the reference's, its
  // attribute's and end's (whose owner is the new reference), the new
  // block's table entry, definition, line and end, and the dimension's.
  EXPECT_EQ(Value(*doc, "101", "2"), "B");
  EXPECT_EQ(Value(*doc, "102", "330"), "101");
  EXPECT_EQ(Value(*doc, "103", "330"), "101");
  // The dimension is drawn by a block of its own: its table entry, its
  // definition, its lines moved with it.
  EXPECT_EQ(Value(*doc, "108", "2"), "*D2");
  EXPECT_EQ(Value(*doc, "C0", "2"), "*D1");
  bool entry = false, picture2 = false;
  for (std::size_t k = 0; k + 1 < doc->d.dxf.size(); ++k) {
    entry = entry || (Trim(doc->d.dxf[k]) == "BLOCK_RECORD" && k + 6 < doc->d.dxf.size() && Trim(doc->d.dxf[k + 4]) == "*D2");
    picture2 = picture2 || (Trim(doc->d.dxf[k]) == "BLOCK" && Trim(doc->d.dxf[k + 8]) == "*D2");
  }
  EXPECT_TRUE(entry);
  EXPECT_TRUE(picture2);
  bool moved = false;
  for (const tpoly& p : doc->d.polys)
    if (doc->d.theblockname(p) == "*D2") moved = doc->d.ps(p)[0].x == 10 && doc->d.ps(p)[1].x == 14;
  EXPECT_TRUE(moved);
  // The seed names the next free handle.
  EXPECT_EQ(doc->d.value(doc->d.handleseedpos), "109");
  ASSERT_TRUE(UndoLastOperation(doc->c));
  EXPECT_EQ(doc->d.dxf.size(), lines);
}

TEST(Array, CopiesByColumnsAndRowsEachItsStep) {
  auto doc = Doc::Of(Drawing2000(kLine));
  Select(*doc, {"A1"});
  ArrayDialogValues v;
  v.SpaltenEd = 2, v.ZeilenEd = 3, v.SpaltenAbstandEd = 10, v.ZeilenAbstandEd = 5, v.RotierenEd = 90;
  ASSERT_EQ(MakeArray(doc->c, v), EditResult::Done);
  EXPECT_EQ(doc->j.undos.size(), 5u);
  std::vector<Point2> starts;
  for (const tpoly& p : doc->d.polys) starts.push_back({doc->d.ps(p)[0].x, doc->d.ps(p)[0].y});
  // Turned a quarter: the columns run up, the rows to the left.
  const std::vector<Point2> want = {{1, 2}, {-4, 2}, {-9, 2}, {1, 12}, {-4, 12}, {-9, 12}};
  ASSERT_EQ(starts.size(), want.size());
  for (const Point2& w : want) {
    bool found = false;
    for (const Point2& s : starts) found = found || (s.x == w.x && s.y == w.y);
    EXPECT_TRUE(found) << w.x << ", " << w.y;
  }
}

TEST(Array, RefusesWhatCannotBeAndWhatIsTooLarge) {
  struct Case {
    const char* what;
    int columns, rows;
    double spacing, angle;
    EditResult want;
  } cases[] = {
      {"no rows", 2, 0, 1, 0, EditResult::BadCount},
      {"beyond the dialog's rows", 1, 100000, 1, 0, EditResult::BadCount},
      {"a hundred million copies", 10000, 10000, 1, 0, EditResult::TooLarge},
      {"an angle of no number", 2, 2, 1, std::numeric_limits<double>::quiet_NaN(), EditResult::InvalidValue},
      {"a spacing that ends beyond the numbers", 3, 1, 1e308, 0, EditResult::InvalidValue},
      {"a single cell", 1, 1, 1, 0, EditResult::Unchanged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto doc = Doc::Of(Drawing2000(kLine));
    const std::vector<std::string> before = doc->lines();
    Select(*doc, {"A1"});
    ArrayDialogValues v;
    v.SpaltenEd = c.columns, v.ZeilenEd = c.rows, v.SpaltenAbstandEd = c.spacing, v.ZeilenAbstandEd = c.spacing;
    v.RotierenEd = c.angle;
    EXPECT_EQ(MakeArray(doc->c, v), c.want);
    EXPECT_EQ(doc->lines(), before);
    EXPECT_TRUE(doc->j.undos.empty());
  }
}

TEST(Array, StoppedOnItsWayChangesNothing) {
  // Stopped at the first copy, at a later one, and at the last: nothing
  // written, no step, no handle given out.
  for (const std::int64_t stopAt : {0, 7, 13}) {
    SCOPED_TRACE(stopAt);
    auto doc = Doc::Of(Drawing2000(kLine + kDimension, kPicture));
    const std::vector<std::string> before = doc->lines();
    const Handle handles = doc->d.maxhandle;
    Select(*doc, {"A1", "C0"});
    ArrayDialogValues v;
    v.SpaltenEd = 3, v.ZeilenEd = 5;
    std::vector<std::int64_t> told;
    EXPECT_EQ(MakeArray(doc->c, v, [&](std::int64_t done, std::int64_t total) {
      EXPECT_EQ(total, 14);
      told.push_back(done);
      return done != stopAt;
    }), EditResult::Cancelled);
    EXPECT_EQ(told.back(), stopAt);
    EXPECT_EQ(doc->lines(), before);
    EXPECT_TRUE(doc->j.undos.empty());
    EXPECT_EQ(doc->d.maxhandle, handles);
    EXPECT_EQ(doc->j.handlesIssued, 0u);
  }
}

// Seconds `edit` takes on a drawing made anew for it, the best of two.
template <class Edit>
double Seconds(const std::string& text, Edit edit) {
  double best = 1e9;
  for (int round = 0; round < 2; ++round) {
    auto doc = Doc::Of(text);
    const auto start = std::chrono::steady_clock::now();
    edit(*doc);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// `columns` x `rows` cells of the line A1.
EditResult ArrayOfLine(Doc& doc, int columns, int rows) {
  Select(doc, {"A1"});
  ArrayDialogValues v;
  v.SpaltenEd = columns, v.ZeilenEd = rows;
  return MakeArray(doc.c, v);
}

TEST(Array, CostsItsCopiesNotTheDrawingForEachCopy) {
  // Eight times the copies take about eight times as long (they took 64
  // times as long: each copy rebuilt the index of all lines so far), given
  // room for a loaded machine.
  const std::string line = Drawing2000(kLine);
  const double few = Seconds(line, [](Doc& doc) { EXPECT_EQ(ArrayOfLine(doc, 8, 250), EditResult::Done); });
  const double many = Seconds(line, [](Doc& doc) {
    EXPECT_EQ(ArrayOfLine(doc, 8, 2000), EditResult::Done);
    EXPECT_EQ(doc.j.undos.size(), 15999u);
  });
  EXPECT_LT(many, 20 * few + 0.25) << "2,000 copies " << few << " s, 16,000 copies " << many << " s";
  // In a drawing of 200,000 points a thousand copies cost about what one
  // does (the parse after it); each copy cost the whole drawing.
  std::string points;
  for (int i = 0; i < 200000; ++i)
    points += Obj("POINT", {{"5", std::to_string(1000 + i)}, {"8", "0"}, {"10", std::to_string(i)}, {"20", "0"}});
  const std::string large = Drawing2000(kLine + points);
  const double one = Seconds(large, [](Doc& doc) { EXPECT_EQ(ArrayOfLine(doc, 2, 1), EditResult::Done); });
  const double thousand = Seconds(large, [](Doc& doc) { EXPECT_EQ(ArrayOfLine(doc, 7, 143), EditResult::Done); });
  EXPECT_LT(thousand, 4 * one + 0.25) << "one copy " << one << " s, 1,000 copies " << thousand << " s";
}

TEST(Dimension, ItsBlockFollowsItAndASharedOneIsCopiedFirst) {
  // Its own block: mapped in place.
  auto own = Doc::Of(Drawing2000(kDimension, kPicture));
  Select(*own, {"C0"});
  ASSERT_EQ(RotateObjects(own->c, 0, 0, 0, 1, kRotate), EditResult::Done);
  EXPECT_NEAR(Number(*own, "C2", "10"), -2, kNear);
  EXPECT_NEAR(Number(*own, "C2", "21"), 4, kNear);
  EXPECT_NEAR(Number(*own, "C0", "14"), 0, kNear);
  EXPECT_NEAR(Number(*own, "C0", "24"), 4, kNear);
  // Shared with a second dimension: this one gets a copy, the other keeps
  // its picture.
  const std::string second = Obj("DIMENSION", {{"5", "C9"}, {"8", "0"}, {"2", "*D1"}, {"10", "0"}, {"20", "2"}, {"70", "1"},
                                               {"13", "0"}, {"23", "0"}, {"14", "4"}, {"24", "0"}});
  auto shared = Doc::Of(Drawing2000(kDimension + second, kPicture));
  Select(*shared, {"C0"});
  ASSERT_EQ(MoveObjects(shared->c, 0, 10), EditResult::Done);
  EXPECT_EQ(Value(*shared, "C0", "2"), "*D2");
  EXPECT_EQ(Value(*shared, "C9", "2"), "*D1");
  EXPECT_NEAR(Number(*shared, "C2", "20"), 2, kNear);
  ASSERT_EQ(shared->j.undos.size(), 1u);
}

}  // namespace
}  // namespace vestrel
