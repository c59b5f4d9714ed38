#include "dib/dib_forms.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "encoding/little_endian.h"

namespace zel {
namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;
constexpr uint32_t kBiAlphaBitFields = 6;


uint64_t StrideOf(uint64_t width, int bitCount) { return (width * uint64_t(bitCount) + 31) / 32 * 4; }

// The header fields of an info header, the height made positive.
struct Source {
  uint32_t headerSize = 0;
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t coloursUsed = 0;
  uint32_t imageSize = 0;
};

std::optional<Source> ReadSource(std::span<const uint8_t> block) {
  if (block.size() < 16) return std::nullopt;
  const uint8_t* b = block.data();
  Source s;
  s.headerSize = Read32(b);
  if (s.headerSize < 16 || s.headerSize > block.size()) return std::nullopt;
  const auto width = static_cast<int32_t>(Read32(b + 4));
  const auto height = static_cast<int32_t>(Read32(b + 8));
  if (width < 0 || width > 0xFFFF || height < -0xFFFF || height > 0xFFFF) return std::nullopt;
  s.width = width;
  s.height = height < 0 ? -height : height;
  s.topDown = height < 0;
  s.bitCount = Read16(b + 14);
  if (s.headerSize >= 20) s.compression = Read32(b + 16);
  if (s.headerSize >= 24) s.imageSize = Read32(b + 20);
  if (s.headerSize >= 36) s.coloursUsed = Read32(b + 32);
  return s;
}

// A new block: a 40-byte header, a table of `entries` entries and zeroed rows.
std::vector<uint8_t> NewBlock(const Source& s, int bitCount, uint32_t entries) {
  const uint64_t stride = StrideOf(uint64_t(s.width), bitCount);
  std::vector<uint8_t> out(kInfoHeaderSize + size_t{entries} * 4 + stride * uint64_t(s.height));
  Write32(out.data(), kInfoHeaderSize);
  Write32(out.data() + 4, uint32_t(s.width));
  Write32(out.data() + 8, uint32_t(s.height));
  out[12] = 1;
  out[14] = static_cast<uint8_t>(bitCount);
  Write32(out.data() + 20, static_cast<uint32_t>(stride * uint64_t(s.height)));
  Write32(out.data() + 32, entries);
  return out;
}

// ---- Indexed pictures: the table, then rows top-down or run-length coded.

uint32_t TableEntries(const Source& s) {
  return s.coloursUsed != 0 ? s.coloursUsed : 1u << s.bitCount;
}

// A new block carrying the source's table; none when the table does not fit.
std::optional<std::vector<uint8_t>> IndexedBlock(std::span<const uint8_t> block, const Source& s) {
  const uint32_t entries = TableEntries(s);
  if (s.headerSize + uint64_t{entries} * 4 > block.size()) return std::nullopt;
  std::vector<uint8_t> out = NewBlock(s, s.bitCount, entries);
  std::memcpy(out.data() + kInfoHeaderSize, block.data() + s.headerSize, size_t{entries} * 4);
  return out;
}

// Rows stored top row first (any depth without compression), turned bottom-up.
std::optional<std::vector<uint8_t>> FlipRows(std::span<const uint8_t> block, const Source& s) {
  const bool indexed = s.bitCount <= 8;
  const uint32_t entries = indexed ? TableEntries(s) : s.coloursUsed;
  const uint64_t bitsOffset = s.headerSize + uint64_t{entries} * 4;
  const uint64_t stride = StrideOf(uint64_t(s.width), s.bitCount);
  // The rows must be there before room is made for them: a few bytes of header can claim
  // gigabytes.
  if (bitsOffset > block.size() || stride * uint64_t(s.height) > block.size() - bitsOffset)
    return std::nullopt;
  std::optional<std::vector<uint8_t>> out;
  if (indexed) out = IndexedBlock(block, s);
  else out = NewBlock(s, s.bitCount, 0);
  if (!out) return std::nullopt;
  uint8_t* rows = out->data() + (out->size() - stride * uint64_t(s.height));
  for (int y = 0; y < s.height; ++y)
    std::memcpy(rows + stride * uint64_t(s.height - 1 - y), block.data() + bitsOffset + stride * uint64_t(y),
                stride);
  return out;
}

// RLE8 and RLE4: pairs of count and value (a run), or 0 and an escape: 0 ends a row, 1 the
// picture, 2 moves by the next two bytes, 3..255 that many pixels follow as they are,
// padded to an even number of bytes. Pixels past a row's end are dropped; pixels never
// written keep index 0.
std::optional<std::vector<uint8_t>> UnpackRle(std::span<const uint8_t> block, const Source& s) {
  if (s.topDown) return std::nullopt;  // run-length pictures are bottom-up only
  if (uint64_t(s.width) * uint64_t(s.height) > kMaxUnpackedPixels) return std::nullopt;
  auto out = IndexedBlock(block, s);
  if (!out) return std::nullopt;
  const uint64_t bitsOffset = s.headerSize + uint64_t{TableEntries(s)} * 4;
  if (bitsOffset > block.size()) return std::nullopt;
  std::span<const uint8_t> data = block.subspan(static_cast<size_t>(bitsOffset));
  if (s.imageSize != 0 && s.imageSize < data.size()) data = data.first(s.imageSize);

  const bool four = s.bitCount == 4;
  const uint64_t stride = StrideOf(uint64_t(s.width), s.bitCount);
  uint8_t* rows = out->data() + (out->size() - stride * uint64_t(s.height));
  uint64_t x = 0, y = 0;
  auto put = [&](uint8_t index) {
    if (x < uint64_t(s.width) && y < uint64_t(s.height)) {
      uint8_t& byte = rows[stride * y + (four ? x / 2 : x)];
      if (!four) byte = index;
      else if (x % 2 == 0) byte = static_cast<uint8_t>((byte & 0x0F) | index << 4);
      else byte = static_cast<uint8_t>((byte & 0xF0) | (index & 0x0F));
    }
    ++x;
  };
  size_t i = 0;
  while (y < uint64_t(s.height)) {
    if (i == data.size()) break;  // a stream that stops between instructions ends the picture
    if (data.size() - i < 2) return std::nullopt;
    const uint8_t count = data[i], value = data[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k)
        put(!four ? value : k % 2 == 0 ? static_cast<uint8_t>(value >> 4) : static_cast<uint8_t>(value & 0x0F));
      continue;
    }
    if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (data.size() - i < 2) return std::nullopt;
      x += data[i];
      y += data[i + 1];
      i += 2;
    } else {
      const size_t bytes = four ? (size_t{value} + 1) / 2 : value;
      if (data.size() - i < bytes) return std::nullopt;
      for (int k = 0; k < value; ++k) {
        const uint8_t b = data[i + (four ? size_t(k) / 2 : size_t(k))];
        put(!four ? b : k % 2 == 0 ? static_cast<uint8_t>(b >> 4) : static_cast<uint8_t>(b & 0x0F));
      }
      i += std::min(bytes + (bytes & 1), data.size() - i);
    }
  }
  return out;
}

// ---- 16- and 32-bit pictures: each channel one run of bits in a pixel.

struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int width = 0;
  // The channel's value in a pixel, as 0..255.
  uint8_t Level(uint32_t pixel) const {
    if (width == 0) return 0;
    const uint32_t v = (pixel & mask) >> shift;
    if (width >= 8) return static_cast<uint8_t>(v >> (width - 8));
    const uint32_t top = (1u << width) - 1;
    return static_cast<uint8_t>((v * 255 + top / 2) / top);
  }
};

std::optional<Channel> ChannelOf(uint32_t mask) {
  Channel c;
  if (mask == 0) return c;
  c.mask = mask;
  c.shift = std::countr_zero(mask);
  const uint32_t run = mask >> c.shift;
  if ((run & (run + 1)) != 0) return std::nullopt;  // not one run of bits
  c.width = std::popcount(run);
  return c;
}

std::optional<std::vector<uint8_t>> DeepToRgb(std::span<const uint8_t> block, const Source& s) {
  const uint8_t* b = block.data();
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  uint64_t masksAfterHeader = 0;
  if (s.compression == kBiRgb) {
    if (s.bitCount == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else {
      masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
      masks[3] = 0xFF000000;  // used only when some pixel's fourth byte is not 0
    }
  } else {
    // The masks end the longer headers; after the 40-byte one they follow it.
    const bool withAlpha = s.compression == kBiAlphaBitFields;
    const uint32_t h = s.headerSize;
    if (h == kInfoHeaderSize) {
      masksAfterHeader = withAlpha ? 16 : 12;
      if (h + masksAfterHeader > block.size()) return std::nullopt;
      for (int k = 0; k < (withAlpha ? 4 : 3); ++k) masks[k] = Read32(b + h + 4 * k);
    } else if (h == 52 || h == 56 || h == 108 || h == 124) {
      if (withAlpha && h == 52) return std::nullopt;
      for (int k = 0; k < (h >= 56 ? 4 : 3); ++k) masks[k] = Read32(b + 40 + 4 * k);
    } else {
      return std::nullopt;  // other headers of this size mean other things
    }
  }
  Channel channels[4];
  for (int k = 0; k < 4; ++k) {
    const auto c = ChannelOf(masks[k]);
    if (!c) return std::nullopt;
    channels[k] = *c;
  }
  const uint64_t bitsOffset = s.headerSize + masksAfterHeader + uint64_t{s.coloursUsed} * 4;
  const uint64_t stride = StrideOf(uint64_t(s.width), s.bitCount);
  if (bitsOffset > block.size() || stride * uint64_t(s.height) > block.size() - bitsOffset)
    return std::nullopt;
  const uint8_t* in = b + bitsOffset;
  const int bytesPerPixel = s.bitCount / 8;
  auto pixelAt = [&](int x, int y) {
    const uint8_t* p = in + stride * uint64_t(y) + uint64_t(x) * uint64_t(bytesPerPixel);
    return bytesPerPixel == 2 ? uint32_t{Read16(p)} : Read32(p);
  };

  // A picture whose alpha is 0 everywhere means none: it would otherwise vanish.
  bool alpha = false;
  if (channels[3].width != 0)
    for (int y = 0; y < s.height && !alpha; ++y)
      for (int x = 0; x < s.width && !alpha; ++x) alpha = (pixelAt(x, y) & channels[3].mask) != 0;

  std::vector<uint8_t> out = NewBlock(s, 24, 0);
  const uint64_t outStride = StrideOf(uint64_t(s.width), 24);
  uint8_t* rows = out.data() + kInfoHeaderSize;
  for (int y = 0; y < s.height; ++y) {
    uint8_t* row = rows + outStride * uint64_t(s.topDown ? s.height - 1 - y : y);
    for (int x = 0; x < s.width; ++x) {
      const uint32_t pixel = pixelAt(x, y);
      const uint8_t rgb[3] = {channels[0].Level(pixel), channels[1].Level(pixel),
                              channels[2].Level(pixel)};
      const int a = alpha ? channels[3].Level(pixel) : 255;
      // Over white: what a transparent part of a picture shows on a page.
      for (int k = 0; k < 3; ++k)
        row[3 * x + (2 - k)] = static_cast<uint8_t>((rgb[k] * a + 255 * (255 - a) + 127) / 255);
    }
  }
  return out;
}

}  // namespace

std::optional<std::vector<uint8_t>> UnpackDib(std::span<const uint8_t> block) {
  const auto s = ReadSource(block);
  if (!s) return std::nullopt;
  switch (s->compression) {
    case kBiRgb:
      if (s->bitCount == 16 || s->bitCount == 32) return DeepToRgb(block, *s);
      if (s->topDown && (s->bitCount == 1 || s->bitCount == 4 || s->bitCount == 8 ||
                         s->bitCount == 24))
        return FlipRows(block, *s);
      return std::nullopt;
    case kBiBitFields:
    case kBiAlphaBitFields:
      if (s->bitCount == 16 || s->bitCount == 32) return DeepToRgb(block, *s);
      return std::nullopt;
    case kBiRle8:
      return s->bitCount == 8 ? UnpackRle(block, *s) : std::nullopt;
    case kBiRle4:
      return s->bitCount == 4 ? UnpackRle(block, *s) : std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace zel
