// Any bytes as a .bmp file: what loads must be drawable without reading past its block, its
// palette must come from its table, and a 24-bit picture must reduce to a consistent 8-bit
// one in which every pixel of a table colour keeps that colour. Any bytes as a block in one
// of the other forms unpack, if at all, into a block of ours.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "display/colour_reduction.h"
#include "dib/dib_forms.h"
#include "dib/packed_dib.h"

using namespace zel;

volatile unsigned g_readBytes;  // keeps the reads of every pixel byte

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 14) {
    const auto unpacked = UnpackDib(std::span<const uint8_t>(data + 14, size - 14));
    if (unpacked && !CheckDib(*unpacked)) abort();
  }
  const auto dib = LoadBmpBytes(std::span<const uint8_t>(data, size));
  if (!dib) return 0;
  if (!DibIsConsistent(*dib)) abort();

  // Everything a painter reads: every row byte and the table.
  const DibLayout& l = dib->Layout();
  const uint8_t* bits = DibBits(*dib);
  unsigned sum = 0;
  for (size_t i = 0; i < l.stride * static_cast<size_t>(l.height); ++i) sum += bits[i];
  g_readBytes = sum;
  const auto table = DibColourTable(*dib);
  const DibPalette palette = MakeDibPalette(*dib);
  if (palette.count > 256) abort();
  for (size_t i = 0; i < palette.count; ++i)
    if (palette.entries[i] != (l.bitCount == 24 ? FallbackPalette[i] : table[i])) abort();

  if (DibBitCount(*dib) != 24) return 0;
  const Reduction reduced = ReduceColours(*dib);
  if (!reduced.picture) {
    if (DibWidth(*dib) <= 0x7FFF && DibHeight(*dib) <= 0x7FFF) abort();  // only too large fails
    return 0;
  }
  const PackedDib& out = *reduced.picture;
  if (!DibIsConsistent(out) || DibBitCount(out) != 8 || DibWidth(out) != DibWidth(*dib) ||
      DibHeight(out) != DibHeight(*dib))
    abort();
  const auto colours = DibColourTable(out);
  // The table's colours sorted once, so each pixel's look-up costs a search, not a scan.
  std::array<uint32_t, 256> inTable{};
  for (size_t i = 0; i < colours.size(); ++i)
    inTable[i] = uint32_t{colours[i].red} << 16 | uint32_t{colours[i].green} << 8 | colours[i].blue;
  std::sort(inTable.begin(), inTable.end());
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x) {
      const uint8_t* p = bits + l.stride * static_cast<size_t>(y) + 3 * static_cast<size_t>(x);
      const DibRgb pixel{p[2], p[1], p[0]};
      const DibRgb mapped = colours[DibBits(
          out)[DibRowStride(out) * static_cast<size_t>(y) + static_cast<size_t>(x)]];
      const uint32_t key = uint32_t{pixel.red} << 16 | uint32_t{pixel.green} << 8 | pixel.blue;
      if (mapped != pixel && std::binary_search(inTable.begin(), inTable.end(), key))
        abort();
    }
  return 0;
}
