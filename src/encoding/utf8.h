// Reading one UTF-8 character, shared by the Shift-JIS conversion's halves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zel {

enum class Utf8Check { Valid, Invalid, CutOff };

// The UTF-8 character starting at bytes[i], a byte past ASCII: its length (and code point)
// when valid; CutOff when the bytes end inside it.
Utf8Check CheckUtf8Character(std::string_view bytes, size_t i, size_t& length,
                             uint32_t* codePoint = nullptr);

}  // namespace zel
