#include "files/question_folder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "files/file_names.h"
#include "files/staging_folder.h"
#include "support/full_disk.h"
#include "support/scratch_dir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Tree = std::map<std::string, std::string>;  // relative path -> bytes ("/" for a folder)

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& file, const std::string& bytes) {
  std::error_code absent;
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, absent);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

Tree Read(const fs::path& dir) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string name = entry.path().lexically_relative(dir).generic_string();
    tree[name] = entry.is_directory() ? "/" : Bytes(entry.path());
  }
  return tree;
}

Strings Names(const fs::path& dir) {
  Strings names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(Utf8FromPath(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

bool Writable(const fs::path& file) {
  return (fs::status(file).permissions() & fs::perms::owner_write) != fs::perms::none;
}

// An installed sample set, read-only as a package leaves it, and a home for the user; the
// current directory is put back after each test.
class QuestionFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(sample / "koe");
    fs::create_directories(home);
    for (const auto& [name, bytes] : kSample) {
      if (bytes == "/") fs::create_directories(sample / name);
      else std::ofstream(sample / name, std::ios::binary) << bytes;
    }
    for (const auto& entry : fs::recursive_directory_iterator(sample)) {
      if (entry.is_regular_file()) fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::group_read);
    }
  }
  void TearDown() override {
    fs::current_path(startedIn);
    for (const auto& entry : fs::recursive_directory_iterator(scratch.path())) {
      std::error_code ignored;
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }

  QuestionFolderStart Start(const fs::path& in) {
    return EnterQuestionFolder(Utf8FromPath(sample), Utf8FromPath(in));
  }
  std::string Notice(const std::string& folder) const {
    return "もんだいのフォルダ「" + folder + "」を作れませんでした。\n付属のサンプル（" + Utf8FromPath(sample) +
           "）で始めます。";
  }
  // Entered the question folder as it should, nothing left beside it in the home.
  void ExpectInFolder(const QuestionFolderStart& start) const {
    EXPECT_EQ(start.folder, Utf8FromPath(folder));
    EXPECT_EQ(start.notice, "");
    EXPECT_TRUE(start.helpUpToDate);
    EXPECT_TRUE(fs::equivalent(fs::current_path(), folder));
    EXPECT_EQ(Names(home), Strings{"mojimori"});
  }
  void ExpectInSample(const QuestionFolderStart& start, const std::string& folder) const {
    EXPECT_EQ(start.folder, Utf8FromPath(sample));
    EXPECT_EQ(start.notice, Notice(folder));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), sample));
  }

  const Tree kSample = {{"mondai.txt", "inu.bmp,\x82\xa2\x82\xca\r\n"},
                        {"inu.bmp", std::string("BM\0\0x", 5)},
                        {"zel.html", "<html>v2</html>"},
                        {"koe", "/"},
                        {"koe/300.wav", "RIFF"},
                        {"koe/deeper", "/"},
                        {"koe/deeper/empty.txt", ""}};
  const fs::path startedIn = fs::current_path();
  testing::ScratchDir scratch{"question_folder"};
  const fs::path sample = scratch.path() / "share" / "sample";
  const fs::path home = scratch.path() / "home";
  const fs::path folder = home / "mojimori";
};

// The first start copies the whole sample set into the home, as the user's own files, leaves
// nothing beside it, and runs there.
TEST_F(QuestionFolderTest, FirstStartMakesTheFolderFromTheSample) {
  ExpectInFolder(Start(home));
  EXPECT_EQ(Read(folder), kSample);
  EXPECT_TRUE(Writable(folder / "mondai.txt"));
  EXPECT_TRUE(Writable(folder / "koe" / "300.wav"));
  // The sample set itself is left as it was.
  EXPECT_EQ(Read(sample), kSample);
}

// A later start keeps the parent's edits, additions and removals, and brings only the help
// up to date with the installed program.
TEST_F(QuestionFolderTest, LaterStartsKeepEditsAndUpdateTheHelp) {
  ASSERT_EQ(Start(home).notice, "");
  fs::current_path(startedIn);
  Put(folder / "mondai.txt", "mine.bmp,x\r\n");
  std::ofstream(folder / "mine.bmp", std::ios::binary) << "BMmine";
  fs::remove(folder / "inu.bmp");
  Put(folder / "zel.html", "<html>v1</html>");
  Tree expected = Read(folder);
  expected["zel.html"] = kSample.at("zel.html");

  ExpectInFolder(Start(home));
  EXPECT_EQ(Read(folder), expected);

  // A help the program cannot replace (a folder in its place) is told, and the rest goes on.
  fs::current_path(startedIn);
  fs::remove(folder / "zel.html");
  fs::create_directory(folder / "zel.html");
  const QuestionFolderStart blocked = Start(home);
  EXPECT_FALSE(blocked.helpUpToDate);
  EXPECT_EQ(blocked.notice, "");
  EXPECT_TRUE(fs::equivalent(fs::current_path(), folder));
  EXPECT_TRUE(fs::is_directory(folder / "zel.html"));
}

// What first starts killed while copying left in the home goes: an ended process's staging
// folder, and one under this process's own name, which no copy of this start made.
TEST_F(QuestionFolderTest, LeftoversOfInterruptedStartsGo) {
  const fs::path ended = home / (".mojimori-" + std::to_string(testing::EndedProcess()));
  const fs::path own = home / StagingFolderName();
  for (const fs::path& dir : {ended, own}) {
    fs::create_directories(dir / "koe");
    std::ofstream(dir / "koe" / "stray.wav") << "half";
  }
  ExpectInFolder(Start(home));
  EXPECT_EQ(Read(folder), kSample);
}

// Where the folder cannot be made or entered, the program runs in the sample set and says
// why, naming both folders; what is in the way is left alone.
TEST_F(QuestionFolderTest, AFolderThatCannotBeMadeGivesTheSample) {
  struct Case {
    const char* what;
    fs::path home;
    void (*block)(const fs::path& home);
  };
  const fs::path fileHome = scratch.path() / "file-home";
  const std::vector<Case> cases = {
      {"a file in the folder's place", home,
       [](const fs::path& h) { std::ofstream(h / "mojimori") << "mine"; }},
      {"the home is a file", fileHome, [](const fs::path& h) { std::ofstream(h) << "not a folder"; }},
#ifndef _WIN32
      {"a link going nowhere in the folder's place", home,
       [](const fs::path& h) { fs::create_symlink(h / "gone", h / "mojimori"); }},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.block(c.home);
    const Tree before = fs::is_directory(c.home) ? Read(c.home) : Tree{};
    ExpectInSample(Start(c.home), Utf8FromPath(c.home / "mojimori"));
    if (fs::is_directory(c.home)) {
      EXPECT_EQ(Read(c.home), before);
    }
    fs::current_path(startedIn);
    std::error_code ignored;
    fs::remove(c.home / "mojimori", ignored);
  }
  // No home to put it in.
  ExpectInSample(EnterQuestionFolder(Utf8FromPath(sample), ""), "");
}

#ifndef _WIN32
// A home the user may not write to (root may write anywhere, so only as another user).
TEST_F(QuestionFolderTest, AnUnwritableHomeGivesTheSample) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes to any folder";
  fs::permissions(home, fs::perms::owner_read | fs::perms::owner_exec);
  ExpectInSample(Start(home), Utf8FromPath(folder));
  EXPECT_EQ(Names(home), Strings{});
}
#endif

// A copy cut short (here by a file size limit, as by a full disk) leaves no half folder and
// no staging folder: the next start tries again from the beginning.
TEST_F(QuestionFolderTest, ACopyCutShortLeavesNoHalfFolder) {
#ifdef ZEL_NO_FULL_DISK
  GTEST_SKIP() << testing::kNoFullDisk;
#endif
  std::ofstream(sample / "koe" / "big.wav", std::ios::binary) << std::string(20000, 'x');
  {
    testing::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    ExpectInSample(Start(home), Utf8FromPath(folder));
  }
  EXPECT_EQ(Names(home), Strings{});
  fs::current_path(startedIn);
  EXPECT_EQ(Start(home).notice, "");
  EXPECT_EQ(Bytes(folder / "koe" / "big.wav"), std::string(20000, 'x'));
}

// Without an installed sample set (a program run from its build tree) nothing is made and the
// program stays where it was started.
TEST_F(QuestionFolderTest, WithoutASampleSetNothingHappens) {
  const QuestionFolderStart start =
      EnterQuestionFolder(Utf8FromPath(scratch.path() / "share" / "nothing"), Utf8FromPath(home));
  EXPECT_EQ(start.folder, "");
  EXPECT_EQ(start.notice, "");
  EXPECT_TRUE(fs::equivalent(fs::current_path(), startedIn));
  EXPECT_EQ(Names(home), Strings{});
}

}  // namespace
}  // namespace zel
