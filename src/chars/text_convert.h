// Turning a line of Shift-JIS text back into an input line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

struct CharacterState;

// Replaces the whole input line with the characters found in text, two bytes a unit, and
// sets CurrentStrip to 0. The text ends at its first NUL byte, if any. It neither shows
// the line nor repaints: callers do.
void ParseText(CharacterState& chars, std::string_view text);

// One key of the line ParseText makes of a text, in order: what a child answering a
// question with that text presses.
struct AnswerKey {
  std::string label;  // the key's label, Shift-JIS; BlankLabel for the blank key
  bool blank = false;       // the blank key
  bool fromSpace = false;   // the blank key for a space the text holds
};
std::vector<AnswerKey> AnswerKeys(std::string_view text);

// The characters of text (Shift-JIS, each named once, in order) that ParseText cannot turn
// into the keys they mean: kanji, half-width kana, small kana and symbols that no key
// types, and whatever a half-width space swallows. Spaces themselves type the blank key.
enum class LostAs {
  Blank,      // the blank key stands for it: small kana, the long mark, symbols
  Nothing,    // no key at all: kanji, half-width kana
  Swallowed,  // read together with the half-width space before it
};
struct UntypableCharacter {
  std::string character;
  LostAs lostAs = LostAs::Blank;
};
std::vector<UntypableCharacter> UntypableCharacters(std::string_view text);

// The ordinary kana for a small one ("ゃ" gives "や"), Shift-JIS; none for any other text.
std::optional<std::string> LargeKanaOf(std::string_view character);

}  // namespace zel
