#include "wave/wav_file.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace zel {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The sub-format of an extensible header that means plain integer PCM.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
bool IsTag(const uint8_t* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

struct Format {
  int channels = 0;
  int bytesPerSample = 0;
  uint32_t rate = 0;
};

std::optional<Format> ReadFormat(std::span<const uint8_t> body) {
  if (body.size() < 16) return std::nullopt;
  const uint8_t* p = body.data();
  const uint16_t tag = U16(p);
  Format f;
  f.channels = U16(p + 2);
  f.rate = U32(p + 4);
  const uint16_t blockAlign = U16(p + 12);
  const uint16_t bits = U16(p + 14);
  if (tag == kFormatExtensible) {
    // cbSize, valid bits, channel mask, sub-format.
    if (body.size() < 40 || U16(p + 16) < 22) return std::nullopt;
    const uint16_t validBits = U16(p + 18);
    if (validBits != bits || std::memcmp(p + 24, kPcmSubFormat, 16) != 0) return std::nullopt;
  } else if (tag != kFormatPcm) {
    return std::nullopt;
  }
  if (bits != 8 && bits != 16) return std::nullopt;
  if (f.channels != 1 && f.channels != 2) return std::nullopt;
  if (f.rate < kMinWavRate || f.rate > kMaxWavRate) return std::nullopt;
  f.bytesPerSample = bits / 8;
  // The frame stride we read by: a header that disagrees with itself is not trusted at all.
  if (blockAlign != f.channels * f.bytesPerSample) return std::nullopt;
  return f;
}

int Sample(const uint8_t* p, int bytesPerSample) {
  if (bytesPerSample == 1) return (int{p[0]} - 128) * 256;
  return static_cast<int16_t>(U16(p));
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
    const size_t claimed = U32(header + 4);
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
      for (size_t i = 0; i < frames; ++i, p += frameBytes) {
        int value = Sample(p, format->bytesPerSample);
        if (format->channels == 2) {
          value = (value + Sample(p + format->bytesPerSample, format->bytesPerSample)) / 2;
        }
        sound.samples[i] = static_cast<int16_t>(value);
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
