#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "files/file_names.h"
#include "support/pipe_file.h"
#include "support/scratch_dir.h"

namespace zel {
namespace {

using testing::ScratchDir;

// Reads named by a question file or chosen by the user: anything that is not a regular
// file is refused at once, and a file costs what it holds, not the cap.
TEST(ReadRegularFile, RefusesWhatWouldBlockOrNeverEnd) {
  ScratchDir dir("regular");
  const testing::PipeFile fifo(dir.path(), "picture.bmp");
  ASSERT_TRUE(fifo.made());
  const std::string folder = (dir.path() / "folder.bmp").string();
  ASSERT_TRUE(std::filesystem::create_directory(folder));
#ifdef _WIN32
  const std::string endless = "NUL";
#else
  const std::string endless = "/dev/zero";
#endif

  for (const std::string& path : {fifo.path(), folder, endless, (dir.path() / "missing").string()}) {
    auto read = std::async(std::launch::async, [&] { return ReadRegularFile(path, 1 << 20); });
    // A bound only a hang reaches: the refusal takes microseconds.
    if (read.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      // Let the blocked reader go before failing, or the test would hang here too.
      fifo.Release();
      FAIL() << path << " blocked";
    }
    EXPECT_FALSE(read.get()) << path;
  }
}

TEST(ReadRegularFile, ReadsUpToTheRealSizeOrTheCap) {
  ScratchDir dir("regular");
  const std::string file = dir.Write("line.TXT", std::string("\x82\xA9\r\n"));
  const std::string empty = dir.Write("empty.TXT", std::string());

  const auto all = ReadRegularFile(file, size_t{256} << 20);
  ASSERT_TRUE(all);
  EXPECT_EQ(*all, "\x82\xA9\r\n");
  EXPECT_LT(all->capacity(), size_t{1} << 16);  // nothing reserved for the cap

  EXPECT_EQ(ReadRegularFile(file, 2), std::optional<std::string>("\x82\xA9"));
  EXPECT_EQ(ReadRegularFile(empty, 100), std::optional<std::string>(""));

#ifndef _WIN32  // links there need rights a user's account lacks
  // Through a symbolic link to a regular file, as a question folder may hold one.
  const std::string link = (dir.path() / "link.TXT").string();
  std::filesystem::create_symlink(file, link);
  EXPECT_EQ(ReadRegularFile(link, 100), all);
#endif
}

}  // namespace
}  // namespace zel
