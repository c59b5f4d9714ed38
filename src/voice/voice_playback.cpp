#include "voice/voice_playback.h"

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/routing.h"
#include "voice/voice_names.h"

namespace zel {

inline constexpr int kFirstTickMs = 100;

void ScanVoiceOverrides(AppState& app) {
  std::vector<std::string> paths;
  for (int slot = 0; slot < kNamedVoiceCount; ++slot)
    paths.push_back(VoiceOverridePath(app.ProgramDir, slot));
  const std::vector<bool> exist = app.host.files.FilesExist(paths);
  for (int slot = 0; slot < kNamedVoiceCount; ++slot) app.voice.VoiceOverride[slot] = exist[slot];
}

void PlayVoice(AppState& app, int voiceId, bool wait) {
  const int slot = voiceId - kFirstNamedVoice;
  if (slot >= 0 && slot < kNamedVoiceCount && app.voice.VoiceOverride[slot]) {
    app.host.sound.PlaySoundFile(VoiceOverridePath(app.ProgramDir, slot), wait);
  } else {
    app.host.sound.PlayBuiltInSound(voiceId, wait);
  }
}

void PlayBuiltInSound(AppState& app, int soundId, bool wait) {
  app.host.sound.PlayBuiltInSound(soundId, wait);
}

void PlayCharacterPrompt(AppState& app, int voiceId) {
  PlayBuiltInSound(app, voiceId, true);
  PlayBuiltInSound(app, kCharacterPromptSound, false);
}

void StartReadAloud(AppState& app) {
  app.quiz.state = QuizState::None;
  if (app.chars.line.count() == 0) return;
  app.TimerStep = 0;
  app.TimerPeriod = app.settings.VoiceSpeed;
  app.TimerUse = kTimerReadAloud;
  if (!app.host.clock.StartTimer(kFirstTickMs)) {
    ReportTimerFailure(app);
    app.TimerUse = kTimerIdle;
  }
}

void ReadAloudTick(AppState& app) {
  app.host.clock.StopTimer();
  const auto& entries = app.chars.line.entries;
  // The line cannot change during a read-aloud (every command stops it), but a tick must
  // never read past it.
  if (app.TimerStep < 0 || app.TimerStep >= static_cast<int>(entries.size())) {
    app.TimerUse = kTimerIdle;
    return;
  }
  const LineEntry entry = entries[static_cast<size_t>(app.TimerStep)];
  LookupChar(app.chars, entry.code);
  app.host.view.InvalidatePanel();
  PlayVoice(app, entry.voice, false);
  ++app.TimerStep;
  if (app.TimerStep == static_cast<int>(entries.size())) {
    app.TimerUse = kTimerIdle;
    return;
  }
  if (!app.host.clock.StartTimer(static_cast<unsigned>(app.TimerPeriod))) ReportTimerFailure(app);
}

}  // namespace zel
