#include "voice/voice_playback.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/routing.h"
#include "voice/voice_names.h"

namespace zel {

inline constexpr int kFirstTickMs = 100;

namespace {

// Runs play with the wait this play may have, and counts how long it held the window.
template <typename Play>
void PlayWithinShare(AppState& app, bool wait, Play play) {
  if (!wait) {
    play(SoundWait(false));
    return;
  }
  WaitShare& share = app.voice.waits;
  const SoundWait allowed =
      share.queued ? SoundWait::AtMost(int(std::clamp<long long>(kMaxWaitMs - share.waitedMs, 0,
                                                                 kMaxWaitMs)))
                   : SoundWait(true);
  const long long start = app.host.clock.SteadyMs();
  play(allowed);
  share.waitedMs += std::max(0LL, app.host.clock.SteadyMs() - start);
}

}  // namespace

InputHandling::InputHandling(AppState& app) : app_(app) {
  WaitShare& share = app.voice.waits;
  if (share.depth++ > 0) return;
  const long long now = app.host.clock.SteadyMs();
  share.queued = share.lastInputEndMs && now - *share.lastInputEndMs <= kQueuedInputGapMs;
  if (!share.queued) share.waitedMs = 0;
}

InputHandling::~InputHandling() {
  WaitShare& share = app_.voice.waits;
  if (--share.depth > 0) return;
  share.queued = false;  // plays outside any input wait as ever
  share.lastInputEndMs = app_.host.clock.SteadyMs();
}

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
    PlayWithinShare(app, wait, [&](SoundWait w) {
      app.host.sound.PlaySoundFile(VoiceOverridePath(app.ProgramDir, slot), w);
    });
  } else {
    PlayBuiltInSound(app, voiceId, wait);
  }
}

void PlayBuiltInSound(AppState& app, int soundId, bool wait) {
  PlayWithinShare(app, wait, [&](SoundWait w) { app.host.sound.PlayBuiltInSound(soundId, w); });
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
