#include "wave/wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "encoding/little_endian.h"

namespace zel {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatALaw = 6;
constexpr uint16_t kFormatMuLaw = 7;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The sub-format of an extensible header is a GUID whose first two bytes are the format tag
// and whose last fourteen are these.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr int kMaxChannels = 8;

bool IsTag(const uint8_t* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

enum class Encoding { Unsigned8, Signed16, Signed24, Signed32, Float32, Float64, ALaw, MuLaw };

struct Format {
  int channels = 0;
  int bytesPerSample = 0;
  Encoding encoding = Encoding::Unsigned8;
  uint32_t rate = 0;
};

std::optional<Encoding> EncodingOf(uint16_t tag, uint16_t bits) {
  switch (tag) {
    case kFormatPcm:
      if (bits == 8) return Encoding::Unsigned8;
      if (bits == 16) return Encoding::Signed16;
      if (bits == 24) return Encoding::Signed24;
      if (bits == 32) return Encoding::Signed32;
      return std::nullopt;
    case kFormatFloat:
      if (bits == 32) return Encoding::Float32;
      if (bits == 64) return Encoding::Float64;
      return std::nullopt;
    case kFormatALaw: return bits == 8 ? std::optional(Encoding::ALaw) : std::nullopt;
    case kFormatMuLaw: return bits == 8 ? std::optional(Encoding::MuLaw) : std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<Format> ReadFormat(std::span<const uint8_t> body) {
  if (body.size() < 16) return std::nullopt;
  const uint8_t* p = body.data();
  uint16_t tag = Read16(p);
  Format f;
  f.channels = Read16(p + 2);
  f.rate = Read32(p + 4);
  const uint16_t blockAlign = Read16(p + 12);
  const uint16_t bits = Read16(p + 14);
  if (tag == kFormatExtensible) {
    // cbSize, valid bits, channel mask, sub-format. Valid bits fewer than the container
    // holds sit at its top, so the container is read whole.
    if (body.size() < 40 || Read16(p + 16) < 22) return std::nullopt;
    const uint16_t validBits = Read16(p + 18);
    if (validBits == 0 || validBits > bits || std::memcmp(p + 26, kSubFormatTail, 14) != 0)
      return std::nullopt;
    tag = Read16(p + 24);
  }
  const auto encoding = EncodingOf(tag, bits);
  if (!encoding) return std::nullopt;
  if (f.channels < 1 || f.channels > kMaxChannels) return std::nullopt;
  if (f.rate < kMinWavRate || f.rate > kMaxWavRate) return std::nullopt;
  f.encoding = *encoding;
  f.bytesPerSample = bits / 8;
  // The frame stride we read by: a header that disagrees with itself is not trusted at all.
  if (blockAlign != f.channels * f.bytesPerSample) return std::nullopt;
  return f;
}

// G.711 expansions, to the 16-bit scale.
int FromMuLaw(uint8_t byte) {
  const int u = ~byte & 0xFF;
  const int magnitude = (((u & 0x0F) << 3) + 0x84) << ((u >> 4) & 7);
  return (u & 0x80) ? 0x84 - magnitude : magnitude - 0x84;
}
int FromALaw(uint8_t byte) {
  const int a = byte ^ 0x55;
  const int exponent = (a >> 4) & 7;
  int magnitude = (a & 0x0F) << 4;
  magnitude = exponent == 0 ? magnitude + 8 : (magnitude + 0x108) << (exponent - 1);
  return (a & 0x80) ? magnitude : -magnitude;
}

int FromFloat(double x) {
  if (!(x == x)) return 0;  // NaN
  return static_cast<int>(std::lround(std::clamp(x * 32768.0, -32768.0, 32767.0)));
}

// One sample on the 16-bit scale.
int Sample(const uint8_t* p, Encoding encoding) {
  switch (encoding) {
    case Encoding::Unsigned8: return (int{p[0]} - 128) * 256;
    case Encoding::Signed16: return static_cast<int16_t>(Read16(p));
    case Encoding::Signed24: return static_cast<int16_t>(Read16(p + 1));
    case Encoding::Signed32: return static_cast<int16_t>(Read16(p + 2));
    case Encoding::Float32: {
      const uint32_t bits = Read32(p);
      float x;
      std::memcpy(&x, &bits, sizeof x);
      return FromFloat(x);
    }
    case Encoding::Float64: {
      const uint64_t bits = uint64_t{Read32(p)} | uint64_t{Read32(p + 4)} << 32;
      double x;
      std::memcpy(&x, &bits, sizeof x);
      return FromFloat(x);
    }
    case Encoding::ALaw: return FromALaw(p[0]);
    case Encoding::MuLaw: return FromMuLaw(p[0]);
  }
  return 0;
}

}  // namespace

std::optional<PcmSound> DecodeWav(std::span<const uint8_t> bytes) {
  if (bytes.size() < 12 || !IsTag(bytes.data(), "RIFF") || !IsTag(bytes.data() + 8, "WAVE")) {
    return std::nullopt;
  }
  std::optional<Format> format;
  size_t at = 12;
  // Each step needs a whole chunk header; `at` never passes the end, so the subtractions
  // below cannot wrap.
  while (bytes.size() - at >= 8) {
    const uint8_t* header = bytes.data() + at;
    const size_t claimed = Read32(header + 4);
    at += 8;
    const size_t present = std::min(claimed, bytes.size() - at);
    const std::span<const uint8_t> body = bytes.subspan(at, present);

    if (IsTag(header, "fmt ")) {
      if (format) return std::nullopt;  // a second header: which one is meant?
      format = ReadFormat(body);
      if (!format) return std::nullopt;
    } else if (IsTag(header, "data")) {
      if (!format) return std::nullopt;
      const size_t frameBytes = size_t(format->channels) * size_t(format->bytesPerSample);
      const size_t frames = body.size() / frameBytes;
      if (frames == 0) return std::nullopt;
      PcmSound sound;
      sound.rate = static_cast<int>(format->rate);
      sound.samples.resize(frames);
      const uint8_t* p = body.data();
      // Every channel mixed down to one.
      for (size_t i = 0; i < frames; ++i, p += frameBytes) {
        int sum = 0;
        for (int c = 0; c < format->channels; ++c)
          sum += Sample(p + c * format->bytesPerSample, format->encoding);
        sound.samples[i] = static_cast<int16_t>(sum / format->channels);
      }
      return sound;
    }
    // Past the body and its pad byte, or to the end when the chunk claims more than is there.
    const size_t padded = claimed + (claimed & 1);
    at += std::min(padded, bytes.size() - at);
  }
  return std::nullopt;
}

}  // namespace zel
