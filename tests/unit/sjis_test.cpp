#include "encoding/sjis.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(Sjis, ConvertsBothWays) {
  EXPECT_EQ(Utf8ToSjis("か"), "\x82\xA9");
  EXPECT_EQ(Utf8ToSjis("もじもり！"), "\x82\xE0\x82\xB6\x82\xE0\x82\xE8\x81\x49");
  EXPECT_EQ(SjisToUtf8("\x83\x4A KA \x81\xA9"), "カ KA ←");
  EXPECT_EQ(SjisToUtf8(""), "");
  std::string long_text;
  for (int i = 0; i < 1000; ++i) long_text += "あいう";
  EXPECT_EQ(SjisToUtf8(Utf8ToSjis(long_text)), long_text);
}

TEST(Sjis, BadBytesAreReplacedNotLost) {
  EXPECT_EQ(SjisToUtf8("a\x82"), "a\xEF\xBF\xBD");           // lead byte at the end
  EXPECT_EQ(SjisToUtf8("\xFF" "b"), "\xEF\xBF\xBD" "b");     // never a lead byte
  EXPECT_EQ(Utf8ToSjis("a😀b"), "a?b");                      // no Shift-JIS form
  EXPECT_EQ(Utf8ToSjis("a\xC3"), "a?");                      // cut-off UTF-8
  EXPECT_EQ(Utf8ToSjis("\xFF\xFE" "c"), "??c");
}

// The two systems' converters must agree, so a file written on one reads the same on the
// other: the bytes Windows alone maps, the forms written one way only, both kanji blocks.
TEST(Sjis, ConvertsAlikeOnEverySystem) {
  struct Case {
    std::string sjis;
    std::string utf8;
  };
  const Case bothWays[] = {
      {"\x5C\x7E", "\\~"},          {"\x81\x5F", "＼"},      {"\x81\x60", "～"},
      {"\x81\x5C", "―"},             {"\x81\x91", "￠"},      {"\x87\x40", "①"},
      {"\xED\x40\xFA\x40", "纊ⅰ"}, {"\xB1\xDD", "ｱﾝ"},     {"\xF0\x40", "\xEE\x80\x80"},
  };
  for (const Case& c : bothWays) {
    EXPECT_EQ(SjisToUtf8(c.sjis), c.utf8) << c.utf8;
    if (c.sjis != "\xED\x40\xFA\x40") {
      EXPECT_EQ(Utf8ToSjis(c.utf8), c.sjis) << c.utf8;
    }
  }
  EXPECT_EQ(Utf8ToSjis("纊"), "\xFA\x5C");  // of the two codes, the later block's
  const Case toSjisOnly[] = {
      {"\x5C", "¥"},      {"\x7E", "‾"},      {"\x81\x60", "〜"}, {"\x81\x7C", "−"},
      {"\x81\x61", "‖"}, {"\x81\x5C", "—"}, {"\x81\x91", "¢"},  {"\x81\x92", "£"},
      {"\x81\xCA", "¬"}, {"?", "é"},         {"?", "€"},
  };
  for (const Case& c : toSjisOnly) EXPECT_EQ(Utf8ToSjis(c.utf8), c.sjis) << c.utf8;
  // Single bytes with no character, and a pair whose second byte is none.
  EXPECT_EQ(SjisToUtf8("\x80\xA0\xFD\xFE"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(SjisToUtf8("\x85\x40" "a"), "\xEF\xBF\xBD" "@a");
  EXPECT_EQ(SjisToUtf8("\x82\x20"), "\xEF\xBF\xBD ");
}

// A path kept in the Shift-JIS settings file: in Shift-JIS where it can be, else in UTF-8
// as before; either way it reads back as the same path.
TEST(Sjis, KeepsAPathInTheSettingsFileAndReadsItBack) {
  struct Case {
    std::string path;
    std::string stored;
  };
  const Case cases[] = {
      {"C:\\Users\\child\\", "C:\\Users\\child\\"},
      {"C:\\Users\\はなこ\\Documents\\mojimori\\",
       "C:\\Users\\\x82\xCD\x82\xC8\x82\xB1\\Documents\\mojimori\\"},
      {"/home/太郎/ﾓｼﾞ/", "/home/\x91\xBE\x98\x59/\xD3\xBC\xDE/"},
      {"C:\\Users\\José\\", "C:\\Users\\José\\"},         // no Shift-JIS form: kept
      {"/home/はな😀/", "/home/はな😀/"},                      // partly none: kept whole
  };
  for (const Case& c : cases) {
    const std::string stored = ProfilePathText(c.path);
    EXPECT_EQ(stored, c.stored) << c.path;
    EXPECT_EQ(PathFromProfileText(stored), c.path) << c.path;
  }
  // What earlier versions wrote, UTF-8 whatever the path, still reads as the path.
  EXPECT_EQ(PathFromProfileText("C:\\Users\\はなこ\\"), "C:\\Users\\はなこ\\");
}

TEST(Sjis, TellsAUtf8LineFromShiftJis) {
  struct Case {
    const char* what;
    std::string line;
    bool utf8;
  };
  const Case cases[] = {
      {"UTF-8 kana", "inu.bmp,いぬ\n", true},
      {"Shift-JIS kana", Utf8ToSjis("inu.bmp,いぬ\n"), false},
      {"Shift-JIS kanji", Utf8ToSjis("犬,いぬ\r\n"), false},
      {"plain ASCII reads the same either way", "a.bmp,KA\r\n", false},
      {"a bad byte after UTF-8 kana", "inu.bmp,いぬ\xFF\n", false},
      {"an overlong form", "a,\xC0\xAF\n", false},
      {"a character cut off by the end of what was read", "inu.bmp,ね\xE3\x81", true},
      {"a cut character before the line end", "inu.bmp,\xE3\x81\n", false},
      // Valid both ways: the reading that gives Japanese text is the one meant.
      {"Shift-JIS half-width katakana, valid UTF-8 by chance", Utf8ToSjis("neko.bmp,ﾈｺ\r\n"), false},
      {"the same at the end of the file", Utf8ToSjis("neko.bmp,ﾈｺ"), false},
      {"half-width katakana ending as a cut UTF-8 character would", Utf8ToSjis("a,ﾈｺﾈ"), false},
      {"UTF-8 kana whose bytes read as Shift-JIS too", "a,あい\n", true},
      {"UTF-8 with no Japanese either way", "a.bmp,\xC3\x97\n", true},  // ×
      {"an accent reads as half-width katakana in Shift-JIS", "caf\xC3\xA9.jpg,KA\n", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8Line(c.line), c.utf8) << c.what;
  EXPECT_TRUE(HasByteOrderMark("\xEF\xBB\xBF" "abc"));
  EXPECT_EQ(WithoutByteOrderMark("\xEF\xBB\xBF" "abc"), "abc");
  EXPECT_EQ(WithoutByteOrderMark("abc"), "abc");
}

// A line appended from a terminal is UTF-8 in a Shift-JIS file; wherever it stands, each
// line comes out as the Shift-JIS it means.
TEST(Sjis, DecidesTheEncodingOfAFileLineByLine) {
  const std::string sjisLines = Utf8ToSjis("いぬ.bmp,いぬ\r\nねこ.bmp,ねこ\r\n");
  const std::string utf8Line = "さる.bmp,さる\n";
  const std::string expected = sjisLines + Utf8ToSjis(utf8Line);
  struct Case {
    const char* what;
    std::string bytes;
    std::string sjis;  // as UTF-8, for readable failures
  };
  const Case cases[] = {
      {"Shift-JIS alone", sjisLines, SjisToUtf8(sjisLines)},
      {"UTF-8 alone", utf8Line + "いぬ,いぬ", "さる.bmp,さる\nいぬ,いぬ"},
      {"a UTF-8 line first", utf8Line + sjisLines, "さる.bmp,さる\nいぬ.bmp,いぬ\r\nねこ.bmp,ねこ\r\n"},
      {"a UTF-8 line last", sjisLines + utf8Line, SjisToUtf8(expected)},
      {"a UTF-8 line last without a line end", sjisLines + "さる,さる",
       SjisToUtf8(sjisLines) + "さる,さる"},
  };
  for (const Case& c : cases) EXPECT_EQ(SjisToUtf8(FileTextToSjis(c.bytes)), c.sjis) << c.what;
  // A byte-order mark makes every line UTF-8: Shift-JIS lines after it are no kana then.
  const std::string marked = FileTextToSjis("\xEF\xBB\xBF" "さる,さる\n" + sjisLines);
  EXPECT_EQ(marked.substr(0, 10), Utf8ToSjis("さる,さる\n"));
  EXPECT_EQ(marked.find(Utf8ToSjis("いぬ")), std::string::npos);
  // A cut at the end no longer turns a whole UTF-8 file into mojibake.
  EXPECT_EQ(SjisToUtf8(FileTextToSjis("いぬ\xE3\x81")), "いぬ?");
}

}  // namespace
}  // namespace zel
