#include "profile/profile_file.h"

#include "files/safe_replace.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace zel {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";  // left by some editors; not a name

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// ASCII only: a locale's tolower would fold Shift-JIS bytes too.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

struct Line {
  size_t begin;  // first byte
  size_t end;    // one past the content
  size_t next;   // one past the line break (LF, CR LF or CR), where the next line begins
};

Line LineAt(std::string_view text, size_t begin) {
  size_t end = text.find_first_of("\r\n", begin);
  if (end == std::string_view::npos) end = text.size();
  size_t next = end;
  if (next < text.size() && text[next] == '\r') ++next;
  if (next < text.size() && text[next] == '\n') ++next;
  return {begin, end, next};
}

enum class Kind { kOther, kSection, kKey };

struct Entry {
  Kind kind = Kind::kOther;
  std::string_view name;   // trimmed
  std::string_view value;  // trimmed; points into the line, also when empty
};

// A "[" line without "]" is nothing, so that it cannot turn into a key by chance. An empty
// value sits after all the blanks of the line, so that rewriting it keeps them.
Entry Classify(std::string_view content) {
  std::string_view body = content;
  while (!body.empty() && IsBlank(body.front())) body.remove_prefix(1);
  if (body.empty()) return {};
  if (body.front() == '[') {
    const size_t close = body.rfind(']');
    if (close == std::string_view::npos) return {};
    return {Kind::kSection, Trim(body.substr(1, close - 1)), {}};
  }
  const size_t equals = body.find('=');
  if (equals == std::string_view::npos) return {};
  const std::string_view name = Trim(body.substr(0, equals));
  if (name.empty()) return {};
  return {Kind::kKey, name, Trim(body.substr(equals + 1))};
}

struct Location {
  bool sectionFound = false;
  size_t insertAt = 0;  // after the section's header or its last key line
  bool keyFound = false;
  Line keyLine{};
  std::string_view value;
};

// Only the first section of that name counts, as on Windows; a write goes there too.
Location Locate(std::string_view text, std::string_view section, std::string_view key) {
  Location at;
  bool inSection = false;
  size_t pos = text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
  while (pos < text.size()) {
    const Line line = LineAt(text, pos);
    pos = line.next;
    const Entry entry = Classify(text.substr(line.begin, line.end - line.begin));
    if (entry.kind == Kind::kSection) {
      if (inSection) break;
      if (SameName(entry.name, section)) {
        inSection = at.sectionFound = true;
        at.insertAt = line.next;
      }
    } else if (entry.kind == Kind::kKey && inSection) {
      at.insertAt = line.next;
      if (SameName(entry.name, key)) {
        at.keyFound = true;
        at.keyLine = line;
        at.value = entry.value;
        break;
      }
    }
  }
  return at;
}

bool Writable(std::string_view section, std::string_view key, std::string_view value) {
  const auto hasBreak = [](std::string_view s) { return std::any_of(s.begin(), s.end(), IsBreak); };
  return !key.empty() && key.front() != '[' && key.find('=') == std::string_view::npos &&
         !hasBreak(section) && !hasBreak(key) && !hasBreak(value);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

int LeadingInt(std::string_view s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  constexpr int64_t kCap = int64_t{INT_MAX} + 1;  // the magnitude of INT_MIN
  int64_t magnitude = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    magnitude = std::min(magnitude * 10 + (s[i] - '0'), kCap);
  }
  return static_cast<int>(negative ? -magnitude : std::min<int64_t>(magnitude, INT_MAX));
}

enum class Status { kLoaded, kMissing, kFailed, kTooLarge };

struct Loaded {
  Status status = Status::kFailed;
  std::string bytes;  // reading stops soon after kMaxBytes
};

#ifdef _WIN32
}  // namespace
}  // namespace zel
#include "profile/profile_file_win32.h"
namespace zel {
namespace {
#else
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

Loaded Load(const std::string& path) {
  Loaded loaded;
  // Non-blocking, so that a FIFO in place of the file cannot hang the program.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    if (errno == ENOENT) loaded.status = Status::kMissing;
    return loaded;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return loaded;
  char chunk[64 * 1024];
  while (loaded.bytes.size() <= ProfileFile::kMaxBytes) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return loaded;
    if (n == 0) break;
    loaded.bytes.append(chunk, static_cast<size_t>(n));
  }
  loaded.status = loaded.bytes.size() > ProfileFile::kMaxBytes ? Status::kTooLarge : Status::kLoaded;
  return loaded;
}

std::string DirOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Holds an exclusive lock on the file's directory: two running copies take turns at the
// read, change and replace of a write, so neither undoes the other's.
class DirectoryLock {
 public:
  explicit DirectoryLock(const std::string& dir)
      : fd_(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_.get() >= 0)
      while (::flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) {
      }
  }

 private:
  Fd fd_;
};

#endif

std::string LoadForReading(const std::string& path) {
  Loaded loaded = Load(path);
  if (loaded.status == Status::kLoaded) return std::move(loaded.bytes);
  if (loaded.status != Status::kTooLarge) return {};
  // Keep the whole lines only, so that no value is read cut short.
  const size_t lastBreak = loaded.bytes.find_last_of("\r\n", ProfileFile::kMaxBytes - 1);
  loaded.bytes.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
  return std::move(loaded.bytes);
}

}  // namespace

std::optional<std::string_view> FindProfileValue(std::string_view text,
                                                 std::string_view section,
                                                 std::string_view key) {
  const Location at = Locate(text, Trim(section), Trim(key));
  if (!at.keyFound) return std::nullopt;
  return at.value;
}

std::optional<std::string> WithProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (!Writable(section, key, value)) return std::nullopt;
  // Blanks before a value are never read back; left out, a repeated write changes nothing.
  while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
  const Location at = Locate(text, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (at.keyFound) {
    // The line keeps its bytes up to the old value: indentation, spelling of the key, blanks
    // around "=".
    const size_t valueBegin = static_cast<size_t>(at.value.data() - text.data());
    out.append(text.substr(0, valueBegin)).append(value).append(kLineBreak);
    out.append(text.substr(at.keyLine.next));
    return out;
  }
  const size_t insertAt = at.sectionFound ? at.insertAt : text.size();
  out.append(text.substr(0, insertAt));
  // Only the last line of a file can lack its line break.
  if (insertAt > 0 && !IsBreak(text[insertAt - 1])) out.append(kLineBreak);
  if (!at.sectionFound) out.append("[").append(section).append("]").append(kLineBreak);
  out.append(key).append("=").append(value).append(kLineBreak);
  out.append(text.substr(insertAt));
  return out;
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, size_t bufferSize) const {
  if (bufferSize == 0) return {};
  const std::string text = LoadForReading(path_);
  const std::optional<std::string_view> value = FindProfileValue(text, section, key);
  return std::string((value ? Unquote(*value) : defaultValue).substr(0, bufferSize - 1));
}

int ProfileIntOf(std::string_view value, int defaultValue) {
  value = Unquote(Trim(value));
  return value.empty() ? defaultValue : LeadingInt(value);
}

int ProfileFile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
  const std::string text = LoadForReading(path_);
  const std::optional<std::string_view> value = FindProfileValue(text, section, key);
  return value ? ProfileIntOf(*value, defaultValue) : defaultValue;
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  if (path_.empty()) return false;
  const std::string target = LinkTarget(path_);
  DirectoryLock lock(DirOf(target));
  if (!swept_) {
    RemoveStaleTemporaries(target);
    swept_ = true;
  }
  const Loaded old = Load(target);
  if (old.status != Status::kLoaded && old.status != Status::kMissing) return false;
  const std::optional<std::string> text = WithProfileValue(old.bytes, section, key, value);
  if (!text) return false;
  if (old.status == Status::kLoaded && *text == old.bytes) return true;
  return ReplaceFileSafely(target, *text) == ReplaceOutcome::kReplaced;
}

}  // namespace zel
