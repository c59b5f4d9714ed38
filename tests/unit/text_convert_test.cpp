#include "chars/text_convert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_fixture.h"

namespace zel {
namespace {

using testing::AppFixture;

class ParseTextTest : public AppFixture {
 protected:
  void Parse(const std::string& utf8) { ParseText(app.chars, Utf8ToSjis(utf8)); }
  void ParseBytes(const std::string& bytes) { ParseText(app.chars, bytes); }
};

TEST_F(ParseTextTest, FindsEveryKindOfLabel) {
  struct Case {
    std::string text;  // UTF-8, converted to Shift-JIS
    std::vector<int> codes;
    std::vector<int> voices;
    std::string display;
  };
  const Case cases[] = {
      {"か", {5}, {305}, "か"},
      {"カ", {1005}, {305}, "カ"},
      {"KA", {2005}, {305}, "KA"},
      {"Ｎ", {2045}, {345}, "Ｎ"},
      {"Ａ", {2000}, {300}, "Ａ"},
      {"５", {3005}, {377}, "５"},
      {"10", {3010}, {382}, "10"},
      {"ぢづ", {57, 58}, {352, 353}, "ぢづ"},
      {"KA\r\n", {2005}, {305}, "KA"},
      {"ka", {71}, {371}, "  "},        // lower case is not a label
      {"ぁ", {71}, {371}, "  "},        // small kana have no key
      {"漢", {}, {}, ""},               // both bytes skipped
      {"か き", {5, 71}, {305, 371}, "か  "},  // the space swallows the lead byte of き
      {"　ー、。", {71, 71, 71, 71}, {371, 371, 371, 371}, "        "},
      {"本", {71}, {371}, "  "},        // trail byte 0x7B starts an ASCII unit
      {"本か", {71}, {371}, "  "},
      {"か  き", {5, 71, 6}, {305, 371, 306}, "か  き"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Parse(c.text);
    EXPECT_EQ(Codes(), c.codes);
    EXPECT_EQ(Voices(), c.voices);
    EXPECT_EQ(DisplayUtf8(), c.display);
  }
}

TEST_F(ParseTextTest, OddBytePairs) {
  // Kana are found by their trail byte alone: after a katakana lead byte, the trail byte of
  // "←" (0x81 0xA9) is the "←" key of the katakana set.
  ParseBytes("\x83\xA9");
  EXPECT_EQ(Codes(), (std::vector<int>{1072}));
  EXPECT_EQ(Voices(), (std::vector<int>{371}));
  EXPECT_EQ(DisplayUtf8(), "←");
  EXPECT_EQ(CurrentCharUtf8(), "  ");

  // With a hiragana lead byte the same trail byte is か, which comes first in the table.
  ParseBytes("\x82\xA9\x83\xA9");
  EXPECT_EQ(Codes(), (std::vector<int>{5, 1072}));
  EXPECT_EQ(DisplayUtf8(), "か←");

  ParseBytes("\x82\xA9\x82");  // a unit cut off at the end still counts, as a blank
  EXPECT_EQ(Codes(), (std::vector<int>{5, 71}));

  ParseBytes(std::string("K\0A", 3));  // the text ends at its NUL
  EXPECT_EQ(Codes(), (std::vector<int>{71}));

  ParseBytes("\x81");
  EXPECT_EQ(Codes(), (std::vector<int>{71}));
}

TEST_F(ParseTextTest, VoicesComeFromTheFixedTablesWhateverTheSet) {
  SelectScriptMode(app, kDigits);
  Parse("５か");
  EXPECT_EQ(Voices(), (std::vector<int>{377, 305}));
}

TEST_F(ParseTextTest, LeavesABlankCharacterOnlyAfterALabelUnit) {
  Type({5});
  Parse("   ");
  EXPECT_EQ(CurrentCharUtf8(), "か");  // spaces alone do not touch it
  EXPECT_EQ(app.chars.CurrentStrip, 0);
  EXPECT_EQ(app.chars.CurrentCode, 5);
  Parse("");
  EXPECT_EQ(CurrentCharUtf8(), "か");
  Parse("き");
  EXPECT_EQ(CurrentCharUtf8(), "  ");
}

TEST_F(ParseTextTest, ALongLoadedLineIsKeptUntilTheNextKey) {
  std::string text;
  for (int i = 0; i < 255; ++i) text += "\x82\xA0";
  text += '\x82';  // 511 bytes
  ParseBytes(text);
  EXPECT_EQ(app.chars.line.count(), 256);
  EXPECT_EQ(app.chars.line.DisplayText.size(), 512u);

  Type({5});
  EXPECT_EQ(app.chars.line.count(), 0);
}

TEST_F(ParseTextTest, ATypedLineReadsBackAsTheSameLine) {
  Type({0, 71, 46, 66});            // あ, blank, が, ぱ
  SelectScriptMode(app, kKatakana);
  Type({5, 71});                    // カ, blank
  SelectScriptMode(app, kRomaji);
  Type({0, 5, 45, 71});             // Ａ, KA, Ｎ, blank
  SelectScriptMode(app, kDigits);
  Type({3, 10, 11, 71});            // ３, 10, a hidden key's ０, blank
  const std::vector<int> typedVoices = Voices();
  const std::string typedText = app.chars.line.DisplayText;

  ParseBytes(typedText);
  EXPECT_EQ(Voices(), typedVoices);
  EXPECT_EQ(app.chars.line.DisplayText, typedText);
  EXPECT_EQ(Codes(), (std::vector<int>{0, 71, 46, 66, 1005, 71, 2000, 2005, 2045, 71, 3003,
                                       3010, 3000, 71}));
}

// The characters an answer holds that no key types, named as the parent wrote them, with
// what the quiz makes of each.
TEST(UntypableCharacters, NamesWhatTheKeysCannotType) {
  constexpr LostAs B = LostAs::Blank, N = LostAs::Nothing, S = LostAs::Swallowed;
  struct Case {
    const char* answer;  // UTF-8, written into Shift-JIS as a question file holds it
    std::vector<std::string> untypable;
    std::vector<LostAs> lostAs;
  };
  const Case cases[] = {
      {"いぬ", {}, {}},
      {"カタカナ", {}, {}},
      {"KAKI", {}, {}},
      {"10", {}, {}},
      {"い　ぬ", {}, {}},                 // a fullwidth space types the blank key
      {"いぬ\r\n", {}, {}},              // the line end is no character
      {"犬", {"犬"}, {N}},
      {"きって", {"っ"}, {B}},              // small kana have no key: the blank stands in
      {"ケーキ", {"ー"}, {B}},              // nor has the long mark
      {"ねこ、いぬ", {"、"}, {B}},
      {"ｲﾇ", {"ｲ", "ﾇ"}, {N, N}},         // half-width kana
      {"inu", {"i", "n", "u"}, {B, B, B}},  // romaji is typed in capitals
      {"い ぬ", {"ぬ"}, {S}},               // a half-width space takes the byte after it
      {"犬と犬", {"犬"}, {N}},              // each named once
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    std::vector<LostAs> lostAs;
    for (const UntypableCharacter& u : UntypableCharacters(Utf8ToSjis(c.answer))) {
      names.push_back(SjisToUtf8(u.character));
      lostAs.push_back(u.lostAs);
    }
    EXPECT_EQ(names, c.untypable) << c.answer;
    EXPECT_EQ(lostAs, c.lostAs) << c.answer;
  }
}

// The keys of an answer are the ones the parser types: the same labels in the same order,
// the blank key told apart, and a blank that a written space asks for known as such.
TEST(AnswerKeys, AreTheKeysTheParserTypes) {
  struct Case {
    const char* answer;
    std::string keys;  // "_" a blank from a space, "#" a blank for a character no key types
  };
  const Case cases[] = {
      {"くま", "くま"},
      {"くま ", "くま_"},           // a trailing ASCII space
      {"くま　", "くま_"},          // a trailing fullwidth space
      {"くま \n", "くま_"},         // the space takes the line end with it
      {"　くま", "_くま"},
      {"しろ　くま", "しろ_くま"},
      {"きゃ", "き#"},
      {"ケーキ。", "ケ#キ#"},
      {"KAKI", "KAKI"},
  };
  for (const Case& c : cases) {
    const std::string sjis = Utf8ToSjis(c.answer);
    std::string keys, labels;
    for (const AnswerKey& key : AnswerKeys(sjis)) {
      keys += key.fromSpace ? "_" : key.blank ? "#" : SjisToUtf8(key.label);
      labels += key.label;
      EXPECT_EQ(key.blank, key.label == BlankLabel) << c.answer;
    }
    EXPECT_EQ(keys, c.keys) << c.answer;
    CharacterState chars;
    ParseText(chars, sjis);
    EXPECT_EQ(labels, chars.line.DisplayText) << c.answer;
  }
  // A katakana lead byte before a space finds the katakana set's blank key by its label.
  const auto keys = AnswerKeys("\x83\x20");
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_TRUE(keys[0].blank);
  EXPECT_FALSE(keys[0].fromSpace);
}

TEST(LargeKanaOf, GivesTheOrdinaryKanaForASmallOne) {
  const std::pair<const char*, const char*> pairs[] = {
      {"ぁ", "あ"}, {"っ", "つ"}, {"ゃ", "や"}, {"ょ", "よ"}, {"ゎ", "わ"},
      {"ァ", "ア"}, {"ッ", "ツ"}, {"ャ", "ヤ"}, {"ヮ", "ワ"}, {"ヵ", "カ"}, {"ヶ", "ケ"},
  };
  for (const auto& [small, large] : pairs) {
    const auto got = LargeKanaOf(Utf8ToSjis(small));
    ASSERT_TRUE(got) << small;
    EXPECT_EQ(SjisToUtf8(*got), large);
  }
  for (const char* other : {"あ", "ー", "犬", "ｧ", "a"}) EXPECT_FALSE(LargeKanaOf(Utf8ToSjis(other))) << other;
}

}  // namespace
}  // namespace zel
