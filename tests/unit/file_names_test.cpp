#include "files/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/pipe_file.h"
#include "support/scratch_dir.h"

namespace zel {
namespace {

using testing::ScratchDir;

// Windows' own file names ignore case, so there a name as asked already names the file
// and is given back as it was asked.
std::string Found(const std::string& asked, const std::string& onDisk) {
#ifdef _WIN32
  (void)onDisk;
  return asked;
#else
  (void)asked;
  return onDisk;
#endif
}

TEST(FileNamesTest, ResolvesManyNamesAcrossDirectoriesIgnoringCase) {
  ScratchDir dir("names");
  const std::string a = dir.path().string(), b = (dir.path() / "sub").string();
  std::filesystem::create_directory(b);
  dir.Write("Ka.WAV", std::string("x"));
  dir.Write("sub/PIN.wav", std::string("x"));
  dir.Write("exact.wav", std::string("x"));
  const std::vector<std::string> asked = {a + "/KA.wav", b + "/pin.WAV", a + "/exact.wav",
                                          a + "/missing.wav", b + "/ka.wav"};
  const std::vector<std::string> want = {Found(asked[0], a + "/Ka.WAV"),
                                         Found(asked[1], b + "/PIN.wav"), a + "/exact.wav",
                                         a + "/missing.wav", b + "/ka.wav"};
  EXPECT_EQ(ResolveIgnoringCase(asked), want);
  for (size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(ResolveIgnoringCase(asked[i]), want[i]);
  EXPECT_EQ(CanOpenIgnoringCase(asked), (std::vector<bool>{true, true, true, false, false}));
}

TEST(FileNamesTest, AFifoWithAVoicesNameDoesNotBlockTheCheck) {
  ScratchDir dir("fifo");
  const testing::PipeFile fifo(dir.path(), "KA.wav");
  ASSERT_TRUE(fifo.made());
  // Opening a FIFO for reading with no writer would wait forever; it is no voice file.
  EXPECT_EQ(CanOpenIgnoringCase(std::vector<std::string>{fifo.path()}), std::vector<bool>{false});
}

namespace fs = std::filesystem;

TEST(FileNames, MatchEveryPartIgnoringCase) {
  testing::ScratchDir dir("file_names");
  fs::create_directories(dir.path() / "E" / "Sub");
  dir.Write("MONDAI.TXT", std::string("x"));
  dir.Write("E/Sub/Inu.BMP", std::string("x"));
  fs::create_directory(dir.path() / "ka.wav");  // a folder named like a voice file
  const std::string root = dir.path().string() + "/";
  struct Case {
    std::string asked;
    std::string found;
  };
  const Case cases[] = {
      {root + "mondai.txt", Found(root + "mondai.txt", root + "MONDAI.TXT")},
      {root + "e/sub/inu.bmp", Found(root + "e/sub/inu.bmp", root + "E/Sub/Inu.BMP")},
      {root + "E/Sub/Inu.BMP", root + "E/Sub/Inu.BMP"},
      {root + "e/missing/inu.bmp", root + "e/missing/inu.bmp"},  // as asked when not found
      {root + "neko.bmp", root + "neko.bmp"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveIgnoringCase(c.asked), c.found) << c.asked;

  EXPECT_TRUE(CanOpenIgnoringCase(root + "Mondai.txt"));
  EXPECT_TRUE(CanOpenIgnoringCase(root + "e/SUB/inu.bmp"));
  EXPECT_FALSE(CanOpenIgnoringCase(root + "KA.wav"));  // only a folder has that name
  EXPECT_FALSE(CanOpenIgnoringCase(root + "e"));
  EXPECT_FALSE(CanOpenIgnoringCase(root + "missing.wav"));
}

TEST(FileNames, RelativePathsStayRelative) {
  testing::ScratchDir dir("file_names_rel");
  fs::create_directory(dir.path() / "Pics");
  dir.Write("Pics/Inu.bmp", std::string("x"));
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_EQ(ResolveIgnoringCase("pics/INU.BMP"), Found("pics/INU.BMP", "Pics/Inu.bmp"));
  fs::current_path(before);
}

}  // namespace
}  // namespace zel
