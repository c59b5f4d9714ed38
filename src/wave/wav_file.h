// RIFF WAVE files, as the program's own sounds come and as a parent records replacements:
// integer PCM of 8 (unsigned), 16, 24 or 32 bits, floating point of 32 or 64 bits, A-law
// and µ-law, in one to eight channels, in the plain or the extensible header. Whatever else
// arrives (a compressed file, a damaged one) is refused rather than guessed at, so the
// caller can play the default alert instead.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zel {

// One channel of 16-bit samples: channels are mixed down, each format brought to 16 bits.
// Every sound the program plays is speech or a tone, so one channel loses nothing worth
// keeping.
struct PcmSound {
  int rate = 0;  // samples per second
  std::vector<int16_t> samples;
};

inline constexpr int kMinWavRate = 1000;
inline constexpr int kMaxWavRate = 384000;

// The sound in bytes, or nullopt when they are not a WAVE file of the kind above.
//
// Chunks are walked within the bytes given: unknown ones are skipped (with their pad byte
// when their size is odd), "fmt " must come before "data", and reading stops at "data". A
// "data" chunk claiming more than is there keeps the whole frames present, as a file cut
// short in copying still holds its start. The size in the RIFF header is not trusted: writers
// that stream leave it 0 or all ones. A sound without a single frame is refused.
std::optional<PcmSound> DecodeWav(std::span<const uint8_t> bytes);

}  // namespace zel
