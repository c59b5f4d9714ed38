// Any bytes as a picture file's header: the size it claims, its EXIF orientation and the
// judgement of its container are read without reading past the end, and what they give is
// in range: nothing too large is let through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "display/decoded_picture.h"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto claimed = ClaimedPictureSize(bytes); claimed && (claimed->width < 0 || claimed->height < 0))
    abort();
  if (const auto orientation = JpegExifOrientation(bytes); orientation && (*orientation < 1 || *orientation > 8))
    abort();
  const PictureLimits limits;
  if (JudgePicture(bytes, limits) == PictureVerdict::Readable && FormatOfPicture(bytes) != PictureFormat::Other) {
    const auto size = ClaimedPictureSize(bytes);
    if (!size || static_cast<long long>(size->width) * size->height > limits.jpegPixels) abort();
  }
  return 0;
}
