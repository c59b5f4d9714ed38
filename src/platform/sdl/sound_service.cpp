#include "platform/sdl/sound_service.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sdl/sdl_audio.h"

namespace zel {
namespace {

// 256 frames at 48 kHz is 5.3 ms: a key's voice reaches the device within one buffer of the
// press and is heard about one buffer later, well inside the 20 ms a child would notice.
constexpr int kWantedRate = 48000;
constexpr int kWantedFrames = 256;
// A waiting play gives up this long after its sound should have ended, so an output that
// stops calling back (a device pulled out mid-sound) cannot freeze the window for good.
constexpr auto kWaitMargin = std::chrono::seconds(2);

// SDL's audio set-up and tear-down are not for two threads at once; an opening thread left
// hung in them keeps this, so later ones wait (and their services go on silently).
std::mutex& AudioSystemMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

SoundService::SoundService(std::span<const uint8_t> defaultAlertWav, Clock::duration openDeadline,
                           std::function<void()> beforeOpen)
    : openDeadline_(Clock::now() + openDeadline) {
  if (auto alert = DecodeWav(defaultAlertWav)) {
    alert_ = std::make_shared<const PcmSound>(std::move(*alert));
  }
  // Opening a device can take tens of milliseconds (drivers probe their hardware): it is
  // done aside, so the window is drawn meanwhile. A play asked for before it is ready
  // starts as soon as it is.
  opener_ = std::thread(&SoundService::OpenOutput, this, opening_, std::move(beforeOpen));
}

void SoundService::OpenOutput(SoundService* self, std::shared_ptr<Opening> opening,
                              std::function<void()> beforeOpen) {
  if (beforeOpen) beforeOpen();
  std::lock_guard audioSystem(AudioSystemMutex());
  // SDL's dummy driver keeps time only to the millisecond; the silent output keeps it exactly.
  // Asked for by name, it spares loading SDL at all.
  const char* asked = std::getenv("SDL_AUDIODRIVER");
  const SdlAudio* sdl = asked && std::string_view(asked) == "dummy" ? nullptr : LoadSdlAudio();
  // Left to SDL, SIGINT and SIGTERM would become quit events that nobody reads.
  if (sdl) sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  bool sdlAudio = sdl && sdl->InitSubSystem(SDL_INIT_AUDIO) == 0;
  const char* driver = sdlAudio ? sdl->GetCurrentAudioDriver() : nullptr;
  SDL_AudioDeviceID device = 0;
  SDL_AudioSpec got{};
  if (driver && std::string_view(driver) != "dummy") {
    SDL_AudioSpec wanted{};
    wanted.freq = kWantedRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = kWantedFrames;
    wanted.callback = &SoundService::DeviceCallback;
    wanted.userdata = self;  // called only once the device is unpaused, which the service does
    // We resample and spread to the channels ourselves rather than through SDL's converter,
    // which would add a buffer of its own.
    device = sdl->OpenAudioDevice(nullptr, 0, &wanted, &got,
                                 SDL_AUDIO_ALLOW_FREQUENCY_CHANGE |
                                     SDL_AUDIO_ALLOW_CHANNELS_CHANGE |
                                     SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (device != 0 && (got.freq < kMinWavRate || got.channels < 1 || got.samples < 1)) {
      sdl->CloseAudioDevice(device);
      device = 0;
    }
  }
  if (device == 0 && sdlAudio) {
    sdl->QuitSubSystem(SDL_INIT_AUDIO);
    sdlAudio = false;
  }

  std::lock_guard lock(opening->mutex);
  opening->finished = true;
  opening->finishedChanged.notify_all();
  if (opening->abandoned) {
    // Too late: the service went on silently and may be gone; `self` is not touched.
    if (device != 0) sdl->CloseAudioDevice(device);
    if (sdlAudio) sdl->QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  opening->adopted = true;
  self->AdoptOutput(sdlAudio, device, got.freq, got.channels, got.samples);
}

void SoundService::AdoptOutput(bool sdlAudio, uint32_t device, int rate, int channels,
                               int frames) {
  std::unique_lock lock(mutex_);
  sdlAudio_ = sdlAudio;
  device_ = device;
  if (device_ != 0) {
    rate_ = rate;
    channels_ = channels;
    bufferFrames_ = frames;
    // The buffer just filled is heard after the one the device is playing.
    deviceLatency_ = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(bufferFrames_) / rate_));
  }
  ready_ = true;
  if (pending_) StartLocked(std::exchange(pending_, nullptr), plays_);
  if (device_ == 0) StartSilentLocked();
  lock.unlock();
  readyChanged_.notify_all();
  // Outside our lock: the device's thread takes SDL's lock, then ours.
  if (device_ != 0) LoadSdlAudio()->PauseAudioDevice(device_, 0);
}

void SoundService::StartSilentLocked() {
  silent_ = std::thread(&SoundService::SilentOutput, this);
}

void SoundService::GiveUpDevice() const {
  auto* self = const_cast<SoundService*>(this);
  std::lock_guard opening(opening_->mutex);
  if (opening_->adopted) return;  // it opened just now after all
  opening_->abandoned = true;
  std::unique_lock lock(mutex_);
  self->ready_ = true;
  if (self->pending_) self->StartLocked(std::exchange(self->pending_, nullptr), plays_);
  self->StartSilentLocked();
  lock.unlock();
  readyChanged_.notify_all();
}

SoundService::~SoundService() {
  bool finished;
  {
    // An open under way may take until the deadline; only one hung past it is left
    // behind, so the program still ends. SDL's set-up is not for two threads at once.
    std::unique_lock opening(opening_->mutex);
    opening_->finishedChanged.wait_until(opening, openDeadline_, [&] { return opening_->finished; });
    finished = opening_->finished;
    if (!finished) opening_->abandoned = true;
  }
  if (finished) opener_.join();
  else opener_.detach();
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  played_.notify_all();
  outputWake_.notify_all();
  if (silent_.joinable()) silent_.join();
  if (device_ == 0 && !sdlAudio_) return;
  // No callback may reach this object once it is gone, even if the device cannot be closed
  // below; pausing takes only the device's own lock.
  if (device_ != 0) LoadSdlAudio()->PauseAudioDevice(device_, 1);
  // Waited for a second at most: a thread hung in the audio system must not hold the exit.
  const auto giveUp = Clock::now() + std::chrono::seconds(1);
  std::unique_lock audioSystem(AudioSystemMutex(), std::try_to_lock);
  while (!audioSystem.owns_lock() && Clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    audioSystem.try_lock();
  }
  if (!audioSystem.owns_lock()) return;
  // Either means SDL was loaded.
  const SdlAudio* sdl = LoadSdlAudio();
  if (device_ != 0) sdl->CloseAudioDevice(device_);
  if (sdlAudio_) sdl->QuitSubSystem(SDL_INIT_AUDIO);
}

void SoundService::WaitReady(std::unique_lock<std::mutex>& lock) const {
  if (readyChanged_.wait_until(lock, openDeadline_, [&] { return ready_; })) return;
  lock.unlock();
  GiveUpDevice();
  lock.lock();
}

bool SoundService::HasDevice() const {
  std::unique_lock lock(mutex_);
  WaitReady(lock);
  return device_ != 0;
}

int SoundService::OutputRate() const {
  std::unique_lock lock(mutex_);
  WaitReady(lock);
  return rate_;
}

int SoundService::BufferFrames() const {
  std::unique_lock lock(mutex_);
  WaitReady(lock);
  return bufferFrames_;
}

void SoundService::Play(const PcmSound& sound, SoundWait wait) {
  Start(DecodedOrAlert(sound), wait);
}

void SoundService::PlayBytes(std::span<const uint8_t> wavBytes, SoundWait wait) {
  Start(DecodedOrAlert(DecodeWav(wavBytes)), wait);
}

void SoundService::PlayFile(const std::string& path, SoundWait wait) {
  Start(DecodedOrAlert(ReadSoundFile(path)), wait);
}

std::shared_ptr<const PcmSound> SoundService::DecodedOrAlert(std::optional<PcmSound> sound) const {
  // The cap keeps the output's frame arithmetic far from overflow.
  if (!sound || sound->samples.empty() || sound->samples.size() > (size_t{1} << 31) ||
      sound->rate < kMinWavRate || sound->rate > kMaxWavRate) {
    return alert_;
  }
  return std::make_shared<const PcmSound>(std::move(*sound));
}

void SoundService::Start(std::shared_ptr<const PcmSound> sound, SoundWait wait) {
  std::unique_lock lock(mutex_);
  if (!ready_ && !wait.wait && Clock::now() < openDeadline_) {
    pending_ = sound ? std::move(sound) : nullptr;  // the latest one wins, as it would cut off
    delivery_ = Delivery{};
    delivery_.play = ++plays_;
    return;
  }
  WaitReady(lock);
  pending_ = nullptr;
  const uint64_t play = StartLocked(std::move(sound), ++plays_, wait);
  if (!wait.wait) return;

  const auto length = std::chrono::duration<double>(double(playLimit_) / rate_);
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(length) + kWaitMargin;
  // Ends when the sound has gone out, or when another thread's play cut it off.
  played_.wait_until(lock, deadline,
                     [&] { return closing_ || delivery_.play != play || delivery_.done; });
  if (delivery_.play != play || !delivery_.done || closing_) return;
  const Clock::time_point end = heardEnd_;
  lock.unlock();
  std::this_thread::sleep_until(end);
}

uint64_t SoundService::StartLocked(std::shared_ptr<const PcmSound> sound, uint64_t play,
                                   SoundWait wait) {
  current_ = sound ? Resampler(std::move(sound), rate_) : Resampler();
  delivery_ = Delivery{};
  delivery_.play = play;
  delivery_.frames = current_.frames();
  playLimit_ = FramesToPlay(delivery_.frames, rate_, wait);
  if (playLimit_ == 0) current_ = Resampler();  // a wait with nothing left: only the stop
  delivery_.done = current_.done();
  heardEnd_ = Clock::now();
  if (!current_.done()) outputWake_.notify_one();
  return play;
}

SoundService::Delivery SoundService::LastDelivery() const {
  std::lock_guard lock(mutex_);
  return delivery_;
}

bool SoundService::Playing() const {
  std::lock_guard lock(mutex_);
  return !current_.done();
}

void SoundService::Fill(int16_t* out, size_t frames, int channels, Clock::time_point now,
                        Clock::duration heardAfter) {
  size_t written = 0;
  if (!current_.done()) {
    if (!delivery_.start) delivery_.start = now;
    written = current_.Read(out, std::min(frames, playLimit_ - delivery_.delivered));
    delivery_.delivered += written;
    if (delivery_.delivered >= playLimit_) current_ = Resampler();  // the rest is cut
    if (channels > 1) {
      // Read into the front of the buffer, then spread backwards so nothing is overwritten
      // before it is spread.
      for (size_t f = written; f-- > 0;) {
        const int16_t sample = out[f];
        std::fill_n(out + f * size_t(channels), channels, sample);
      }
    }
    if (current_.done()) {
      delivery_.done = true;
      heardEnd_ = now + heardAfter +
                  std::chrono::duration_cast<Clock::duration>(
                      std::chrono::duration<double>(double(written) / rate_));
      current_ = Resampler();  // lets the sound go
      played_.notify_all();
    }
  }
  std::fill(out + written * size_t(channels), out + frames * size_t(channels), int16_t{0});
}

void SoundService::DeviceCallback(void* self, uint8_t* stream, int bytes) {
  auto* service = static_cast<SoundService*>(self);
  const auto now = Clock::now();
  std::lock_guard lock(service->mutex_);
  const size_t frames = size_t(bytes) / (sizeof(int16_t) * size_t(service->channels_));
  service->Fill(reinterpret_cast<int16_t*>(stream), frames, service->channels_, now,
                service->deviceLatency_);
}

void SoundService::SilentOutput() {
  // Hands out a buffer per buffer period while a sound plays, as a device would, and sleeps
  // when there is none: no wake-ups while the program is idle.
  const auto period = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(double(bufferFrames_) / rate_));
  std::vector<int16_t> buffer(static_cast<size_t>(bufferFrames_));
  std::unique_lock lock(mutex_);
  Clock::time_point next = Clock::now();
  while (!closing_) {
    if (current_.done()) {
      outputWake_.wait(lock, [&] { return closing_ || !current_.done(); });
      next = Clock::now();
      continue;
    }
    // Each buffer "sounds" during the period after it is handed out.
    Fill(buffer.data(), buffer.size(), 1, Clock::now(), Clock::duration::zero());
    next += period;
    outputWake_.wait_until(lock, next, [&] { return closing_; });
  }
}


}  // namespace zel
