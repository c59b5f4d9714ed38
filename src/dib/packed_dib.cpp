#include "dib/packed_dib.h"

#include "dib/dib_forms.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

#include "encoding/little_endian.h"
#include "files/file_names.h"

namespace zel {

struct DibAccess {
  // Takes storage from malloc or calloc holding the block; frees it when the block is
  // refused.
  static std::optional<PackedDib> Adopt(void* storage, uint8_t* block, size_t size) {
    const auto layout = CheckDib({block, size});
    if (!layout) {
      std::free(storage);
      return std::nullopt;
    }
    return PackedDib(storage, block, size, *layout);
  }
  static uint8_t* Block(PackedDib& dib) { return dib.block_; }
};

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr size_t kFileHeaderSize = 14;


// The colours-used field, where the header has one.
uint32_t ColoursUsed(std::span<const uint8_t> block, uint32_t headerSize) {
  return headerSize >= 36 ? Read32(block.data() + 32) : 0;
}

// The block size a file header states, when it is a .bmp file header at all.
std::optional<size_t> StatedBlockSize(const uint8_t* fileHeader) {
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return std::nullopt;
  const uint32_t stated = Read32(fileHeader + 2);
  if (stated <= kFileHeaderSize) return std::nullopt;
  return stated - kFileHeaderSize;
}

constexpr std::array<DibRgb, 256> MakeFallbackPalette() {
  std::array<DibRgb, 256> p{};
  constexpr DibRgb kFirst[] = {{0, 0, 0},       {255, 255, 255}, {128, 0, 0},    {0, 128, 0},
                               {128, 128, 0},   {0, 0, 128},     {128, 0, 128},  {0, 128, 128},
                               {192, 192, 192}, {192, 220, 192}, {166, 202, 240}};
  constexpr DibRgb kPure[] = {
      {255, 170, 0}, {255, 85, 0}, {254, 0, 0}, {255, 0, 85}, {255, 0, 170}, {254, 0, 254},
      {170, 0, 255}, {85, 0, 255}, {0, 0, 254}, {0, 85, 255}, {0, 170, 255}, {0, 254, 254},
      {0, 255, 170}, {0, 255, 85}, {0, 254, 0}, {85, 255, 0}, {170, 255, 0}, {254, 254, 0}};
  constexpr DibRgb kLast[] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128},
                              {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                              {0, 0, 255},     {255, 0, 255},   {0, 255, 255}};
  // Per channel value of the pure colour (0, 85, 170, 254/255): six tints, lightest
  // first, then five shades, darkest last.
  constexpr uint8_t kTints[4][6] = {{212, 177, 142, 107, 72, 37},
                                    {227, 199, 171, 143, 115, 87},
                                    {240, 226, 212, 198, 184, 170},
                                    {255, 255, 255, 255, 255, 255}};
  constexpr uint8_t kShades[4][5] = {
      {0, 0, 0, 0, 0}, {73, 61, 49, 37, 25}, {146, 122, 98, 74, 50}, {220, 185, 150, 115, 80}};
  auto level = [](uint8_t v) { return v == 0 ? 0 : v == 85 ? 1 : v == 170 ? 2 : 3; };

  for (int i = 0; i < 11; ++i) p[i] = kFirst[i];
  for (int h = 0; h < 18; ++h) {
    const DibRgb pure = kPure[h];
    const int r = level(pure.red), g = level(pure.green), b = level(pure.blue);
    const int first = 11 + 12 * h;
    for (int t = 0; t < 6; ++t) p[first + t] = {kTints[r][t], kTints[g][t], kTints[b][t]};
    p[first + 6] = pure;
    for (int s = 0; s < 5; ++s) p[first + 7 + s] = {kShades[r][s], kShades[g][s], kShades[b][s]};
  }
  for (int k = 0; k < 20; ++k) {
    const auto grey = static_cast<uint8_t>(242 - 12 * k);
    p[227 + k] = {grey, grey, grey};
  }
  for (int i = 0; i < 9; ++i) p[247 + i] = kLast[i];
  return p;
}

}  // namespace

constinit const std::array<DibRgb, 256> FallbackPalette = MakeFallbackPalette();

std::optional<DibLayout> CheckDib(std::span<const uint8_t> block) {
  if (block.size() < 4) return std::nullopt;
  const uint8_t* b = block.data();
  DibLayout l;
  l.headerSize = Read32(b);
  if (l.headerSize < kCoreHeaderSize || (l.headerSize > kCoreHeaderSize && l.headerSize < 16) ||
      l.headerSize > block.size())
    return std::nullopt;

  uint32_t coloursUsed = 0;
  if (l.headerSize == kCoreHeaderSize) {
    l.width = Read16(b + 4);
    l.height = Read16(b + 6);
    l.bitCount = Read16(b + 10);
    l.entrySize = 3;
  } else {
    // The program reads 16-bit sizes and draws rows bottom-up: wider, taller or top-down
    // pictures would be drawn from the wrong bytes.
    const auto width = static_cast<int32_t>(Read32(b + 4));
    const auto height = static_cast<int32_t>(Read32(b + 8));
    if (width < 0 || width > 0xFFFF || height < 0 || height > 0xFFFF) return std::nullopt;
    l.width = width;
    l.height = height;
    l.bitCount = Read16(b + 14);
    if (l.headerSize >= 20 && Read32(b + 16) != 0) return std::nullopt;  // compressed
    coloursUsed = ColoursUsed(block, l.headerSize);
    l.entrySize = 4;
  }
  if (l.bitCount != 1 && l.bitCount != 4 && l.bitCount != 8 && l.bitCount != 24)
    return std::nullopt;

  l.colourEntries = coloursUsed != 0 ? coloursUsed : l.bitCount == 24 ? 0 : 1u << l.bitCount;
  const uint64_t bitsOffset = l.headerSize + uint64_t{l.colourEntries} * l.entrySize;
  const uint64_t stride = (uint64_t(l.width) * uint64_t(l.bitCount) + 31) / 32 * 4;
  if (bitsOffset > block.size() || stride * uint64_t(l.height) > block.size() - bitsOffset)
    return std::nullopt;
  l.bitsOffset = static_cast<size_t>(bitsOffset);
  l.stride = static_cast<size_t>(stride);
  return l;
}

std::optional<PackedDib> PackedDib::FromBlock(std::span<const uint8_t> block) {
  if (!CheckDib(block)) return std::nullopt;
  auto* copy = static_cast<uint8_t*>(std::malloc(block.size()));
  if (copy == nullptr) return std::nullopt;
  std::memcpy(copy, block.data(), block.size());
  return DibAccess::Adopt(copy, copy, block.size());
}

PackedDib::PackedDib(PackedDib&& other) noexcept
    : storage_(std::exchange(other.storage_, nullptr)),
      block_(std::exchange(other.block_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      layout_(std::exchange(other.layout_, {})) {}

PackedDib& PackedDib::operator=(PackedDib&& other) noexcept {
  if (this != &other) {
    std::free(storage_);
    storage_ = std::exchange(other.storage_, nullptr);
    block_ = std::exchange(other.block_, nullptr);
    size_ = std::exchange(other.size_, 0);
    layout_ = std::exchange(other.layout_, {});
  }
  return *this;
}

PackedDib::~PackedDib() { std::free(storage_); }

uint16_t DibWidth(const PackedDib& dib) { return static_cast<uint16_t>(dib.Layout().width); }
uint16_t DibHeight(const PackedDib& dib) { return static_cast<uint16_t>(dib.Layout().height); }
uint16_t DibBitCount(const PackedDib& dib) { return static_cast<uint16_t>(dib.Layout().bitCount); }
const uint8_t* DibBits(const PackedDib& dib) {
  return dib.Block().empty() ? nullptr : dib.Block().data() + dib.Layout().bitsOffset;
}
uint8_t* DibBits(PackedDib& dib) {
  uint8_t* block = DibAccess::Block(dib);
  return block == nullptr ? nullptr : block + dib.Layout().bitsOffset;
}
size_t DibRowStride(const PackedDib& dib) { return dib.Layout().stride; }

std::array<DibRgb, 256> DibColourTable(const PackedDib& dib) {
  std::array<DibRgb, 256> table{};
  const DibLayout& l = dib.Layout();
  const uint32_t count = std::min<uint32_t>(l.colourEntries, 256);
  const uint8_t* entry = dib.Block().data() + l.headerSize;
  for (uint32_t i = 0; i < count; ++i, entry += l.entrySize)
    table[i] = {entry[2], entry[1], entry[0]};
  return table;
}

void SetDibColour(PackedDib& dib, uint32_t index, DibRgb colour) {
  const DibLayout& l = dib.Layout();
  if (index >= l.colourEntries) return;
  uint8_t* entry = DibAccess::Block(dib) + l.headerSize + size_t{index} * l.entrySize;
  entry[0] = colour.blue;
  entry[1] = colour.green;
  entry[2] = colour.red;
  if (l.entrySize == 4) entry[3] = 0;
}

bool DibIsConsistent(const PackedDib& dib) {
  if (dib.Block().empty()) return false;
  const auto layout = CheckDib(dib.Block());
  return layout && *layout == dib.Layout();
}

std::optional<PackedDib> LoadBmpBytes(std::span<const uint8_t> file) {
  if (file.size() < kFileHeaderSize) return std::nullopt;
  const auto size = StatedBlockSize(file.data());
  if (!size || *size > file.size() - kFileHeaderSize) return std::nullopt;  // a short read
  const auto block = file.subspan(kFileHeaderSize, *size);
  if (CheckDib(block)) return PackedDib::FromBlock(block);
  const auto unpacked = UnpackDib(block);
  if (!unpacked) return std::nullopt;
  return PackedDib::FromBlock(*unpacked);
}

std::optional<PackedDib> LoadBmpFile(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) return std::nullopt;
  uint8_t header[kFileHeaderSize];
  if (!in.read(reinterpret_cast<char*>(header), kFileHeaderSize)) return std::nullopt;
  const auto size = StatedBlockSize(header);
  if (!size) return std::nullopt;
  // A file shorter than it says would fail as a short read: find that out before taking
  // the memory it claims. Anything that cannot tell its length is no picture file.
  if (!in.seekg(0, std::ios::end)) return std::nullopt;
  const std::streamoff length = in.tellg();
  if (length < 0 || uint64_t(length) - kFileHeaderSize < *size) return std::nullopt;
  if (!in.seekg(kFileHeaderSize)) return std::nullopt;

  // The kernel copies a quarter faster when the block sits at the same place within a
  // cache line as its bytes within the file.
  constexpr size_t kLine = 64;
  void* storage = std::malloc(*size + kLine);
  if (storage == nullptr) return std::nullopt;
  const auto address = reinterpret_cast<uintptr_t>(storage);
  uint8_t* block =
      static_cast<uint8_t*>(storage) + (kFileHeaderSize - address % kLine + kLine) % kLine;
  if (!in.read(reinterpret_cast<char*>(block), static_cast<std::streamsize>(*size))) {
    std::free(storage);
    return std::nullopt;
  }
  if (CheckDib({block, *size})) return DibAccess::Adopt(storage, block, *size);
  // A form drawing programs write that is turned into one of ours.
  const auto unpacked = UnpackDib({block, *size});
  std::free(storage);
  if (!unpacked) return std::nullopt;
  return PackedDib::FromBlock(*unpacked);
}

DibPalette MakeDibPalette(const PackedDib& dib) {
  const DibLayout& l = dib.Layout();
  DibPalette palette;
  if (dib.Block().empty()) return palette;
  if (l.bitCount > 8) {
    // Only a table the header asks for shortens the palette; the fallback has 256 colours.
    const uint32_t used = ColoursUsed(dib.Block(), l.headerSize);
    palette.count = static_cast<uint16_t>(used != 0 && used < 256 ? used : 256);
    std::copy_n(FallbackPalette.begin(), palette.count, palette.entries.begin());
  } else {
    palette.count = static_cast<uint16_t>(std::min<uint32_t>(l.colourEntries, 256));
    palette.entries = DibColourTable(dib);
  }
  return palette;
}

std::optional<PackedDib> NewDib(int width, int height, DibKind kind) {
  if (width < 0 || width > 0x7FFF || height < 0 || height > 0x7FFF) return std::nullopt;
  // Room for the header, a table of up to 256 entries and rows rounded up to 4 bytes.
  const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  const size_t size = kind == DibKind::Bits24 ? (3 * w + 4) * h + 1200
                      : kind == DibKind::Bits8  ? (w + 4) * h + 1200
                                                : (w + 32) * h / 8 + 1200;
  // Zeroed, so a picture nobody has drawn on yet is all colour 0 rather than leftovers.
  auto* block = static_cast<uint8_t*>(std::calloc(size, 1));
  if (block == nullptr) return std::nullopt;
  Write32(block, kInfoHeaderSize);
  Write32(block + 4, static_cast<uint32_t>(width));
  Write32(block + 8, static_cast<uint32_t>(height));
  Write16(block + 12, 1);
  Write16(block + 14, kind == DibKind::Bits24 ? 24 : kind == DibKind::Bits8 ? 8 : 1);
  if (kind != DibKind::Bits24)
    std::memset(block + kInfoHeaderSize + 4, 255, 3);  // entry 1 white, entry 0 black
  return DibAccess::Adopt(block, block, size);
}

}  // namespace zel
