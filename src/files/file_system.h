// The few operating-system calls a safe replace and the first start's question folder need,
// all in one place (file_system_posix.cpp, file_system_win32.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel::fs_calls {

struct Existing {
  bool exists = false;      // something is at the path
  bool regular = false;     // and it is a regular file
  bool folder = false;      // or a folder
  bool readOnly = false;    // which may not be written (its write bits or access say so)
  unsigned permissions = 0;
};
Existing Inspect(const std::string& path);

// A new file, made only when nothing is at path (-1 otherwise, `taken` then telling
// whether something was there).
int CreateNew(const std::string& path, bool& taken);
// Writes all of bytes, gives the file the permissions (when set), flushes it to the disk
// and closes it; false when any step fails. The handle is closed in every case.
bool WriteSyncClose(int handle, std::string_view bytes, std::optional<unsigned> permissions);
bool RenameOver(const std::string& from, const std::string& to);
// Renames only when nothing is at `to`, not even a link or an empty folder.
bool RenameNew(const std::string& from, const std::string& to);
// Whether anything is at path, a link going nowhere included.
bool Occupied(const std::string& path);
bool MakeFolder(const std::string& path);
// Makes dir the process's current directory.
bool EnterFolder(const std::string& dir);
void Remove(const std::string& path);
// Makes the latest rename in dir durable; best effort.
void SyncDirectory(const std::string& dir);
std::vector<std::string> ListDirectory(const std::string& dir);
std::string ReadLink(const std::string& path);  // "" when path is no symbolic link
uint64_t ProcessId();
bool ProcessGone(uint64_t id);
// Removes the folder dir and all it holds, never following a link: a link inside goes as a
// link, and a dir that is itself a link or no folder is left alone (false then).
bool RemoveTree(const std::string& dir);

}  // namespace zel::fs_calls
