// The parts of decoding a picture file that do not depend on the platform's image readers:
// the size it is decoded at, the size its header claims (so a hostile header is refused
// before a decoder allocates for it), and its pixels laid over white into a 24-bit picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "dib/packed_dib.h"

namespace zel {

// Memory a picture may take while it is decoded at its full size; a format that cannot be
// scaled while decoding (JPEG can) and is larger than this is refused.
inline constexpr int kPictureAllocationLimitMb = 160;

struct PictureSize {
  int width = 0, height = 0;
  bool operator==(const PictureSize&) const = default;
};

// The size a picture of the given size is decoded at so that no side exceeds maxSide: the
// longest side maxSide, keeping the shape (decoders take the nearest fraction their format
// allows and shrink the rest smoothly). Unchanged when it fits already.
PictureSize DecodedSize(PictureSize full, int maxSide);

// True when the pixels of a picture of this size, 4 bytes each, stay within limitMb.
bool FitsAllocationLimit(PictureSize size, int limitMb);

// The largest size the header of a PNG, GIF (any of its frames) or JPEG file claims, read
// without decoding anything; none for bytes of another or an unreadable form.
std::optional<PictureSize> ClaimedPictureSize(std::string_view bytes);

enum class PictureFormat { Png, Gif, Jpeg, Other };
PictureFormat FormatOfPicture(std::string_view bytes);

// How much a picture may cost to read, judged before any decoder sees it. A PNG or GIF is
// inflated whole however small it is shown, and a progressive JPEG holds all its
// coefficients while it is decoded; a plain JPEG is decoded straight at an eighth, so a
// decoder that does that can take more of them. At these limits one picture is read in
// about a second and a half of CPU and a few hundred megabytes at most.
struct PictureLimits {
  long long inflatedPixels = 36'000'000;          // PNG and GIF
  long long progressiveJpegPixels = 40'000'000;
  long long jpegPixels = 120'000'000;
  int jpegScans = 100;                             // each scan passes over the whole picture
  size_t compressedTextBytes = 128 << 10;          // PNG's zTXt, iTXt and iCCP, inflated by the reader
};

enum class PictureVerdict {
  Readable,  // a decoder may have the bytes (which may still not be a picture it reads)
  Damaged,   // a container whose parts run past its end, or with no picture in it
  TooLarge,  // it claims more than the limits allow
};

// The verdict on the bytes of a PNG, GIF or JPEG file from its container alone: every PNG
// chunk must fit in the file, and what the header claims must keep within the limits.
// Bytes of other forms are Readable here; their decoder's own limits apply.
PictureVerdict JudgePicture(std::string_view bytes, const PictureLimits& limits = {});

// A picture file decoded, or why not.
struct DecodedPicture {
  std::optional<PackedDib> picture;  // none when the bytes are no picture, or refused
  bool tooLarge = false;             // refused for its size before it was decoded
};

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
