#include "platform/sdl/sdl_device.h"

#include <cstdlib>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/sdl/sdl_audio.h"
#include "wave/wav_file.h"

namespace zel {
namespace {

// 256 frames at 48 kHz is 5.3 ms: a key's voice reaches the device within one buffer of the
// press and is heard about one buffer later, well inside the 20 ms a child would notice.
constexpr int kWantedRate = 48000;
constexpr int kWantedFrames = 256;

// SDL's audio set-up and tear-down are not for two threads at once; an opening thread left
// hung in them keeps this, so later ones wait (and their services go on silently).
std::mutex& AudioSystemMutex() {
  static std::mutex mutex;
  return mutex;
}

class SdlDevice : public AudioDevice {
 public:
  SdlDevice(const SdlAudio* sdl, Fill fill) : sdl_(sdl), fill_(std::move(fill)) {}

  // Called with the audio system's mutex held; false leaves SDL's audio as it was.
  bool Open() {
    if (sdl_->InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    const char* driver = sdl_->GetCurrentAudioDriver();
    if (driver && std::string_view(driver) != "dummy") {
      SDL_AudioSpec wanted{};
      wanted.freq = kWantedRate;
      wanted.format = AUDIO_S16SYS;
      wanted.channels = 1;
      wanted.samples = kWantedFrames;
      wanted.callback = &SdlDevice::Callback;
      wanted.userdata = this;  // called only once the device is unpaused, in Start
      // We resample and spread to the channels ourselves rather than through SDL's
      // converter, which would add a buffer of its own.
      device_ = sdl_->OpenAudioDevice(nullptr, 0, &wanted, &got_,
                                      SDL_AUDIO_ALLOW_FREQUENCY_CHANGE |
                                          SDL_AUDIO_ALLOW_CHANNELS_CHANGE |
                                          SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
      if (device_ != 0 && (got_.freq < kMinWavRate || got_.channels < 1 || got_.samples < 1)) {
        sdl_->CloseAudioDevice(device_);
        device_ = 0;
      }
    }
    if (device_ == 0) sdl_->QuitSubSystem(SDL_INIT_AUDIO);
    latency_ = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(got_.samples) / (got_.freq > 0 ? got_.freq : 1)));
    return device_ != 0;
  }

  ~SdlDevice() override {
    if (device_ == 0) return;
    // No callback may reach the service once it is gone, even if the device cannot be
    // closed below; pausing takes only the device's own lock.
    sdl_->PauseAudioDevice(device_, 1);
    // Waited for a second at most: a thread hung in the audio system must not hold the exit.
    const auto giveUp = Clock::now() + std::chrono::seconds(1);
    std::unique_lock audioSystem(AudioSystemMutex(), std::try_to_lock);
    while (!audioSystem.owns_lock() && Clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      audioSystem.try_lock();
    }
    if (!audioSystem.owns_lock()) return;
    sdl_->CloseAudioDevice(device_);
    sdl_->QuitSubSystem(SDL_INIT_AUDIO);
  }

  int Rate() const override { return got_.freq; }
  int Channels() const override { return got_.channels; }
  int BufferFrames() const override { return got_.samples; }
  void Start() override { sdl_->PauseAudioDevice(device_, 0); }
  void Stop() override { sdl_->PauseAudioDevice(device_, 1); }

 private:
  static void Callback(void* self, uint8_t* stream, int bytes) {
    auto* device = static_cast<SdlDevice*>(self);
    // The buffer filled now is heard after the one the device is playing; a cut is heard
    // within that one, so nothing held need be dropped.
    device->fill_(reinterpret_cast<int16_t*>(stream),
                  size_t(bytes) / (sizeof(int16_t) * size_t(device->got_.channels)),
                  device->latency_);
  }

  const SdlAudio* sdl_;
  Fill fill_;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec got_{};
  Clock::duration latency_{};
};

}  // namespace

std::unique_ptr<AudioDevice> OpenSdlDevice(AudioDevice::Fill fill) {
  std::lock_guard audioSystem(AudioSystemMutex());
  // Asked for by name, the dummy driver spares loading SDL at all.
  const char* asked = std::getenv("SDL_AUDIODRIVER");
  const SdlAudio* sdl = asked && std::string_view(asked) == "dummy" ? nullptr : LoadSdlAudio();
  if (!sdl) return nullptr;
  // Left to SDL, SIGINT and SIGTERM would become quit events that nobody reads.
  sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  auto device = std::make_unique<SdlDevice>(sdl, std::move(fill));
  if (!device->Open()) return nullptr;
  return device;
}

}  // namespace zel
