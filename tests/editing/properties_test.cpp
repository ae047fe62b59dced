// The property boxes and the text edit on the selected objects: where each
// group is overwritten, added or taken out, and one undo for each.
#include "editing/properties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/dxf_text.h"

namespace vestrel {
namespace {

using Lines = std::vector<std::string>;

struct Doc {
  explicit Doc(const std::string& entities, bool select = true, const char* version = "AC1015")
      : d(test::Parsed(test::WithEof(test::Section("HEADER", "  9\n$ACADVER\n  1\n" + std::string(version) + "\n") +
                                     test::Section("ENTITIES", entities)))) {
    for (tpoly& p : d.polys) p.selected = select;
    before = d.dxf.copy(0, d.dxf.size());
  }
  // The lines of the first entity after its type.
  Lines entity() const {
    const tpoly& p = d.polys[0];
    return d.dxf.copy(static_cast<std::size_t>(p.linefrom + 2), static_cast<std::size_t>(p.linebis - p.linefrom - 1));
  }
  bool undoes() {
    if (j.undos.size() != 1) return false;
    UndoLastStep(j, d.dxf);
    return d.dxf.copy(0, d.dxf.size()) == before;
  }
  Drawing d;
  Journal j;
  FileState f;
  int tab = 0;
  DocumentContext c{d, j, f, tab};
  Lines before;
};

const std::string kLine = "  0\nLINE\n  5\n2A\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n";

TEST(PropertyEdits, EachBoxWritesItsGroupAmongTheCommonOnes) {
  struct Case {
    const char* what;
    std::string entity;
    void (*edit)(DocumentContext&);
    Lines after;  // the entity's lines after its type
  } cases[] = {
      {"a colour added after the layer", kLine, [](DocumentContext& c) { SetColorForObjects(c, 1); },
       {"  5", "2A", "100", "AcDbEntity", "  8", "0", " 62", "1", "100", "AcDbLine", " 10", "0", " 20", "0", " 11", "1",
        " 21", "1"}},
      {"a colour overwritten, its true colour gone",
       "  0\nCIRCLE\n  8\nA\n 62\n5\n420\n255\n 10\n0\n 20\n0\n 40\n1\n",
       [](DocumentContext& c) { SetColorForObjects(c, 256); },
       {"  8", "A", " 62", "256", " 10", "0", " 20", "0", " 40", "1"}},
      {"by block", "  0\nPOINT\n  8\nA\n 10\n0\n 20\n0\n", [](DocumentContext& c) { SetColorForObjects(c, 0); },
       {"  8", "A", " 62", "0", " 10", "0", " 20", "0"}},
      {"a layer where there was none: after the type", "  0\nPOINT\n 10\n0\n 20\n0\n",
       [](DocumentContext& c) { SetLayerForObjects(c, "WÄNDE"); }, {"  8", "WÄNDE", " 10", "0", " 20", "0"}},
      {"a polyline's layer is its header's",
       "  0\nPOLYLINE\n  8\nA\n 66\n1\n  0\nVERTEX\n  8\nA\n 10\n0\n 20\n0\n  0\nSEQEND\n  8\nA\n",
       [](DocumentContext& c) { SetLayerForObjects(c, "B"); },
       {"  8", "B", " 66", "1", "  0", "VERTEX", "  8", "A", " 10", "0", " 20", "0", "  0", "SEQEND", "  8", "A"}},
      {"a line type", kLine, [](DocumentContext& c) { SetLineTypeForObjects(c, "DASHED"); },
       {"  5", "2A", "100", "AcDbEntity", "  8", "0", "  6", "DASHED", "100", "AcDbLine", " 10", "0", " 20", "0", " 11",
        "1", " 21", "1"}},
      {"a line weight overwritten", "  0\nLINE\n  8\n0\n370\n50\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n",
       [](DocumentContext& c) { SetLeineWeightForObjects(c, "25"); },
       {"  8", "0", "370", "25", " 10", "0", " 20", "0", " 11", "1", " 21", "1"}},
      {"a line weight by layer taken out", "  0\nLINE\n  8\n0\n370\n50\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n",
       [](DocumentContext& c) { SetLeineWeightForObjects(c, "-3"); },
       {"  8", "0", " 10", "0", " 20", "0", " 11", "1", " 21", "1"}},
      {"a solid's weight found though the reader leaves it", "  0\nSOLID\n  8\n0\n370\n50\n 10\n0\n 20\n0\n",
       [](DocumentContext& c) { SetLeineWeightForObjects(c, "30"); }, {"  8", "0", "370", "30", " 10", "0", " 20", "0"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Doc doc(k.entity);
    k.edit(doc.c);
    EXPECT_EQ(doc.entity(), k.after);
    EXPECT_TRUE(doc.f.changed);
    EXPECT_TRUE(doc.undoes());
  }
}

TEST(PropertyEdits, OnlyTheSelectionAndNoWeightsInR12) {
  Doc doc(kLine + kLine, false);
  doc.d.polys[1].selected = true;
  SetColorForObjects(doc.c, 3);
  EXPECT_FALSE(doc.d.polys[0].colorispresent);
  EXPECT_EQ(doc.d.polys[1].colornr, 3);
  // Nothing selected: a step that changes nothing.
  Doc none(kLine, false);
  SetLayerForObjects(none.c, "X");
  EXPECT_EQ(none.d.dxf.copy(0, none.d.dxf.size()), none.before);
  EXPECT_EQ(none.j.undos.size(), 1u);
  Doc r12(kLine, true, "AC1009");
  EXPECT_FALSE(SetLeineWeightForObjects(r12.c, "25"));
  EXPECT_TRUE(r12.j.undos.empty());
}

TEST(TextEdits, TheMemoBecomesTheTextInChunks) {
  const std::string longLine(300, 'x');
  struct Case {
    const char* what;
    std::string entity;
    std::string memo;
    Lines after;
    bool firstLineOnly = false;
  } cases[] = {
      {"one line grows past a chunk", "  0\nMTEXT\n  8\n0\n 10\n0\n 20\n0\n 40\n1\n  1\nalt\\P\n", longLine,
       {"  8", "0", " 10", "0", " 20", "0", " 40", "1", "  3", std::string(250, 'x'), "  1", std::string(50, 'x')}},
      {"two chunks shrink to one", "  0\nMTEXT\n  8\n0\n  3\n" + std::string(250, 'a') + "\n  1\nb\n", "kurz\nzwei",
       {"  8", "0", "  1", "kurz\\Pzwei"}},
      {"a single-line text keeps the first line", "  0\nTEXT\n  8\n0\n 10\n0\n 20\n0\n 40\n1\n  1\nalt\n 72\n1\n",
       "neu\nmehr", {"  8", "0", " 10", "0", " 20", "0", " 40", "1", "  1", "neu", " 72", "1"}, true},
      {"a tab and a caret in caret notation", "  0\nTEXT\n  8\n0\n  1\nalt\n", "a\tb^c", {"  8", "0", "  1", "a^Ib^ c"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Doc doc(k.entity);
    const TextChange r = ChangeText(doc.c, 0, k.memo);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(r.firstLineOnly, k.firstLineOnly);
    EXPECT_EQ(doc.entity(), k.after);
    EXPECT_TRUE(doc.undoes());
  }
  // What the dialog shows, and what is not changed.
  Doc doc("  0\nMTEXT\n  8\n0\n  1\nHallo\\PWelt\\P\n");
  EXPECT_EQ(TextForEditing(doc.d, 0), "Hallo\nWelt\n");
  EXPECT_FALSE(ChangeText(doc.c, 0, "").changed);
  Doc same("  0\nMTEXT\n  8\n0\n  3\nHal\n  1\nlo\\PWelt\n");  // as it stands, however it is cut
  EXPECT_FALSE(ChangeText(same.c, 0, "Hallo\nWelt").changed);
  EXPECT_TRUE(same.j.undos.empty());
  // Carets are read for the dialog; a line break in caret notation stays
  // a blank in a single-line text.
  Doc carets("  0\nMTEXT\n  8\n0\n  1\na^Ib^ c\\Pd^Je\n");
  EXPECT_EQ(TextForEditing(carets.d, 0), "a\tb^c\nd\ne");
  Doc single("  0\nTEXT\n  8\n0\n  1\nd^Je^ \n");
  EXPECT_EQ(TextForEditing(single.d, 0), "d e^");
  // A control character without notation is refused.
  const TextChange refused = ChangeText(doc.c, 0, "neu\x7F");
  EXPECT_TRUE(refused.controlCharacter);
  EXPECT_FALSE(refused.changed);
  EXPECT_TRUE(doc.j.undos.empty());
  doc.d.polys[0].selected = false;
  EXPECT_FALSE(ChangeText(doc.c, 0, "neu").changed);
  EXPECT_TRUE(doc.j.undos.empty());
}

}  // namespace
}  // namespace vestrel
