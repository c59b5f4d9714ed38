// Replacing a file's bytes so that no failure can leave it emptied or cut short.
//
// The new bytes go to a temporary file beside the old one, named ".NAME.tmp-PID-N" so a
// person who finds one after a crash sees whose it is; only when every write, the flush to
// the disk and the close have succeeded is it renamed over the old file. A reader therefore
// sees the old file or the new one, never a part.
#pragma once

#include <string>
#include <string_view>

namespace zel {

enum class ReplaceOutcome {
  kReplaced,
  kReadOnly,  // the file is there but marked read-only (no write permission): left alone
  kFailed,    // nothing could be written (full disk, no folder, a folder in its place...):
              // the old file is as it was, and a new one is not left behind
};

// Writes bytes as the file at path. A symbolic link is written through to its file, which
// keeps its permissions; a new file gets those of the umask.
ReplaceOutcome ReplaceFileSafely(const std::string& path, std::string_view bytes);

// Removes the temporary files of path that a copy of the program left when it died in the
// middle of a replace: those whose process is gone.
void RemoveStaleTemporaries(const std::string& path);

// The file a chain of symbolic links at path ends in; path itself when it is no link.
std::string LinkTarget(const std::string& path);

}  // namespace zel
