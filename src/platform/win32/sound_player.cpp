#include "platform/win32/sound_player.h"

#include <mmsystem.h>

#include <utility>

#include "files/file_names.h"
#include "platform/win32/resources.h"
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

// The program's own alert, for a system that names none.
Win32SoundPlayer::Win32SoundPlayer() : ownAlert_(DecodeWav(BuiltInBytes(L"SOUNDS_DEFAULT"))) {}

void Win32SoundPlayer::PlayBuiltInSound(int soundId, SoundWait wait) {
  PlayBytes(BuiltInBytes(L"SOUNDS_" + std::to_wstring(soundId)), wait);
}

Win32SoundPlayer::~Win32SoundPlayer() {
  PlaySoundW(nullptr, nullptr, 0);  // its memory goes with this object
}

void Win32SoundPlayer::PlayBytes(std::span<const uint8_t> wavBytes, SoundWait wait) {
  Play(DecodeWav(wavBytes), wait);
}

void Win32SoundPlayer::PlaySoundFile(const std::string& path, SoundWait wait) {
  Play(ReadSoundFile(path), wait);
}

void Win32SoundPlayer::Play(std::optional<PcmSound> sound, SoundWait wait) {
  if (!sound) {
    // Looked up at each alert, as a user may change the sound while the program runs.
    const std::string systemAlert = SystemAlertPath();
    if (!systemAlert.empty()) sound = ReadSoundFile(systemAlert);
    if (!sound) sound = ownAlert_;
  }
  std::vector<uint8_t> next;
  // A wait with nothing left to hear only stops the sound playing: a WAVE without samples
  // could give the system's alert.
  if (sound && FramesToPlay(sound->samples.size(), sound->rate, wait) > 0)
    next = PcmWaveBytes(*sound, wait);
  // Stopped before its memory goes; with no alert at all the sound playing only stops.
  PlaySoundW(nullptr, nullptr, 0);
  playing_ = std::move(next);
  if (playing_.empty()) return;
  // No SND_NODEFAULT: should the device refuse the sound, the system's alert stands in.
  PlaySoundW(reinterpret_cast<LPCWSTR>(playing_.data()), nullptr,
             SND_MEMORY | (wait.wait ? SND_SYNC : SND_ASYNC));
}

}  // namespace zel
