// Opening and reading regular files on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "files/file_names.h"

namespace zel {

bool OpensAsRegularFile(const std::string& path) {
  // Non-blocking, so a FIFO cannot stall the caller; checked on the open file, so nothing
  // put in its place after a check can pass.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  return regular;
}

std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes) {
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
}

}  // namespace zel
