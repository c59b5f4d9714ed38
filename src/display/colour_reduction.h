// Turning a 24-bit picture into an 8-bit one with its 256 most frequent colours, so a
// display of 8 bits per pixel or fewer can show it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "dib/packed_dib.h"

namespace zel {

// Only a 24-bit picture on a display of 8 bits per pixel or fewer (bits per pixel times
// planes, as the screen reports them) needs reducing.
bool WantsReduction(const PackedDib& picture, int displayDepth);

// The masked colours found in the samples of a picture, in the order they were first met,
// each key red + 256 × green + 65536 × blue with every channel ANDed with the mask. Entry 0
// is black and entry 1 (mask, mask, mask), whether sampled or not. The mask is the finest
// of 0xFF, 0xFE, 0xFC, … under which the list holds at most 1500 entries.
struct ColourCensus {
  uint8_t mask = 0xFF;
  std::vector<uint32_t> keys;
  std::vector<uint32_t> counts;
};
// Samples every pixel of a side up to 100, every third up to 300, every sixth beyond.
ColourCensus TakeColourCensus(const PackedDib& source);

// The 256 most frequent census colours, most frequent first, earlier entries first on equal
// counts; entry 1 stands for pure white whatever the mask. Unused slots are black.
std::array<DibRgb, 256> ChoosePalette(const ColourCensus& census);

// Nearest-colour mapping onto a table of 256 colours. A colour in the table maps to its
// first entry of that colour; any other colour to the entry nearest (squared distance,
// first entry on ties) to the centre of its cell of 8 × 8 × 8 colours. Cells are worked out
// as pixels reach them and kept, so a large picture costs about one small-table lookup per
// pixel.
class ColourMapper {
 public:
  explicit ColourMapper(const std::array<DibRgb, 256>& table);
  ColourMapper(const ColourMapper&) = delete;
  ColourMapper& operator=(const ColourMapper&) = delete;
  ~ColourMapper();

  uint8_t IndexOf(uint8_t red, uint8_t green, uint8_t blue) {
    return IndexOfBgr(blue | green << 8 | red << 16);
  }
  // A pixel as its three bytes read little-endian: blue | green << 8 | red << 16.
  uint8_t IndexOfBgr(uint32_t bgr) {
    const uint32_t cell = (bgr >> 3 & 0x1F) | (bgr >> 6 & 0x3E0) | (bgr >> 9 & 0x7C00);
    if (special_[cell / 64] >> (cell % 64) & 1) return SpecialIndexOf(cell, bgr);
    return nearest_[cell];
  }

 private:
  struct Work;
  uint8_t SpecialIndexOf(uint32_t cell, uint32_t bgr);
  void FillCell(uint32_t cell);

  // Cells not worked out yet, or holding a table colour that their nearest entry is not:
  // those need more than nearest_.
  std::array<uint64_t, 32768 / 64> special_;
  std::array<uint8_t, 32768> nearest_;  // the entry nearest the centre of each cell
  std::unique_ptr<Work> work_;
};

// The result of a reduction: the new picture, or none; for the failure the user is told
// about, the warning to show.
struct Reduction {
  std::optional<PackedDib> picture;
  std::optional<DibWarning> warning;
};

// The popularity reduction of a 24-bit picture: census, palette of the most frequent
// colours, a new 8-bit picture of the same size with every pixel mapped to its nearest
// palette colour. The source is unchanged. None without a warning for a source that is not
// 24-bit or when the new picture cannot be had; none with kBitmapWarning when the working
// tables of the mapping cannot be.
Reduction ReduceColours(const PackedDib& source);

}  // namespace zel
