#include "files/question_folder.h"

#include <cstddef>
#include <optional>

#include "files/file_names.h"
#include "files/file_system.h"
#include "files/safe_replace.h"
#include "files/staging_folder.h"

namespace zel {
namespace {

constexpr const char* kFolderName = "mojimori";
constexpr const char* kHelpName = "zel.html";
// Larger than any file of the sample set; a larger one is not copied whole but refused.
constexpr size_t kMaxFileBytes = size_t{256} << 20;
// Deeper than the sample set goes; a link looping back to its own folder stops here.
constexpr int kMaxDepth = 16;

std::string Join(const std::string& dir, const std::string& name) {
  const char last = dir.empty() ? kDirSeparator : dir.back();
  const bool separated = last == '/' || last == kDirSeparator;
  return separated ? dir + name : dir + kDirSeparator + name;
}

bool IsFolder(const std::string& path) { return fs_calls::Inspect(path).folder; }

// The file's bytes as a new file to; false when it cannot be read whole or written.
bool CopyFile(const std::string& from, const std::string& to) {
  const std::optional<std::string> bytes = ReadRegularFile(from, kMaxFileBytes + 1);
  if (!bytes || bytes->size() > kMaxFileBytes) return false;
  bool taken = false;
  const int handle = fs_calls::CreateNew(to, taken);
  // The copy is the user's, to edit: the installed files' read-only marks are not carried.
  return handle >= 0 && fs_calls::WriteSyncClose(handle, *bytes, std::nullopt);
}

// The folders and regular files of from into the empty folder to. Anything else (a device,
// a link going nowhere) is no question data and is passed over.
bool CopyTree(const std::string& from, const std::string& to, int depth) {
  if (depth > kMaxDepth) return false;
  for (const std::string& name : fs_calls::ListDirectory(from)) {
    if (name == "." || name == "..") continue;
    const std::string source = Join(from, name);
    const std::string target = Join(to, name);
    const fs_calls::Existing existing = fs_calls::Inspect(source);
    if (existing.folder) {
      if (!fs_calls::MakeFolder(target) || !CopyTree(source, target, depth + 1)) return false;
    } else if (existing.regular) {
      if (!CopyFile(source, target)) return false;
    }
  }
  return true;
}

// Builds the folder aside and moves it into place whole, so an interrupted first start
// leaves no half folder. Whether the folder is there afterwards.
bool MakeQuestionFolder(const std::string& sample, const std::string& home, const std::string& folder) {
  RemoveStaleStagingFolders(home);
  if (fs_calls::Occupied(folder)) return IsFolder(folder);
  const std::string staging = Join(home, StagingFolderName());
  RemoveFolderTree(staging);  // one of this process's id is a leftover of another's
  if (fs_calls::MakeFolder(staging) && CopyTree(sample, staging, 0) &&
      fs_calls::RenameNew(staging, folder)) {
    fs_calls::SyncDirectory(home);
    return true;
  }
  RemoveFolderTree(staging);
  return IsFolder(folder);  // another start may have made it meanwhile
}

// The sample's help over the folder's, unless they are the same already.
bool UpdateHelp(const std::string& sample, const std::string& folder) {
  const std::optional<std::string> fresh = ReadRegularFile(Join(sample, kHelpName), kMaxFileBytes + 1);
  if (!fresh || fresh->size() > kMaxFileBytes) return false;
  const std::string help = Join(folder, kHelpName);
  if (ReadRegularFile(help, kMaxFileBytes + 1) == fresh) return true;
  return ReplaceFileSafely(help, *fresh) == ReplaceOutcome::kReplaced;
}

}  // namespace

QuestionFolderStart EnterQuestionFolder(const std::string& sample, const std::string& home) {
  if (!IsFolder(sample)) return {};
  const std::string folder = home.empty() ? std::string() : Join(home, kFolderName);
  if (!folder.empty() && MakeQuestionFolder(sample, home, folder) && fs_calls::EnterFolder(folder))
    return {.folder = folder, .notice = {}, .helpUpToDate = UpdateHelp(sample, folder)};
  fs_calls::EnterFolder(sample);
  return {.folder = sample,
          .notice = "もんだいのフォルダ「" + folder + "」を作れませんでした。\n付属のサンプル（" + sample +
                    "）で始めます。",
          .helpUpToDate = true};
}

}  // namespace zel
