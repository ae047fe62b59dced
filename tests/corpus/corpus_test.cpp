// Every drawing of the corpus (the project's own and the extra sets) opens,
// parses and saves back with the same bytes, up to the line ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "document/drawing.h"
#include "file/dxffile.h"
#include "support/corpus.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

namespace fs = std::filesystem;

// The bytes with every line end (CR LF, LF, CR) as LF and a line end after
// the last line.
std::string Normalised(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      out += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      out += bytes[i];
    }
  }
  if (!out.empty() && out.back() != '\n') out += '\n';
  return out;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

// The project's own drawings, and the extra corpus when it was found.
TEST(CorpusFiles, AreThere) {
  const std::vector<std::string> files = test::CorpusFiles();
  auto in = [&](const std::string& dir) {
    return std::count_if(files.begin(), files.end(), [&](const std::string& f) { return f.starts_with(dir + "/"); });
  };
  EXPECT_GE(in(VESTREL_OWN_DRAWINGS_DIR + std::string("/malformed")), 5);
#ifdef VESTREL_MADE_DRAWINGS_DIR
  EXPECT_GE(in(VESTREL_MADE_DRAWINGS_DIR), 10);
#endif
#ifdef VESTREL_SHARED_CORPUS_DIR
  EXPECT_GE(in(VESTREL_SHARED_CORPUS_DIR), 20);
#endif
}

TEST_P(Corpus, OpensParsesAndSavesBackUnchanged) {
  const std::string& file = GetParam();
  Drawing d;
  ASSERT_EQ(ReadDxfFile(file, d.dxf), FileError::None);
  processdxf(d);

  const auto n = static_cast<std::int32_t>(d.dxf.size());
  EXPECT_GE(d.insertlinepos, -1);
  EXPECT_LT(d.insertlinepos, n);
  for (const tpoly& p : d.polys) {
    ASSERT_LE(0, p.linefrom);
    ASSERT_LE(p.linefrom, p.linebis);
    ASSERT_LT(p.linebis, n);
    EXPECT_EQ(d.value(p.linefrom), "0");
  }
  for (const tblock& b : d.blocks) EXPECT_TRUE(b.linetoinsert == 0 || d.value(b.linetoinsert + 1) == "ENDBLK");
  EXPECT_TRUE(d.layouts.empty() || d.layouts.front().name == "Model");

  const test::TempDir tmp;
  const std::string out = tmp.path("saved.dxf");
  ASSERT_EQ(WriteDxfFile(out, d.dxf), FileError::None);
  const std::string saved = test::ReadFile(out);
  EXPECT_TRUE(Normalised(saved) == Normalised(test::ReadFile(file))) << "saved text differs";
  EXPECT_EQ(saved.find('\n'), saved.find("\r\n") + 1);
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  return test::CorpusName(info.param, info.index);
}

INSTANTIATE_TEST_SUITE_P(Drawings, Corpus, ::testing::ValuesIn(test::CorpusFiles()), TestName);

}  // namespace
}  // namespace vestrel
