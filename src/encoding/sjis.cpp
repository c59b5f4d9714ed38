#include "encoding/sjis.h"
#include "encoding/utf8.h"

#include <algorithm>
#include <cstdint>

namespace zel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

Utf8Check CheckUtf8Character(std::string_view bytes, size_t i, size_t& length,
                             uint32_t* codePoint) {
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
  if (codePoint) *codePoint = cp;
  return Utf8Check::Valid;
}

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
