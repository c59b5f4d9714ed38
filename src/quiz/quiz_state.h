#pragma once

#include <array>

namespace zel {

// While a question is open, keys go to the answer check and backspace does nothing.
enum class QuizState { None, Asking, Answered };
enum class QuizKind { Picture, Counting };

inline constexpr int kQuestionSlots = 260;
inline constexpr int kFirstCountingPos = 20;  // past the counting order: the first draws one

struct QuizSession {
  QuizState state = QuizState::None;
  QuizKind kind = QuizKind::Picture;
  int QuestionCount = 0;
  int PicturePos = 0;
  int CountingPos = kFirstCountingPos;
  std::array<int, kQuestionSlots> QuestionOrder{};
};

}  // namespace zel
