// Colours, pen widths and dash patterns of entries and their layers.
#include "view/colors.h"

#include <gtest/gtest.h>

#include "support/dxf_text.h"

namespace vestrel {
namespace {

const char* const kTables =
    "  0\nTABLE\n  2\nLTYPE\n"
    "  0\nLTYPE\n  2\nDOTS\n 49\n0.5\n 49\n-0.25\n 49\n0\n 49\n-0.25\n"
    "  0\nLTYPE\n  2\nGAPFIRST\n 49\n-0.25\n 49\n0.5\n"
    "  0\nLTYPE\n  2\nEMPTY\n"
    "  0\nENDTAB\n"
    "  0\nTABLE\n  2\nLAYER\n"
    "  0\nLAYER\n  2\nA\n 70\n0\n 62\n3\n  6\nDOTS\n370\n50\n"
    "  0\nLAYER\n  2\nOFF\n 70\n0\n 62\n-5\n"
    "  0\nLAYER\n  2\nLOCKED\n 70\n4\n 62\n1\n"
    "  0\nLAYER\n  2\nFROZEN\n 70\n1\n 62\n1\n"
    "  0\nENDTAB\n";

Drawing WithEntities(const std::string& entities) {
  return test::Parsed(test::WithEof(test::Section("TABLES", kTables) + test::Section("ENTITIES", entities)));
}

TEST(Colors, TheColourTable) {
  EXPECT_EQ(getcolornr(1, true), 0xFFFF0000u);
  EXPECT_EQ(getcolornr(5, true), 0xFF0000FFu);
  EXPECT_EQ(getcolornr(9, true), 0xFFC0C0C0u);
  EXPECT_EQ(getcolornr(252, true), 0xFF898989u);
  EXPECT_EQ(getcolornr(253, true), 0xFF999999u);
  EXPECT_EQ(getcolornr(254, true), 0xFFB7B7B7u);
  EXPECT_EQ(getcolornr(7, true), kBlack);
  EXPECT_EQ(getcolornr(7, false), kWhite);
  EXPECT_EQ(getcolornr(0, false), kWhite);
  EXPECT_EQ(getcolornr(300, true), kBlack);
  // Every number from 10 to 249 has a colour of its own: 30 is orange.
  EXPECT_EQ(getcolornr(30, true), 0xFFFF7F00u);
  EXPECT_EQ(getcolornr(249, false), getcolornr(249, true));
  EXPECT_EQ(getcolornr(-3, true), kWhite);
}

TEST(Colors, EntriesTakeTheirOwnColourOrTheirLayers) {
  const Drawing d = WithEntities(
      "  0\nLINE\n  8\nA\n 62\n256\n  0\nLINE\n  8\nA\n 62\n0\n  0\nLINE\n  8\nNOWHERE\n"
      "  0\nLINE\n  8\nA\n 62\n-2\n  0\nLINE\n  8\nOFF\n  0\nLINE\n  8\nLOCKED\n  0\nLINE\n  8\nFROZEN\n"
      "  0\nLINE\n  8\nA\n 62\n1\n420\n1193046\n");
  const StyleTables tables(d);
  auto color = [&](int i, bool model) {
    const tpoly& p = d.polys[static_cast<std::size_t>(i)];
    return EntryColor(p, tables.layer(p), model);
  };
  EXPECT_EQ(color(0, true), 0xFF00FF00u);  // by layer: green
  EXPECT_EQ(color(1, true), kBlack);       // by block: the default foreground
  EXPECT_EQ(color(1, false), kWhite);
  EXPECT_EQ(color(2, true), kBlack);  // a layer not in the table: 7
  EXPECT_EQ(color(3, true), kWhite);  // negative: white even on white
  EXPECT_TRUE(tables.layer(d.polys[4]).off);
  EXPECT_FALSE(tables.layer(d.polys[0]).off);
  EXPECT_TRUE(tables.layer(d.polys[5]).locked);
  EXPECT_FALSE(tables.layer(d.polys[5]).off);
  EXPECT_TRUE(tables.layer(d.polys[6]).off);  // frozen: not drawn either
  EXPECT_EQ(color(7, true), 0xFF123456u);      // a true colour before its number
}

TEST(Colors, PenWidths) {
  const Drawing d = WithEntities(
      "  0\nLINE\n  8\n0\n370\n100\n  0\nLINE\n  8\nA\n  0\nLINE\n  8\nA\n370\n-1\n  0\nLINE\n  8\n0\n370\n0\n");
  const StyleTables tables(d);
  auto width = [&](int i, bool show) {
    const tpoly& p = d.polys[static_cast<std::size_t>(i)];
    return PenWidth(p, tables.layer(p), 96, show);
  };
  // At their true width: 1 mm at 96 dots per inch.
  EXPECT_NEAR(width(0, true), 100 / 100.0 * 96 / 25.39995, 1e-12);
  EXPECT_NEAR(width(0, true), 3.78, 0.01);
  EXPECT_NEAR(width(1, true), 96 * 0.5 / 25.39995, 1e-12);  // the layer's 0.50 mm
  EXPECT_NEAR(width(2, true), width(1, true), 1e-12);        // by layer
  EXPECT_EQ(width(3, true), 1);                              // the thinnest line there is: a pixel
  EXPECT_EQ(width(0, false), 1);
}

TEST(Colors, DashPatterns) {
  const Drawing d = WithEntities(
      "  0\nLINE\n  8\nA\n  0\nLINE\n  8\nA\n  6\nGAPFIRST\n  0\nLINE\n  8\nA\n  6\nBYLAYER\n"
      "  0\nLINE\n  8\nA\n  6\nByLayer\n  0\nLINE\n  8\n0\n  6\nEMPTY\n");
  const StyleTables tables(d);
  Dashes dashes;
  auto pattern = [&](int i, double zoom, bool selected = false) {
    const tpoly& p = d.polys[static_cast<std::size_t>(i)];
    EntryDashes(d, tables, p, tables.layer(p), zoom, selected, dashes);
    return dashes.pattern;
  };
  EXPECT_EQ(pattern(0, 100), (std::vector<double>{0.5, 0.25, 1.0, 0.25}));
  EXPECT_EQ(dashes.offset, 0);
  EXPECT_EQ(pattern(0, 200), (std::vector<double>{1.0, 0.5, 1.0, 0.5}));  // dots stay one pen wide
  EXPECT_EQ(pattern(1, 100), (std::vector<double>{0.5}));
  EXPECT_EQ(dashes.offset, 0.25);
  EXPECT_TRUE(pattern(2, 100).empty());  // "BYLAYER" is a name, and there is none
  EXPECT_EQ(pattern(3, 100).size(), 4u);  // "ByLayer" is the layer's
  EXPECT_TRUE(pattern(4, 100).empty());   // a line type without parts is solid
  EXPECT_EQ(pattern(0, 100, true), (std::vector<double>{5, 5}));
}

// An entry's layer is the first of the table's layers of its name, to the
// byte; it has none without a name, with an empty one or with one not in
// the table. Wherever the layer tables stand in the file, entries before
// them included.
TEST(Colors, EntriesTakeTheFirstLayerOfTheirName) {
  const std::string first =
      "  0\nTABLE\n  2\nLAYER\n"
      "  0\nLAYER\n  2\n0\n 62\n2\n"
      "  0\nLAYER\n  2\nA\n 62\n3\n"
      "  0\nLAYER\n  2\nA\n 62\n5\n"
      "  0\nLAYER\n  2\nlower\n 62\n6\n 70\n4\n"
      "  0\nENDTAB\n";
  const std::string second = "  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\nLATE\n 62\n1\n  0\nENDTAB\n";
  struct Entry {
    const char* kind;
    const char* groups;
    int slot, colornr;
    bool zero;
  };
  const Entry entries[] = {
      {"LINE", " 10\n0\n", -1, 7, true},                    // no group 8: layer "0", not looked up
      {"LINE", "  8\n\n", -1, 7, true},                     // an empty name likewise
      {"LINE", "  8\nNOWHERE\n", -1, 7, false},             // not in the table
      {"LINE", "  8\nA\n", 1, 3, false},                    // the first of two of that name
      {"LINE", "  8\n  A  \n", 1, 3, false},                // blanks around do not count
      {"LINE", "  8\na\n", -1, 7, false},                   // letter case does
      {"LINE", "  8\nNOWHERE\n  8\nlower\n", 3, 6, false},  // the last group 8
      {"LINE", "  8\n0\n", 0, 2, true},
      {"LINE", "  8\nLATE\n", 4, 1, false},  // in the second table
      {"POLYLINE", "  8\nA\n 66\n1\n  0\nVERTEX\n  8\nLATE\n  0\nSEQEND\n  8\nLATE\n", 1, 3, false},  // its header's
  };
  std::string body;
  for (const Entry& e : entries) body += "  0\n" + std::string(e.kind) + "\n" + e.groups;
  const std::string entities = test::Section("ENTITIES", body);
  const std::pair<const char*, std::string> files[] = {
      {"tables first", test::Section("TABLES", first + second) + entities},
      {"tables last", entities + test::Section("TABLES", first + second)},
      {"a second table after the entities",
       test::Section("TABLES", first) + entities + test::Section("TABLES", second)},
  };
  for (const auto& [name, text] : files) {
    SCOPED_TRACE(name);
    Drawing d = test::Parsed(test::WithEof(text));
    ASSERT_EQ(d.anzpoly(), static_cast<std::int32_t>(std::size(entries)));
    ASSERT_EQ(d.anzlayer, 5);
    for (int pass = 0; pass < 2; ++pass) {  // and as read again
      const StyleTables tables(d);
      for (std::size_t i = 0; i < std::size(entries); ++i) {
        SCOPED_TRACE(entries[i].groups);
        const tpoly& p = d.polys[i];
        EXPECT_EQ(p.layerindex, entries[i].slot);
        EXPECT_EQ(tables.layer(p).found, entries[i].slot >= 0);
        EXPECT_EQ(tables.layer(p).colornr, entries[i].colornr);
        EXPECT_EQ(tables.layer(p).locked, entries[i].slot == 3);
        EXPECT_EQ(OnLayerZero(d, p), entries[i].zero);
      }
      d.parserecord = {};  // read in full again, on the slots of this parse
      processdxf(d);
    }
  }
  // Without a layer table, layer "0" is still where an entry names it.
  const Drawing bare = test::Parsed(test::WithEof(entities));
  ASSERT_EQ(bare.anzlayer, 0);
  for (std::size_t i = 0; i < std::size(entries); ++i) {
    EXPECT_EQ(bare.polys[i].layerindex, -1);
    EXPECT_EQ(OnLayerZero(bare, bare.polys[i]), entries[i].zero) << entries[i].groups;
  }
}

}  // namespace
}  // namespace vestrel
