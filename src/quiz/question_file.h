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

// The file's lines as the program reads them: up to and including each line feed, at most
// 511 bytes a piece; CR LF counts as a line feed.
std::vector<std::string> SplitFileLines(std::string_view text);

// How many lines from the start are question lines.
int CountQuestionLines(const std::vector<std::string>& lines);

struct QuestionFields {
  std::string picture;
  std::string answer;  // keeps the line end when no comma follows the answer
};
// The first two comma-separated tokens of a line (runs of commas delimit nothing); none
// when the line has fewer than two.
std::optional<QuestionFields> SplitQuestionLine(std::string_view line);

// A question file's lines, each in its own encoding: a line added from a terminal may be
// UTF-8 in a Shift-JIS file (a byte-order mark makes them all UTF-8).
struct QuestionLines {
  std::vector<std::string> lines;  // as SplitFileLines gives them, bytes as in the file
  std::vector<bool> utf8;          // per line
};
QuestionLines SplitQuestionText(std::string_view bytes);
// The question file read afresh; none when it cannot be read.
std::optional<QuestionLines> ReadQuestionFile(FileAccess& files, const std::string& path);

// The fields of line q of a question file, the answer in Shift-JIS to be typed and the
// picture's name as the line has it; none when q is no question line or has no answer.
struct QuestionLineFields {
  QuestionFields fields;
  bool utf8 = false;  // the picture's name is UTF-8
};
std::optional<QuestionLineFields> FieldsOfQuestion(const QuestionLines& file, int q);

}  // namespace zel
