#include "quiz/question_file.h"

#include "encoding/sjis.h"
#include "host/host.h"

namespace zel {

bool FileLineReader::Next(std::string& line) {
  line.clear();
  while (at_ < text_.size()) {
    const char c = text_[at_++];
    if (c == '\r' && at_ < text_.size() && text_[at_] == '\n') continue;  // text mode
    line.push_back(c);
    if (c == '\n' || line.size() == kLineBuffer - 1) return true;
  }
  return !line.empty();
}

std::vector<std::string> SplitFileLines(std::string_view text) {
  std::vector<std::string> lines;
  FileLineReader reader(text);
  for (std::string line; reader.Next(line);) lines.push_back(line);
  return lines;
}

bool IsQuestionLine(std::string_view line) {
  return line.size() >= 2 && line.find(',', 1) != std::string_view::npos;
}

int CountQuestionLines(const std::vector<std::string>& lines) {
  int count = 0;
  while (static_cast<size_t>(count) < lines.size() && IsQuestionLine(lines[static_cast<size_t>(count)]))
    ++count;
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
  FileLineReader reader(WithoutByteOrderMark(bytes));
  std::string line;
  while (reader.Next(line)) {
    if (!IsQuestionLine(line)) {
      file.endUtf8 = allUtf8 || IsUtf8Line(line);
      file.end = std::move(line);
      break;
    }
    if (file.count++ < kQuestionSlots) {
      file.utf8.push_back(allUtf8 || IsUtf8Line(line));
      file.lines.push_back(line);
    }
  }
  // Below the end only counted: never read as questions.
  for (; reader.Next(line); ++file.below)
    if (IsQuestionLine(line)) ++file.shapedBelow;
  return file;
}

std::optional<QuestionLines> ReadQuestionFile(FileAccess& files, const std::string& path) {
  constexpr size_t kMaxQuestionFileBytes = size_t{4} << 20;
  const auto bytes = files.ReadFile(path, kMaxQuestionFileBytes);
  if (!bytes) return std::nullopt;
  return SplitQuestionText(*bytes);
}

std::optional<QuestionLineFields> FieldsOfQuestion(const QuestionLines& file, int q) {
  if (q < 0 || static_cast<size_t>(q) >= file.lines.size()) return std::nullopt;
  const auto line = static_cast<size_t>(q);
  auto fields = SplitQuestionLine(file.lines[line]);
  if (!fields) return std::nullopt;
  QuestionLineFields result{std::move(*fields), file.utf8[line]};
  if (result.utf8) result.fields.answer = Utf8ToSjis(result.fields.answer);
  return result;
}

}  // namespace zel
