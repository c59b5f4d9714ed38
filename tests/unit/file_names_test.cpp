#include "files/file_names.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace zel {
namespace {

using testing::ScratchDir;

TEST(FileNamesTest, ResolvesManyNamesAcrossDirectoriesIgnoringCase) {
  ScratchDir dir("names");
  const std::string a = dir.path().string(), b = (dir.path() / "sub").string();
  std::filesystem::create_directory(b);
  dir.Write("Ka.WAV", std::string("x"));
  dir.Write("sub/PIN.wav", std::string("x"));
  dir.Write("exact.wav", std::string("x"));
  const std::vector<std::string> asked = {a + "/KA.wav", b + "/pin.WAV", a + "/exact.wav",
                                          a + "/missing.wav", b + "/ka.wav"};
  const std::vector<std::string> want = {a + "/Ka.WAV", b + "/PIN.wav", a + "/exact.wav",
                                         a + "/missing.wav", b + "/ka.wav"};
  EXPECT_EQ(ResolveIgnoringCase(asked), want);
  for (size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(ResolveIgnoringCase(asked[i]), want[i]);
  EXPECT_EQ(CanOpenIgnoringCase(asked), (std::vector<bool>{true, true, true, false, false}));
}

TEST(FileNamesTest, AFifoWithAVoicesNameDoesNotBlockTheCheck) {
  ScratchDir dir("fifo");
  const std::string fifo = (dir.path() / "KA.wav").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Opening a FIFO for reading with no writer would wait forever.
  EXPECT_EQ(CanOpenIgnoringCase(std::vector<std::string>{fifo}).size(), 1u);
}

}  // namespace
}  // namespace zel
