// The question file: one question a line, "picture,answer", in Shift-JIS. The list ends at
// the first line without a comma after its first byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

class FileAccess;

inline constexpr size_t kLineBuffer = 512;  // lines longer than 511 bytes come in pieces
inline constexpr int kQuestionSlots = 260;  // question lines beyond these are not asked

// The file's lines one at a time, as the program reads them: up to and including each line
// feed, at most 511 bytes a piece; CR LF counts as a line feed.
class FileLineReader {
 public:
  explicit FileLineReader(std::string_view text) : text_(text) {}
  // The next line into line; false at the end of the text.
  bool Next(std::string& line);

 private:
  std::string_view text_;
  size_t at_ = 0;
};

// All the file's lines, as FileLineReader gives them.
std::vector<std::string> SplitFileLines(std::string_view text);

// A line that holds a comma after its first byte; the first line that does not ends the list.
bool IsQuestionLine(std::string_view line);
// How many lines from the start are question lines.
int CountQuestionLines(const std::vector<std::string>& lines);

struct QuestionFields {
  std::string picture;
  std::string answer;  // keeps the line end when no comma follows the answer
};
// The first two comma-separated tokens of a line (runs of commas delimit nothing); none
// when the line has fewer than two.
std::optional<QuestionFields> SplitQuestionLine(std::string_view line);

// A question file as the quiz uses it, each line in its own encoding: a line added from a
// terminal may be UTF-8 in a Shift-JIS file (a byte-order mark makes them all UTF-8). Only
// the lines the quiz can ask are kept, so a huge file costs no more than its bytes.
struct QuestionLines {
  // The first question lines, at most kQuestionSlots of them, bytes as in the file.
  std::vector<std::string> lines;
  std::vector<bool> utf8;  // per line
  int count = 0;           // question lines from the start, those past the limit too
  // The line that ends the list (line count, from 0); none when the file ends first.
  std::optional<std::string> end;
  bool endUtf8 = false;
  int below = 0;        // lines after that one
  int shapedBelow = 0;  // of those, lines with a comma after their first byte
};
QuestionLines SplitQuestionText(std::string_view bytes);
// The question file read afresh; none when it cannot be read.
std::optional<QuestionLines> ReadQuestionFile(FileAccess& files, const std::string& path);

// The fields of line q of a question file, the answer in Shift-JIS to be typed and the
// picture's name as the line has it; none when q is no question line the quiz keeps or has
// no answer.
struct QuestionLineFields {
  QuestionFields fields;
  bool utf8 = false;  // the picture's name is UTF-8
};
std::optional<QuestionLineFields> FieldsOfQuestion(const QuestionLines& file, int q);

}  // namespace zel
