#pragma once

namespace zel {

// While a question is open, keys go to the answer check and backspace does nothing.
enum class QuizState { None, Asking, Answered };

struct QuizSession {
  QuizState state = QuizState::None;
};

}  // namespace zel
