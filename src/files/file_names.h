// File names matched without regard to case, as on the systems the user's files (voice
// replacements, the sibling program) come from.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// The program holds paths as UTF-8; these meet the file system's own form (UTF-16 on
// Windows, where a narrow path would go through the ANSI code page).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The system's own separator, which ends a directory the program writes out for others to
// read ("\\" on Windows, "/" elsewhere).
inline constexpr char kDirSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// The path of an existing file whose every part equals that of path ignoring ASCII case;
// path itself when it exists or when nothing matches.
std::string ResolveIgnoringCase(const std::string& path);
// The same for many paths, listing each directory once however many names it is asked for.
std::vector<std::string> ResolveIgnoringCase(std::span<const std::string> paths);

// Whether the file, its name matched ignoring case, is a regular file that can be opened
// for reading.
bool CanOpenIgnoringCase(const std::string& path);
std::vector<bool> CanOpenIgnoringCase(std::span<const std::string> paths);

// Whether path (as given) is a regular file that opens for reading; never blocks.
bool OpensAsRegularFile(const std::string& path);

// The bytes of a regular file, at most maxBytes of them, read up to its real size; none for
// anything else (a FIFO would block, a device never ends) or when it cannot be read.
// A file larger than maxBytes gives its first maxBytes bytes.
std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes);

}  // namespace zel
