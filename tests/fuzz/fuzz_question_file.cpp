// Any bytes as a question file: split into lines and fields the way questions are read,
// each answer parsed; pieces never exceed the line buffer.
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
  const std::string text = FileTextToSjis({reinterpret_cast<const char*>(data), size});
  const auto lines = SplitFileLines(text);
  size_t total = 0;
  for (const auto& line : lines) {
    if (line.empty() || line.size() > kLineBuffer - 1) abort();
    total += line.size();
  }
  if (total > text.size()) abort();
  const int count = CountQuestionLines(lines);
  if (count < 0 || static_cast<size_t>(count) > lines.size()) abort();
  for (int q = 0; q < count; ++q) {
    const auto fields = SplitQuestionLine(lines[static_cast<size_t>(q)]);
    if (!fields) continue;
    if (fields->picture.empty() || fields->answer.empty()) abort();
    CharacterState chars;
    ParseText(chars, fields->answer);
  }
  return 0;
}
