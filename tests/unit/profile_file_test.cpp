#include "profile/profile_file.h"

#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "encoding/sjis.h"
#include "support/full_disk.h"
#include "support/scratch_dir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Strings = std::vector<std::string>;

// Built without operator+, which trips a false -Wrestrict in GCC 12.
std::string Key(size_t i) {
  std::string key = "K";
  key += std::to_string(i);
  return key;
}

class ProfileFileTest : public ::testing::Test {
 protected:

  void Store(const std::string& bytes) const {
    std::ofstream(ini.path(), std::ios::binary) << bytes;
  }
  std::string Stored() const {
    std::ifstream in(ini.path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  Strings Names() const {
    Strings names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Fontname() const { return ini.ReadString("Setting", "Fontname", "dflt", 260); }

  testing::ScratchDir scratch{"profile_file"};
  const fs::path& dir = scratch.path();
  ProfileFile ini{(dir / "zel.ini").string()};
};

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Fontname(), "dflt");
  EXPECT_EQ(ini.ReadInt("Setting", "VoiceSpeed", 400), 400);
  EXPECT_FALSE(fs::exists(ini.path()));

  Store("[Setting]\r\nFontname=Gothic\r\nEmpty=\r\nQuoted=\"\"\r\n[Chiku]\r\n");
  EXPECT_EQ(ini.ReadString("Chiku", "Fontname", "dflt", 32), "dflt");
  EXPECT_EQ(ini.ReadString("Print", "Fontname", "dflt", 32), "dflt");
  EXPECT_EQ(ini.ReadString("Setting", "Fontweight", "dflt", 32), "dflt");
  EXPECT_EQ(ini.ReadString("Setting", "Empty", "dflt", 32), "");  // present, so not the default
  EXPECT_EQ(ini.ReadInt("Setting", "Empty", 7), 7);
  EXPECT_EQ(ini.ReadInt("Setting", "Quoted", 7), 7);
  EXPECT_EQ(ini.ReadInt("Setting", "Fontweight", -3), -3);
}

TEST_F(ProfileFileTest, ReadStringTrimsUnquotesAndCuts) {
  struct Case {
    std::string line;
    size_t buffer;
    std::string expected;
  };
  const Case cases[] = {
      {"V=plain", 260, "plain"},
      {"V = \t padded \t ", 260, "padded"},
      {"V=\"two  words\"", 260, "two  words"},
      {"V='single'", 260, "single"},
      {"V= \" kept blanks \" ", 260, " kept blanks "},
      {"V=\"mixed'", 260, "\"mixed'"},
      {"V=\"", 260, "\""},
      {"V=\"\"", 260, ""},
      {"V=a\"b\"", 260, "a\"b\""},
      {"V=a=b;c", 260, "a=b;c"},
      {"V=" + Utf8ToSjis("表示ソ"), 260, Utf8ToSjis("表示ソ")},  // trail bytes 0x5C
      {"V=" + std::string(40, 'n'), 32, std::string(31, 'n')},
      {"V=\"" + std::string(40, 'q') + "\"", 32, std::string(31, 'q')},
      {"V=abc", 3, "ab"},
      {"V=abc", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Store("[S]\r\n" + c.line + "\r\n");
    EXPECT_EQ(ini.ReadString("S", "V", "dflt", c.buffer), c.expected);
  }
  EXPECT_EQ(ini.ReadString("S", "Missing", "0123456789", 4), "012");
}

TEST_F(ProfileFileTest, ReadIntTakesTheLeadingDecimalNumberAndSaturates) {
  struct Case {
    std::string value;
    int expected;
  };
  const Case cases[] = {
      {"12", 12},
      {"-7", -7},
      {"+5", 5},
      {"007", 7},
      {"12abc", 12},
      {"1 2", 1},
      {" 42 ", 42},
      {"'17'", 17},
      {"abc", 0},
      {"-", 0},
      {"- 3", 0},
      {"0x1F", 0},
      {"", -1},  // the default
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"4294967297", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN},
      {std::string(400, '9'), INT_MAX},
      {std::string("-").append(400, '9'), INT_MIN},
  };
  std::string text = "[S]\r\n";
  for (size_t i = 0; i < std::size(cases); ++i) {
    text += Key(i) + "=" + cases[i].value + "\r\n";
  }
  Store(text);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].value);
    EXPECT_EQ(ini.ReadInt("S", Key(i), -1), cases[i].expected);
  }
}

TEST_F(ProfileFileTest, NamesMatchWithoutRegardToAsciiCaseOnly) {
  Store("[SeTTinG]\r\nFontName=a\r\n[\xC1]\r\nk=upper\r\n");
  EXPECT_EQ(Fontname(), "a");
  EXPECT_EQ(ini.ReadString("SETTING", "fontname", "dflt", 32), "a");
  EXPECT_EQ(ini.ReadString("\xC1", "K", "dflt", 32), "upper");
  EXPECT_EQ(ini.ReadString("\xE1", "K", "dflt", 32), "dflt");  // bytes above ASCII stay apart
}

TEST_F(ProfileFileTest, WritesCreateTheFileSectionsAndKeysInCrLfLines) {
  ASSERT_TRUE(ini.WriteString("Setting", "VoiceSpeed", "400"));
  EXPECT_EQ(Stored(), "[Setting]\r\nVoiceSpeed=400\r\n");
  ASSERT_TRUE(ini.WriteString("Setting", "KakijunSpeed", "300"));
  ASSERT_TRUE(ini.WriteString("Chiku", "ExeDir", "C:\\chiku\\"));
  ASSERT_TRUE(ini.WriteString("setting", "PrintSize", "  0"));
  EXPECT_EQ(Stored(),
            "[Setting]\r\nVoiceSpeed=400\r\nKakijunSpeed=300\r\nPrintSize=0\r\n"
            "[Chiku]\r\nExeDir=C:\\chiku\\\r\n");
  EXPECT_EQ(Names(), Strings{"zel.ini"});
}

TEST_F(ProfileFileTest, ReplacesInPlaceAndKeepsEveryOtherByte) {
  Store(
      "; written by hand\n"
      "[SETTING]\n"
      "  FONTNAME = old name\n"
      "junk without equals\r"
      "Spaced =  x  \n"
      "WinPosL=10\r\n"
      "\n"
      "; end of settings\n"
      "[Chiku]\r\n"
      "ExeDir=C:\\chiku\\");
  const std::string face = Utf8ToSjis("ＭＳ ゴシック");
  ASSERT_TRUE(ini.WriteString("Setting", "Fontname", face));
  ASSERT_TRUE(ini.WriteString("setting", "WINPOSL", "  -5"));
  ASSERT_TRUE(ini.WriteString("Setting", "ShowButton", "1"));
  ASSERT_TRUE(ini.WriteString("Setting", "Spaced", ""));
  ASSERT_TRUE(ini.WriteString("Chiku", "Other", "x"));
  const std::string expected =
      "; written by hand\n"
      "[SETTING]\n"
      "  FONTNAME = " + face + "\r\n"
      "junk without equals\r"
      "Spaced =  \r\n"
      "WinPosL=-5\r\n"
      "ShowButton=1\r\n"
      "\n"
      "; end of settings\n"
      "[Chiku]\r\n"
      "ExeDir=C:\\chiku\\\r\n"
      "Other=x\r\n";
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(Fontname(), face);
  EXPECT_EQ(ini.ReadInt("Setting", "WinPosL", 0), -5);

  // The same writes again change nothing.
  ASSERT_TRUE(ini.WriteString("setting", "WINPOSL", "  -5"));
  ASSERT_TRUE(ini.WriteString("Setting", "Spaced", ""));
  ASSERT_TRUE(ini.WriteString("Chiku", "Other", "x"));
  EXPECT_EQ(Stored(), expected);
}

TEST_F(ProfileFileTest, ValuesRoundTripByteForByte) {
  const std::string values[] = {
      Utf8ToSjis("ＭＳ ゴシック"), Utf8ToSjis("未定義"), Utf8ToSjis("表示ソ"), "C:\\zel\\", "",
      "a=b[c];d", "\xFF\x80\0z"s, std::to_string(INT_MIN),
  };
  for (size_t i = 0; i < std::size(values); ++i) {
    ASSERT_TRUE(ini.WriteString("Setting", Key(i), values[i]));
  }
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(ini.ReadString("Setting", Key(i), "dflt", 260), values[i]);
  }
  EXPECT_EQ(ini.ReadInt("Setting", "K7", 0), INT_MIN);
}

TEST_F(ProfileFileTest, RefusesWhatCouldNotBeReadBack) {
  const std::string original = "[S]\r\nK=v\r\n";
  Store(original);
  struct Case {
    std::string section, key, value;
  };
  const Case cases[] = {
      {"S", "a=b", "v"}, {"S", "", "v"},   {"S", "  ", "v"},         {"S", "[K", "v"},
      {"S", "K\n", "v"}, {"S\rT", "K", "v"}, {"S", "K", "two\r\nlines"}, {"S", "K", "cr\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.section + "/" + c.key + "/" + c.value);
    EXPECT_FALSE(ini.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(Stored(), original);
  }
}

TEST_F(ProfileFileTest, WriteKeepsPermissionsAndLeavesNoTemporaryFile) {
  Store("[S]\r\nK=1\r\n");
  fs::permissions(ini.path(), fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(ini.WriteString("S", "K", "2"));
  EXPECT_EQ(Stored(), "[S]\r\nK=2\r\n");
#ifndef _WIN32  // Windows keeps only a read-only flag
  EXPECT_EQ(fs::status(ini.path()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
#endif
  EXPECT_EQ(Names(), Strings{"zel.ini"});
}

// Users keep their settings under version control or on another disk through a link:
// the link stays, its file takes the value.
TEST_F(ProfileFileTest, WritesThroughASymbolicLinkToItsFile) {
#ifdef _WIN32
  GTEST_SKIP() << "links on Windows need rights a user's account lacks; none to write through";
#endif
  fs::create_directory(dir / "real");
  std::ofstream(dir / "real" / "zel.ini", std::ios::binary) << "[S]\r\nK=1\r\n";
  fs::create_symlink("real/zel.ini", dir / "hop.ini");
  fs::create_symlink("hop.ini", ini.path());
  ASSERT_TRUE(ini.WriteString("S", "K", "2"));
  EXPECT_TRUE(fs::is_symlink(ini.path()));
  EXPECT_EQ(Stored(), "[S]\r\nK=2\r\n");
  EXPECT_EQ(Names(), (Strings{"hop.ini", "real", "zel.ini"}));

  // A link to a file not there yet makes that file.
  fs::remove(dir / "real" / "zel.ini");
  ASSERT_TRUE(ProfileFile(ini.path()).WriteString("S", "K", "3"));
  EXPECT_TRUE(fs::is_symlink(ini.path()));
  EXPECT_EQ(Stored(), "[S]\r\nK=3\r\n");
}

TEST_F(ProfileFileTest, TheFirstWriteSweepsAwayWhatACrashLeft) {
  Store("[S]\r\nK=1\r\n");
  const std::string gone = std::to_string(testing::EndedProcess());
  for (const std::string& name : {".zel.ini.tmp-" + gone + "-0", ".zel.ini.tmp-" + gone + "-12"})
    std::ofstream(dir / name) << "[S]\r\nK=half";
  std::ofstream(dir / ".zel.ini.notes.tmp") << "not ours";
  std::ofstream(dir / "other.tmp") << "not ours";
  ASSERT_TRUE(ini.WriteString("S", "K", "2"));
  EXPECT_EQ(Names(), (Strings{".zel.ini.notes.tmp", "other.tmp", "zel.ini"}));
}

// A full disk or a file marked read-only: the write fails and the file stays as it was.
TEST_F(ProfileFileTest, AWriteThatCannotCompleteKeepsTheOldFile) {
  const std::string original = "[S]\r\nK=1\r\n";
  const std::string longValue(20000, 'v');
  Store(original);
#ifdef ZEL_NO_FULL_DISK
  GTEST_SKIP() << testing::kNoFullDisk;
#endif
  {
    testing::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    EXPECT_FALSE(ini.WriteString("S", "K", longValue));
  }
  EXPECT_EQ(Stored(), original);
  EXPECT_EQ(Names(), Strings{"zel.ini"});

  fs::permissions(ini.path(), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_FALSE(ini.WriteString("S", "K", "2"));
  EXPECT_EQ(Stored(), original);
  EXPECT_TRUE(ini.WriteString("S", "K", "1"));  // nothing to change, nothing to write
  EXPECT_EQ(Names(), Strings{"zel.ini"});
}

TEST_F(ProfileFileTest, AWriteOnAFullDiskKeepsTheOldFile) {
  const testing::SmallDisk disk(dir / "small");
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  ProfileFile small((dir / "small" / "zel.ini").string());
  ASSERT_TRUE(small.WriteString("S", "K", "1"));
  disk.Fill();
  EXPECT_FALSE(small.WriteString("S", "K", "2"));
  EXPECT_FALSE(small.WriteString("S", "K", std::string(100000, 'v')));
  EXPECT_FALSE(ProfileFile((dir / "small" / "new.ini").string()).WriteString("S", "K", "1"));
  EXPECT_EQ(small.ReadInt("S", "K", -1), 1);
  Strings names;
  for (const auto& entry : fs::directory_iterator(dir / "small")) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Strings{"filler", "zel.ini"}));
}

// Two copies of the program closing at once each rewrite the file key by key; no key of
// one may be lost to the other's replace.
TEST_F(ProfileFileTest, TwoWritersAtOnceLoseNothing) {
  constexpr int kKeys = 150;
  auto writeKeys = [this](const char* section) {
    ProfileFile mine(ini.path());
    for (int i = 0; i < kKeys; ++i) mine.WriteString(section, Key(i), std::to_string(i));
  };
#ifdef _WIN32
  // No fork: a second thread, which the lock makes wait just as another process.
  std::thread other(writeKeys, "A");
  writeKeys("B");
  other.join();
#else
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    writeKeys("A");
    ::_exit(0);
  }
  writeKeys("B");
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
#endif
  int missing = 0;
  for (const char* section : {"A", "B"})
    for (int i = 0; i < kKeys; ++i) missing += ini.ReadInt(section, Key(i), -1) != i;
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(Names(), Strings{"zel.ini"});
}

TEST_F(ProfileFileTest, WriteFailsWhereNoFileCanBe) {
  const ProfileFile folder((dir / "folder.ini").string());
  fs::create_directory(folder.path());
  EXPECT_EQ(folder.ReadString("S", "K", "dflt", 32), "dflt");
  EXPECT_EQ(folder.ReadInt("S", "K", 5), 5);
  EXPECT_FALSE(ProfileFile(folder).WriteString("S", "K", "v"));
  EXPECT_TRUE(fs::is_directory(folder.path()));
  EXPECT_TRUE(fs::is_empty(folder.path()));

  EXPECT_FALSE(ProfileFile((dir / "none" / "zel.ini").string()).WriteString("S", "K", "v"));
  EXPECT_EQ(Names(), Strings{"folder.ini"});
}

// Root may write into any directory, so then the write runs in a child as "nobody".
std::optional<bool> WriteWithoutPrivileges(ProfileFile& file) {
#ifdef _WIN32
  (void)file;
  return std::nullopt;  // a folder's read-only flag does not stop writes into it there
#else
  if (::geteuid() != 0) return file.WriteString("S", "K", "2");
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(2);
    }
    // The file must stay readable, or the write would fail for another reason.
    if (file.ReadString("S", "K", "", 8) != "1") ::_exit(3);
    ::_exit(file.WriteString("S", "K", "2") ? 1 : 0);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
    return std::nullopt;
  }
  return WEXITSTATUS(status) == 1;
#endif
}

TEST_F(ProfileFileTest, WriteIntoReadOnlyDirectoryFailsAndKeepsTheOldFile) {
  const std::string original = "[S]\r\nK=1\r\n";
  Store(original);
  fs::permissions(ini.path(), fs::perms::owner_read | fs::perms::owner_write |
                                  fs::perms::group_read | fs::perms::others_read);
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                           fs::perms::group_exec | fs::perms::others_read |
                           fs::perms::others_exec);
  const std::optional<bool> written = WriteWithoutPrivileges(ini);
  if (!written) GTEST_SKIP() << "no unprivileged user to write as, or a Windows folder, which no read-only flag closes";
  EXPECT_FALSE(*written);
  EXPECT_EQ(Stored(), original);
  EXPECT_EQ(Names(), Strings{"zel.ini"});
}

TEST_F(ProfileFileTest, DamagedFilesStillReadAndTakeWrites) {
  struct Case {
    std::string text;
    std::string fontname;  // "dflt" when absent
    int winPosL;           // -1 when absent
  };
  const Case cases[] = {
      {"[Setting]\r\nFontname=a\r\n[Broken\r\nWinPosL=5\r\n", "a", 5},
      {"Fontname=before\r\n[Setting]\r\nWinPosL=5", "dflt", 5},
      {"[Setting]\r\nFontname\r\n=7\r\nFontname=b\r\n", "b", -1},
      {"[Setting]\rFontname=c\rWinPosL=5\r", "c", 5},
      {"[Setting]\nFontname=d\n\n\r\n\rWinPosL=5", "d", 5},
      {"\0\xFF\x01[x\0]junk\r\n[Setting]\r\nFontname=e\0f\r\n"s, "e\0f"s, -1},
      {"[Setting]\r\nFontname=first\r\nFontname=second\r\n[setting]\r\nWinPosL=5\r\n", "first", -1},
      {"\xEF\xBB\xBF[Setting]\r\nFontname=g\r\n", "g", -1},
      {"  [ Setting ] trailing\r\n\tFontname\t=\th\r\n", "h", -1},
      {"[]\r\n[\r\n]\r\n[Setting]\r\nWinPosL=5\r\nFontname=i", "i", 5},
      {std::string(3000, '[') + "\r\n" + std::string(3000, '=') + "\r\n", "dflt", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    Store(c.text);
    EXPECT_EQ(Fontname(), c.fontname);
    EXPECT_EQ(ini.ReadInt("Setting", "WinPosL", -1), c.winPosL);
    ASSERT_TRUE(ini.WriteString("Setting", "Fontname", "new"));
    EXPECT_EQ(Fontname(), "new");
    EXPECT_EQ(ini.ReadInt("Setting", "WinPosL", -1), c.winPosL);
  }
}

TEST_F(ProfileFileTest, LongLinesAndLargeFilesAreBounded) {
  Store("[Setting]\r\nJunk=" + std::string(1000000, 'x') + "\r\nFontname=g\r\n");
  EXPECT_EQ(Fontname(), "g");
  EXPECT_EQ(ini.ReadString("Setting", "Junk", "", 32), std::string(31, 'x'));
  ASSERT_TRUE(ini.WriteString("Setting", "Fontname", "h"));
  EXPECT_EQ(Fontname(), "h");
  EXPECT_EQ(ini.ReadString("Setting", "Junk", "", 2000000), std::string(1000000, 'x'));

  // Whole lines within the limit count; the line across it and all after do not.
  std::string big = "[Setting]\r\nFontname=early\r\n;";
  big.resize(ProfileFile::kMaxBytes - 10, ';');
  big += "\r\nCut=123456789\r\nWinPosL=5\r\n" + std::string(3 << 20, '#');
  Store(big);
  EXPECT_EQ(Fontname(), "early");
  EXPECT_EQ(ini.ReadString("Setting", "Cut", "dflt", 32), "dflt");
  EXPECT_EQ(ini.ReadInt("Setting", "WinPosL", -1), -1);
  EXPECT_FALSE(ini.WriteString("Setting", "Fontname", "late"));
  EXPECT_TRUE(Stored() == big);
  EXPECT_EQ(Names(), Strings{"zel.ini"});
}

}  // namespace
}  // namespace zel
