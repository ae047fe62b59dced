// Edits that undo each other, on every drawing of the corpus (the drawings
// with every kind among them): moved there and back, turned four quarter
// turns, mirrored twice across one axis, scaled to 200 % and back to 50 %.
// Each leaves every point of the display list where it was (within 1e-9
// of the drawing's size), and undoing its steps one by one gives back the
// text exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "editing/transforms.h"
#include "editing/undo.h"
#include "edit_support.h"
#include "support/corpus.h"

namespace vestrel {
namespace {

using test::Doc;

// Up to three objects of every kind the tab shows: the first, the middle
// and the last; their positions in Doc::shown().
std::vector<std::size_t> Sample(const Doc& doc) {
  std::map<std::string, std::vector<std::size_t>> byKind;
  const std::vector<std::int32_t> shown = doc.shown();
  for (std::size_t k = 0; k < shown.size(); ++k) byKind[doc.kind(doc.d.polys[static_cast<std::size_t>(shown[k])])].push_back(k);
  std::vector<std::size_t> out;
  for (const auto& [kind, all] : byKind)
    for (const std::size_t k : {all.front(), all[all.size() / 2], all.back()})
      if (std::find(out.begin(), out.end(), k) == out.end()) out.push_back(k);
  std::sort(out.begin(), out.end());
  return out;
}

struct Points {
  std::vector<std::vector<Tmypoi>> entries;
  double size = 1;  // the largest coordinate, at least 1
};

Points PointsOf(const Drawing& d) {
  Points p;
  for (const tpoly& e : d.polys) {
    const auto pts = d.ps(e);
    p.entries.emplace_back(pts.begin(), pts.end());
    for (const Tmypoi& q : pts) p.size = std::max({p.size, std::abs(q.x), std::abs(q.y), std::abs(q.z)});
  }
  return p;
}

void ExpectSamePoints(const Points& before, const Drawing& d, const std::string& what) {
  const Points after = PointsOf(d);
  ASSERT_EQ(after.entries.size(), before.entries.size()) << what;
  const double tolerance = 1e-9 * before.size;
  int reported = 0;
  for (std::size_t i = 0; i < before.entries.size(); ++i) {
    const auto& a = before.entries[i];
    const auto& b = after.entries[i];
    if (a.size() != b.size()) {
      ADD_FAILURE() << what << ": entry " << i << " has " << b.size() << " points, had " << a.size();
      if (++reported > 5) return;
      continue;
    }
    for (std::size_t k = 0; k < a.size(); ++k) {
      const double off = std::max({std::abs(a[k].x - b[k].x), std::abs(a[k].y - b[k].y), std::abs(a[k].z - b[k].z)});
      if (off > tolerance) {
        ADD_FAILURE() << what << ": entry " << i << " (" << d.value(d.polys[i].linefrom + 1) << ") point " << k
                      << " is off by " << off << ": (" << b[k].x << ", " << b[k].y << ", " << b[k].z << ") not ("
                      << a[k].x << ", " << a[k].y << ", " << a[k].z << ")";
        if (++reported > 5) return;
        break;
      }
    }
  }
}

// The text, but for the value of $HANDSEED (which undo leaves advanced).
std::vector<std::string> TextOf(const Drawing& d) {
  std::vector<std::string> lines = d.dxf.copy(0, d.dxf.size());
  if (d.handleseedpos >= 0) lines[static_cast<std::size_t>(d.handleseedpos)].clear();
  return lines;
}

class EditProperties : public ::testing::TestWithParam<std::string> {};

TEST_P(EditProperties, EditsThatUndoEachOtherLeaveEveryPointAndUndoTheText) {
  auto doc = Doc::Read(GetParam());
  ASSERT_TRUE(doc);
  // The model and, where there is one, the first layout.
  for (const int tab : {0, 1}) {
    doc->tab = tab;
    if (tab == 1 && doc->d.layouts.size() < 2) continue;
    const std::vector<std::size_t> sample = Sample(*doc);
    if (sample.empty()) continue;
    const Points original = PointsOf(doc->d);
    const std::vector<std::string> text = TextOf(doc->d);
    // A point near the middle of the drawing, on no grid of the drawing.
    const double c = std::round(original.size / 3) + 0.375;
    struct Sequence {
      const char* what;
      std::vector<std::function<EditResult(DocumentContext&)>> steps;
    };
    const Sequence sequences[] = {
        {"move there and back",
         {[](DocumentContext& x) { return MoveObjects(x, 12.5, -7.25); },
          [](DocumentContext& x) { return MoveObjects(x, -12.5, 7.25); }}},
        {"four quarter turns",
         std::vector<std::function<EditResult(DocumentContext&)>>(
             4, [c](DocumentContext& x) { return RotateObjects(x, c, -c, c, 1 - c, kRotate); })},
        {"mirrored twice",
         std::vector<std::function<EditResult(DocumentContext&)>>(
             2, [c](DocumentContext& x) { return RotateObjects(x, c, c / 2, c + 3, c / 2 + std::sqrt(3.0), kMirror); })},
        {"200 % and 50 %",
         {[c](DocumentContext& x) { return RotateObjects(x, -c, c, -c + 2, c, kScale); },
          [c](DocumentContext& x) { return RotateObjects(x, -c, c, -c, c - 0.5, kScale); }}},
    };
    for (const Sequence& s : sequences) {
      SCOPED_TRACE(std::string(s.what) + " on tab " + std::to_string(tab));
      const std::size_t steps = doc->j.undos.size();
      for (const auto& step : s.steps) {
        doc->select(sample);
        const EditResult r = step(doc->c);
        ASSERT_TRUE(r == EditResult::Done || r == EditResult::Unchanged) << static_cast<int>(r);
      }
      ExpectSamePoints(original, doc->d, s.what);
      while (doc->j.undos.size() > steps) ASSERT_TRUE(UndoLastOperation(doc->c));
      EXPECT_TRUE(TextOf(doc->d) == text) << "undo did not give the text back";
    }
  }
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  return test::CorpusName(info.param, info.index);
}

INSTANTIATE_TEST_SUITE_P(Drawings, EditProperties, ::testing::ValuesIn(test::CorpusFiles()), TestName);

}  // namespace
}  // namespace vestrel
