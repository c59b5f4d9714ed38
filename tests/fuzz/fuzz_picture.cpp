// Any bytes as a question's picture file through the platform's image readers: either no
// picture, or a whole 24-bit picture no larger than asked for. The memory a full-size decode
// may take is kept small here so that every input runs quickly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dib/packed_dib.h"
#include "platform/qt/picture_decoder.h"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr int kMaxSide = 256;
  const auto dib = DecodePictureBytes({reinterpret_cast<const char*>(data), size}, kMaxSide, {}, 16).picture;
  if (!dib) return 0;
  const DibLayout& l = dib->Layout();
  if (l.bitCount != 24 || l.width < 1 || l.height < 1 || l.width > kMaxSide || l.height > kMaxSide)
    abort();
  if (!DibIsConsistent(*dib)) abort();
  // Every row is there to be read.
  unsigned sum = 0;
  for (size_t i = 0; i < l.stride * static_cast<size_t>(l.height); ++i) sum += DibBits(*dib)[i];
  return sum == 0xFFFFFFFF;  // keeps the reads
}
