// Drawings made to hurt: what took quadratic time or blew up memory takes
// about as long and as much as an ordinary drawing of the same size. The
// inputs are made here; the time of an ordinary drawing of as many bytes,
// parsed by the same build on the same machine, is the measure.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "document/spatialindex.h"
#include "support/dxf_text.h"
#include "support/sanitized.h"

namespace vestrel {
namespace {

using Clock = std::chrono::steady_clock;

// Seconds the parse of `text` takes (the best of two).
double ParseSeconds(const std::string& text, Drawing* out = nullptr) {
  double best = 1e9;
  for (int round = 0; round < 2; ++round) {
    Drawing d;
    d.dxf.assign(text);
    const auto start = Clock::now();
    processdxf(d);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    if (out && round == 1) *out = std::move(d);
  }
  return best;
}

// Lines between two points, about `bytes` of them.
std::string Ordinary(std::size_t bytes) {
  std::string body;
  for (int i = 0; body.size() < bytes; ++i)
    body += "  0\nLINE\n  8\n0\n 10\n" + std::to_string(i) + "\n 20\n0\n 11\n" + std::to_string(i + 1) + "\n 21\n5\n";
  return test::WithEof(test::Section("ENTITIES", body));
}

// `hostile` may take twenty times as long as an ordinary drawing of its size
// and a fifth of a second more (its output may be larger, timers and caches
// and a loaded machine vary); the quadratic ways took hundreds of times.
void ExpectLinear(const std::string& hostile, const char* what) {
  const double ordinary = ParseSeconds(Ordinary(hostile.size()));
  const double took = ParseSeconds(hostile);
  EXPECT_LT(took, 20 * ordinary + 0.2) << what << ": " << took << " s, an ordinary drawing of its size " << ordinary
                                       << " s";
}

TEST(Hostile, ManyKindsAndLayoutsParseInLinearTime) {
  std::string kinds;
  for (int i = 0; i < 300000; ++i) kinds += "  0\nKIND" + std::to_string(i) + "\n  8\n0\n";
  ExpectLinear(test::WithEof(test::Section("ENTITIES", kinds)), "300000 unknown kinds");
  std::string layouts;
  for (int i = 0; i < 100000; ++i)
    layouts += "  0\nLAYOUT\n  1\nL" + std::to_string(i) + "\n 71\n" + std::to_string(100000 - i) + "\n330\n" +
               std::to_string(256 + i) + "\n";
  const std::string text = test::WithEof(test::Section("OBJECTS", layouts));
  ExpectLinear(text, "100000 layouts");
  Drawing d;
  ParseSeconds(text, &d);
  ASSERT_EQ(d.layouts.size(), 100000u);
  EXPECT_EQ(d.layouts.front().order, 1);  // by their order
  EXPECT_EQ(d.layouts.back().order, 100000);
}

TEST(Hostile, LongFitSplinesAreSolvedNotSearched) {
  // 200,000 fit points on a wave, and 110 on a straight line.
  std::string fits = "  0\nSPLINE\n  8\n0\n 71\n3\n";
  for (int i = 0; i < 200000; ++i)
    fits += " 11\n" + std::to_string(i) + "\n 21\n" + std::to_string(std::sin(i)) + "\n 31\n0\n";
  const std::string text = test::WithEof(test::Section("ENTITIES", fits));
  ExpectLinear(text, "a spline of 200000 fit points");
  std::string line = "  0\nSPLINE\n  8\n0\n 71\n3\n";
  for (int i = 0; i < 110; ++i) line += " 11\n" + std::to_string(i) + "\n 21\n0\n";
  const Drawing d = test::Parsed(test::WithEof(test::Section("ENTITIES", line)));
  for (const Tmypoi& q : d.ps(d.polys[0])) {
    EXPECT_GE(q.x, 0);
    EXPECT_LE(q.x, 109);
    EXPECT_EQ(q.y, 0);
  }
}

TEST(Hostile, BulgesCostPointsByTheirSweep) {
  // 100,000 half circles: each is 32 pieces, nothing more.
  std::string body = "  0\nLWPOLYLINE\n  8\n0\n";
  for (int i = 0; i < 100000; ++i) body += " 10\n" + std::to_string(i) + "\n 20\n0\n 42\n1\n";
  const std::string text = test::WithEof(test::Section("ENTITIES", body));
  Drawing d;
  ExpectLinear(text, "100000 bulges");
  ParseSeconds(text, &d);
  EXPECT_EQ(d.points.size(), 99999u * 32 + 1);
  // A small bend costs few: a tenth of a half circle is four pieces.
  const Drawing small = test::Parsed(test::WithEof(
      test::Section("ENTITIES", "  0\nLWPOLYLINE\n 10\n0\n 20\n0\n 42\n0.078\n 10\n1\n 20\n0\n")));
  EXPECT_EQ(small.points.size(), 5u);
}

TEST(Hostile, HatchCountsAreNotTrustedAndEdgesCostByWhatIsThere) {
  // Counts of a billion with a handful behind them, and an edge cut off by
  // the end of the file.
  const std::string lying =
      "  0\nSECTION\n  2\nENTITIES\n"
      "  0\nHATCH\n 91\n1000000000\n 92\n1\n 93\n2000000000\n 72\n4\n 94\n3\n 95\n1000000000\n 96\n1000000000\n"
      " 40\n0\n 40\n0\n 10\n0\n 20\n0\n 10\n1\n 20\n1\n 97\n1000000000\n 72\n1\n 10\n1\n 20\n1\n 11\n0\n 21\n1\n"
      " 75\n0\n 76\n1\n 78\n1000000000\n 53\n45\n 79\n1000000000\n 49\n1\n 98\n1000000000\n 10\n5\n 20\n5\n"
      "  0\nHATCH\n 91\n1\n 92\n2\n 93\n1000000000\n 10\n0\n 20\n0\n 42\n1e308\n 10\n1\n 20\n0\n 10\n1\n 20\n1\n"
      "  0\nHATCH\n 91\n1\n 92\n1\n 93\n5\n 72\n2\n 10\n0\n 20\n0\n 40\n1\n 50\n1e308\n 51\n-1e308\n 73\n0\n"
      " 72\n3\n 10\n0\n 20\n0\n 11\n1e300\n 21\n1e300\n 40\n1e-300\n 50\n0\n 51\n90\n 72\n4\n 94\n2000000000\n"
      " 10\n0\n 20\n0\n 72\n2\n 10\n0\n 20\n0\n 40\n";
  const Drawing d = test::Parsed(lying);
  ASSERT_EQ(d.anzpoly(), 3);
  EXPECT_LT(d.points.size(), 1000u);
  EXPECT_EQ(d.lines(d.hatch(d.polys[0])).size(), 1u);
  EXPECT_EQ(d.hatchdashes.size(), 1u);
  for (const Tmypoi& q : d.points) EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y)) << q.x << " " << q.y;
  // A loop of 300,000 line edges parses like as many lines.
  std::string edges = "  0\nHATCH\n  8\n0\n 91\n1\n 92\n1\n 93\n300000\n";
  for (int i = 0; i < 300000; ++i)
    edges += " 72\n1\n 10\n" + std::to_string(i) + "\n 20\n0\n 11\n" + std::to_string(i + 1) + "\n 21\n0\n";
  const std::string text = test::WithEof(test::Section("ENTITIES", edges));
  ExpectLinear(text, "a hatch of 300000 edges");
  Drawing many;
  ParseSeconds(text, &many);
  EXPECT_EQ(many.points.size(), 300002u);  // each edge's start is the last one's end; and closed
}

// A line of /proc/self/status, in bytes.
std::size_t Status(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stoul(line.substr(key.size() + 1)) * 1024;
  return 0;
}

TEST(Hostile, PointsTakeAFewTimesTheirTextInMemoryWithTheIndex) {
  if (test::kSanitized) GTEST_SKIP() << "the sanitizers' shadow memory is no measure";
  // A child process reads a million points, in as few bytes as a point
  // takes, and builds the index of them: the most memory it took for
  // that, and the size of the text.
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ofstream("/proc/self/clear_refs") << "5";  // its peak starts from here
    const std::size_t before = Status("VmRSS");
    constexpr int kPoints = 1000000;
    std::string text;
    text.reserve(kPoints * 32);  // untouched, what is not used takes no memory
    text += "0\nSECTION\n2\nENTITIES\n";
    std::mt19937 rng(5);
    char point[64];
    for (int i = 0; i < kPoints; ++i) {
      std::snprintf(point, sizeof point, "0\nPOINT\n10\n%u\n20\n%u\n", static_cast<unsigned>(rng() % 10000),
                    static_cast<unsigned>(rng() % 1000));
      text += point;
    }
    text += "0\nENDSEC\n0\nEOF\n";
    const std::size_t size = text.size();
    Drawing d;
    d.dxf.assign(std::move(text));
    processdxf(d);
    SpatialIndex index;
    index.Refresh(d);
    const std::size_t result[2] = {Status("VmHWM") - before, size};
    const bool sent = ::write(out[1], result, sizeof result) == sizeof result && index.size() == kPoints;
    ::_exit(sent ? 0 : 1);
  }
  ::close(out[1]);
  std::size_t result[2] = {};
  const bool received = ::read(out[0], result, sizeof result) == sizeof result;
  ::close(out[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(received && WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const double times = static_cast<double>(result[0]) / static_cast<double>(result[1]);
  // Its lines take 3 times the text; each point's entry, its point, what
  // the reader keeps for the next parse and its run of the index about 13
  // times more.
  EXPECT_LT(times, 18) << result[0] << " bytes for " << result[1] << " bytes of text";
}

}  // namespace
}  // namespace vestrel
