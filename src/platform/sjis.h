// The one place where the program's Shift-JIS (code page 932) text meets Unicode.
#pragma once

#include <string>
#include <string_view>

namespace zel {

// Bytes that are not valid Shift-JIS become U+FFFD; the conversion never fails.
std::string SjisToUtf8(std::string_view sjis);

// Characters that Shift-JIS cannot hold, and invalid UTF-8, become '?'.
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace zel
