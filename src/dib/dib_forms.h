// The other forms a .bmp file comes in, as drawing programs and converters write them, turned
// into forms a PackedDib holds: 16- and 32-bit pictures (plain, with bit-field masks, with
// alpha) become 24-bit ones, alpha laid over white; top-down pictures are turned bottom-up;
// RLE8 and RLE4 pictures are unpacked into plain 8- and 4-bit ones.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zel {

// Largest picture an RLE stream may unpack to, in pixels: a few bytes of stream can claim
// any size, and no question picture needs more.
inline constexpr uint64_t kMaxUnpackedPixels = uint64_t{64} << 20;

// A block in one of the forms above as a block with a 40-byte header that CheckDib accepts;
// none for any other block, or when the block is malformed: masks that are not one run of
// bits, a table or rows that do not fit, an RLE stream cut off inside an instruction.
// Nothing is read outside the block.
std::optional<std::vector<uint8_t>> UnpackDib(std::span<const uint8_t> block);

}  // namespace zel
