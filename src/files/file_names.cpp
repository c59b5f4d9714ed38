#include "files/file_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>

namespace zel {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(reinterpret_cast<const char*>(utf8.data()), utf8.size());
}

namespace {

std::string Folded(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// A directory's names by their case-folded form; the first listed wins, as a plain scan would.
using FoldedNames = std::map<std::string, std::string>;

FoldedNames ListFolded(const std::filesystem::path& dir) {
  FoldedNames names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
       it.increment(error)) {
    std::string name = Utf8FromPath(it->path().filename());
    names.emplace(Folded(name), std::move(name));
  }
  return names;
}

}  // namespace

std::vector<std::string> ResolveIgnoringCase(std::span<const std::string> paths) {
  namespace fs = std::filesystem;
  std::vector<std::string> resolved;
  resolved.reserve(paths.size());
  std::map<fs::path, FoldedNames> listed;  // each folder listed once for all the paths
  for (const std::string& path : paths) {
    std::error_code error;
    const fs::path wanted = PathFromUtf8(path);
    if (fs::exists(wanted, error)) {
      resolved.push_back(path);
      continue;
    }
    // Folder by folder: each part that does not exist as written is looked for among the
    // names its folder holds.
    fs::path found = wanted.root_path();
    bool matched = true;
    for (const fs::path& part : wanted.relative_path()) {
      if (fs::exists(found / part, error)) {
        found /= part;
        continue;
      }
      const fs::path dir = found.empty() ? fs::path(".") : found;
      auto it = listed.find(dir);
      if (it == listed.end()) it = listed.emplace(dir, ListFolded(dir)).first;
      const auto match = it->second.find(Folded(Utf8FromPath(part)));
      if (match == it->second.end()) {
        matched = false;
        break;
      }
      found /= PathFromUtf8(match->second);
    }
    resolved.push_back(matched ? Utf8FromPath(found) : path);
  }
  return resolved;
}

std::string ResolveIgnoringCase(const std::string& path) {
  return ResolveIgnoringCase(std::span(&path, 1)).front();
}

std::vector<bool> CanOpenIgnoringCase(std::span<const std::string> paths) {
  std::vector<bool> openable;
  openable.reserve(paths.size());
  for (const std::string& path : ResolveIgnoringCase(paths)) {
    openable.push_back(OpensAsRegularFile(path));
  }
  return openable;
}

bool CanOpenIgnoringCase(const std::string& path) {
  return CanOpenIgnoringCase(std::span(&path, 1)).front();
}

}  // namespace zel
