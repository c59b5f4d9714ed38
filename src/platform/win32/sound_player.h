// Every sound of the Windows program goes out through PlaySound, from memory: each sound is
// read and decoded as on Linux (so the same voice files play, and the same ones are
// refused), cut for a waiting play, and handed over as a plain PCM WAVE. Starting a sound
// cuts off the one playing; one that cannot be read gives the default alert: the system's
// default sound where one is set, else the program's own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "wave/wav_file.h"

namespace zel {

class Win32SoundPlayer {
 public:
  // defaultAlertWav: the program's own alert, for a system that names none.
  explicit Win32SoundPlayer(std::span<const uint8_t> defaultAlertWav);
  ~Win32SoundPlayer();
  Win32SoundPlayer(const Win32SoundPlayer&) = delete;
  Win32SoundPlayer& operator=(const Win32SoundPlayer&) = delete;

  void PlayBytes(std::span<const uint8_t> wavBytes, bool wait);
  void PlayFile(const std::string& path, bool wait);

 private:
  void Play(std::optional<PcmSound> sound, bool wait);

  std::optional<PcmSound> ownAlert_;
  // The sound PlaySound is reading: an asynchronous play reads it until it ends, so it is
  // let go only once the next play has stopped it.
  std::vector<uint8_t> playing_;
};

}  // namespace zel
