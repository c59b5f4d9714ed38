// Small .bmp files built in memory for tests.
#pragma once

#include <cstdint>
#include <string>

#include "support/little_endian.h"

namespace zel::testing {


// A 24-bit picture of one colour, or of a gradient when gradient is set (many colours).
inline std::string MakeBmp24(int width, int height, uint32_t rgb, bool gradient = false) {
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string bmp = "BM";
  PutLe(bmp, 54 + stride * height, 4);
  PutLe(bmp, 0, 4);
  PutLe(bmp, 54, 4);
  PutLe(bmp, 40, 4);
  PutLe(bmp, width, 4);
  PutLe(bmp, height, 4);
  PutLe(bmp, 1, 2);
  PutLe(bmp, 24, 2);
  for (int i = 0; i < 6; ++i) PutLe(bmp, 0, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t c = gradient ? (x * 255 / width) << 16 | (y * 255 / height) << 8 | 0x40 : rgb;
      PutLe(bmp, c & 0xFF, 1);         // blue
      PutLe(bmp, c >> 8 & 0xFF, 1);    // green
      PutLe(bmp, c >> 16 & 0xFF, 1);   // red
    }
    for (int p = width * 3; p < stride; ++p) bmp.push_back('\0');
  }
  return bmp;
}

}  // namespace zel::testing
