#include "encoding/sjis.h"
#include "encoding/utf8.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace zel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr uint32_t kReplacement = 0xFFFD;

// Kana, kanji and the full- and half-width forms of Japanese text.
bool IsJapanese(uint32_t c) {
  return (c >= 0x3000 && c <= 0x30FF) ||  // punctuation, hiragana, katakana
         (c >= 0x31F0 && c <= 0x31FF) ||  // small katakana
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF01 && c <= 0xFF9F);  // full-width forms, half-width katakana
}

// Walks the UTF-8 characters past ASCII; stops at an invalid one or a cut-off end.
template <typename Each>
Utf8Check ForEachUtf8Character(std::string_view text, Each each) {
  for (size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t c = 0;
    const Utf8Check check = CheckUtf8Character(text, i, length, &c);
    if (check != Utf8Check::Valid) return check;
    each(c);
    i += length;
  }
  return Utf8Check::Valid;
}

// The line read as Shift-JIS is Japanese text: it has kana or kanji and no byte that is
// no character, but for a character cut off at its end.
bool ReadsAsJapaneseSjis(std::string_view line) {
  std::string text = SjisToUtf8(line);
  constexpr std::string_view kReplaced = "\xEF\xBF\xBD";
  if (text.ends_with(kReplaced)) text.resize(text.size() - kReplaced.size());
  bool japanese = false, broken = false;
  ForEachUtf8Character(text, [&](uint32_t c) {
    japanese = japanese || IsJapanese(c);
    broken = broken || c == kReplacement;
  });
  return japanese && !broken;
}

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

std::string PathFromProfileText(std::string_view stored) {
  bool beyondAscii = false;
  const Utf8Check end = ForEachUtf8Character(stored, [&](uint32_t) { beyondAscii = true; });
  if (end == Utf8Check::Valid && beyondAscii) return std::string(stored);
  return SjisToNativePath(stored);
}

std::string ProfilePathText(std::string_view path) {
  std::string sjis = NativePathToSjis(path);
  if (PathFromProfileText(sjis) == path) return sjis;
  return std::string(path);
}

bool HasByteOrderMark(std::string_view bytes) {
  return bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
}

bool IsUtf8Line(std::string_view line) {
  bool multiByte = false, japanese = false;
  const Utf8Check end = ForEachUtf8Character(line, [&](uint32_t c) {
    multiByte = true;
    japanese = japanese || IsJapanese(c);
  });
  if (end == Utf8Check::Invalid) return false;
  if (end == Utf8Check::CutOff) multiByte = true;  // only the end of what was read cuts a character
  if (!multiByte) return false;
  // Half-width katakana in Shift-JIS can form valid UTF-8 too (ﾈｺ is U+023A): of two
  // readings, the one that gives Japanese text is meant.
  return japanese || !ReadsAsJapaneseSjis(line);
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
