#include "files/safe_replace.h"

#ifdef _WIN32
#include <process.h>
#endif
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/full_disk.h"
#include "support/scratch_dir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

Strings Names(const fs::path& dir) {
  Strings names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class SafeReplaceTest : public ::testing::Test {
 protected:
  // Every way a replace can fail must leave an old file whole and leave no new file at all.
  void ExpectFailureLeavesNothing(const fs::path& dir, const std::string& bytes) {
    const fs::path old = dir / "OLD.TXT";
    const fs::path fresh = dir / "NEW.TXT";
    EXPECT_EQ(ReplaceFileSafely(old.string(), bytes), ReplaceOutcome::kFailed);
    EXPECT_EQ(Contents(old), "hello\r\n");
    EXPECT_EQ(ReplaceFileSafely(fresh.string(), bytes), ReplaceOutcome::kFailed);
    EXPECT_FALSE(fs::exists(fresh));
  }

  testing::ScratchDir scratch{"safe_replace"};
  const fs::path& dir = scratch.path();
};

TEST_F(SafeReplaceTest, ReplacesWholeAndLeavesNoTemporary) {
  std::ofstream(dir / "A.TXT", std::ios::binary) << "old";
  fs::permissions(dir / "A.TXT", fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(ReplaceFileSafely((dir / "A.TXT").string(), "new\r\n"), ReplaceOutcome::kReplaced);
  ASSERT_EQ(ReplaceFileSafely((dir / "B.TXT").string(), ""), ReplaceOutcome::kReplaced);
  EXPECT_EQ(Contents(dir / "A.TXT"), "new\r\n");
#ifndef _WIN32  // Windows keeps no permission bits of a file's own, only the read-only mark
  EXPECT_EQ(fs::status(dir / "A.TXT").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
#endif
  EXPECT_EQ(Names(dir), (Strings{"A.TXT", "B.TXT"}));
}

// Nothing of the old file lingers under its name: once the new one is removed, none is there.
TEST_F(SafeReplaceTest, AReplacedFileRemovedIsGone) {
  std::ofstream(dir / "A.TXT", std::ios::binary) << "old";
  ASSERT_EQ(ReplaceFileSafely((dir / "A.TXT").string(), "new"), ReplaceOutcome::kReplaced);
  ASSERT_EQ(ReplaceFileSafely((dir / "A.TXT").string(), "newer"), ReplaceOutcome::kReplaced);
  EXPECT_EQ(Contents(dir / "A.TXT"), "newer");
  ASSERT_TRUE(fs::remove(dir / "A.TXT"));
  EXPECT_FALSE(fs::exists(dir / "A.TXT"));
  EXPECT_EQ(Names(dir), Strings{});
}

// A file size limit stops the write part-way with EFBIG, as a full disk does with ENOSPC.
TEST_F(SafeReplaceTest, AWriteCutShortReplacesNothing) {
  std::ofstream(dir / "OLD.TXT", std::ios::binary) << "hello\r\n";
#ifdef ZEL_NO_FULL_DISK
  GTEST_SKIP() << testing::kNoFullDisk;
#endif
  {
    testing::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    ExpectFailureLeavesNothing(dir, std::string(10000, 'x'));
  }
  EXPECT_EQ(Names(dir), Strings{"OLD.TXT"});
}

TEST_F(SafeReplaceTest, AFullDiskReplacesNothing) {
  const testing::SmallDisk disk(dir / "small");
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  std::ofstream(dir / "small" / "OLD.TXT", std::ios::binary) << "hello\r\n";
  disk.Fill();
  // Small enough to fit in a block the old file's own would have been, too.
  for (const std::string& bytes : {std::string("bye\r\n"), std::string(100000, 'x')}) {
    SCOPED_TRACE(bytes.size());
    ExpectFailureLeavesNothing(dir / "small", bytes);
  }
  EXPECT_EQ(Names(dir / "small"), (Strings{"OLD.TXT", "filler"}));
}

TEST_F(SafeReplaceTest, AReadOnlyFileOrAFolderIsLeftAlone) {
  std::ofstream(dir / "RO.TXT", std::ios::binary) << "keep";
  fs::permissions(dir / "RO.TXT", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(ReplaceFileSafely((dir / "RO.TXT").string(), "new"), ReplaceOutcome::kReadOnly);
  EXPECT_EQ(Contents(dir / "RO.TXT"), "keep");
  fs::create_directory(dir / "DIR.TXT");
  EXPECT_EQ(ReplaceFileSafely((dir / "DIR.TXT").string(), "new"), ReplaceOutcome::kFailed);
  EXPECT_EQ(ReplaceFileSafely((dir / "none" / "A.TXT").string(), "new"), ReplaceOutcome::kFailed);
  EXPECT_EQ(Names(dir), (Strings{"DIR.TXT", "RO.TXT"}));
}

// What a copy killed in the middle of a save left beside the file goes at the next save;
// a save still under way in a running copy, and other files, stay.
TEST_F(SafeReplaceTest, StaleTemporariesOfTheSameNameAreSweptAway) {
  const std::string gone = std::to_string(testing::EndedProcess());
#ifdef _WIN32
  const std::string running = std::to_string(::_getpid());  // this test's own
#elif defined(__EMSCRIPTEN__)
  const std::string running = std::to_string(::getpid());  // a page is its only process
#else
  const std::string running = std::to_string(::getppid());
#endif
  Strings kept = {".NOTE.TXT.tmp-" + gone + "-0.bak", ".NOTE.TXT.tmp-" + running + "-3",
                        ".NOTE.TXT.tmp-x-1", ".OTHER.TXT.tmp-" + gone + "-0", "NOTE.TXT"};
  for (const std::string& name : kept) std::ofstream(dir / name) << "text";
  for (const std::string& name : {".NOTE.TXT.tmp-" + gone + "-0", ".NOTE.TXT.tmp-" + gone + "-17"})
    std::ofstream(dir / name) << "half";
  RemoveStaleTemporaries((dir / "NOTE.TXT").string());
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Names(dir), kept);
}

}  // namespace
}  // namespace zel
