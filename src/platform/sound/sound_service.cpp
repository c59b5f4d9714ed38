#include "platform/sound/sound_service.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace zel {
namespace {

// A waiting play gives up this long after its sound should have ended, so an output that
// stops calling back (a device pulled out mid-sound) cannot freeze the window for good.
constexpr auto kWaitMargin = std::chrono::seconds(2);

}  // namespace

SoundService::SoundService(std::span<const uint8_t> defaultAlertWav, AudioDeviceOpener open,
                           Clock::duration openDeadline, std::function<void()> beforeOpen)
    : openDeadline_(Clock::now() + openDeadline) {
  if (auto alert = DecodeWav(defaultAlertWav)) {
    alert_ = std::make_shared<const PcmSound>(std::move(*alert));
  }
  // Opening a device can take tens of milliseconds (drivers probe their hardware): it is
  // done aside, so the window is drawn meanwhile. A play asked for before it is ready
  // starts as soon as it is.
  opener_ = std::thread(&SoundService::OpenOutput, this, opening_, std::move(open),
                        std::move(beforeOpen));
}

void SoundService::OpenOutput(SoundService* self, std::shared_ptr<Opening> opening,
                              AudioDeviceOpener open, std::function<void()> beforeOpen) {
  if (beforeOpen) beforeOpen();
  // The device calls back only once started, which the service does once it has adopted
  // it: `self` is alive by then.
  std::unique_ptr<AudioDevice> device = open([self](int16_t* out, size_t frames,
                                                    Clock::duration heardAfter) {
    return self->DeviceFill(out, frames, heardAfter);
  });
  if (device && (device->Rate() < kMinWavRate || device->Channels() < 1 ||
                 device->BufferFrames() < 1)) {
    device.reset();
  }

  std::lock_guard lock(opening->mutex);
  opening->finished = true;
  opening->finishedChanged.notify_all();
  if (opening->abandoned) return;  // too late: the service went on silently and may be gone
  opening->adopted = true;
  self->AdoptOutput(std::move(device));
}

void SoundService::AdoptOutput(std::unique_ptr<AudioDevice> device) {
  std::unique_lock lock(mutex_);
  device_ = std::move(device);
  if (device_) {
    rate_ = device_->Rate();
    channels_ = device_->Channels();
    bufferFrames_ = device_->BufferFrames();
  }
  ready_ = true;
  if (pending_) StartLocked(std::exchange(pending_, nullptr), plays_);
  if (!device_) StartSilentLocked();
  lock.unlock();
  readyChanged_.notify_all();
  // Outside our lock: a device's thread may take its own lock, then ours.
  if (device_) device_->Start();
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
    // behind, so the program still ends. An audio system's set-up is seldom made for two
    // threads at once.
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
  if (!device_) return;
  // No fill may reach this object once it is gone.
  device_->Stop();
  device_.reset();
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
  return device_ != nullptr;
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

void SoundService::Play(std::optional<PcmSound> sound, SoundWait wait) {
  Start(DecodedOrAlert(std::move(sound)), wait);
}

void SoundService::PlayBytes(std::span<const uint8_t> wavBytes, SoundWait wait) {
  Start(DecodedOrAlert(DecodeWav(wavBytes)), wait);
}

void SoundService::PlayFile(const std::string& path, SoundWait wait) {
  Start(DecodedOrAlert(ReadSoundFile(path)), wait);
}

bool SoundService::Playable(const std::optional<PcmSound>& sound) {
  // The cap keeps the output's frame arithmetic far from overflow.
  return sound && !sound->samples.empty() && sound->samples.size() <= (size_t{1} << 31) &&
         sound->rate >= kMinWavRate && sound->rate <= kMaxWavRate;
}

std::shared_ptr<const PcmSound> SoundService::DecodedOrAlert(std::optional<PcmSound> sound) const {
  if (!Playable(sound)) return alert_;
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
  // A sound with frames still to go out, or gone out and not heard to its end, is cut off.
  cutting_ = cutting_ || !current_.done() || Clock::now() < heardEnd_;
  current_ = sound ? Resampler(std::move(sound), rate_) : Resampler();
  delivery_ = Delivery{};
  delivery_.play = play;
  delivery_.frames = current_.frames();
  playLimit_ = FramesToPlay(delivery_.frames, rate_, wait);
  if (playLimit_ == 0) current_ = Resampler();  // a wait with nothing left: only the stop
  delivery_.done = current_.done();
  heardEnd_ = Clock::now();
  if (!current_.done()) outputWake_.notify_one();
  // A device is woken for a stop as well, so it lets go of what it holds of the sound cut.
  if (device_ && (!current_.done() || cutting_)) device_->Wake();
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

AudioDevice::Filled SoundService::Fill(int16_t* out, size_t frames, int channels,
                                       Clock::time_point now, Clock::duration heardAfter) {
  // Told with the first frames after the cut (or none, for a play that only stops), as the
  // two are taken under one lock: what the output drops is all of the sound cut off.
  const bool cutsOff = std::exchange(cutting_, false);
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
  return {written, cutsOff};
}

AudioDevice::Filled SoundService::DeviceFill(int16_t* out, size_t frames, Clock::duration heardAfter) {
  const auto now = Clock::now();
  std::lock_guard lock(mutex_);
  return Fill(out, frames, channels_, now, heardAfter);
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
