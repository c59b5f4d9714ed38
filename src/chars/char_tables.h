// The constant per-key tables of the on-screen keyboard and the lookups over them.
//
// Labels are Shift-JIS byte strings of exactly two bytes, because the text parser finds
// them again in saved text by comparing bytes.
#pragma once

#include <array>
#include <string_view>

namespace zel {

// Character sets (the value of ScriptMode).
enum : int { kHiragana = 0, kKatakana = 1, kRomaji = 2, kDigits = 3, kScriptModeCount = 4 };

inline constexpr int kFirstKeyId = 1000;   // KeyId of key index 0
inline constexpr int kBlankIndex = 71;     // the blank key
inline constexpr int kBackspaceIndex = 72; // "←", never types a character
inline constexpr int kKeyCount = 73;       // key buttons 1000..1072
inline constexpr int kTableSize = 76;      // 73 keys, two spare blanks, one empty entry
inline constexpr int kVoiceCount = 75;     // entries of CurrentVoice (indexes 0..74)

inline constexpr std::string_view BlankLabel = "  ";

using LabelColumn = std::array<std::string_view, kTableSize>;
using IdColumn = std::array<int, kTableSize>;

// LabelTable[set][index]; entry 75 is empty.
extern const std::array<LabelColumn, kScriptModeCount> LabelTable;
extern const IdColumn KeyVoiceTable;     // voices of sets 0..2, 0 at index 75
extern const IdColumn DigitVoiceTable;   // voices of the digits set, 0 at index 75
extern const IdColumn StrokeStripTable;  // strip ids, 0 where a key has none

// The keys left visible in the digits set, in the order they are shown.
inline constexpr std::array<int, 13> DigitKeyList = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 71, 72};

// A CharCode names a typed character together with its set: set * 1000 + key index.
constexpr int MakeCharCode(int set, int keyId) { return set * 1000 + (keyId - kFirstKeyId); }

// Plain reads of the tables. Out-of-range arguments give an empty label, voice 0, strip 0.
std::string_view LabelOf(int set, int index);
int VoiceOf(int set, int index);
int StripOf(int index);

}  // namespace zel
