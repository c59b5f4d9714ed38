// How soon a play reaches the audio output, and how long the output's buffer is.
//
// Two outputs: the silent one used without a device (SDL_AUDIODRIVER=dummy), and a real SDL
// device thread (SDL's disk driver writing to /dev/null, which calls back at a sound card's
// pace). A key's voice may take at most 5 ms to reach the output and, with the device's
// buffer, 20 ms to be heard; a waiting play should last its sound's length and a few
// milliseconds more. The tests check what went out in frames; the times are measured here.
#include <stdlib.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_device.h"
#include "platform/sound/sound_service.h"
#include "support/little_endian.h"
#include "wave/wav_file.h"

namespace zel {
namespace {

using Clock = SoundService::Clock;
using testing::Put16;
using testing::Put32;

// A key's voice as the built-in ones are stored: 8-bit mono at 16 kHz, by default 0.6 s of
// noise.
std::vector<uint8_t> VoiceWav(uint32_t frames = 16000 * 6 / 10) {
  const uint32_t rate = 16000;
  std::vector<uint8_t> b{'R', 'I', 'F', 'F'};
  Put32(b, 36 + frames);
  for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) b.push_back(uint8_t(c));
  Put32(b, 16);
  Put16(b, 1);
  Put16(b, 1);
  Put32(b, rate);
  Put32(b, rate);
  Put16(b, 1);
  Put16(b, 8);
  for (char c : {'d', 'a', 't', 'a'}) b.push_back(uint8_t(c));
  Put32(b, frames);
  std::minstd_rand noise(1);
  for (uint32_t i = 0; i < frames; ++i) b.push_back(uint8_t(96 + noise() % 64));
  return b;
}

void SetDriver(bool sdlDevice) {
  setenv("SDL_AUDIODRIVER", sdlDevice ? "disk" : "dummy", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
}

// From a play call to its first frame handed to the output. Keys come at any moment of the
// output's period, so each play starts after a random pause while the previous voice plays.
void BM_PlayToFirstFrame(benchmark::State& state) {
  SetDriver(state.range(0) != 0);
  const std::vector<uint8_t> voice = VoiceWav();
  SoundService service(voice, OpenSdlDevice);
  const auto period = std::chrono::duration<double>(double(service.BufferFrames()) /
                                                    service.OutputRate());
  std::minstd_rand random(7);
  std::vector<double> latencies;
  service.PlayBytes(voice, false);
  for (auto _ : state) {
    std::this_thread::sleep_for(period * (double(random() % 1000) / 1000));
    const auto start = Clock::now();
    service.PlayBytes(voice, false);
    SoundService::Delivery d;
    do {
      d = service.LastDelivery();
    } while (!d.start);
    const double seconds = std::chrono::duration<double>(*d.start - start).count();
    state.SetIterationTime(seconds);
    latencies.push_back(seconds * 1000);
  }
  std::sort(latencies.begin(), latencies.end());
  state.counters["device"] = service.HasDevice() ? 1 : 0;
  state.counters["buffer_ms"] = period.count() * 1000;
  state.counters["p50_ms"] = latencies[latencies.size() / 2];
  state.counters["p99_ms"] = latencies[latencies.size() * 99 / 100];
  state.counters["max_ms"] = latencies.back();
}
BENCHMARK(BM_PlayToFirstFrame)
    ->ArgName("sdl_device")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);

// How long a waiting play blocks, against its sound's length: the overrun is the output's
// buffer and the wake-up; a busy machine shows here as a longer one.
void BM_WaitingPlayLength(benchmark::State& state) {
  SetDriver(state.range(0) != 0);
  const std::vector<uint8_t> voice = VoiceWav(16000 / 4);  // 0.25 s
  SoundService service(voice, OpenSdlDevice);
  std::vector<double> overruns;
  for (auto _ : state) {
    const auto start = Clock::now();
    service.PlayBytes(voice, true);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    overruns.push_back((seconds - 0.25) * 1000);
  }
  std::sort(overruns.begin(), overruns.end());
  state.counters["device"] = service.HasDevice() ? 1 : 0;
  state.counters["min_overrun_ms"] = overruns.front();
  state.counters["p50_overrun_ms"] = overruns[overruns.size() / 2];
  state.counters["max_overrun_ms"] = overruns.back();
}
BENCHMARK(BM_WaitingPlayLength)
    ->ArgName("sdl_device")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// The program's own share: reading and decoding a voice's bytes and handing it over.
void BM_PlayBytesCall(benchmark::State& state) {
  SetDriver(false);
  const std::vector<uint8_t> voice = VoiceWav();
  SoundService service(voice, OpenSdlDevice);
  for (auto _ : state) service.PlayBytes(voice, false);
}
BENCHMARK(BM_PlayBytesCall)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zel

BENCHMARK_MAIN();
