// Any bytes must parse into a line whose entries and text agree, with labels of the
// tables only; the keys the question check names for them are those entries, and the
// characters it names as untypable are characters of the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "chars/char_tables.h"
#include "chars/input_line.h"
#include "chars/text_convert.h"

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CharacterState chars;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ParseText(chars, text);
  const InputLine& line = chars.line;
  if (line.DisplayText.size() != 2 * line.entries.size()) abort();
  if (line.entries.size() > (size + 1) / 2) abort();
  for (size_t i = 0; i < line.entries.size(); ++i) {
    const LineEntry& e = line.entries[i];
    const int set = e.code / 1000, index = e.code % 1000;
    if (set < 0 || set > 3 || index < 0 || index > 74) abort();
    if (e.voice != VoiceOf(set, index)) abort();
    if (line.DisplayText.compare(2 * i, 2, LabelOf(set, index)) != 0) abort();
    LookupChar(chars, e.code);
    if (chars.CurrentChar.size() != 2) abort();
  }
  const std::vector<AnswerKey> keys = AnswerKeys(text);
  if (keys.size() != line.entries.size()) abort();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (line.DisplayText.compare(2 * i, 2, keys[i].label) != 0) abort();
    if (keys[i].blank != (line.entries[i].code % 1000 == kBlankIndex)) abort();
    if (keys[i].fromSpace && !keys[i].blank) abort();
  }
  for (const UntypableCharacter& c : UntypableCharacters(text))
    if (c.character.empty() || c.character.size() > 2 || text.find(c.character) == std::string_view::npos) abort();
  InputLine wrapped = line;
  WrapDisplayText(wrapped);
  if (wrapped.WrappedText.size() > 69) abort();
  return 0;
}
