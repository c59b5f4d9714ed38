#include "files/file_names.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zel {
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
    std::string name = it->path().filename().string();
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
    const fs::path wanted(path);
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
      const auto match = it->second.find(Folded(part.string()));
      if (match == it->second.end()) {
        matched = false;
        break;
      }
      found /= match->second;
    }
    resolved.push_back(matched ? found.string() : path);
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
    // A folder opens too, but is no file to read.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
      openable.push_back(false);
      continue;
    }
#if defined(__unix__) || defined(__APPLE__)
    // Non-blocking, so a FIFO put in its place meanwhile cannot stall the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    openable.push_back(fd >= 0);
    if (fd >= 0) ::close(fd);
#else
    openable.push_back(std::ifstream(path, std::ios::binary).is_open());
#endif
  }
  return openable;
}

bool CanOpenIgnoringCase(const std::string& path) {
  return CanOpenIgnoringCase(std::span(&path, 1)).front();
}

std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes) {
#if defined(__unix__) || defined(__APPLE__)
  // Opened without blocking and checked on the open file, so a FIFO put in its place
  // between a check and the open cannot hang the caller.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    ::close(fd);
    return std::nullopt;
  }
  std::string bytes(std::min<uintmax_t>(static_cast<uintmax_t>(info.st_size), maxBytes), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;  // the file shrank meanwhile
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes.resize(done);
  return bytes;
#else
  std::error_code error;
  const std::filesystem::path file(path);
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  const auto size = std::filesystem::file_size(file, error);
  if (error) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(std::min<uintmax_t>(size, maxBytes), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
#endif
}

}  // namespace zel
