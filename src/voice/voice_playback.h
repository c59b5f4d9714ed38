// Every sound of the program is played through these functions, and the line is read
// aloud from here.
#pragma once

namespace zel {

struct AppState;

inline constexpr int kCharacterPromptSound = 224;  // "…をおしてね", after a character sought

// Looks once, at start-up, for the files that replace built-in sounds 300..386.
void ScanVoiceOverrides(AppState& app);

// Plays a sound from its replacement file when one was found at start-up, else built in.
void PlayVoice(AppState& app, int voiceId, bool wait);
void PlayBuiltInSound(AppState& app, int soundId, bool wait);
// The character sought, heard to its end, then the request to press it.
void PlayCharacterPrompt(AppState& app, int voiceId);

// Command 1073 and its ticks: one entry of the line per tick, the panel following.
void StartReadAloud(AppState& app);
void ReadAloudTick(AppState& app);

}  // namespace zel
