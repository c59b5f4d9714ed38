// Every sound of the program goes out through one SoundService, on the system's own audio
// device (SDL on Linux, waveOut on Windows) kept open for the whole run.
//
// One sound plays at a time: starting a sound cuts off the one playing. A play that waits
// blocks the calling thread, handling no events, until the sound has been heard, but for
// as much of it as its SoundWait allows at most (kMaxWaitSeconds for a plain wait): the
// rest of a longer sound is cut, so a long or damaged voice file cannot freeze the window.
// One that does not wait returns at once and plays the whole sound. A sound that cannot be
// read or decoded gives the default alert instead. Without an audio device a silent output
// keeps the same timing, so the program behaves alike on a desktop, a server and CI.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>

#include "platform/sound/audio_device.h"
#include "wave/resampler.h"
#include "wave/sound_play.h"
#include "wave/wav_file.h"

namespace zel {

class SoundService {
 public:
  using Clock = std::chrono::steady_clock;

  // Opens the default output device with open, on a thread of its own.
  // defaultAlertWav: the WAVE bytes played in place of a sound that cannot be played; when
  // they do not decode, such a sound only stops the one playing.
  // openDeadline: how long the device may take to open; past it the silent output stands
  // in, so an audio system that hangs can neither freeze the window nor its exit.
  // beforeOpen runs on the opening thread first (tests make it hang).
  SoundService(std::span<const uint8_t> defaultAlertWav, AudioDeviceOpener open,
                        Clock::duration openDeadline = kOpenDeadline,
                        std::function<void()> beforeOpen = {});
  ~SoundService();
  SoundService(const SoundService&) = delete;
  SoundService& operator=(const SoundService&) = delete;

  // A sound that is not Playable gives the alert.
  void Play(std::optional<PcmSound> sound, SoundWait wait);
  void PlayBytes(std::span<const uint8_t> wavBytes, SoundWait wait);
  // A file that ReadSoundFile does not take gives the alert.
  void PlayFile(const std::string& path, SoundWait wait);

  // False for none, one with no samples or a rate outside kMinWavRate..kMaxWavRate.
  static bool Playable(const std::optional<PcmSound>& sound);

  static constexpr Clock::duration kOpenDeadline = std::chrono::seconds(3);

  // False when the silent output stands in for an audio device.
  // These wait until the output has been opened.
  bool HasDevice() const;
  int OutputRate() const;
  int BufferFrames() const;

  // For tests and benchmarks: what the output has taken of the latest play.
  struct Delivery {
    uint64_t play = 0;                       // plays counted from 1; 0 before the first
    size_t frames = 0;                       // its length on the output
    size_t delivered = 0;                    // how many of them went to the output
    std::optional<Clock::time_point> start;  // when its first frame went to the output
    bool done = false;  // it has gone to the output: all its frames, or all a wait takes
  };
  Delivery LastDelivery() const;
  // True while frames of a sound remain to go to the output.
  bool Playing() const;

 private:
  // What the opening thread shares with the service; it outlives the service when the
  // thread is left behind, hung in the audio system.
  struct Opening {
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;   // the thread is done with the audio system
    bool adopted = false;    // the service took the device
    bool abandoned = false;  // the service went on without it
  };
  static void OpenOutput(SoundService* self, std::shared_ptr<Opening> opening,
                         AudioDeviceOpener open, std::function<void()> beforeOpen);
  // Called by the opening thread with opening_->mutex held.
  void AdoptOutput(std::unique_ptr<AudioDevice> device);
  // Waits for the output until the open deadline; past it, goes on with the silent output.
  void WaitReady(std::unique_lock<std::mutex>& lock) const;
  void GiveUpDevice() const;
  void StartSilentLocked();
  void Start(std::shared_ptr<const PcmSound> sound, SoundWait wait);
  // Makes sound the one playing as play number `play`, and returns it. Called with
  // mutex_ held.
  uint64_t StartLocked(std::shared_ptr<const PcmSound> sound, uint64_t play,
                       SoundWait wait = false);
  std::shared_ptr<const PcmSound> DecodedOrAlert(std::optional<PcmSound> sound) const;
  // Hands the next frames to the output; `heardAfter` is how long the output holds them
  // before they sound. Called with mutex_ held.
  AudioDevice::Filled Fill(int16_t* out, size_t frames, int channels, Clock::time_point now,
                           Clock::duration heardAfter);
  AudioDevice::Filled DeviceFill(int16_t* out, size_t frames, Clock::duration heardAfter);
  void SilentOutput();

  std::shared_ptr<const PcmSound> alert_;
  std::unique_ptr<AudioDevice> device_;  // none: the silent output
  int channels_ = 1;
  int rate_ = 48000;
  int bufferFrames_ = 256;

  mutable std::mutex mutex_;
  mutable std::condition_variable readyChanged_;
  bool ready_ = false;                       // the output is open (device or silent)
  uint64_t plays_ = 0;                       // plays asked for so far
  std::shared_ptr<const PcmSound> pending_;  // asked for before it was
  std::condition_variable played_;      // a sound went out to its end, or the service closes
  std::condition_variable outputWake_;  // the silent output has work, or must stop
  Resampler current_;
  size_t playLimit_ = 0;  // frames of the current sound that go out: fewer for a long wait
  Delivery delivery_;
  Clock::time_point heardEnd_;  // when the latest play's last frame will have sounded
  bool cutting_ = false;  // a play cut off a sound still sounding; the output has not heard
  bool closing_ = false;
  Clock::time_point openDeadline_;
  std::shared_ptr<Opening> opening_ = std::make_shared<Opening>();
  std::thread silent_;
  std::thread opener_;
};

}  // namespace zel
