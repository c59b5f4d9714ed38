// Turning a line of Shift-JIS text back into an input line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zel {

struct CharacterState;

// Replaces the whole input line with the characters found in text, two bytes a unit, and
// sets CurrentStrip to 0. The text ends at its first NUL byte, if any. It neither shows
// the line nor repaints: callers do.
void ParseText(CharacterState& chars, std::string_view text);

// The characters of text (Shift-JIS, each named once, in order) that ParseText cannot turn
// into the keys they mean: kanji, half-width kana, small kana and symbols that no key
// types, and whatever a half-width space swallows. Spaces themselves type the blank key.
std::vector<std::string> UntypableCharacters(std::string_view text);

}  // namespace zel
