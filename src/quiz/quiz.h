// Questions: a picture named by the question file, answered by typing its word, or (in the
// digits set) red circles, answered with a digit key. Every key is judged at once by sound.
#pragma once

namespace zel {

struct AppState;

inline constexpr int kKoreSound = 383;   // "KORE": a picture question is shown
inline constexpr int kBubiSound = 384;   // "BUBI": a wrong key
inline constexpr int kPinSound = 385;    // "PIN": the answer is complete
inline constexpr int kMaruSound = 386;   // "MARU": a counting question is shown
inline constexpr int kNextQuestionMs = 2000;

// Start-up: advances the generator by the clock, and counts the question lines.
void WarmUpRandom(AppState& app);
void ScanQuestionFile(AppState& app);

// Command 1077.
void AskQuestion(AppState& app);

// A character key while a question is open. True when the key is right and is to be
// typed as usual; false when it is wrong (nothing is typed).
bool QuizKey(AppState& app, int keyId);

// The tick after a complete answer: on to the next question.
void QuizTimerTick(AppState& app);

}  // namespace zel
