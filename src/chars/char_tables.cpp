#include "chars/char_tables.h"

namespace zel {
namespace {

struct KeyRow {
  std::string_view hiragana, katakana, romaji, digits;
  int voice;        // sets 0..2
  int digitVoice;   // set 3
  int strip;
};

// One row per key index: labels as Shift-JIS bytes, voices, stroke-order strip.
// ぢ and づ speak the voices of じ and ず (352, 353).
constexpr std::array<KeyRow, kTableSize> kRows = {{
    {"\x82\xA0", "\x83\x41", "\x82\x60", "\x82\x4F", 300, 372, 102},  //  0 あ ア Ａ ０
    {"\x82\xA2", "\x83\x43", "\x82\x68", "\x82\x50", 301, 373, 103},  //  1 い イ Ｉ １
    {"\x82\xA4", "\x83\x45", "\x82\x74", "\x82\x51", 302, 374, 104},  //  2 う ウ Ｕ ２
    {"\x82\xA6", "\x83\x47", "\x82\x64", "\x82\x52", 303, 375, 107},  //  3 え エ Ｅ ３
    {"\x82\xA8", "\x83\x49", "\x82\x6E", "\x82\x53", 304, 376, 106},  //  4 お オ Ｏ ４
    {"\x82\xA9", "\x83\x4A", "KA", "\x82\x54", 305, 377, 108},  //  5 か カ KA ５
    {"\x82\xAB", "\x83\x4C", "KI", "\x82\x55", 306, 378, 109},  //  6 き キ KI ６
    {"\x82\xAD", "\x83\x4E", "KU", "\x82\x56", 307, 379, 110},  //  7 く ク KU ７
    {"\x82\xAF", "\x83\x50", "KE", "\x82\x57", 308, 380, 111},  //  8 け ケ KE ８
    {"\x82\xB1", "\x83\x52", "KO", "\x82\x58", 309, 381, 112},  //  9 こ コ KO ９
    {"\x82\xB3", "\x83\x54", "SA", "10", 310, 382, 113},  // 10 さ サ SA 10
    {"\x82\xB5", "\x83\x56", "SI", "\x82\x4F", 311, 372, 114},  // 11 し シ SI ０
    {"\x82\xB7", "\x83\x58", "SU", "\x82\x4F", 312, 372, 115},  // 12 す ス SU ０
    {"\x82\xB9", "\x83\x5A", "SE", "\x82\x4F", 313, 372, 116},  // 13 せ セ SE ０
    {"\x82\xBB", "\x83\x5C", "SO", "\x82\x4F", 314, 372, 117},  // 14 そ ソ SO ０
    {"\x82\xBD", "\x83\x5E", "TA", "\x82\x4F", 315, 372, 118},  // 15 た タ TA ０
    {"\x82\xBF", "\x83\x60", "TI", "\x82\x4F", 316, 372, 119},  // 16 ち チ TI ０
    {"\x82\xC2", "\x83\x63", "TU", "\x82\x4F", 317, 372, 120},  // 17 つ ツ TU ０
    {"\x82\xC4", "\x83\x65", "TE", "\x82\x4F", 318, 372, 121},  // 18 て テ TE ０
    {"\x82\xC6", "\x83\x67", "TO", "\x82\x4F", 319, 372, 122},  // 19 と ト TO ０
    {"\x82\xC8", "\x83\x69", "NA", "\x82\x4F", 320, 372, 123},  // 20 な ナ NA ０
    {"\x82\xC9", "\x83\x6A", "NI", "\x82\x4F", 321, 372, 124},  // 21 に ニ NI ０
    {"\x82\xCA", "\x83\x6B", "NU", "\x82\x4F", 322, 372, 125},  // 22 ぬ ヌ NU ０
    {"\x82\xCB", "\x83\x6C", "NE", "\x82\x4F", 323, 372, 126},  // 23 ね ネ NE ０
    {"\x82\xCC", "\x83\x6D", "NO", "\x82\x4F", 324, 372, 127},  // 24 の ノ NO ０
    {"\x82\xCD", "\x83\x6E", "HA", "\x82\x4F", 325, 372, 128},  // 25 は ハ HA ０
    {"\x82\xD0", "\x83\x71", "HI", "\x82\x4F", 326, 372, 129},  // 26 ひ ヒ HI ０
    {"\x82\xD3", "\x83\x74", "HU", "\x82\x4F", 327, 372, 130},  // 27 ふ フ HU ０
    {"\x82\xD6", "\x83\x77", "HE", "\x82\x4F", 328, 372, 131},  // 28 へ ヘ HE ０
    {"\x82\xD9", "\x83\x7A", "HO", "\x82\x4F", 329, 372, 132},  // 29 ほ ホ HO ０
    {"\x82\xDC", "\x83\x7D", "MA", "\x82\x4F", 330, 372, 133},  // 30 ま マ MA ０
    {"\x82\xDD", "\x83\x7E", "MI", "\x82\x4F", 331, 372, 134},  // 31 み ミ MI ０
    {"\x82\xDE", "\x83\x80", "MU", "\x82\x4F", 332, 372, 135},  // 32 む ム MU ０
    {"\x82\xDF", "\x83\x81", "ME", "\x82\x4F", 333, 372, 136},  // 33 め メ ME ０
    {"\x82\xE0", "\x83\x82", "MO", "\x82\x4F", 334, 372, 137},  // 34 も モ MO ０
    {"\x82\xE2", "\x83\x84", "YA", "\x82\x4F", 335, 372, 138},  // 35 や ヤ YA ０
    {"\x82\xE4", "\x83\x86", "YU", "\x82\x4F", 336, 372, 139},  // 36 ゆ ユ YU ０
    {"\x82\xE6", "\x83\x88", "YO", "\x82\x4F", 337, 372, 140},  // 37 よ ヨ YO ０
    {"\x82\xE7", "\x83\x89", "RA", "\x82\x4F", 338, 372, 141},  // 38 ら ラ RA ０
    {"\x82\xE8", "\x83\x8A", "RI", "\x82\x4F", 339, 372, 142},  // 39 り リ RI ０
    {"\x82\xE9", "\x83\x8B", "RU", "\x82\x4F", 340, 372, 143},  // 40 る ル RU ０
    {"\x82\xEA", "\x83\x8C", "RE", "\x82\x4F", 341, 372, 144},  // 41 れ レ RE ０
    {"\x82\xEB", "\x83\x8D", "RO", "\x82\x4F", 342, 372, 145},  // 42 ろ ロ RO ０
    {"\x82\xED", "\x83\x8F", "WA", "\x82\x4F", 343, 372, 146},  // 43 わ ワ WA ０
    {"\x82\xF0", "\x83\x92", "WO", "\x82\x4F", 344, 372, 147},  // 44 を ヲ WO ０
    {"\x82\xF1", "\x83\x93", "\x82\x6D", "\x82\x4F", 345, 372, 148},  // 45 ん ン Ｎ ０
    {"\x82\xAA", "\x83\x4B", "GA", "\x82\x4F", 346, 372, 150},  // 46 が ガ GA ０
    {"\x82\xAC", "\x83\x4D", "GI", "\x82\x4F", 347, 372, 151},  // 47 ぎ ギ GI ０
    {"\x82\xAE", "\x83\x4F", "GU", "\x82\x4F", 348, 372, 152},  // 48 ぐ グ GU ０
    {"\x82\xB0", "\x83\x51", "GE", "\x82\x4F", 349, 372, 200},  // 49 げ ゲ GE ０
    {"\x82\xB2", "\x83\x53", "GO", "\x82\x4F", 350, 372, 201},  // 50 ご ゴ GO ０
    {"\x82\xB4", "\x83\x55", "ZA", "\x82\x4F", 351, 372, 202},  // 51 ざ ザ ZA ０
    {"\x82\xB6", "\x83\x57", "ZI", "\x82\x4F", 352, 372, 203},  // 52 じ ジ ZI ０
    {"\x82\xB8", "\x83\x59", "ZU", "\x82\x4F", 353, 372, 204},  // 53 ず ズ ZU ０
    {"\x82\xBA", "\x83\x5B", "ZE", "\x82\x4F", 354, 372, 205},  // 54 ぜ ゼ ZE ０
    {"\x82\xBC", "\x83\x5D", "ZO", "\x82\x4F", 355, 372, 206},  // 55 ぞ ゾ ZO ０
    {"\x82\xBE", "\x83\x5F", "DA", "\x82\x4F", 356, 372, 207},  // 56 だ ダ DA ０
    {"\x82\xC0", "\x83\x61", "DI", "\x82\x4F", 352, 372, 208},  // 57 ぢ ヂ DI ０
    {"\x82\xC3", "\x83\x64", "DU", "\x82\x4F", 353, 372, 209},  // 58 づ ヅ DU ０
    {"\x82\xC5", "\x83\x66", "DE", "\x82\x4F", 359, 372, 210},  // 59 で デ DE ０
    {"\x82\xC7", "\x83\x68", "DO", "\x82\x4F", 360, 372, 211},  // 60 ど ド DO ０
    {"\x82\xCE", "\x83\x6F", "BA", "\x82\x4F", 361, 372, 212},  // 61 ば バ BA ０
    {"\x82\xD1", "\x83\x72", "BI", "\x82\x4F", 362, 372, 213},  // 62 び ビ BI ０
    {"\x82\xD4", "\x83\x75", "BU", "\x82\x4F", 363, 372, 214},  // 63 ぶ ブ BU ０
    {"\x82\xD7", "\x83\x78", "BE", "\x82\x4F", 364, 372, 215},  // 64 べ ベ BE ０
    {"\x82\xDA", "\x83\x7B", "BO", "\x82\x4F", 365, 372, 216},  // 65 ぼ ボ BO ０
    {"\x82\xCF", "\x83\x70", "PA", "\x82\x4F", 366, 372, 217},  // 66 ぱ パ PA ０
    {"\x82\xD2", "\x83\x73", "PI", "\x82\x4F", 367, 372, 218},  // 67 ぴ ピ PI ０
    {"\x82\xD5", "\x83\x76", "PU", "\x82\x4F", 368, 372, 219},  // 68 ぷ プ PU ０
    {"\x82\xD8", "\x83\x79", "PE", "\x82\x4F", 369, 372, 220},  // 69 ぺ ペ PE ０
    {"\x82\xDB", "\x83\x7C", "PO", "\x82\x4F", 370, 372, 221},  // 70 ぽ ポ PO ０
    {"  ", "  ", "  ", "  ", 371, 371, 0},                                       // 71 blank key
    {"\x81\xA9", "\x81\xA9", "\x81\xA9", "\x81\xA9", 371, 371, 0},                  // 72 ←
    {"  ", "  ", "  ", "  ", 371, 371, 0},                                       // 73
    {"  ", "  ", "  ", "  ", 371, 371, 0},                                       // 74
    {"", "", "", "", 0, 0, 0},                                                   // 75 no entry
}};

template <typename Field>
constexpr IdColumn IdColumnOf(Field field) {
  IdColumn column{};
  for (int i = 0; i < kTableSize; ++i) column[i] = kRows[i].*field;
  return column;
}

constexpr std::array<LabelColumn, kScriptModeCount> MakeLabelTable() {
  std::array<LabelColumn, kScriptModeCount> table{};
  for (int i = 0; i < kTableSize; ++i) {
    table[kHiragana][i] = kRows[i].hiragana;
    table[kKatakana][i] = kRows[i].katakana;
    table[kRomaji][i] = kRows[i].romaji;
    table[kDigits][i] = kRows[i].digits;
  }
  return table;
}

constexpr bool InRange(int value, int end) { return value >= 0 && value < end; }

}  // namespace

const std::array<LabelColumn, kScriptModeCount> LabelTable = MakeLabelTable();
const IdColumn KeyVoiceTable = IdColumnOf(&KeyRow::voice);
const IdColumn DigitVoiceTable = IdColumnOf(&KeyRow::digitVoice);
const IdColumn StrokeStripTable = IdColumnOf(&KeyRow::strip);

std::string_view LabelOf(int set, int index) {
  if (!InRange(set, kScriptModeCount) || !InRange(index, kTableSize)) return {};
  return LabelTable[set][index];
}

int VoiceOf(int set, int index) {
  if (!InRange(index, kTableSize)) return 0;
  return set == kDigits ? DigitVoiceTable[index] : KeyVoiceTable[index];
}

int StripOf(int index) { return InRange(index, kTableSize) ? StrokeStripTable[index] : 0; }

}  // namespace zel
