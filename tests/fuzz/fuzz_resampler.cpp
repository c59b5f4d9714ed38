// Any sound at any pair of rates through the rate conversion: the output has the length
// the rates give, reads stay inside the sound, and every frame lies between the samples it
// comes from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "wave/resampler.h"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  int32_t inRate, outRate;
  std::memcpy(&inRate, data, 4);
  std::memcpy(&outRate, data + 4, 4);
  // Rates as the output takes them, and a few outside that.
  inRate = inRate % 400000;
  outRate = outRate % 400000;
  auto sound = std::make_shared<PcmSound>();
  sound->rate = inRate;
  sound->samples.resize((size - 8) / 2);
  if (!sound->samples.empty()) std::memcpy(sound->samples.data(), data + 8, sound->samples.size() * 2);

  Resampler resampler(sound, outRate);
  if (inRate <= 0 || outRate <= 0 || sound->samples.empty()) {
    if (resampler.frames() != 0 || !resampler.done()) abort();
    return 0;
  }
  const uint64_t n = sound->samples.size();
  const uint64_t expected = (n * uint64_t(outRate) + uint64_t(inRate) - 1) / uint64_t(inRate);
  if (resampler.frames() != expected) abort();
  if (expected > (size_t{1} << 22)) return 0;  // long enough; reading it all would be slow

  std::vector<int16_t> out(resampler.frames() + 7);
  size_t got = 0;
  // Buffers of changing sizes, as a device asks for them.
  for (size_t chunk = 1; !resampler.done(); chunk = chunk * 3 % 509 + 1) {
    const size_t n = resampler.Read(out.data() + got, std::min(chunk, out.size() - got));
    if (n == 0) abort();
    got += n;
  }
  if (got != resampler.frames() || resampler.Read(out.data(), 1) != 0) abort();
  const double step = double(inRate) / double(outRate);
  for (size_t k = 0; k < got; ++k) {
    const size_t i = std::min<size_t>(static_cast<size_t>(double(k) * step), sound->samples.size() - 1);
    const int16_t a = sound->samples[i];
    const int16_t b = sound->samples[std::min(i + 1, sound->samples.size() - 1)];
    // A little slack for where the fixed-point position rounds into the neighbouring pair.
    const int lo = std::min({a, b, sound->samples[i > 0 ? i - 1 : 0]});
    const int hi = std::max({a, b, sound->samples[i > 0 ? i - 1 : 0]});
    if (out[k] < lo || out[k] > hi) abort();
  }
  return 0;
}
