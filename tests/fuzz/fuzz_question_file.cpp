// Any bytes as a question file: split into lines, each in its own encoding, and fields the
// way questions are read, each answer parsed; pieces never exceed the line buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chars/input_line.h"
#include "chars/text_convert.h"
#include "encoding/sjis.h"
#include "quiz/question_file.h"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const QuestionLines file = SplitQuestionText(bytes);
  if (file.utf8.size() != file.lines.size()) abort();
  size_t total = file.end ? file.end->size() : 0;
  for (const auto& line : file.lines) {
    if (line.empty() || line.size() > kLineBuffer - 1 || !IsQuestionLine(line)) abort();
    total += line.size();
  }
  if (total > size) abort();
  const int count = static_cast<int>(file.lines.size());
  if (file.count < count || (file.count > count && count != kQuestionSlots)) abort();
  if (file.end && (file.end->empty() || IsQuestionLine(*file.end))) abort();
  if (file.below < 0 || file.shapedBelow < 0 || file.shapedBelow > file.below) abort();
  if (!file.end && file.below != 0) abort();
  // The same lines as a whole split gives, only kept where the quiz can ask them.
  const auto all = SplitFileLines(WithoutByteOrderMark(bytes));
  if (CountQuestionLines(all) != file.count) abort();
  if (static_cast<size_t>(file.count) + (file.end ? 1 : 0) + static_cast<size_t>(file.below) != all.size())
    abort();
  for (int q = 0; q < count; ++q)
    if (all[static_cast<size_t>(q)] != file.lines[static_cast<size_t>(q)]) abort();
  for (int q = -1; q <= count; ++q) {
    const auto line = FieldsOfQuestion(file, q);
    if ((q < 0 || q == count) && line) abort();  // only question lines give fields
    if (!line) continue;
    if (line->fields.picture.empty() || line->fields.answer.empty()) abort();
    CharacterState chars;
    ParseText(chars, line->fields.answer);
  }
  return 0;
}
