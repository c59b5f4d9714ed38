#include "platform/win32/sound_player.h"

#include <windows.h>

#include <utility>

#include "files/file_names.h"
#include "platform/win32/resources.h"
#include "platform/win32/wave_out_device.h"
#include "wave/sound_play.h"

namespace zel {
namespace {

// The file of the system's default sound, as the sound settings of Windows name it; ""
// when none is set.
std::string SystemAlertPath() {
  wchar_t path[MAX_PATH]{};
  DWORD size = sizeof path;
  // A REG_EXPAND_SZ value ("%SystemRoot%\Media\...") comes expanded, as REG_SZ.
  if (RegGetValueW(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current",
                   nullptr, RRF_RT_REG_SZ, nullptr, path, &size) !=
      ERROR_SUCCESS) {
    return "";
  }
  return Utf8FromPath(std::filesystem::path(path));
}

}  // namespace

// The device opens aside while the window is made; the start-up sound waits for it.
Win32SoundPlayer::Win32SoundPlayer() : service_(BuiltInBytes(L"SOUNDS_DEFAULT"), OpenWaveOut) {}

void Win32SoundPlayer::PlayBuiltInSound(int soundId, SoundWait wait) {
  Play(DecodeWav(BuiltInBytes(L"SOUNDS_" + std::to_wstring(soundId))), wait);
}

void Win32SoundPlayer::PlaySoundFile(const std::string& path, SoundWait wait) {
  Play(ReadSoundFile(path), wait);
}

void Win32SoundPlayer::Play(std::optional<PcmSound> sound, SoundWait wait) {
  if (!SoundService::Playable(sound)) {
    // Looked up at each alert, as a user may change the sound while the program runs.
    const std::string systemAlert = SystemAlertPath();
    if (!systemAlert.empty()) sound = ReadSoundFile(systemAlert);
  }
  service_.Play(std::move(sound), wait);  // still none: the program's own alert
}

}  // namespace zel
