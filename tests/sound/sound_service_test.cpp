#include "platform/sound/sound_service.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_device.h"
#include "wave/wav_file.h"
#include "support/little_endian.h"
#include "support/scratch_dir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using Clock = SoundService::Clock;

using testing::Put16;
using testing::Put32;

// A WAVE file of format tag `tag` around the sample bytes `data`.
Bytes WavFile(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
  const uint16_t align = uint16_t(channels * bits / 8);
  Bytes b{'R', 'I', 'F', 'F'};
  Put32(b, uint32_t(36 + data.size()));
  for (char c : std::string("WAVEfmt ")) b.push_back(uint8_t(c));
  Put32(b, 16);
  Put16(b, tag);
  Put16(b, channels);
  Put32(b, rate);
  Put32(b, rate * align);
  Put16(b, align);
  Put16(b, bits);
  for (char c : std::string("data")) b.push_back(uint8_t(c));
  Put32(b, uint32_t(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// A 440 Hz tone as a WAVE file.
Bytes Wav(uint32_t rate, double seconds, uint16_t channels = 1, uint16_t bits = 8) {
  const size_t frames = size_t(std::lround(seconds * rate));
  Bytes data;
  for (size_t i = 0; i < frames; ++i) {
    const double v = 0.5 * std::sin(2 * M_PI * 440 * double(i) / rate);
    for (int c = 0; c < channels; ++c) {
      if (bits == 8) data.push_back(uint8_t(128 + std::lround(v * 127)));
      else Put16(data, uint16_t(int16_t(std::lround(v * 32767))));
    }
  }
  return WavFile(1, channels, rate, bits, data);
}

PcmSound Tone(int rate, double seconds) { return *DecodeWav(Wav(uint32_t(rate), seconds, 1, 16)); }

double SecondsOf(const std::function<void()>& action) {
  const auto start = Clock::now();
  action();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A bound only a hang misses: what the tests wait for takes well under a second even on a
// machine busy with other work, and a fault that waits forever still ends the test.
constexpr auto kHangBound = 10s;
constexpr double kHangSeconds = 10.0;

bool WaitFor(const std::function<bool()>& condition, Clock::duration timeout = kHangBound) {
  const auto deadline = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// Sets an environment variable for one scope; SDL reads its driver choice at start-up.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

constexpr double kAlertSeconds = 0.25;

class SoundServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service = std::make_unique<SoundService>(Wav(8000, kAlertSeconds), OpenSdlDevice);
  }
  void TearDown() override { service.reset(); }

  std::string Store(const std::string& name, const Bytes& bytes) const {
    return scratch.Write(name, bytes);
  }
  // How many output frames a sound of this length takes, give or take the last one.
  void ExpectLength(double seconds, const char* what) const {
    EXPECT_NEAR(double(service->LastDelivery().frames), seconds * service->OutputRate(), 1.0)
        << what;
  }

  testing::ScratchDir scratch{"sound_service"};
  const fs::path& dir = scratch.path();
  std::unique_ptr<SoundService> service;
};

// Waiting plays of every kind of source return once their whole sound has gone out, and
// leave nothing behind. The length is counted in frames the output took; the clock only
// shows that the play waited at all (a busy machine can make it later, never earlier) and
// that it did not hang.
void ExpectWaitingPlaysLastTheirLength(SoundService& service, const fs::path& dir) {
  const std::string file = (dir / "file.wav").string();
  std::ofstream(file, std::ios::binary) << std::string(
      [] { Bytes b = Wav(16000, 0.35); return std::string(b.begin(), b.end()); }());
  // Made before any play starts, so that only the plays are timed.
  const Bytes eightBit = Wav(8000, 0.3), stereo = Wav(44100, 0.4, 2, 16);
  const PcmSound high = Tone(48000, 0.25), longSound = Tone(16000, 3.0);
  const struct {
    const char* what;
    double seconds;
    std::function<void()> play;
  } cases[] = {
      {"8-bit 8 kHz bytes", 0.3, [&] { service.PlayBytes(eightBit, true); }},
      {"16-bit stereo 44.1 kHz bytes", 0.4, [&] { service.PlayBytes(stereo, true); }},
      {"48 kHz sound", 0.25, [&] { service.Play(high, true); }},
      {"16 kHz file", 0.35, [&] { service.PlayFile(file, true); }},
      {"junk, so the alert", kAlertSeconds, [&] { service.PlayBytes(Bytes{1, 2, 3}, true); }},
  };
  for (const auto& c : cases) {
    // A long sound is playing; the waiting play cuts it off rather than queue behind it.
    service.Play(longSound, false);
    const uint64_t before = service.LastDelivery().play;
    const double seconds = SecondsOf(c.play);
    const SoundService::Delivery d = service.LastDelivery();
    EXPECT_EQ(d.play, before + 1) << c.what;
    EXPECT_TRUE(d.done) << c.what;  // every frame went out before the play returned
    EXPECT_NEAR(double(d.frames), c.seconds * service.OutputRate(), 1.0) << c.what;
    EXPECT_FALSE(service.Playing()) << c.what;
    EXPECT_LT(seconds, kHangSeconds) << c.what;  // a bound only a hang reaches
  }
}

TEST_F(SoundServiceTest, AnAsynchronousPlayReturnsAtOnceAndIsCutOffByTheNext) {
  // Thirty seconds: far longer than any stall of a busy machine between two lines here.
  const PcmSound longSound = Tone(16000, 30.0);
  const Bytes shortSound = Wav(16000, 0.1);
  service->Play(longSound, false);
  // Returned while its sound is still to go out, so it did not wait for it.
  EXPECT_FALSE(service->LastDelivery().done);
  const uint64_t first = service->LastDelivery().play;
  ASSERT_TRUE(WaitFor([&] { return service->LastDelivery().start.has_value(); }));
  EXPECT_TRUE(service->Playing());

  service->PlayBytes(shortSound, false);
  const SoundService::Delivery second = service->LastDelivery();
  EXPECT_EQ(second.play, first + 1);
  EXPECT_FALSE(second.done);
  // The short sound goes out whole in place of the long one's rest, and is the last.
  ASSERT_TRUE(WaitFor([&] { return !service->Playing(); }));
  const SoundService::Delivery last = service->LastDelivery();
  EXPECT_EQ(last.play, first + 1);
  EXPECT_TRUE(last.done);
  ExpectLength(0.1, "the second sound");
  EXPECT_FALSE(service->Playing());
}

TEST_F(SoundServiceTest, AWaitingPlayLastsTheSoundsLength) {
  ExpectWaitingPlaysLastTheirLength(*service, dir);
}

// A waiting play holds the window for at most a few seconds of sound: a long voice file, or
// one whose rate field makes it slow, is cut there. Counted in frames that reach the output.
TEST_F(SoundServiceTest, AWaitingPlayOfALongSoundIsCutAfterItsLimit) {
  const size_t limit = size_t(kMaxWaitSeconds) * size_t(service->OutputRate());
  const std::string slow = Store("BUBI.wav", Wav(1000, 8.0));  // 8 s at a rate field of 1000
  const struct {
    const char* what;
    double seconds;
    std::function<void()> play;
  } cases[] = {
      {"a 30-second sound", 30.0, [&] { service->Play(Tone(8000, 30.0), true); }},
      {"a slow voice file", 8.0, [&] { service->PlayFile(slow, true); }},
      {"a sound just longer", kMaxWaitSeconds + 0.1,
       [&] { service->Play(Tone(8000, kMaxWaitSeconds + 0.1), true); }},
  };
  for (const auto& c : cases) {
    c.play();
    const SoundService::Delivery last = service->LastDelivery();
    ExpectLength(c.seconds, c.what);
    EXPECT_EQ(last.delivered, limit) << c.what;
    EXPECT_TRUE(last.done) << c.what;
    EXPECT_FALSE(service->Playing()) << c.what;
  }
  // A play that does not wait freezes nothing, and plays on past the limit.
  service->Play(Tone(8000, kMaxWaitSeconds + 1.0), false);
  EXPECT_TRUE(WaitFor([&] { return service->LastDelivery().delivered > limit; }, 60s));
  EXPECT_TRUE(WaitFor([&] { return service->LastDelivery().done; }, 60s));
  ExpectLength(kMaxWaitSeconds + 1.0, "a sound not waited for");
  EXPECT_EQ(service->LastDelivery().delivered, service->LastDelivery().frames);
}

// A wait cut shorter lets that much be heard; one with nothing left only stops the sound
// playing, and returns without waiting for the output.
TEST_F(SoundServiceTest, AShorterWaitCutsTheSoundThere) {
  const PcmSound longSound = Tone(8000, 30.0);
  const struct {
    const char* what;
    int maxMs;
  } cases[] = {{"half a second", 500}, {"a twentieth", 50}, {"nothing left", 0}};
  for (const auto& c : cases) {
    service->Play(longSound, false);  // the wait cuts this off, whatever it is allowed
    const uint64_t before = service->LastDelivery().play;
    const double seconds = SecondsOf([&] { service->Play(longSound, SoundWait::AtMost(c.maxMs)); });
    const SoundService::Delivery d = service->LastDelivery();
    EXPECT_EQ(d.play, before + 1) << c.what;
    EXPECT_TRUE(d.done) << c.what;
    EXPECT_EQ(d.delivered, size_t(c.maxMs) * size_t(service->OutputRate()) / 1000) << c.what;
    EXPECT_EQ(d.start.has_value(), c.maxMs > 0) << c.what;
    EXPECT_FALSE(service->Playing()) << c.what;
    EXPECT_LT(seconds, kHangSeconds) << c.what;
  }
}

TEST_F(SoundServiceTest, WhatCannotBePlayedGivesTheDefaultAlert) {
  const Bytes good = Wav(16000, 0.2);
  const std::string goodFile = Store("KA.wav", good);
  Bytes cut = good;
  cut.resize(40);  // ends inside the data chunk's header
  fs::create_directory(dir / "DIR.wav");

  service->PlayFile(goodFile, false);
  ExpectLength(0.2, "a good file plays itself");
  service->PlayBytes(good, false);
  ExpectLength(0.2, "good bytes play themselves");

  const struct {
    const char* what;
    std::function<void()> play;
  } cases[] = {
      {"a file of zero length", [&] { service->PlayFile(Store("SP.wav", {}), false); }},
      {"a missing file", [&] { service->PlayFile((dir / "NONE.wav").string(), false); }},
      {"a directory", [&] { service->PlayFile((dir / "DIR.wav").string(), false); }},
      {"a file cut short", [&] { service->PlayFile(Store("CUT.wav", cut), false); }},
      {"junk bytes", [&] { service->PlayBytes(Bytes(300, 0x5A), false); }},
      {"no bytes", [&] { service->PlayBytes({}, false); }},
      {"a sound without samples", [&] { service->Play(PcmSound{16000, {}}, false); }},
      {"a sound without a rate", [&] { service->Play(PcmSound{0, {1, 2, 3}}, false); }},
  };
  for (const auto& c : cases) {
    service->Play(Tone(16000, 1.0), false);
    const uint64_t before = service->LastDelivery().play;
    c.play();
    EXPECT_EQ(service->LastDelivery().play, before + 1) << c.what;
    ExpectLength(kAlertSeconds, c.what);
  }
  EXPECT_TRUE(WaitFor([&] { return !service->Playing(); }));
}

TEST_F(SoundServiceTest, WithoutADefaultAlertAnUnplayableSoundStopsTheOnePlaying) {
  service.reset();
  SoundService quiet(Bytes{'R', 'I', 'F', 'F'}, OpenSdlDevice);
  // Long enough that a waiting play which waited for it would miss the hang bound.
  quiet.Play(Tone(16000, 30.0), false);
  const uint64_t before = quiet.LastDelivery().play;
  // Waits for nothing: there is nothing to hear.
  EXPECT_LT(SecondsOf([&] { quiet.PlayBytes(Bytes{1, 2, 3}, true); }), kHangSeconds);
  EXPECT_FALSE(quiet.Playing());
  EXPECT_EQ(quiet.LastDelivery().play, before + 1);
  EXPECT_EQ(quiet.LastDelivery().frames, 0u);
}

TEST_F(SoundServiceTest, WorksWithNoAudioDeviceAtAll) {
  service.reset();
  ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  service = std::make_unique<SoundService>(Wav(8000, kAlertSeconds), OpenSdlDevice);
  EXPECT_FALSE(service->HasDevice());
  ExpectWaitingPlaysLastTheirLength(*service, dir);
  service->Play(Tone(16000, 0.1), false);
  EXPECT_TRUE(WaitFor([&] { return service->LastDelivery().done; }));
  ExpectLength(0.1, "an asynchronous play in silence");
}

// An audio system that never answers the open: past the deadline the sounds keep their
// timing in silence, a wrong-answer buzz does not freeze the window, and the program ends.
TEST_F(SoundServiceTest, AnAudioDeviceThatHangsIsGoneAroundAfterADeadline) {
  service.reset();
  struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
  };
  auto gate = std::make_shared<Gate>();
  auto hang = [gate] {
    std::unique_lock lock(gate->mutex);
    gate->opened.wait(lock, [&] { return gate->open; });
  };
  const PcmSound tone = Tone(16000, 0.1);
  const Bytes waited = Wav(8000, 0.3);
  for (const bool waitingFirst : {true, false}) {
    SCOPED_TRACE(waitingFirst ? "a waiting play first" : "asynchronous plays first");
    const auto deadline = 200ms;
    const auto created = Clock::now();
    service =
        std::make_unique<SoundService>(Wav(8000, kAlertSeconds), OpenSdlDevice, deadline, hang);
    if (!waitingFirst) {
      service->Play(tone, false);
      EXPECT_FALSE(service->LastDelivery().done);
      // Past the deadline an asynchronous play goes on in silence; it never waits for the
      // hung open.
      std::this_thread::sleep_until(created + deadline + 50ms);
      EXPECT_LT(SecondsOf([&] { service->Play(tone, false); }), kHangSeconds);
      EXPECT_TRUE(WaitFor([&] { return service->LastDelivery().done; }));
      ExpectLength(0.1, "an asynchronous play past the deadline");
    }
    // The first waiting play waits out the deadline at most, then its own length.
    const double first = SecondsOf([&] { service->PlayBytes(waited, true); });
    EXPECT_TRUE(service->LastDelivery().done);
    ExpectLength(0.3, "the first waiting play");
    EXPECT_GT(first, 0.5 * 0.3);
    EXPECT_LT(first, kHangSeconds);
    EXPECT_FALSE(service->HasDevice());
    ExpectWaitingPlaysLastTheirLength(*service, dir);
    // The destructor does not wait for the open that hangs.
    EXPECT_LT(SecondsOf([&] { service.reset(); }), kHangSeconds);
  }
  // The threads left behind hold the gate through their hang functions until they end.
  EXPECT_GT(gate.use_count(), 2);
  {
    std::lock_guard lock(gate->mutex);
    gate->open = true;
  }
  gate->opened.notify_all();
  // Released, they find their services gone and end without touching them.
  EXPECT_TRUE(WaitFor([&] { return gate.use_count() == 2; }));  // ours and hang's
}

// The same rules through a real SDL device thread: SDL's disk driver writes to /dev/null
// and calls back at the pace of a sound card.
TEST_F(SoundServiceTest, KeepsItsRulesOnAnSdlDevice) {
  service.reset();
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", "/dev/null");
  service = std::make_unique<SoundService>(Wav(8000, kAlertSeconds), OpenSdlDevice);
  if (!service->HasDevice()) GTEST_SKIP() << "SDL has no disk driver here";
  ExpectWaitingPlaysLastTheirLength(*service, dir);

  // Junk cuts off a long sound on the device: the alert goes out whole in its place.
  service->Play(Tone(16000, 30.0), false);
  ASSERT_TRUE(WaitFor([&] { return service->LastDelivery().start.has_value(); }));
  const uint64_t first = service->LastDelivery().play;
  service->PlayBytes(Bytes{0}, false);
  ASSERT_TRUE(WaitFor([&] { return !service->Playing(); }));
  EXPECT_EQ(service->LastDelivery().play, first + 1);
  EXPECT_TRUE(service->LastDelivery().done);
  ExpectLength(kAlertSeconds, "junk on the device");
}

// A device that holds what it was given, as waveOut holds its queue of buffers: frames are
// pulled by the test, one buffer at a time, and each fill's report kept. It reports the
// frames as heard `heardAfter` after they are given.
class HoldingDevice : public AudioDevice {
 public:
  struct State {
    Fill fill;
    int wakes = 0;
  };
  explicit HoldingDevice(std::shared_ptr<State> state) : state_(std::move(state)) {}
  int Rate() const override { return 48000; }
  int Channels() const override { return 1; }
  int BufferFrames() const override { return 256; }
  void Start() override {}
  void Wake() override { ++state_->wakes; }  // under the service's lock
  void Stop() override {}

 private:
  std::shared_ptr<State> state_;
};

// A play that cuts off a sound still sounding tells the device so with the first frames
// after the cut, and only then, so the device may drop what it holds of the sound cut off
// (and no more); a play after a sound heard to its end, or the first, cuts nothing.
TEST(SoundServiceCut, TellsTheDeviceWhatItMayDrop) {
  auto state = std::make_shared<HoldingDevice::State>();
  SoundService service(Wav(8000, kAlertSeconds),
                       [state](AudioDevice::Fill fill) -> std::unique_ptr<AudioDevice> {
                         state->fill = std::move(fill);
                         return std::make_unique<HoldingDevice>(state);
                       });
  ASSERT_TRUE(service.HasDevice());
  std::vector<int16_t> buffer(256);
  auto pull = [&](Clock::duration heardAfter = 0s) {
    return state->fill(buffer.data(), buffer.size(), heardAfter);
  };

  const PcmSound longSound = Tone(16000, 30.0), shortSound = Tone(16000, 0.002);
  service.Play(longSound, false);
  AudioDevice::Filled f = pull();
  EXPECT_EQ(f.frames, 256u);
  EXPECT_FALSE(f.cutsOff) << "the first sound cuts nothing";
  EXPECT_FALSE(pull().cutsOff);

  // Cut off by a sound shorter than a buffer: told once, with the new sound's frames.
  service.Play(shortSound, false);
  const size_t shortFrames = service.LastDelivery().frames;
  ASSERT_GT(shortFrames, 0u);
  ASSERT_LT(shortFrames, 256u);
  f = pull(60s);  // the device holds it a minute
  EXPECT_EQ(f.frames, shortFrames);
  EXPECT_TRUE(f.cutsOff);
  f = pull();
  EXPECT_EQ(f.frames, 0u);
  EXPECT_FALSE(f.cutsOff);

  // That one has gone out, but is not heard yet: the next play cuts it. This one the device
  // reports heard already, so the next play cuts nothing: the end of a waiting play's
  // sound, say, is never dropped.
  service.Play(shortSound, false);
  EXPECT_TRUE(pull(-1s).cutsOff);
  service.Play(longSound, false);
  f = pull(-1s);
  EXPECT_EQ(f.frames, 256u);
  EXPECT_FALSE(f.cutsOff);

  // A play that only stops the sound playing wakes the device, and the next fill tells it
  // to drop what it holds, with nothing new.
  const int wakes = state->wakes;
  service.Play(shortSound, SoundWait::AtMost(0));
  EXPECT_EQ(state->wakes, wakes + 1);
  f = pull();
  EXPECT_EQ(f.frames, 0u);
  EXPECT_TRUE(f.cutsOff);
}

// G.711 compression of one 16-bit sample, as a recorder writes it.
uint8_t ToMuLaw(int sample) {
  const int sign = sample < 0 ? 0x80 : 0;
  int magnitude = std::min(std::abs(sample), 32635) + 0x84;
  int exponent = 7;
  for (int mask = 0x4000; exponent > 0 && !(magnitude & mask); mask >>= 1) --exponent;
  const int mantissa = (magnitude >> (exponent + 3)) & 0x0F;
  return uint8_t(~(sign | exponent << 4 | mantissa));
}
uint8_t ToALaw(int sample) {
  const int sign = sample >= 0 ? 0x80 : 0;
  const int magnitude = std::min(std::abs(sample), 32767) >> 3;  // 13 bits
  int exponent = 0;
  while (exponent < 7 && magnitude >= (32 << exponent)) ++exponent;
  const int mantissa = exponent == 0 ? magnitude >> 1 : (magnitude >> exponent) & 0x0F;
  return uint8_t((sign | exponent << 4 | mantissa) ^ 0x55);
}

// A 440 Hz tone at half scale, in the given WAVE format.
Bytes RecordedWav(uint16_t tag, uint16_t bits, uint16_t channels, uint32_t rate, double seconds) {
  const size_t frames = size_t(std::lround(seconds * rate));
  Bytes data;
  for (size_t i = 0; i < frames; ++i) {
    const double v = 0.5 * std::sin(2 * M_PI * 440 * double(i) / rate);
    const int s16 = int(std::lround(v * 32767));
    for (int c = 0; c < channels; ++c) {
      if (tag == 7) data.push_back(ToMuLaw(s16));
      else if (tag == 6) data.push_back(ToALaw(s16));
      else if (tag == 3) {
        const float x = float(v);
        uint32_t u;
        std::memcpy(&u, &x, 4);
        Put32(data, u);
      } else {
        const int64_t full = std::llround(v * double((int64_t{1} << (bits - 1)) - 1));
        for (int k = 0; k < bits / 8; ++k) data.push_back(uint8_t(uint64_t(full) >> (8 * k)));
      }
    }
  }
  return WavFile(tag, channels, rate, bits, data);
}

TEST_F(SoundServiceTest, RecordedVoicesInEveryFormatPlayAsThemselves) {
  constexpr double kSeconds = 0.6;
  const struct {
    const char* what;
    uint16_t tag, bits, channels;
    uint32_t rate;
  } formats[] = {
      {"24-bit stereo 44.1 kHz", 1, 24, 2, 44100}, {"32-bit 96 kHz", 1, 32, 1, 96000},
      {"32-bit float 22.05 kHz", 3, 32, 1, 22050}, {"mu-law 8 kHz", 7, 8, 1, 8000},
      {"A-law stereo 11.025 kHz", 6, 8, 2, 11025}, {"16-bit 6 kHz", 1, 16, 1, 6000},
  };
  for (const auto& f : formats) {
    const Bytes bytes = RecordedWav(f.tag, f.bits, f.channels, f.rate, kSeconds);
    service->PlayFile(Store("KA.wav", bytes), false);
    ExpectLength(kSeconds, f.what);  // the sound itself, not the alert

    // What reaches the output: the tone's pitch and loudness after mixing and resampling.
    const auto sound = DecodeWav(bytes);
    ASSERT_TRUE(sound) << f.what;
    Resampler out(std::make_shared<const PcmSound>(*sound), 48000);
    std::vector<int16_t> heard(out.frames());
    out.Read(heard.data(), heard.size());
    int crossings = 0, peak = 0;
    for (size_t i = 1; i < heard.size(); ++i) {
      if ((heard[i - 1] < 0) != (heard[i] < 0)) ++crossings;
      peak = std::max(peak, std::abs(int(heard[i])));
    }
    EXPECT_NEAR(crossings / (2 * kSeconds), 440.0, 5.0) << f.what;
    EXPECT_NEAR(peak, 16384, 16384 * 0.05) << f.what;
  }
}

TEST(Resampler, KeepsTheSoundsLengthAtAnyRate) {
  const struct {
    int from, to;
  } pairs[] = {{8000, 48000}, {11025, 48000}, {44100, 48000}, {48000, 44100},
               {384000, 48000}, {1000, 44100}, {22050, 22050}};
  for (const auto& p : pairs) {
    for (size_t n : {size_t{1}, size_t{7}, size_t{1000}, size_t{44101}}) {
      auto sound = std::make_shared<PcmSound>(PcmSound{p.from, std::vector<int16_t>(n, 1)});
      Resampler resampler(sound, p.to);
      const double exact = double(n) * p.to / p.from;
      EXPECT_NEAR(double(resampler.frames()), exact, 1.0) << p.from << "->" << p.to << " " << n;
      // Reading in odd pieces yields every frame once, then nothing.
      std::vector<int16_t> out(300);
      size_t total = 0;
      while (size_t got = resampler.Read(out.data(), 97)) total += got;
      EXPECT_EQ(total, resampler.frames());
      EXPECT_TRUE(resampler.done());
    }
  }
}

TEST(Resampler, InterpolatesBetweenNeighbours) {
  const std::vector<int16_t> ramp{0, 300, 600, -300, 32767, -32768};
  auto sound = std::make_shared<PcmSound>(PcmSound{16000, ramp});

  Resampler up(sound, 48000);
  std::vector<int16_t> out(up.frames());
  ASSERT_EQ(up.Read(out.data(), out.size()), ramp.size() * 3);
  for (size_t k = 0; k < out.size(); ++k) {
    const size_t i = k / 3;
    const double a = ramp[i], b = i + 1 < ramp.size() ? ramp[i + 1] : a;
    EXPECT_NEAR(out[k], a + (b - a) * double(k % 3) / 3, 1.0) << k;
  }

  Resampler down(sound, 8000);  // every other sample
  std::vector<int16_t> half(down.frames());
  ASSERT_EQ(down.Read(half.data(), half.size()), 3u);
  EXPECT_EQ(half, (std::vector<int16_t>{0, 600, 32767}));

  Resampler same(sound, 16000);
  std::vector<int16_t> copy(same.frames());
  same.Read(copy.data(), copy.size());
  EXPECT_EQ(copy, ramp);
}

TEST(BuiltInSounds, AllDecode) {
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(ZEL_SOUNDS_DIR)) {
    if (entry.path().extension() != ".wav") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), {}};
    const auto sound = DecodeWav(bytes);
    ASSERT_TRUE(sound) << entry.path();
    EXPECT_GE(sound->samples.size(), size_t(sound->rate) / 20) << entry.path();  // audible
    ++count;
  }
  EXPECT_GT(count, 0u);
}

}  // namespace
}  // namespace zel
