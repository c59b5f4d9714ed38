// Any bytes as a settings file, with a section, key and value taken from the front of the
// input: reads stay within their bounds; a write reads back as written, leaves other keys
// as they were, changes nothing when repeated, and stores exactly the text of the buffer
// form.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "profile/profile_file.h"

using namespace zel;

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

struct Probe {
  std::string_view section, key;
};
constexpr Probe kProbes[] = {
    {"Setting", "Fontname"}, {"Setting", "WinPosL"}, {"Chiku", "ExeDir"}, {"S", "K"}, {"", "K"}};

std::string dir;

void RemoveScratch() {
  ::unlink((dir + "/zel.ini").c_str());
  ::rmdir(dir.c_str());
}

// On tmpfs when there is one, so that the flush of each write costs nothing.
const std::string& ScratchFile() {
  static const std::string path = [] {
    dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/fuzz_profile_XXXXXX"
                                           : "/tmp/fuzz_profile_XXXXXX";
    if (::mkdtemp(dir.data()) == nullptr) abort();
    std::atexit(RemoveScratch);
    return dir + "/zel.ini";
  }();
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool Within(std::string_view part, std::string_view whole) {
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(16);
  const std::string key = input.ConsumeRandomLengthString(16);
  const std::string value = input.ConsumeRandomLengthString(64);
  const std::string text = input.ConsumeRemainingBytesAsString();

  const std::optional<std::string_view> found = FindProfileValue(text, section, key);
  if (found && !Within(*found, text)) abort();
  const std::optional<std::string> written = WithProfileValue(text, section, key, value);
  if (written) {
    const std::optional<std::string_view> back = FindProfileValue(*written, section, key);
    if (!back || *back != Trim(value)) abort();
    if (WithProfileValue(*written, section, key, value) != written) abort();
    for (const Probe& p : kProbes) {
      if (SameName(Trim(section), p.section) && SameName(Trim(key), p.key)) continue;
      if (FindProfileValue(text, p.section, p.key) != FindProfileValue(*written, p.section, p.key)) {
        abort();
      }
    }
  }
  if (WithProfileValue(text, "Setting", "Fontname", "x") == std::nullopt) abort();

  const std::string& path = ScratchFile();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) abort();
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  ProfileFile profile(path);
  for (size_t buffer : {size_t{1}, size_t{2}, size_t{32}}) {
    const std::string read = profile.ReadString(section, key, "default", buffer);
    if (read.size() >= buffer) abort();
    if (!found && read != std::string_view("default").substr(0, buffer - 1)) abort();
  }
  profile.ReadInt(section, key, 0);
  const bool stored = profile.WriteString(section, key, value);
  if (text.size() <= ProfileFile::kMaxBytes) {
    if (stored != written.has_value()) abort();
    if (stored && ReadAll(path) != *written) abort();
  }
  return 0;
}
