// The settings file's Windows half: reading and the lock between running copies, by the
// files' UTF-16 names; the replacement itself is the shared safe one. Included by
// profile_file.cpp alone, in place of the POSIX half, into the same unnamed namespace.
#pragma once

#include <windows.h>

namespace zel {
namespace {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = static_cast<int>(utf8.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, wide.data(), size);
  return wide;
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (Valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  bool Close() { return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

 private:
  HANDLE handle_;
};

Loaded Load(const std::string& path) {
  Loaded loaded;
  Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      loaded.status = Status::kMissing;
    return loaded;
  }
  // A device or pipe under the file's name is no settings file.
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file.get()) != FILE_TYPE_DISK ||
      !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return loaded;
  char chunk[64 * 1024];
  while (loaded.bytes.size() <= ProfileFile::kMaxBytes) {
    DWORD n = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &n, nullptr)) return loaded;
    if (n == 0) break;
    loaded.bytes.append(chunk, n);
  }
  loaded.status = loaded.bytes.size() > ProfileFile::kMaxBytes ? Status::kTooLarge : Status::kLoaded;
  return loaded;
}

size_t AfterLastSeparator(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string DirOf(const std::string& path) {
  const size_t end = AfterLastSeparator(path);
  return end == 0 ? std::string(".") : path.substr(0, end);
}

// Two running copies take turns at the read, change and replace of a write, so neither
// undoes the other's: a mutex named after the folder, in the user's session.
class DirectoryLock {
 public:
  explicit DirectoryLock(const std::string& dir) {
    wchar_t full[MAX_PATH * 4];
    const DWORD n = GetFullPathNameW(Wide(dir).c_str(), MAX_PATH * 4, full, nullptr);
    std::wstring name = n > 0 && n < MAX_PATH * 4 ? std::wstring(full, n) : Wide(dir);
    CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    uint64_t hash = 14695981039346656037u;  // FNV-1a: names may not hold '\' and are short
    for (wchar_t c : name) {
      if (c == L'/') c = L'\\';
      hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211u;
    }
    std::wstring mutexName = L"Local\\mojimori-settings-";
    for (int shift = 60; shift >= 0; shift -= 4) mutexName += L"0123456789abcdef"[(hash >> shift) & 15];
    mutex_ = CreateMutexW(nullptr, FALSE, mutexName.c_str());
    if (mutex_ != nullptr) {
      const DWORD waited = WaitForSingleObject(mutex_, INFINITE);
      // A copy that died holding it leaves it abandoned, and ours.
      owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
  }
  ~DirectoryLock() {
    if (owned_) ReleaseMutex(mutex_);
    if (mutex_ != nullptr) CloseHandle(mutex_);
  }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

 private:
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

}  // namespace
}  // namespace zel
