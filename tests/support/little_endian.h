// Writing little-endian fields, for the files tests build in memory.
#pragma once

#include <cstdint>

namespace zel::testing {

// Appends the low `bytes` bytes of value to a byte container (std::string or a vector).
template <typename Bytes>
void PutLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<typename Bytes::value_type>(value >> (8 * i) & 0xFF));
}
template <typename Bytes>
void Put16(Bytes& out, uint32_t value) { PutLe(out, value, 2); }
template <typename Bytes>
void Put32(Bytes& out, uint32_t value) { PutLe(out, value, 4); }

}  // namespace zel::testing
