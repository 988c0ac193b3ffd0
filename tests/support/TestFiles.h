// What several suites do with files: read one whole, and work in a folder of
// their own that nothing else writes to.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// A new, empty folder under the system's temporary folder; it goes with all it holds.
struct TemporaryFolder {
  TemporaryFolder() {
    std::random_device random;
    do path = (std::filesystem::temp_directory_path() / ("varnotek-" + std::to_string(random()))).string();
    while (!std::filesystem::create_directory(path));
  }
  ~TemporaryFolder() { std::filesystem::remove_all(path); }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  std::string path;
};
