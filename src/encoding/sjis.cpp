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

bool IsUtf8Text(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) return true;
  size_t i = 0;
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  if (i == bytes.size()) return false;  // plain ASCII reads the same either way
  // The line holding the first byte past ASCII decides.
  const size_t lineEnd = std::min(bytes.find('\n', i), bytes.size());
  while (i < lineEnd) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    switch (CheckUtf8Character(bytes, i, length)) {
      case Utf8Check::Valid: i += length; break;
      case Utf8Check::CutOff: return true;  // only the end of what was read cuts a character
      case Utf8Check::Invalid: return false;
    }
  }
  return true;
}

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  return bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark
             ? bytes.substr(kByteOrderMark.size())
             : bytes;
}

std::string FileTextToSjis(std::string_view bytes) {
  return IsUtf8Text(bytes) ? Utf8ToSjis(WithoutByteOrderMark(bytes)) : std::string(bytes);
}

}  // namespace zel
