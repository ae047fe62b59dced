// The reader's walk over the file: sections, header, tables, blocks,
// layouts, the entity frame and the lists it leaves for the window.
#include <gtest/gtest.h>

#include <functional>

#include "document/journal.h"
#include "support/dxf_text.h"

namespace vestrel {
namespace {

using test::LineOf;
using test::Parsed;
using test::Section;
using test::WithEof;

const char* const kLine = "  0\nLINE\n  8\n0\n 10\n1\n 20\n2\n 30\n0\n 11\n4\n 21\n6\n 31\n0\n";

std::string Header(std::string_view vars) { return Section("HEADER", vars); }

// --- document positions ------------------------------------------------------

TEST(ReaderPositions, StayUnsetWhenTheirPartIsMissing) {
  const Drawing d = Parsed(WithEof(Section("TABLES", "") + Section("BLOCKS", "")));
  EXPECT_EQ(d.insertlinepos, -1);
  EXPECT_EQ(d.layerinsertlinenr, -1);
  EXPECT_EQ(d.ltypeinsetlinenr, -1);
  EXPECT_EQ(d.handleseedpos, -1);
  EXPECT_EQ(d.maxhandle, 0u);
  EXPECT_EQ(d.anzpoly(), 0);
}

TEST(ReaderPositions, InsertionPointIsTheEndsecOfTheFirstEntitiesSection) {
  const Drawing d = Parsed(WithEof(Section("ENTITIES", kLine) + Section("ENTITIES", kLine)));
  EXPECT_EQ(d.insertlinepos, LineOf(d, "ENDSEC") - 1);
  EXPECT_EQ(d.anzpoly(), 2);
}

TEST(ReaderPositions, HandleSeedAndLargestHandle) {
  // The seed "A" is behind the handles: the largest handle, 0x12, wins.
  Drawing d = Parsed(WithEof(Header("  9\n$HANDSEED\n  5\nA\n") +
                             Section("ENTITIES", "  0\nLINE\n  5\n12\n  0\nLINE\n  5\nF\n")));
  EXPECT_EQ(d.maxhandle, 18u);
  EXPECT_EQ(d.handleseedpos, LineOf(d, "A"));
  // The seed 0x20 is one above the largest handle 0x1F.
  d = Parsed(WithEof(Header("  9\n$HANDSEED\n  5\n20\n") + Section("ENTITIES", "  0\nLINE\n  5\n1F\n")));
  EXPECT_EQ(d.maxhandle, 31u);
  // The seed alone counts as seed minus one, not as a handle of its own.
  d = Parsed(WithEof(Header("  9\n$HANDSEED\n  5\n40\n")));
  EXPECT_EQ(d.maxhandle, 63u);
}

TEST(ReaderPositions, EveryHandleInTheFileCountsAndHandlesAreSixtyFourBitsWide) {
  // Objects the reader otherwise steps over (a DICTIONARY, a 3DFACE, a
  // DIMSTYLE with its group 105) still hold handles that must not be issued
  // again, even when the seed is behind.
  const Drawing d = Parsed(WithEof(
      Header("  9\n$HANDSEED\n  5\n10\n") +
      Section("TABLES", "  0\nTABLE\n  2\nDIMSTYLE\n  0\nDIMSTYLE\n105\n30\n  0\nENDTAB\n") +
      Section("ENTITIES", "  0\n3DFACE\n  5\n40\n  0\nLINE\n  5\n20\n") +
      Section("OBJECTS", "  0\nDICTIONARY\n  5\n1234567890ABCDEF\n")));
  EXPECT_EQ(d.maxhandle, 0x1234567890ABCDEFull);

  // A value wider than 64 bits is no handle and is ignored.
  const Drawing wide = Parsed(WithEof(Section("ENTITIES", "  0\nLINE\n  5\n1FFFFFFFFFFFFFFFF\n  0\nLINE\n  5\n2A\n")));
  EXPECT_EQ(wide.maxhandle, 0x2Au);
  EXPECT_EQ(wide.polys[0].han, 0u);
}

TEST(ReaderPositions, VersionFromAcadverAndKeptWhenMissingOrUnreadable) {
  Drawing d;
  d.dxf.assign(WithEof(Header("  9\n$ACADVER\n  1\nAC1015\n")));
  processdxf(d);
  EXPECT_EQ(d.cadver, 1015);
  EXPECT_EQ(d.acadverpos, LineOf(d, "AC1015"));
  d.dxf.assign(WithEof(Header("  9\n$ACADVER\n  1\nACXY\n")));
  processdxf(d);
  EXPECT_EQ(d.cadver, 1015);
  d.dxf.assign(WithEof(Section("ENTITIES", "")));
  processdxf(d);
  EXPECT_EQ(d.cadver, 1015);
  d.dxf.assign(WithEof(Header("  9\n$ACADVER\n  1\nAC1009\n")));
  processdxf(d);
  EXPECT_EQ(d.cadver, 1009);
}

// --- pairs ------------------------------------------------------------------

TEST(ReaderPairs, LastLineIsReadAsAnEmptyValue) {
  // No line end after EOF: the final "0" is read with an empty value.
  Drawing d = Parsed(Section("ENTITIES", kLine) + "  0\nEOF");
  EXPECT_EQ(d.anzpoly(), 1);
  EXPECT_EQ(d.insertlinepos, LineOf(d, "ENDSEC") - 1);
  // A lone code line at the end makes no trouble either.
  d = Parsed(Section("ENTITIES", kLine) + "  0");
  EXPECT_EQ(d.anzpoly(), 1);
}

TEST(ReaderPairs, CodesAreComparedAsTrimmedText) {
  // Blanks and control characters around codes and values do not matter;
  // "08" is not group 8.
  const Drawing d = Parsed(WithEof(Section(
      "ENTITIES", "  0  \n LINE \r\n  8\t\n  WALLS  \n  0\nLINE\n08\nDOORS\n")));
  ASSERT_EQ(d.anzpoly(), 2);
  EXPECT_EQ(d.layer(d.polys[0]), "WALLS");
  EXPECT_FALSE(d.polys[1].layerpresent);
  EXPECT_EQ(d.layer(d.polys[1]), "");
}

TEST(ReaderPairs, UnknownKindsAreSteppedOverWithoutHidingWhatFollows) {
  const Drawing d = Parsed(WithEof(Section(
      "ENTITIES", std::string(kLine) + "  0\n3DFACE\n  8\nX\n 10\n0\n" + kLine + "  0\nACAD_TABLE\n")));
  ASSERT_EQ(d.anzpoly(), 2);
  EXPECT_EQ(d.polys[1].linefrom, LineOf(d, "LINE", 1) - 1);
}

TEST(ReaderPairs, UnparsableValuesLeaveTheirFields) {
  const Drawing d = Parsed(WithEof(Section("ENTITIES", "  0\nLINE\n 62\n5\n 62\nred\n370\n1.5\n  5\nXYZ\n")));
  const tpoly& p = d.polys[0];
  EXPECT_EQ(p.colornr, 5);
  EXPECT_TRUE(p.colorispresent);
  EXPECT_EQ(p.colorlinenr, LineOf(d, "red"));  // the line is there to be overwritten
  EXPECT_EQ(p.lineweight, 0);
  EXPECT_EQ(p.han, 0u);
}

// --- tables -------------------------------------------------------------------

const char* const kTables =
    "  0\nTABLE\n  2\nLTYPE\n  5\n5\n 70\n2\n"
    "  0\nLTYPE\n  5\n14\n  2\nContinuous\n 70\n0\n  3\nSolid line\n 72\n65\n 73\n0\n 40\n0.0\n"
    "  0\nLTYPE\n  5\n15\n  2\nDASHED\n  3\n__ __\n 49\n0.5\n 74\n0\n 49\n-0.25\n 49\n0\n"
    "  0\nENDTAB\n"
    "  0\nTABLE\n  2\nLAYER\n  5\n2\n 70\n2\n"
    "  0\nLAYER\n  5\n10\n  2\n0\n 70\n0\n 62\n7\n  6\nContinuous\n370\n-3\n390\nF\n"
    "  0\nLAYER\n  5\n11\n  2\nHIDDEN\n 70\n5\n 62\n-8\n  6\nDASHED\n290\n0\n"
    "  0\nENDTAB\n";

TEST(ReaderTables, LayersAndLineTypesWithTheirLines) {
  const Drawing d = Parsed(WithEof(Section("TABLES", kTables)));
  ASSERT_EQ(d.anzlt, 2);
  EXPECT_EQ(d.linetype[0].name, "Continuous");
  EXPECT_EQ(d.linetype[0].desc, "Solid line");
  EXPECT_TRUE(d.linetype[0].parts.empty());
  EXPECT_EQ(d.linetype[1].name, "DASHED");
  EXPECT_EQ(d.linetype[1].parts, (std::vector<float>{0.5f, -0.25f, 0.0f}));
  EXPECT_EQ(d.ltypeinsetlinenr, LineOf(d, "ENDTAB") - 1);

  ASSERT_EQ(d.anzlayer, 2);
  const TLayer& zero = d.layers[0];
  EXPECT_EQ(zero.name, "0");
  EXPECT_EQ(zero.colornr, 7);
  EXPECT_EQ(zero.colorlinenr, LineOf(d, "7"));
  EXPECT_EQ(zero.ltname, "Continuous");
  EXPECT_EQ(zero.ltnamelinenr, LineOf(d, "Continuous", 1));
  EXPECT_TRUE(zero.linweightpresent);
  EXPECT_EQ(zero.lineweight, -3);
  const TLayer& hidden = d.layers[1];
  EXPECT_EQ(hidden.flag, 5);
  EXPECT_EQ(hidden.flaglinenr, LineOf(d, "HIDDEN") + 2);
  EXPECT_EQ(hidden.colornr, -8);
  EXPECT_FALSE(hidden.linweightpresent);
  EXPECT_EQ(hidden.plotflag, 0);
  EXPECT_EQ(d.plotstylereaded, "F");
  EXPECT_EQ(d.layerinsertlinenr, LineOf(d, "ENDTAB", 1) - 1);
  // Table handles count too.
  EXPECT_EQ(d.maxhandle, 0x15u);
}

TEST(ReaderTables, ALayerTableWithoutEntriesHasNoInsertionPoint) {
  const Drawing d = Parsed(WithEof(Section("TABLES", "  0\nTABLE\n  2\nLAYER\n 70\n0\n  0\nENDTAB\n")));
  EXPECT_EQ(d.anzlayer, 0);
  EXPECT_EQ(d.layerinsertlinenr, -1);
}

TEST(ReaderTables, LayerSlotsKeepWhatANewEntryDoesNotSay) {
  // The second parse sees layer "A" without its flags and colour: the flag
  // stays from the slot, the colour's presence is cleared.
  Drawing d;
  d.dxf.assign(WithEof(Section("TABLES", "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\nA\n 70\n4\n 62\n3\n  0\nENDTAB\n")));
  processdxf(d);
  d.dxf.assign(WithEof(Section("TABLES", "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\nB\n  0\nENDTAB\n")));
  processdxf(d);
  ASSERT_EQ(d.anzlayer, 1);
  EXPECT_EQ(d.layers[0].name, "B");
  EXPECT_EQ(d.layers[0].flag, 4);
  EXPECT_TRUE(d.layers[0].flagpresent);
  EXPECT_FALSE(d.layers[0].colorpresent);
}

TEST(ReaderTables, ManyLayersGrowTheTable) {
  std::string body = "  0\nTABLE\n  2\nLAYER\n";
  for (int i = 0; i < 25; ++i) body += "  0\nLAYER\n  2\nL" + std::to_string(i) + "\n";
  body += "  0\nENDTAB\n";
  const Drawing d = Parsed(WithEof(Section("TABLES", body)));
  ASSERT_EQ(d.anzlayer, 25);
  EXPECT_EQ(d.layers[24].name, "L24");
}

// --- blocks ---------------------------------------------------------------------

TEST(ReaderBlocks, MembersKnowTheirBlock) {
  const std::string blocks =
      "  0\nBLOCK\n  5\n20\n330\n1F\n100\nAcDbEntity\n  8\n0\n  2\nCHAIR\n 70\n0\n 10\n1.5\n 20\n2.5\n 30\n0\n  3\nCHAIR\n"
      "  0\nLINE\n  8\n0\n"
      "  0\nCIRCLE\n330\n99\n  8\n0\n"
      "  0\nENDBLK\n  5\n21\n"
      "  0\nBLOCK\n  2\nEMPTY\n  3\nEMPTY\n330\n2A\n  0\nENDBLK\n  5\n2B\n";
  const Drawing d = Parsed(WithEof(Section("BLOCKS", blocks) + Section("ENTITIES", kLine)));
  ASSERT_EQ(d.blocks.size(), 2u);
  EXPECT_EQ(d.blocks[0].blockname, "CHAIR");
  EXPECT_EQ(d.blocks[0].hand, 0x1Fu);
  EXPECT_EQ(d.blocks[0].linetoinsert, LineOf(d, "ENDBLK") - 1);
  EXPECT_EQ(d.blocks[1].blockname, "EMPTY");
  EXPECT_EQ(d.blocks[1].linetoinsert, LineOf(d, "ENDBLK", 1) - 1);

  ASSERT_EQ(d.anzpoly(), 3);
  const tpoly& line = d.polys[0];
  EXPECT_TRUE(line.isblock);
  EXPECT_EQ(d.theblockname(line), "CHAIR");
  EXPECT_EQ(line.layhan, 0x1Fu);  // the block's owner, having none of its own
  ASSERT_EQ(line.block, 0);
  EXPECT_DOUBLE_EQ(d.blocks[0].basex, 1.5);
  EXPECT_DOUBLE_EQ(d.blocks[0].basey, 2.5);
  EXPECT_EQ(line.linebis, LineOf(d, "CIRCLE") - 2);
  EXPECT_EQ(d.polys[1].layhan, 0x99u);
  const tpoly& model = d.polys[2];
  EXPECT_FALSE(model.isblock);
  EXPECT_EQ(d.theblockname(model), "");
  EXPECT_LT(model.block, 0);
  EXPECT_EQ(d.maxhandle, 0x2Bu);
}

TEST(ReaderBlocks, TheNameIsGroupTwoAndNothingCarriesOverFromTheBlockBefore) {
  const std::string blocks =
      "  0\nBLOCK\n  2\nA\n330\n1F\n 10\n5\n 20\n6\n  0\nENDBLK\n"
      "  0\nBLOCK\n  2\nONLY2\n  0\nENDBLK\n"
      "  0\nBLOCK\n  3\nONLY3\n  0\nENDBLK\n"
      "  0\nBLOCK\n  3\nTHREE\n  2\nTWO\n  0\nENDBLK\n"
      "  0\nBLOCK\n  0\nENDBLK\n";
  const Drawing d = Parsed(WithEof(Section("BLOCKS", blocks)));
  ASSERT_EQ(d.blocks.size(), 5u);
  const char* names[] = {"A", "ONLY2", "ONLY3", "TWO", ""};
  for (std::size_t b = 0; b < 5; ++b) EXPECT_EQ(d.blocks[b].blockname, names[b]) << b;
  EXPECT_EQ(d.blocks[1].hand, 0u);
  EXPECT_DOUBLE_EQ(d.blocks[1].basex, 0);
  EXPECT_DOUBLE_EQ(d.blocks[1].basey, 0);
}

// --- layouts -------------------------------------------------------------------------

std::string Layout(std::string_view name, int order, std::string_view record) {
  return "  0\nLAYOUT\n  5\n30\n330\n1A\n  1\n" + std::string(name) + "\n 71\n" + std::to_string(order) +
         "\n 10\n-1\n 20\n-2\n 11\n297\n 21\n210\n 14\n1\n 24\n2\n 15\n3\n 25\n4\n330\n" + std::string(record) + "\n";
}

TEST(ReaderLayouts, ModelFirstThenByOrder) {
  const Drawing d = Parsed(WithEof(Section(
      "OBJECTS", Layout("Zwei", 2, "B2") + Layout("Model", 0, "B0") + Layout("Eins", 1, "B1"))));
  ASSERT_EQ(d.layouts.size(), 3u);
  EXPECT_EQ(d.layouts[0].name, "Model");
  EXPECT_EQ(d.layouts[1].name, "Eins");
  EXPECT_EQ(d.layouts[2].name, "Zwei");
  EXPECT_EQ(d.layouts[0].layhan, 0xB0u);  // the last 330: its block record
  EXPECT_EQ(d.layouts[2].layhan, 0xB2u);
  EXPECT_DOUBLE_EQ(d.layouts[1].lminx, -1);
  EXPECT_DOUBLE_EQ(d.layouts[1].lmaxy, 210);
  EXPECT_DOUBLE_EQ(d.layouts[1].emaxy, 4);
}

// --- the entity frame -----------------------------------------------------------------

TEST(ReaderFrame, EveryKindBecomesOneEntryWithItsLines) {
  const char* kinds[] = {"VIEWPORT", "POLYLINE", "DIMENSION", "RAY",   "XLINE", "LINE",   "LWPOLYLINE",
                         "LEADER",   "HATCH",    "WIPEOUT",   "SOLID", "POINT", "SPLINE", "ARC",
                         "CIRCLE",   "ELLIPSE",  "TEXT",      "MTEXT", "INSERT", "TRACE"};
  std::string body;
  for (const char* k : kinds) body += std::string("  0\n") + k + "\n  5\nA1\n  8\nL" + k + "\n";
  const Drawing d = Parsed(WithEof(Section("ENTITIES", body)));
  ASSERT_EQ(d.anzpoly(), 20);
  for (int i = 0; i < 20; ++i) {
    const tpoly& p = d.polys[static_cast<std::size_t>(i)];
    SCOPED_TRACE(kinds[i]);
    EXPECT_EQ(d.value(p.linefrom + 1), kinds[i]);
    EXPECT_EQ(p.linebis, p.linefrom + 5);
    EXPECT_EQ(p.layerlinenr, p.linefrom + 5);
    EXPECT_EQ(d.layer(p), std::string("L") + kinds[i]);
    EXPECT_EQ(p.han, 0xA1u);
  }
  auto at = [&](int i) -> const tpoly& { return d.polys[static_cast<std::size_t>(i)]; };
  EXPECT_TRUE(at(0).isviewport());
  EXPECT_TRUE(at(3).ray());
  EXPECT_TRUE(at(4).xline());
  EXPECT_TRUE(at(7).arrowhead);
  EXPECT_TRUE(at(8).patternfill() && at(8).issolid() && at(8).isclosed);
  EXPECT_TRUE(at(9).iswipeout());
  EXPECT_TRUE(at(10).issolid() && at(10).isclosed);
  EXPECT_TRUE(at(19).issolid() && at(19).isclosed);  // a trace is filled as a solid
  EXPECT_TRUE(at(11).ispoint() && !at(11).issolid());
  EXPECT_TRUE(at(15).kind == Kind::ELLIPSE && at(15).needext230);
  EXPECT_TRUE(at(16).istext() && !at(16).ismtext() && at(16).needext210);
  EXPECT_TRUE(at(17).istext() && at(17).ismtext());
  EXPECT_FALSE(at(5).istext() || at(5).isclosed || at(5).needext210);
}

TEST(ReaderFrame, CommonGroupsWithTheirLines) {
  const Drawing d = Parsed(WithEof(Section(
      "ENTITIES",
      "  0\nCIRCLE\n  5\n2F\n330\n1F\n 67\n1\n  8\nA\n  6\nDASHED\n 62\n3\n370\n25\n  8\nB\n")));
  const tpoly& p = d.polys[0];
  EXPECT_EQ(p.han, 0x2Fu);
  EXPECT_EQ(p.layhan, 0x1Fu);
  EXPECT_TRUE(p.ispaperspace);
  EXPECT_EQ(d.layer(p), "B");  // the last one wins
  EXPECT_EQ(p.layerlinenr, LineOf(d, "B"));
  EXPECT_EQ(d.ltname(p), "DASHED");
  EXPECT_EQ(p.ltnamelinenr, LineOf(d, "DASHED"));
  EXPECT_EQ(p.colornr, 3);
  EXPECT_EQ(p.colorlinenr, LineOf(d, "3"));
  EXPECT_EQ(p.lineweight, 25);
  EXPECT_EQ(p.lineweightlinenr, LineOf(d, "25"));
  EXPECT_TRUE(p.linweightpresent && p.ltnamepresent && p.colorispresent && p.layerpresent);
}

TEST(ReaderFrame, ViewportsSolidsAndPointsSkipSomeCommonGroups) {
  const std::string groups = "  6\nDASHED\n 62\n3\n370\n25\n";
  const Drawing d = Parsed(WithEof(Section(
      "ENTITIES", "  0\nVIEWPORT\n" + groups + "  0\nSOLID\n" + groups + "  0\nPOINT\n" + groups)));
  const tpoly& vp = d.polys[0];
  EXPECT_FALSE(vp.ltnamepresent || vp.colorispresent || vp.linweightpresent);
  for (int i : {1, 2}) {
    const tpoly& p = d.polys[static_cast<std::size_t>(i)];
    EXPECT_TRUE(p.ltnamepresent && p.colorispresent);
    EXPECT_FALSE(p.linweightpresent);
  }
}

TEST(ReaderFrame, PolylineRunsOverItsVerticesToItsSeqend) {
  const std::string body =
      "  0\nPOLYLINE\n  5\n40\n  8\nP\n 66\n1\n 70\n0\n"
      "  0\nVERTEX\n  5\n41\n  8\nP\n 10\n0\n 20\n0\n"
      "  0\nVERTEX\n  5\n42\n  8\nP\n 10\n1\n 20\n0\n"
      "  0\nVERTEX\n  5\n43\n  8\nP\n 10\n1\n 20\n1\n"
      "  0\nSEQEND\n  5\n44\n  8\nQ\n" +
      std::string(kLine);
  const Drawing d = Parsed(WithEof(Section("ENTITIES", body)));
  ASSERT_EQ(d.anzpoly(), 2);
  const tpoly& p = d.polys[0];
  EXPECT_EQ(p.linefrom, LineOf(d, "POLYLINE") - 1);
  EXPECT_EQ(p.linebis, LineOf(d, "Q"));
  EXPECT_EQ(p.han, 0x44u);
  // The layer is the header's, as other programs take it.
  EXPECT_EQ(d.layer(p), "P");
  EXPECT_EQ(p.layerlinenr, LineOf(d, "P"));
  EXPECT_EQ(d.code(p).front(), "0");
  EXPECT_EQ(d.code(p)[1], "POLYLINE");
  EXPECT_EQ(d.code(p).back(), "Q");
}

TEST(ReaderFrame, AnObjectCutOffByTheEndKeepsWhatWasRead) {
  Drawing d = Parsed(Section("ENTITIES", "") + "  0\nLINE\n  8\nX\n 10\n5");
  // The dangling ENTITIES above was closed; this LINE is outside any section.
  EXPECT_EQ(d.anzpoly(), 0);
  // It owns the rest of the list, down to the last line that is never read.
  d = Parsed("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\nX\n 62\n1\n 10\n5");
  ASSERT_EQ(d.anzpoly(), 1);
  EXPECT_EQ(d.polys[0].linebis, 11);
  EXPECT_EQ(d.layer(d.polys[0]), "X");
}

TEST(ReaderFrame, ReparseGivesTheSameResult) {
  Drawing d = Parsed(WithEof(Section("TABLES", kTables) + Section("ENTITIES", std::string(kLine) + kLine)));
  const auto firstCount = d.anzpoly();
  const auto firstHandle = d.maxhandle;
  processdxf(d);
  EXPECT_EQ(d.anzpoly(), firstCount);
  EXPECT_EQ(d.maxhandle, firstHandle);
  EXPECT_EQ(d.anzlayer, 2);
}

// An edit of some entries reads only those again: every entry has the slot
// of its layer that reading it all gives, those moved with the lines too.
TEST(ReaderFrame, LayerSlotsAfterAnEditAreThoseOfAFullReading) {
  auto line = [](const char* layer) { return "  0\nLINE\n  8\n" + std::string(layer) + "\n 10\n0\n 20\n0\n"; };
  Drawing d = Parsed(WithEof(Section("TABLES", kTables) +
                             Section("ENTITIES", line("0") + line("HIDDEN") + line("0") + line("HIDDEN"))));
  Journal j;
  struct Edit {
    const char* what;
    std::function<void(ChangeStep&)> apply;
    std::vector<int> slots;
  };
  auto entry = [&](std::size_t i) -> const tpoly& { return d.polys[i]; };
  const Edit edits[] = {
      {"a layer changed", [&](ChangeStep& s) { s.overwrite(entry(1).layerlinenr, "0"); }, {0, 0, 0, 1}},
      {"to one not in the table", [&](ChangeStep& s) { s.overwrite(entry(0).layerlinenr, "NONE"); }, {-1, 0, 0, 1}},
      {"to an empty one", [&](ChangeStep& s) { s.overwrite(entry(2).layerlinenr, ""); }, {-1, 0, -1, 1}},
      {"its group 8 gone", [&](ChangeStep& s) { s.erase(entry(3).layerlinenr - 1, 2); }, {-1, 0, -1, -1}},
      {"a second group 8",
       [&](ChangeStep& s) {
         s.insert(entry(0).layerlinenr + 1, {"  8", "HIDDEN"});
       },
       {1, 0, -1, -1}},
      {"the entries after moved",
       [&](ChangeStep& s) {
         s.insert(entry(0).linefrom + 2, {" 62", "1"});
       },
       {1, 0, -1, -1}},
      {"a group 8 again",
       [&](ChangeStep& s) {
         s.insert(entry(3).linefrom + 2, {"  8", "HIDDEN"});
       },
       {1, 0, -1, 1}},
  };
  for (const Edit& e : edits) {
    SCOPED_TRACE(e.what);
    {
      ChangeStep step(j, d.dxf);
      e.apply(step);
    }
    processdxf(d);
    EXPECT_FALSE(d.reparsed.whole);
    Drawing full = d;  // another list: read whole
    processdxf(full);
    ASSERT_EQ(d.anzpoly(), 4);
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(d.polys[i].layerindex, e.slots[i]) << i;
      EXPECT_EQ(full.polys[i].layerindex, e.slots[i]) << i;
    }
  }
}

}  // namespace
}  // namespace vestrel
