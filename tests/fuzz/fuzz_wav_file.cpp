// Any bytes either decode into a playable sound or are refused; a sound never holds more
// samples than the bytes could carry. A decoded sound, handed on as plain PCM (as the
// Windows program hands it to PlaySound), reads back as the same sound, whole or cut as a
// waiting play cuts it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "wave/sound_play.h"
#include "wave/wav_file.h"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto sound = DecodeWav(std::span<const uint8_t>(data, size));
  if (!sound) return 0;
  if (sound->rate < kMinWavRate || sound->rate > kMaxWavRate) abort();
  if (sound->samples.empty()) abort();
  // At least the 12-byte form header, a 16-byte format and two chunk headers come first.
  if (sound->samples.size() > size - 44) abort();
  for (bool wait : {false, true}) {
    const auto back = DecodeWav(PcmWaveBytes(*sound, wait));
    const size_t frames = FramesToPlay(sound->samples.size(), sound->rate, wait);
    if (!back || back->rate != sound->rate || back->samples.size() != frames) abort();
    for (size_t i = 0; i < frames; ++i)
      if (back->samples[i] != sound->samples[i]) abort();
  }
  return 0;
}
