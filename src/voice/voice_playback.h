// Every sound of the program is played through these functions, and the line is read
// aloud from here.
#pragma once

namespace zel {

struct AppState;

inline constexpr int kCharacterPromptSound = 224;  // "…をおしてね", after a character sought

// An input handled within this long of the end of the one before was made while that one
// held the window (a waiting play, or other work) and waited in the queue: the event loop
// hands such inputs on within a few milliseconds. One that comes later begins a run of its
// own, with whole waits.
inline constexpr long long kQueuedInputGapMs = 250;

// Looks once, at start-up, for the files that replace built-in sounds 300..386.
void ScanVoiceOverrides(AppState& app);

// Plays a sound from its replacement file when one was found at start-up, else built in.
void PlayVoice(AppState& app, int voiceId, bool wait);
void PlayBuiltInSound(AppState& app, int soundId, bool wait);
// The character sought, heard to its end, then the request to press it.
void PlayCharacterPrompt(AppState& app, int voiceId);

// One input (a key, a click, a command) is handled while this lives. An input that comes
// straight after the one before continues its run: the waiting plays of a run wait
// kMaxWaitSeconds in all at most, the first input's plays each as long as ever, those of
// the later ones only what is left. Inputs inside an input are part of it.
class InputHandling {
 public:
  explicit InputHandling(AppState& app);
  ~InputHandling();
  InputHandling(const InputHandling&) = delete;
  InputHandling& operator=(const InputHandling&) = delete;

 private:
  AppState& app_;
};

// Command 1073 and its ticks: one entry of the line per tick, the panel following.
void StartReadAloud(AppState& app);
void ReadAloudTick(AppState& app);

}  // namespace zel
