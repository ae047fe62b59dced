// The drawings every corpus test runs over: ../shared/corpus and the folder
// named by $VESTREL_EXTRA_CORPUS.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vestrel::test {

inline std::vector<std::string> CorpusFiles() {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::vector<std::string> dirs = {VESTREL_CORPUS_DIR};
  if (const char* extra = std::getenv("VESTREL_EXTRA_CORPUS"); extra && *extra) dirs.emplace_back(extra);
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

// A test name from a drawing's path.
inline std::string CorpusName(const std::string& path, std::size_t index) {
  std::string name = std::filesystem::path(path).stem().string() + "_" + std::to_string(index);
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

}  // namespace vestrel::test
