// How new lines reach the drawing: numbers and handles as text, the owner
// lines of the tab shown, the splice with its undo step and the seed, and
// the insertions that are refused.
#include "writers/insertcode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "document/journal.h"
#include "support/dxf_text.h"
#include "writers/entitywriters.h"

namespace vestrel {
namespace {

TEST(FloatToDxf, NumbersAsTheDrawingGetsThem) {
  EXPECT_EQ(FloatToDxf(0), "0");
  EXPECT_EQ(FloatToDxf(-0.0), "0");
  EXPECT_EQ(FloatToDxf(1.5), "1.5");
  EXPECT_EQ(FloatToDxf(-2.5), "-2.5");
  EXPECT_EQ(FloatToDxf(0.25), "0.25");
  EXPECT_EQ(FloatToDxf(100), "100");
  EXPECT_EQ(FloatToDxf(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToDxf(123456789012345), "123456789012345");
  EXPECT_EQ(FloatToDxf(0.0001), "0.0001");
  // What the general form writes with an exponent comes in fixed point.
  EXPECT_EQ(FloatToDxf(0.00001), "0.000010000000000000");
  EXPECT_EQ(FloatToDxf(-0.00001), "-0.000010000000000000");
  EXPECT_EQ(FloatToDxf(6.123233995736766E-17), "0.000000000000000061");
  EXPECT_EQ(FloatToDxf(2E15), "2000000000000000.000000000000000000");
  EXPECT_EQ(FloatToDxf(1234567890123456.0), "1234567890123456.000000000000000000");
  EXPECT_EQ(FloatToDxf(1E18), "1E18");
  EXPECT_EQ(FloatToDxf(-2.5E20), "-2.5E20");
  // What it writes reads back.
  for (const double v : {0.1, -123.456, 1e-12, 3.0e14, 7.25e16}) EXPECT_NEAR(*ParseDouble(FloatToDxf(v)), v, std::abs(v) * 1e-14);
}

TEST(HandleText, UpperCaseHexadecimalOfAtLeastTwoDigits) {
  EXPECT_EQ(HandleText(5), "05");
  EXPECT_EQ(HandleText(0x1F), "1F");
  EXPECT_EQ(HandleText(0x1A3), "1A3");
  EXPECT_EQ(HandleText(0x1234567890ABCDEFull), "1234567890ABCDEF");
}

// Ten lines of a drawing without header or layouts; the ENDSEC of ENTITIES
// stands at line 10.
const char* const kTen = "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n1\n  0\nENDSEC\n  0\nEOF\n";

class InsertCodeTest : public ::testing::Test {
 protected:
  void load(const std::string& text) {
    d.dxf.assign(text);
    processdxf(d);
  }
  Drawing d;
  Journal j;
  FileState f;
  int tab = 0;
  DocumentContext s{d, j, f, tab};
};

TEST_F(InsertCodeTest, LinesGoInAtTheInsertionLineAsOneStep) {
  load(kTen);
  ASSERT_EQ(d.insertlinepos, 10);
  CodeLines c(s);
  c.add("A", std::string_view("B"));
  c.add("C", std::string_view("D"));
  ASSERT_EQ(InsertCode(s, c), InsertResult::Inserted);
  EXPECT_EQ(d.dxf[10], "A");
  EXPECT_EQ(d.dxf[13], "D");
  EXPECT_EQ(d.dxf[14], "  0");
  EXPECT_EQ(d.dxf[15], "ENDSEC");
  ASSERT_EQ(j.undos.size(), 1u);
  ASSERT_EQ(j.undos[0].actions.size(), 1u);
  const taction& a = j.undos[0].actions[0];
  EXPECT_EQ(a.typ, 0);
  EXPECT_EQ(a.start, 10);
  EXPECT_EQ(a.len, 4);
  EXPECT_TRUE(f.changed);
  EXPECT_EQ(d.insertlinepos, 10);  // nothing moved it
}

TEST_F(InsertCodeTest, HandlesAndTheSeed) {
  load("  0\nSECTION\n  2\nHEADER\n  9\n$HANDSEED\n  5\n30\n  0\nENDSEC\n" + std::string(kTen).substr(0));
  d.maxhandle = 0x2F;
  CodeLines c(s);
  c.add("  0", std::string_view("LINE"));
  c.addHandle();
  EXPECT_EQ(d.maxhandle, 0x2Fu);  // taken only when the lines go in
  EXPECT_EQ(c.lines()[3], "30");
  ASSERT_EQ(InsertCode(s, c), InsertResult::Inserted);
  EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.handleseedpos)], "31");
  // Undo leaves the seed where it is: no handle is issued twice.
  UndoLastStep(j, d.dxf);
  processdxf(d);
  EXPECT_EQ(d.value(d.handleseedpos), "31");
  EXPECT_EQ(d.maxhandle, 0x30u);
}

TEST_F(InsertCodeTest, TheSeedStaysRightWhenTheHeaderComesAfterTheEntities) {
  load("  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n"
       "  0\nSECTION\n  2\nHEADER\n  9\n$HANDSEED\n  5\n30\n  0\nENDSEC\n  0\nEOF\n");
  const int seed = d.handleseedpos;
  CodeLines c(s);
  c.addHandle();
  ASSERT_EQ(InsertCode(s, c), InsertResult::Inserted);
  // The seed moved down by the two lines inserted before it.
  EXPECT_EQ(d.dxf[static_cast<std::size_t>(seed + 2)], "31");
  EXPECT_EQ(d.dxf[static_cast<std::size_t>(seed)], "$HANDSEED");  // what stood there before is untouched
}

TEST_F(InsertCodeTest, OwnerLinesOfTheTabShown) {
  load(test::WithEof(test::Section("BLOCKS",
                                   "  0\nBLOCK\n330\n1F\n  3\n*Model_Space\n  0\nENDBLK\n"
                                   "  0\nBLOCK\n330\n2A\n  3\n*Paper_Space\n  0\nENDBLK\n"
                                   "  0\nBLOCK\n330\n3B\n  3\n*Paper_Space0\n  0\nENDBLK\n") +
                     test::Section("ENTITIES", "") +
                     test::Section("OBJECTS",
                                   "  0\nLAYOUT\n  1\nModel\n 71\n0\n330\n1F\n  0\nLAYOUT\n  1\nLayout1\n 71\n1\n330\n2A\n"
                                   "  0\nLAYOUT\n  1\nLayout2\n 71\n2\n330\n3B\n")));
  const int entities = d.insertlinepos;
  // The owner lines, and " 67" where the tab is paper space; where they go.
  std::int32_t at = -1;
  auto owner = [&](int tab) {
    this->tab = tab;
    CodeLines c(s);
    if (AddToLayout(c)) c.add(" 67", std::string_view("1"));
    at = c.at();
    return c.lines();
  };
  EXPECT_EQ(owner(0), (std::vector<std::string>{"330", "1F"}));
  EXPECT_EQ(at, entities);
  EXPECT_EQ(owner(1), (std::vector<std::string>{"330", "2A", " 67", "1"}));
  EXPECT_EQ(at, entities);  // the active paper space is in the entities
  EXPECT_EQ(owner(2), (std::vector<std::string>{"330", "3B", " 67", "1"}));
  EXPECT_EQ(at, d.blocks[2].linetoinsert);  // the layout's own block
  EXPECT_EQ(d.insertlinepos, entities);     // which the drawing does not note
  // Without layouts the second tab is paper space all the same.
  load(kTen);
  EXPECT_EQ(owner(1), (std::vector<std::string>{" 67", "1"}));
  EXPECT_TRUE(owner(0).empty());
}

TEST_F(InsertCodeTest, NewObjectsTakeWhatTheHeaderSays) {
  load(kTen);
  EXPECT_EQ(NewObjectLayer(d), "0");
  // A header, then layers WAND and TUER and the line types ByLayer and
  // DASHED; what a new line writes between its layer and its subclass.
  const std::string tables =
      test::Section("TABLES", "  0\nTABLE\n  2\nLTYPE\n  0\nLTYPE\n  2\nByLayer\n  0\nLTYPE\n  2\nDASHED\n  0\nENDTAB\n"
                              "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\nWAND\n  0\nLAYER\n  2\nTUER\n  0\nENDTAB\n") +
      test::Section("ENTITIES", "");
  struct Case {
    const char* header;
    const char* version;
    const char* layer;
    std::vector<std::string> own;  // the lines after the layer's
  };
  const Case cases[] = {
      {"", "AC1015", "WAND", {}},
      {"  9\n$CLAYER\n  8\ntuer\n", "AC1015", "TUER", {}},  // the table's spelling
      {"  9\n$CLAYER\n  8\nNIX\n", "AC1015", "WAND", {}},   // no such layer: the first
      {"  9\n$CECOLOR\n 62\n256\n  9\n$CELTYPE\n  6\nBYLAYER\n  9\n$CELWEIGHT\n370\n-1\n", "AC1015", "WAND", {}},
      {"  9\n$CECOLOR\n 62\n1\n  9\n$CELTYPE\n  6\ndashed\n  9\n$CELWEIGHT\n370\n50\n", "AC1015", "WAND",
       {"  6", "DASHED", " 62", "1", "370", "50"}},
      {"  9\n$CECOLOR\n 62\n0\n  9\n$CELTYPE\n  6\nByBlock\n  9\n$CELWEIGHT\n370\n-2\n", "AC1015", "WAND",
       {"  6", "ByBlock", " 62", "0", "370", "-2"}},
      // What cannot be: no such line type, no colour number, no weight.
      {"  9\n$CECOLOR\n 62\n300\n  9\n$CELTYPE\n  6\nNIX\n  9\n$CELWEIGHT\n370\n7\n", "AC1015", "WAND", {}},
      {"  9\n$CECOLOR\n 62\nrot\n  9\n$CELWEIGHT\n370\n-9\n", "AC1015", "WAND", {}},
      // R12 holds no line weights.
      {"  9\n$CECOLOR\n 62\n5\n  9\n$CELWEIGHT\n370\n50\n", "AC1009", "WAND", {" 62", "5"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    load(test::WithEof(test::Section("HEADER", "  9\n$ACADVER\n  1\n" + std::string(c.version) + "\n" + c.header) + tables));
    EXPECT_EQ(NewObjectLayer(d), c.layer);
    CodeLines lines(s);
    ASSERT_EQ(AddLine(lines, LineKind::Line, {0, 0, 0}, {1, 1, 0}), InsertResult::Inserted);
    const std::vector<std::string>& l = lines.lines();
    const auto layer = std::find(l.begin(), l.end(), "  8") - l.begin();
    const auto end = std::find_if(l.begin() + layer, l.end(), [](const std::string& t) { return t == "100" || t == "  10"; });
    EXPECT_EQ(l[static_cast<std::size_t>(layer + 1)], c.layer);
    EXPECT_EQ(std::vector<std::string>(l.begin() + layer + 2, end), c.own);
  }
}

TEST_F(InsertCodeTest, NoPlaceOrABadNumberChangesNothing) {
  load(test::WithEof(test::Section("TABLES", "")));  // no entities section
  CodeLines c(s);
  c.add("  0", std::string_view("POINT"));
  c.add(" 10", 1.0);
  const auto before = d.dxf.copy(0, d.dxf.size());
  EXPECT_EQ(InsertCode(s, c), InsertResult::NoInsertionPoint);

  load(kTen);
  CodeLines bad(s);
  bad.add(" 10", std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(bad.valid());
  EXPECT_EQ(InsertCode(s, bad), InsertResult::InvalidValue);
  CodeLines infinite(s);
  infinite.add(" 10", std::numeric_limits<double>::infinity());
  EXPECT_EQ(InsertCode(s, infinite), InsertResult::InvalidValue);
  EXPECT_EQ(InsertCode(s, CodeLines(s)), InsertResult::NothingToWrite);
  EXPECT_EQ(d.dxf.size(), 14u);
  EXPECT_TRUE(j.undos.empty());
  EXPECT_FALSE(f.changed);
}

TEST_F(InsertCodeTest, NoHandleIsGivenTwiceNorPastTheLastOne) {
  auto insertOne = [&] {
    CodeLines c(s);
    c.add("  0", std::string_view("POINT"));
    c.addHandle();
    const InsertResult r = InsertCode(s, c);
    processdxf(d);
    return r;
  };
  // The seed names the next free handle; the last one of all cannot be
  // given out, for no seed could follow it.
  load("  0\nSECTION\n  2\nHEADER\n  9\n$HANDSEED\n  5\nFFFFFFFFFFFFFFFE\n  0\nENDSEC\n" + std::string(kTen));
  ASSERT_EQ(insertOne(), InsertResult::Inserted);
  EXPECT_EQ(d.value(d.handleseedpos), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(d.maxhandle, 0xFFFFFFFFFFFFFFFEu);
  const auto lines = d.dxf.size();
  EXPECT_EQ(insertOne(), InsertResult::NoHandleLeft);
  EXPECT_EQ(d.dxf.size(), lines);
  EXPECT_EQ(j.undos.size(), 1u);

  // Without a seed, a handle that an undo took out is not given out again.
  load(kTen);
  j = {};
  ASSERT_EQ(insertOne(), InsertResult::Inserted);
  const Handle first = d.maxhandle;
  UndoLastStep(j, d.dxf);
  processdxf(d);
  EXPECT_LT(d.maxhandle, first);
  ASSERT_EQ(insertOne(), InsertResult::Inserted);
  EXPECT_EQ(d.maxhandle, first + 1);
}

TEST_F(InsertCodeTest, ListsChangeNothingUntilTheyGoIn) {
  load("  0\nSECTION\n  2\nHEADER\n  9\n$HANDSEED\n  5\n30\n  0\nENDSEC\n" + std::string(kTen));
  const auto text = d.dxf.copy(0, d.dxf.size());
  const Handle top = d.maxhandle;
  const std::int32_t viewports = d.maxviewportid;
  // Two items in one list take handles and identifiers one after the
  // other; the drawing knows nothing of them yet.
  CodeLines c(s);
  c.addHandle();
  c.addHandle();
  EXPECT_EQ(c.newViewportId(), viewports + 1);
  EXPECT_EQ(c.lines(), (std::vector<std::string>{"  5", "30", "  5", "31"}));
  EXPECT_EQ(d.dxf.copy(0, d.dxf.size()), text);
  EXPECT_EQ(d.maxhandle, top);
  EXPECT_EQ(j.handlesIssued, 0u);
  EXPECT_EQ(d.maxviewportid, viewports);
  // Refused, it leaves no trace: the next list takes the same handles.
  c.insertAt(-1);
  EXPECT_EQ(InsertAndParse(s, c), InsertResult::NoInsertionPoint);
  EXPECT_EQ(d.dxf.copy(0, d.dxf.size()), text);
  CodeLines next(s);
  next.addHandle();
  next.addHandle();
  ASSERT_EQ(InsertAndParse(s, next), InsertResult::Inserted);
  EXPECT_EQ(next.lines()[3], "31");
  EXPECT_EQ(j.undos.size(), 1u);
  EXPECT_EQ(d.value(d.handleseedpos), "32");
  EXPECT_EQ(j.handlesIssued, 0x31u);
}

TEST_F(InsertCodeTest, ALayoutBlockWithoutItsEndHasNoPlaceForNewObjects) {
  // The block of the second layout is cut short before its ENDBLK: what is
  // drawn on that tab has nowhere to go, rather than the top of the file.
  load(test::WithEof(test::Section("BLOCKS", "  0\nBLOCK\n330\n3B\n  3\n*Paper_Space0\n") +
                     test::Section("ENTITIES", "") +
                     test::Section("OBJECTS", "  0\nLAYOUT\n  1\nModel\n 71\n0\n330\n1F\n"
                                              "  0\nLAYOUT\n  1\nLayout1\n 71\n1\n330\n2A\n"
                                              "  0\nLAYOUT\n  1\nLayout2\n 71\n2\n330\n3B\n")));
  tab = 2;
  EXPECT_FALSE(HasInsertionPoint(d, tab));
  CodeLines c(s);
  c.add("  0", std::string_view("POINT"));
  EXPECT_EQ(InsertCode(s, c), InsertResult::NoInsertionPoint);
  EXPECT_TRUE(j.undos.empty());
  tab = 0;
  EXPECT_TRUE(HasInsertionPoint(d, tab));
}

}  // namespace
}  // namespace vestrel
