#include "voice/voice_playback.h"

#include "app/app_state.h"
#include "voice/voice_names.h"

namespace zel {

void PlayVoice(AppState& app, int voiceId, bool wait) {
  const int slot = voiceId - kFirstNamedVoice;
  if (slot >= 0 && slot < kNamedVoiceCount && app.voice.VoiceOverride[slot]) {
    app.host.PlaySoundFile(VoiceOverridePath(app.ProgramDir, slot), wait);
  } else {
    app.host.PlayBuiltInSound(voiceId, wait);
  }
}

void PlayBuiltInSound(AppState& app, int soundId, bool wait) {
  app.host.PlayBuiltInSound(soundId, wait);
}

}  // namespace zel
