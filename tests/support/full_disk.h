// Disks that refuse writes part-way, for tests of what a failed write leaves behind.
#pragma once

// Windows and the browser's in-memory file system have neither a per-process file-size limit
// nor a small disk to mount: there the tests that need them say so and skip.
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
#define ZEL_NO_FULL_DISK 1
#endif
#ifdef __EMSCRIPTEN__
#include <unistd.h>
#endif

#ifndef ZEL_NO_FULL_DISK
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace zel::testing {

#ifdef ZEL_NO_FULL_DISK
#ifdef _WIN32
inline constexpr const char* kNoFullDisk =
    "Windows has no per-process file-size limit and no small disk a test can mount";
#else
inline constexpr const char* kNoFullDisk =
    "the browser's in-memory file system has no file-size limit and no small disk a test can mount";
#endif

class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t) {}
  bool ok() const { return false; }
};

class SmallDisk {
 public:
  explicit SmallDisk(const std::filesystem::path&) {}
  bool mounted() const { return false; }
  std::string why() const { return kNoFullDisk; }
  void Fill() const {}
};

#ifdef _WIN32
// Windows gives processes ids that are multiples of four: an odd one is never running.
inline uint64_t EndedProcess() { return 4000000001u; }
#else
// A page is the browser's only process: any other id is no longer running. Each call gives
// another, as ended processes would.
inline uint64_t EndedProcess() {
  static uint64_t ended = 0;
  return static_cast<uint64_t>(::getpid()) + ++ended;
}
#endif
#else
// While it lives, no file of this process may grow past `bytes`: a write beyond fails with
// EFBIG (the signal that would end the process is ignored meanwhile). Needs no privileges,
// so it always runs.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    oldSignal_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, oldSignal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  sighandler_t oldSignal_ = SIG_DFL;
  bool ok_ = false;
};

// A 64 KiB tmpfs on dir (made if needed), unmounted at the end. Mounting needs root: `why`
// says what was missing when it could not be mounted.
class SmallDisk {
 public:
  explicit SmallDisk(const std::filesystem::path& dir) : dir_(dir) {
    std::filesystem::create_directories(dir_);
    if (::geteuid() != 0) {
      why_ = "mounting a small tmpfs needs root";
    } else if (::mount("tmpfs", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
      why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    } else {
      mounted_ = true;
    }
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& why() const { return why_; }

  // Takes every free block with a filler file, so the next write of data fails with ENOSPC.
  // The space is back once `filler` is removed.
  void Fill() const {
    const int fd = ::open((dir_ / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const std::vector<char> block(4096, 'f');
    for (;;) {
      const ssize_t n = ::write(fd, block.data(), block.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
    }
    // The last partial block too.
    while (::write(fd, "f", 1) == 1) {
    }
    ::close(fd);
  }

 private:
  std::filesystem::path dir_;
  bool mounted_ = false;
  std::string why_;
};

// The id of a process that is surely not running, as in the name of a temporary file that a
// copy of the program killed mid-write left: a child's, once it has ended and been reaped.
inline uint64_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return static_cast<uint64_t>(child);
}
#endif

}  // namespace zel::testing
