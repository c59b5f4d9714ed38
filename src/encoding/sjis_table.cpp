#include "encoding/sjis_table.h"

#include <array>
#include <cstdint>

#include "encoding/utf8.h"

namespace zel::cp932 {
namespace {

constexpr uint16_t kNoCharacter = 0xFFFF;  // in no table: U+FFFF has no code

// The second bytes first..last of one lead byte (none when first > last). A run holds
// consecutive characters from start, counted over the second bytes without 0x7F; the
// other rows keep their characters in kPairs from start on, 0 for a pair that is none.
struct PairRow {
  uint8_t first;
  uint8_t last;
  uint8_t run;
  uint16_t start;
};

struct WriteCode {
  uint16_t character;
  uint16_t code;  // a single byte below 0x100, else lead and second byte
};

#include "encoding/cp932_table.inc"

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kNoCode = 0xFFFF;  // no lead byte is 0xFF

unsigned TrailOrdinal(unsigned trail) { return trail - 0x40 - (trail > 0x7F ? 1 : 0); }

// The character of a lead and second byte, or kNoCharacter.
uint16_t PairCharacter(unsigned lead, unsigned trail) {
  if (lead < kFirstLead || lead >= kFirstLead + std::size(kPairRows)) return kNoCharacter;
  const PairRow& row = kPairRows[lead - kFirstLead];
  if (trail < row.first || trail > row.last) return kNoCharacter;
  if (row.run) {
    if (trail == 0x7F) return kNoCharacter;
    return static_cast<uint16_t>(row.start + TrailOrdinal(trail) - TrailOrdinal(row.first));
  }
  const uint16_t c = kPairs[row.start + trail - row.first];
  return c == 0 ? kNoCharacter : c;
}

// The code of every character of the first plane: the last code in byte order that reads
// as it, unless the C library writes it otherwise. Made once, on the first write.
const std::array<uint16_t, 0x10000>& WriteTable() {
  static const std::array<uint16_t, 0x10000> table = [] {
    std::array<uint16_t, 0x10000> codes;
    codes.fill(kNoCode);
    for (unsigned b = 0; b < 0x100; ++b) {
      if (kSingleBytes[b] != kNoCharacter) codes[kSingleBytes[b]] = static_cast<uint16_t>(b);
    }
    for (unsigned lead = kFirstLead; lead < kFirstLead + std::size(kPairRows); ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        const uint16_t c = PairCharacter(lead, trail);
        if (c != kNoCharacter) codes[c] = static_cast<uint16_t>(lead << 8 | trail);
      }
    }
    for (const WriteCode& w : kWriteCodes) codes[w.character] = w.code;
    return codes;
  }();
  return table;
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | c >> 6));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | c >> 12));
    out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() * 3 / 2);
  size_t i = 0;
  while (i < sjis.size()) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    uint16_t c = kNoCharacter;
    if (i + 1 < sjis.size()) c = PairCharacter(b, static_cast<unsigned char>(sjis[i + 1]));
    if (c != kNoCharacter) {
      i += 2;
    } else {
      // A single byte, or one that is none: then the next byte starts afresh, as iconv
      // goes on after a pair without a character.
      c = kSingleBytes[b];
      ++i;
    }
    AppendUtf8(out, c == kNoCharacter ? 0xFFFD : c);
  }
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  const std::array<uint16_t, 0x10000>& codes = WriteTable();
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    uint32_t c = b;
    size_t length = 1;
    if (b >= 0x80 && CheckUtf8Character(utf8, i, length, &c) != Utf8Check::Valid) c = 0x110000;
    // Tag characters (U+E0000 to U+E007F) are left out, as the C library's converter leaves
    // them out.
    if (c >= 0xE0000 && c <= 0xE007F) {
      i += length;
      continue;
    }
    const unsigned code = c < codes.size() ? codes[c] : kNoCode;
    if (code == kNoCode) {
      // A character without a code, or bytes that are none: one '?', which takes the
      // continuation bytes that follow, however many.
      out.push_back('?');
      do {
        ++i;
      } while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80);
      continue;
    }
    if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
    i += length;
  }
  return out;
}

}  // namespace zel::cp932
