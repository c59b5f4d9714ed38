#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "chars/char_tables.h"
#include "app/app_state.h"
#include "chars/input_line.h"
#include "encoding/sjis.h"
#include "support/recording_host.h"

namespace zel {
namespace {

// The keyboard as a child sees it, written independently of the byte tables.
const std::vector<std::string> kHiraganaChars = {
    "あ", "い", "う", "え", "お", "か", "き", "く", "け", "こ", "さ", "し", "す", "せ", "そ",
    "た", "ち", "つ", "て", "と", "な", "に", "ぬ", "ね", "の", "は", "ひ", "ふ", "へ", "ほ",
    "ま", "み", "む", "め", "も", "や", "ゆ", "よ", "ら", "り", "る", "れ", "ろ", "わ", "を",
    "ん", "が", "ぎ", "ぐ", "げ", "ご", "ざ", "じ", "ず", "ぜ", "ぞ", "だ", "ぢ", "づ", "で",
    "ど", "ば", "び", "ぶ", "べ", "ぼ", "ぱ", "ぴ", "ぷ", "ぺ", "ぽ"};
const std::vector<std::string> kKatakanaChars = {
    "ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ク", "ケ", "コ", "サ", "シ", "ス", "セ", "ソ",
    "タ", "チ", "ツ", "テ", "ト", "ナ", "ニ", "ヌ", "ネ", "ノ", "ハ", "ヒ", "フ", "ヘ", "ホ",
    "マ", "ミ", "ム", "メ", "モ", "ヤ", "ユ", "ヨ", "ラ", "リ", "ル", "レ", "ロ", "ワ", "ヲ",
    "ン", "ガ", "ギ", "グ", "ゲ", "ゴ", "ザ", "ジ", "ズ", "ゼ", "ゾ", "ダ", "ヂ", "ヅ", "デ",
    "ド", "バ", "ビ", "ブ", "ベ", "ボ", "パ", "ピ", "プ", "ペ", "ポ"};
const std::vector<std::string> kRomajiChars = {
    "Ａ", "Ｉ", "Ｕ", "Ｅ", "Ｏ", "KA", "KI", "KU", "KE", "KO", "SA", "SI", "SU", "SE", "SO",
    "TA", "TI", "TU", "TE", "TO", "NA", "NI", "NU", "NE", "NO", "HA", "HI", "HU", "HE", "HO",
    "MA", "MI", "MU", "ME", "MO", "YA", "YU", "YO", "RA", "RI", "RU", "RE", "RO", "WA", "WO",
    "Ｎ", "GA", "GI", "GU", "GE", "GO", "ZA", "ZI", "ZU", "ZE", "ZO", "DA", "DI", "DU", "DE",
    "DO", "BA", "BI", "BU", "BE", "BO", "PA", "PI", "PU", "PE", "PO"};

std::string ExpectedLabel(int set, int index) {
  if (index == kBlankIndex || index == 73 || index == 74) return "  ";
  if (index == kBackspaceIndex) return "←";
  switch (set) {
    case kHiragana: return kHiraganaChars[index];
    case kKatakana: return kKatakanaChars[index];
    case kRomaji: return kRomajiChars[index];
    default: {
      static const std::vector<std::string> digits = {"０", "１", "２", "３", "４", "５",
                                                      "６", "７", "８", "９", "10"};
      return index <= 10 ? digits[index] : "０";
    }
  }
}

TEST(CharTables, EveryLabelIsTwoShiftJisBytesOfItsCharacter) {
  for (int set = 0; set < kScriptModeCount; ++set) {
    for (int index = 0; index < 75; ++index) {
      SCOPED_TRACE("set " + std::to_string(set) + " index " + std::to_string(index));
      const std::string_view label = LabelOf(set, index);
      ASSERT_EQ(label.size(), 2u);
      EXPECT_EQ(SjisToUtf8(label), ExpectedLabel(set, index));
    }
    EXPECT_TRUE(LabelOf(set, 75).empty());
  }
  // The lead bytes the text parser relies on.
  EXPECT_EQ(static_cast<unsigned char>(LabelOf(kHiragana, 5)[0]), 0x82);
  EXPECT_EQ(static_cast<unsigned char>(LabelOf(kKatakana, 5)[0]), 0x83);
  EXPECT_EQ(LabelOf(kHiragana, kBackspaceIndex), "\x81\xA9");
}

TEST(CharTables, VoicesFollowTheKeyNotTheSet) {
  for (int index = 0; index <= 70; ++index) {
    const int expected = index == 57 ? 352 : index == 58 ? 353 : 300 + index;
    EXPECT_EQ(VoiceOf(kHiragana, index), expected) << index;
    EXPECT_EQ(VoiceOf(kKatakana, index), expected) << index;
    EXPECT_EQ(VoiceOf(kRomaji, index), expected) << index;
    EXPECT_EQ(VoiceOf(kDigits, index), index <= 10 ? 372 + index : 372) << index;
  }
  for (int set = 0; set < kScriptModeCount; ++set) {
    for (int index : {71, 72, 73, 74}) EXPECT_EQ(VoiceOf(set, index), 371);
    EXPECT_EQ(VoiceOf(set, 75), 0);
  }
}

TEST(CharTables, EveryKanaKeyHasItsOwnStrip) {
  std::set<int> strips;
  for (int index = 0; index <= 70; ++index) {
    const int strip = StripOf(index);
    EXPECT_TRUE((strip >= 102 && strip <= 152) || (strip >= 200 && strip <= 221)) << index;
    strips.insert(strip);
  }
  EXPECT_EQ(strips.size(), 71u);
  EXPECT_EQ(StripOf(0), 102);
  EXPECT_EQ(StripOf(3), 107);  // え and お have their strips the other way round
  EXPECT_EQ(StripOf(4), 106);
  EXPECT_EQ(StripOf(5), 108);
  EXPECT_EQ(StripOf(46), 150);
  EXPECT_EQ(StripOf(49), 200);
  EXPECT_EQ(StripOf(70), 221);
  for (int index : {71, 72, 73, 74, 75}) EXPECT_EQ(StripOf(index), 0);
}

// What a child finds in the digits set: the keys left on the board read 0 to 10 in order,
// then the blank and ←, and each speaks its number.
TEST(CharTables, TheDigitsSetLeavesZeroToTenTheBlankAndBackspace) {
  testing::RecordingHost host;
  AppState app(host);
  SelectScriptMode(app, kDigits);
  std::vector<std::string> shownKeys;
  for (const std::string& e : host.Only("show 10")) {
    const int id = std::stoi(e.substr(5));
    if (id >= kFirstKeyId && id < kFirstKeyId + kKeyCount)
      shownKeys.push_back(SjisToUtf8(LabelOf(kDigits, id - kFirstKeyId)));
  }
  EXPECT_EQ(shownKeys, (std::vector<std::string>{"０", "１", "２", "３", "４", "５", "６", "７",
                                                 "８", "９", "10", "  ", "←"}));
  for (int digit = 0; digit <= 10; ++digit) {
    host.Clear();
    PressCharKey(app, kFirstKeyId + digit);
    EXPECT_EQ(host.events.front(), "play " + std::to_string(372 + digit) + " async") << digit;
  }
}

TEST(CharTables, LookupCharFindsTheLabelOfACode) {
  struct Case {
    int code, set;
    const char* expected;
  };
  const Case cases[] = {
      {5, 0, "か"},    {1005, 0, "カ"}, {2005, 0, "KA"}, {3010, 0, "10"},
      {1005, 4, "５"}, {71, 0, "  "},   {0, 2, "ア"},    {0, 3, "Ａ"},
      {72, 1, "←"},   {1072, 2, "←"},  {2072, 3, "←"},  {3072, 4, "←"},
  };
  for (const Case& c : cases) {
    CharacterState chars;
    LookupChar(chars, c.code, c.set);
    EXPECT_EQ(SjisToUtf8(chars.CurrentChar), c.expected) << c.code << " set " << c.set;
  }
  EXPECT_EQ(MakeCharCode(kRomaji, 1005), 2005);
}

TEST(CharTables, LookupCharOutsideTheTablesKeepsTheCharacter) {
  CharacterState chars;
  chars.CurrentChar = "\x82\xA9";
  for (int code : {4005, 75, 999, 1500}) LookupChar(chars, code);
  LookupChar(chars, 5, 6);
  EXPECT_EQ(SjisToUtf8(chars.CurrentChar), "か");
}

TEST(CharTables, FillCurrentVoiceSwitchesBetweenKeyAndDigitVoices) {
  CharacterState chars;
  EXPECT_EQ(chars.CurrentVoice[5], 305);
  EXPECT_EQ(chars.CurrentVoice[74], 371);
  FillCurrentVoice(chars, kDigits);
  EXPECT_EQ(chars.CurrentVoice[5], 377);
  EXPECT_EQ(chars.CurrentVoice[40], 372);
  EXPECT_EQ(chars.CurrentVoice[72], 371);
  FillCurrentVoice(chars, kRomaji);
  EXPECT_EQ(chars.CurrentVoice[5], 305);
}

}  // namespace
}  // namespace zel
