// File names matched without regard to case, as on the systems the user's files (voice
// replacements, the sibling program) come from.
#pragma once

#include <string>

namespace zel {

// The path of an existing file whose every part equals that of path ignoring ASCII case;
// path itself when it exists or when nothing matches.
std::string ResolveIgnoringCase(const std::string& path);

// Whether the file, its name matched ignoring case, is a regular file that can be opened
// for reading.
bool CanOpenIgnoringCase(const std::string& path);

}  // namespace zel
