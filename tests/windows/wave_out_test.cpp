// The sound service on the Windows program's waveOut device, under Wine with a PulseAudio
// null sink as the device (with_null_sink.sh): the rules it keeps on SDL's device hold here,
// including after the device has rested with nothing to play. Counted in the frames that
// went to the device; the clock bounds only a hang.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/sound/sound_service.h"
#include "platform/win32/wave_out_device.h"
#include "wave/sound_play.h"

namespace zel {
namespace {

using namespace std::chrono_literals;
using Clock = SoundService::Clock;

// A 440 Hz tone at half scale.
PcmSound Tone(int rate, double seconds) {
  PcmSound sound{rate, {}};
  const size_t frames = size_t(std::lround(seconds * rate));
  for (size_t i = 0; i < frames; ++i) {
    sound.samples.push_back(
        int16_t(std::lround(16000 * std::sin(2 * std::numbers::pi * 440 * double(i) / rate))));
  }
  return sound;
}

constexpr auto kHangBound = 20s;

bool WaitFor(const std::function<bool()>& condition) {
  const auto deadline = Clock::now() + kHangBound;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

constexpr double kAlertSeconds = 0.25;

TEST(WaveOutDevice, KeepsTheSoundServicesRules) {
  SoundService service(PcmWaveBytes(Tone(8000, kAlertSeconds), false), OpenWaveOut);
  ASSERT_TRUE(service.HasDevice()) << "no waveOut device: run through with_null_sink.sh";
  const double rate = service.OutputRate();

  // Waiting plays return once every frame went to the device; the device rests between
  // them, as it does while a child thinks, and each wakes it again.
  for (const double seconds : {0.3, 0.05, 0.4}) {
    const auto before = service.LastDelivery().play;
    service.Play(Tone(16000, seconds), true);
    const SoundService::Delivery d = service.LastDelivery();
    EXPECT_EQ(d.play, before + 1) << seconds;
    EXPECT_TRUE(d.done) << seconds;
    EXPECT_EQ(d.delivered, d.frames) << seconds;
    EXPECT_NEAR(double(d.frames), seconds * rate, 1.0) << seconds;
    EXPECT_FALSE(service.Playing()) << seconds;
    std::this_thread::sleep_for(100ms);  // longer than the device holds: it runs dry
  }

  // A long sound playing is cut off by the next play, here junk: the alert goes out whole
  // in its place.
  service.Play(Tone(16000, 30.0), false);
  ASSERT_TRUE(WaitFor([&] { return service.LastDelivery().delivered > 0; }));
  const auto first = service.LastDelivery().play;
  service.Play(std::nullopt, false);
  ASSERT_TRUE(WaitFor([&] { return !service.Playing(); }));
  const SoundService::Delivery alert = service.LastDelivery();
  EXPECT_EQ(alert.play, first + 1);
  EXPECT_TRUE(alert.done);
  EXPECT_EQ(alert.delivered, alert.frames);
  EXPECT_NEAR(double(alert.frames), kAlertSeconds * rate, 1.0);
}

// The program ends while a sound plays: the device's thread stops and the device closes.
TEST(WaveOutDevice, ClosesWhileASoundPlays) {
  auto service = std::make_unique<SoundService>(PcmWaveBytes(Tone(8000, 0.1), false),
                                                OpenWaveOut);
  ASSERT_TRUE(service->HasDevice());
  service->Play(Tone(16000, 30.0), false);
  ASSERT_TRUE(WaitFor([&] { return service->LastDelivery().delivered > 0; }));
  const auto start = Clock::now();
  service.reset();
  EXPECT_LT(Clock::now() - start, kHangBound);  // a bound only a hang reaches
}

}  // namespace
}  // namespace zel
