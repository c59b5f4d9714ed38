// The first start builds the user's question folder aside, in ".mojimori-PID" beside it
// (PID: the process building it), and moves it into place whole, so an interrupted start
// leaves no half folder. A start killed while copying leaves its staging folder behind:
// a later start removes it once that process is gone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zel {

// The staging folder's name for this process.
std::string StagingFolderName();

// The process a staging folder's name belongs to: exactly ".mojimori-" and the decimal id,
// without a leading zero. None for any other name.
std::optional<uint64_t> StagingFolderOwner(std::string_view name);

// Removes the folder dir and all it holds, never following a link: a link inside goes as a
// link, and a dir that is itself a link or no folder is left alone (false then).
bool RemoveFolderTree(const std::string& dir);

// Removes, in dir, each staging folder whose process is gone. Only folders of exactly that
// name go; a file or a link of that name, and one of a process still running, stay.
void RemoveStaleStagingFolders(const std::string& dir);

}  // namespace zel
