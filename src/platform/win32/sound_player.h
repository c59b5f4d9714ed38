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

#include "host/host.h"
#include "wave/wav_file.h"

namespace zel {

class Win32SoundPlayer : public SoundOutput {
 public:
  Win32SoundPlayer();
  ~Win32SoundPlayer() override;
  Win32SoundPlayer(const Win32SoundPlayer&) = delete;
  Win32SoundPlayer& operator=(const Win32SoundPlayer&) = delete;

  // A sound built into the program; a missing one gives no bytes, so the alert.
  void PlayBuiltInSound(int soundId, SoundWait wait) override;
  void PlaySoundFile(const std::string& path, SoundWait wait) override;

 private:
  void PlayBytes(std::span<const uint8_t> wavBytes, SoundWait wait);
  void Play(std::optional<PcmSound> sound, SoundWait wait);

  std::optional<PcmSound> ownAlert_;
  // The sound PlaySound is reading: an asynchronous play reads it until it ends, so it is
  // let go only once the next play has stopped it.
  std::vector<uint8_t> playing_;
};

}  // namespace zel
