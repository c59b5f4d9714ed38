// Questions: asking, judging the keys, moving on.
#pragma once

namespace zel {

struct AppState;

// The tick after a complete answer: on to the next question.
void QuizTimerTick(AppState& app);

}  // namespace zel
