// A pipe with a file's name, which a reader waiting for a writer would block on: a FIFO in
// the test's folder on POSIX, a named pipe (which can live in no folder) on Windows.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <random>
#include <string>

namespace zel::testing {

class PipeFile {
 public:
  PipeFile(const std::filesystem::path& dir, const std::string& name) {
#ifdef _WIN32
    (void)dir;
    path_ = "\\\\.\\pipe\\zel-test-" + std::to_string(std::random_device()()) + "-" + name;
    pipe_ = CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                             4096, 4096, 0, nullptr);
    made_ = pipe_ != INVALID_HANDLE_VALUE;
#else
    path_ = (dir / name).string();
    made_ = ::mkfifo(path_.c_str(), 0600) == 0;
#endif
  }
  ~PipeFile() {
#ifdef _WIN32
    if (made_) CloseHandle(pipe_);
#endif
  }
  PipeFile(const PipeFile&) = delete;
  PipeFile& operator=(const PipeFile&) = delete;

  bool made() const { return made_; }
  const std::string& path() const { return path_; }

  // Lets a reader blocked on the pipe go, so a failing test cannot hang.
  void Release() const {
#ifdef _WIN32
    DisconnectNamedPipe(pipe_);
#else
    const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
#endif
  }

 private:
  std::string path_;
  bool made_ = false;
#ifdef _WIN32
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
#endif
};

}  // namespace zel::testing
