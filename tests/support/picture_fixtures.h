// Picture files as phones and the web make them, and hostile ones, built in memory from
// bytes any encoder gives: the platforms' decoder tests share them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace zel::testing {

// A JPEG as a phone writes it: the pixels as the sensor saw them and an EXIF orientation
// (6: turn a quarter clockwise to show it) in an APP1 segment right after the start marker.
inline std::string WithExifOrientation(const std::string& jpeg, int orientation) {
  std::string tiff("II*\0\x08\0\0\0", 8);
  tiff += std::string("\x01\0", 2);                                  // one entry
  tiff += std::string("\x12\x01\x03\0\x01\0\0\0", 8);                // orientation, SHORT, 1
  tiff += std::string(1, static_cast<char>(orientation)) + std::string(3, '\0');
  tiff += std::string(4, '\0');                                       // no next directory
  const std::string payload = std::string("Exif\0\0", 6) + tiff;
  const size_t length = payload.size() + 2;
  const std::string segment = std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) +
                              static_cast<char>(length & 0xFF) + payload;
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

// A PNG (of any honest size) whose header now claims width × height, its checksum mended:
// a few bytes can claim any size.
inline std::string PngClaiming(std::string png, uint32_t width, uint32_t height) {
  if (png.size() < 33) throw std::invalid_argument("PngClaiming: not a PNG with its IHDR chunk");
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + static_cast<size_t>(i)] = static_cast<char>(v >> (24 - 8 * i));
  };
  put32(16, width);  // IHDR's width and height
  put32(20, height);
  uint32_t crc = 0xFFFFFFFF;  // over the chunk type and data
  for (size_t i = 12; i < 29; ++i) {
    crc ^= static_cast<uint8_t>(png[i]);
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
  }
  put32(29, ~crc);
  return png;
}

// A moving GIF of two 1 × 1 frames over a table of red and blue: the first red, the second
// blue. The second frame's descriptor may claim another size.
inline std::string TwoFrameGif(uint16_t secondWidth = 1, uint16_t secondHeight = 1) {
  const char size[] = {static_cast<char>(secondWidth & 0xFF), static_cast<char>(secondWidth >> 8),
                       static_cast<char>(secondHeight & 0xFF), static_cast<char>(secondHeight >> 8)};
  return std::string("GIF89a\x01\0\x01\0\x80\0\0", 13) + std::string("\xFF\0\0\0\0\xFF", 6) +
         std::string("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0", 15) +
         std::string("\x21\xF9\x04\0\0\0\0\0", 8) + std::string("\x2C\0\0\0\0", 5) + std::string(size, 4) +
         std::string("\0\x02\x02\x4C\x01\0", 6) + "\x3B";
}

}  // namespace zel::testing
