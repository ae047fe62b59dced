// The pools of the display list: what is put in stays, whatever way the
// pool grew, was emptied, copied or swapped in between.
#include "document/pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vestrel {
namespace {

struct Record {
  std::uint64_t value = 0;
  char pad[40] = {};
};

// Appends `n` records, each its own value, one at a time or as a block.
void Fill(Pool<Record>& pool, std::vector<std::uint64_t>& expected, std::size_t n, bool oneByOne) {
  std::vector<Record> block(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint64_t v = expected.size() * 2654435761u + 1;
    expected.push_back(v);
    if (oneByOne)
      pool.emplace_back().value = v;
    else
      block[i].value = v;
  }
  if (!oneByOne) pool.append(block.data(), block.data() + n);
}

void Same(const Pool<Record>& pool, const std::vector<std::uint64_t>& expected) {
  ASSERT_EQ(pool.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(pool[i].value, expected[i]) << i;
}

TEST(Pool, RecordsStayThroughGrowthClearCopyAndSwap) {
  // Far beyond one window of pages asked for at once (two megabytes).
  constexpr std::size_t kMany = 200000;
  Pool<Record> a, b;
  std::vector<std::uint64_t> ea, eb;
  Fill(a, ea, kMany, true);
  Fill(a, ea, 1000, false);  // a block after single records
  Fill(a, ea, kMany / 2, true);
  Same(a, ea);

  a.clear();
  ea.clear();
  Fill(a, ea, kMany, true);  // the kept capacity used again
  Same(a, ea);

  Fill(b, eb, 10, true);
  a.swap(b);  // each goes on where the other stood
  Fill(a, eb, kMany, true);
  Fill(b, ea, kMany, true);
  Same(a, eb);
  Same(b, ea);

  Pool<Record> c(a);
  std::vector<std::uint64_t> ec = eb;
  Fill(c, ec, kMany, true);
  Same(c, ec);
  Same(a, eb);

  c.resize(5);
  ec.resize(5);
  c.reserve(kMany * 8);
  Fill(c, ec, kMany, true);
  Same(c, ec);
}

}  // namespace
}  // namespace vestrel
