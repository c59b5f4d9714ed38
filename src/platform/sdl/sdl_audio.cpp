#include "platform/sdl/sdl_audio.h"

#include <dlfcn.h>

#include <optional>

namespace zel {
namespace {

constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

std::optional<SdlAudio> Load() {
  // Never unloaded: SDL's threads may outlive any owner we could give it.
  void* library = dlopen(kSdlLibrary, RTLD_NOW | RTLD_LOCAL);
  if (!library) return std::nullopt;
  SdlAudio sdl{};
  if (Resolve(library, "SDL_SetHint", sdl.SetHint) &&
      Resolve(library, "SDL_InitSubSystem", sdl.InitSubSystem) &&
      Resolve(library, "SDL_QuitSubSystem", sdl.QuitSubSystem) &&
      Resolve(library, "SDL_GetCurrentAudioDriver", sdl.GetCurrentAudioDriver) &&
      Resolve(library, "SDL_OpenAudioDevice", sdl.OpenAudioDevice) &&
      Resolve(library, "SDL_PauseAudioDevice", sdl.PauseAudioDevice) &&
      Resolve(library, "SDL_CloseAudioDevice", sdl.CloseAudioDevice)) {
    return sdl;
  }
  return std::nullopt;
}

}  // namespace

const SdlAudio* LoadSdlAudio() {
  static const std::optional<SdlAudio> sdl = Load();
  return sdl ? &*sdl : nullptr;
}

}  // namespace zel
