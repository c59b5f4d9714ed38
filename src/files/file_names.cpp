#include "files/file_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace zel {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

std::string ResolveIgnoringCase(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path wanted(path);
  if (fs::exists(wanted, error)) return path;
  fs::path dir = wanted.parent_path();
  if (dir.empty()) dir = ".";
  const std::string name = wanted.filename().string();
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    if (SameIgnoringCase(it->path().filename().string(), name))
      return (wanted.parent_path() / it->path().filename()).string();
  }
  return path;
}

bool CanOpenIgnoringCase(const std::string& path) {
  std::ifstream file(ResolveIgnoringCase(path), std::ios::binary);
  return file.is_open();
}

}  // namespace zel
