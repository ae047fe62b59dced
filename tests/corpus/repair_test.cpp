// The cut repair on every drawing: afterwards the repair finds nothing
// more to do, a check finds no more near ends, duplicates, overlaps or
// open contours than before, no duplicate of what the repair takes and no
// contour of it open by a gap it could have closed; the picture is the one before but
// for the anti-aliasing of a pixel; undo takes it all back.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <string>
#include <vector>

#include "editing/edit_support.h"
#include "editing/undo.h"
#include "support/corpus.h"
#include "support/pictures.h"
#include "support/qt_app.h"
#include "view/cutrepair.h"

namespace vestrel {
namespace {

using K = CutFinding::Kind;

class CorpusRepair : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { test::EnsureApp<QGuiApplication>(); }
};

TEST_P(CorpusRepair, LeavesNothingToRepairAndLooksTheSame) {
  const auto doc = test::Doc::Read(GetParam());
  if (!doc) GTEST_SKIP() << "not readable";
  Drawing& d = doc->d;
  const std::vector<std::string> lines = doc->lines();
  const QImage before = test::Picture(d);
  const CutCheck first = CheckCut(d, 0);
  const CutRepair r = RepairCut(doc->c);
  ASSERT_TRUE(r.status == CutRepair::Status::Done || r.status == CutRepair::Status::NothingToRepair)
      << static_cast<int>(r.status);
  if (r.status == CutRepair::Status::NothingToRepair) {
    EXPECT_EQ(doc->lines(), lines);
    return;
  }
  const CutCheck second = CheckCut(d, 0);
  for (const K k : {K::NearEnds, K::Duplicate, K::Overlap, K::OpenContour})
    EXPECT_LE(second.count(k), first.count(k)) << FindingName(k);
  // Of what the repair takes, no duplicate is left, and no contour open by
  // a gap within the tolerance.
  auto taken = [&](std::size_t entry) {
    const tpoly& p = d.polys[entry];
    return !p.isblock && (p.kind == Kind::LINE || p.kind == Kind::ARC || p.kind == Kind::LWPOLYLINE ||
                          p.kind == Kind::POLYLINE || p.kind == Kind::CIRCLE);
  };
  for (const CutFinding& f : second.findings) {
    // (Two pieces shorter than the tolerance are duplicates to the check
    // wherever they touch.)
    if (f.kind == K::Duplicate && f.width > kCutTolerance)
      EXPECT_FALSE(taken(f.entry) && taken(f.other)) << f.type << " at " << f.at.x << ", " << f.at.y;
    if (f.kind == K::OpenContour && f.width <= kCutTolerance)
      EXPECT_FALSE(taken(f.entry)) << f.type << " at " << f.at.x << ", " << f.at.y << ": " << f.width;
  }
  const CutRepair again = RepairCut(doc->c);
  EXPECT_EQ(again.duplicates + again.overlaps + again.ends + again.contours, 0)
      << again.duplicates << " " << again.overlaps << " " << again.ends << " " << again.contours;
  if (again.status == CutRepair::Status::Done) ASSERT_TRUE(UndoLastOperation(doc->c));

  const QImage after = test::Picture(d);
  const QRgb background = before.pixel(0, 0);
  EXPECT_EQ(test::Unmatched(after, before, background), 0);
  EXPECT_EQ(test::Unmatched(before, after, background), 0);

  // Undo puts back every line but the handle seed, which goes on naming
  // the next free handle.
  ASSERT_TRUE(UndoLastOperation(doc->c));
  std::vector<std::string> now = doc->lines();
  ASSERT_EQ(now.size(), lines.size());
  if (d.handleseedpos >= 0) now[static_cast<std::size_t>(d.handleseedpos)] = lines[static_cast<std::size_t>(d.handleseedpos)];
  EXPECT_TRUE(now == lines);
}

std::string Name(const ::testing::TestParamInfo<std::string>& info) { return test::CorpusName(info.param, info.index); }

INSTANTIATE_TEST_SUITE_P(Drawings, CorpusRepair, ::testing::ValuesIn(test::CorpusFiles()), Name);

}  // namespace
}  // namespace vestrel
