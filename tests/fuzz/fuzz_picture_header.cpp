// Any bytes as a picture file's header: the size it claims and its EXIF orientation are
// read without reading past the end, and what they give is in range.
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
  return 0;
}
