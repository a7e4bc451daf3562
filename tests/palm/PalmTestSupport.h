// Helpers shared by the palm suites: a scratch folder, file access, test text.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace palmtest {

// A fresh folder under the system temporary folder, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "palm-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Bytes drawn from a small alphabet, so that they hold many repeats, with
// every byte value mixed in now and then.
inline std::string mixedBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  const std::string words = "the quick brown fox jumps over a lazy dog\r\n";
  std::string text;
  while (text.size() < size) {
    if (random() % 8 == 0)
      text += static_cast<char>(random() % 256);
    else
      text += words.substr(random() % words.size(), 1 + random() % 9);
  }
  text.resize(size);
  return text;
}

}  // namespace palmtest
