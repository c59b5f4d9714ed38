// What every platform's sound output does with a sound before it plays it, so a voice file
// plays alike on each: the file read within a bound, the part of it a waiting play lets be
// heard, and the sound as plain PCM WAVE bytes for an output that takes whole files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "wave/sound_wait.h"
#include "wave/wav_file.h"

namespace zel {

// A voice file larger than this is not read at all: no voice comes near it.
inline constexpr size_t kMaxSoundFileBytes = size_t{64} << 20;
// The sound in a file: none when it is missing, not a regular file, larger than
// kMaxSoundFileBytes or not a WAVE file DecodeWav takes.
std::optional<PcmSound> ReadSoundFile(const std::string& path);

// How many of a sound's frames at rate go out: all of them, or for a play that waits no
// more than its maxMs' worth.
size_t FramesToPlay(size_t frames, int rate, SoundWait wait);

// The sound as a RIFF WAVE file of 16-bit PCM in one channel at its own rate, cut as
// FramesToPlay says.
std::vector<uint8_t> PcmWaveBytes(const PcmSound& sound, SoundWait wait);

}  // namespace zel
