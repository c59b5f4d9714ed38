// Texts for the Windows API's W functions: the program's UTF-8 and Shift-JIS as UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "encoding/sjis.h"
#include "files/file_names.h"

namespace zel {

inline std::wstring WideFromUtf8(std::string_view utf8) { return PathFromUtf8(utf8).wstring(); }
inline std::wstring WideFromSjis(std::string_view sjis) { return WideFromUtf8(SjisToUtf8(sjis)); }

}  // namespace zel
