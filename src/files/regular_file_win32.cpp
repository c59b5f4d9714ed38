// Opening and reading regular files on Windows, by their UTF-16 names.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "files/file_names.h"

namespace zel {
namespace {

// A handle for reading when path is a file on a disk: not a folder (which needs a flag to
// open at all), a pipe, a console or a device such as NUL. Others may go on writing it.
HANDLE OpenRegular(const std::string& path) {
  const HANDLE file =
      CreateFileW(PathFromUtf8(path).c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

}  // namespace

bool OpensAsRegularFile(const std::string& path) {
  const HANDLE file = OpenRegular(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes) {
  const HANDLE file = OpenRegular(path);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    CloseHandle(file);
    return std::nullopt;
  }
  std::string bytes(std::min<uint64_t>(static_cast<uint64_t>(size.QuadPart), maxBytes), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + done, want, &got, nullptr)) {
      CloseHandle(file);
      return std::nullopt;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  CloseHandle(file);
  bytes.resize(done);
  return bytes;
}

}  // namespace zel
