#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <climits>
#include <filesystem>
#include <system_error>

#include "files/file_system.h"

namespace zel::fs_calls {

Existing Inspect(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {.exists = errno != ENOENT && errno != ENOTDIR};
  Existing existing{.exists = true, .regular = S_ISREG(info.st_mode), .folder = S_ISDIR(info.st_mode)};
  existing.permissions = info.st_mode & 07777;
  // Root may write anything, so the write bits count on their own as well.
  existing.readOnly = (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
  return existing;
}

int CreateNew(const std::string& path, bool& taken) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  taken = fd < 0 && errno == EEXIST;
  return fd;
}

bool WriteSyncClose(int handle, std::string_view bytes, std::optional<unsigned> permissions) {
  bool ok = !permissions || ::fchmod(handle, static_cast<mode_t>(*permissions)) == 0;
  while (ok && !bytes.empty()) {
    const ssize_t n = ::write(handle, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;  // a full disk or a size limit: a short file must not take over
    else bytes.remove_prefix(static_cast<size_t>(n));
  }
  ok = ok && ::fsync(handle) == 0;
  // A network file system may report a failed write only when the file closes.
  return ::close(handle) == 0 && ok;
}

bool RenameOver(const std::string& from, const std::string& to) {
#ifdef __EMSCRIPTEN__
  // The browser's in-memory file system leaves a file renamed over in its table of names,
  // where it comes back once the new one is removed: the old one goes first. Nothing runs
  // between the two calls, and memory cannot be cut off half-way as a disk can.
  if (::unlink(to.c_str()) != 0 && errno != ENOENT) return false;
#endif
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RenameNew(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  // A file system without the flag: a plain rename, which would replace an empty folder.
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // The browser's C library has no renameat2; its file system has one user.
  return !Occupied(to) && ::rename(from.c_str(), to.c_str()) == 0;
}

bool Occupied(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool EnterFolder(const std::string& dir) { return ::chdir(dir.c_str()) == 0; }

void Remove(const std::string& path) { ::unlink(path.c_str()); }

void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::vector<std::string> ListDirectory(const std::string& dir) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(dir.c_str());
  if (!listing) return names;
  while (const dirent* entry = ::readdir(listing)) names.emplace_back(entry->d_name);
  ::closedir(listing);
  return names;
}

std::string ReadLink(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return {};
  std::string target(PATH_MAX, '\0');
  const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
  if (n <= 0 || static_cast<size_t>(n) >= target.size()) return {};
  target.resize(static_cast<size_t>(n));
  return target;
}

uint64_t ProcessId() { return static_cast<uint64_t>(::getpid()); }

bool ProcessGone(uint64_t id) {
  if (id == 0 || id > static_cast<uint64_t>(INT_MAX)) return false;
#ifdef __EMSCRIPTEN__
  // A page is one process with a file system of its own: any other writer has gone.
  return id != ProcessId();
#else
  return ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
#endif
}

// std::filesystem's removal takes a link inside as the link itself.
bool RemoveTree(const std::string& dir) {
  struct stat info {};
  if (::lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  std::error_code error;
  std::filesystem::remove_all(dir, error);
  return !error;
}

}  // namespace zel::fs_calls
