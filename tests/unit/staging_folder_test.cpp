#include "files/staging_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "files/file_names.h"
#include "support/full_disk.h"
#include "support/scratch_dir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

Strings Names(const fs::path& dir) {
  Strings names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(Utf8FromPath(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

// Only the exact form the first start gives its folder names a process.
TEST(StagingFolder, OnlyTheExactNameNamesAProcess) {
  const struct {
    const char* name;
    std::optional<uint64_t> owner;
  } cases[] = {
      {".mojimori-1234", 1234},
      {".mojimori-4294967295", 4294967295u},
      {".mojimori-", std::nullopt},
      {".mojimori-0", std::nullopt},
      {".mojimori-0123", std::nullopt},
      {".mojimori-12a", std::nullopt},
      {".mojimori-12 ", std::nullopt},
      {".mojimori--12", std::nullopt},
      {".mojimori-+12", std::nullopt},
      {".mojimori-99999999999999999999999", std::nullopt},
      {".mojimori.a1B2c3", std::nullopt},  // an older launcher's mktemp name
      {".Mojimori-12", std::nullopt},
      {"mojimori-12", std::nullopt},
      {"mojimori", std::nullopt},
      {".mojimori-12.old", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(StagingFolderOwner(c.name), c.owner) << c.name;
  const std::optional<uint64_t> own = StagingFolderOwner(StagingFolderName());
  ASSERT_TRUE(own.has_value()) << StagingFolderName();
  EXPECT_GT(*own, 0u);
}

// What a first start killed while copying left goes, whole; a staging folder of a process
// still running, anything of another name, and a file of that name stay.
TEST(StagingFolder, LeftoversOfEndedStartsGoAndNothingElse) {
  testing::ScratchDir scratch{"staging"};
  const fs::path& dir = scratch.path();
  Strings gone;
  for (uint64_t k = 0; k < 3; ++k) {
    uint64_t id = testing::EndedProcess();
#ifdef _WIN32
    id += 4 * k;  // one odd number there: the others are never running either
#endif
    gone.push_back(std::to_string(id));
  }
  // A half copy: folders in folders, and a file marked read-only as installed files are.
  const fs::path half = dir / (".mojimori-" + gone[0]);
  fs::create_directories(half / "sub" / "deeper");
  std::ofstream(half / "mondai.txt") << "inu.bmp,x\r\n";
  std::ofstream(half / "sub" / "deeper" / "inu.bmp") << "BM";
  fs::permissions(half / "mondai.txt", fs::perms::owner_read);
  fs::permissions(half / "sub" / "deeper" / "inu.bmp", fs::perms::owner_read);

  Strings kept = {StagingFolderName(), ".mojimori-" + gone[1] + "x", ".mojimori-0" + gone[1],
                  "mojimori", ".mojimori." + gone[1]};
  for (const std::string& name : kept) {
    fs::create_directory(dir / name);
    std::ofstream(dir / name / "mondai.txt") << "keep";
  }
  std::ofstream(dir / (".mojimori-" + gone[1])) << "a file, not a folder";
  kept.push_back(".mojimori-" + gone[1]);
#ifndef _WIN32
  // A link of that name goes nowhere, and a link inside a leftover takes only itself.
  fs::create_directory(dir / "elsewhere");
  std::ofstream(dir / "elsewhere" / "precious.txt") << "keep";
  fs::create_directory_symlink(dir / "elsewhere", dir / (".mojimori-" + gone[2]));
  fs::create_directory_symlink(dir / "elsewhere", half / "link");
  kept.push_back(".mojimori-" + gone[2]);
  kept.push_back("elsewhere");
#endif

  RemoveStaleStagingFolders(Utf8FromPath(dir));
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Names(dir), kept);
  for (const std::string& name : kept) {
    if (fs::is_directory(dir / name)) {
      EXPECT_FALSE(Names(dir / name).empty()) << name;
    }
  }
#ifndef _WIN32
  EXPECT_EQ(Names(dir / "elsewhere"), Strings{"precious.txt"});
#endif
  // A path ending in its separator is the same folder; an empty one is none.
  fs::create_directory(half);
  RemoveStaleStagingFolders(Utf8FromPath(dir) + "/");
  EXPECT_FALSE(fs::exists(half));
  RemoveStaleStagingFolders("");
}

}  // namespace
}  // namespace zel
