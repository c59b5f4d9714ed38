// Code page 932 from tables made from the C library's CP932 (tools/make_cp932), for a
// system whose C library has none, as the browser's has not. It converts exactly as the
// POSIX half does, replacements included; the Linux tests hold the two against each other.
#pragma once

#include <string>
#include <string_view>

namespace zel::cp932 {

std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace zel::cp932
