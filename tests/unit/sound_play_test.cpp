#include "wave/sound_play.h"
#include "support/little_endian.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace zel {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Get32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}
uint16_t Get16(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

PcmSound Ramp(int rate, size_t frames) {
  PcmSound sound{rate, {}};
  for (size_t i = 0; i < frames; ++i) sound.samples.push_back(int16_t(int(i * 7919 % 65536) - 32768));
  return sound;
}

// An 8-bit mono file at 16 kHz, as the built-in voices are.
Bytes EightBitWav(uint32_t frames) {
  Bytes b{'R', 'I', 'F', 'F'};
  testing::Put32(b, 36 + frames);
  for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) b.push_back(uint8_t(c));
  testing::Put32(b, 16);
  testing::Put16(b, 1);
  testing::Put16(b, 1);
  testing::Put32(b, 16000);
  testing::Put32(b, 16000);
  testing::Put16(b, 1);
  testing::Put16(b, 8);
  for (char c : {'d', 'a', 't', 'a'}) b.push_back(uint8_t(c));
  testing::Put32(b, frames);
  for (uint32_t i = 0; i < frames; ++i) b.push_back(uint8_t(i * 37));
  return b;
}

// The bytes must read back as the same sound, in the plainest header a whole-file player
// (PlaySound from memory) takes: 16-bit PCM, one channel, fields that agree.
TEST(PcmWaveBytes, ReadsBackAsTheSameSoundInAPlainHeader) {
  const struct {
    const char* what;
    PcmSound sound;
  } cases[] = {
      {"one frame at the lowest rate", {kMinWavRate, {-32768}}},
      {"the extremes at 8 kHz", {8000, {-32768, 32767, 0, -1, 1}}},
      {"an odd count at 44.1 kHz", Ramp(44100, 4411)},
      {"the highest rate", Ramp(kMaxWavRate, 1000)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool wait : {false, true}) {
      const Bytes bytes = PcmWaveBytes(c.sound, wait);
      const size_t frames = c.sound.samples.size();
      ASSERT_EQ(bytes.size(), 44 + 2 * frames);
      EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
      EXPECT_EQ(Get32(bytes, 4), bytes.size() - 8);
      EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
      EXPECT_EQ(Get32(bytes, 16), 16u);
      EXPECT_EQ(Get16(bytes, 20), 1);  // PCM
      EXPECT_EQ(Get16(bytes, 22), 1);  // channels
      EXPECT_EQ(Get32(bytes, 24), uint32_t(c.sound.rate));
      EXPECT_EQ(Get32(bytes, 28), uint32_t(c.sound.rate) * 2);
      EXPECT_EQ(Get16(bytes, 32), 2);
      EXPECT_EQ(Get16(bytes, 34), 16);
      EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
      EXPECT_EQ(Get32(bytes, 40), 2 * frames);
      const auto back = DecodeWav(bytes);
      ASSERT_TRUE(back);
      EXPECT_EQ(back->rate, c.sound.rate);
      EXPECT_EQ(back->samples, c.sound.samples);
    }
  }
}

// A waiting play lets kMaxWaitSeconds of its sound be heard and no more; one that does not
// wait plays it whole. Counted at the sound's own rate.
TEST(PcmWaveBytes, CutsOnlyAWaitingPlayAtTheLimit) {
  const struct {
    int rate;
    double seconds;
    size_t waited;  // frames a waiting play keeps
  } cases[] = {
      {8000, 0.5, 4000},
      {16000, kMaxWaitSeconds, size_t(kMaxWaitSeconds) * 16000},
      {16000, kMaxWaitSeconds + 0.001, size_t(kMaxWaitSeconds) * 16000},
      {44100, kMaxWaitSeconds + 2.0, size_t(kMaxWaitSeconds) * 44100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.rate << " Hz, " << c.seconds << " s");
    const PcmSound sound = Ramp(c.rate, size_t(c.seconds * c.rate + 0.5));
    EXPECT_EQ(FramesToPlay(sound.samples.size(), c.rate, true), c.waited);
    EXPECT_EQ(FramesToPlay(sound.samples.size(), c.rate, false), sound.samples.size());
    const auto waited = DecodeWav(PcmWaveBytes(sound, true));
    const auto whole = DecodeWav(PcmWaveBytes(sound, false));
    ASSERT_TRUE(waited && whole);
    EXPECT_EQ(waited->samples,
              std::vector<int16_t>(sound.samples.begin(), sound.samples.begin() + c.waited));
    EXPECT_EQ(whole->samples, sound.samples);
  }
}

// A wait cut shorter keeps that many milliseconds' worth at the sound's rate, never more than
// a whole wait, and nothing at all when nothing is left.
TEST(FramesToPlay, AShorterWaitKeepsItsMilliseconds) {
  const struct {
    int rate;
    int maxMs;
    size_t kept;
  } cases[] = {
      {16000, 1200, 19200}, {44100, 10, 441},  {11025, 1, 11},  {16000, 0, 0},
      {16000, -5, 0},       {8000, kMaxWaitMs, size_t(kMaxWaitSeconds) * 8000},
      {8000, kMaxWaitMs + 1, size_t(kMaxWaitSeconds) * 8000},
  };
  const size_t frames = 60 * 48000;  // a minute at the highest rate here
  for (const auto& c : cases) {
    SoundWait wait = SoundWait::AtMost(c.maxMs);
    EXPECT_EQ(FramesToPlay(frames, c.rate, wait), c.kept) << c.rate << " Hz, " << c.maxMs;
    wait.maxMs = c.maxMs;  // out of range as a plain field too
    EXPECT_EQ(FramesToPlay(frames, c.rate, wait), c.kept) << c.rate << " Hz, " << c.maxMs;
  }
  EXPECT_EQ(SoundWait::AtMost(kMaxWaitMs), SoundWait(true));
  EXPECT_EQ(FramesToPlay(100, 16000, SoundWait::AtMost(1000)), 100u);  // shorter than the wait
}

// A voice file is what DecodeWav takes of a regular file within the size bound; anything
// else gives none, so the caller plays the alert.
TEST(ReadSoundFile, TakesAWaveFileWithinTheBoundAndNothingElse) {
  testing::ScratchDir dir("sound_file");
  const Bytes voice = EightBitWav(1600);
  const std::string good = dir.Write("KA.wav", voice);
  const auto sound = ReadSoundFile(good);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->rate, 16000);
  EXPECT_EQ(sound->samples, DecodeWav(voice)->samples);

  // The same file grown to the bound still plays (its "data" chunk covers the first
  // frames only); one byte more and it is not read at all.
  const std::string atBound = dir.Write("at_bound.wav", voice);
  std::filesystem::resize_file(atBound, kMaxSoundFileBytes);
  EXPECT_TRUE(ReadSoundFile(atBound));
  const std::string over = dir.Write("over.wav", voice);
  std::filesystem::resize_file(over, kMaxSoundFileBytes + 1);
  EXPECT_FALSE(ReadSoundFile(over));

  EXPECT_FALSE(ReadSoundFile((dir.path() / "missing.wav").string()));
  EXPECT_FALSE(ReadSoundFile(dir.path().string()));  // a folder
  EXPECT_FALSE(ReadSoundFile(dir.Write("empty.wav", std::string())));
  EXPECT_FALSE(ReadSoundFile(dir.Write("text.wav", std::string("RIFF....WAVEnot a sound"))));
}

}  // namespace
}  // namespace zel
