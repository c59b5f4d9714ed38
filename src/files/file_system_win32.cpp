// The safe replace's system calls on Windows, by the files' UTF-16 names.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "files/file_names.h"
#include "files/file_system.h"

namespace zel::fs_calls {

Existing Inspect(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(PathFromUtf8(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return {.exists = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND};
  }
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  Existing existing{.exists = true, .regular = !folder, .folder = folder};
  existing.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return existing;
}

int CreateNew(const std::string& path, bool& taken) {
  const int fd = _wopen(PathFromUtf8(path).c_str(),
                        _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
  taken = fd < 0 && errno == EEXIST;
  return fd;
}

// Permissions are the folder's on Windows: there is nothing to carry over.
bool WriteSyncClose(int handle, std::string_view bytes, std::optional<unsigned>) {
  bool ok = true;
  while (ok && !bytes.empty()) {
    const unsigned chunk = static_cast<unsigned>(std::min<size_t>(bytes.size(), 1u << 30));
    const int n = _write(handle, bytes.data(), chunk);
    if (n <= 0) ok = false;  // a full disk: a short file must not take over
    else bytes.remove_prefix(static_cast<size_t>(n));
  }
  ok = ok && _commit(handle) == 0;
  return _close(handle) == 0 && ok;
}

bool RenameOver(const std::string& from, const std::string& to) {
  return MoveFileExW(PathFromUtf8(from).c_str(), PathFromUtf8(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RenameNew(const std::string& from, const std::string& to) {
  return MoveFileExW(PathFromUtf8(from).c_str(), PathFromUtf8(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

// The attributes are those of a link itself, so a link going nowhere is there too.
bool Occupied(const std::string& path) { return Inspect(path).exists; }

bool MakeFolder(const std::string& path) { return CreateDirectoryW(PathFromUtf8(path).c_str(), nullptr) != 0; }

bool EnterFolder(const std::string& dir) { return SetCurrentDirectoryW(PathFromUtf8(dir).c_str()) != 0; }

void Remove(const std::string& path) { DeleteFileW(PathFromUtf8(path).c_str()); }

// MOVEFILE_WRITE_THROUGH has made the move durable already.
void SyncDirectory(const std::string&) {}

std::vector<std::string> ListDirectory(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = PathFromUtf8(dir.empty() ? std::string(".") : dir).wstring() + L"\\*";
  const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(Utf8FromPath(std::filesystem::path(found.cFileName)));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// Links need rights a child's account lacks: a file is written where it is.
std::string ReadLink(const std::string&) { return {}; }

uint64_t ProcessId() { return GetCurrentProcessId(); }

bool ProcessGone(uint64_t id) {
  if (id == 0 || id > 0xFFFFFFFFu) return false;
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool gone = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  CloseHandle(process);
  return gone;
}

namespace {

// A read-only mark would refuse the removal.
void Unmark(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

// A junction or a link to a folder is a folder with a reparse point: it goes as itself, and
// what it points to stays.
bool RemoveFolder(const std::wstring& dir, DWORD attributes) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      const DWORD inner = found.dwFileAttributes;
      if ((inner & FILE_ATTRIBUTE_DIRECTORY) && !(inner & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveFolder(path, inner);
        continue;
      }
      Unmark(path, inner);
      if (inner & FILE_ATTRIBUTE_DIRECTORY) RemoveDirectoryW(path.c_str());
      else DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  Unmark(dir, attributes);
  return RemoveDirectoryW(dir.c_str()) != 0;
}

}  // namespace

bool RemoveTree(const std::string& dir) {
  const std::wstring wide = PathFromUtf8(dir).wstring();
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  return RemoveFolder(wide, attributes);
}

}  // namespace zel::fs_calls
