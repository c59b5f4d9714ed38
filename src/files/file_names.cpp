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
  // Folder by folder: each part that does not exist as written is looked for among the
  // names its folder holds.
  fs::path found = wanted.root_path();
  for (const fs::path& part : wanted.relative_path()) {
    if (fs::exists(found / part, error)) {
      found /= part;
      continue;
    }
    const std::string name = part.string();
    const fs::path dir = found.empty() ? fs::path(".") : found;
    bool matched = false;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
      if (SameIgnoringCase(it->path().filename().string(), name)) {
        found /= it->path().filename();
        matched = true;
        break;
      }
    }
    if (!matched) return path;
  }
  return found.string();
}

bool CanOpenIgnoringCase(const std::string& path) {
  // A folder opens too, but is no file to read.
  std::error_code error;
  const std::string resolved = ResolveIgnoringCase(path);
  if (!std::filesystem::is_regular_file(resolved, error)) return false;
  std::ifstream file(resolved, std::ios::binary);
  return file.is_open();
}

}  // namespace zel
