// Rate conversion of one decoded sound for an output device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "wave/wav_file.h"

namespace zel {

// Linear-interpolating rate conversion of one sound, read a buffer at a time by the output.
class Resampler {
 public:
  Resampler() = default;
  Resampler(std::shared_ptr<const PcmSound> sound, int outputRate);

  // Output frames in the whole sound; 0 for none.
  size_t frames() const { return frames_; }
  bool done() const { return done_ >= frames_; }
  // Writes up to count frames and returns how many it wrote (fewer only at the end).
  size_t Read(int16_t* out, size_t count);

 private:
  std::shared_ptr<const PcmSound> sound_;
  uint64_t step_ = 0;  // input samples per output frame, 32.32 fixed point
  uint64_t pos_ = 0;   // position in the input, same units
  size_t frames_ = 0;
  size_t done_ = 0;
};

}  // namespace zel
