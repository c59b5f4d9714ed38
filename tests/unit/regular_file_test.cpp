#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <string>
#include <unistd.h>

#include "files/file_names.h"
#include "support/scratch_dir.h"

namespace zel {
namespace {

using testing::ScratchDir;

// Reads named by a question file or chosen by the user: anything that is not a regular
// file is refused at once, and a file costs what it holds, not the cap.
TEST(ReadRegularFile, RefusesWhatWouldBlockOrNeverEnd) {
  ScratchDir dir("regular");
  const std::string fifo = (dir.path() / "picture.bmp").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = (dir.path() / "folder.bmp").string();
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);

  for (const std::string& path : {fifo, folder, std::string("/dev/zero"),
                                  (dir.path() / "missing").string()}) {
    auto read = std::async(std::launch::async, [&] { return ReadRegularFile(path, 1 << 20); });
    // A bound only a hang reaches: the refusal takes microseconds.
    if (read.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      // Let the blocked reader go before failing, or the test would hang here too.
      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
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

  // Through a symbolic link to a regular file, as a question folder may hold one.
  const std::string link = (dir.path() / "link.TXT").string();
  ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
  EXPECT_EQ(ReadRegularFile(link, 100), all);
}

}  // namespace
}  // namespace zel
