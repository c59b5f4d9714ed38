// The typed line and the current-character state, and the commands that change them.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "chars/char_tables.h"

namespace zel {

struct AppState;

inline constexpr int kTypedEntryLimit = 250;  // the press after this many empties the line
inline constexpr int kWrapBytes = 22;         // bytes per line of the static text

struct LineEntry {
  int code;   // CharCode
  int voice;  // the voice the key had in the set it was typed in
};

struct InputLine {
  std::vector<LineEntry> entries;
  std::string DisplayText;  // the labels of the entries, two bytes each
  std::string WrappedText;  // the last three 22-byte lines of DisplayText, with breaks

  int count() const { return static_cast<int>(entries.size()); }

  // Primitives for whoever rebuilds the line; they do not apply the typing limit.
  void Clear();
  void AppendEntry(int code, int voice) { entries.push_back({code, voice}); }
  void AppendLabel(std::string_view label) { DisplayText.append(label); }
};

struct CharacterState {
  int ScriptMode = kHiragana;
  std::array<int, kVoiceCount> CurrentVoice = InitialVoices();
  std::string CurrentChar = " ";  // what the display panel draws
  int CurrentCode = 0;            // CharCode of the last character-key press
  int CurrentStrip = 0;           // its stroke-order strip
  InputLine line;

  static std::array<int, kVoiceCount> InitialVoices();
};

// Writes the label of a CharCode into CurrentChar. With set > 0 the label is taken from
// set - 1 instead of the set the code was typed in.
void LookupChar(CharacterState& chars, int code, int set = 0);
void FillCurrentVoice(CharacterState& chars, int set);

// The command actions.
void PressCharKey(AppState& app, int keyId);
void Backspace(AppState& app);
void EraseLine(AppState& app);
void SelectScriptMode(AppState& app, int set);

// Rebuilds WrappedText from DisplayText; ShowLine also puts it into the static text.
void WrapDisplayText(InputLine& line);
void ShowLine(AppState& app);

}  // namespace zel
