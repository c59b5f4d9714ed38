#include "wave/sound_play.h"

#include <algorithm>

#include "files/file_names.h"

namespace zel {
namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::optional<PcmSound> ReadSoundFile(const std::string& path) {
  // One byte over the cap tells a file that is too large from one that fits.
  const auto bytes = ReadRegularFile(path, kMaxSoundFileBytes + 1);
  if (!bytes || bytes->size() > kMaxSoundFileBytes) return std::nullopt;
  return DecodeWav({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()});
}

size_t FramesToPlay(size_t frames, int rate, SoundWait wait) {
  if (!wait.wait || rate <= 0) return frames;
  const int ms = std::clamp(wait.maxMs, 0, kMaxWaitMs);
  return std::min(frames, size_t(ms) * size_t(rate) / 1000);
}

std::vector<uint8_t> PcmWaveBytes(const PcmSound& sound, SoundWait wait) {
  // A rate outside what DecodeWav gives cannot come from a file; it is kept to the same
  // range so the header's fields cannot overflow.
  const uint32_t rate = uint32_t(std::clamp(sound.rate, kMinWavRate, kMaxWavRate));
  const size_t frames = FramesToPlay(sound.samples.size(), int(rate), wait);
  // A RIFF size field holds 32 bits; DecodeWav's sounds come from files far smaller.
  const uint32_t dataBytes = uint32_t(std::min<size_t>(frames, 0x7FFFFFF0u / 2) * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  for (char c : {'R', 'I', 'F', 'F'}) out.push_back(uint8_t(c));
  Put(out, 36 + dataBytes, 4);
  for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) out.push_back(uint8_t(c));
  Put(out, 16, 4);
  Put(out, 1, 2);         // PCM
  Put(out, 1, 2);         // one channel
  Put(out, rate, 4);
  Put(out, rate * 2, 4);  // bytes per second
  Put(out, 2, 2);         // bytes per frame
  Put(out, 16, 2);        // bits per sample
  for (char c : {'d', 'a', 't', 'a'}) out.push_back(uint8_t(c));
  Put(out, dataBytes, 4);
  for (size_t i = 0; i < dataBytes / 2; ++i) Put(out, uint16_t(sound.samples[i]), 2);
  return out;
}

}  // namespace zel
