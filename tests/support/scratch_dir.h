// A fresh directory for a test's files, removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace zel::testing {

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix) {
#ifdef _WIN32
    // No mkdtemp: a random name, made only when no other holds it.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path dir =
          std::filesystem::path(::testing::TempDir()) / (prefix + "_" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(dir, error)) path_ = dir;
    }
    if (path_.empty()) throw std::runtime_error("no scratch directory");
#else
    std::string pattern = ::testing::TempDir() + prefix + "_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch directory");
    path_ = pattern;
#endif
  }
  ~ScratchDir() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    // A test may have taken the write permission away to make writes fail.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Writes bytes (any container of char-sized values) to name in the directory.
  template <typename Bytes>
  std::string Write(const std::string& name, const Bytes& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace zel::testing
