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

inline std::string Big32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

// A PNG chunk: its length, type, data and the checksum over type and data.
inline std::string PngChunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  uint32_t crc = 0xFFFFFFFF;
  for (char c : body) {
    crc ^= static_cast<uint8_t>(c);
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
  }
  return Big32(static_cast<uint32_t>(data.size())) + body + Big32(~crc);
}

// A PNG (of any honest size) whose header now claims width × height, its checksum mended:
// a few bytes can claim any size.
inline std::string PngClaiming(std::string png, uint32_t width, uint32_t height) {
  if (png.size() < 33) throw std::invalid_argument("PngClaiming: not a PNG with its IHDR chunk");
  const std::string ihdr = PngChunk("IHDR", Big32(width) + Big32(height) + png.substr(24, 5));
  return png.replace(8, 25, ihdr);
}

// A whole, honest black PNG of any size, 8-bit grey, small on disk however large: its
// pixels are one deflate block of a zero and then copies of the 258 bytes before, written
// by hand (a compressor would take seconds to find that for a large picture).
inline std::string BlackPng(uint32_t width, uint32_t height) {
  const uint64_t raw = static_cast<uint64_t>(height) * (width + 1);  // a filter byte a row
  std::string deflate;
  uint32_t bits = 0;
  int count = 0;
  const auto put = [&](uint32_t value, int n) {  // least significant bit first
    for (int i = 0; i < n; ++i) {
      bits |= ((value >> i) & 1u) << count;
      if (++count == 8) deflate += static_cast<char>(bits), bits = 0, count = 0;
    }
  };
  const auto code = [&](uint32_t value, int n) {  // Huffman codes go most significant bit first
    for (int i = n - 1; i >= 0; --i) put((value >> i) & 1u, 1);
  };
  put(1, 1), put(1, 2);  // the last block, fixed codes
  code(0x30, 8);         // the literal 0
  uint64_t left = raw - 1;
  for (; left >= 258; left -= 258) code(0xC5, 8), code(0, 5);  // length 258, distance 1
  for (; left > 0; --left) code(0x30, 8);
  code(0, 7);  // the end of the block
  if (count > 0) deflate += static_cast<char>(bits);
  const uint32_t adler = static_cast<uint32_t>(raw % 65521) << 16 | 1;  // of zeros only
  const std::string zlib = std::string("\x78\x01", 2) + deflate + Big32(adler);
  return std::string("\x89PNG\r\n\x1A\n", 8) +
         PngChunk("IHDR", Big32(width) + Big32(height) + std::string("\x08\0\0\0\0", 5)) +
         PngChunk("IDAT", zlib) + PngChunk("IEND", "");
}

// A PNG damaged as a download cut short can be: after the pixels, a chunk of a comment whose
// length claims more than the file holds, where the file ends.
inline std::string PngWithChunkPastItsEnd(const std::string& png, uint32_t claimed) {
  return png.substr(0, png.size() - 12) + Big32(claimed) + "tEXt" + "Comment";
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
