// Reading in two parts at once gives, field by field, what one reading
// gives, wherever the second part is made to begin: at objects of the
// entities (the join), and at lines where it cannot (the first part reads
// on).
#include <gtest/gtest.h>

#include "document/reader.h"
#include "support/drawing_state.h"
#include "support/random_edits.h"

namespace vestrel {
namespace {

class CorpusInParts : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusInParts, EverySplitReadsAsOneReading) {
  Drawing one;
  ASSERT_TRUE(test::LoadDrawing(GetParam(), one));
  ASSERT_FALSE(reader::Reader(one).runInTwo(SIZE_MAX));  // beyond the end: one reading

  // Objects of the entities, about ten of them spread over the drawing,
  // each also with the line after its first. The parts join at each that is
  // no attribute and follows no polyline width.
  struct Split {
    std::size_t line;
    bool joins;
  };
  std::vector<Split> splits{{0, false}, {one.dxf.size() - 1, false}};
  std::size_t objects = 0;
  for (const EntryParse& e : one.entryparse) objects += e.sections == kInEntities;
  const std::size_t every = std::max<std::size_t>(1, objects / 10);
  for (std::size_t i = 0, k = 0; i < one.polys.size(); ++i) {
    if (one.entryparse[i].sections != kInEntities || k++ % every != 0) continue;
    const auto from = static_cast<std::size_t>(one.polys[i].linefrom);
    const bool noWidth = i == 0 || (one.entryparse[i - 1].width == 0 && one.entryparse[i - 1].startwidth == 0);
    splits.push_back({from, one.polys[i].kind != Kind::ATTRIB && noWidth});
    splits.push_back({from + 1, false});
  }
  for (const Split& split : splits) {
    SCOPED_TRACE("second part from line " + std::to_string(split.line));
    Drawing d;
    ASSERT_TRUE(test::LoadDrawing(GetParam(), d));
    EXPECT_EQ(reader::Reader(d).runInTwo(split.line), split.joins);
    const std::string difference = test::DrawingDifference(d, one);
    ASSERT_TRUE(difference.empty()) << difference;
  }
}

INSTANTIATE_TEST_SUITE_P(Drawings, CorpusInParts, ::testing::ValuesIn(test::EditedDrawings()),
                         [](const auto& info) { return test::CorpusName(info.param, info.index); });

}  // namespace
}  // namespace vestrel
