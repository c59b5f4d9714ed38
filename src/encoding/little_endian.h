// Numbers stored least significant byte first, as in the .bmp and .wav formats.
#pragma once

#include <cstdint>

namespace zel {

inline uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Read32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void Write16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Write32(uint8_t* p, uint32_t v) {
  Write16(p, v);
  Write16(p + 2, v >> 16);
}

}  // namespace zel
