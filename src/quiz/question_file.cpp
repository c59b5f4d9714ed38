#include "quiz/question_file.h"

#include "encoding/sjis.h"
#include "host/host.h"

namespace zel {

std::vector<std::string> SplitFileLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // text mode
    line.push_back(c);
    if (c == '\n' || line.size() == kLineBuffer - 1) lines.push_back(std::move(line)), line.clear();
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

int CountQuestionLines(const std::vector<std::string>& lines) {
  int count = 0;
  for (const std::string& line : lines) {
    if (line.size() < 2 || line.find(',', 1) == std::string::npos) break;
    ++count;
  }
  return count;
}

std::optional<QuestionFields> SplitQuestionLine(std::string_view line) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (tokens.size() < 2) {
    while (i < line.size() && line[i] == ',') ++i;
    if (i >= line.size()) break;
    const size_t end = line.find(',', i);
    tokens.emplace_back(line.substr(i, end == std::string_view::npos ? line.size() - i : end - i));
    if (end == std::string_view::npos) break;
    i = end;
  }
  if (tokens.size() < 2) return std::nullopt;
  return QuestionFields{tokens[0], tokens[1]};
}

QuestionLines SplitQuestionText(std::string_view bytes) {
  QuestionLines file;
  const bool allUtf8 = HasByteOrderMark(bytes);
  file.lines = SplitFileLines(WithoutByteOrderMark(bytes));
  for (const std::string& line : file.lines) file.utf8.push_back(allUtf8 || IsUtf8Line(line));
  return file;
}

std::optional<QuestionLines> ReadQuestionFile(FileAccess& files, const std::string& path) {
  constexpr size_t kMaxQuestionFileBytes = size_t{4} << 20;
  const auto bytes = files.ReadFile(path, kMaxQuestionFileBytes);
  if (!bytes) return std::nullopt;
  return SplitQuestionText(*bytes);
}

std::optional<QuestionLineFields> FieldsOfQuestion(const QuestionLines& file, int q) {
  if (q < 0 || q >= CountQuestionLines(file.lines)) return std::nullopt;
  const auto line = static_cast<size_t>(q);
  auto fields = SplitQuestionLine(file.lines[line]);
  if (!fields) return std::nullopt;
  QuestionLineFields result{std::move(*fields), file.utf8[line]};
  if (result.utf8) result.fields.answer = Utf8ToSjis(result.fields.answer);
  return result;
}

}  // namespace zel
