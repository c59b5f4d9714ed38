// The settings file in the Windows profile format, kept byte for byte.
//
// A line "[name]" opens a section, a line "key=value" holds a value; every other line is
// kept as it is but means nothing. Names match without regard to ASCII case, values are raw
// Shift-JIS bytes. Lines may end in LF, CR LF or CR; the lines we write end in CR LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace zel {

// The format on a byte buffer; ProfileFile puts the file around it.

// The value of key in the first section named section, without the blanks around it (the
// quotes are still on). Keys before the first section belong to none.
std::optional<std::string_view> FindProfileValue(std::string_view text,
                                                 std::string_view section,
                                                 std::string_view key);

// text with key set to value: an existing value is replaced on its own line, a new key goes
// after the last key line of its section, a new section at the end. Blanks before the value
// are left out, as they would not be read back. Names or values that could not be read back
// at all give nullopt: a line break anywhere, an empty key, a key with "=" or starting "[".
std::optional<std::string> WithProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key, std::string_view value);

// GetPrivateProfileIntA's reading of a stored value: defaultValue when it is empty (once
// unquoted), else the optionally signed decimal number at its start, saturated to int
// ("12abc" gives 12, "abc" gives 0).
int ProfileIntOf(std::string_view value, int defaultValue);

class ProfileFile {
 public:
  // Reads see only the whole lines within this many bytes; a write to a larger file fails
  // rather than lose what lies beyond.
  static constexpr size_t kMaxBytes = size_t{1} << 20;

  // An empty path is no file: it reads as empty and takes no writes.
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // GetPrivateProfileStringA: the value (unquoted when in matching " or ') or defaultValue,
  // cut to bufferSize - 1 bytes. A missing, unreadable or non-regular file reads as empty.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, size_t bufferSize) const;

  // GetPrivateProfileIntA: defaultValue for a missing key or an empty value, else the
  // optionally signed decimal number at the start of the value, saturated to int ("12abc"
  // gives 12, "abc" gives 0).
  int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;

  // WritePrivateProfileStringA: the whole file is written to a temporary file beside it,
  // flushed and renamed over the old one. False when nothing could be written; the old file
  // is then as it was; so it is for a file marked read-only. A symbolic link is written
  // through to its file; copies of the program take turns; the first write sweeps away
  // temporary files a crashed copy left.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::string path_;
  bool swept_ = false;
};

}  // namespace zel
