// The default output device through SDL2 audio.
#pragma once

#include <memory>

#include "platform/sound/audio_device.h"

namespace zel {

// Null when SDL cannot be loaded, has no device, or SDL_AUDIODRIVER asks for its dummy
// driver: that one keeps time only to the millisecond, the service's silent output exactly.
std::unique_ptr<AudioDevice> OpenSdlDevice(AudioDevice::Fill fill);

}  // namespace zel
