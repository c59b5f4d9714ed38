#include "encoding/sjis.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace zel {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from, bool utf8Source)
      : cd_(iconv_open(to, from)), utf8Source_(utf8Source) {}
  ~Converter() {
    if (Valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts the whole input; each byte that cannot be converted is skipped and replaced.
  std::string Run(std::string_view in, std::string_view replacement) {
    std::string out;
    if (!Valid()) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      const size_t done = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (done != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      // EILSEQ, or EINVAL for a sequence cut off at the end.
      out.append(replacement);
      // One replacement per character: a UTF-8 character goes with its continuation bytes.
      do {
        ++src;
        --srcLeft;
      } while (utf8Source_ && srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    return out;
  }

 private:
  iconv_t cd_;
  bool utf8Source_;
};

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  thread_local Converter converter("UTF-8", "CP932", false);
  return converter.Run(sjis, "\xEF\xBF\xBD");
}

std::string Utf8ToSjis(std::string_view utf8) {
  thread_local Converter converter("CP932", "UTF-8", true);
  return converter.Run(utf8, "?");
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class Utf8Check { Valid, Invalid, CutOff };

// The UTF-8 character starting at bytes[i], past ASCII: its length when valid.
Utf8Check CheckUtf8Character(std::string_view bytes, size_t i, size_t& length) {
  const auto b = static_cast<unsigned char>(bytes[i]);
  size_t extra;
  uint32_t cp;
  if (b >= 0xC2 && b <= 0xDF) extra = 1, cp = b & 0x1F;
  else if (b >= 0xE0 && b <= 0xEF) extra = 2, cp = b & 0x0F;
  else if (b >= 0xF0 && b <= 0xF4) extra = 3, cp = b & 0x07;
  else return Utf8Check::Invalid;
  for (size_t k = 1; k <= extra; ++k) {
    if (i + k >= bytes.size()) return Utf8Check::CutOff;
    const auto c = static_cast<unsigned char>(bytes[i + k]);
    if ((c & 0xC0) != 0x80) return Utf8Check::Invalid;
    cp = cp << 6 | (c & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return Utf8Check::Invalid;
  length = extra + 1;
  return Utf8Check::Valid;
}

}  // namespace

bool HasByteOrderMark(std::string_view bytes) {
  return bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
}

bool IsUtf8Line(std::string_view line) {
  bool multiByte = false;
  size_t i = 0;
  while (i < line.size()) {
    if (static_cast<unsigned char>(line[i]) < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    switch (CheckUtf8Character(line, i, length)) {
      case Utf8Check::Valid: i += length, multiByte = true; break;
      case Utf8Check::CutOff: return true;  // only the end of what was read cuts a character
      case Utf8Check::Invalid: return false;
    }
  }
  return multiByte;
}

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  return HasByteOrderMark(bytes) ? bytes.substr(kByteOrderMark.size()) : bytes;
}

std::string FileTextToSjis(std::string_view bytes) {
  const bool wholeFile = HasByteOrderMark(bytes);
  bytes = WithoutByteOrderMark(bytes);
  std::string out;
  while (!bytes.empty()) {
    const size_t end = std::min(bytes.find('\n'), bytes.size() - 1) + 1;
    const std::string_view line = bytes.substr(0, end);
    if (wholeFile || IsUtf8Line(line)) out += Utf8ToSjis(line);
    else out += line;
    bytes.remove_prefix(end);
  }
  return out;
}

}  // namespace zel
