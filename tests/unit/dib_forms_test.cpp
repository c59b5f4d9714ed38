// Pictures in the forms drawing programs write, made here byte by byte, load as the same
// picture in a form the rest of the program draws.
#include "dib/dib_forms.h"
#include "dib/packed_dib.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace zel {
namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The picture every case draws, top row first: three columns, so rows need padding.
constexpr int kWidth = 3, kHeight = 2;
const DibRgb kPicture[kHeight][kWidth] = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
    {{255, 255, 255}, {0, 0, 0}, {255, 255, 0}},
};
// The same as indexes into kTable.
const std::array<DibRgb, 6> kTable = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255},
                                       {255, 255, 255}, {0, 0, 0}, {255, 255, 0}}};
const uint8_t kIndex[kHeight][kWidth] = {{0, 1, 2}, {3, 4, 5}};

struct Form {
  uint32_t headerSize = 40;
  int bits = 24;
  uint32_t compression = 0;
  bool topDown = false;
  std::vector<uint32_t> masks{};  // in the header from byte 40, or after a 40-byte one
  uint32_t tableEntries = 0;    // colours used
};

// A .bmp file: file header, info header, masks, table, then the pixel bytes given.
Bytes BmpFile(const Form& f, const Bytes& pixels, int width = kWidth, int height = kHeight) {
  Bytes b;
  Put(b, f.headerSize, 4);
  Put(b, static_cast<uint32_t>(width), 4);
  Put(b, static_cast<uint32_t>(f.topDown ? -height : height), 4);
  Put(b, 1, 2);
  Put(b, static_cast<uint32_t>(f.bits), 2);
  Put(b, f.compression, 4);
  Put(b, static_cast<uint32_t>(pixels.size()), 4);
  Put(b, 2835, 4);
  Put(b, 2835, 4);
  Put(b, f.tableEntries, 4);
  Put(b, 0, 4);
  for (uint32_t m : f.masks) Put(b, m, 4);
  b.resize(std::max<size_t>(b.size(), f.headerSize), 0);  // the rest of a long header
  for (uint32_t i = 0; i < f.tableEntries; ++i) {
    const DibRgb c = i < kTable.size() ? kTable[i] : DibRgb{};
    b.insert(b.end(), {c.blue, c.green, c.red, 0});
  }
  b.insert(b.end(), pixels.begin(), pixels.end());
  Bytes file{'B', 'M'};
  Put(file, static_cast<uint32_t>(14 + b.size()), 4);
  Put(file, 0, 4);
  Put(file, 14 + f.headerSize, 4);
  file.insert(file.end(), b.begin(), b.end());
  return file;
}

// Rows of kPicture, bottom row first unless topDown, each pixel written by `pixel` and each
// row padded to 4 bytes.
Bytes Rows(bool topDown, const std::function<void(Bytes&, int x, int y)>& pixel) {
  Bytes b;
  for (int r = 0; r < kHeight; ++r) {
    const int y = topDown ? r : kHeight - 1 - r;
    const size_t start = b.size();
    for (int x = 0; x < kWidth; ++x) pixel(b, x, y);
    while ((b.size() - start) % 4) b.push_back(0);
  }
  return b;
}
uint32_t Rgb(const DibRgb& c) { return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue; }
// Bytes in the order of packed bits: a byte holds the high pixel first.
Bytes Packed(bool topDown, int bits) {
  return Rows(topDown, [&](Bytes& b, int x, int y) {
    if (bits == 8) b.push_back(kIndex[y][x]);
    else if (x % 2 == 0) b.push_back(static_cast<uint8_t>(kIndex[y][x] << 4));
    else b.back() |= kIndex[y][x];
  });
}

// The colour at (x, y), y = 0 the top row, of a loaded picture of any depth.
DibRgb ColourAt(const PackedDib& dib, int x, int y) {
  const uint8_t* row = DibBits(dib) + DibRowStride(dib) * size_t(DibHeight(dib) - 1 - y);
  const auto table = DibColourTable(dib);
  switch (DibBitCount(dib)) {
    case 24: return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    case 8: return table[row[x]];
    case 4: return table[x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F];
    default: return table[(row[x / 8] >> (7 - x % 8)) & 1];
  }
}

TEST(DibForms, EveryFormLoadsAsTheSamePicture) {
  struct Case {
    const char* what;
    Bytes file;
    int bitsAfter;
  };
  const Case cases[] = {
      {"32-bit, fourth byte 0",
       BmpFile({.bits = 32}, Rows(false, [](Bytes& b, int x, int y) { Put(b, Rgb(kPicture[y][x]), 4); })), 24},
      {"32-bit, bit-field masks after the header, red lowest",
       BmpFile({.bits = 32, .compression = 3, .masks = {0xFF, 0xFF00, 0xFF0000}},
               Rows(false, [](Bytes& b, int x, int y) {
                 const DibRgb c = kPicture[y][x];
                 b.insert(b.end(), {c.red, c.green, c.blue, 0x77});
               })), 24},
      {"32-bit, version 5 header with an opaque alpha mask",
       BmpFile({.headerSize = 124, .bits = 32, .compression = 3,
                .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
               Rows(false, [](Bytes& b, int x, int y) { Put(b, 0xFF000000 | Rgb(kPicture[y][x]), 4); })), 24},
      {"32-bit, top-down",
       BmpFile({.bits = 32, .topDown = true}, Rows(true, [](Bytes& b, int x, int y) { Put(b, Rgb(kPicture[y][x]), 4); })), 24},
      {"16-bit 5-5-5",
       BmpFile({.bits = 16}, Rows(false, [](Bytes& b, int x, int y) {
                 const DibRgb c = kPicture[y][x];
                 Put(b, uint32_t(c.red >> 3) << 10 | uint32_t(c.green >> 3) << 5 | c.blue >> 3, 2);
               })), 24},
      {"16-bit 5-6-5 masks",
       BmpFile({.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}},
               Rows(false, [](Bytes& b, int x, int y) {
                 const DibRgb c = kPicture[y][x];
                 Put(b, uint32_t(c.red >> 3) << 11 | uint32_t(c.green >> 2) << 5 | c.blue >> 3, 2);
               })), 24},
      {"16-bit 5-6-5, version 4 header, top-down",
       BmpFile({.headerSize = 108, .bits = 16, .compression = 3, .topDown = true,
                .masks = {0xF800, 0x07E0, 0x001F, 0}},
               Rows(true, [](Bytes& b, int x, int y) {
                 const DibRgb c = kPicture[y][x];
                 Put(b, uint32_t(c.red >> 3) << 11 | uint32_t(c.green >> 2) << 5 | c.blue >> 3, 2);
               })), 24},
      {"24-bit, top-down",
       BmpFile({.topDown = true}, Rows(true, [](Bytes& b, int x, int y) { Put(b, Rgb(kPicture[y][x]), 3); })), 24},
      {"8-bit, top-down", BmpFile({.bits = 8, .topDown = true, .tableEntries = 6}, Packed(true, 8)), 8},
      {"4-bit, top-down", BmpFile({.bits = 4, .topDown = true, .tableEntries = 6}, Packed(true, 4)), 4},
      // Bottom row: runs of one 3, one 4, two 5 (one past the row's end, dropped), end of
      // line. Top row: three pixels as they are (padded to even), end of picture.
      {"RLE8", BmpFile({.bits = 8, .compression = 1, .tableEntries = 6},
                       {1, 3, 1, 4, 2, 5, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1}), 8},
      // Bottom row: three pixels as they are, end of line. Top row: a delta past its first
      // pixel (left at index 0), a run alternating 1 and 2, end of picture.
      {"RLE4", BmpFile({.bits = 4, .compression = 2, .tableEntries = 6},
                       {0, 3, 0x34, 0x50, 0, 0, 0, 2, 1, 0, 2, 0x12, 0, 1}), 4},
  };
  for (const Case& c : cases) {
    const auto dib = LoadBmpBytes(c.file);
    ASSERT_TRUE(dib) << c.what;
    EXPECT_TRUE(DibIsConsistent(*dib)) << c.what;
    EXPECT_EQ(DibBitCount(*dib), c.bitsAfter) << c.what;
    ASSERT_EQ(DibWidth(*dib), kWidth) << c.what;
    ASSERT_EQ(DibHeight(*dib), kHeight) << c.what;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const DibRgb got = ColourAt(*dib, x, y);
        const DibRgb want = kPicture[y][x];
        EXPECT_TRUE(got == want) << c.what << " at " << x << "," << y << ": " << int(got.red)
                                 << " " << int(got.green) << " " << int(got.blue);
      }
  }
}

TEST(DibForms, AlphaIsLaidOverWhiteAndChannelsAreScaled) {
  // One row: transparent red, half-covering black, opaque blue; as alpha-masked version 5
  // and as plain 32-bit with its fourth byte in use.
  const Bytes row = [] {
    Bytes b;
    Put(b, 0x00FF0000, 4);
    Put(b, 0x80000000, 4);
    Put(b, 0xFF0000FF, 4);
    return b;
  }();
  const DibRgb want[3] = {{255, 255, 255}, {127, 127, 127}, {0, 0, 255}};
  const Bytes files[] = {
      BmpFile({.headerSize = 124, .bits = 32, .compression = 3,
               .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}}, row, 3, 1),
      BmpFile({.bits = 32, .compression = 6, .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}}, row, 3, 1),
      BmpFile({.bits = 32}, row, 3, 1),
  };
  for (const Bytes& file : files) {
    const auto dib = LoadBmpBytes(file);
    ASSERT_TRUE(dib);
    for (int x = 0; x < 3; ++x) EXPECT_TRUE(ColourAt(*dib, x, 0) == want[x]) << x;
  }
  // Alpha 0 everywhere means a picture without alpha, not an empty one.
  const auto clear = LoadBmpBytes(BmpFile({.bits = 32}, {0x00, 0x00, 0xFF, 0x00}, 1, 1));
  ASSERT_TRUE(clear);
  EXPECT_TRUE(ColourAt(*clear, 0, 0) == (DibRgb{255, 0, 0}));

  // Five bits of 16 (binary 10000) are 132 of 255, six bits 32 of 63 are 130.
  Bytes mid;
  Put(mid, 16u << 11 | 32u << 5 | 16u, 2);
  mid.resize(4, 0);
  const auto dib = LoadBmpBytes(BmpFile({.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}}, mid, 1, 1));
  ASSERT_TRUE(dib);
  EXPECT_TRUE(ColourAt(*dib, 0, 0) == (DibRgb{132, 130, 132}));
}

TEST(DibForms, MalformedPicturesAreRefused) {
  const Bytes rows32(kWidth * kHeight * 4, 0x40);
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"masks that are not one run of bits",
       BmpFile({.bits = 32, .compression = 3, .masks = {0xF0F0, 0xFF0000, 0xFF}}, rows32)},
      {"masks cut off by the end", [] {
         Bytes f = BmpFile({.bits = 32, .compression = 3}, {});
         f.insert(f.end(), {0xFF, 0, 0});
         f[2] = static_cast<uint8_t>(f.size());
         return f;
       }()},
      {"bit fields on 8 bits", BmpFile({.bits = 8, .compression = 3, .masks = {0xE0, 0x1C, 0x03}}, Bytes(8, 0))},
      {"bit fields in an OS/2 header", BmpFile({.headerSize = 64, .bits = 32, .compression = 3}, rows32)},
      {"alpha bit fields in a 52-byte header",
       BmpFile({.headerSize = 52, .bits = 32, .compression = 6, .masks = {0xFF0000, 0xFF00, 0xFF}}, rows32)},
      {"32-bit rows one byte short", BmpFile({.bits = 32}, Bytes(rows32.begin(), rows32.end() - 1))},
      {"RLE8 pixels as they are, cut off", BmpFile({.bits = 8, .compression = 1, .tableEntries = 6}, {0, 3, 1, 2})},
      {"RLE8 delta cut off", BmpFile({.bits = 8, .compression = 1, .tableEntries = 6}, {1, 1, 0, 2, 1})},
      {"RLE8 half an instruction", BmpFile({.bits = 8, .compression = 1, .tableEntries = 6}, {3})},
      {"RLE4 on 8 bits", BmpFile({.bits = 8, .compression = 2, .tableEntries = 6}, {0, 1})},
      {"RLE8 top-down", BmpFile({.bits = 8, .compression = 1, .topDown = true, .tableEntries = 6}, {0, 1})},
      {"RLE8 table cut off", BmpFile({.bits = 8, .compression = 1}, {})},
      {"RLE8 larger than any picture", BmpFile({.bits = 8, .compression = 1, .tableEntries = 2}, {0, 1}, 65535, 65535)},
      {"JPEG inside", BmpFile({.bits = 24, .compression = 4}, Bytes(24, 0))},
      {"top-down taller than 16 bits", BmpFile({.bits = 8, .topDown = true, .tableEntries = 2}, Bytes(4 * 65536, 0), 1, 65536)},
      {"top-down rows claimed but missing", BmpFile({.bits = 24, .topDown = true}, Bytes(64, 0), 300, 200)},
  };
  for (const Case& c : cases) EXPECT_FALSE(LoadBmpBytes(c.file)) << c.what;
}

}  // namespace
}  // namespace zel
