#include "wave/wav_file.h"
#include "support/little_endian.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace zel {
namespace {

using Bytes = std::vector<uint8_t>;

using testing::Put16;
using testing::Put32;

// A file laid out chunk by chunk, so each test can bend the one field it is about.
struct Chunk {
  std::string id;
  Bytes body;
  int64_t claimed = -1;  // the size field when it should lie about the body
};

struct Fmt {
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint32_t rate = 16000;
  uint16_t bits = 8;
  int blockAlign = -1;  // -1: channels * bits / 8
  Chunk chunk() const {
    Chunk c{"fmt ", {}};
    Put16(c.body, tag);
    Put16(c.body, channels);
    Put32(c.body, rate);
    const uint16_t align = blockAlign < 0 ? uint16_t(channels * bits / 8) : uint16_t(blockAlign);
    Put32(c.body, rate * align);
    Put16(c.body, align);
    Put16(c.body, bits);
    return c;
  }
};

Bytes Riff(const std::vector<Chunk>& chunks, const char* form = "WAVE") {
  Bytes b{'R', 'I', 'F', 'F', 0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(form[i]));
  for (const Chunk& c : chunks) {
    b.insert(b.end(), c.id.begin(), c.id.end());
    Put32(b, c.claimed < 0 ? uint32_t(c.body.size()) : uint32_t(c.claimed));
    b.insert(b.end(), c.body.begin(), c.body.end());
    if (c.body.size() % 2) b.push_back(0);
  }
  const uint32_t riffSize = uint32_t(b.size() - 8);
  for (int i = 0; i < 4; ++i) b[4 + i] = uint8_t(riffSize >> (8 * i));
  return b;
}

Chunk Data(Bytes body) { return {"data", std::move(body)}; }

Bytes Samples16(const std::vector<int16_t>& values) {
  Bytes b;
  for (int16_t v : values) Put16(b, uint16_t(v));
  return b;
}

Chunk Extensible(uint16_t bits, uint16_t validBits, uint8_t subFormat) {
  Chunk c = Fmt{.tag = 0xFFFE, .channels = 2, .rate = 48000, .bits = bits}.chunk();
  Put16(c.body, 22);
  Put16(c.body, validBits);
  Put32(c.body, 3);  // front left and right
  const uint8_t guidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  Put16(c.body, subFormat);
  c.body.insert(c.body.end(), guidTail, guidTail + 14);
  return c;
}

TEST(WavFile, WidensEightBitAroundItsMidpoint) {
  const auto sound = DecodeWav(Riff({Fmt{}.chunk(), Data({0x80, 0xFF, 0x00, 0x81, 0x7F})}));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->rate, 16000);
  EXPECT_EQ(sound->samples, (std::vector<int16_t>{0, 127 * 256, -32768, 256, -256}));
}

TEST(WavFile, MixesStereoDownWithoutOverflow) {
  const std::vector<int16_t> interleaved{1000, 3000, 32767, 32767, -32768, -32768, -7, 4, 32767, -32768};
  const auto sound = DecodeWav(Riff({Fmt{.channels = 2, .rate = 44100, .bits = 16}.chunk(),
                                     Data(Samples16(interleaved))}));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->rate, 44100);
  std::vector<int16_t> expected;
  for (size_t i = 0; i < interleaved.size(); i += 2) {
    expected.push_back(int16_t((int{interleaved[i]} + interleaved[i + 1]) / 2));
  }
  EXPECT_EQ(sound->samples, expected);

  const auto stereo8 = DecodeWav(Riff({Fmt{.channels = 2}.chunk(), Data({0xFF, 0x00, 0x90, 0x90})}));
  ASSERT_TRUE(stereo8);
  EXPECT_EQ(stereo8->samples, (std::vector<int16_t>{(127 * 256 - 32768) / 2, 16 * 256}));
}

TEST(WavFile, SkipsUnknownChunksAndTheirPadBytes) {
  // Odd sizes: a reader that forgets the pad byte lands one byte off and finds no chunk.
  const Chunk list{"LIST", {'I', 'N', 'F', 'O', 'x'}};
  const Chunk fact{"fact", {1, 2, 3}};
  const auto sound = DecodeWav(Riff({list, Fmt{.bits = 16}.chunk(), fact, {"data", Samples16({-5, 7, 300})}}));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->samples, (std::vector<int16_t>{-5, 7, 300}));

  // An odd data chunk of 8-bit sound keeps its last sample.
  const auto odd = DecodeWav(Riff({list, Fmt{}.chunk(), Data({0x80, 0x90, 0xA0})}));
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->samples.size(), 3u);
}

TEST(WavFile, DoesNotTrustTheRiffSize) {
  for (uint32_t riffSize : {0u, 4u, 0xFFFFFFFFu}) {
    Bytes file = Riff({Fmt{}.chunk(), Data({0x80, 0x90})});
    for (int i = 0; i < 4; ++i) file[4 + i] = uint8_t(riffSize >> (8 * i));
    const auto sound = DecodeWav(file);
    ASSERT_TRUE(sound) << riffSize;
    EXPECT_EQ(sound->samples.size(), 2u);
  }
}

TEST(WavFile, DataClaimingMoreThanIsThereKeepsTheWholeFramesPresent) {
  const Bytes frames = Samples16({1, 2, 3, 4, 5, 6, 7, 8});  // four stereo frames
  for (int64_t claimed : {int64_t{1000}, int64_t{0xFFFFFFFF}}) {
    Bytes body = frames;
    body.insert(body.end(), {9, 9});  // half a fifth frame
    const auto sound = DecodeWav(Riff({Fmt{.channels = 2, .bits = 16}.chunk(), {"data", body, claimed}}));
    ASSERT_TRUE(sound) << claimed;
    EXPECT_EQ(sound->samples.size(), 4u);
  }
  // An unknown chunk claiming the rest of the world hides any data behind it.
  EXPECT_FALSE(DecodeWav(Riff({Fmt{}.chunk(), {"junk", {1, 2}, 0xFFFFFFFF}, Data({0x80})})));
}

TEST(WavFile, EveryCutOfAFileIsRefusedOrItsStart) {
  const Bytes full = Riff({{"LIST", {1, 2, 3}}, Fmt{.bits = 16}.chunk(),
                           Data(Samples16({10, -20, 30, -40, 50}))});
  const auto whole = DecodeWav(full);
  ASSERT_TRUE(whole);
  const size_t samplesStart = full.size() - 10;
  for (size_t size = 0; size < full.size(); ++size) {
    const Bytes cut(full.begin(), full.begin() + size);
    const auto sound = DecodeWav(cut);
    if (size < samplesStart + 2) {
      EXPECT_FALSE(sound) << size;
    } else {
      ASSERT_TRUE(sound) << size;
      const std::vector<int16_t> start(whole->samples.begin(),
                                       whole->samples.begin() + (size - samplesStart) / 2);
      EXPECT_EQ(sound->samples, start) << size;
    }
  }
}

TEST(WavFile, AcceptsTheExtensibleHeaderOfEveryFormat) {
  const Bytes data = Samples16({100, 300});
  const auto sound = DecodeWav(Riff({Extensible(16, 16, 1), Data(data)}));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->rate, 48000);
  EXPECT_EQ(sound->samples, (std::vector<int16_t>{200}));
  // 12 valid bits sit at the top of their 16.
  const auto twelve = DecodeWav(Riff({Extensible(16, 12, 1), Data(Samples16({0x1230, 0x0010}))}));
  ASSERT_TRUE(twelve);
  EXPECT_EQ(twelve->samples, (std::vector<int16_t>{(0x1230 + 0x10) / 2}));
  Bytes floats;
  for (float x : {0.5f, -0.5f}) {
    uint32_t bits;
    std::memcpy(&bits, &x, 4);
    Put32(floats, bits);
  }
  const auto fromFloat = DecodeWav(Riff({Extensible(32, 32, 3), Data(floats)}));
  ASSERT_TRUE(fromFloat);
  EXPECT_EQ(fromFloat->samples, (std::vector<int16_t>{0}));

  EXPECT_FALSE(DecodeWav(Riff({Extensible(16, 17, 1), Data(data)})));  // more valid than held
  EXPECT_FALSE(DecodeWav(Riff({Extensible(16, 0, 1), Data(data)})));
  EXPECT_FALSE(DecodeWav(Riff({Extensible(16, 16, 2), Data(data)})));  // ADPCM
  Chunk shortened = Extensible(16, 16, 1);
  shortened.body.resize(30);
  EXPECT_FALSE(DecodeWav(Riff({shortened, Data(data)})));
}

TEST(WavFile, BringsEveryRecordedFormatToSixteenBits) {
  auto float32 = [](std::initializer_list<float> xs) {
    Bytes b;
    for (float x : xs) {
      uint32_t bits;
      std::memcpy(&bits, &x, 4);
      Put32(b, bits);
    }
    return b;
  };
  auto float64 = [](std::initializer_list<double> xs) {
    Bytes b;
    for (double x : xs) {
      uint64_t bits;
      std::memcpy(&bits, &x, 8);
      Put32(b, uint32_t(bits));
      Put32(b, uint32_t(bits >> 32));
    }
    return b;
  };
  const struct {
    const char* what;
    Fmt fmt;
    Bytes data;
    std::vector<int16_t> samples;
  } cases[] = {
      {"24-bit", {.bits = 24}, {0x00, 0x34, 0x12, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF}, {0x1234, -32768, -1}},
      {"32-bit", {.bits = 32}, {0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x00, 0x80}, {0x1234, -32768}},
      {"32-bit float", {.tag = 3, .bits = 32}, float32({0.5f, -1.0f, 2.0f, -0.25f}), {16384, -32768, 32767, -8192}},
      {"64-bit float", {.tag = 3, .bits = 64}, float64({0.5, -2.0}), {16384, -32768}},
      // G.711: silence, the loudest codes of each sign, and one in between.
      {"mu-law", {.tag = 7}, {0xFF, 0x7F, 0x80, 0x00, 0xEF}, {0, 0, 32124, -32124, 132}},
      {"A-law", {.tag = 6}, {0xD5, 0x55, 0xAA, 0x2A, 0xC5}, {8, -8, 32256, -32256, 264}},
      {"three channels", {.channels = 3, .bits = 16}, Samples16({300, 600, 900, -3, -3, -3}), {600, -3}},
      {"24-bit stereo", {.channels = 2, .bits = 24}, {0, 0, 0x10, 0, 0, 0x30}, {0x2000}},
  };
  for (const auto& c : cases) {
    const auto sound = DecodeWav(Riff({c.fmt.chunk(), Data(c.data)}));
    ASSERT_TRUE(sound) << c.what;
    EXPECT_EQ(sound->samples, c.samples) << c.what;
  }
}

TEST(WavFile, SampleRatesFromOneToThreeHundredAndEightyFourKilohertz) {
  for (uint32_t rate : {1000u, 8000u, 22050u, 384000u}) {
    const auto sound = DecodeWav(Riff({Fmt{.rate = rate}.chunk(), Data({0x80})}));
    ASSERT_TRUE(sound) << rate;
    EXPECT_EQ(sound->rate, int(rate));
  }
  for (uint32_t rate : {0u, 999u, 384001u, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(DecodeWav(Riff({Fmt{.rate = rate}.chunk(), Data({0x80})}))) << rate;
  }
}

TEST(WavFile, RefusesAnythingElse) {
  const Bytes one16 = Samples16({1});
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"header only", Riff({})},
      {"not RIFF", [] { Bytes b = Riff({Fmt{}.chunk(), Data({0x80})}); b[3] = 'X'; return b; }()},
      {"not WAVE", Riff({Fmt{}.chunk(), Data({0x80})}, "AVI ")},
      {"16-bit float", Riff({Fmt{.tag = 3, .bits = 16}.chunk(), Data(one16)})},
      {"ADPCM", Riff({Fmt{.tag = 2, .bits = 16}.chunk(), Data(one16)})},
      {"16-bit mu-law", Riff({Fmt{.tag = 7, .bits = 16}.chunk(), Data(one16)})},
      {"20 bits", Riff({Fmt{.bits = 20}.chunk(), Data({1, 2, 3})})},
      {"4 bits", Riff({Fmt{.bits = 4}.chunk(), Data({0x80})})},
      {"no channels", Riff({Fmt{.channels = 0}.chunk(), Data({0x80})})},
      {"nine channels", Riff({Fmt{.channels = 9}.chunk(), Data(Bytes(9, 0x80))})},
      {"frame size disagrees", Riff({Fmt{.bits = 16, .blockAlign = 4}.chunk(), Data(Samples16({1, 2}))})},
      {"short fmt", [] { Chunk f = Fmt{}.chunk(); f.body.resize(14); return Riff({f, Data({0x80})}); }()},
      {"data before fmt", Riff({Data({0x80}), Fmt{}.chunk()})},
      {"no data", Riff({Fmt{}.chunk(), {"LIST", {1, 2}}})},
      {"no fmt", Riff({Data({0x80})})},
      {"two fmt", Riff({Fmt{}.chunk(), Fmt{}.chunk(), Data({0x80})})},
      {"empty data", Riff({Fmt{}.chunk(), Data({})})},
      {"less than a frame", Riff({Fmt{.bits = 16}.chunk(), Data({0x01})})},
  };
  for (const auto& c : cases) EXPECT_FALSE(DecodeWav(c.file)) << c.what;
}

}  // namespace
}  // namespace zel
