// SDL's audio functions, loaded the first time the program needs sound. Linking SDL would
// map it and the thirty-odd libraries it pulls in (video, Wayland, codecs) into every start
// of the program, for a window that may never make a sound.
#pragma once

#include <SDL.h>

namespace zel {

struct SdlAudio {
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
};

// SDL loaded once, from any thread; null when it cannot be, and the program then plays
// silently with the same timing.
const SdlAudio* LoadSdlAudio();

}  // namespace zel
