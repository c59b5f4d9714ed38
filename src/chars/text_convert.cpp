#include "chars/text_convert.h"

#include <algorithm>
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

// One unit of text as the parser reads it from text[i]: the bytes it takes and what it
// gives; none for a byte that is skipped. A label is a key's own; the blank stands for
// symbols, spaces and pairs that name no key.
struct Step {
  size_t length;
  std::optional<Match> match;
  bool label;
};

Step ReadUnit(std::string_view text, size_t i) {
  const Unit unit{static_cast<unsigned char>(text[i]),
                  i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : static_cast<unsigned char>(0)};
  if (unit.lead >= 0x21 && unit.lead <= 0x7F) return {2, MatchAscii(unit), true};
  if (unit.lead == 0x82) return {2, MatchLead82(unit), true};
  if (unit.lead == 0x83) return {2, MatchLead83(unit), true};
  // Symbols, the fullwidth space and an ASCII space (with the byte after it).
  if (unit.lead == 0x81 || unit.lead == 0x20) return {2, kBlank, false};
  return {1, std::nullopt, false};  // control bytes, kanji and other characters, byte by byte
}

// A space written in the text: half-width, or the full-width one.
bool IsSpaceAt(std::string_view text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  return lead == 0x20 || (lead == 0x81 && i + 1 < text.size() && text[i + 1] == '\x40');
}

std::string_view UpToNul(std::string_view text) {
  const size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// Bytes of a Shift-JIS character starting with lead.
size_t CharacterLength(unsigned char lead) {
  return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
}

}  // namespace

void ParseText(CharacterState& chars, std::string_view text) {
  text = UpToNul(text);
  InputLine& line = chars.line;
  line.Clear();
  chars.CurrentStrip = 0;

  bool matchedLabel = false;
  for (size_t i = 0; i < text.size();) {
    const Step step = ReadUnit(text, i);
    if (step.match) {
      matchedLabel = matchedLabel || step.label;
      line.AppendEntry(step.match->code, step.match->voice);
      line.AppendLabel(step.match->label);
    }
    i += step.length;
  }
  // The character on show was used as the scratch label of the walk.
  if (matchedLabel) chars.CurrentChar.assign(BlankLabel);
}

std::vector<AnswerKey> AnswerKeys(std::string_view text) {
  text = UpToNul(text);
  std::vector<AnswerKey> keys;
  for (size_t i = 0; i < text.size();) {
    const Step step = ReadUnit(text, i);
    if (step.match) {
      const bool blank = step.match->code % 1000 == kBlankIndex;  // in any set
      keys.push_back({std::string(step.match->label), blank, blank && IsSpaceAt(text, i)});
    }
    i += step.length;
  }
  return keys;
}

std::vector<UntypableCharacter> UntypableCharacters(std::string_view text) {
  text = UpToNul(text);
  // How the parser loses each byte: dropped, turned into a blank that nobody wrote, or
  // swallowed by a half-width space.
  std::vector<std::optional<LostAs>> lost(text.size());
  const auto visible = [&](size_t i) { return i < text.size() && static_cast<unsigned char>(text[i]) > 0x20; };
  for (size_t i = 0; i < text.size();) {
    const Step step = ReadUnit(text, i);
    const auto lead = static_cast<unsigned char>(text[i]);
    if (!step.match) {
      if (visible(i)) lost[i] = LostAs::Nothing;
    } else if (step.match->code == kBlank.code && !IsSpaceAt(text, i)) {
      for (size_t k = i; k < i + step.length && k < text.size(); ++k)
        if (visible(k)) lost[k] = LostAs::Blank;
    } else if (lead == 0x20 && visible(i + 1)) {
      lost[i + 1] = LostAs::Swallowed;  // the byte an ASCII space takes with it
    }
    i += step.length;
  }
  std::vector<UntypableCharacter> characters;
  for (size_t i = 0; i < text.size();) {
    const size_t length = std::min(CharacterLength(static_cast<unsigned char>(text[i])), text.size() - i);
    // A character partly swallowed is lost to the space; one partly a blank, to the blank.
    const auto any = [&](LostAs as) {
      return std::any_of(lost.begin() + static_cast<std::ptrdiff_t>(i),
                         lost.begin() + static_cast<std::ptrdiff_t>(i + length),
                         [as](const std::optional<LostAs>& l) { return l == as; });
    };
    std::optional<LostAs> how;
    for (LostAs as : {LostAs::Nothing, LostAs::Blank, LostAs::Swallowed})
      if (any(as)) how = as;
    if (how) {
      std::string name(text.substr(i, length));
      const bool named = std::any_of(characters.begin(), characters.end(),
                                     [&](const UntypableCharacter& c) { return c.character == name; });
      if (!named) characters.push_back({std::move(name), *how});
    }
    i += length;
  }
  return characters;
}

std::optional<std::string> LargeKanaOf(std::string_view character) {
  if (character.size() != 2) return std::nullopt;
  const auto lead = static_cast<unsigned char>(character[0]);
  const auto trail = static_cast<unsigned char>(character[1]);
  // ぁぃぅぇぉ っ ゃゅょ ゎ, and the same in katakana, sit just before their large forms.
  static constexpr unsigned char kSmallHiragana[] = {0x9F, 0xA1, 0xA3, 0xA5, 0xA7, 0xC1, 0xE1, 0xE3, 0xE5, 0xEC};
  static constexpr unsigned char kSmallKatakana[] = {0x40, 0x42, 0x44, 0x46, 0x48, 0x62, 0x83, 0x85, 0x87, 0x8E};
  const auto has = [trail](const auto& table) {
    return std::find(std::begin(table), std::end(table), trail) != std::end(table);
  };
  if ((lead == 0x82 && has(kSmallHiragana)) || (lead == 0x83 && has(kSmallKatakana)))
    return std::string{static_cast<char>(lead), static_cast<char>(trail + 1)};
  if (lead == 0x83 && trail == 0x95) return std::string("\x83\x4A");  // ヵ: カ
  if (lead == 0x83 && trail == 0x96) return std::string("\x83\x50");  // ヶ: ケ
  return std::nullopt;
}

}  // namespace zel
