// The check of the question file for parents: every line of mondai.txt read as the quiz
// reads it, with what the quiz will do with it, in plain words. It changes nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "display/packed_dib.h"

namespace zel {

struct AppState;

enum class LineVerdict {
  Asked,              // a question the quiz asks; its picture comes with it
  UntypableAnswer,    // asked, but characters of the answer no key types
  NoAnswer,           // the answer gives nothing to type: the quiz reports the file
  PictureNotFound,    // the quiz reports the picture and skips the question
  PictureUnreadable,  // the same, for a file that is there but no picture it can read
  EndsTheList,        // not a question line: the list ends here
  BelowTheEnd,        // below the end of the list: never read
  PastTheLimit,       // past the most questions the quiz keeps
};

struct CheckedLine {
  int number = 0;         // from 1, as the quiz counts lines
  std::string text;       // Shift-JIS, without its line end
  LineVerdict verdict = LineVerdict::Asked;
  std::vector<std::string> untypable;  // characters of the answer, Shift-JIS
  std::optional<PackedDib> picture;    // a question's picture, small, for a thumbnail
  std::string message;                 // the verdict in plain Japanese, Shift-JIS
};

struct QuestionCheck {
  bool fileRead = false;
  std::vector<CheckedLine> lines;
  int asked = 0;     // questions the quiz asks without a message
  int toMend = 0;    // lines worth mending
  std::string summary;  // Shift-JIS, one or more lines
};

inline constexpr int kThumbnailSide = 128;

// Reads the question file and every picture it names, as the quiz does.
QuestionCheck CheckQuestionFile(AppState& app);

// The menu command: the check, shown in a window of its own.
void ShowQuestionCheck(AppState& app);

}  // namespace zel
