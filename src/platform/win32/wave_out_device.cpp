#include "platform/win32/wave_out_device.h"

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace zel {
namespace {

// Small buffers in turn, 85 ms of them ahead of the device while a sound plays, so that a
// busy machine can hold this thread back that long without a gap; a key's voice still goes
// out at once, in the next buffer, as a play that cuts off another drops what the device
// holds of it. Nothing goes out while the program is quiet. One channel: the system spreads
// it to the speakers.
constexpr int kRate = 48000;
constexpr int kFrames = 256;
constexpr int kBuffers = 16;

class WaveOutDevice : public AudioDevice {
 public:
  explicit WaveOutDevice(Fill fill) : fill_(std::move(fill)) {}

  bool Open() {
    // Auto-reset: the device sets bufferDone_ each time it gives a buffer back.
    bufferDone_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!bufferDone_ || !wake_) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = kRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = kRate * 2;
    if (waveOutOpen(&wave_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone_), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      wave_ = nullptr;
      return false;
    }
    for (Buffer& b : buffers_) {
      b.samples.assign(kFrames, 0);
      b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
      b.header.dwBufferLength = kFrames * sizeof(int16_t);
      if (waveOutPrepareHeader(wave_, &b.header, sizeof b.header) != MMSYSERR_NOERROR) return false;
    }
    return true;
  }

  ~WaveOutDevice() override {
    Stop();
    if (wave_) {
      waveOutReset(wave_);  // gives back every buffer it holds
      for (Buffer& b : buffers_) {
        if (b.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(wave_, &b.header, sizeof b.header);
      }
      waveOutClose(wave_);
    }
    if (bufferDone_) CloseHandle(bufferDone_);
    if (wake_) CloseHandle(wake_);
  }

  int Rate() const override { return kRate; }
  int Channels() const override { return 1; }
  int BufferFrames() const override { return kFrames; }

  void Start() override { feeder_ = std::thread(&WaveOutDevice::Feed, this); }
  void Wake() override { SetEvent(wake_); }
  void Stop() override {
    if (!feeder_.joinable()) return;
    stopping_ = true;
    SetEvent(wake_);
    feeder_.join();
  }

 private:
  struct Buffer {
    WAVEHDR header{};
    std::vector<int16_t> samples;
    bool sent = false;  // written to the device and not yet seen back
  };

  static bool Back(const Buffer& b) {
    // The device's thread sets the flag; the event it sets after orders the read.
    return !b.sent || (static_cast<const volatile DWORD&>(b.header.dwFlags) & WHDR_DONE);
  }

  void Feed() {
    // Late buffers are heard as gaps, so this thread goes before the window's.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    const HANDLE events[] = {bufferDone_, wake_};
    while (!stopping_) {
      int held = 0;
      for (const Buffer& b : buffers_) held += Back(b) ? 0 : 1;
      // The buffers go out in turn, each as soon as the device gives it back, while there is
      // sound to put in it; with none the device runs dry and rests until the next sound.
      while (!stopping_ && Back(buffers_[next_])) {
        Buffer& b = buffers_[next_];
        b.sent = false;
        const auto heardAfter = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(held) * kFrames / kRate));
        const Filled filled = fill_(b.samples.data(), kFrames, heardAfter);
        if (filled.cutsOff && held > 0) {
          waveOutReset(wave_);  // gives every buffer back at once
          held = 0;
        }
        if (filled.frames == 0) break;
        if (waveOutWrite(wave_, &b.header, sizeof b.header) != MMSYSERR_NOERROR) break;
        b.sent = true;
        ++held;
        next_ = (next_ + 1) % kBuffers;
      }
      WaitForMultipleObjects(2, events, FALSE, INFINITE);
    }
  }

  Fill fill_;
  HWAVEOUT wave_ = nullptr;
  HANDLE bufferDone_ = nullptr;
  HANDLE wake_ = nullptr;
  std::array<Buffer, kBuffers> buffers_;
  size_t next_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread feeder_;
};

}  // namespace

std::unique_ptr<AudioDevice> OpenWaveOut(AudioDevice::Fill fill) {
  auto device = std::make_unique<WaveOutDevice>(std::move(fill));
  if (!device->Open()) return nullptr;
  return device;
}

}  // namespace zel
