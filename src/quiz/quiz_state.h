#pragma once

#include <array>
#include <optional>
#include <vector>

#include "dib/packed_dib.h"
#include "quiz/lagged_random.h"
#include "quiz/question_file.h"

namespace zel {

// While a question is open, keys go to the answer check and backspace does nothing.
enum class QuizState { None, Asking, Answered };
enum class QuizKind { Picture, Counting };

inline constexpr int kCountingNumbers = 10;
inline constexpr int kFirstCountingPos = 20;  // past the counting order: the first draws one

struct QuizSession {
  QuizState state = QuizState::None;
  QuizKind kind = QuizKind::Picture;
  int QuestionCount = 0;
  int PicturePos = 0;
  int CountingPos = kFirstCountingPos;
  // Each kind keeps its own order, so a draw of one never disturbs the other's.
  std::array<int, kQuestionSlots> QuestionOrder{};
  std::array<int, kCountingNumbers> CountingOrder{};
  std::vector<int> ExpectedAnswer;  // the voice of each character of the answer
  std::optional<PackedDib> QuizPicture;
  bool BuiltInPicture = false;
  bool FittedPicture = false;  // drawn whole on white, keeping its shape, not stretched
  LaggedRandom random;

  // The number of circles shown, less one, limited to 0..9 when painted.
  int& ShownCount() { return CountingOrder[static_cast<size_t>(CountingPos) % kCountingNumbers]; }
};

}  // namespace zel
