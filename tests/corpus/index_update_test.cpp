// The spatial index after a parse that read some entries again: brought
// up to date with them, it finds what an index built from that parse
// finds, over random edits of every drawing of the corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <tuple>

#include "document/spatialindex.h"
#include "support/random_edits.h"

namespace vestrel {
namespace {

// Every run the index finds anywhere, as it stands, in the order of the
// entries.
auto Everything(const SpatialIndex& index) {
  constexpr double kAll = std::numeric_limits<double>::infinity();
  std::vector<std::uint32_t> found;
  index.Find({-kAll, -kAll, kAll, kAll}, found);
  std::vector<std::tuple<std::int32_t, int, std::int32_t, int, std::int32_t, float, float, float, float>> runs;
  for (const std::uint32_t i : found) {
    const SpatialIndex::Run& r = index.run(i);
    runs.emplace_back(r.entry, static_cast<int>(r.kind), r.from, r.count, r.before, r.box.minx, r.box.miny, r.box.maxx,
                      r.box.maxy);
  }
  std::sort(runs.begin(), runs.end());
  return runs;
}

class IndexUpdate : public ::testing::TestWithParam<std::string> {};

TEST_P(IndexUpdate, RandomEditsFindWhatABuildFinds) {
  Drawing d;
  ASSERT_TRUE(test::LoadDrawing(GetParam(), d));
  processdxf(d);
  SpatialIndex index;
  index.Refresh(d);
  Journal j;
  test::Edits edits(d, j, 11);
  int updated = 0, rereadInPart = 0;
  for (int cycle = 0; cycle < 60; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    edits.next();
    processdxf(d);
    // Now and then two parses before the index is asked: it is built anew.
    if (cycle % 7 == 6) {
      edits.next();
      processdxf(d);
    }
    rereadInPart += !d.reparsed.whole;
    // Work handed along is done once, whether the index was built, took
    // the parse in or was current already.
    int alongside = 0;
    updated += index.Refresh(d, [&] { ++alongside; });
    EXPECT_FALSE(index.Refresh(d, [&] { ++alongside; }));
    EXPECT_EQ(alongside, 2);
    SpatialIndex built;
    built.Refresh(d);
    ASSERT_EQ(Everything(index), Everything(built));
  }
  // Most changes are read again in part: the index must have taken them
  // in as such, or the comparison proves little.
  if (rereadInPart >= 20) {
    EXPECT_GE(updated, rereadInPart / 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Drawings, IndexUpdate, ::testing::ValuesIn(test::EditedDrawings()),
                         [](const auto& info) { return test::CorpusName(info.param, info.index); });

}  // namespace
}  // namespace vestrel
