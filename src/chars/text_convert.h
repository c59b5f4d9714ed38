// Turning a line of Shift-JIS text back into an input line.
#pragma once

#include <string_view>

namespace zel {

struct CharacterState;

// Replaces the whole input line with the characters found in text, two bytes a unit, and
// sets CurrentStrip to 0. The text ends at its first NUL byte, if any. It neither shows
// the line nor repaints: callers do.
void ParseText(CharacterState& chars, std::string_view text);

}  // namespace zel
