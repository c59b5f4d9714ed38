// Every sound of the program is played through these two functions.
#pragma once

namespace zel {

struct AppState;

// Plays a sound from its replacement file when one was found at start-up, else built in.
void PlayVoice(AppState& app, int voiceId, bool wait);
void PlayBuiltInSound(AppState& app, int soundId, bool wait);

}  // namespace zel
