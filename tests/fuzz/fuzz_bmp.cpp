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
#include "display/dib_forms.h"
#include "display/packed_dib.h"

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
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x) {
      const uint8_t* p = bits + l.stride * static_cast<size_t>(y) + 3 * static_cast<size_t>(x);
      const DibRgb pixel{p[2], p[1], p[0]};
      const DibRgb mapped = colours[DibBits(
          out)[DibRowStride(out) * static_cast<size_t>(y) + static_cast<size_t>(x)]];
      if (mapped != pixel && std::find(colours.begin(), colours.end(), pixel) != colours.end())
        abort();
    }
  return 0;
}
