// The drawings every corpus test runs over: the project's own, those in
// tests/drawings (written by hand, the malformed ones among them) and those
// tests/drawings/make_drawings.py makes with ezdxf at build time; then the
// extra sets when they are there: the corpus of real drawings found beside
// the repository at configure time, and the folder named by
// $VESTREL_EXTRA_CORPUS.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace vestrel::test {

inline std::vector<std::string> CorpusFiles() {
  namespace fs = std::filesystem;
  std::vector<std::string> dirs = {VESTREL_OWN_DRAWINGS_DIR};
#ifdef VESTREL_MADE_DRAWINGS_DIR
  dirs.emplace_back(VESTREL_MADE_DRAWINGS_DIR);
#endif
#ifdef VESTREL_SHARED_CORPUS_DIR
  dirs.emplace_back(VESTREL_SHARED_CORPUS_DIR);
#endif
  if (const char* extra = std::getenv("VESTREL_EXTRA_CORPUS"); extra && *extra) dirs.emplace_back(extra);
  std::vector<std::string> files;
  for (const std::string& dir : dirs) {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir, ec)) {
      std::string ext = entry.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
      if (entry.is_regular_file() && ext == ".dxf") files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The path of one of the project's own drawings, by its name. One that
// ezdxf makes is missing when ezdxf was not there at build time: the test
// that wants it fails and says so.
inline std::string OwnDrawing(const std::string& name) {
  std::vector<std::string> dirs = {VESTREL_OWN_DRAWINGS_DIR};
#ifdef VESTREL_MADE_DRAWINGS_DIR
  dirs.emplace_back(VESTREL_MADE_DRAWINGS_DIR);
#endif
  for (const std::string& dir : dirs)
    if (std::filesystem::exists(dir + "/" + name)) return dir + "/" + name;
  throw std::runtime_error("no test drawing " + name +
                           ": tests/drawings/make_drawings.py makes it at build time with ezdxf (python3-ezdxf)");
}

// A test name from a drawing's path.
inline std::string CorpusName(const std::string& path, std::size_t index) {
  std::string name = std::filesystem::path(path).stem().string() + "_" + std::to_string(index);
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

}  // namespace vestrel::test
