// The default output device through waveOut, fed by a thread of its own.
#pragma once

#include <memory>

#include "platform/sound/audio_device.h"

namespace zel {

// Null when the system has no output device that takes 16-bit PCM.
std::unique_ptr<AudioDevice> OpenWaveOut(AudioDevice::Fill fill);

}  // namespace zel
