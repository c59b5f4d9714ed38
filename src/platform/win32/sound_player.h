// Every sound of the Windows program goes out through the program's one SoundService, on a
// waveOut device kept open for the run: each sound is read, decoded and resampled as on
// Linux (so the same voice files play, and the same ones are refused). Starting a sound cuts
// off the one playing; one that cannot be read gives the default alert: the system's default
// sound where one is set, else the program's own.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "host/host.h"
#include "platform/sound/sound_service.h"
#include "wave/wav_file.h"

namespace zel {

class Win32SoundPlayer : public SoundOutput {
 public:
  Win32SoundPlayer();

  // A sound built into the program; a missing one gives no bytes, so the alert.
  void PlayBuiltInSound(int soundId, SoundWait wait) override;
  void PlaySoundFile(const std::string& path, SoundWait wait) override;

 private:
  void Play(std::optional<PcmSound> sound, SoundWait wait);

  SoundService service_;  // its alert is the program's own
};

}  // namespace zel
