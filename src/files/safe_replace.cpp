#include "files/safe_replace.h"

#include <atomic>
#include <charconv>
#include <cstdint>
#include <optional>

#include "files/file_system.h"

namespace zel {
namespace {

#ifdef _WIN32
constexpr const char* kPathSeparators = "/\\";
#else
constexpr const char* kPathSeparators = "/";
#endif

struct Split {
  std::string dir;   // "" or ending in a separator
  std::string name;
};

Split SplitPath(const std::string& path) {
  const size_t slash = path.find_last_of(kPathSeparators);
  if (slash == std::string::npos) return {{}, path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// ".NAME.tmp-": what every temporary file of NAME starts with.
std::string TemporaryPrefix(const std::string& name) {
  std::string prefix(".");
  prefix.append(name).append(".tmp-");
  return prefix;
}

// The process id in a temporary's name "<prefix>PID-N", none when the rest is not that.
std::optional<uint64_t> OwnerOf(std::string_view rest) {
  const size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size()) return std::nullopt;
  if (rest.find_first_not_of("0123456789-") != std::string_view::npos ||
      rest.find('-', dash + 1) != std::string_view::npos)
    return std::nullopt;
  uint64_t id = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + dash, id);
  if (error != std::errc() || end != rest.data() + dash) return std::nullopt;
  return id;
}

}  // namespace

std::string LinkTarget(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    std::string target = fs_calls::ReadLink(current);
    if (target.empty()) break;
    if (target.front() != '/') target = SplitPath(current).dir + target;
    current = std::move(target);
  }
  return current;
}

ReplaceOutcome ReplaceFileSafely(const std::string& requested, std::string_view bytes) {
  const std::string path = LinkTarget(requested);
  const fs_calls::Existing old = fs_calls::Inspect(path);
  if (old.exists && !old.regular) return ReplaceOutcome::kFailed;
  if (old.exists && old.readOnly) return ReplaceOutcome::kReadOnly;

  const Split split = SplitPath(path);
  static std::atomic<unsigned> counter{0};
  const std::string prefix = split.dir + TemporaryPrefix(split.name) +
                             std::to_string(fs_calls::ProcessId()) + "-";
  std::string temp;
  int handle = -1;
  for (int attempt = 0; attempt < 100 && handle < 0; ++attempt) {
    temp = prefix + std::to_string(counter++);
    bool taken = false;
    handle = fs_calls::CreateNew(temp, taken);
    if (handle < 0 && !taken) return ReplaceOutcome::kFailed;
  }
  if (handle < 0) return ReplaceOutcome::kFailed;
  // A replaced file keeps its permissions; a new one has the umask's already.
  const std::optional<unsigned> permissions =
      old.exists ? std::optional<unsigned>(old.permissions) : std::nullopt;
  if (!fs_calls::WriteSyncClose(handle, bytes, permissions) ||
      !fs_calls::RenameOver(temp, path)) {
    fs_calls::Remove(temp);
    return ReplaceOutcome::kFailed;
  }
  fs_calls::SyncDirectory(split.dir.empty() ? "." : split.dir);
  return ReplaceOutcome::kReplaced;
}

void RemoveStaleTemporaries(const std::string& requested) {
  const Split split = SplitPath(LinkTarget(requested));
  const std::string prefix = TemporaryPrefix(split.name);
  for (const std::string& name : fs_calls::ListDirectory(split.dir.empty() ? "." : split.dir)) {
    if (!name.starts_with(prefix)) continue;
    const std::optional<uint64_t> owner = OwnerOf(std::string_view(name).substr(prefix.size()));
    if (owner && fs_calls::ProcessGone(*owner)) fs_calls::Remove(split.dir + name);
  }
}

}  // namespace zel
