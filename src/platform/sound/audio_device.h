// An audio output device as the sound service drives it: each system's own (SDL on Linux,
// waveOut on Windows) behind one face, so the rules of playing are kept in one place.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace zel {

class AudioDevice {
 public:
  using Clock = std::chrono::steady_clock;
  // What a fill gave.
  struct Filled {
    size_t frames = 0;  // how many of the frames hold sound: the rest is silence
    // They come after a play that cut off a sound still sounding: whatever the device still
    // holds of that one may go, so the cut is heard at once, however much the device holds.
    bool cutsOff = false;
  };
  // Writes the next `frames` frames of the device's channels, interleaved, into out.
  // heardAfter is how long the device holds them before they sound. Called from the
  // device's own thread.
  using Fill = std::function<Filled(int16_t* out, size_t frames, Clock::duration heardAfter)>;

  virtual ~AudioDevice() = default;  // closes the device, waiting a bounded time at most

  // The format the device took: 16-bit samples at rate, in channels, asked for
  // bufferFrames at a time.
  virtual int Rate() const = 0;
  virtual int Channels() const = 0;
  virtual int BufferFrames() const = 0;

  // Starts asking for frames.
  virtual void Start() = 0;
  // A sound has started: a device that rests while there is none asks for frames again.
  // Cheap, and safe to call under the caller's locks.
  virtual void Wake() {}
  // Once this returns, no call of the fill begins any more.
  virtual void Stop() = 0;
};

// Opens the system's default output, to be fed by fill once started; null when there is
// none (the service then plays silently with the same timing).
using AudioDeviceOpener = std::function<std::unique_ptr<AudioDevice>(AudioDevice::Fill fill)>;

}  // namespace zel
