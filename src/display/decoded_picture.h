// The parts of decoding a picture file that do not depend on the platform's image readers:
// the size it is decoded at, the size its header claims (so a hostile header is refused
// before a decoder allocates for it), and its pixels laid over white into a 24-bit picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "display/packed_dib.h"

namespace zel {

// Memory a picture may take while it is decoded at its full size; a format that cannot be
// scaled while decoding (JPEG can) and is larger than this is refused.
inline constexpr int kPictureAllocationLimitMb = 160;

struct PictureSize {
  int width = 0, height = 0;
  bool operator==(const PictureSize&) const = default;
};

// The size a picture of the given size is decoded at so that no side exceeds maxSide: a
// half, a quarter or an eighth where that is small enough (JPEG decodes at those sizes
// directly, rounding up as it does, so no second scaling pass follows), beyond an eighth the
// size that fits maxSide, keeping the shape. Unchanged when it fits already.
PictureSize DecodedSize(PictureSize full, int maxSide);

// True when the pixels of a picture of this size, 4 bytes each, stay within limitMb.
bool FitsAllocationLimit(PictureSize size, int limitMb);

// The largest size the header of a PNG, GIF (any of its frames) or JPEG file claims, read
// without decoding anything; none for bytes of another or an unreadable form.
std::optional<PictureSize> ClaimedPictureSize(std::string_view bytes);

// The EXIF orientation (1 to 8) a JPEG file holds in its APP1 segment; none without one.
std::optional<int> JpegExifOrientation(std::string_view bytes);

// True for the bytes of a JPEG file (which decoders can scale while decoding).
bool IsJpegFile(std::string_view bytes);

// One row of a picture shrunk smoothly: rows × width pixels of 4 bytes (rows stride bytes
// apart) averaged into outWidth pixels, each the mean of its own box of the band. Shrinking
// band by band, each output row from the source rows that fall to it, reads every source
// pixel once and holds no more than a band. outWidth is at most width.
void ShrinkBand(const uint8_t* band, size_t stride, int width, int rows, int outWidth, uint8_t* out);

// The source rows [first, end) that fall to row outRow of outHeight when height rows shrink.
struct RowSpan {
  int first, end;
};
RowSpan RowsOfShrunkRow(int outRow, int outHeight, int height);

// A 24-bit picture of premultiplied blue, green, red, alpha pixels (the top row first, rows
// stride bytes apart) laid over white: each colour plus the white that shows through. An
// EXIF orientation other than 1 turns and mirrors it upright as it is packed (5 to 8 swap
// its width and height).
std::optional<PackedDib> PackOverWhite(const uint8_t* bgra, size_t stride, int width, int height,
                                       int orientation = 1);

}  // namespace zel
