#include "files/staging_folder.h"

#include <charconv>

#include "files/file_system.h"

namespace zel {
namespace {

constexpr std::string_view kStagingPrefix = ".mojimori-";

}  // namespace

std::string StagingFolderName() {
  return std::string(kStagingPrefix) + std::to_string(fs_calls::ProcessId());
}

std::optional<uint64_t> StagingFolderOwner(std::string_view name) {
  if (!name.starts_with(kStagingPrefix)) return std::nullopt;
  const std::string_view digits = name.substr(kStagingPrefix.size());
  if (digits.empty() || digits.front() == '0' ||
      digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  uint64_t id = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return id;
}

bool RemoveFolderTree(const std::string& dir) { return fs_calls::RemoveTree(dir); }

void RemoveStaleStagingFolders(const std::string& dir) {
  if (dir.empty()) return;
  const char last = dir.back();
  const std::string prefix = last == '/' || last == '\\' ? dir : dir + "/";
  for (const std::string& name : fs_calls::ListDirectory(dir)) {
    const std::optional<uint64_t> owner = StagingFolderOwner(name);
    if (owner && fs_calls::ProcessGone(*owner)) RemoveFolderTree(prefix + name);
  }
}

}  // namespace zel
