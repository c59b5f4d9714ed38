#include "wave/resampler.h"

#include <utility>
#include <vector>

namespace zel {

Resampler::Resampler(std::shared_ptr<const PcmSound> sound, int outputRate)
    : sound_(std::move(sound)) {
  if (!sound_ || sound_->rate <= 0 || outputRate <= 0) return;  // no sound to speak of
  const uint64_t n = sound_->samples.size();
  const uint64_t in = uint64_t(sound_->rate), out = uint64_t(outputRate);
  // Rounded down, so frame k never reads past k * in / out: with the count below every
  // frame falls within the sound.
  step_ = (in << 32) / out;
  frames_ = static_cast<size_t>((n * out + in - 1) / in);
}

size_t Resampler::Read(int16_t* out, size_t count) {
  if (!sound_) return 0;
  const std::vector<int16_t>& in = sound_->samples;
  size_t written = 0;
  for (; written < count && done_ < frames_; ++written, ++done_, pos_ += step_) {
    const size_t i = static_cast<size_t>(pos_ >> 32);
    const int64_t a = in[i];
    const int64_t b = i + 1 < in.size() ? in[i + 1] : a;
    const int64_t fraction = static_cast<int64_t>(pos_ & 0xFFFFFFFFu);
    out[written] = static_cast<int16_t>(a + (((b - a) * fraction) >> 32));
  }
  return written;
}

}  // namespace zel
