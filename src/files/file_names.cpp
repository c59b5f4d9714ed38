#include "files/file_names.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
