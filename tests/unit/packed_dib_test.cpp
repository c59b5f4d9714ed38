#include "dib/packed_dib.h"

#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
  Put16(b, at, v);
  Put16(b, at + 2, v >> 16);
}

// The header fields a test sets; a header size of 12 writes the core form.
struct Header {
  uint32_t size = 40;
  int32_t width = 5;
  int32_t height = 3;
  uint16_t bits = 8;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
};

// A block: the header, then the table (3 or 4 bytes an entry by the header form), then
// pixelBytes bytes of a pattern.
Bytes MakeBlock(const Header& h, const std::vector<DibRgb>& table, size_t pixelBytes) {
  const bool core = h.size == 12;
  const size_t entrySize = core ? 3 : 4;
  Bytes b(h.size + table.size() * entrySize + pixelBytes, 0);
  Put32(b, 0, h.size);
  if (core) {
    Put16(b, 4, static_cast<uint32_t>(h.width));
    Put16(b, 6, static_cast<uint32_t>(h.height));
    Put16(b, 8, 1);
    Put16(b, 10, h.bits);
  } else {
    Put32(b, 4, static_cast<uint32_t>(h.width));
    Put32(b, 8, static_cast<uint32_t>(h.height));
    Put16(b, 12, 1);
    Put16(b, 14, h.bits);
    if (h.size >= 20) Put32(b, 16, h.compression);
    if (h.size >= 36) Put32(b, 32, h.coloursUsed);
  }
  size_t at = h.size;
  for (const DibRgb& c : table) {
    b[at] = c.blue;
    b[at + 1] = c.green;
    b[at + 2] = c.red;
    at += entrySize;
  }
  for (size_t i = 0; i < pixelBytes; ++i) b[at + i] = static_cast<uint8_t>(i * 7 + 1);
  return b;
}

// Distinct colours for a table of n entries.
std::vector<DibRgb> Table(size_t n) {
  std::vector<DibRgb> t;
  for (size_t i = 0; i < n; ++i)
    t.push_back(
        {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3)});
  return t;
}

// The block behind a file header stating its size (or statedSize when given).
Bytes AsFile(const Bytes& block, std::optional<uint32_t> statedSize = std::nullopt) {
  Bytes file(14 + block.size(), 0);
  std::copy(block.begin(), block.end(), file.begin() + 14);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, statedSize.value_or(static_cast<uint32_t>(block.size() + 14)));
  Put32(file, 10, 14 + 40);
  return file;
}

TEST(PackedDib, BothHeaderFormsGiveSizeTableAndRows) {
  struct Case {
    const char* name;
    Header header;
    size_t tableEntries;
    size_t stride;  // by hand from width and depth
    uint16_t paletteCount;
  };
  const Case cases[] = {
      {"core 8-bit", {12, 5, 3, 8}, 256, 8, 256},
      {"core 4-bit", {12, 5, 3, 4}, 16, 4, 16},
      {"core 24-bit", {12, 5, 3, 24}, 0, 16, 256},
      {"info 8-bit", {40, 5, 3, 8}, 256, 8, 256},
      {"info 1-bit, wider than a byte holds", {40, 300, 2, 1}, 2, 40, 2},
      {"info 1-bit, 33 wide", {40, 33, 2, 1}, 2, 8, 2},
      {"info 24-bit", {40, 5, 3, 24}, 0, 16, 256},
      {"short 16-byte info header", {16, 5, 3, 8}, 256, 8, 256},
      {"36-byte header with colours used", {36, 5, 3, 8, 0, 20}, 20, 8, 20},
      {"colours used on a 4-bit picture", {40, 5, 3, 4, 0, 3}, 3, 4, 3},
      {"colours used on a 24-bit picture", {40, 5, 3, 24, 0, 2}, 2, 16, 2},
      {"colours used past 256 on a 24-bit one", {40, 1, 1, 24, 0, 300}, 300, 4, 256},
      {"large info header", {124, 5, 3, 24}, 0, 16, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes block =
        MakeBlock(c.header, Table(c.tableEntries), c.stride * static_cast<size_t>(c.header.height));
    const auto dib = PackedDib::FromBlock(block);
    ASSERT_TRUE(dib);
    EXPECT_EQ(DibWidth(*dib), c.header.width);
    EXPECT_EQ(DibHeight(*dib), c.header.height);
    EXPECT_EQ(DibBitCount(*dib), c.header.bits);
    EXPECT_EQ(DibRowStride(*dib), c.stride);
    const size_t entrySize = c.header.size == 12 ? 3 : 4;
    const size_t bitsAt = c.header.size + c.tableEntries * entrySize;
    EXPECT_EQ(DibBits(*dib) - dib->Block().data(), static_cast<ptrdiff_t>(bitsAt));
    EXPECT_EQ(DibBits(*dib)[0], block[bitsAt]);
    EXPECT_TRUE(DibIsConsistent(*dib));

    const DibPalette palette = MakeDibPalette(*dib);
    EXPECT_EQ(palette.count, c.paletteCount);
    for (size_t i = 0; i < palette.count; ++i) {
      const DibRgb expected = c.header.bits == 24 ? FallbackPalette[i] : Table(c.tableEntries)[i];
      ASSERT_EQ(palette.entries[i], expected) << i;
    }
  }
}

TEST(PackedDib, ColourTableForDrawingIsBlackPastTheBlocksTable) {
  const Bytes block = MakeBlock({40, 2, 2, 8, 0, 3}, Table(3), 8);
  auto dib = PackedDib::FromBlock(block);
  ASSERT_TRUE(dib);
  const auto table = DibColourTable(*dib);
  for (size_t i = 0; i < 256; ++i) EXPECT_EQ(table[i], i < 3 ? Table(3)[i] : DibRgb{}) << i;

  // Writing stays inside the table: past it the first pixel row is untouched.
  const uint8_t firstPixel = DibBits(*dib)[0];
  SetDibColour(*dib, 3, {9, 9, 9});
  SetDibColour(*dib, 2, {1, 2, 3});
  EXPECT_EQ(DibBits(*dib)[0], firstPixel);
  EXPECT_EQ(DibColourTable(*dib)[2], (DibRgb{1, 2, 3}));
  EXPECT_EQ(DibColourTable(*dib)[3], DibRgb{});
}

TEST(PackedDib, FallbackPaletteFollowsItsRamps) {
  const std::vector<DibRgb> first = {
      {0, 0, 0},     {255, 255, 255}, {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128},
      {128, 0, 128}, {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240}};
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(FallbackPalette[i], first[i]) << i;

  // The first two ramps: the orange one as the table of ramps lists it, then (255, 85, 0)
  // worked out by hand from the channel rules.
  const std::vector<DibRgb> orange = {{255, 240, 212}, {255, 226, 177}, {255, 212, 142},
                                      {255, 198, 107}, {255, 184, 72},  {255, 170, 37},
                                      {255, 170, 0},   {220, 146, 0},   {185, 122, 0},
                                      {150, 98, 0},    {115, 74, 0},    {80, 50, 0}};
  const std::vector<DibRgb> redOrange = {{255, 227, 212}, {255, 199, 177}, {255, 171, 142},
                                         {255, 143, 107}, {255, 115, 72},  {255, 87, 37},
                                         {255, 85, 0},    {220, 73, 0},    {185, 61, 0},
                                         {150, 49, 0},    {115, 37, 0},    {80, 25, 0}};
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(FallbackPalette[11 + i], orange[i]) << i;
    EXPECT_EQ(FallbackPalette[23 + i], redOrange[i]) << i;
  }

  const DibRgb pure[] = {{255, 170, 0}, {255, 85, 0},  {254, 0, 0},   {255, 0, 85}, {255, 0, 170},
                         {254, 0, 254}, {170, 0, 255}, {85, 0, 255},  {0, 0, 254},  {0, 85, 255},
                         {0, 170, 255}, {0, 254, 254}, {0, 255, 170}, {0, 255, 85}, {0, 254, 0},
                         {85, 255, 0},  {170, 255, 0}, {254, 254, 0}};
  for (size_t h = 0; h < 18; ++h) {
    EXPECT_EQ(FallbackPalette[17 + 12 * h], pure[h]) << h;
    // 254 counts as full: its tints are white in that channel, its darkest shade 80.
    EXPECT_EQ(FallbackPalette[22 + 12 * h].red, pure[h].red == 0     ? 0
                                                : pure[h].red == 85  ? 25
                                                : pure[h].red == 170 ? 50
                                                                     : 80)
        << h;
  }
  EXPECT_EQ(FallbackPalette[11 + 12 * 2], (DibRgb{255, 212, 212}));  // lightest tint of red

  for (int k = 0; k < 20; ++k) {
    const auto grey = static_cast<uint8_t>(242 - 12 * k);
    EXPECT_EQ(FallbackPalette[227 + k], (DibRgb{grey, grey, grey})) << k;
  }
  EXPECT_EQ(FallbackPalette[246], (DibRgb{14, 14, 14}));
  const std::vector<DibRgb> last = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128},
                                    {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255},   {0, 255, 255}};
  for (size_t i = 0; i < last.size(); ++i) EXPECT_EQ(FallbackPalette[247 + i], last[i]) << i;
}

TEST(PackedDib, LoadingTakesTheStatedSizeAndRefusesWhatDoesNotFit) {
  const Bytes good = MakeBlock({40, 5, 3, 8}, Table(256), 24);
  struct Case {
    const char* name;
    Bytes file;
    bool loads;
  };
  Bytes notBm = AsFile(good);
  notBm[0] = 'M';
  notBm[1] = 'B';
  Bytes trailing = AsFile(good);
  trailing.insert(trailing.end(), 100, 0xEE);
  const Case cases[] = {
      {"exact fit", AsFile(good), true},
      {"bytes past the stated size are left out", trailing, true},
      {"a 0 x 0 picture", AsFile(MakeBlock({40, 0, 0, 24}, {}, 0)), true},
      {"shorter than a file header", Bytes{'B', 'M', 60, 0, 0, 0, 0, 0}, false},
      {"not BM", notBm, false},
      {"stated size 14", AsFile(good, 14), false},
      {"stated size below 14", AsFile(good, 3), false},
      {"stated size past the end: a short read", AsFile(good, good.size() + 15), false},
      {"stated size 4 GB", AsFile(good, 0xFFFFFFFF), false},
      {"header size 11", AsFile(MakeBlock({11, 5, 3, 8}, Table(256), 24)), false},
      {"header size 13", AsFile(MakeBlock({13, 5, 3, 8}, Table(256), 24)), false},
      {"header size 15", AsFile(MakeBlock({15, 5, 3, 8}, Table(256), 24)), false},
      {"header larger than the block", AsFile(Bytes{200, 0, 0, 0, 5, 0, 3, 0, 1, 0, 8, 0}), false},
      {"block too short for a header size", AsFile(Bytes{40, 0}), false},
      {"colour table cut off", AsFile(MakeBlock({40, 5, 3, 8}, Table(255), 0)), false},
      {"colours used past the block",
       AsFile(MakeBlock({40, 5, 3, 8, 0, 0x40000000}, Table(256), 24)), false},
      {"last row one byte short", AsFile(MakeBlock({40, 5, 3, 8}, Table(256), 23)), false},
      {"core rows one byte short", AsFile(MakeBlock({12, 5, 3, 24}, {}, 47)), false},
      {"16 bits per pixel, last row short", AsFile(MakeBlock({40, 5, 3, 16}, {}, 35)), false},
      {"32 bits per pixel, last row short", AsFile(MakeBlock({40, 5, 3, 32}, {}, 59)), false},
      {"2 bits per pixel", AsFile(MakeBlock({40, 5, 3, 2}, Table(4), 12)), false},
      {"0 bits per pixel", AsFile(MakeBlock({40, 5, 3, 0}, {}, 48)), false},
      {"run-length compressed 24 bits", AsFile(MakeBlock({40, 5, 3, 24, 1}, {}, 48)), false},
      {"top-down rows, last row short", AsFile(MakeBlock({40, 5, -3, 8}, Table(256), 23)), false},
      {"negative width", AsFile(MakeBlock({40, -5, 3, 8}, Table(256), 24)), false},
      {"wider than 16 bits", AsFile(MakeBlock({40, 65537, 1, 1}, Table(2), 8196)), false},
  };
  for (const Case& c : cases) {
    const auto dib = LoadBmpBytes(c.file);
    EXPECT_EQ(dib.has_value(), c.loads) << c.name;
    if (dib) {
      EXPECT_TRUE(DibIsConsistent(*dib)) << c.name;
    }
  }
  const auto dib = LoadBmpBytes(trailing);
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->Block().size(), good.size());
  EXPECT_TRUE(std::equal(good.begin(), good.end(), dib->Block().begin()));
}

TEST(PackedDib, HeadersLongerThanTheirBlockAreRefusedUnread) {
  // Exactly sized blocks, so a read past one shows under the address sanitizer.
  const Bytes blocks[] = {{},
                          {12, 0, 0},
                          {40, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 1, 0, 8, 0},
                          {200, 0, 0, 0, 5, 0, 3, 0, 1, 0, 8, 0},
                          {12, 0, 0, 0, 5, 0, 3, 0, 1, 0}};
  for (const Bytes& block : blocks) EXPECT_FALSE(PackedDib::FromBlock(block)) << block.size();
}

class LoadBmpFileTest : public ::testing::Test {
 protected:
  std::string Store(const std::string& name, const Bytes& bytes) const {
    return scratch.Write(name, bytes);
  }
  testing::ScratchDir scratch{"packed_dib"};
  const fs::path& dir = scratch.path();
};

TEST_F(LoadBmpFileTest, ReadsAFileAsItsBytesWouldLoad) {
  const Bytes block = MakeBlock({12, 7, 2, 24}, {}, 48);
  const auto dib = LoadBmpFile(Store("picture.bmp", AsFile(block)));
  ASSERT_TRUE(dib);
  EXPECT_EQ(DibWidth(*dib), 7);
  EXPECT_EQ(DibBitCount(*dib), 24);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), dib->Block().begin(), dib->Block().end()));
}

TEST_F(LoadBmpFileTest, RefusesMissingShortAndOddFiles) {
  const Bytes block = MakeBlock({40, 5, 3, 8}, Table(256), 24);
  EXPECT_FALSE(LoadBmpFile((dir / "missing.bmp").string()));
  EXPECT_FALSE(LoadBmpFile(dir.string()));  // a directory
  EXPECT_FALSE(LoadBmpFile(Store("empty.bmp", {})));
  EXPECT_FALSE(LoadBmpFile(Store("long.bmp", AsFile(block, block.size() + 15 + 1))));
  Bytes cutRle = MakeBlock({40, 5, 3, 8, 1}, Table(256), 0);
  cutRle.insert(cutRle.end(), {0, 5, 1, 2});  // five pixels as they are, two given
  EXPECT_FALSE(LoadBmpFile(Store("rle.bmp", AsFile(cutRle))));
  EXPECT_FALSE(LoadBmpFile(Store("h13.bmp", AsFile(MakeBlock({13, 5, 3, 8}, Table(256), 24)))));
}

TEST(PackedDib, NewDibMakesAnEmptyPictureWithBlackAndWhite) {
  struct Case {
    int width, height;
    DibKind kind;
    uint16_t bits;
  };
  // Odd widths test that the rows, padded to 4 bytes, fit in the block as sized.
  const Case cases[] = {{1, 1, DibKind::Bits1, 1},    {31, 7, DibKind::Bits1, 1},
                        {33, 5, DibKind::Bits1, 1},   {1, 3, DibKind::Bits8, 8},
                        {5, 9, DibKind::Bits8, 8},    {0, 4, DibKind::Bits8, 8},
                        {32767, 2, DibKind::Bits1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    auto dib = NewDib(c.width, c.height, c.kind);
    ASSERT_TRUE(dib);
    EXPECT_TRUE(DibIsConsistent(*dib));
    const DibLayout& l = dib->Layout();
    EXPECT_EQ(l.headerSize, 40u);
    EXPECT_EQ(DibWidth(*dib), c.width);
    EXPECT_EQ(DibHeight(*dib), c.height);
    EXPECT_EQ(DibBitCount(*dib), c.bits);
    const uint8_t* h = dib->Block().data();
    EXPECT_EQ(h[12] | h[13] << 8, 1);  // planes
    for (int at = 16; at < 40; ++at) ASSERT_EQ(h[at], 0) << at;
    const auto table = DibColourTable(*dib);
    EXPECT_EQ(table[0], (DibRgb{0, 0, 0}));
    EXPECT_EQ(table[1], (DibRgb{255, 255, 255}));
    for (size_t i = 2; i < 256; ++i) ASSERT_EQ(table[i], DibRgb{}) << i;
    // All of every row can be written.
    uint8_t* bits = DibBits(*dib);
    std::fill_n(bits, l.stride * static_cast<size_t>(c.height), 0xFF);
    EXPECT_LE(l.bitsOffset + l.stride * static_cast<size_t>(c.height), dib->Block().size());
  }
}

TEST(PackedDib, NewDibRefusesSizesItCannotHold) {
  for (auto [w, h] : {std::pair{-1, 10}, {10, -1}, {32768, 1}, {1, 32768}, {70000, 70000}}) {
    EXPECT_FALSE(NewDib(w, h, DibKind::Bits8)) << w << "x" << h;
    EXPECT_FALSE(NewDib(w, h, DibKind::Bits1)) << w << "x" << h;
  }
}

TEST(PackedDib, AMovedFromPictureIsEmpty) {
  auto dib = NewDib(4, 4, DibKind::Bits8);
  ASSERT_TRUE(dib);
  PackedDib taken = std::move(*dib);
  EXPECT_TRUE(DibIsConsistent(taken));
  EXPECT_FALSE(DibIsConsistent(*dib));
  EXPECT_EQ(DibBits(*dib), nullptr);
  EXPECT_EQ(DibWidth(*dib), 0);
  EXPECT_EQ(MakeDibPalette(*dib).count, 0);
}

}  // namespace
}  // namespace zel
