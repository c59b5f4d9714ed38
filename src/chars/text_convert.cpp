#include "chars/text_convert.h"

#include <optional>

#include "chars/input_line.h"

namespace zel {
namespace {

struct Unit {
  unsigned char lead;
  unsigned char trail;  // 0 for a unit that starts at the last byte
};

struct Match {
  int code;
  int voice;
  std::string_view label;
};

bool SameBytes(Unit unit, std::string_view label) {
  return label.size() >= 2 && static_cast<unsigned char>(label[0]) == unit.lead &&
         static_cast<unsigned char>(label[1]) == unit.trail;
}

// Kana by their trail byte alone, whatever the label's lead byte: so 0x83 0xA9 loads as
// the katakana set's "←" key, code 1072, and the trail byte 0x20 finds the blank key.
bool SameTrail(Unit unit, std::string_view label) {
  return label.size() >= 2 && static_cast<unsigned char>(label[1]) == unit.trail;
}

// The first entry of a set's labels in [0, end) that fits; codes are set * 1000 + index.
template <typename Fits>
std::optional<Match> FindLabel(int set, int end, Unit unit, Fits fits) {
  for (int index = 0; index < end; ++index) {
    const std::string_view label = LabelTable[set][index];
    if (fits(unit, label)) return Match{set * 1000 + index, VoiceOf(set, index), label};
  }
  return std::nullopt;
}

constexpr int kParsedLabels = 75;  // entries 0..74: the keys and two spare blanks
constexpr int kAsciiDigitLabels = 11;     // "０".."９" and "10"
constexpr int kFullwidthDigitLabels = 10; // "０".."９"

const Match kBlank{kBlankIndex, KeyVoiceTable[kBlankIndex], BlankLabel};

// ASCII pairs: the romaji capitals "KA".."PO", then "10".
Match MatchAscii(Unit unit) {
  if (auto m = FindLabel(kRomaji, kParsedLabels, unit, SameBytes)) return *m;
  if (auto m = FindLabel(kDigits, kAsciiDigitLabels, unit, SameBytes)) return *m;
  return kBlank;
}

// Lead byte 0x82: hiragana by their trail byte, then fullwidth letters and digits.
Match MatchLead82(Unit unit) {
  if (auto m = FindLabel(kHiragana, kParsedLabels, unit, SameTrail)) return *m;
  if (auto m = FindLabel(kRomaji, kParsedLabels, unit, SameBytes)) return *m;
  if (auto m = FindLabel(kDigits, kFullwidthDigitLabels, unit, SameBytes)) return *m;
  return kBlank;
}

// Lead byte 0x83: katakana by their trail byte.
Match MatchLead83(Unit unit) {
  if (auto m = FindLabel(kKatakana, kParsedLabels, unit, SameTrail)) return *m;
  return kBlank;
}

}  // namespace

void ParseText(CharacterState& chars, std::string_view text) {
  if (const size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  InputLine& line = chars.line;
  line.Clear();
  chars.CurrentStrip = 0;

  bool matchedLabel = false;
  size_t i = 0;
  while (i < text.size()) {
    const Unit unit{static_cast<unsigned char>(text[i]),
                    i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : static_cast<unsigned char>(0)};
    Match match;
    if (unit.lead >= 0x21 && unit.lead <= 0x7F) {
      match = MatchAscii(unit);
    } else if (unit.lead == 0x82) {
      match = MatchLead82(unit);
    } else if (unit.lead == 0x83) {
      match = MatchLead83(unit);
    } else if (unit.lead == 0x81 || unit.lead == 0x20) {
      // Symbols, the fullwidth space and an ASCII space (with the byte after it).
      line.AppendEntry(kBlank.code, kBlank.voice);
      line.AppendLabel(kBlank.label);
      i += 2;
      continue;
    } else {
      ++i;  // control bytes, kanji and other characters are skipped byte by byte
      continue;
    }
    matchedLabel = true;
    line.AppendEntry(match.code, match.voice);
    line.AppendLabel(match.label);
    i += 2;
  }
  // The character on show was used as the scratch label of the walk.
  if (matchedLabel) chars.CurrentChar.assign(BlankLabel);
}

}  // namespace zel
