// A long random run of writers and undos on drawings of every kind, checked
// step by step against a model of the journal: after every undo the drawing is the
// text it was before the step, but for the handle seed, and no handle is
// ever in use twice.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "document/journal.h"
#include "editing/undo.h"
#include "file/dxffile.h"
#include "support/corpus.h"
#include "support/fake_platform.h"
#include "tools/editor.h"
#include "writers/entitywriters.h"
#include "writers/insertcode.h"
#include "writers/tablewriters.h"

namespace vestrel {
namespace {

using Lines = std::vector<std::string>;

// The text without the seed's value line.
Lines WithoutSeed(const Drawing& d) {
  Lines l = d.dxf.copy(0, d.dxf.size());
  if (d.handleseedpos >= 0) l[static_cast<std::size_t>(d.handleseedpos)] = "<seed>";
  return l;
}

// Every handle of an object (groups 5 and 105 outside the header) is there
// once. (An R12 dimension style's group 5 names its arrow block.)
void ExpectUniqueHandles(const Drawing& d) {
  std::set<std::string> seen;
  std::string_view kind;
  for (std::size_t i = 0; i + 1 < d.dxf.size(); i += 2) {
    const std::string_view code = Trim(d.dxf[i]);
    if (code == "0") kind = Trim(d.dxf[i + 1]);
    if ((code != "5" && code != "105") || static_cast<int>(i + 1) == d.handleseedpos) continue;
    if (code == "5" && kind == "DIMSTYLE") continue;
    const std::string h(Trim(d.dxf[i + 1]));
    EXPECT_TRUE(seen.insert(h).second) << "handle " << h << " twice, line " << i + 1;
  }
}

class JournalModel : public ::testing::TestWithParam<std::string> {};

TEST_P(JournalModel, RandomWritesAndUndos) {
  test::FakePlatform platform;
  Editor editor(platform);
  editor.FormCreate(VESTREL_TEMPLATE_DIR);
  editor.FormShow({test::OwnDrawing(GetParam())});
  Drawing& d = editor.drawing;
  DocumentContext& s = editor.doc;
  ASSERT_GT(d.dxf.size(), 0u);
  ExpectUniqueHandles(d);
  const Lines original = WithoutSeed(d);

  std::mt19937 random(20261208);
  auto coordinate = [&] { return std::uniform_real_distribution<double>(-1000, 1000)(random); };
  auto point = [&] { return Point3{coordinate(), coordinate(), 0}; };
  std::vector<Lines> before;  // the model: the text before each step still in the journal
  for (int round = 0; round < 300; ++round) {
    editor.view.tab = static_cast<int>(random() % std::max<std::size_t>(2, d.layouts.size()));
    const Lines now = WithoutSeed(d);
    const auto steps = editor.undos.undos.size();
    switch (random() % 9) {
      case 0: Write(s, AddLine, LineKindOf(static_cast<int>(random() % 3)), point(), point()); break;
      case 1: Write(s, AddCircle, static_cast<int>(random() % 3), point(), point()); break;
      case 2: Write(s, AddArc, static_cast<int>(random() % 4), point(), point(), point()); break;
      case 3: {
        std::vector<PolyVertex> pts(2 + random() % 5);
        for (PolyVertex& q : pts) q.x = coordinate(), q.y = coordinate(), q.bulge = (random() % 3) * 0.25;
        Write(s, AddPolyLine, pts, random() % 2);
        break;
      }
      case 4: Write(s, AddSolid, point(), point(), point(), point()); break;
      case 5: Write(s, AddNewLayer, "L" + std::to_string(round), "Continuous", "-3", "3"); break;
      case 6:
        Write(s, AddViewport, random() % 2, ProposedViewport(platform.page, editor.print, {0, 0, 100, 100}));
        break;
      default:
        if (!before.empty()) {
          editor.Rckgngig1Click();
          EXPECT_EQ(WithoutSeed(d), before.back()) << "round " << round;
          before.pop_back();
        }
        continue;
    }
    if (editor.undos.undos.size() > steps) before.push_back(now);
    ASSERT_EQ(editor.undos.undos.size(), before.size());
    ExpectUniqueHandles(d);
  }
  while (!editor.undos.undos.empty()) editor.Rckgngig1Click();
  EXPECT_EQ(WithoutSeed(d), original);
  // The seed stays ahead of every handle written on the way.
  EXPECT_GT(d.maxhandle, 0u);
}

INSTANTIATE_TEST_SUITE_P(Drawings, JournalModel,
                         ::testing::Values("kinds_r2018.dxf", "gear.dxf", "kinds_r2007.dxf"));

}  // namespace
}  // namespace vestrel
