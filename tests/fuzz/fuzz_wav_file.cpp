// Any bytes either decode into a playable sound or are refused; a sound never holds more
// samples than the bytes could carry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "wave/wav_file.h"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto sound = DecodeWav(std::span<const uint8_t>(data, size));
  if (!sound) return 0;
  if (sound->rate < kMinWavRate || sound->rate > kMaxWavRate) abort();
  if (sound->samples.empty()) abort();
  // At least the 12-byte form header, a 16-byte format and two chunk headers come first.
  if (sound->samples.size() > size - 44) abort();
  return 0;
}
