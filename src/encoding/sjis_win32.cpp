// The Shift-JIS conversion on Windows: code page 932 named explicitly, never the system's
// ANSI code page. Bytes and characters without a counterpart are replaced exactly as the
// POSIX half (iconv's CP932) replaces them, so a file reads the same on both systems.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/sjis.h"
#include "encoding/utf8.h"

namespace zel {
namespace {

constexpr UINT kShiftJis = 932;

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Single bytes that Windows maps to private or control characters but CP932 of the C
// library has no character for.
bool IsUnmappedSingle(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = static_cast<int>(wide.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), size, nullptr, nullptr);
  return out;
}

// A character of code page 932 as UTF-16, or nothing when it has none.
bool DecodeOne(std::string_view bytes, std::wstring& out) {
  wchar_t wide[2];
  const int n = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), wide, 2);
  if (n <= 0) return false;
  out.append(wide, static_cast<size_t>(n));
  return true;
}

// Characters that the C library's CP932 writes one way only (reading the bytes back gives
// the full-width or other form); Windows would give '?' for them.
std::string_view OneWayForm(uint32_t cp) {
  struct Pair {
    uint32_t from;
    const char* to;
  };
  static constexpr Pair kOneWay[] = {
      {0x00A2, "\x81\x91"}, {0x00A3, "\x81\x92"}, {0x00A5, "\x5C"},     {0x00AC, "\x81\xCA"},
      {0x2014, "\x81\x5C"}, {0x2016, "\x81\x61"}, {0x203E, "\x7E"},     {0x2212, "\x81\x7C"},
      {0x301C, "\x81\x60"},
  };
  for (const Pair& p : kOneWay) {
    if (p.from == cp) return p.to;
  }
  return {};
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  std::wstring wide;
  wide.reserve(sjis.size());
  size_t i = 0;
  while (i < sjis.size()) {
    // The longest stretch of plain characters goes through in one call.
    size_t end = i;
    while (end < sjis.size()) {
      const auto b = static_cast<unsigned char>(sjis[end]);
      if (IsUnmappedSingle(b)) break;
      if (IsLeadByte(b)) {
        if (end + 1 >= sjis.size()) break;
        end += 2;
      } else {
        ++end;
      }
    }
    if (end > i) {
      const std::string_view run = sjis.substr(i, end - i);
      const int n = static_cast<int>(run.size());
      const int size = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, run.data(), n, nullptr, 0);
      if (size > 0) {
        const size_t at = wide.size();
        wide.resize(at + static_cast<size_t>(size));
        MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, run.data(), n, wide.data() + at, size);
        i = end;
        continue;
      }
    }
    // A pair without a character, or a byte that is none: one replacement, and the next
    // byte starts afresh, as iconv goes on.
    const auto b = static_cast<unsigned char>(sjis[i]);
    const size_t length = IsLeadByte(b) && i + 1 < sjis.size() ? 2 : 1;
    if (!IsUnmappedSingle(b) && DecodeOne(sjis.substr(i, length), wide)) {
      i += length;
    } else {
      wide.push_back(L'\xFFFD');
      ++i;
    }
  }
  return WideToUtf8(wide);
}

std::string Utf8ToSjis(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::wstring run;
  // A string: for a double-byte code page the default character may take two bytes.
  const char* const defaultChar = "?";
  const auto flush = [&] {
    if (run.empty()) return;
    const int n = static_cast<int>(run.size());
    const int size = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, run.data(), n, nullptr,
                                         0, defaultChar, nullptr);
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(size));
    WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, run.data(), n, out.data() + at, size,
                        defaultChar, nullptr);
    run.clear();
  };
  size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      run.push_back(static_cast<wchar_t>(b));
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t cp = 0;
    if (CheckUtf8Character(utf8, i, length, &cp) != Utf8Check::Valid) {
      // One replacement per character: a bad byte goes with its continuation bytes.
      flush();
      out.push_back('?');
      do {
        ++i;
      } while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80);
      continue;
    }
    i += length;
    if (const std::string_view oneWay = OneWayForm(cp); !oneWay.empty()) {
      flush();
      out.append(oneWay);
    } else if (cp > 0xFFFF) {
      flush();
      out.push_back('?');  // nothing past the first plane is in code page 932
    } else {
      run.push_back(static_cast<wchar_t>(cp));
    }
  }
  flush();
  return out;
}

}  // namespace zel
